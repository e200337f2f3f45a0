#include "AppDelegate.h"

#include "catalogue/PluginScan.h"
#include "community/CommunityClient.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

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

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer started;
    started.start();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovCorvantaLogic_Tool"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("ovCorvanta Logic Tool"));

    ov::ui::EditorState state;
    ov::app::AppDelegate delegate(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    ov::ui::qt::MainWindow window;
    // The community server: the compiled-in address, or OVCORVANTA_COMMUNITY_URL.
    ov::community::CommunityClient community;
    // The per-user settings store keeps the community credentials between launches.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ovCorvanta"),
                       QStringLiteral("ovCorvantaLogic_Tool"));
    ov::ui::ViewController controller(
        state, window,
        {[] { return ov::catalogue::scanRoots(QDir::homePath()); }, ov::catalogue::logToStandardError, &community,
         [&settings](const QString &key) { return settings.value(key).toString(); },
         [&settings](const QString &key, const QString &value) { settings.setValue(key, value); }});
    window.attach(controller);
    QObject::connect(window.saveApplicationDataAction(), &QAction::triggered, &delegate,
                     &ov::app::AppDelegate::saveAction);
    QObject::connect(window.quitAction(), &QAction::triggered, &delegate, &ov::app::AppDelegate::terminate);
    // Quitting asks first about unsaved edits of the open mapping.
    delegate.setQuitCheck([&controller] { return controller.confirmUnsavedEdits(); });

    ExitWhenShown exitWhenShown(started, delegate);
    if (qEnvironmentVariableIsSet("OV_EXIT_WHEN_SHOWN"))
        window.installEventFilter(&exitWhenShown);

    controller.viewDidLoad();
    window.show();
    return application.exec();
}
