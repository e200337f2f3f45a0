#include "MappingDiff.h"

#include "ParameterPlacements.h"

#include <algorithm>

namespace ov::mapping {

QVector<SlotDifference> diffMappings(const QVector<ParameterEntry> &before, const QVector<ParameterEntry> &after)
{
    QVector<SlotDifference> differences;
    const qsizetype slotCount = std::max(before.size(), after.size());
    for (qsizetype slot = 0; slot < slotCount; ++slot) {
        const QString was = slot < before.size() ? entryString(before.at(slot)) : kEmptySlotString;
        const QString is = slot < after.size() ? entryString(after.at(slot)) : kEmptySlotString;
        if (was != is)
            differences.append({static_cast<int>(slot), was, is});
    }
    return differences;
}

QString differenceLine(const SlotDifference &difference)
{
    return placementText(std::span(&difference.slot, 1)) + QLatin1Char('\t') + difference.before + QLatin1Char('\t')
           + difference.after;
}

} // namespace ov::mapping
