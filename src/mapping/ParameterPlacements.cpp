#include "ParameterPlacements.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace ov::mapping {

ParameterPlacements::ParameterPlacements(const QVector<ParameterEntry> &table) : m_idAt(size_t(table.size()), -1)
{
    for (qsizetype slot = 0; slot < table.size(); ++slot) {
        const ParameterEntry &entry = table.at(slot);
        if (entry.isEmptySlot())
            continue;
        const int id = idOf(entry);
        m_slots[size_t(id)].push_back(int(slot));
        m_idAt[size_t(slot)] = id;
    }
}

int ParameterPlacements::idOf(const ParameterEntry &entry)
{
    const ParameterKey key = ParameterKey::of(entry);
    if (const auto found = m_ids.constFind(key); found != m_ids.cend())
        return *found;
    const int id = int(m_slots.size());
    m_ids.insert(key, id);
    m_slots.emplace_back();
    return id;
}

std::span<const int> ParameterPlacements::slotsOf(const ParameterEntry &entry) const
{
    if (entry.isEmptySlot())
        return {};
    const auto found = m_ids.constFind(ParameterKey::of(entry));
    return found == m_ids.cend() ? std::span<const int>() : std::span<const int>(m_slots[size_t(*found)]);
}

std::span<const int> ParameterPlacements::slotsAt(int slot) const
{
    if (slot < 0 || size_t(slot) >= m_idAt.size() || m_idAt[size_t(slot)] < 0)
        return {};
    return m_slots[size_t(m_idAt[size_t(slot)])];
}

void ParameterPlacements::place(int id, int slot)
{
    std::vector<int> &taken = m_slots[size_t(id)];
    taken.insert(
        taken.empty() || taken.back() < slot ? taken.end() : std::lower_bound(taken.begin(), taken.end(), slot), slot);
    m_idAt[size_t(slot)] = id;
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
    // What leaves a slot is remembered by where its name's text is stored: an entry copied from
    // slot to slot shares that text, so what a swap, an exchange or an undo brings in is found
    // among what left without a lookup by name. A small open table at most half full, keyed by the
    // text's address; a search goes no further than kProbes buckets (many nameless parameters may
    // share one address) and then looks the name up.
    struct Left {
        const QChar *text = nullptr;
        const ParameterEntry *entry = nullptr;
        int id = -1;
    };
    constexpr int kProbes = 16;
    qsizetype leaving = 0;
    for (const TableChange &change : changes)
        leaving += change.before.size();
    const size_t buckets = std::bit_ceil(size_t(std::max<qsizetype>(2 * leaving, 2)));
    const int shift = 64 - std::countr_zero(buckets);
    const auto bucketOf = [&](const QChar *text) {
        return size_t((quint64(quintptr(text)) * 0x9E3779B97F4A7C15ull) >> shift); // Fibonacci hashing
    };
    const auto next = [&](size_t bucket) { return (bucket + 1) & (buckets - 1); };
    std::vector<Left> left(buckets);

    // Everything leaves first, then everything arrives: the changes touch slots apart from one
    // another's, and what an exchange brings to one page leaves the other in a later change.
    for (const TableChange &change : changes) {
        for (qsizetype k = 0; k < change.before.size(); ++k) {
            const size_t slot = size_t(change.position + k);
            if (slot >= m_idAt.size() || m_idAt[slot] < 0)
                continue;
            const int id = std::exchange(m_idAt[slot], -1);
            std::vector<int> &taken = m_slots[size_t(id)];
            if (const auto found = std::lower_bound(taken.begin(), taken.end(), int(slot));
                found != taken.end() && *found == int(slot))
                taken.erase(found);
            const Left leaver{change.before.at(k).Parameter.constData(), &change.before.at(k), id};
            size_t bucket = bucketOf(leaver.text);
            for (int probe = 0; probe < kProbes; ++probe, bucket = next(bucket)) {
                if (!left[bucket].text) {
                    left[bucket] = leaver;
                    break;
                }
                if (left[bucket].text == leaver.text && left[bucket].id == id)
                    break; // one of the parameter's other slots left already
            }
        }
    }
    m_idAt.resize(size_t(table.size()), -1);

    const auto alike = [](const QString &a, const QString &b) {
        return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
    };
    for (const TableChange &change : changes) {
        for (int slot = change.position; slot < change.position + change.afterSize; ++slot) {
            const ParameterEntry &entry = table.at(slot);
            if (entry.isEmptySlot())
                continue;
            int id = -1;
            size_t bucket = bucketOf(entry.Parameter.constData());
            for (int probe = 0; probe < kProbes && left[bucket].text; ++probe, bucket = next(bucket)) {
                const ParameterEntry &leaver = *left[bucket].entry;
                if (left[bucket].text == entry.Parameter.constData()
                    && leaver.Parameter.size() == entry.Parameter.size() && alike(leaver.ParamNum, entry.ParamNum)) {
                    id = left[bucket].id;
                    break;
                }
            }
            place(id >= 0 ? id : idOf(entry), slot);
        }
    }
}

bool operator==(const ParameterPlacements &a, const ParameterPlacements &b)
{
    // Each side's slots and lists tell the same story...
    const auto consistent = [](const ParameterPlacements &p) {
        size_t listed = 0;
        for (size_t id = 0; id < p.m_slots.size(); ++id) {
            const std::vector<int> &taken = p.m_slots[id];
            listed += taken.size();
            if (!std::is_sorted(taken.cbegin(), taken.cend())
                || std::any_of(taken.cbegin(), taken.cend(), [&](int slot) {
                       return slot < 0 || size_t(slot) >= p.m_idAt.size() || p.m_idAt[size_t(slot)] != int(id);
                   }))
                return false;
        }
        return listed == size_t(std::count_if(p.m_idAt.cbegin(), p.m_idAt.cend(), [](int id) { return id >= 0; }));
    };
    if (a.m_idAt.size() != b.m_idAt.size() || !consistent(a) || !consistent(b))
        return false;
    // ...and it is the same story: every slot holds the same parameter.
    const auto keysByNumber = [](const ParameterPlacements &p) {
        std::vector<const ParameterKey *> keys(p.m_slots.size());
        for (auto id = p.m_ids.cbegin(); id != p.m_ids.cend(); ++id)
            keys[size_t(id.value())] = &id.key();
        return keys;
    };
    const std::vector<const ParameterKey *> keysA = keysByNumber(a), keysB = keysByNumber(b);
    for (size_t slot = 0; slot < a.m_idAt.size(); ++slot) {
        const int idA = a.m_idAt[slot], idB = b.m_idAt[slot];
        if ((idA < 0) != (idB < 0) || (idA >= 0 && *keysA[size_t(idA)] != *keysB[size_t(idB)]))
            return false;
    }
    return true;
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
