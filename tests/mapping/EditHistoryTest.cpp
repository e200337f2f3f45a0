#include "mapping/EditHistory.h"
#include "mapping/MappingTable.h"
#include "mapping/ParameterPlacements.h"

#include <gtest/gtest.h>
#include "support/Printers.h"
#include "support/Tables.h"

#include <random>

using namespace ov::mapping;
using ov::test::filledTable;

namespace {

// Runs `change` as one step of `history`; returns whether a step was recorded.
template <typename Change> bool step(EditHistory &history, MappingTable &table, const QString &name, Change change)
{
    history.begin(table, name);
    change();
    return history.end(table);
}

void expectSameTable(const MappingTable &actual, const MappingTable &expected)
{
    EXPECT_EQ(actual.plistBuild, expected.plistBuild);
    EXPECT_EQ(actual.curPage, expected.curPage);
    EXPECT_EQ(actual.totalPages, expected.totalPages);
}

} // namespace

TEST(EditHistory, EveryTableOperationIsUndoneAndRedoneWithItsPages)
{
    struct Case {
        const char *name;
        int curPage;
        std::function<void(MappingTable &)> change;
    };
    const Case cases[] = {
        {"assign", 2,
         [](MappingTable &t) {
             assignParameter(t, {"7", "Cutoff", 0, 0}, 40);
         }},
        {"swap", 1, [](MappingTable &t) { swapSlots(t, 3, 70); }},
        {"new page", 2, [](MappingTable &t) { addControlsPage(t); }},
        {"delete page", 2, [](MappingTable &t) { removeControlsPage(t); }},
        {"clear page", 3, [](MappingTable &t) { clearThisPage(t); }},
        {"exchange", 3, [](MappingTable &t) { exchangePages(t, 3, 1); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MappingTable table = filledTable(3, c.curPage);
        const MappingTable before = table;
        EditHistory history;
        ASSERT_TRUE(step(history, table, QString::fromLatin1(c.name), [&] { c.change(table); }));
        const MappingTable after = table;
        EXPECT_EQ(history.undoName(), QString::fromLatin1(c.name));
        EXPECT_FALSE(history.canRedo());

        ASSERT_TRUE(history.undo(table));
        expectSameTable(table, before);
        EXPECT_FALSE(history.canUndo());
        EXPECT_EQ(history.redoName(), QString::fromLatin1(c.name));

        ASSERT_TRUE(history.redo(table));
        expectSameTable(table, after);
        EXPECT_FALSE(history.undo(table) && history.undo(table)) << "only one step was recorded";
    }
}

TEST(EditHistory, NestedStepsAreOneAndAStepThatChangesNothingIsNotRecorded)
{
    MappingTable table = filledTable(4, 4);
    const MappingTable before = table;
    EditHistory history;

    // An exchange done as 32 swaps, each a step of its own inside the exchange's step.
    history.begin(table, QStringLiteral("Move Page"));
    table.curPage = 1;
    for (int i = 0; i < kControlsPerPage; ++i) {
        history.begin(table, QStringLiteral("Swap Controls"));
        swapSlots(table, slotIndex(4, 1) + i, slotIndex(1, 1) + i);
        EXPECT_FALSE(history.end(table)) << "an inner step is not recorded on its own";
        EXPECT_FALSE(history.canUndo()) << "nothing can be undone while a step is open";
    }
    EXPECT_TRUE(history.end(table));
    EXPECT_EQ(history.undoName(), QStringLiteral("Move Page"));
    ASSERT_TRUE(history.undo(table));
    expectSameTable(table, before);
    EXPECT_FALSE(history.canUndo());

    // Clearing an empty page, or assigning what a slot already holds, leaves nothing to undo.
    history.clear();
    clearThisPage(table);
    EXPECT_FALSE(step(history, table, QStringLiteral("Clear Page"), [&] { clearThisPage(table); }));
    EXPECT_FALSE(
        step(history, table, QStringLiteral("Assign"), [&] { assignParameter(table, table.plistBuild.at(40), 40); }));
    EXPECT_FALSE(history.canUndo());
}

TEST(EditHistory, ANewStepAfterUndoDropsWhatCouldBeRedone)
{
    MappingTable table = filledTable(2);
    EditHistory history;
    step(history, table, QStringLiteral("a"), [&] { assignParameter(table, {"1", "A", 0, 0}, 0); });
    step(history, table, QStringLiteral("b"), [&] { assignParameter(table, {"2", "B", 0, 0}, 1); });
    history.undo(table);
    ASSERT_TRUE(history.canRedo());

    step(history, table, QStringLiteral("c"), [&] { assignParameter(table, {"3", "C", 0, 0}, 2); });

    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoName(), QStringLiteral("c"));
    history.undo(table);
    EXPECT_EQ(history.undoName(), QStringLiteral("a"));
    EXPECT_EQ(table.plistBuild.at(1).Parameter, QStringLiteral("P1"));
}

TEST(EditHistory, DeletingOneOfTwoAlikePagesComesBackWhole)
{
    // Pages 2 and 3 alike: the removed block could be taken for either; undo must give back the
    // table exactly, positions included.
    MappingTable table = filledTable(4, 3);
    for (int c = 1; c <= kControlsPerPage; ++c)
        table.plistBuild[slotIndex(3, c)] = {QStringLiteral("9"), QStringLiteral("Same"), 3, slotIndex(3, c)};
    for (int c = 1; c <= kControlsPerPage; ++c)
        table.plistBuild[slotIndex(2, c)] = {QStringLiteral("9"), QStringLiteral("Same"), 2, slotIndex(2, c)};
    const MappingTable before = table;
    EditHistory history;
    step(history, table, QStringLiteral("Delete Page"), [&] { removeControlsPage(table); });
    ASSERT_EQ(table.totalPages, 3);

    history.undo(table);
    expectSameTable(table, before);
}

// Random page changes and edits of every kind, then undo all the way back and redo all the way
// forward: the table before and after every step is met again, exactly, page shown included. The
// placements followed change by change stay those of the table as it stands.
TEST(EditHistory, RandomEditsUndoAndRedoThroughEveryState)
{
    std::mt19937 random(20240607);
    MappingTable table = filledTable(3, 2);
    for (int slot = 0; slot < table.plistBuild.size(); slot += 3) // parameters on several slots
        table.plistBuild[slot].Parameter = QStringLiteral("P%1").arg(slot % 7);
    for (int slot = 1; slot < table.plistBuild.size(); slot += 3) // nameless ones, as Logic leaves some
        table.plistBuild[slot].Parameter = QString();
    EditHistory history;
    ParameterPlacements placements(table.plistBuild);
    const auto expectPlacementsFollow = [&] {
        placements.update(history.lastChanges(), table.plistBuild);
        EXPECT_TRUE(placements == ParameterPlacements(table.plistBuild));
    };
    QVector<std::pair<MappingTable, MappingTable>> steps; // before, after
    for (int n = 0; n < 300; ++n) {
        table.curPage = int(random() % table.totalPages) + 1; // the user moves between pages
        const int kind = int(random() % 6);
        const int slot = int(random() % table.plistBuild.size());
        const int other = int(random() % table.plistBuild.size());
        const int page = int(random() % table.totalPages) + 1;
        const MappingTable before = table;
        const bool recorded = step(history, table, QStringLiteral("edit"), [&] {
            switch (kind) {
            case 0:
                assignParameter(table, {QString::number(n % 5), QStringLiteral("P%1").arg(n % 7), 0, 0}, slot);
                break;
            case 1:
                swapSlots(table, slot, other);
                break;
            case 2:
                if (table.totalPages < 8)
                    addControlsPage(table);
                break;
            case 3:
                removeControlsPage(table);
                break;
            case 4:
                clearThisPage(table);
                break;
            case 5:
                exchangePages(table, table.curPage, page);
                break;
            }
        });
        if (recorded) {
            steps.append({before, table});
            expectPlacementsFollow();
        }
        ASSERT_TRUE(table.isLoaded());
    }
    ASSERT_GT(steps.size(), 100);
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        ASSERT_TRUE(history.undo(table));
        expectSameTable(table, steps.at(i).first);
        expectPlacementsFollow();
    }
    EXPECT_FALSE(history.undo(table));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(history.redo(table));
        expectSameTable(table, steps.at(i).second);
        expectPlacementsFollow();
    }
    EXPECT_FALSE(history.redo(table));
}

TEST(EditHistory, OnlyTheLatestStepsAreKept)
{
    MappingTable table = filledTable(1);
    EditHistory history;
    for (int n = 0; n < EditHistory::kMaxSteps + 5; ++n)
        step(history, table, QStringLiteral("edit"), [&] {
            assignParameter(table, {QString::number(n), QStringLiteral("N"), 0, 0}, 0);
        });
    int undone = 0;
    while (history.undo(table))
        ++undone;
    EXPECT_EQ(undone, EditHistory::kMaxSteps);
    EXPECT_EQ(table.plistBuild.at(0).ParamNum, QStringLiteral("4")) << "back to the oldest step kept";
}

TEST(ParameterPlacements, PageAndControlOfEverySlotInTableOrder)
{
    MappingTable table = filledTable(3);
    const ParameterEntry cutoff{QStringLiteral("12"), QStringLiteral("Cutoff"), 0, 0};
    assignParameter(table, cutoff, slotIndex(3, 1));
    assignParameter(table, cutoff, slotIndex(2, 5));
    assignParameter(table, cutoff, slotIndex(1, 32));
    // The same name under another number is another parameter.
    assignParameter(table, {QStringLiteral("13"), QStringLiteral("Cutoff"), 0, 0}, slotIndex(1, 1));

    const ParameterPlacements placements(table.plistBuild);

    EXPECT_EQ(placementText(placements.slotsOf(cutoff)), QStringLiteral("1/32, 2/5, 3/1"));
    EXPECT_EQ(placementText(placements.slotsOf({QStringLiteral("13"), QStringLiteral("Cutoff"), 7, 7})),
              QStringLiteral("1/1"));
    EXPECT_EQ(placementText(placements.slotsOf(cutoff), slotIndex(2, 5)), QStringLiteral("1/32, 3/1"));
    EXPECT_TRUE(placements.slotsOf({QStringLiteral("99"), QStringLiteral("Nowhere"), 0, 0}).empty());
    clearThisPage(table);
    EXPECT_TRUE(ParameterPlacements(table.plistBuild).slotsOf(ParameterEntry{}).empty()) << "\"-\" stands nowhere";
}

TEST(MappingTable, SameMappingComparesWhatASaveWrites)
{
    const MappingTable table = filledTable(2);
    QVector<ParameterEntry> other = table.plistBuild;
    other.detach();
    EXPECT_TRUE(sameMapping(table.plistBuild, other));

    other[5].OravelPage = 9; // not written
    other[6].OravelControlNo = 99;
    EXPECT_TRUE(sameMapping(table.plistBuild, other));

    QVector<ParameterEntry> emptied = table.plistBuild;
    emptied[3] = {QStringLiteral("0"), QStringLiteral("-"), 1, 3};
    QVector<ParameterEntry> emptiedOtherwise = table.plistBuild;
    emptiedOtherwise[3] = {QStringLiteral("3"), QStringLiteral("-"), 1, 3}; // written "-1" all the same
    EXPECT_TRUE(sameMapping(emptied, emptiedOtherwise));
    EXPECT_FALSE(sameMapping(table.plistBuild, emptied));

    other[7].ParamNum = QStringLiteral("70");
    EXPECT_FALSE(sameMapping(table.plistBuild, other));
    EXPECT_FALSE(sameMapping(table.plistBuild, table.plistBuild.mid(0, 32)));
}
