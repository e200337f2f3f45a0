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
    const auto found = m_ids.constFind(ParameterKey::of(entry));
    return found == m_ids.cend() ? std::span<const int>() : std::span<const int>(m_slots.at(*found));
}

void ParameterPlacements::place(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    const ParameterKey key = ParameterKey::of(entry);
    auto found = m_ids.find(key);
    if (found == m_ids.end()) {
        found = m_ids.insert(key, int(m_slots.size()));
        m_slots.emplace_back();
    }
    std::vector<int> &taken = m_slots[*found];
    taken.insert(
        taken.empty() || taken.back() < slot ? taken.end() : std::lower_bound(taken.begin(), taken.end(), slot), slot);
}

void ParameterPlacements::remove(const ParameterEntry &entry, int slot)
{
    if (entry.isEmptySlot())
        return;
    const auto found = m_ids.constFind(ParameterKey::of(entry));
    if (found == m_ids.cend())
        return;
    std::vector<int> &taken = m_slots[*found];
    if (const auto at = std::lower_bound(taken.begin(), taken.end(), slot); at != taken.end() && *at == slot)
        taken.erase(at);
}

bool operator==(const ParameterPlacements &a, const ParameterPlacements &b)
{
    const auto standing = [](const ParameterPlacements &p) {
        return std::count_if(p.m_slots.cbegin(), p.m_slots.cend(), [](const auto &taken) { return !taken.empty(); });
    };
    if (standing(a) != standing(b))
        return false;
    for (auto it = a.m_ids.cbegin(); it != a.m_ids.cend(); ++it) {
        const std::vector<int> &mine = a.m_slots.at(it.value());
        const auto other = b.m_ids.constFind(it.key());
        if (!mine.empty() && (other == b.m_ids.cend() || b.m_slots.at(other.value()) != mine))
            return false;
    }
    return true;
}

void ParameterPlacements::update(const QVector<TableChange> &changes, const QVector<ParameterEntry> &table)
{
    const auto resizes = [](const TableChange &change) { return change.before.size() != change.afterSize; };
    const auto resizing = std::count_if(changes.cbegin(), changes.cend(), resizes);
    if (resizing > 1) {
        *this = ParameterPlacements(table);
        return;
    }
    // Everything leaves first, then the slots after a block added or removed move by its size, then
    // everything arrives: what an exchange brings to one page leaves the other in another change.
    for (const TableChange &change : changes) {
        for (qsizetype k = 0; k < change.before.size(); ++k)
            remove(change.before.at(k), change.position + int(k));
    }
    if (resizing == 1) {
        const TableChange &block = *std::find_if(changes.cbegin(), changes.cend(), resizes);
        if (block.position + block.afterSize < table.size())
            shiftFrom(block.position + int(block.before.size()), int(block.afterSize - block.before.size()));
    }
    for (const TableChange &change : changes) {
        for (int slot = change.position; slot < change.position + change.afterSize; ++slot)
            place(table.at(slot), slot);
    }
}

void ParameterPlacements::shiftFrom(int firstSlot, int by)
{
    for (std::vector<int> &taken : m_slots) {
        // The slots are in order: those that move are the last ones.
        for (auto slot = std::lower_bound(taken.begin(), taken.end(), firstSlot); slot != taken.end(); ++slot)
            *slot += by;
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
