#include "library/BackupManifest.h"
#include "library/LibraryRestore.h"
#include "library/ZipArchive.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "support/TestFiles.h"

#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace ov::library;
using ov::test::readFile;
using ov::test::stringArrayXml;
using ov::test::writeFile;
using ov::test::xmlPlist;

namespace {

const QString kSynthEntry = QStringLiteral("user-logic/Retro Synth/CSParameterOrder.plist");

class Library : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString home = dir.filePath("home");
    QString archive = dir.filePath("library.zip");
    QString synth = home + "/Music/Audio Music Apps/Plug-In Settings/Retro Synth/CSParameterOrder.plist";
    QString echo = home + "/Library/Audio/Presets/Maker/Echo/CSParameterOrder.plist";

    void SetUp() override
    {
        writeFile(synth, readFile(ov::test::retroSynthFixture()));
        writeFile(echo, xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"5 Time", "6 Feedback"})));
        writeFile(echo + ".prev", xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"5 Time"})));
        const BackupReport report = backUpLibrary(settingsRoots(home, QString()), archive, {});
        ASSERT_TRUE(report.fatal.isEmpty()) << report.fatal.toStdString();
        ASSERT_EQ(report.items.size(), 2);
    }

    RestoreReport restoreInto(const QString &target, bool dryRun = false)
    {
        return restoreLibrary(archive, settingsRoots(target, QString()), dryRun);
    }

    // Rewrites the archive after `change` has had its entries and its manifest.
    void rewrite(const std::function<void(QVector<ZipEntry> &, Manifest &)> &change)
    {
        QVector<ZipEntry> entries = readZip(archive).entries;
        QString error;
        Manifest manifest = parseManifest(entries.first().bytes, &error).value();
        change(entries, manifest);
        entries.first().bytes = manifestJson(manifest);
        ASSERT_TRUE(writeZip(archive, entries, &error)) << error.toStdString();
    }

    QMap<QString, QByteArray> filesUnder(const QString &folder)
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString path = it.next(); path != archive)
                files.insert(path, readFile(path));
        return files;
    }
};

const RestoreItem *itemNamed(const RestoreReport &report, const QString &name)
{
    for (const RestoreItem &item : report.items)
        if (item.name == name)
            return &item;
    return nullptr;
}

TEST_F(Library, RestoreNamesWhatDiffersAndTheReplacedMappingBecomesThePrevious)
{
    const QByteArray backedUp = readFile(synth);
    auto table = ov::mapping::readMappingTable(synth).table.value();
    table[0].Parameter = QStringLiteral("Moved");
    table[40] = table[1];
    ASSERT_TRUE(ov::mapping::exportToPlist(synth, table, 1).ok());
    const QByteArray edited = readFile(synth);

    const RestoreReport preview = restoreInto(home, true);
    ASSERT_EQ(preview.items.size(), 2);
    EXPECT_EQ(preview.items[0].state, RestoreState::Differs);
    EXPECT_EQ(preview.items[0].changedControls, 2);
    EXPECT_EQ(preview.items[1].state, RestoreState::Same);
    EXPECT_EQ(readFile(synth), edited);

    const RestoreReport restored = restoreInto(home);
    EXPECT_EQ(restored.problems(), 0);
    EXPECT_TRUE(restored.items[0].restored);
    EXPECT_EQ(readFile(synth), backedUp);
    EXPECT_EQ(readFile(synth + ".prev"), edited);

    // A new machine gets every plug-in with its backups, under Logic's own folder name.
    const QString fresh = dir.filePath("fresh");
    EXPECT_EQ(restoreInto(fresh).problems(), 0);
    EXPECT_EQ(readFile(fresh + "/Music/Audio Music Apps/Plug-In Settings/Retro Synth/CSParameterOrder.plist"),
              backedUp);
    EXPECT_EQ(readFile(fresh + "/Library/Audio/Presets/Maker/Echo/CSParameterOrder.plist.prev"),
              readFile(echo + ".prev"));
}

TEST_F(Library, ARestoreOfChosenEntriesWritesOnlyThoseAndComparesTheRest)
{
    const QString fresh = dir.filePath("fresh");
    const RestoreReport report =
        restoreLibrary(archive, settingsRoots(fresh, QString()), false, QSet<QString>{kSynthEntry});
    ASSERT_EQ(report.items.size(), 2);
    EXPECT_TRUE(itemNamed(report, kSynthEntry)->restored);
    EXPECT_EQ(report.items[1].state, RestoreState::New);
    EXPECT_FALSE(report.items[1].restored);
    EXPECT_EQ(filesUnder(fresh).size(), 1) << "only the chosen plug-in's file is written";
}

TEST_F(Library, UnsafeDamagedOrMismatchingEntriesAreRefusedByNameAndNothingOfThemIsWritten)
{
    const QByteArray other = xmlPlist(stringArrayXml("ControlSurfaceParameterOrder", {"9 Other"}));
    const auto renameSynth = [&](const QString &path) {
        return [=](QVector<ZipEntry> &entries, Manifest &manifest) {
            manifest.plugins[0].path = path;
            entries[1] = {manifest.plugins[0].entryName(QString()), other, {}, true, {}};
            manifest.plugins[0].files[0] = {QString(), sha256Hex(other), other.size()};
        };
    };
    struct Case {
        const char *label;
        std::function<void(QVector<ZipEntry> &, Manifest &)> change;
        std::function<void()> prepare;
        QString name;
        QString reason;
        QStringList restored;
    };
    const QString outside = dir.filePath("outside");
    const QString synthFolder = QFileInfo(synth).path();
    const Case cases[] = {
        {"parent folder",
         renameSynth("../../../escape/CSParameterOrder.plist"),
         {},
         "user-logic/../../../escape/CSParameterOrder.plist",
         "leaves the settings folder",
         {}},
        {"absolute path",
         renameSynth(outside + "/CSParameterOrder.plist"),
         {},
         "user-logic/" + outside + "/CSParameterOrder.plist",
         "an absolute path",
         {}},
        {"entry outside the manifest",
         [&](QVector<ZipEntry> &entries, Manifest &) {
             entries.append({"user-logic/../../evil/CSParameterOrder.plist", other, {}, true, {}});
         },
         {},
         "user-logic/../../evil/CSParameterOrder.plist",
         "not listed in the manifest",
         {}},
        {"checksum",
         [&](QVector<ZipEntry> &entries, Manifest &) { entries[1].bytes.replace("Oscillator", "Oscillatox"); },
         {},
         kSynthEntry,
         "does not match its checksum",
         {}},
        {"plug-in folder is a link",
         renameSynth("Retro Synth/CSParameterOrder.plist"),
         [&] {
             QDir().rename(synthFolder, outside);
             QFile::link(outside, synthFolder);
         },
         kSynthEntry,
         "goes through the link",
         {}},
        {"damaged data",
         [&](QVector<ZipEntry> &, Manifest &) {},
         [&] {
             QByteArray bytes = readFile(archive);
             const qsizetype at = bytes.indexOf(kSynthEntry.toUtf8()) + 150;
             bytes[at] = static_cast<char>(~bytes[at]);
             bytes[at + 1] = static_cast<char>(~bytes[at + 1]);
             writeFile(archive, bytes);
             QFile::remove(synth);
         },
         kSynthEntry,
         "is damaged",
         {}},
        {"not an archive", {}, [&] { writeFile(archive, "PK not really"); }, {}, "is not a library backup", {}},
        {"folder cannot be written",
         {},
         [&] {
             QDir(synthFolder).removeRecursively();
             writeFile(synthFolder, "a file where the folder goes");
             QFile::remove(echo);
         },
         kSynthEntry,
         "could not be made",
         {echo}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        dir.remove();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        SetUp();
        if (c.change)
            rewrite(c.change);
        if (c.prepare)
            c.prepare();
        QMap<QString, QByteArray> expected = filesUnder(dir.path());
        const RestoreReport report = restoreInto(home);
        for (const QString &path : c.restored)
            expected.insert(path, readFile(path));
        EXPECT_EQ(filesUnder(dir.path()), expected);
        if (c.name.isEmpty()) {
            EXPECT_TRUE(report.fatal.contains(c.reason)) << report.fatal.toStdString();
            continue;
        }
        const RestoreItem *item = itemNamed(report, c.name);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->detail.contains(c.reason)) << item->detail.toStdString();
        EXPECT_FALSE(item->restored);
        EXPECT_GT(report.problems(), 0);
    }
}

} // namespace
