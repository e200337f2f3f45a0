#include "MessageBoxAnswerer.h"
#include "TestFiles.h"

#include "app/AppDelegate.h"
#include "mapping/ParameterOrderFile.h"
#include "ov/Version.h"
#include "support/CommunityWindows.h"
#include "ui/qt/MainWindow.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace ov::app {
namespace {

using ov::test::MessageBoxAnswerer;

// A store context with changes that cannot be saved, so quitting has to ask.
struct UnsavableContext final : StoreContext {
    int commits = 0;
    bool commitEditing() override { return ++commits > 0; }
    bool hasChanges() const override { return true; }
    bool save(QString *error) override
    {
        *error = QStringLiteral("the disk is full");
        return false;
    }
};

StoreOpener unsavable(UnsavableContext **opened)
{
    return [opened](const QString &, QString *) {
        auto context = std::make_unique<UnsavableContext>();
        *opened = context.get();
        return context;
    };
}

class AppDelegateTest : public ::testing::Test {
protected:
    QWidget *showWindow(QWidget &window)
    {
        window.resize(300, 200);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return &window;
    }
    QTemporaryDir temporary;
};

TEST_F(AppDelegateTest, ClosingTheLastWindowWithTheStoreNeverOpenedQuitsWithoutAQuestion)
{
    const QString folder = temporary.filePath(QStringLiteral("store"));
    AppDelegate delegate(folder);
    QWidget window;
    showWindow(window);
    MessageBoxAnswerer answerer({});

    EXPECT_TRUE(window.close());

    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(answerer.shown().empty());
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(AppDelegateTest, QuitAnywayQuitsAndCancelKeepsTheApplicationRunning)
{
    UnsavableContext *context = nullptr;
    AppDelegate delegate(temporary.filePath(QStringLiteral("store")), unsavable(&context));
    ASSERT_NE(delegate.store().managedObjectContext(), nullptr);
    QWidget window;
    showWindow(window);

    {
        MessageBoxAnswerer answerer({QStringLiteral("OK"), QStringLiteral("Cancel")});
        EXPECT_FALSE(window.close());
        EXPECT_TRUE(window.isVisible());
        ASSERT_EQ(answerer.shown().size(), 2u);
        EXPECT_EQ(answerer.shown().at(0).objectName, QStringLiteral("presentError"));
        EXPECT_EQ(answerer.shown().at(0).informativeText, QStringLiteral("the disk is full"));
        const ov::test::ShownMessageBox &question = answerer.shown().at(1);
        EXPECT_EQ(question.text, QStringLiteral("Could not save changes while quitting. Quit anyway?"));
        EXPECT_EQ(question.informativeText,
                  QStringLiteral("Quitting now will lose any changes you have made since the last successful save"));
        EXPECT_EQ(question.buttons, (QStringList{QStringLiteral("Quit anyway"), QStringLiteral("Cancel")}));
    }
    {
        MessageBoxAnswerer answerer({QStringLiteral("OK"), QStringLiteral("Quit anyway")});
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(answerer.shown().size(), 2u);
    }
}

TEST_F(AppDelegateTest, WithACommunityWindowOpenTheApplicationQuitsWhenThatOneCloses)
{
    UnsavableContext *context = nullptr;
    AppDelegate delegate(temporary.filePath(QStringLiteral("store")), unsavable(&context));
    ASSERT_NE(delegate.store().managedObjectContext(), nullptr);
    ui::qt::MainWindow main;
    showWindow(main);
    main.showWindow(ui::Window::cwinUploadWindow);
    QWidget *upload = ui::test::uploadWindow(main);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(upload));

    EXPECT_TRUE(main.close());
    EXPECT_EQ(context->commits, 0) << "not the last window: no quit flow";
    EXPECT_TRUE(upload->isVisible());

    MessageBoxAnswerer answerer({QStringLiteral("OK"), QStringLiteral("Cancel")});
    EXPECT_FALSE(upload->close());
    EXPECT_EQ(context->commits, 1);
    EXPECT_TRUE(upload->isVisible());
}

TEST_F(AppDelegateTest, TheQuitCheckIsAskedFirst)
{
    AppDelegate delegate(temporary.filePath(QStringLiteral("store")));
    int checks = 0;
    bool allow = false;
    delegate.setQuitCheck([&] {
        ++checks;
        return allow;
    });
    QWidget window;
    showWindow(window);

    EXPECT_FALSE(window.close());
    allow = true;
    EXPECT_TRUE(window.close());
    EXPECT_EQ(checks, 2);
}

TEST_F(AppDelegateTest, ClosingTheLastWindowEndsTheEventLoop)
{
    AppDelegate delegate(temporary.filePath(QStringLiteral("store")));
    QWidget window;
    showWindow(window);
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(42); }); // a safety net, not the answer

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(AppDelegateTest, AQuitRequestGoesThroughTheQuitFlow)
{
    UnsavableContext *context = nullptr;
    AppDelegate delegate(temporary.filePath(QStringLiteral("store")), unsavable(&context));
    ASSERT_NE(delegate.store().managedObjectContext(), nullptr);
    QWidget window;
    showWindow(window);

    {
        // Cancelled: the loop goes on until something else ends it.
        MessageBoxAnswerer cancel({QStringLiteral("OK"), QStringLiteral("Cancel")});
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QApplication::exec(), 7);
        EXPECT_EQ(cancel.shown().size(), 2u);
        EXPECT_TRUE(window.isVisible());
    }

    // "Quit anyway" from the Quit command: the windows close and the loop ends.
    MessageBoxAnswerer quit({QStringLiteral("OK"), QStringLiteral("Quit anyway")});
    QTimer::singleShot(0, &delegate, &AppDelegate::terminate);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(42); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(quit.shown().size(), 2u);
    EXPECT_FALSE(window.isVisible());
}

// The real application, started on a home of its own: it scans, shows its window and quits.
TEST(ApplicationStart, StartsOnAFreshHomeShowsTheWindowAndQuits)
{
    QTemporaryDir home;
    const QString path = ui::test::logicFile(home.path(), QStringLiteral("Synth"));
    ui::test::writePlist(path, {{mapping::kControlSurfaceParameterOrderKey, {"1 Cutoff"}}});
    ASSERT_TRUE(QFileInfo::exists(path));

    QProcess application;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("OV_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    // Without a terminal Qt may send its messages to the system's log instead.
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    environment.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    // No community server: the start-up check of the credentials fails at once, quietly.
    environment.insert(QStringLiteral("OVCORVANTA_COMMUNITY_URL"), QStringLiteral("http://127.0.0.1:9/"));
    application.setProcessEnvironment(environment);
    application.start(QStringLiteral(OV_APPLICATION), {});
    ASSERT_TRUE(application.waitForFinished(60000));

    const QString out = QString::fromLocal8Bit(application.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(application.readAllStandardError());
    EXPECT_EQ(application.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(application.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("main window shown after "))) << out.toStdString();
    // The diagnostics go through Qt's logging, each line bare: no level, no category.
    EXPECT_TRUE(
        err.split(QLatin1Char('\n')).contains(QStringLiteral("Reading Folder: ") + ui::test::logicRoot(home.path())))
        << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral(".local/share/org.ovcorvanta.LogicTool"))))
        << "the saved-data store is opened only on first use";
    // The one settings store keeps the window's place for the next start.
    EXPECT_TRUE(ov::test::readFile(home.filePath(QStringLiteral(".config/ovCorvanta/ovCorvantaLogic_Tool.conf")))
                    .contains("mainWindowGeometry"));
}

TEST(ApplicationStart, TheSavedDataStoreIsNamedByTheBundleIdentifier)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    EXPECT_EQ(AppDelegate::applicationDocumentsDirectory(), data + QStringLiteral("/org.ovcorvanta.LogicTool"));
}

TEST(ApplicationStart, SaysItsVersionWithoutADisplay)
{
    QProcess application;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    application.setProcessEnvironment(environment);
    application.start(QStringLiteral(OV_APPLICATION), {QStringLiteral("--version")});
    ASSERT_TRUE(application.waitForFinished(30000));
    EXPECT_EQ(application.exitCode(), 0);
    EXPECT_EQ(application.readAllStandardOutput(), QByteArray("ovCorvantaLogic_Tool ") + ov::kVersion + '\n');
}

} // namespace
} // namespace ov::app
