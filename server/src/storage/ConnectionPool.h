#pragma once
// Connections to the store, each used by one thread at a time. The pool opens connections as threads
// need them, up to a limit; a thread that finds all of them in use waits for one to come back. A
// connection that no longer works is closed instead of being handed out again.
// Waiting threads are served in turn, a connection going straight from the thread that gives it
// back to the one served, so no thread waits while later ones are served. Short reads (a list, a
// file) go before writes, which hold a connection longer: someone waits at the screen for a list,
// while an upload or a count may take a moment. A write that has waited the longest delay (50 ms
// unless told) goes first.

#include "storage/Storage.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace ovserver {

// Connection must offer bool usable(): false once it is broken.
template <typename Connection> class ConnectionPool {
public:
    using Opener = std::function<std::unique_ptr<Connection>()>;

    ConnectionPool(Opener open, std::size_t limit, std::chrono::milliseconds longestWait = std::chrono::seconds(10),
                   std::chrono::milliseconds longestDelay = std::chrono::milliseconds(50))
        : m_open(std::move(open)), m_limit(limit > 0 ? limit : 1), m_longestWait(longestWait),
          m_longestDelay(longestDelay)
    {
    }
    ConnectionPool(const ConnectionPool &) = delete;
    ConnectionPool &operator=(const ConnectionPool &) = delete;

    class Lease {
    public:
        Lease(ConnectionPool &pool, std::unique_ptr<Connection> connection)
            : m_pool(&pool), m_connection(std::move(connection))
        {
        }
        Lease(Lease &&other) noexcept : m_pool(other.m_pool), m_connection(std::move(other.m_connection)) { }
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Lease &operator=(Lease &&) = delete;
        ~Lease()
        {
            if (m_connection)
                m_pool->giveBack(std::move(m_connection));
        }

        Connection *operator->() const { return m_connection.get(); }
        Connection &operator*() const { return *m_connection; }

    private:
        ConnectionPool *m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    enum class Turn {
        Read,
        Write
    };

    // A connection for the calling thread alone until the lease ends. Throws StorageError when no
    // connection can be opened, or none comes free within the longest wait.
    Lease lease(Turn turn = Turn::Write)
    {
        std::unique_lock lock(m_mutex);
        if (!m_idle.empty()) { // only while nobody waits: a returned connection goes to a waiter
            std::unique_ptr<Connection> connection = std::move(m_idle.back());
            m_idle.pop_back();
            lock.unlock();
            if (connection->usable())
                return Lease(*this, std::move(connection));
            connection.reset(); // broken while it was idle (the server restarted, say): open another
            lock.lock();
            return openFor(lock);
        }
        if (m_opened < m_limit) {
            ++m_opened;
            return openFor(lock);
        }
        Waiter me;
        me.since = std::chrono::steady_clock::now();
        std::deque<Waiter *> &queue = turn == Turn::Read ? m_reads : m_writes;
        queue.push_back(&me);
        const auto deadline = me.since + m_longestWait;
        while (!me.connection && !me.mayOpen) {
            if (me.ready.wait_until(lock, deadline) == std::cv_status::timeout && !me.connection && !me.mayOpen) {
                queue.erase(std::find(queue.begin(), queue.end(), &me));
                countWait(me.since);
                throw StorageError("all " + std::to_string(m_limit) + " connections to the store stayed busy");
            }
        }
        countWait(me.since);
        if (me.mayOpen)
            return openFor(lock);
        lock.unlock();
        return Lease(*this, std::move(me.connection));
    }

    // Threads waiting for a connection now.
    std::size_t waiting() const
    {
        const std::lock_guard lock(m_mutex);
        return m_reads.size() + m_writes.size();
    }

    // Leases that waited for a connection, and how long they waited together.
    std::pair<std::uint64_t, double> waits() const
    {
        const std::lock_guard lock(m_mutex);
        return {m_waits, std::chrono::duration<double>(m_waitTime).count()};
    }

    // Connections open now, in use or idle.
    std::size_t opened() const
    {
        const std::lock_guard lock(m_mutex);
        return m_opened;
    }

private:
    struct Waiter {
        std::condition_variable ready;
        std::chrono::steady_clock::time_point since;
        std::unique_ptr<Connection> connection; // handed over by the thread that gave it back
        bool mayOpen = false;                   // or the right to open one, counted already
    };

    // Called locked, as a wait ends (a time-out too).
    void countWait(std::chrono::steady_clock::time_point since)
    {
        ++m_waits;
        m_waitTime += std::chrono::steady_clock::now() - since;
    }

    // The waiter served next, taken from its queue; nobody when none waits. Called locked.
    Waiter *nextWaiter()
    {
        const bool writeFirst =
            !m_writes.empty()
            && (m_reads.empty() || std::chrono::steady_clock::now() - m_writes.front()->since >= m_longestDelay);
        std::deque<Waiter *> &queue = writeFirst ? m_writes : m_reads;
        if (queue.empty())
            return nullptr;
        Waiter *next = queue.front();
        queue.pop_front();
        return next;
    }

    // Opens a connection for a place already counted in m_opened; the lock is held on entry and
    // let go. Where it cannot be opened, the place passes to the next waiter, or is given up.
    Lease openFor(std::unique_lock<std::mutex> &lock)
    {
        lock.unlock();
        try {
            return Lease(*this, m_open());
        } catch (...) {
            lock.lock();
            if (Waiter *next = nextWaiter()) {
                next->mayOpen = true;
                next->ready.notify_one();
            } else {
                --m_opened;
            }
            throw;
        }
    }

    void giveBack(std::unique_ptr<Connection> connection)
    {
        const bool keep = connection->usable();
        if (!keep)
            connection.reset(); // closed outside the lock
        const std::lock_guard lock(m_mutex);
        if (Waiter *next = nextWaiter()) {
            if (keep)
                next->connection = std::move(connection);
            else
                next->mayOpen = true; // its place in m_opened goes to the waiter
            next->ready.notify_one();
        } else if (keep) {
            m_idle.push_back(std::move(connection));
        } else {
            --m_opened;
        }
    }

    Opener m_open;
    const std::size_t m_limit;
    const std::chrono::milliseconds m_longestWait;
    const std::chrono::milliseconds m_longestDelay; // of a write passed by reads
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_idle;
    std::deque<Waiter *> m_reads, m_writes; // in the order they came
    std::size_t m_opened = 0;
    std::uint64_t m_waits = 0;
    std::chrono::steady_clock::duration m_waitTime{};
};

} // namespace ovserver
