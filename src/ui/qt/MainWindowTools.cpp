// The main window's side of layouts, the mapping check, display names and the library backup.
#include "MainWindow.h"

#include "FrontPanel.h"
#include "MainMenus.h"
#include "TickListWindow.h"

#include "ui/UiTexts.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QProgressDialog>
#include <QThread>

#include <memory>

namespace ov::ui::qt {

std::optional<QString> MainWindow::askForText(const QString &prompt, const QString &suggestion)
{
    bool ok = false;
    const QString text = QInputDialog::getText(questionParent(), QString(), prompt, QLineEdit::Normal, suggestion, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<int> MainWindow::askForChoice(const QString &prompt, const QStringList &choices)
{
    bool ok = false;
    const QString chosen = QInputDialog::getItem(questionParent(), QString(), prompt, choices, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<int>(choices.indexOf(chosen));
}

std::optional<QString> MainWindow::askForSavePath(const QString &title, const QString &suggestedName,
                                                  const QString &filter)
{
    const QString path =
        QFileDialog::getSaveFileName(questionParent(), title, QDir::home().filePath(suggestedName), filter);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> MainWindow::askForOpenPath(const QString &title, const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(questionParent(), title, QDir::homePath(), filter);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QVector<int>> MainWindow::askToTickRows(const TickList &list)
{
    return TickListWindow::ask(list, questionParent());
}

void MainWindow::showProgress(const QString &text, int steps)
{
    closeProgress();
    m_progress = new QProgressDialog(text, texts::kCancelButton, 0, steps, questionParent());
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->show();
}

bool MainWindow::advanceProgress(int done, const QString &text)
{
    if (!m_progress)
        return true;
    m_progress->setValue(done);
    m_progress->setLabelText(text);
    // The window paints and Cancel can be pressed between two plug-ins.
    QCoreApplication::processEvents();
    return m_progress && !m_progress->wasCanceled();
}

void MainWindow::closeProgress()
{
    if (!m_progress)
        return;
    m_progress->close();
    m_progress->deleteLater();
    m_progress = nullptr;
}

void MainWindow::runInBackground(const QString &text, const std::function<void()> &work)
{
    QProgressDialog notice(text, QString(), 0, 0, questionParent());
    notice.setObjectName(QStringLiteral("backgroundNotice"));
    notice.setWindowModality(Qt::WindowModal);
    notice.setCancelButton(nullptr);
    notice.setMinimumDuration(0);
    notice.show();
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create(work));
    // Finished is queued to this thread, so a worker done before exec() still ends the loop.
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
}

void MainWindow::setControlMisfit(int control, const QString &line)
{
    m_panel->setControlMisfit(control, line);
}

void MainWindow::setControlCutName(int control, const QString &cutName, const QString &line, bool clashes)
{
    m_panel->setControlCutName(control, cutName, line, clashes);
}

void MainWindow::showDisplayWidth(int width)
{
    m_menus->showDisplayWidth(width);
}

} // namespace ov::ui::qt
