// Kills a process that writes a parameter-order file at random moments, and checks after every kill
// that nothing was lost: the file and its backups are whole property lists holding one of the states
// that were written, with every other key intact.
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <spawn.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

using namespace ov::mapping;
using ov::test::readFile;
using ov::test::stringArrayXml;
using ov::test::writeFile;
using ov::test::xmlPlist;

extern char **environ;

namespace {

constexpr int kKills = 300;

const QString kOtherKeys =
    QStringLiteral("<key>Version</key><real>1</real><key>Saved</key><date>2020-01-02T03:04:05Z</date>"
                   "<key>Blob</key><data>AAEC</data><key>Nested</key><dict><key>n</key><integer>-3</integer></dict>");

struct Observed {
    PlistReadStatus status = PlistReadStatus::Missing;
    PlistDocument document;
};

Observed observe(const QString &path)
{
    PlistRead read = PlistDocument::read(path);
    return {read.status, std::move(read.document)};
}

// Every key but those the writers own, as XML, for comparing.
QByteArray otherKeys(const PlistDocument &document)
{
    PlistDocument copy = document;
    for (const char *key : {kControlSurfaceParameterOrderKey, kStoreCSUniqueKey, kOravelCSModeKey})
        copy.setStringArray(key, {});
    return copy.toXml();
}

// Starts the writer, lets it run for a random moment once it has begun, and kills it.
void runAndKill(const char *mode, const QString &path, std::mt19937 &random)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    const QByteArray pathBytes = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(CRASH_WRITER_PATH), const_cast<char *>(mode),
                    const_cast<char *>(pathBytes.constData()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, CRASH_WRITER_PATH, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    char line[8] = {};
    ASSERT_GT(read(ready[0], line, sizeof line - 1), 0);
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(random)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own";
}

class CrashSafety : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("CSParameterOrder.plist");
    std::mt19937 random{std::random_device{}()};
    QByteArray others;

    void SetUp() override
    {
        writeFile(path, xmlPlist(kOtherKeys + stringArrayXml("ControlSurfaceParameterOrder", {"1 Start"})
                                 + stringArrayXml("StoreCSUnique", {"-1", "1 Start"})));
        others = otherKeys(observe(path).document);
    }

    void expectWhole(const QString &file, const char *what, int kill)
    {
        const Observed seen = observe(file);
        ASSERT_EQ(seen.status, PlistReadStatus::Ok) << what << " is not a whole property list after kill " << kill;
        ASSERT_EQ(otherKeys(seen.document), others) << what << " lost a key after kill " << kill;
    }
};

// The table a save wrote: the slot list names the table ("Alpha" or "Beta"), or the starting one.
QString tableName(const PlistDocument &document)
{
    const QStringList slots_ = controlSurfaceOrder(document);
    if (slots_ == QStringList{"1 Start"})
        return QStringLiteral("start");
    const QString first = slots_.value(0);
    const QString name = first.section(QLatin1Char(' '), 1, 1);
    const int expected = name == QLatin1String("Alpha") ? 40 * 32 : 3 * 32;
    for (int i = 0; i < slots_.size(); ++i)
        if (slots_[i] != QStringLiteral("%1 %2 %1").arg(i).arg(name))
            return QStringLiteral("mixed");
    return slots_.size() == expected ? name : QStringLiteral("short");
}

} // namespace

TEST_F(CrashSafety, SavingKilledAtAnyMomentLeavesWholeFiles)
{
    for (int kill = 1; kill <= kKills; ++kill) {
        runAndKill("save", path, random);
        if (HasFatalFailure())
            return;
        expectWhole(path, "the file", kill);
        const QString name = tableName(observe(path).document);
        ASSERT_TRUE(name == "Alpha" || name == "Beta" || name == "start")
            << name.toStdString() << " after kill " << kill;
        for (const QString suffix : {".prev", ".original"})
            if (QFileInfo::exists(path + suffix))
                expectWhole(path + suffix, suffix.toUtf8().constData(), kill);
    }
    EXPECT_TRUE(QFileInfo::exists(path + ".original"));
}

TEST_F(CrashSafety, RecallKilledAtAnyMomentLeavesWholeFiles)
{
    ASSERT_TRUE(exportToPlist(path, QVector<ParameterEntry>(32), 1).ok());
    // The file starts as one of the two backups, as every recall leaves it.
    ASSERT_TRUE(recallOriginalMapping(path, kOriginalSuffix).ok());
    const QByteArray original = readFile(path + ".original");
    const QByteArray previous = readFile(path + ".prev");
    for (int kill = 1; kill <= kKills; ++kill) {
        runAndKill("recall", path, random);
        if (HasFatalFailure())
            return;
        const QByteArray now = readFile(path);
        ASSERT_TRUE(now == original || now == previous) << "after kill " << kill;
        ASSERT_EQ(readFile(path + ".original"), original);
        ASSERT_EQ(readFile(path + ".prev"), previous);
    }
}

TEST_F(CrashSafety, PreparingKilledAtAnyMomentLeavesWholeFiles)
{
    for (int kill = 1; kill <= kKills; ++kill) {
        runAndKill("prepare", path, random);
        if (HasFatalFailure())
            return;
        expectWhole(path, "the file", kill);
        ASSERT_EQ(controlSurfaceOrder(observe(path).document), QStringList{"1 Start"});
        const QStringList list = storedUniqueParameters(observe(path).document);
        ASSERT_TRUE(list.isEmpty() || list == (QStringList{"-1", "1 Start"})) << list.join('|').toStdString();
    }
}
