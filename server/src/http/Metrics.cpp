#include "http/Metrics.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace ovserver {

namespace {

constexpr std::string_view kRefusalNames[] = {"per_address", "per_hour", "store_full"};

std::string number(double value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.9g", value);
    return text.data();
}

void family(std::string &out, std::string_view name, std::string_view type, std::string_view help)
{
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

} // namespace

void Metrics::requestAnswered(std::string_view endpoint, int status, double seconds)
{
    const auto bucket = static_cast<std::size_t>(std::lower_bound(std::begin(kBuckets), std::end(kBuckets), seconds)
                                                 - std::begin(kBuckets));
    const std::lock_guard lock(m_mutex);
    ++m_requests[{std::string(endpoint), status}];
    ++m_durationCounts[bucket];
    m_durationSum += seconds;
}

void Metrics::refused(Limit why)
{
    if (why == Limit::None)
        return;
    const std::lock_guard lock(m_mutex);
    ++m_refusals[static_cast<std::size_t>(why) - static_cast<std::size_t>(Limit::PerAddress)];
}

std::string Metrics::render(const StoreFigures &store) const
{
    const std::lock_guard lock(m_mutex);
    std::string out;
    family(out, "ovcommunity_requests_total", "counter", "Requests answered, by endpoint and status.");
    for (const auto &[key, count] : m_requests) {
        out.append("ovcommunity_requests_total{endpoint=\"").append(key.first);
        out.append("\",status=\"").append(std::to_string(key.second)).append("\"} ");
        out.append(std::to_string(count)).append("\n");
    }
    family(out, "ovcommunity_request_duration_seconds", "histogram",
           "Time from a request's first byte to its reply written whole.");
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < kBucketCount; ++i) {
        cumulative += m_durationCounts[i];
        out.append("ovcommunity_request_duration_seconds_bucket{le=\"").append(number(kBuckets[i]));
        out.append("\"} ").append(std::to_string(cumulative)).append("\n");
    }
    cumulative += m_durationCounts[kBucketCount];
    out.append("ovcommunity_request_duration_seconds_bucket{le=\"+Inf\"} ").append(std::to_string(cumulative));
    out.append("\novcommunity_request_duration_seconds_sum ").append(number(m_durationSum));
    out.append("\novcommunity_request_duration_seconds_count ").append(std::to_string(cumulative)).append("\n");
    family(out, "ovcommunity_open_connections", "gauge", "Client connections open now.");
    out.append("ovcommunity_open_connections ").append(std::to_string(m_openConnections.load())).append("\n");
    family(out, "ovcommunity_refusals_total", "counter", "Requests refused by a limit, by limit.");
    for (std::size_t i = 0; i < std::size(kRefusalNames); ++i) {
        out.append("ovcommunity_refusals_total{limit=\"").append(kRefusalNames[i]).append("\"} ");
        out.append(std::to_string(m_refusals[i])).append("\n");
    }
    family(out, "ovcommunity_library_mappings", "gauge", "Shared mappings in the store, hidden ones included.");
    out.append("ovcommunity_library_mappings ").append(std::to_string(store.mappings)).append("\n");
    family(out, "ovcommunity_library_hidden_mappings", "gauge", "Mappings the operator has hidden.");
    out.append("ovcommunity_library_hidden_mappings ").append(std::to_string(store.hiddenMappings)).append("\n");
    family(out, "ovcommunity_library_users", "gauge", "Registered users.");
    out.append("ovcommunity_library_users ").append(std::to_string(store.users)).append("\n");
    family(out, "ovcommunity_library_bytes", "gauge",
           "Bytes of the shared files, comments and plug-in names, as the size limit counts them.");
    out.append("ovcommunity_library_bytes ").append(std::to_string(store.bytes)).append("\n");
    family(out, "ovcommunity_db_pool_waits_total", "counter",
           "Requests that waited for a database connection of the pool.");
    out.append("ovcommunity_db_pool_waits_total ").append(std::to_string(store.poolWaits)).append("\n");
    family(out, "ovcommunity_db_pool_wait_seconds_total", "counter", "Seconds requests waited for the pool.");
    out.append("ovcommunity_db_pool_wait_seconds_total ").append(number(store.poolWaitSeconds)).append("\n");
    return out;
}

} // namespace ovserver
