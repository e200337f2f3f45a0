#pragma once

#include "ParameterEntry.h"

#include <QVector>

#include <optional>

namespace ov::mapping {

// The paged mapping table and its page counters. Before the first load the table is empty and both
// counters are 0; afterwards it holds exactly 32 * totalPages slots and 1 <= curPage <= totalPages.
struct MappingTable {
    QVector<ParameterEntry> plistBuild;
    int curPage = 0;
    int totalPages = 0;

    bool isLoaded() const { return totalPages > 0 && plistBuild.size() == qsizetype(totalPages) * kControlsPerPage; }
    bool hasSlot(int slot) const { return slot >= 0 && slot < plistBuild.size(); }
    bool hasPage(int page) const { return page >= 1 && page <= totalPages; }
};

// Writes the source's ParamNum and Parameter into `to`; the slot keeps its OravelPage and
// OravelControlNo. Returns whether a real parameter (not "-") now stands there, which advances the
// parameter list's selection, or nothing when `to` is not a slot (nothing changes then).
std::optional<bool> assignParameter(MappingTable &table, const ParameterEntry &source, int to);

// Exchanges the parameters of two slots. Returns whether a real parameter now stands on `to`, or
// nothing when either is not a slot.
std::optional<bool> swapSlots(MappingTable &table, int from, int to);

// Page navigation: the page each button shows (held within 1 ... totalPages).
int previousPage(const MappingTable &table);
int nextPage(const MappingTable &table);

// Appends an empty page at the end and makes it current.
void addControlsPage(MappingTable &table);

// Deletes the current page and shows the one before it; page 1 is refused (false, nothing changes).
bool removeControlsPage(MappingTable &table);

// Empties every slot of the current page.
void clearThisPage(MappingTable &table);

// Whether `fromPage` and `toPage` can be exchanged: both pages exist and differ.
bool canExchangePages(const MappingTable &table, int fromPage, int toPage);

// Exchanges two pages slot by slot and makes `toPage` current; false when the exchange is refused
// (nothing changes then).
bool exchangePages(MappingTable &table, int fromPage, int toPage);

// Whether two slots would be written alike: the same parameter, or both empty. OravelPage and
// OravelControlNo are not written, so they do not count.
bool sameSlot(const ParameterEntry &x, const ParameterEntry &y);

// Whether two tables would be written alike: as many slots, each written alike.
bool sameMapping(const QVector<ParameterEntry> &a, const QVector<ParameterEntry> &b);

// How many slots of two tables as long as each other would be written differently.
qsizetype differingSlots(const QVector<ParameterEntry> &a, const QVector<ParameterEntry> &b);

} // namespace ov::mapping
