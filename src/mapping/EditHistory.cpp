#include "EditHistory.h"

#include <algorithm>
#include <iterator>

namespace ov::mapping {

void EditHistory::begin(const MappingTable &table, const QString &name)
{
    if (m_depth++ == 0) {
        m_before = table;
        m_name = name;
    }
}

bool EditHistory::end(const MappingTable &table)
{
    if (m_depth == 0 || --m_depth > 0)
        return false;
    QVector<TableChange> changes = difference(m_before.plistBuild, table.plistBuild);
    Step step{m_name, m_before.curPage, m_before.totalPages, table.curPage, table.totalPages, std::move(changes)};
    m_before = MappingTable{}; // lets the table own its data alone again
    return push(std::move(step));
}

bool EditHistory::record(const QString &name, int curPageBefore, const QVector<TableChange> &written,
                         const MappingTable &table)
{
    Step step{name, curPageBefore, table.totalPages, table.curPage, table.totalPages, {}};
    for (const TableChange &run : written) {
        for (TableChange &change : difference(run.before, table.plistBuild.mid(run.position, run.before.size()))) {
            change.position += run.position;
            step.changes.append(std::move(change));
        }
    }
    return push(std::move(step));
}

bool EditHistory::recordBlock(const QString &name, int curPageBefore, int totalPagesBefore, TableChange change,
                              const MappingTable &table)
{
    if (change.before.size() == change.afterSize)
        return false; // no block came or went
    Step step{name, curPageBefore, totalPagesBefore, table.curPage, table.totalPages, {}};
    step.changes.append(std::move(change));
    return push(std::move(step));
}

bool EditHistory::push(Step step)
{
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
