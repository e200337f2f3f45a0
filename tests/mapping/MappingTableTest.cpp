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
    // 30 real parameters move into page 1.
    EXPECT_EQ(exchangePages(table, 4, 1), 30);
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
    EXPECT_FALSE(exchangePages(table, 1, 0).has_value());
    EXPECT_FALSE(exchangePages(table, 1, 4).has_value());
    EXPECT_FALSE(exchangePages(table, 1, 1).has_value());
    EXPECT_FALSE(exchangePages(table, 0, 2).has_value());
    EXPECT_EQ(table.plistBuild, before.plistBuild);
    EXPECT_EQ(table.curPage, 1);
}

TEST(MappingTable, OperationsOnAnEmptyTableTouchNothing)
{
    MappingTable table;
    EXPECT_FALSE(table.isLoaded());
    clearThisPage(table);
    EXPECT_FALSE(removeControlsPage(table));
    EXPECT_FALSE(exchangePages(table, 0, 1).has_value());
    EXPECT_FALSE(assignParameter(table, {"1", "A", 0, 0}, 0).has_value());
    EXPECT_TRUE(table.plistBuild.isEmpty());
}
