#include "AppDelegate.h"
#include "Credentials.h"

#include "catalogue/Diagnostics.h"
#include "catalogue/PluginScan.h"
#include "community/CommunityClient.h"
#include "ov/Version.h"
#include "ui/EditorState.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/PreferencesDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// With OV_EXIT_WHEN_SHOWN set, the application reports how long it took from its start to the main
// window's first paint, with the plug-ins listed, and quits: for measuring start-up.
class ExitWhenShown final : public QObject {
public:
    ExitWhenShown(const QElapsedTimer &started, ov::app::AppDelegate &delegate)
        : m_started(started), m_delegate(delegate)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_reported) {
            m_reported = true;
            std::fprintf(stdout, "main window shown after %lld ms\n", static_cast<long long>(m_started.elapsed()));
            std::fflush(stdout);
            watched->removeEventFilter(this);
            QTimer::singleShot(0, &m_delegate, &ov::app::AppDelegate::terminate);
        }
        return false;
    }

private:
    const QElapsedTimer &m_started;
    ov::app::AppDelegate &m_delegate;
    bool m_reported = false;
};

const QString kWindowGeometryKey = QStringLiteral("mainWindowGeometry");

} // namespace

int main(int argc, char *argv[])
{
    // Answered before Qt starts, so it needs no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ovCorvantaLogic_Tool %s\n", ov::kVersion);
            return 0;
        }
    }
    QElapsedTimer started;
    started.start();
    ov::catalogue::useBareMessagePattern();
    QApplication application(argc, argv);
    // The application's identity, set once: every QSettings made without arguments is the one
    // per-user settings store (credentials, the community server's address, the window's place).
    QCoreApplication::setOrganizationName(QStringLiteral("ovCorvanta"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("ovcorvanta.org"));
    QCoreApplication::setApplicationName(QStringLiteral("ovCorvantaLogic_Tool"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(ov::kVersion));
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(ov::kApplicationName));
    QSettings settings;
    ov::app::KeychainStore keychain;
    ov::app::CredentialSettings credentials(settings, keychain);
    credentials.moveStoredPin();

    ov::ui::EditorState state;
    // The saved-data store's folder: the application-support folder, named by the bundle identifier.
    ov::app::AppDelegate delegate(ov::app::AppDelegate::applicationDocumentsDirectory());
    ov::ui::qt::MainWindow window;
    // The community server: OVCORVANTA_COMMUNITY_URL, else the address kept in the preferences, else
    // the compiled-in one.
    ov::community::CommunityClient community(
        ov::community::communityBaseUrl(settings.value(ov::ui::qt::PreferencesDialog::kCommunityUrlKey).toString()));
    ov::ui::ViewController controller(
        state, window,
        {[] { return ov::catalogue::scanRoots(QDir::homePath()); }, ov::catalogue::logDiagnostic, &community,
         [&credentials](const QString &key) { return credentials.value(key); },
         [&credentials](const QString &key, const QString &value) { credentials.setValue(key, value); }});
    window.attach(controller);
    // The status line says when it is done; a failure has its alert.
    QObject::connect(window.saveApplicationDataAction(), &QAction::triggered, &delegate, [&delegate, &window] {
        if (delegate.saveAction())
            window.setLabelText(ov::ui::Label::labelHelperDisplay, ov::ui::texts::kApplicationDataSaved);
    });
    QObject::connect(window.quitAction(), &QAction::triggered, &delegate, &ov::app::AppDelegate::terminate);
    // Quitting asks first about unsaved edits of the open mapping.
    delegate.setQuitCheck([&controller] { return controller.confirmUnsavedEdits(); });
    QObject::connect(window.preferencesAction(), &QAction::triggered, &window, [&] {
        ov::ui::qt::PreferencesDialog preferences(settings, &window);
        QObject::connect(&preferences, &ov::ui::qt::PreferencesDialog::communityUrlChanged, &community,
                         &ov::community::CommunityClient::setBaseUrl);
        preferences.exec();
    });
    QObject::connect(window.aboutAction(), &QAction::triggered, &window, [&window] {
        ov::ui::qt::AboutDialog about(&window);
        about.exec();
    });
    // The window opens where, and as large as, it was left.
    window.restoreGeometry(settings.value(kWindowGeometryKey).toByteArray());
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window,
                     [&] { settings.setValue(kWindowGeometryKey, window.saveGeometry()); });

    ExitWhenShown exitWhenShown(started, delegate);
    if (qEnvironmentVariableIsSet("OV_EXIT_WHEN_SHOWN"))
        window.installEventFilter(&exitWhenShown);

    controller.viewDidLoad();
    if (const QString notice = credentials.takeNotice(); !notice.isEmpty())
        controller.updateHelperDisplay(notice);
    window.show();
    return application.exec();
}
