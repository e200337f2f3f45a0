#include "app/AppTexts.h"
#include "app/SavedDataStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace ov::app {
namespace {

// A context whose answers the test sets.
struct FakeContext final : StoreContext {
    bool commits = true;
    bool changes = false;
    bool saves = true;
    int saveCalls = 0;

    bool commitEditing() override { return commits; }
    bool hasChanges() const override { return changes; }
    bool save(QString *error) override
    {
        ++saveCalls;
        if (!saves)
            *error = QStringLiteral("disk full");
        return saves;
    }
};

class SavedDataStoreTest : public ::testing::Test {
protected:
    // A store over a fake context, which the test reaches through `context`.
    std::unique_ptr<SavedDataStore> fakeStore(const QString &folder)
    {
        return std::make_unique<SavedDataStore>(
            folder,
            [this](const StoreError &error) {
                presented.push_back(error);
                return errorDealtWith;
            },
            [this](const QString &line) { log.append(line); },
            [this](const QString &, QString *) {
                auto fake = std::make_unique<FakeContext>();
                context = fake.get();
                return fake;
            });
    }
    std::unique_ptr<SavedDataStore> sqliteStore(const QString &folder)
    {
        return std::make_unique<SavedDataStore>(
            folder,
            [this](const StoreError &error) {
                presented.push_back(error);
                return false;
            },
            [this](const QString &line) { log.append(line); });
    }

    QTemporaryDir temporary;
    std::vector<StoreError> presented;
    QStringList log;
    FakeContext *context = nullptr;
    bool errorDealtWith = false;
};

TEST_F(SavedDataStoreTest, QuittingBeforeAnythingAskedForTheStoreOpensNothing)
{
    const QString folder = temporary.filePath(QStringLiteral("support/ovCorvantaLogic_Tool"));
    auto store = sqliteStore(folder);
    bool asked = false;

    EXPECT_EQ(store->applicationShouldTerminate([&] { return asked = true; }),
              SavedDataStore::TerminateReply::TerminateNow);

    EXPECT_FALSE(asked);
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_FALSE(store->hasContext());
}

TEST_F(SavedDataStoreTest, AMissingFolderIsCreatedWithTheStoreFileInIt)
{
    const QString folder = temporary.filePath(QStringLiteral("a/b/ovCorvantaLogic_Tool"));
    auto store = sqliteStore(folder);

    StoreContext *opened = store->managedObjectContext();

    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(presented.empty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(store->storeFile(), folder + QStringLiteral("/OSXCoreDataObjC.storedata"));
    EXPECT_GT(QFileInfo(store->storeFile()).size(), 0);
    EXPECT_EQ(store->managedObjectContext(), opened) << "opened once, kept open";
    store->saveAction();
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(store->applicationShouldTerminate([] { return false; }), SavedDataStore::TerminateReply::TerminateNow);

    // Opened again by the next run of the application.
    store.reset();
    EXPECT_NE(sqliteStore(folder)->managedObjectContext(), nullptr);
}

TEST_F(SavedDataStoreTest, AFileWhereTheFolderShouldBeIsReportedEveryTime)
{
    const QString folder = temporary.filePath(QStringLiteral("ovCorvantaLogic_Tool"));
    QFile file(folder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto store = sqliteStore(folder);

    EXPECT_EQ(store->managedObjectContext(), nullptr);
    EXPECT_EQ(store->managedObjectContext(), nullptr);

    ASSERT_EQ(presented.size(), 2u) << "each use tries again and reports again";
    EXPECT_EQ(presented.at(0).domain, QStringLiteral("YOUR_ERROR_DOMAIN"));
    EXPECT_EQ(presented.at(0).code, 9999);
    EXPECT_EQ(presented.at(0).description, QStringLiteral("Failed to initialize the application's saved data"));
    EXPECT_EQ(presented.at(0).failureReason,
              QStringLiteral("Expected a folder to store application data, found a file (%1).").arg(folder));
    EXPECT_TRUE(QFileInfo(folder).isFile());
}

TEST_F(SavedDataStoreTest, AFolderThatCannotBeMadeOrAStoreThatCannotBeOpenedIsReported)
{
    QFile blocker(temporary.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(sqliteStore(temporary.filePath(QStringLiteral("blocker/inside")))->managedObjectContext(), nullptr);

    const QString folder = temporary.filePath(QStringLiteral("store"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile garbage(folder + QStringLiteral("/OSXCoreDataObjC.storedata"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    EXPECT_EQ(sqliteStore(folder)->managedObjectContext(), nullptr);

    ASSERT_EQ(presented.size(), 2u);
    for (const StoreError &error : presented) {
        EXPECT_EQ(error.code, 9999);
        EXPECT_EQ(error.failureReason,
                  QStringLiteral("There was an error creating or loading the application's saved data."));
        EXPECT_FALSE(error.underlying.isEmpty());
    }
    EXPECT_TRUE(presented.at(0).underlying.contains(temporary.filePath(QStringLiteral("blocker/inside"))));
    EXPECT_TRUE(presented.at(1).underlying.contains(QStringLiteral("OSXCoreDataObjC.storedata")));
}

TEST_F(SavedDataStoreTest, TheSaveCommandLogsARefusedCommitAndStillSaves)
{
    auto store = fakeStore(temporary.filePath(QStringLiteral("store")));
    ASSERT_NE(store->managedObjectContext(), nullptr);
    context->commits = false;
    context->changes = true;

    EXPECT_TRUE(store->saveAction());

    EXPECT_EQ(log, QStringList{QStringLiteral("AppDelegate:saveAction: unable to commit editing before saving")});
    EXPECT_EQ(context->saveCalls, 1);
    EXPECT_TRUE(presented.empty());

    context->saves = false;
    EXPECT_FALSE(store->saveAction());
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented.at(0).description, texts::kSaveFailed);
    EXPECT_EQ(presented.at(0).failureReason, QStringLiteral("disk full"));
}

TEST_F(SavedDataStoreTest, TheQuitFlow)
{
    using Reply = SavedDataStore::TerminateReply;
    auto store = fakeStore(temporary.filePath(QStringLiteral("store")));
    ASSERT_NE(store->managedObjectContext(), nullptr);
    int asked = 0;
    bool answer = false;
    auto ask = [&] {
        ++asked;
        return answer;
    };

    context->commits = false;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateCancel);
    EXPECT_EQ(log, QStringList{QStringLiteral(
                       "AppDelegate:applicationShouldTerminate: unable to commit editing to terminate")});
    EXPECT_EQ(context->saveCalls, 0);

    context->commits = true;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateNow) << "no changes";
    EXPECT_EQ(context->saveCalls, 0);

    context->changes = true;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateNow) << "saved";
    EXPECT_EQ(context->saveCalls, 1);
    EXPECT_EQ(asked, 0);

    context->saves = false;
    errorDealtWith = true;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateCancel) << "the error was dealt with";
    EXPECT_EQ(asked, 0);

    errorDealtWith = false;
    answer = false;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateCancel) << "Cancel";
    answer = true;
    EXPECT_EQ(store->applicationShouldTerminate(ask), Reply::TerminateNow) << "Quit anyway";
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(presented.size(), 3u);
}

} // namespace
} // namespace ov::app
