#pragma once
// The HTTP side: reads requests from the network, hands them to the Handler and writes its replies
// back, and logs one line per request. Connections cost no thread while they wait: one thread reads
// and writes all of them, and a pool of worker threads runs the handler. Every connection is held
// to deadlines and sizes, so that slow, idle or oversized clients cannot take the server from others.

#include "handler/Handler.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ovserver {

// Requests handled at once.
constexpr std::size_t kDefaultThreads = 64;

struct HttpLimits {
    std::size_t threads = kDefaultThreads; // requests handled at once; more wait for a turn
    // Connections one client address (see addressGroup) may hold open at once; further ones are
    // closed as they come. 0 is no limit (for a server that only a reverse proxy on the same machine
    // talks to).
    std::size_t maxConnectionsPerAddress = 16;
    // A request's line and headers must arrive whole within this time from their first byte.
    std::chrono::milliseconds headerTimeout{10'000};
    // A connection that has no request under way is closed after this time; a body that stops
    // arriving for this long is given up too.
    std::chrono::milliseconds idleTimeout{5'000};
    std::size_t maxHeaderLines = 100;       // header fields per request
    std::size_t maxHeaderBytes = 16 * 1024; // the request line and the headers together
    // A body must keep up this average rate, counted from the request's first byte, after the
    // header time as a head start: a body that trickles is cut however often its bytes come.
    std::size_t minBodyBytesPerSecond = 16 * 1024;
    // Request bodies held at once, on every connection together, while they arrive and are handled;
    // a request whose body would pass this is refused with 503 before its body is read.
    std::size_t maxBodyBytesInFlight = 128 * 1024 * 1024;
    // A reply must be taken by the client within this time plus its size at the rate below.
    std::chrono::milliseconds writeTimeout{10'000};
    std::size_t minReplyBytesPerSecond = 64 * 1024;
};

class HttpServer {
public:
    // log receives one line per request (without its line break); stderr when empty.
    // Bodies over the handler's upload limit (and the multipart allowance) are refused with 413.
    HttpServer(const Handler &handler, std::function<void(std::string_view)> log = {}, HttpLimits limits = {});
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // The port bound, an ephemeral one when port is 0; -1 when the address cannot be bound.
    int bind(const std::string &address, int port);

    // Serves GET /metrics, and nothing else, on a listener of its own; the public one never does.
    // Bound like bind, before run().
    int bindMetrics(const std::string &address, int port);

    // Serves until stop(). False when serving failed (nothing bound); true after stop().
    bool run();

    // Takes no more connections, closes the idle ones, lets the requests under way finish and makes
    // run() return. Callable from any thread, also before run() has started.
    void stop();

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace ovserver
