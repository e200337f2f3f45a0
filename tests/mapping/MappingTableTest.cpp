#include "mapping/CopyMapping.h"
#include "mapping/FillFromHere.h"
#include "mapping/MappingDiff.h"
#include "mapping/MappingTable.h"

#include <gtest/gtest.h>
#include "support/Printers.h"
#include "support/Tables.h"

using namespace ov::mapping;
using ov::test::filledTable;

namespace {

QString nameAt(const MappingTable &table, int page, int control)
{
    return table.plistBuild.at(slotIndex(page, control)).Parameter;
}

} // namespace

TEST(MappingTable, AssignWritesOnlyTheNameAndNumber)
{
    MappingTable table = filledTable(2);
    EXPECT_EQ(assignParameter(table, {"7", "Cutoff", 0, 0}, 40), true);
    EXPECT_EQ(table.plistBuild[40], (ParameterEntry{"7", "Cutoff", 2, 40}));
    // The same parameter may stand on any number of controls.
    EXPECT_EQ(assignParameter(table, {"7", "Cutoff", 0, 0}, 8), true);
    EXPECT_EQ(table.plistBuild[8].Parameter, "Cutoff");
    // The empty entry empties a slot, and does not advance the selection.
    EXPECT_EQ(assignParameter(table, ParameterEntry{}, 40), false);
    EXPECT_EQ(table.plistBuild[40], (ParameterEntry{"0", "-", 2, 40}));
    // Out of range: nothing changes.
    const MappingTable before = table;
    EXPECT_FALSE(assignParameter(table, {"1", "X", 0, 0}, 64).has_value());
    EXPECT_FALSE(assignParameter(table, {"1", "X", 0, 0}, -1).has_value());
    EXPECT_EQ(table.plistBuild, before.plistBuild);
}

TEST(MappingTable, SwapExchangesPairsButNotPositions)
{
    MappingTable table = filledTable(1);
    table.plistBuild[3] = {"0", "-", 1, 3};
    EXPECT_EQ(swapSlots(table, 3, 10), false); // "-" moved onto slot 10
    EXPECT_EQ(table.plistBuild[3], (ParameterEntry{"10", "P10", 1, 3}));
    EXPECT_EQ(table.plistBuild[10], (ParameterEntry{"0", "-", 1, 10}));
    EXPECT_EQ(swapSlots(table, 3, 10), true); // and back
    EXPECT_FALSE(swapSlots(table, 0, 32).has_value());
}

TEST(MappingTable, NavigationStaysWithinThePages)
{
    MappingTable table = filledTable(3, 1);
    EXPECT_EQ(previousPage(table), 1);
    EXPECT_EQ(nextPage(table), 2);
    table.curPage = 3;
    EXPECT_EQ(nextPage(table), 3);
    EXPECT_EQ(previousPage(table), 2);
}

TEST(MappingTable, AppendAddsAnEmptyPageAtTheEndAndShowsIt)
{
    MappingTable table = filledTable(5, 2);
    addControlsPage(table);
    EXPECT_EQ(table.totalPages, 6);
    EXPECT_EQ(table.curPage, 6);
    ASSERT_EQ(table.plistBuild.size(), 192);
    EXPECT_EQ(table.plistBuild[160], (ParameterEntry{"0", "-", 6, 160}));
    EXPECT_EQ(table.plistBuild[191], (ParameterEntry{"0", "-", 6, 191}));
    EXPECT_EQ(nameAt(table, 2, 1), "P32");
}

TEST(MappingTable, DeleteRemovesTheCurrentPageAndShowsThePreviousOne)
{
    MappingTable table = filledTable(5, 3);
    ASSERT_TRUE(removeControlsPage(table));
    EXPECT_EQ(table.curPage, 2);
    EXPECT_EQ(table.totalPages, 4);
    ASSERT_EQ(table.plistBuild.size(), 128);
    // Former pages 4 and 5 are now pages 3 and 4; their entries keep their stored numbers.
    EXPECT_EQ(table.plistBuild[64], (ParameterEntry{"96", "P96", 4, 96}));
    EXPECT_EQ(nameAt(table, 4, 32), "P159");
    EXPECT_EQ(nameAt(table, 2, 32), "P63");
}

TEST(MappingTable, DeletingPageOneIsRefused)
{
    for (int pages : {1, 4}) {
        MappingTable table = filledTable(pages, 1);
        const MappingTable before = table;
        EXPECT_FALSE(removeControlsPage(table));
        EXPECT_EQ(table.plistBuild, before.plistBuild);
        EXPECT_EQ(table.curPage, 1);
        EXPECT_EQ(table.totalPages, pages);
    }
}

TEST(MappingTable, ClearEmptiesOnlyTheCurrentPage)
{
    MappingTable table = filledTable(3, 2);
    clearThisPage(table);
    for (int c = 1; c <= 32; ++c) {
        EXPECT_EQ(table.plistBuild[slotIndex(2, c)], (ParameterEntry{"0", "-", 2, slotIndex(2, c)}));
    }
    EXPECT_EQ(nameAt(table, 1, 32), "P31");
    EXPECT_EQ(nameAt(table, 3, 1), "P64");
    EXPECT_EQ(table.curPage, 2);
    EXPECT_EQ(table.totalPages, 3);
}

TEST(MappingTable, ExchangingPagesSwapsSlotBySlotAndShowsTheTarget)
{
    MappingTable table = filledTable(4, 4);
    table.plistBuild[slotIndex(4, 2)] = {"0", "-", 4, slotIndex(4, 2)};
    table.plistBuild[slotIndex(4, 9)] = {"0", "-", 4, slotIndex(4, 9)};
    EXPECT_TRUE(exchangePages(table, 4, 1));
    EXPECT_EQ(table.curPage, 1);
    EXPECT_EQ(nameAt(table, 1, 1), "P96");
    EXPECT_EQ(nameAt(table, 1, 2), "-");
    EXPECT_EQ(nameAt(table, 4, 1), "P0");
    // Pages between stay: the order is now 4, 2, 3, 1.
    EXPECT_EQ(nameAt(table, 2, 1), "P32");
    EXPECT_EQ(nameAt(table, 3, 1), "P64");
    EXPECT_EQ(table.plistBuild[0].OravelControlNo, 0);
}

TEST(MappingTable, ExchangeOutsideThePagesOrWithItselfIsRefused)
{
    MappingTable table = filledTable(3, 1);
    const MappingTable before = table;
    EXPECT_FALSE(exchangePages(table, 1, 0));
    EXPECT_FALSE(exchangePages(table, 1, 4));
    EXPECT_FALSE(exchangePages(table, 1, 1));
    EXPECT_FALSE(exchangePages(table, 0, 2));
    EXPECT_EQ(table.plistBuild, before.plistBuild);
    EXPECT_EQ(table.curPage, 1);
}

TEST(MappingTable, OperationsOnAnEmptyTableTouchNothing)
{
    MappingTable table;
    EXPECT_FALSE(table.isLoaded());
    clearThisPage(table);
    EXPECT_FALSE(removeControlsPage(table));
    EXPECT_FALSE(exchangePages(table, 0, 1));
    EXPECT_FALSE(assignParameter(table, {"1", "A", 0, 0}, 0).has_value());
    EXPECT_TRUE(table.plistBuild.isEmpty());
}

namespace {

// The available-parameter list: the empty entry, then "<n> <name>" for each name.
QVector<ParameterEntry> availableList(const QStringList &names)
{
    QVector<ParameterEntry> list{ParameterEntry{}};
    for (int n = 0; n < names.size(); ++n)
        list.append({QString::number(n + 1), names.at(n), 0, 0});
    return list;
}

QStringList namesOf(const MappingTable &table)
{
    QStringList names;
    for (const ParameterEntry &slot : table.plistBuild)
        names.append(slot.Parameter);
    return names;
}

// One page whose first slots hold the given names ("-" empty), the rest empty.
MappingTable tableOf(const QVector<ParameterEntry> &available, const QStringList &names, int pages = 1)
{
    MappingTable table{{}, 1, pages};
    for (int i = 0; i < pages * kControlsPerPage; ++i)
        table.plistBuild.append({"0", "-", i / kControlsPerPage + 1, i});
    for (int i = 0; i < names.size(); ++i) {
        for (const ParameterEntry &entry : available) {
            if (entry.Parameter == names.at(i)) {
                assignParameter(table, entry, i);
                break;
            }
        }
    }
    return table;
}

} // namespace

TEST(MappingTable, SearchFindsNumberOrNameInEitherCase)
{
    const ParameterEntry entry{"403", "Filter Env Depth", 0, 0};
    for (const char *found : {"", "env", "ENV D", "40", "403"})
        EXPECT_TRUE(matchesSearch(entry, found)) << found;
    for (const char *missed : {"envelope", "404", " 403"})
        EXPECT_FALSE(matchesSearch(entry, missed)) << missed;
}

TEST(MappingTable, FillLaysUnplacedParametersOntoEmptyControlsInListOrder)
{
    const QVector<ParameterEntry> available = availableList({"A", "B", "Env 1", "C", "env 2", "D"});
    struct Case {
        const char *name;
        QStringList before; // page 1 from control 1
        int page, control;
        QString search;
        QStringList expected; // page 1 from control 1
        FillResult result;
    };
    const QList<Case> cases{
        {"from the start", {}, 1, 1, "", {"A", "B", "Env 1", "C", "env 2", "D"}, {6, 0}},
        // "B" and "Env 1" stand already on controls 2 and 4.
        {"passes occupied controls",
         {"-", "B", "-", "Env 1"},
         1,
         2,
         "",
         {"-", "B", "A", "Env 1", "C", "env 2", "D"},
         {4, 0}},
        {"filter", {"A"}, 1, 1, "ENV", {"A", "Env 1", "env 2"}, {2, 0}},
        {"filter finding nothing", {"A"}, 1, 1, "zz", {"A"}, {0, 0}},
    };
    for (const Case &c : cases) {
        MappingTable table = tableOf(available, c.before);
        const std::optional<FillResult> result = fillFromHere(table, available, c.page, c.control, c.search);
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->placed, c.result.placed) << c.name;
        EXPECT_EQ(result->pagesAdded, c.result.pagesAdded) << c.name;
        QStringList expected = c.expected;
        while (expected.size() < kControlsPerPage)
            expected.append("-");
        EXPECT_EQ(namesOf(table), expected) << c.name;
    }
}

TEST(MappingTable, TheFillsReportCountsAgreeWithTheirWords)
{
    EXPECT_EQ((FillResult{1, 1}.report()), QStringLiteral("Filled 1 control, 1 page added"));
    EXPECT_EQ((FillResult{2, 0}.report()), QStringLiteral("Filled 2 controls, 0 pages added"));
}

TEST(MappingTable, FillAppendsPagesWhileParametersRemainAndKeepsThePageShown)
{
    QStringList names;
    for (int n = 0; n < 40; ++n)
        names.append(QStringLiteral("P%1").arg(n));
    const QVector<ParameterEntry> available = availableList(names);
    MappingTable table = tableOf(available, {}, 2);
    table.curPage = 2;
    const std::optional<FillResult> result = fillFromHere(table, available, 2, 31);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->placed, 40);
    EXPECT_EQ(result->pagesAdded, 2); // 2 on page 2, 32 on page 3, 6 on page 4
    EXPECT_EQ(table.totalPages, 4);
    EXPECT_EQ(table.curPage, 2);
    ASSERT_TRUE(table.isLoaded());
    EXPECT_EQ(nameAt(table, 2, 31), "P0");
    EXPECT_EQ(nameAt(table, 4, 6), "P39");
    EXPECT_EQ(nameAt(table, 4, 7), "-");
    EXPECT_EQ(table.plistBuild[127], (ParameterEntry{"0", "-", 4, 127}));

    for (const auto &[page, control] : {std::pair{0, 1}, {5, 1}, {1, 0}, {1, 33}})
        EXPECT_FALSE(fillFromHere(table, available, page, control)) << page << "/" << control;
}

TEST(MappingTable, CopyTakesThePagesOfTheOtherMappingAndMatchesNames)
{
    // This plug-in names its parameters a little differently, and "Level" twice.
    const QVector<ParameterEntry> here = availableList({"Cutoff", "level", "Level", "RESONANCE", "Drive"});
    const QVector<ParameterEntry> there = availableList({"Cutoff", "Level", "Resonance", "Chorus", "Phaser"});
    QStringList otherNames{"Cutoff", "Level", "-", "Resonance", "Chorus", "Chorus", "Phaser"};
    MappingTable other = tableOf(there, otherNames, 3);
    other.plistBuild[70] = there.at(1); // "Cutoff" on page 3

    MappingTable table = tableOf(here, {"Drive"}, 1);
    const CopyResult result = copyMappingFrom(table, here, other.plistBuild);
    EXPECT_EQ(result.matched, 4);
    EXPECT_EQ(result.unmatched, (QStringList{"Chorus", "Phaser"}));
    EXPECT_EQ(table.totalPages, 3);
    ASSERT_TRUE(table.isLoaded());
    EXPECT_EQ(table.plistBuild[1], (ParameterEntry{"3", "Level", 1, 1}));     // exact before case-insensitive
    EXPECT_EQ(table.plistBuild[3], (ParameterEntry{"4", "RESONANCE", 1, 3})); // case-insensitive
    EXPECT_EQ(table.plistBuild[0].ParamNum, "1");
    EXPECT_EQ(nameAt(table, 1, 1), "Cutoff");
    EXPECT_EQ(nameAt(table, 1, 5), "-"); // no match: empty
    EXPECT_EQ(nameAt(table, 1, 8), "-"); // "Drive" was here, not there
    EXPECT_EQ(table.plistBuild[70], (ParameterEntry{"1", "Cutoff", 3, 70}));
    EXPECT_TRUE(result.informativeText().endsWith("Names without a match: 2\n\nChorus\nPhaser"));

    // Nameless parameters (Logic's "301 ") go by number: never every blank slot onto the first one.
    QVector<ParameterEntry> nameless = here;
    nameless.append({{"301", "", 0, 0}, {"303", " ", 0, 0}});
    MappingTable blanks = tableOf(there, {"Cutoff"}, 1);
    blanks.plistBuild[1] = {"303", " ", 1, 1};
    blanks.plistBuild[2] = {"301", "", 1, 2};
    blanks.plistBuild[3] = {"999", "", 1, 3};
    const CopyResult blankResult = copyMappingFrom(table, nameless, blanks.plistBuild);
    EXPECT_EQ(table.plistBuild[1], (ParameterEntry{"303", " ", 1, 1}));
    EXPECT_EQ(table.plistBuild[2], (ParameterEntry{"301", "", 1, 2}));
    EXPECT_EQ(nameAt(table, 1, 4), "-");
    EXPECT_EQ(blankResult.matched, 3);
    EXPECT_EQ(blankResult.unmatched, QStringList{"(no name, number 999)"});

    // Fewer pages there: the table shrinks, and the page shown stays within it.
    table.curPage = 3;
    copyMappingFrom(table, here, tableOf(there, {"Level"}).plistBuild);
    EXPECT_EQ(table.totalPages, 1);
    EXPECT_EQ(table.curPage, 1);
    EXPECT_EQ(table.plistBuild.size(), 32);
}

TEST(MappingTable, CopyWithNoMatchingNameLeavesTheTableAndListsTwentyNamesAtMost)
{
    QStringList foreign;
    for (int n = 1; n <= 25; ++n)
        foreign << QStringLiteral("Foreign %1").arg(n);
    const QVector<ParameterEntry> there = availableList(foreign);
    const QVector<ParameterEntry> here = availableList({"Cutoff", "Drive"});
    MappingTable table = tableOf(here, {"Drive", "Cutoff"}, 2);
    const MappingTable before = table;
    const CopyResult result = copyMappingFrom(table, here, tableOf(there, foreign, 1).plistBuild);
    EXPECT_EQ(result.matched, 0);
    EXPECT_EQ(table.plistBuild, before.plistBuild);
    EXPECT_EQ(table.totalPages, 2);
    EXPECT_EQ(result.message("Other"), "Nothing copied from Other");
    const QString text = result.informativeText();
    EXPECT_TRUE(text.endsWith("Names without a match: 25\n\nForeign 1\nForeign 2\nForeign 3\nForeign 4\nForeign 5\n"
                              "Foreign 6\nForeign 7\nForeign 8\nForeign 9\nForeign 10\nForeign 11\nForeign 12\n"
                              "Foreign 13\nForeign 14\nForeign 15\nForeign 16\nForeign 17\nForeign 18\nForeign 19\n"
                              "Foreign 20\nand 5 more"))
        << text.toStdString();
}

TEST(MappingTable, DiffListsDifferingSlotsInOrderCountingMissingPagesEmpty)
{
    MappingTable before = filledTable(1);
    MappingTable after = filledTable(2);
    after.plistBuild[3] = {"0", "-", 1, 3};
    after.plistBuild[5] = {"9", "Other", 1, 5};
    before.plistBuild[7] = {"12", "-", 1, 7}; // "-" is empty whatever its number
    after.plistBuild[7] = {"0", "-", 1, 7};
    for (int slot = 33; slot < 64; ++slot)
        after.plistBuild[slot] = {"0", "-", 2, slot};
    const QVector<SlotDifference> differences = diffMappings(before.plistBuild, after.plistBuild);
    EXPECT_EQ(differences, (QVector<SlotDifference>{{3, "3 P3", "-1"}, {5, "5 P5", "9 Other"}, {32, "-1", "32 P32"}}));
    EXPECT_EQ(differenceLine(differences.at(2)), "2/1\t-1\t32 P32");
    EXPECT_EQ(diffMappings(after.plistBuild, before.plistBuild).at(2), (SlotDifference{32, "32 P32", "-1"}));
    EXPECT_TRUE(diffMappings(before.plistBuild, before.plistBuild).isEmpty());
}
