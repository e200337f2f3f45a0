#include "EditHistory.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace ov::mapping {

void EditHistory::begin(const MappingTable &table, const QString &name)
{
    if (m_depth++ == 0) {
        m_before = table;
        m_name = name;
        m_wholeTable = true;
    } else if (!m_wholeTable) {
        // Inside a step of a few slots: the table as that step found it is the table now with the
        // slots it kept put back.
        m_before.plistBuild = table.plistBuild;
        for (auto kept = m_kept.crbegin(); kept != m_kept.crend(); ++kept) // the first kept of a slot last
            m_before.plistBuild[kept->first] = kept->second;
        m_kept.clear();
        m_wholeTable = true;
    }
}

void EditHistory::beginForSlots(const MappingTable &table, const QString &name)
{
    if (m_depth++ == 0) {
        m_before = MappingTable{{}, table.curPage, table.totalPages};
        m_name = name;
        m_wholeTable = false;
        m_kept.clear();
    }
}

void EditHistory::willWrite(const MappingTable &table, int first, int count)
{
    if (m_depth == 0 || m_wholeTable)
        return;
    for (int slot = first; slot < first + count; ++slot) {
        if (table.hasSlot(slot))
            m_kept.emplace_back(slot, table.plistBuild.at(slot));
    }
}

QVector<TableChange> EditHistory::keptSlotsChanged(const QVector<ParameterEntry> &after)
{
    // In table order; of a slot kept more than once, the first keeping holds it as the step found it.
    // Kept out of order, the keepings are put in order by their places in m_kept, so the entries
    // themselves stay put. What the slots held moves into the changes: the kept slots are let go
    // at the close.
    std::vector<int> order(m_kept.size());
    std::iota(order.begin(), order.end(), 0);
    const bool keptInOrder = std::adjacent_find(m_kept.cbegin(), m_kept.cend(),
                                                [](const auto &a, const auto &b) { return a.first >= b.first; })
                             == m_kept.cend();
    if (!keptInOrder) {
        std::sort(order.begin(), order.end(), [this](int a, int b) {
            const int slotA = m_kept[size_t(a)].first, slotB = m_kept[size_t(b)].first;
            return slotA != slotB ? slotA < slotB : a < b;
        });
        order.erase(std::unique(order.begin(), order.end(),
                                [this](int a, int b) { return m_kept[size_t(a)].first == m_kept[size_t(b)].first; }),
                    order.end());
    }
    const auto slotOf = [this](auto at) { return m_kept[size_t(*at)].first; };
    const auto heldAt = [this](auto at) -> ParameterEntry & { return m_kept[size_t(*at)].second; };
    QVector<TableChange> changes;
    for (auto kept = order.cbegin(); kept != order.cend();) {
        if (heldAt(kept) == after.at(slotOf(kept))) {
            ++kept;
            continue;
        }
        TableChange change{slotOf(kept), {}, 0};
        change.before.reserve(qsizetype(order.cend() - kept));
        for (int slot = slotOf(kept); kept != order.cend() && slotOf(kept) == slot && heldAt(kept) != after.at(slot);
             ++kept, ++slot)
            change.before.append(std::move(heldAt(kept)));
        change.afterSize = change.before.size();
        changes.append(std::move(change));
    }
    return changes;
}

bool EditHistory::end(const MappingTable &table)
{
    if (m_depth == 0 || --m_depth > 0)
        return false;
    QVector<TableChange> changes =
        m_wholeTable ? difference(m_before.plistBuild, table.plistBuild) : keptSlotsChanged(table.plistBuild);
    m_kept.clear();
    Step step{m_name, m_before.curPage, m_before.totalPages, table.curPage, table.totalPages, std::move(changes)};
    m_before = MappingTable{}; // lets the table own its data alone again
    if (step.changes.isEmpty())
        return false;
    m_lastChanges = step.changes;
    m_steps.resize(m_done);
    m_steps.push_back(std::move(step));
    if (m_steps.size() > kMaxSteps)
        m_steps.pop_front();
    m_done = qsizetype(m_steps.size());
    return true;
}

void EditHistory::clear()
{
    m_steps.clear();
    m_done = 0;
    m_depth = 0;
    m_before = MappingTable{};
    m_kept.clear();
    m_lastChanges.clear();
}

bool EditHistory::undo(MappingTable &table)
{
    if (!canUndo())
        return false;
    m_lastChanges.clear(); // the step's changes are then its own, and change in place
    Step &step = m_steps.at(--m_done);
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
        exchange(table.plistBuild, *change);
        m_lastChanges.append(*change);
    }
    table.curPage = step.curPageBefore;
    table.totalPages = step.totalPagesBefore;
    return true;
}

bool EditHistory::redo(MappingTable &table)
{
    if (!canRedo())
        return false;
    m_lastChanges.clear();
    Step &step = m_steps.at(m_done++);
    for (TableChange &change : step.changes)
        exchange(table.plistBuild, change);
    m_lastChanges = step.changes;
    table.curPage = step.curPageAfter;
    table.totalPages = step.totalPagesAfter;
    return true;
}

QVector<TableChange> EditHistory::difference(const QVector<ParameterEntry> &before,
                                             const QVector<ParameterEntry> &after)
{
    QVector<TableChange> changes;
    const qsizetype oldSize = before.size();
    const qsizetype newSize = after.size();
    if (oldSize == newSize) {
        if (before.constData() == after.constData())
            return changes; // still the same data: nothing was written
        // Rewritten slots, as runs of neighbours.
        for (qsizetype slot = 0; slot < oldSize;) {
            if (before.at(slot) == after.at(slot)) {
                ++slot;
                continue;
            }
            qsizetype end = slot + 1;
            while (end < oldSize && before.at(end) != after.at(end))
                ++end;
            changes.append({static_cast<int>(slot), before.mid(slot, end - slot), end - slot});
            slot = end;
        }
        return changes;
    }
    // A block added or removed: what lies between the common beginning and the common end.
    const qsizetype shorter = std::min(oldSize, newSize);
    qsizetype head = 0;
    while (head < shorter && before.at(head) == after.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before.at(oldSize - 1 - tail) == after.at(newSize - 1 - tail))
        ++tail;
    changes.append({static_cast<int>(head), before.mid(head, oldSize - head - tail), newSize - head - tail});
    return changes;
}

void EditHistory::exchange(QVector<ParameterEntry> &table, TableChange &change)
{
    QVector<ParameterEntry> &held = change.before;
    const qsizetype heldSize = held.size(), shownSize = change.afterSize;
    const qsizetype common = std::min(heldSize, shownSize);
    const int rest = change.position + int(common); // where the two sides' lengths part
    std::swap_ranges(held.begin(), held.begin() + common, table.begin() + change.position);
    if (heldSize > shownSize) {
        table.insert(rest, heldSize - common, ParameterEntry{});
        std::move(held.begin() + common, held.end(), table.begin() + rest);
        held.remove(common, heldSize - common);
    } else if (shownSize > heldSize) {
        held.reserve(shownSize);
        std::move(table.begin() + rest, table.begin() + rest + (shownSize - common), std::back_inserter(held));
        table.remove(rest, shownSize - common);
    }
    change.afterSize = heldSize;
}

} // namespace ov::mapping
