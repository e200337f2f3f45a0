#pragma once
// Connections to the store, each used by one thread at a time. The pool opens connections as threads
// need them, up to a limit; a thread that finds all of them in use waits for one to come back. A
// connection that no longer works is closed instead of being handed out again.

#include "Storage.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace ovserver {

// Connection must offer bool usable(): false once it is broken.
template <typename Connection>
class ConnectionPool {
public:
    using Opener = std::function<std::unique_ptr<Connection>()>;

    ConnectionPool(Opener open, std::size_t limit, std::chrono::milliseconds longestWait = std::chrono::seconds(10))
        : m_open(std::move(open)), m_limit(limit > 0 ? limit : 1), m_longestWait(longestWait)
    {
    }
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    class Lease {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
            : m_pool(&pool), m_connection(std::move(connection)) {}
        Lease(Lease&& other) noexcept : m_pool(other.m_pool), m_connection(std::move(other.m_connection)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Lease& operator=(Lease&&) = delete;
        ~Lease()
        {
            if (m_connection) m_pool->giveBack(std::move(m_connection));
        }

        Connection* operator->() const { return m_connection.get(); }
        Connection& operator*() const { return *m_connection; }

    private:
        ConnectionPool* m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    // A connection for the calling thread alone until the lease ends. Throws StorageError when no
    // connection can be opened, or none comes free within the longest wait.
    Lease lease()
    {
        std::unique_lock lock(m_mutex);
        const auto deadline = std::chrono::steady_clock::now() + m_longestWait;
        for (;;) {
            while (!m_idle.empty()) {
                std::unique_ptr<Connection> connection = std::move(m_idle.back());
                m_idle.pop_back();
                lock.unlock();
                if (connection->usable()) return Lease(*this, std::move(connection));
                connection.reset();  // broken while it was idle (the server restarted, say)
                lock.lock();
                --m_opened;
            }
            if (m_opened < m_limit) {
                ++m_opened;
                lock.unlock();
                try {
                    return Lease(*this, m_open());
                } catch (...) {
                    lock.lock();
                    --m_opened;
                    m_returned.notify_one();
                    throw;
                }
            }
            if (m_returned.wait_until(lock, deadline) == std::cv_status::timeout && m_idle.empty() && m_opened >= m_limit)
                throw StorageError("all " + std::to_string(m_limit) + " connections to the store stayed busy");
        }
    }

    // Connections open now, in use or idle.
    std::size_t opened() const
    {
        const std::lock_guard lock(m_mutex);
        return m_opened;
    }

private:
    void giveBack(std::unique_ptr<Connection> connection)
    {
        const bool keep = connection->usable();
        if (!keep) connection.reset();  // closed outside the lock
        const std::lock_guard lock(m_mutex);
        if (keep) m_idle.push_back(std::move(connection));
        else --m_opened;
        m_returned.notify_one();
    }

    Opener m_open;
    const std::size_t m_limit;
    const std::chrono::milliseconds m_longestWait;
    mutable std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<std::unique_ptr<Connection>> m_idle;
    std::size_t m_opened = 0;
};

}  // namespace ovserver
