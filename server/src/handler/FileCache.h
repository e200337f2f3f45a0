#pragma once
// Stored files kept in the node's memory. A file never changes once stored, so a file kept here is
// the file in the store until its user deletes the mapping, whichever node stored it; only files
// that exist are kept, never their absence.

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace ovserver {

class FileCache {
public:
    // Keeps at most `maxBytes` of files; the least recently used go first. 0 keeps nothing.
    explicit FileCache(std::size_t maxBytes) : m_maxBytes(maxBytes) { }
    FileCache(const FileCache &) = delete;
    FileCache &operator=(const FileCache &) = delete;

    // The file of that mapping when it is kept, else null. Safe from many threads.
    std::shared_ptr<const std::string> find(std::int64_t id);
    // Keeps the file of that mapping; a file larger than the whole bound is not kept.
    void keep(std::int64_t id, std::shared_ptr<const std::string> file);

    // Lets go of that mapping's file, when kept.
    void forget(std::int64_t id);

    std::size_t bytes() const;

private:
    using Entry = std::pair<std::int64_t, std::shared_ptr<const std::string>>;

    const std::size_t m_maxBytes;
    mutable std::mutex m_mutex;
    std::list<Entry> m_recent; // most recently used first
    std::unordered_map<std::int64_t, std::list<Entry>::iterator> m_byId;
    std::size_t m_bytes = 0;
};

} // namespace ovserver
