// The two writers of a parameter-order file: adding the list of unique parameters, and saving with
// backups; and recall. Both must keep every key they do not own exactly as it was.
#include "mapping/MappingTexts.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "plist/PlistBuffer.h"
#include "plist/PlistRead.h"
#include "support/TestFiles.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <unistd.h>

using namespace ov::mapping;
using ov::test::readFile;
using ov::test::stringArrayXml;
using ov::test::writeFile;
using ov::test::xmlPlist;

namespace {

// Keys of every type around the ones this program owns.
const QString kOtherKeys = QStringLiteral(
    "<key>Version</key><real>1</real>"
    "<key>Precise</key><real>0.1</real>"
    "<key>Count</key><integer>-42</integer>"
    "<key>Big</key><integer>9007199254740993</integer>"
    "<key>Saved</key><date>2019-06-03T10:20:30Z</date>"
    "<key>Blob</key><data>AAECAwQF/w==</data>"
    "<key>Flag</key><false/>"
    "<key>Nested</key><dict><key>inner</key><array><string>a &amp; b</string><dict/><array/></array></dict>"
    "<key>Text</key><string>Ünïcödé ✓</string>");

QString order(const QStringList &values)
{
    return stringArrayXml(QStringLiteral("ControlSurfaceParameterOrder"), values);
}

// The file as libplist sees it, without the keys given, for comparing everything else.
QByteArray withoutKeys(const QString &path, const QStringList &keys)
{
    const QByteArray bytes = readFile(path);
    plist_t root = ov::plist::readXmlOrBinary(bytes.constData(), static_cast<uint32_t>(bytes.size()));
    if (!root)
        return "unreadable";
    for (const QString &key : keys)
        plist_dict_remove_item(root, key.toUtf8().constData());
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    QByteArray result(xml, length);
    ov::plist::freeBuffer(xml);
    plist_free(root);
    return result;
}

QStringList keyOrder(const QString &path)
{
    QStringList keys;
    const QString text = QString::fromUtf8(readFile(path));
    qsizetype at = 0;
    // Top-level keys only: those at one tab of indentation.
    while ((at = text.indexOf(QStringLiteral("\n\t<key>"), at)) >= 0) {
        at += 7;
        keys << text.mid(at, text.indexOf(QLatin1Char('<'), at) - at);
    }
    return keys;
}

QStringList stringsOf(const QString &path, const char *key)
{
    return PlistDocument::read(path)
        .document.stringArray(key, QStringLiteral("<not a string>"))
        .value_or(QStringList{"<absent>"});
}

QVector<ParameterEntry> tableOf(const QStringList &slotStrings)
{
    QVector<ParameterEntry> table;
    for (int i = 0; i < slotStrings.size(); ++i) {
        ParameterEntry entry = splitEntryString(slotStrings[i]);
        entry.OravelPage = i / 32 + 1;
        entry.OravelControlNo = i;
        table.append(entry);
    }
    return table;
}

class FileWriting : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("CSParameterOrder.plist");
};

} // namespace

TEST_F(FileWriting, OravelizeAddsDistinctSlotsInOrderOfFirstAppearance)
{
    writeFile(path, xmlPlist(order({"-1", "3 Gain", "-1", "3 Gain", "5 Pan"})));
    const OravelizeResult result = oravelizePlistFile(path);
    EXPECT_EQ(result.outcome, OravelizeOutcome::Added);
    EXPECT_EQ(stringsOf(path, "StoreCSUnique"), (QStringList{"-1", "3 Gain", "5 Pan"}));
    const LoadedMapping loaded = readPlistFile(path, 1, 0);
    ASSERT_EQ(loaded.available.size(), 3);
    EXPECT_EQ(loaded.available[1], (ParameterEntry{"3", "Gain", 0, 0}));
    EXPECT_EQ(loaded.available[2], (ParameterEntry{"5", "Pan", 0, 0}));
    // The document handed back is the one on disk.
    EXPECT_EQ(result.document.toXml(), readFile(path));
}

TEST_F(FileWriting, OravelizeKeepsLogicsOwnFileAsTheOriginalBackupAndRecallBringsItBack)
{
    const QByteArray logics = ov::test::toBinaryPlist(xmlPlist(kOtherKeys + order({"1 A", "-1", "2 B"})));
    writeFile(path, logics);
    ASSERT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Added);
    EXPECT_EQ(readFile(path + ".original"), logics);
    ASSERT_TRUE(exportToPlist(path, tableOf({"2 B"}), 1).ok());
    EXPECT_EQ(readFile(path + ".original"), logics);
    ASSERT_TRUE(recallOriginalMapping(path, "original").ok());
    EXPECT_EQ(readFile(path), logics);
    // An original backup that exists already is never replaced.
    ASSERT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Added);
    writeFile(path, xmlPlist(order({"7 C"})));
    ASSERT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Added);
    EXPECT_EQ(readFile(path + ".original"), logics);
}

TEST_F(FileWriting, OravelizeKeepsEveryOtherKeyAndReplacesAnEmptyList)
{
    writeFile(path, xmlPlist(kOtherKeys + order({"1 A", "2 B", "1 A"}) + stringArrayXml("StoreCSUnique", {})));
    const QByteArray before = withoutKeys(path, {"StoreCSUnique"});
    ASSERT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Added);
    EXPECT_EQ(withoutKeys(path, {"StoreCSUnique"}), before);
    EXPECT_EQ(stringsOf(path, "StoreCSUnique"), (QStringList{"-1", "1 A", "2 B"}));
    // The list keeps its place among the keys.
    EXPECT_EQ(keyOrder(path).last(), "StoreCSUnique");
    EXPECT_EQ(keyOrder(path).first(), "Version");
}

TEST_F(FileWriting, OravelizeLeavesAFileWithAListByteForByte)
{
    // Binary, and with a list that no longer matches the slotStrings: never rebuilt, never rewritten.
    const QByteArray binary = ov::test::toBinaryPlist(
        xmlPlist(kOtherKeys + order({"9 New"}) + stringArrayXml("StoreCSUnique", {"-1", "1 Old"})));
    writeFile(path, binary);
    EXPECT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::AlreadyListed);
    EXPECT_EQ(readFile(path), binary);
    // Any element counts, even one that is not a string.
    const QByteArray odd = xmlPlist(order({"9 New"}) + "<key>StoreCSUnique</key><array><integer>3</integer></array>");
    writeFile(path, odd);
    EXPECT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::AlreadyListed);
    EXPECT_EQ(readFile(path), odd);
}

TEST_F(FileWriting, OravelizeNeverTouchesAFileItCannotRead)
{
    for (const QByteArray &bytes :
         {QByteArray("not a plist at all"), QByteArray(), QByteArray("<?xml version=\"1.0\"?><plist><array/></plist>"),
          xmlPlist(order({"1 A"})).left(120)}) {
        writeFile(path, bytes);
        EXPECT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Unreadable);
        EXPECT_EQ(readFile(path), bytes);
    }
    QFile::remove(path);
    EXPECT_EQ(oravelizePlistFile(path).outcome, OravelizeOutcome::Missing);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(FileWriting, FirstSaveMakesBothBackupsOfTheFileAsItWas)
{
    writeFile(path, ov::test::toBinaryPlist(xmlPlist(kOtherKeys + order({"1 A", "2 B"})
                                                     + stringArrayXml("StoreCSUnique", {"-1", "1 A", "2 B"}))));
    const QByteArray before = readFile(path);
    const QByteArray keysBefore = withoutKeys(path, {"ControlSurfaceParameterOrder", "OravelCSMode"});

    QStringList slotStrings(64, "-1");
    slotStrings[0] = "2 B";
    slotStrings[1] = "1 A";
    const SaveResult result = exportToPlist(path, tableOf(slotStrings), 1);
    ASSERT_TRUE(result.ok()) << result.informativeText().toStdString();
    EXPECT_EQ(readFile(path + ".original"), before);
    EXPECT_EQ(readFile(path + ".prev"), before);
    EXPECT_EQ(stringsOf(path, "ControlSurfaceParameterOrder"), slotStrings);
    EXPECT_EQ(stringsOf(path, "OravelCSMode"), QStringList{"1"});
    // Every other key, the list of unique parameters among them, comes through unchanged; the file is XML now.
    EXPECT_EQ(withoutKeys(path, {"ControlSurfaceParameterOrder", "OravelCSMode"}), keysBefore);
    EXPECT_TRUE(readFile(path).startsWith("<?xml"));

    EXPECT_EQ(result.message(), "New Mapping has been saved");
    EXPECT_EQ(result.informativeText(),
              "Please remember to close and re-open plugin within Logic so that changes are updated\n\n\n"
              "Backup of previous plist file has been saved here:\n\n"
                  + path + ".prev");
}

TEST_F(FileWriting, LaterSavesReplaceOnlyThePreviousBackup)
{
    writeFile(path, xmlPlist(order({"1 A"})));
    const QByteArray original = readFile(path);
    ASSERT_TRUE(exportToPlist(path, tableOf(QStringList(32, "-1")), 0).ok());
    const QByteArray firstSave = readFile(path);
    QStringList slotStrings(32, "-1");
    slotStrings[31] = "7 Seven";
    ASSERT_TRUE(exportToPlist(path, tableOf(slotStrings), 0).ok());
    EXPECT_EQ(readFile(path + ".original"), original);
    EXPECT_EQ(readFile(path + ".prev"), firstSave);
    EXPECT_EQ(stringsOf(path, "ControlSurfaceParameterOrder").last(), "7 Seven");
    EXPECT_EQ(stringsOf(path, "OravelCSMode"), QStringList{"0"});
    // Nothing else is left beside the file (no temporary files).
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(FileWriting, SaveOfAFileThatCannotBeReadWritesNothing)
{
    writeFile(path, "garbage");
    const SaveResult result = exportToPlist(path, tableOf(QStringList(32, "1 A")), 1);
    EXPECT_EQ(result.outcome, SaveResult::Outcome::Unreadable);
    EXPECT_EQ(result.message(), texts::kMappingNotSaved);
    EXPECT_TRUE(result.informativeText().contains(path));
    EXPECT_EQ(readFile(path), "garbage");
    EXPECT_FALSE(QFileInfo::exists(path + ".original"));
    EXPECT_FALSE(QFileInfo::exists(path + ".prev"));

    QFile::remove(path);
    EXPECT_EQ(exportToPlist(path, tableOf(QStringList(32, "1 A")), 1).outcome, SaveResult::Outcome::Unreadable);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(FileWriting, AFailedBackupIsReportedAndLeavesTheFileAlone)
{
    writeFile(path, xmlPlist(order({"1 A"})));
    const QByteArray before = readFile(path);
    // A folder where the previous backup goes cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(path + ".prev/inside"));
    const SaveResult result = exportToPlist(path, tableOf(QStringList(32, "2 B")), 1);
    EXPECT_EQ(result.outcome, SaveResult::Outcome::BackupFailed);
    EXPECT_EQ(result.failedPath, path + ".prev");
    EXPECT_NE(result.message(), texts::kMappingSaved);
    EXPECT_TRUE(result.informativeText().contains(path + ".prev"));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(FileWriting, SaveWithoutRightsIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes everywhere";
    writeFile(path, xmlPlist(order({"1 A"})));
    const QByteArray before = readFile(path);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SaveResult result = exportToPlist(path, tableOf(QStringList(32, "2 B")), 1);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(result.outcome, SaveResult::Outcome::BackupFailed);
    EXPECT_EQ(result.failedPath, path + ".original");
    EXPECT_EQ(readFile(path), before);
}

TEST_F(FileWriting, RecallPutsTheBackupBackAndKeepsIt)
{
    writeFile(path, xmlPlist(order({"1 A"})));
    const QByteArray before = readFile(path);
    ASSERT_TRUE(exportToPlist(path, tableOf(QStringList(32, "2 B")), 1).ok());
    const RecallResult result = recallOriginalMapping(path, "prev");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(readFile(path + ".prev"), before);
    EXPECT_EQ(result.message(), "Recalled mapping has been applied");
    EXPECT_EQ(result.informativeText(), "Now saved as this plugins default");
    EXPECT_TRUE(recallOriginalMapping(path, "original").ok());
    EXPECT_EQ(readFile(path), before);
}

TEST_F(FileWriting, RecallOfAMissingOrUnreadableBackupChangesNothing)
{
    writeFile(path, xmlPlist(order({"1 A"})));
    const QByteArray before = readFile(path);
    const RecallResult missing = recallOriginalMapping(path, "original");
    EXPECT_EQ(missing.outcome, RecallResult::Outcome::Missing);
    EXPECT_EQ(missing.message(), "Recall file does not exist");
    EXPECT_EQ(missing.informativeText(),
              "Please Note: Original, and Previous backup files will only exist once a mapping has been saved, "
              "simply reselect plugin on left menu to reload the default file again.");
    ASSERT_TRUE(QDir().mkpath(path + ".prev"));
    const RecallResult failed = recallOriginalMapping(path, "prev");
    EXPECT_EQ(failed.outcome, RecallResult::Outcome::CopyFailed);
    EXPECT_NE(failed.message(), texts::kRecallApplied);
    EXPECT_TRUE(failed.informativeText().contains(path + ".prev"));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(FileWriting, SavingABinaryFileThatSharesObjectsKeepsTheOtherKeys)
{
    writeFile(path, readFile(ov::test::plistlibFile("shared-between-keys.bplist")));
    const LoadedMapping loaded = readPlistFile(path, 1, 0);
    ASSERT_EQ(loaded.plistBuild.size(), 64);
    EXPECT_EQ(loaded.plistBuild[40].Parameter, "B");
    ASSERT_TRUE(exportToPlist(path, loaded.plistBuild, loaded.pluginMode).ok());
    const QStringList owned{"ControlSurfaceParameterOrder", "OravelCSMode"};
    EXPECT_EQ(withoutKeys(path, owned), withoutKeys(ov::test::plistlibFile("shared-between-keys.xml"), owned));
    EXPECT_EQ(readPlistFile(path, 1, 0).plistBuild, loaded.plistBuild);
}

TEST_F(FileWriting, SavedFileLoadsBackAsTheSameTable)
{
    writeFile(path, xmlPlist(stringArrayXml("StoreCSUnique", {"-1", "1 A"})));
    QStringList slotStrings(96, "-1");
    slotStrings[5] = "12 Filter Cutoff";
    slotStrings[40] = " lead blank";
    slotStrings[95] = "3 ";
    const QVector<ParameterEntry> table = tableOf(slotStrings);
    ASSERT_TRUE(exportToPlist(path, table, 0).ok());
    const LoadedMapping loaded = readPlistFile(path, 1, 1);
    EXPECT_EQ(loaded.plistBuild, table);
    EXPECT_EQ(loaded.totalPages, 3);
    EXPECT_EQ(loaded.pluginMode, 0);
}
