#include "AppDelegate.h"

#include "AppTexts.h"

#include "catalogue/Diagnostics.h"
#include "catalogue/PluginScan.h"
#include "ov/Version.h"

#include <QPushButton>
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

namespace ov::app {

namespace {

// Whether closing `closing` leaves no window that keeps the application running: dialogs and other
// windows that belong to a window do not count.
bool isLastWindow(const QWidget *closing)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window == closing || !window->isVisible() || window->parentWidget()
            || !window->testAttribute(Qt::WA_QuitOnClose))
            continue;
        const Qt::WindowType type = window->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            return false;
    }
    return true;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("AppDelegate", text);
}

} // namespace

AppDelegate::AppDelegate(const QString &storeFolder, StoreOpener open, QObject *parent)
    : QObject(parent), m_store(storeFolder, &AppDelegate::presentError, catalogue::logDiagnostic, std::move(open))
{
    // Quitting goes through the quit flow: the last window's close is asked first, then the
    // application quits itself.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::lastWindowClosed, this, &AppDelegate::lastWindowClosed);
}

QString AppDelegate::applicationDocumentsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
           + QString::fromUtf8(kApplicationId);
}

AppDelegate::~AppDelegate()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void AppDelegate::terminate()
{
    if (!m_terminating && applicationShouldTerminate() == SavedDataStore::TerminateReply::TerminateCancel)
        return;
    m_terminating = true;
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

SavedDataStore::TerminateReply AppDelegate::applicationShouldTerminate()
{
    if (m_quitCheck && !m_quitCheck())
        return SavedDataStore::TerminateReply::TerminateCancel;
    return m_store.applicationShouldTerminate(&AppDelegate::askQuitAnyway);
}

bool AppDelegate::presentError(const StoreError &error)
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("presentError"));
    box.setIcon(QMessageBox::Critical);
    box.setTextFormat(Qt::PlainText);
    box.setText(error.description);
    box.setInformativeText(error.failureReason);
    QString details = QStringLiteral("%1 error %2").arg(error.domain).arg(error.code);
    if (!error.underlying.isEmpty())
        details += QLatin1Char('\n') + error.underlying;
    box.setDetailedText(details);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return false;
}

bool AppDelegate::askQuitAnyway()
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("quitAnyway"));
    box.setIcon(QMessageBox::Warning);
    box.setTextFormat(Qt::PlainText);
    box.setText(translated(texts::kCouldNotSaveWhileQuitting));
    box.setInformativeText(translated(texts::kQuittingLosesChanges));
    QAbstractButton *quit = box.addButton(translated(texts::kQuitAnyway), QMessageBox::AcceptRole);
    box.addButton(translated(texts::kCancel), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == quit;
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (m_terminating)
        return false;
    if (event->type() == QEvent::Close && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isVisible() && isLastWindow(window)
            && applicationShouldTerminateAfterLastWindowClosed()) {
            if (applicationShouldTerminate() == SavedDataStore::TerminateReply::TerminateCancel) {
                event->ignore();
                return true; // the window stays open and the application keeps running
            }
            m_terminating = true;
        }
    } else if (event->type() == QEvent::Quit && watched == qApp) {
        // A quit request from the system (the application menu, logging out).
        if (applicationShouldTerminate() == SavedDataStore::TerminateReply::TerminateCancel)
            return true;
        m_terminating = true;
    }
    return false;
}

void AppDelegate::lastWindowClosed()
{
    m_terminating = true;
    QCoreApplication::quit();
}

} // namespace ov::app
