#include "catalogue/PluginScan.h"
#include "support/TestFiles.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace ov::catalogue;

namespace {

class PluginScan : public ::testing::Test {
protected:
    QTemporaryDir home;
    QStringList log;
    LogSink sink = [this](const QString &line) { log << line; };

    QString logicRoot() const { return home.filePath("Music/Audio Music Apps/Plug-In Settings"); }
    QString presets() const { return home.filePath("Library/Audio/Presets"); }

    void touch(const QString &path) { ov::test::writeFile(path, "x"); }

    // Scans the home folder without the machine's all-users folder.
    PluginList scanHome() { return scanPlugins(scanRoots(home.path(), QString()), sink); }
};

} // namespace

TEST_F(PluginScan, TypeIsTheLabelUnderPluginSettingsElseTheGrandparentFolder)
{
    touch(logicRoot() + "/Retro Synth/CSParameterOrder.plist");
    touch(presets() + "/MakerX/SynthY/CSParameterOrder.plist");
    touch(presets() + "/MakerX/Deeper/SynthZ/CSParameterOrder.plist");
    touch(presets() + "/CSParameterOrder.plist");
    const PluginList records = scanHome();
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0],
              (PluginRecord{"Logic", "Retro Synth", "Editable", logicRoot() + "/Retro Synth/CSParameterOrder.plist"}));
    EXPECT_EQ(records[1], (PluginRecord{"Audio", "Presets", "Editable", presets() + "/CSParameterOrder.plist"}));
    EXPECT_EQ(records[2], (PluginRecord{"Deeper", "SynthZ", "Editable",
                                        presets() + "/MakerX/Deeper/SynthZ/CSParameterOrder.plist"}));
    EXPECT_EQ(records[3].Type, "MakerX");
    EXPECT_EQ(records[3].Plugin, "SynthY");
}

TEST_F(PluginScan, OnlyTheExactFileNameCounts)
{
    const QString folder = presets() + "/Maker/Synth/";
    touch(folder + "CSParameterOrder.plist");
    touch(folder + "CSParameterOrder.plist.prev");
    touch(folder + "CSParameterOrder.plist.original");
    touch(folder + "CSParameterOrder.plist.html");
    touch(folder + "csparameterorder.plist");
    touch(folder + "CSParameterOrder.PLIST");
    QDir().mkpath(presets() + "/Maker/Dir/CSParameterOrder.plist");
    const PluginList records = scanHome();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].Plugin, "Synth");
}

TEST_F(PluginScan, RootsComeInOrderAndWalkInNameOrderWithHiddenEntries)
{
    touch(presets() + "/B/Two/CSParameterOrder.plist");
    touch(presets() + "/A/One/CSParameterOrder.plist");
    touch(presets() + "/.hidden/Three/CSParameterOrder.plist");
    touch(logicRoot() + "/Same/CSParameterOrder.plist");
    touch(presets() + "/Plug-In Settings/Same/CSParameterOrder.plist");
    const PluginList records = scanHome();
    QStringList seen;
    for (const PluginRecord &r : records)
        seen << r.Type + "/" + r.Plugin;
    // The same plug-in in both trees is listed twice, Logic's first; the label follows the root.
    EXPECT_EQ(seen, (QStringList{"Logic/Same", ".hidden/Three", "A/One", "B/Two", "3rd Party/Same"}));
    // Scanning again gives the same list, not a doubled one.
    EXPECT_EQ(scanHome(), records);
}

TEST_F(PluginScan, LogicsFolderIsFoundWhateverItsLetterCase)
{
    // As the folder is often spelled on disk, and as the spelled root has it; one spelling per home,
    // since a Mac's disk keeps no two spellings side by side.
    for (const QString folder : {"Plug-In settings", "PLUG-IN SETTINGS"}) {
        SCOPED_TRACE(folder.toStdString());
        QTemporaryDir spelledHome;
        const QString file = spelledHome.filePath("Music/Audio Music Apps/" + folder + "/Synth/CSParameterOrder.plist");
        touch(file);
        const PluginList records = scanPlugins(scanRoots(spelledHome.path(), QString()), sink);
        ASSERT_EQ(records.size(), 1);
        EXPECT_EQ(records[0], (PluginRecord{"Logic", "Synth", "Editable", file}));
    }
}

TEST_F(PluginScan, TheAllUsersFolderIsAThirdRootLabelledLogic)
{
    QTemporaryDir machine;
    touch(machine.filePath("Plug-In Settings/Shared/CSParameterOrder.plist"));
    touch(presets() + "/Maker/Mine/CSParameterOrder.plist");
    const PluginList records = scanPlugins(scanRoots(home.path(), machine.filePath("Plug-In Settings")), sink);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].Plugin, "Mine");
    EXPECT_EQ(records[1], (PluginRecord{"Logic", "Shared", "Editable",
                                        machine.filePath("Plug-In Settings/Shared/CSParameterOrder.plist")}));
}

TEST_F(PluginScan, MissingRootsGiveNoRecordsAndLogWhatWasRead)
{
    EXPECT_TRUE(scanHome().isEmpty());
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[0], "Reading Folder: " + home.path() + "/Music/Audio Music Apps/Plug-In settings");
    EXPECT_TRUE(log[1].startsWith("Enumerator Error: "));
    EXPECT_EQ(log[2], "Reading Folder: " + presets());
}

TEST_F(PluginScan, SymbolicLinksAreNeverFollowedSoLoopsEnd)
{
    touch(presets() + "/Maker/Synth/CSParameterOrder.plist");
    ASSERT_EQ(symlink(presets().toLocal8Bit().constData(), (presets() + "/Maker/loop").toLocal8Bit().constData()), 0);
    ASSERT_EQ(symlink("..", (presets() + "/Maker/Synth/up").toLocal8Bit().constData()), 0);
    const PluginList records = scanHome();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].Plugin, "Synth");
}

TEST_F(PluginScan, UnreadableFoldersAreLoggedAndPassedOver)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    touch(presets() + "/Maker/Hidden/CSParameterOrder.plist");
    touch(presets() + "/Other/Open/CSParameterOrder.plist");
    QFile::setPermissions(presets() + "/Maker", QFileDevice::WriteOwner);
    const PluginList records = scanHome();
    QFile::setPermissions(presets() + "/Maker",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].Plugin, "Open");
    EXPECT_TRUE(log.filter("Enumerator Error: " + presets() + "/Maker").size() == 1);
}
