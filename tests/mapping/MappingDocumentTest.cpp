#include "mapping/MappingDocument.h"

#include <gtest/gtest.h>
#include "support/Printers.h"
#include "support/Tables.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <random>
#include <span>

using namespace ov::mapping;

namespace {

struct Snapshot {
    QVector<ParameterEntry> table;
    int curPage = 0;
    int totalPages = 0;
    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

Snapshot snapshot(const MappingDocument &document)
{
    return {document.plistBuild, document.curPage, document.totalPages};
}

// A plug-in's own file of two pages, "1 P1" ... "64 P64", opened as the editor opens it.
class DocumentTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    QString path = home.filePath(QStringLiteral("Synth/CSParameterOrder.plist"));
    MappingDocument document;

    void SetUp() override
    {
        QStringList order;
        for (int n = 1; n <= 64; ++n)
            order.append(QStringLiteral("%1 P%1").arg(n));
        ov::test::writeFile(path, ov::test::xmlPlist(ov::test::stringArrayXml("ControlSurfaceParameterOrder", order)));
        document.load(*MappingDocument::open(path).loaded, path, true);
    }
    const ParameterEntry &entry(int n) const { return document.available().at(n); } // "n Pn"
};

} // namespace

TEST_F(DocumentTest, EveryEditIsOneNamedStepUndoneWithItsPagesAndRedone)
{
    const QVector<ParameterEntry> other{{QStringLiteral("9"), QStringLiteral("P3"), 0, 0}};
    const struct {
        const char *step;
        int pageBefore;
        std::function<void()> edit;
    } edits[] = {
        {"Assign Parameter", 2, [&] { document.assign(entry(5), slotIndex(2, 3)); }},
        {"Swap Controls", 1, [&] { document.swap(0, 40); }},
        {"New Page", 1, [&] { document.addPage(); }},
        {"Delete Page", 2, [&] { document.deletePage(); }},
        {"Clear Page", 2, [&] { document.clearPage(); }},
        {"Move Page", 2, [&] { document.exchangePages(2, 1); }},
        {"Fill From Here", 1, [&] { document.fill(1, 1); }},
        {"Copy Mapping", 2, [&] { document.copyFrom(other); }},
        {"Apply Layout", 2,
         [&] {
             document.applyLayout(Layout{"One", 1, {{1, 1, {"Q", "P40"}, {}}}});
         }},
    };
    document.clearPage(); // page 1 empty, for the fill
    for (const auto &e : edits) {
        SCOPED_TRACE(e.step);
        document.curPage = e.pageBefore;
        const Snapshot before = snapshot(document);
        e.edit();
        const Snapshot after = snapshot(document);
        ASSERT_NE(after.table, before.table);
        EXPECT_EQ(document.undoName(), QString::fromLatin1(e.step));
        EXPECT_TRUE(ParameterPlacements(document.plistBuild) == ParameterPlacements(after.table));

        ASSERT_TRUE(document.undo());
        EXPECT_EQ(snapshot(document), before);
        EXPECT_EQ(document.redoName(), QString::fromLatin1(e.step));
        EXPECT_EQ(placementText(document.slotsOf(entry(40))), QStringLiteral("2/8")) << "placements follow the undo";
        ASSERT_TRUE(document.redo());
        EXPECT_EQ(snapshot(document), after);
        document.undo();
    }

    // What changes nothing, or is refused, leaves no step.
    document.curPage = 1;
    const QString last = document.undoName();
    document.clearPage();
    document.assign(document.plistBuild.at(40), 40);
    document.swap(40, 40);
    EXPECT_FALSE(document.deletePage());
    EXPECT_FALSE(document.exchangePages(1, 1));
    EXPECT_FALSE(document.exchangePages(1, 3));
    const QVector<ParameterEntry> table = document.plistBuild;
    EXPECT_EQ(document.applyLayout(Layout{"None", 1, {{1, 1, {"No Such Name"}, {}}}}).matched, 0);
    EXPECT_EQ(document.plistBuild, table) << "a layout that matches nothing empties nothing";
    EXPECT_EQ(document.undoName(), last);
}

// A repair moves a misfit onto the parameter of its name, empties one whose name is unknown, and is
// one step.
TEST_F(DocumentTest, RepairIsOneStep)
{
    LoadedMapping loaded{document.available(), document.plistBuild, 2, 0};
    loaded.plistBuild[0] = {QStringLiteral("70"), QStringLiteral("P3"), 1, 0};
    loaded.plistBuild[1] = {QStringLiteral("99"), QStringLiteral("Gone"), 1, 1};
    document.load(loaded, QString(), true);
    const RepairResult repaired = document.repair();
    EXPECT_EQ(repaired.moved, 1);
    EXPECT_EQ(repaired.emptied, 1);
    EXPECT_EQ(document.plistBuild.at(0).ParamNum, QStringLiteral("3"));
    EXPECT_EQ(document.plistBuild.at(1).Parameter, QStringLiteral("-"));
    EXPECT_EQ(document.plistBuild.at(2).Parameter, QStringLiteral("P3")) << "a fitting control stays";
    EXPECT_EQ(document.undoName(), QStringLiteral("Repair Mapping"));
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.plistBuild.at(1).Parameter, QStringLiteral("Gone"));
}

// Random edits of every kind through the document, then undo all the way back and redo all the
// way forward: every state is met again, exactly, and where parameters stand follows each step.
TEST_F(DocumentTest, RandomEditsUndoAndRedoThroughEveryState)
{
    std::mt19937 random(20261209);
    QVector<std::pair<Snapshot, Snapshot>> steps;
    const auto placementsFollow = [&] {
        const ParameterPlacements rebuilt(document.plistBuild);
        for (int n : {1, 2, 3, 7}) {
            const std::span<const int> kept = document.slotsOf(entry(n));
            const std::span<const int> fresh = rebuilt.slotsOf(entry(n));
            ASSERT_TRUE(std::equal(kept.begin(), kept.end(), fresh.begin(), fresh.end()));
        }
    };
    for (int n = 0; n < 300; ++n) {
        document.curPage = int(random() % document.totalPages) + 1;
        const int slot = int(random() % document.plistBuild.size());
        const int other = int(random() % document.plistBuild.size());
        const int page = int(random() % document.totalPages) + 1;
        const Snapshot before = snapshot(document);
        const QString last = document.undoName();
        switch (random() % 6) {
        case 0:
            document.assign(entry(int(random() % 8)), slot); // few parameters, on many slots
            break;
        case 1:
            document.swap(slot, other);
            break;
        case 2:
            if (document.totalPages < 6)
                document.addPage();
            break;
        case 3:
            document.deletePage();
            break;
        case 4:
            document.clearPage();
            break;
        case 5:
            document.exchangePages(document.curPage, page);
            break;
        }
        if (snapshot(document).table != before.table)
            steps.append({before, snapshot(document)});
        else
            EXPECT_EQ(document.undoName(), last) << "a step that changes nothing is not kept";
        placementsFollow();
    }
    ASSERT_GT(steps.size(), 150);
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        ASSERT_TRUE(document.undo());
        ASSERT_EQ(snapshot(document), steps.at(i).first) << "step " << i;
        placementsFollow();
    }
    EXPECT_FALSE(document.undo());
    for (qsizetype i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(document.redo());
        ASSERT_EQ(snapshot(document), steps.at(i).second) << "step " << i;
    }
    EXPECT_FALSE(document.redo());
}

// Modified: the table or the mode differs from the file as last loaded or saved.
TEST_F(DocumentTest, ModifiedIsTheTableOrTheModeAgainstTheFileAsLastLoadedOrSaved)
{
    const struct {
        const char *what;
        std::function<void()> act;
        bool modified;
    } sequence[] = {
        {"as loaded", [] {}, false},
        {"an assignment", [&] { document.assign(entry(7), 3); }, true},
        {"undone", [&] { document.undo(); }, false},
        {"redone", [&] { document.redo(); }, true},
        {"put back by hand", [&] { document.assign(entry(4), 3); }, false},
        {"a page added", [&] { document.addPage(); }, true},
        {"and deleted", [&] { document.deletePage(); }, false},
        {"page 2 cleared", [&] { document.clearPage(); }, true},
        {"saved", [&] { ASSERT_TRUE(document.save().ok()); }, false},
        {"undone after the save", [&] { document.undo(); }, true},
        {"redone to what was saved", [&] { document.redo(); }, false},
        {"the other mode", [&] { document.setMode(kModeInstrument); }, true},
        {"the saved mode", [&] { document.setMode(kModeInsertEffect); }, false},
        {"a mapping from elsewhere",
         [&] {
             LoadedMapping shared = *MappingDocument::open(path).loaded;
             shared.plistBuild[0] = entry(9);
             document.load(shared, QString(), true);
         },
         true},
    };
    for (const auto &step : sequence) {
        step.act();
        EXPECT_EQ(document.isModified(), step.modified) << step.what;
    }
    EXPECT_FALSE(document.canUndo()) << "a load starts a new history";
    EXPECT_EQ(document.differingSlots(), 1) << "measured against the file as saved, not the load";
}

TEST_F(DocumentTest, ShowChangesComparesWithTheFileOrABackup)
{
    EXPECT_FALSE(document.isComparing());
    ASSERT_FALSE(document.compareWith(ChangesBase::Previous)) << "no backup before the first save";
    EXPECT_FALSE(document.isComparing());

    ASSERT_TRUE(document.compareWith(ChangesBase::SavedFile));
    EXPECT_TRUE(document.changedSlots().isEmpty());
    document.assign(entry(1), slotIndex(2, 5));
    document.assign(ParameterEntry{}, 0);
    EXPECT_EQ(document.changedSlots(), (QHash<int, QString>{{0, "P1"}, {slotIndex(2, 5), "P37"}}));
    EXPECT_EQ(document.changedPages(), (QVector<int>{1, 2}));

    ASSERT_TRUE(document.save().ok());
    EXPECT_TRUE(document.changedSlots().isEmpty()) << "the saved file is the base now";
    ASSERT_TRUE(document.compareWith(ChangesBase::Previous));
    EXPECT_EQ(document.changedPages(), (QVector<int>{1, 2}));
    document.undo();
    EXPECT_EQ(document.changedPages(), (QVector<int>{2})) << "followed through undo";
    ASSERT_TRUE(document.compareWith(ChangesBase::None));
    EXPECT_FALSE(document.isComparing());
}

TEST_F(DocumentTest, ARecallPutsTheBackupBackAndItsUndoBringsBackWhatItReplaced)
{
    document.assign(entry(9), 0);
    ASSERT_TRUE(document.save().ok());
    const QVector<ParameterEntry> saved = document.plistBuild;

    const MappingDocument::Recalled recalled = MappingDocument::recall(path, kOriginalSuffix, kModeInsertEffect);
    ASSERT_TRUE(recalled.result.ok());
    ASSERT_TRUE(recalled.replaced);
    document.load(*MappingDocument::open(path).loaded, path, true);
    EXPECT_EQ(document.plistBuild.at(0).Parameter, QStringLiteral("P1")) << "the original is back";
    document.offerUndoOfRecall(*recalled.replaced);
    EXPECT_EQ(document.undoName(), QStringLiteral("Recall"));
    EXPECT_FALSE(document.isModified());

    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.plistBuild, saved);
    EXPECT_TRUE(document.isModified()) << "what the recall replaced is in no file now";
}
