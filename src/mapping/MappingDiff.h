#pragma once

#include "ParameterEntry.h"

#include <QString>
#include <QVector>

namespace ov::mapping {

// A slot whose parameter differs between two mappings, by the entry strings a save writes ("-1"
// for the empty slot).
struct SlotDifference final {
    int slot = 0;
    QString before;
    QString after;
    friend bool operator==(const SlotDifference &, const SlotDifference &) = default;
};

// The slots, in order, whose parameter differs; a slot missing from the shorter table counts as empty.
QVector<SlotDifference> diffMappings(const QVector<ParameterEntry> &before, const QVector<ParameterEntry> &after);

// "PAGE/CONTROL<tab>BEFORE<tab>AFTER".
QString differenceLine(const SlotDifference &difference);

} // namespace ov::mapping
