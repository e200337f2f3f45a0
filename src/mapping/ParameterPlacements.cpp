#include "ParameterPlacements.h"

namespace ov::mapping {

ParameterPlacements::ParameterPlacements(const QVector<ParameterEntry> &table)
{
    for (qsizetype slot = 0; slot < table.size(); ++slot) {
        const ParameterEntry &entry = table.at(slot);
        if (!entry.isEmptySlot())
            m_slots[ParameterKey::of(entry)].append(static_cast<int>(slot));
    }
}

QVector<int> ParameterPlacements::slotsOf(const ParameterEntry &entry) const
{
    if (entry.isEmptySlot())
        return {};
    return m_slots.value(ParameterKey::of(entry));
}

QString placementText(const QVector<int> &slotIndices, int leaveOut)
{
    QString text;
    for (const int slot : slotIndices) {
        if (slot == leaveOut)
            continue;
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        text += QString::number(slot / kControlsPerPage + 1) + QLatin1Char('/') + QString::number(slot % kControlsPerPage + 1);
    }
    return text;
}

} // namespace ov::mapping
