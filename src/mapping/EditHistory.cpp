#include "EditHistory.h"

#include <algorithm>

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
    // What the slots held moves into the changes: the kept slots are let go at the close.
    std::stable_sort(m_kept.begin(), m_kept.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_kept.erase(std::unique(m_kept.begin(), m_kept.end(), [](const auto &a, const auto &b) { return a.first == b.first; }),
                 m_kept.end());
    QVector<TableChange> changes;
    for (auto kept = m_kept.begin(); kept != m_kept.end();) {
        if (kept->second == after.at(kept->first)) {
            ++kept;
            continue;
        }
        TableChange change{kept->first, {}, {}};
        change.before.reserve(qsizetype(m_kept.end() - kept));
        change.after.reserve(change.before.capacity());
        for (int slot = kept->first; kept != m_kept.end() && kept->first == slot && kept->second != after.at(slot);
             ++kept, ++slot) {
            change.before.append(std::move(kept->second));
            change.after.append(after.at(slot));
        }
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
    m_done = m_steps.size();
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
    const Step &step = m_steps.at(--m_done);
    m_lastChanges.clear();
    for (auto change = step.changes.crbegin(); change != step.changes.crend(); ++change) {
        replace(table.plistBuild, change->position, change->after.size(), change->before);
        m_lastChanges.append({change->position, change->after, change->before});
    }
    table.curPage = step.curPageBefore;
    table.totalPages = step.totalPagesBefore;
    return true;
}

bool EditHistory::redo(MappingTable &table)
{
    if (!canRedo())
        return false;
    const Step &step = m_steps.at(m_done++);
    for (const TableChange &change : step.changes)
        replace(table.plistBuild, change.position, change.before.size(), change.after);
    m_lastChanges = step.changes;
    table.curPage = step.curPageAfter;
    table.totalPages = step.totalPagesAfter;
    return true;
}

QVector<TableChange> EditHistory::difference(const QVector<ParameterEntry> &before, const QVector<ParameterEntry> &after)
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
            changes.append({static_cast<int>(slot), before.mid(slot, end - slot), after.mid(slot, end - slot)});
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
    changes.append({static_cast<int>(head), before.mid(head, oldSize - head - tail), after.mid(head, newSize - head - tail)});
    return changes;
}

void EditHistory::replace(QVector<ParameterEntry> &table, int position, qsizetype count,
                          const QVector<ParameterEntry> &entries)
{
    if (count != entries.size()) {
        table.remove(position, count);
        table.insert(position, entries.size(), ParameterEntry{});
    }
    std::copy(entries.cbegin(), entries.cend(), table.begin() + position);
}

} // namespace ov::mapping
