#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace ovserver {

// What the library holds, read from the store when the metrics are asked for.
struct LibraryCounts {
    std::int64_t mappings = 0;
    std::int64_t users = 0;
    std::int64_t bytes = 0;
};

// Why a request was refused before it was handled.
enum class Refusal {
    PerAddress,
    PerHour,
    StoreFull
};

// The server's counters, in Prometheus' text format. Every call may come from any thread.
class Metrics {
public:
    // The endpoint label of a request path: its script ("ov_upload.php" ...), "file", "healthz",
    // "page" for the web library, or "other": a bounded set, whatever clients send.
    static std::string_view endpointOf(std::string_view path);

    void requestAnswered(std::string_view endpoint, int status, double seconds);
    void connectionOpened() { ++m_openConnections; }
    void connectionClosed() { --m_openConnections; }
    void refused(Refusal why);
    // A request waited `seconds` for one of the database pool's connections.
    void poolWaited(double seconds);

    std::string render(const LibraryCounts &library) const;

private:
    static constexpr double kBuckets[] = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5};
    static constexpr std::size_t kBucketCount = sizeof(kBuckets) / sizeof(kBuckets[0]);

    mutable std::mutex m_mutex;
    std::map<std::pair<std::string, int>, std::uint64_t> m_requests;
    std::uint64_t m_durationCounts[kBucketCount + 1] = {}; // per bucket, not cumulative; the last is +Inf
    double m_durationSum = 0;
    std::uint64_t m_refusals[3] = {};
    std::uint64_t m_poolWaits = 0;
    double m_poolWaitSeconds = 0;
    std::atomic<std::int64_t> m_openConnections{0};
};

} // namespace ovserver
