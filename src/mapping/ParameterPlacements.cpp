#include "ParameterPlacements.h"

#include <algorithm>

namespace ov::mapping {

ParameterPlacements::ParameterPlacements(const QVector<ParameterEntry> &table)
{
    for (qsizetype slot = 0; slot < table.size(); ++slot)
        place(table.at(slot), int(slot));
}

std::span<const int> ParameterPlacements::slotsOf(const ParameterEntry &entry) const
{
    if (entry.isEmptySlot())
        return {};
    const auto found = m_slots.constFind(ParameterKey::of(entry));
    return found == m_slots.cend() ? std::span<const int>() : std::span<const int>(*found);
}

void ParameterPlacements::place(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    std::vector<int> &taken = m_slots[ParameterKey::of(entry)];
    taken.insert(
        taken.empty() || taken.back() < slot ? taken.end() : std::lower_bound(taken.begin(), taken.end(), slot), slot);
}

void ParameterPlacements::remove(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    const auto found = m_slots.find(ParameterKey::of(entry));
    if (found == m_slots.end())
        return;
    std::vector<int> &taken = *found;
    if (const auto at = std::lower_bound(taken.begin(), taken.end(), slot); at != taken.end() && *at == slot)
        taken.erase(at);
    if (taken.empty())
        m_slots.erase(found);
}

void ParameterPlacements::update(const QVector<TableChange> &changes, const QVector<ParameterEntry> &table)
{
    const bool slotsMoved = std::any_of(changes.cbegin(), changes.cend(), [&](const TableChange &change) {
        return change.before.size() != change.afterSize && change.position + change.afterSize < table.size();
    });
    if (slotsMoved) {
        *this = ParameterPlacements(table);
        return;
    }
    // Everything leaves first, then everything arrives: what an exchange brings to one page leaves
    // the other in another change.
    for (const TableChange &change : changes) {
        for (qsizetype k = 0; k < change.before.size(); ++k)
            remove(change.before.at(k), change.position + int(k));
    }
    for (const TableChange &change : changes) {
        for (int slot = change.position; slot < change.position + change.afterSize; ++slot)
            place(table.at(slot), slot);
    }
}

QString placementText(std::span<const int> slotIndices, int leaveOut)
{
    QString text;
    for (const int slot : slotIndices) {
        if (slot == leaveOut)
            continue;
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        text += QString::number(slot / kControlsPerPage + 1) + QLatin1Char('/')
                + QString::number(slot % kControlsPerPage + 1);
    }
    return text;
}

} // namespace ov::mapping
