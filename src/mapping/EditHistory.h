#pragma once

#include "MappingTable.h"

#include <QString>
#include <QVector>

#include <deque>

namespace ov::mapping {

// What one change did to a table: the slots [position, position + before.size()) held `before`,
// and `afterSize` slots stand there now. Where the two sizes differ, a block was added or removed
// there. The changes of one step touch slots apart from one another's, so once they are all done
// what each wrote is in the table at [position, position + afterSize).
struct TableChange {
    int position = 0;
    QVector<ParameterEntry> before;
    qsizetype afterSize = 0;
};

// The undo history of a mapping table. A step keeps only what a change did: the runs of slots it
// rewrote (or the block it added or removed) and the page shown and the page count before and
// after, so a step on a 1,000-page table costs as much memory as the change, not the table. Of
// each run it keeps one side only, the side the table does not show: undo and redo exchange that
// side with the table's, so nothing is copied either way.
class EditHistory final {
public:
    // Steps kept; the oldest are forgotten beyond this.
    static constexpr int kMaxSteps = 1000;

    // Opens a step named `name`, keeping the table as it is now. Steps opened while one is open
    // join it.
    void begin(const MappingTable &table, const QString &name);
    // Closes the step opened last. The outermost close records the step when the table changed
    // (what could be redone is dropped then) and returns true; otherwise it returns false.
    bool end(const MappingTable &table);
    // Records a step that rewrote slots in place, without keeping the whole table: `written` holds
    // each run of slots as it was, and the page counters before it; the runs lie apart from one
    // another. Slots that hold what they held are left out; returns false when none changed.
    bool record(const QString &name, int curPageBefore, const QVector<TableChange> &written, const MappingTable &table);
    // Records a step that added or removed one block of slots, as `change` tells, without keeping
    // or comparing the rest of the table; the page counters before it are given.
    bool recordBlock(const QString &name, int curPageBefore, int totalPagesBefore, TableChange change,
                     const MappingTable &table);
    bool isOpen() const { return m_depth > 0; }

    // Forgets every step (a newly loaded file starts a new history).
    void clear();

    bool canUndo() const { return !isOpen() && m_done > 0; }
    bool canRedo() const { return !isOpen() && m_done < qsizetype(m_steps.size()); }
    // The name of the step that undo or redo would take back or do again; empty when there is none.
    QString undoName() const { return canUndo() ? m_steps.at(m_done - 1).name : QString(); }
    QString redoName() const { return canRedo() ? m_steps.at(m_done).name : QString(); }

    // Takes the table back to before the last step done, page shown and page count included.
    bool undo(MappingTable &table);
    // Does the last step undone again.
    bool redo(MappingTable &table);

    // What the last recorded step, undo or redo did to the table, in the order it was done.
    const QVector<TableChange> &lastChanges() const { return m_lastChanges; }

private:
    struct Step {
        QString name;
        int curPageBefore = 0;
        int totalPagesBefore = 0;
        int curPageAfter = 0;
        int totalPagesAfter = 0;
        QVector<TableChange> changes; // done: what the slots held before; undone: what the step wrote
    };

    static QVector<TableChange> difference(const QVector<ParameterEntry> &before, const QVector<ParameterEntry> &after);
    // Puts the change's entries in the table in place of its `afterSize` slots, and keeps those
    // slots' entries in the change instead: done twice, it leaves both as they were.
    static void exchange(QVector<ParameterEntry> &table, TableChange &change);

    bool push(Step step);
    std::deque<Step> m_steps;
    qsizetype m_done = 0; // steps [0, m_done) are done, the rest undone
    int m_depth = 0;
    MappingTable m_before; // the table when the open step began; shares its data until the table changes
    QString m_name;
    QVector<TableChange> m_lastChanges;
};

} // namespace ov::mapping
