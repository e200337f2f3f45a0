#pragma once

#include "http/Request.h"
#include "storage/Storage.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace ovserver {

// The server's counters, in Prometheus' text format. Every call may come from any thread.
class Metrics {
public:
    // endpoint is the handler's name for the request (Reply::endpoint), a bounded set whatever
    // clients send.
    void requestAnswered(std::string_view endpoint, int status, double seconds);
    void connectionOpened() { ++m_openConnections; }
    void connectionClosed() { --m_openConnections; }
    void refused(Limit why);

    std::string render(const StoreFigures &store) const;

private:
    static constexpr double kBuckets[] = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5};
    static constexpr std::size_t kBucketCount = sizeof(kBuckets) / sizeof(kBuckets[0]);

    mutable std::mutex m_mutex;
    std::map<std::pair<std::string, int>, std::uint64_t> m_requests;
    std::uint64_t m_durationCounts[kBucketCount + 1] = {}; // per bucket, not cumulative; the last is +Inf
    double m_durationSum = 0;
    std::uint64_t m_refusals[3] = {}; // by Limit, from PerAddress
    std::atomic<std::int64_t> m_openConnections{0};
};

} // namespace ovserver
