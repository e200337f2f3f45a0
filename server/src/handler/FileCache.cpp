#include "handler/FileCache.h"

namespace ovserver {

std::shared_ptr<const std::string> FileCache::find(std::int64_t id)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_byId.find(id);
    if (found == m_byId.end())
        return nullptr;
    m_recent.splice(m_recent.begin(), m_recent, found->second);
    return found->second->second;
}

void FileCache::keep(std::int64_t id, std::shared_ptr<const std::string> file)
{
    if (!file || file->size() > m_maxBytes)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_byId.contains(id))
        return; // kept meanwhile by another request: the same bytes
    m_bytes += file->size();
    m_recent.emplace_front(id, std::move(file));
    m_byId.emplace(id, m_recent.begin());
    while (m_bytes > m_maxBytes) {
        const Entry &oldest = m_recent.back();
        m_bytes -= oldest.second->size();
        m_byId.erase(oldest.first);
        m_recent.pop_back();
    }
}

void FileCache::forget(std::int64_t id)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_byId.find(id);
    if (found == m_byId.end())
        return;
    m_bytes -= found->second->second->size();
    m_recent.erase(found->second);
    m_byId.erase(found);
}

std::size_t FileCache::bytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_bytes;
}

} // namespace ovserver
