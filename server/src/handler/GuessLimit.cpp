#include "handler/GuessLimit.h"

#include <algorithm>
#include <cstddef>

namespace ovserver {

bool GuessLimit::exhausted(const std::string &address, std::int64_t now)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_wrong.find(address);
    if (found == m_wrong.end())
        return false;
    auto &times = found->second;
    std::erase_if(times, [&](std::int64_t at) { return at <= now - m_policy.windowSeconds; });
    if (times.empty()) {
        m_wrong.erase(found);
        return false;
    }
    return times.size() >= static_cast<std::size_t>(m_policy.maxWrongPerAddress);
}

void GuessLimit::wrong(const std::string &address, std::int64_t now)
{
    const std::lock_guard lock(m_mutex);
    if (m_wrong.size() >= m_policy.maxAddresses && !m_wrong.contains(address))
        prune(now);
    m_wrong[address].push_back(now);
}

void GuessLimit::proven(std::string_view user, const std::string &address, std::int64_t now)
{
    const std::lock_guard lock(m_mutex);
    if (m_proofs.size() >= m_policy.maxAddresses)
        prune(now);
    m_proofs[proofKey(user, address)] = now;
}

bool GuessLimit::hasProven(std::string_view user, const std::string &address, std::int64_t now)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_proofs.find(proofKey(user, address));
    return found != m_proofs.end() && found->second > now - m_policy.proofSeconds;
}

void GuessLimit::forget(std::string_view user, const std::string &address)
{
    const std::lock_guard lock(m_mutex);
    m_proofs.erase(proofKey(user, address));
}

// A NUL never stands in a user name or an address.
std::string GuessLimit::proofKey(std::string_view user, const std::string &address)
{
    std::string key(user);
    key += '\0';
    key += address;
    return key;
}

// Drops what is out of date; when everything is recent, the oldest half of each map goes, so that
// many addresses cannot grow the memory without bound.
void GuessLimit::prune(std::int64_t now)
{
    std::erase_if(m_wrong, [&](const auto &entry) { return entry.second.back() <= now - m_policy.windowSeconds; });
    std::erase_if(m_proofs, [&](const auto &entry) { return entry.second <= now - m_policy.proofSeconds; });
    const auto halve = [](auto &map, auto newest) {
        if (map.size() < 2)
            return;
        std::vector<std::int64_t> times;
        times.reserve(map.size());
        for (const auto &entry : map)
            times.push_back(newest(entry));
        const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
        std::nth_element(times.begin(), middle, times.end());
        const std::int64_t median = *middle;
        std::erase_if(map, [&](const auto &entry) { return newest(entry) <= median; });
    };
    if (m_wrong.size() >= m_policy.maxAddresses)
        halve(m_wrong, [](const auto &entry) { return entry.second.back(); });
    if (m_proofs.size() >= m_policy.maxAddresses)
        halve(m_proofs, [](const auto &entry) { return entry.second; });
}

} // namespace ovserver
