#include "MappingTable.h"

#include <algorithm>

namespace ov::mapping {

std::optional<bool> assignParameter(MappingTable &table, const ParameterEntry &source, int to)
{
    if (!table.hasSlot(to))
        return std::nullopt;
    ParameterEntry &slot = table.plistBuild[to];
    slot.ParamNum = source.ParamNum;
    slot.Parameter = source.Parameter;
    return !slot.isEmptySlot();
}

std::optional<bool> swapSlots(MappingTable &table, int from, int to)
{
    if (!table.hasSlot(from) || !table.hasSlot(to))
        return std::nullopt;
    ParameterEntry &a = table.plistBuild[from];
    ParameterEntry &b = table.plistBuild[to];
    std::swap(a.ParamNum, b.ParamNum);
    std::swap(a.Parameter, b.Parameter);
    return !b.isEmptySlot();
}

int previousPage(const MappingTable &table)
{
    return std::max(table.curPage - 1, 1);
}

int nextPage(const MappingTable &table)
{
    return std::min(table.curPage + 1, table.totalPages);
}

void addControlsPage(MappingTable &table)
{
    table.totalPages += 1;
    const int length = static_cast<int>(table.plistBuild.size());
    table.plistBuild.reserve(length + kControlsPerPage);
    for (int i = 0; i < kControlsPerPage; ++i)
        table.plistBuild.append(ParameterEntry{kEmptyParamNum, kEmptyParameter, table.totalPages, length + i});
    table.curPage = table.totalPages;
}

bool removeControlsPage(MappingTable &table)
{
    if (table.curPage <= 1 || !table.hasPage(table.curPage))
        return false;
    table.plistBuild.remove(slotIndex(table.curPage, 1), kControlsPerPage);
    table.curPage -= 1;
    table.totalPages -= 1;
    return true;
}

void clearThisPage(MappingTable &table)
{
    if (!table.hasPage(table.curPage))
        return;
    const int first = slotIndex(table.curPage, 1);
    for (int slot = first; slot < first + kControlsPerPage && table.hasSlot(slot); ++slot) {
        table.plistBuild[slot].ParamNum = kEmptyParamNum;
        table.plistBuild[slot].Parameter = kEmptyParameter;
    }
}

bool canExchangePages(const MappingTable &table, int fromPage, int toPage)
{
    return table.hasPage(toPage) && table.hasPage(fromPage) && toPage != fromPage && table.isLoaded();
}

bool exchangePages(MappingTable &table, int fromPage, int toPage)
{
    if (!canExchangePages(table, fromPage, toPage))
        return false;
    table.curPage = toPage;
    for (int i = 0; i < kControlsPerPage; ++i)
        swapSlots(table, slotIndex(fromPage, 1) + i, slotIndex(toPage, 1) + i);
    return true;
}

bool sameSlot(const ParameterEntry &x, const ParameterEntry &y)
{
    if (x.isEmptySlot() != y.isEmptySlot())
        return false;
    return x.isEmptySlot() || (x.ParamNum == y.ParamNum && x.Parameter == y.Parameter);
}

bool sameMapping(const QVector<ParameterEntry> &a, const QVector<ParameterEntry> &b)
{
    if (a.size() != b.size())
        return false;
    if (a.constData() == b.constData())
        return true;
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), sameSlot);
}

qsizetype differingSlots(const QVector<ParameterEntry> &a, const QVector<ParameterEntry> &b)
{
    Q_ASSERT(a.size() == b.size());
    if (a.constData() == b.constData())
        return 0;
    qsizetype count = 0;
    for (qsizetype slot = 0; slot < a.size(); ++slot)
        count += sameSlot(a.at(slot), b.at(slot)) ? 0 : 1;
    return count;
}

} // namespace ov::mapping
