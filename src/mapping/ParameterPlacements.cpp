#include "ParameterPlacements.h"

#include <algorithm>

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

void ParameterPlacements::update(const QVector<TableChange> &changes, const QVector<ParameterEntry> &table)
{
    const bool slotsMoved = std::any_of(changes.cbegin(), changes.cend(), [&](const TableChange &change) {
        return change.before.size() != change.after.size() && change.position + change.after.size() < table.size();
    });
    if (slotsMoved) {
        *this = ParameterPlacements(table);
        return;
    }
    for (const TableChange &change : changes) {
        for (qsizetype k = 0; k < change.before.size(); ++k)
            remove(change.before.at(k), change.position + static_cast<int>(k));
        for (qsizetype k = 0; k < change.after.size(); ++k)
            add(change.after.at(k), change.position + static_cast<int>(k));
    }
}

void ParameterPlacements::remove(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    const auto found = m_slots.find(ParameterKey::of(entry));
    if (found == m_slots.end())
        return;
    found->removeOne(slot);
    if (found->isEmpty())
        m_slots.erase(found);
}

void ParameterPlacements::add(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    QVector<int> &taken = m_slots[ParameterKey::of(entry)];
    taken.insert(std::lower_bound(taken.begin(), taken.end(), slot), slot);
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
