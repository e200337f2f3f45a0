#pragma once

#include "EditHistory.h"
#include "ParameterEntry.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <span>
#include <vector>

namespace ov::mapping {

// A parameter is identified by its ParamNum and Parameter together: a plug-in may name two
// parameters alike (a "Level" for each oscillator), and their numbers tell them apart.
struct ParameterKey final {
    QString ParamNum;
    QString Parameter;

    static ParameterKey of(const ParameterEntry &entry) { return {entry.ParamNum, entry.Parameter}; }
    friend bool operator==(const ParameterKey &, const ParameterKey &) = default;
};

inline size_t qHash(const ParameterKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.ParamNum, key.Parameter);
}

// Where each parameter stands in a mapping table: its slots in table order. Built in one pass over
// the table; the empty slot "-" is not a parameter and stands nowhere.
class ParameterPlacements final {
public:
    ParameterPlacements() = default;
    explicit ParameterPlacements(const QVector<ParameterEntry> &table);

    // The slots holding `entry`'s parameter, in table order; good until the next update.
    std::span<const int> slotsOf(const ParameterEntry &entry) const;

    // Follows `changes` made to the table, which is now `table`: slot by slot, the slots after a
    // block added or removed moved by its size; built anew when more than one block came or went.
    void update(const QVector<TableChange> &changes, const QVector<ParameterEntry> &table);

    // Whether every parameter stands on the same slots in both.
    friend bool operator==(const ParameterPlacements &a, const ParameterPlacements &b);

private:
    void place(const ParameterEntry &entry, int slot);
    void remove(const ParameterEntry &entry, int slot);
    // Moves every slot from `firstSlot` on by `by`.
    void shiftFrom(int firstSlot, int by);

    // Each parameter met gets a number for good; its slots lie side by side with the others', so a
    // page deleted or put back moves them all in one pass over memory.
    QHash<ParameterKey, int> m_ids;
    std::vector<std::vector<int>> m_slots; // by number; empty where the parameter stands nowhere now
};

// "2/5, 3/1": page and control of each slot, in the order given; `leaveOut` is not listed.
QString placementText(std::span<const int> slotIndices, int leaveOut = -1);

} // namespace ov::mapping
