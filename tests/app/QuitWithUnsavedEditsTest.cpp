// Quitting with unsaved edits: the application's quit flow asks the editor first, as main wires it.

#include "MessageBoxAnswerer.h"
#include "TestFiles.h"

#include "app/AppDelegate.h"
#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace ov::app {
namespace {

using ov::test::MessageBoxAnswerer;

TEST(QuitWithUnsavedEdits, QuittingAsksAndCancelKeepsTheEditorOpen)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = ui::test::logicFile(home.path(), QStringLiteral("Synth"));
    ui::test::writePlist(path, {{mapping::kControlSurfaceParameterOrderKey, ui::test::numberedParameters(1, 8)}});

    AppDelegate delegate(home.filePath(QStringLiteral("store")));
    ui::EditorState state;
    ui::qt::MainWindow window;
    ui::ViewController controller(
        state, window, {[&] { return catalogue::scanRoots(home.path(), QString()); }, [](const QString &) {}});
    window.attach(controller);
    delegate.setQuitCheck([&controller] { return controller.confirmUnsavedEdits(); });
    controller.viewDidLoad();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Nothing open: quitting asks nothing.
    {
        MessageBoxAnswerer answerer({});
        EXPECT_TRUE(delegate.applicationShouldTerminate() == SavedDataStore::TerminateReply::TerminateNow);
        EXPECT_TRUE(answerer.shown().empty());
    }

    auto *plugins = window.findChild<QTableView *>(QStringLiteral("pluginTableView"));
    QTest::mouseClick(plugins->viewport(), Qt::LeftButton, {},
                      plugins->visualRect(plugins->model()->index(0, 0)).center());
    window.findChild<QPushButton *>(QStringLiteral("clearAllPagesButton"))->click();
    ASSERT_TRUE(window.isWindowModified());

    {
        MessageBoxAnswerer answerer({QStringLiteral("Cancel")});
        EXPECT_FALSE(window.close());
        EXPECT_TRUE(window.isVisible());
        ASSERT_EQ(answerer.shown().size(), 1u);
        EXPECT_EQ(answerer.shown().at(0).text, QStringLiteral("Save changes to the mapping of Synth?"));
    }
    {
        MessageBoxAnswerer answerer({QStringLiteral("Save"), QStringLiteral("OK")});
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(answerer.shown().size(), 2u) << "the question, then the save's alert";
    }
    EXPECT_EQ(mapping::controlSurfaceOrder(ui::test::readPlist(path)).at(0), QStringLiteral("-1"))
        << "saved on the way out";
}

} // namespace
} // namespace ov::app
