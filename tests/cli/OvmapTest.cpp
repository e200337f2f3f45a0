// ovmap as a user runs it: a process on temporary folders.
#include "ov/Version.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using ov::test::readFile;
using ov::test::stringArrayXml;
using ov::test::writeFile;
using ov::test::xmlPlist;

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result ovmap(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(OVMAP_PATH), arguments);
    process.waitForFinished(30000);
    return Result{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  process.readAllStandardOutput(), process.readAllStandardError()};
}

using Case = std::tuple<QStringList, int, QByteArray>;

// Runs each case: its exit status is the one given, and its output the text given (or holds it).
void expectRuns(const QList<Case> &cases, bool whole = true)
{
    for (const auto &[arguments, status, out] : cases) {
        const Result run = ovmap(arguments);
        EXPECT_EQ(run.status, status) << arguments.join(' ').toStdString();
        EXPECT_TRUE(whole ? run.out == out : run.out.contains(out)) << run.out.toStdString();
    }
}

class Ovmap : public ::testing::Test {
protected:
    QTemporaryDir home;
    QString synth = home.filePath("Music/Audio Music Apps/Plug-In Settings/Synth/CSParameterOrder.plist");
    QString effect = home.filePath("Library/Audio/Presets/Maker/Echo/CSParameterOrder.plist");

    void SetUp() override
    {
        writeFile(synth,
                  xmlPlist("<key>Version</key><real>1</real>"
                           + stringArrayXml("ControlSurfaceParameterOrder", {"1 Cutoff", "-1", "2 Output Volume"})));
        writeFile(effect, ov::test::toBinaryPlist(
                              xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"5 Time", "6 Feedback"})
                                       + stringArrayXml("StoreCSUnique", {"-1", "5 Time", "6 Feedback", "7 Mix"}))));
    }

    QJsonObject showJson(const QString &file)
    {
        const Result run = ovmap({"show", file, "--json"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).object();
    }

    QStringList backupsBeside(const QString &file)
    {
        return QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

} // namespace

// The JSON is written directly; it must be what Qt's own writer makes of the same content, names
// with quotes, backslashes, control characters and characters beyond ASCII included.
TEST_F(Ovmap, ShowJsonIsLaidOutAsQtWritesItWithEveryNameEscaped)
{
    const QStringList names = {"Quote \"x\"", "Back\\slash", QString::fromUtf16(u"Tab\tNew\nline\u0001\u001f\u007f"),
                               QString::fromUtf16(u"Caf\u00e9 \U0001F39B </x>"), QString::fromUtf16(u"\u00e9\u00e9")};
    QStringList order;
    for (qsizetype i = 0; i < names.size(); ++i)
        order.append(QStringLiteral("%1 %2").arg(i + 1).arg(names.at(i)));
    const QString file = home.filePath(QStringLiteral("Odd/CSParameterOrder.plist"));
    writeFile(file, ov::test::toBinaryPlist(xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", order))));

    const Result run = ovmap({"show", file, "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonDocument parsed = QJsonDocument::fromJson(run.out);
    EXPECT_EQ(run.out, parsed.toJson(QJsonDocument::Indented));
    const QJsonArray table = parsed["plistBuild"].toArray();
    ASSERT_EQ(table.size(), 32);
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(table[i].toObject()["Parameter"].toString(), names.at(i));
    EXPECT_EQ(parsed["totalPages"].toInt(), 1);
    EXPECT_EQ(parsed["available"].toArray().size(), names.size() + 1);
}

TEST_F(Ovmap, ScanListsWhatTheEditorWouldList)
{
    const Result run = ovmap({"scan", "--home", home.path(), "--json"});
    ASSERT_EQ(run.status, 0);
    const QJsonArray records = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].toObject(),
              (QJsonObject{{"Type", "Logic"}, {"Plugin", "Synth"}, {"State", "Editable"}, {"fileLocation", synth}}));
    EXPECT_EQ(records[1].toObject()["Type"], "Maker");
    EXPECT_TRUE(run.err.contains("Reading Folder: " + home.path().toUtf8()));
    // --home isolates the scan: the machine-wide folder of a Mac that has Logic stays out.
    EXPECT_FALSE(run.err.contains("Reading Folder: /Library")) << run.err.toStdString();

    const Result text = ovmap({"scan", "--home", home.path()});
    EXPECT_EQ(text.out.split('\n').first(), ("Logic\tSynth\tEditable\t" + synth).toUtf8());
}

TEST_F(Ovmap, ShowIsTheMappingAsOpenedWithoutChangingTheFile)
{
    const QByteArray before = readFile(synth);
    const QJsonObject shown = showJson(synth);
    EXPECT_EQ(readFile(synth), before);
    EXPECT_EQ(shown["plugin_Mode"].toInt(), 1); // "Output Volume"
    EXPECT_EQ(shown["totalPages"].toInt(), 1);
    const QJsonArray available = shown["available"].toArray();
    ASSERT_EQ(available.size(), 3); // the empty entry, then the list opening would add
    EXPECT_EQ(available[0].toObject(),
              (QJsonObject{{"ParamNum", "0"}, {"Parameter", "-"}, {"OravelPage", 0}, {"OravelControlNo", 0}}));
    EXPECT_EQ(available[2].toObject()["Parameter"], "Output Volume");
    const QJsonArray table = shown["plistBuild"].toArray();
    ASSERT_EQ(table.size(), 32);
    EXPECT_EQ(table[1].toObject(),
              (QJsonObject{{"ParamNum", "0"}, {"Parameter", "-"}, {"OravelPage", 1}, {"OravelControlNo", 1}}));

    const Result text = ovmap({"show", synth});
    EXPECT_TRUE(text.out.contains("Page 1 of 1 (1 Page)"));
    EXPECT_TRUE(text.out.contains(" 1  Cutoff  (1)\n"));
    EXPECT_TRUE(text.out.contains(" 2  -\n"));
    EXPECT_EQ(ovmap({"show", synth, "--page", "2"}).status, 1);

    // 10,000 parameters in a binary file whose "-1" and names are each stored once and referred to.
    const QJsonObject shared = showJson(ov::test::plistlibFile("ten-thousand.bplist"));
    EXPECT_EQ(shared["totalPages"].toInt(), 625);
    EXPECT_EQ(shared["available"].toArray().size(), 10001);
    EXPECT_EQ(shared["plistBuild"].toArray()[19998].toObject()["Parameter"], "Parameter 9999");
}

TEST_F(Ovmap, EditAppliesOperationsAndSavesWithBackups)
{
    const Result run = ovmap({"edit", synth, "assign", "1", "2", "2 Output Volume", "add-page", "assign", "2", "32",
                              "1 Cutoff", "clear", "1", "1", "mode", "0"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("New Mapping has been saved\n"));
    EXPECT_TRUE(run.out.contains(synth.toUtf8() + ".prev"));
    EXPECT_EQ(backupsBeside(synth), (QStringList{"CSParameterOrder.plist", "CSParameterOrder.plist.original",
                                                 "CSParameterOrder.plist.prev"}));
    // The original backup is the file as it was, before the list of unique parameters was added.
    EXPECT_FALSE(readFile(synth + ".original").contains("StoreCSUnique"));
    const QJsonObject shown = showJson(synth);
    EXPECT_EQ(shown["plugin_Mode"].toInt(), 0);
    EXPECT_EQ(shown["totalPages"].toInt(), 2);
    const QJsonArray table = shown["plistBuild"].toArray();
    EXPECT_EQ(table[0].toObject()["Parameter"], "-");
    EXPECT_EQ(table[1].toObject()["Parameter"], "Output Volume");
    EXPECT_EQ(table[63].toObject()["ParamNum"], "1");
    EXPECT_TRUE(readFile(synth).contains("<key>Version</key>\n\t<real>1</real>"));
}

TEST_F(Ovmap, PageOperationsFollowTheEditor)
{
    ASSERT_EQ(ovmap({"edit", effect, "add-page", "add-page", "assign", "3", "1", "7 Mix", "swap-pages", "3", "1",
                     "delete-page", "2", "clear-page", "2"})
                  .status,
              0);
    const QJsonArray table = showJson(effect)["plistBuild"].toArray();
    ASSERT_EQ(table.size(), 64);
    EXPECT_EQ(table[0].toObject()["Parameter"], "Mix");
    EXPECT_EQ(table[32].toObject()["Parameter"], "-");
    // A binary file is written back as XML, its list kept.
    EXPECT_TRUE(readFile(effect).startsWith("<?xml"));
    EXPECT_EQ(showJson(effect)["available"].toArray().size(), 4);
}

TEST_F(Ovmap, ARefusedOperationSavesNothing)
{
    const QByteArray before = readFile(synth);
    const QList<QStringList> refused{{"delete-page", "1"},
                                     {"assign", "1", "33", "1 Cutoff"},
                                     {"assign", "2", "1", "1 Cutoff"},
                                     {"swap-pages", "1", "1"},
                                     {"clear-page", "0"},
                                     {"add-page", "swap-pages", "1", "3"}};
    for (const QStringList &ops : refused) {
        const Result run = ovmap(QStringList{"edit", synth, "assign", "1", "2", "1 Cutoff"} + ops);
        EXPECT_EQ(run.status, 1) << ops.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    // An entry the file's list lacks, a renamed one, and one without its blank are refused by name.
    for (const QString entry : {"999 Nonexistent", "2 Output", "abc"}) {
        const Result run = ovmap({"edit", synth, "assign", "1", "2", entry});
        EXPECT_EQ(run.status, 1) << entry.toStdString();
        EXPECT_TRUE(run.err.contains('"' + entry.toUtf8() + '"')) << run.err.toStdString();
    }
    EXPECT_TRUE(ovmap({"edit", synth, "delete-page", "1"}).err.contains("Cannot delete first page"));
    EXPECT_EQ(readFile(synth), before);
    EXPECT_EQ(backupsBeside(synth), QStringList{"CSParameterOrder.plist"});
}

TEST_F(Ovmap, UsageErrorsExitWithTwoAndUnreadableFilesWithOne)
{
    const Result version = ovmap({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QByteArray("ovmap ") + ov::kVersion + '\n');

    for (const QStringList &args : QList<QStringList>{{},
                                                      {"frobnicate"},
                                                      {"show"},
                                                      {"edit", synth},
                                                      {"edit", synth, "mode", "2"},
                                                      {"edit", synth, "assign", "1"},
                                                      {"recall", synth, "latest"},
                                                      {"scan", "--bogus"},
                                                      {"show", synth, "--page", "two"}})
        EXPECT_EQ(ovmap(args).status, 2) << args.join(' ').toStdString();
    writeFile(synth, "not a plist");
    EXPECT_EQ(ovmap({"show", synth}).status, 1);
    EXPECT_EQ(ovmap({"edit", synth, "add-page"}).status, 1);
    EXPECT_EQ(readFile(synth), "not a plist");
    EXPECT_EQ(ovmap({"show", home.filePath("missing.plist")}).status, 1);
}

TEST_F(Ovmap, RecallPutsABackupBack)
{
    EXPECT_EQ(ovmap({"recall", synth, "prev"}).status, 1);
    const QByteArray before = readFile(synth);
    ASSERT_EQ(ovmap({"edit", synth, "add-page"}).status, 0);
    const QByteArray listed = readFile(synth + ".prev");
    const Result run = ovmap({"recall", synth, "prev"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Recalled mapping has been applied\nNow saved as this plugins default\n");
    EXPECT_EQ(readFile(synth), listed);
    ASSERT_EQ(ovmap({"recall", synth, "original"}).status, 0);
    EXPECT_EQ(readFile(synth), before); // the file as it was before the list was added to it
    EXPECT_EQ(showJson(synth)["plistBuild"].toArray()[0].toObject()["Parameter"], "Cutoff");
}

TEST_F(Ovmap, AnEditThatChangesNothingSavesNothing)
{
    ASSERT_EQ(ovmap({"edit", effect, "add-page"}).status, 0);
    const QByteArray saved = readFile(effect);
    const QByteArray previous = readFile(effect + ".prev");
    // Slot 1/1 already holds "5 Time"; a page added and taken away again; the mode the file holds.
    const Result run = ovmap({"edit", effect, "assign", "1", "1", "5 Time", "add-page", "delete-page", "3", "mode",
                              QString::number(showJson(effect)["plugin_Mode"].toInt())});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Nothing changed")) << run.out.toStdString();
    EXPECT_EQ(readFile(effect), saved);
    EXPECT_EQ(readFile(effect + ".prev"), previous);
}

TEST_F(Ovmap, ChartsOneFileOrEveryPlugin)
{
    ASSERT_EQ(ovmap({"chart", synth}).status, 0);
    const QByteArray chart = readFile(synth + ".html");
    EXPECT_TRUE(chart.startsWith("<html><body><h1>MCU Mapping for 'Synth'</h1><p>File Location: " + synth.toUtf8()));
    EXPECT_TRUE(chart.contains("<td>Cutoff</td><td>-</td><td>Output Volume</td>"));

    const QString out = home.filePath("named.html");
    ASSERT_EQ(ovmap({"chart", synth, "--plugin", "Mine & Yours", "-o", out}).status, 0);
    EXPECT_TRUE(readFile(out).contains("MCU Mapping for 'Mine &amp; Yours'"));

    const QString folder = home.filePath("charts");
    const Result all = ovmap({"chart", "--all", "--home", home.path(), "--out-dir", folder});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"Logic - Synth.html", "Maker - Echo.html"}));
    EXPECT_TRUE(readFile(folder + "/Maker - Echo.html").contains("<td>Time</td><td>Feedback</td>"));
}

TEST_F(Ovmap, FillLaysOutTheParametersNotYetPlaced)
{
    writeFile(effect,
              xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"-1", "6 Feedback"})
                       + stringArrayXml("StoreCSUnique", {"-1", "5 Time", "6 Feedback", "7 Mix", "8 Time Mode"})));
    Result run = ovmap({"edit", effect, "fill", "1", "1", "--filter", "TIME"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Filled 2 controls, 0 pages added\nNew Mapping has been saved\n"));
    QJsonArray table = showJson(effect)["plistBuild"].toArray();
    EXPECT_EQ(table[0].toObject()["Parameter"], "Time");
    EXPECT_EQ(table[1].toObject()["Parameter"], "Feedback");
    EXPECT_EQ(table[2].toObject()["Parameter"], "Time Mode");

    ASSERT_EQ(ovmap({"edit", effect, "fill", "1", "32"}).status, 0);
    table = showJson(effect)["plistBuild"].toArray();
    ASSERT_EQ(table.size(), 32);
    EXPECT_EQ(table[31].toObject()["Parameter"], "Mix");
    EXPECT_EQ(ovmap({"edit", effect, "fill", "2", "1"}).status, 1);
    EXPECT_EQ(ovmap({"edit", effect, "fill", "1", "1", "--filter"}).status, 2);
}

TEST_F(Ovmap, CopyFromMatchesNamesAndReportsTheUnmatched)
{
    writeFile(effect, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"-1"})
                               + stringArrayXml("StoreCSUnique", {"-1", "15 cutoff", "16 Level"})));
    const Result run = ovmap({"edit", effect, "copy-from", synth});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Mapping copied from " + synth.toUtf8()
                                   + "\nControls matched: 1\nNames without a match: 1\n\nOutput Volume\n"));
    const QJsonArray table = showJson(effect)["plistBuild"].toArray();
    EXPECT_EQ(table[0].toObject()["ParamNum"], "15");
    EXPECT_EQ(table[2].toObject()["Parameter"], "-");
    EXPECT_EQ(ovmap({"edit", effect, "copy-from", home.filePath("missing.plist")}).status, 1);
}

TEST_F(Ovmap, DiffComparesWithABackupOrAnotherFile)
{
    EXPECT_EQ(ovmap({"diff", synth}).status, 2); // no ".prev" yet
    ASSERT_EQ(ovmap({"edit", synth, "assign", "1", "2", "2 Output Volume"}).status, 0);
    ASSERT_EQ(ovmap({"edit", synth, "add-page", "assign", "2", "3", "1 Cutoff"}).status, 0);
    const QList<Case> cases{
        {{"diff", synth}, 1, "2/3\t-1\t1 Cutoff\n"},
        {{"diff", synth, "prev"}, 1, "2/3\t-1\t1 Cutoff\n"},
        {{"diff", synth, "original"}, 1, "1/2\t-1\t2 Output Volume\n2/3\t-1\t1 Cutoff\n"},
        {{"diff", synth, effect},
         1,
         "1/1\t5 Time\t1 Cutoff\n1/2\t6 Feedback\t2 Output Volume\n1/3\t-1\t2 Output Volume\n2/3\t-1\t1 Cutoff\n"},
        {{"diff", synth, synth}, 0, ""},
        {{"diff", synth, home.filePath("missing")}, 2, ""},
        {{"diff"}, 2, ""},
    };
    expectRuns(cases);
}

// What Python's zipfile module, a reader of its own, makes of an archive: its names, then "ok".
QByteArray zipListing(const QString &archive)
{
    QProcess python;
    python.start(QStringLiteral(PYTHON_PATH),
                 {"-c",
                  "import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nprint('\\n'.join(sorted(z.namelist())))\n"
                  "print('ok' if z.testzip() is None else 'bad')",
                  archive});
    python.waitForFinished(30000);
    return python.readAllStandardOutput();
}

TEST_F(Ovmap, BackupWritesOneZipOfEveryPluginWithItsBackups)
{
    ASSERT_EQ(ovmap({"edit", synth, "add-page"}).status, 0);
    const QString archive = home.filePath("library.zip");
    const Result run = ovmap({"backup", "--home", home.path(), "-o", archive});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Backed up 2 plug-ins (4 files) to " + archive.toUtf8() + "\n");
    EXPECT_EQ(zipListing(archive), "manifest.json\n"
                                   "user-logic/Synth/CSParameterOrder.plist\n"
                                   "user-logic/Synth/CSParameterOrder.plist.original\n"
                                   "user-logic/Synth/CSParameterOrder.plist.prev\n"
                                   "user-presets/Maker/Echo/CSParameterOrder.plist\n"
                                   "ok\n");

    const Result nowhere = ovmap({"backup", "--home", home.path(), "-o", home.filePath("no/such/folder.zip")});
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_TRUE(nowhere.err.contains("could not be written")) << nowhere.err.toStdString();
    EXPECT_EQ(ovmap({"backup", "--home", home.path()}).status, 2);
}

TEST_F(Ovmap, RestoreListsEachPluginAndWritesWhatDiffersOrIsNew)
{
    const QString archive = home.filePath("library.zip");
    ASSERT_EQ(ovmap({"backup", "--home", home.path(), "-o", archive}).status, 0);
    const QByteArray backedUp = readFile(synth);
    ASSERT_EQ(ovmap({"edit", synth, "assign", "1", "1", "2 Output Volume"}).status, 0);
    const QByteArray edited = readFile(synth);

    const Result preview = ovmap({"restore", archive, "--home", home.path(), "--dry-run"});
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_EQ(preview.out, "Synth [Logic]: differs in 1 control; would be restored\n"
                           "Echo [Maker]: same\n"
                           "Dry run: nothing was written\n");
    EXPECT_EQ(readFile(synth), edited);

    const Result run = ovmap({"restore", archive, "--home", home.path()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(synth), backedUp);
    EXPECT_EQ(readFile(synth + ".prev"), edited);

    // An entry that climbs out of the settings folders, added by another zip writer.
    QProcess::execute(
        QStringLiteral(PYTHON_PATH),
        {"-c", "import sys, zipfile\nzipfile.ZipFile(sys.argv[1], 'a').writestr('../../evil', 'x')", archive});
    const Result hostile = ovmap({"restore", archive, "--home", home.path()});
    EXPECT_EQ(hostile.status, 1);
    EXPECT_TRUE(hostile.err.contains("refused: ../../evil: not listed in the manifest")) << hostile.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.filePath("../evil")));

    writeFile(archive, "not a zip");
    const Result garbage = ovmap({"restore", archive, "--home", home.path()});
    EXPECT_EQ(garbage.status, 2);
    EXPECT_TRUE(garbage.err.startsWith(archive.toUtf8() + " is not a library backup")) << garbage.err.toStdString();
}

TEST_F(Ovmap, CheckListsControlsThatDoNotFitAndRepairsThem)
{
    writeFile(effect, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"5 Time", "9 Mix", "6 Fedback"})
                               + stringArrayXml("StoreCSUnique", {"-1", "5 Time", "6 Feedback", "7 Mix"})));
    const QByteArray misfits = effect.toUtf8() + ": Page 1, control 2: \"9 Mix\" is not a parameter of this plugin\n"
                               + effect.toUtf8()
                               + ": Page 1, control 3: parameter 6 is \"Feedback\" in this plugin, not \"Fedback\"\n";
    const QList<Case> cases{
        {{"check", synth}, 0, ""},
        {{"check", synth, effect}, 1, misfits},
        {{"check", home.filePath("missing"), synth}, 2, ""},
        {{"check", "--repair", effect}, 1, misfits + effect.toUtf8() + ": Repaired the mapping: 1 moved, 1 emptied\n"},
        {{"check", effect}, 0, ""},
        {{"check"}, 2, ""},
    };
    expectRuns(cases);
    EXPECT_EQ(showJson(effect)["plistBuild"].toArray()[1].toObject()["ParamNum"], "7");
    EXPECT_TRUE(QFile::exists(effect + ".prev"));
    // What copy-from and fill put on controls always fits.
    ASSERT_EQ(ovmap({"edit", effect, "copy-from", synth, "fill", "1", "1"}).status, 0);
    EXPECT_EQ(ovmap({"check", effect}).status, 0);
}

TEST_F(Ovmap, ShowWidthCutsNamesAndNamesTheOtherControlShowingTheSame)
{
    writeFile(synth,
              xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"1 Cutoff A", "2 Cutoff B", "-1", "3 Drive"})));
    const QList<Case> cases{
        {{"show", synth, "--width", "6"},
         0,
         "1/1\tCutoff\tCutoff A\tsame as 1/2\n1/2\tCutoff\tCutoff B\tsame as 1/1\n1/4\tDrive\tDrive\n"},
        {{"show", synth, "--width", "8", "--page", "1"},
         0,
         "1/1\tCutoff A\tCutoff A\n1/2\tCutoff B\tCutoff B\n1/4\tDrive\tDrive\n"},
        {{"show", synth, "--width", "0"}, 2, ""},
        {{"show", synth, "--width", "65"}, 2, ""},
    };
    expectRuns(cases);
}

TEST_F(Ovmap, LayoutsAreSavedListedAndAppliedToEachPluginOnItsOwn)
{
    const QString layouts = home.filePath("layouts");
    const QString locked = home.filePath("Music/Audio Music Apps/Plug-In Settings/Locked/CSParameterOrder.plist");
    writeFile(locked, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"-1", "8 CUTOFF"})
                               + stringArrayXml("StoreCSUnique", {"-1", "8 CUTOFF"})));
    writeFile(locked + ".prev/keep", "a folder where the backup goes: the save cannot be made");
    writeFile(effect, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"-1"})
                               + stringArrayXml("StoreCSUnique", {"-1", "4 cutoff", "5 Time"})));
    const QByteArray lockedBefore = readFile(locked);
    const QString drive = home.filePath("Drive/CSParameterOrder.plist");
    writeFile(drive, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"9 Drive"})
                              + stringArrayXml("StoreCSUnique", {"-1", "9 Drive"})));
    const QByteArray driveBefore = readFile(drive);
    const QList<Case> cases{
        {{"layout", "save", synth, "Synths", "--layouts", layouts},
         0,
         "Layout \"Synths\" saved with 2 controls: " + layouts.toUtf8() + "/Synths.json\n"},
        {{"layout", "list", "--layouts", layouts}, 0, "Synths\t2 controls on 1 pages\n"},
        {{"layout", "apply", "Synths", "--all", "--home", home.path(), "--plugin", "[EL]*", "--dry-run", "--layouts",
          layouts},
         0,
         "Maker/Echo\tmatched 1 of 2 (no match: Output Volume)\twould be saved\n"},
        {{"layout", "apply", "Synths", "--all", "--home", home.path(), "--type", "logic", "--layouts", layouts},
         1,
         "Logic/Locked\tmatched 1 of 2 (no match: Output Volume)\tnot saved: "},
        {{"layout", "apply", "Synths", "--all", "--home", home.path(), "--type", "logic", "--layouts", layouts},
         1,
         "Logic/Synth\tmatched 2 of 2\tunchanged, not saved\n"},
        {{"layout", "apply", "Synths", effect, "--layouts", layouts},
         0,
         effect.toUtf8() + "\tmatched 1 of 2 (no match: Output Volume)\tsaved\n"},
        {{"layout", "apply", "Nothing", effect, "--layouts", layouts}, 1, ""},
        {{"layout", "apply", "Synths", drive, "--layouts", layouts},
         1,
         drive.toUtf8()
             + "\tmatched 0 of 2 (no match: Cutoff, Output Volume)\tnot saved: no control of the layout "
               "matches a parameter of this plugin\n"},
        {{"layout", "apply", "Synths", "--layouts", layouts}, 2, ""},
        {{"layout", "apply", "Synths", effect, "--type", "Logic", "--layouts", layouts}, 2, ""},
    };
    expectRuns(cases, false);
    EXPECT_EQ(readFile(locked), lockedBefore);
    EXPECT_EQ(readFile(drive), driveBefore);
    EXPECT_EQ(showJson(effect)["plistBuild"].toArray()[0].toObject()["ParamNum"], "4");
    EXPECT_EQ(ovmap({"layout", "apply", "Synths", effect, effect, "--layouts", layouts}).out,
              effect.toUtf8() + "\tmatched 1 of 2 (no match: Output Volume)\tunchanged, not saved\n");
}
