#pragma once
// The HTTP side: turns httplib's requests into Handler requests and its replies back, and logs one
// line per request. Holds no state of its own besides the listening socket.

#include "Handler.h"

#include <httplib.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

namespace ovserver {

// Requests served at once. httplib gives each open connection a thread of its own for as long as the
// client keeps it open, so this is also the number of clients served without waiting.
constexpr std::size_t kDefaultThreads = 64;

class HttpServer {
public:
    // log receives one line per request (without its line break); stderr when empty.
    // Bodies over the handler's upload limit (and the multipart allowance) are refused by httplib.
    HttpServer(const Handler& handler, std::function<void(std::string_view)> log = {},
               std::size_t threads = kDefaultThreads);
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // The port bound, an ephemeral one when port is 0; -1 when the address cannot be bound.
    int bind(const std::string& address, int port);

    // Serves until stop(). False when serving failed; true after stop().
    bool run();

    // Takes no more connections, lets the requests in flight finish and makes run() return.
    // Callable from any thread, also before run() has started.
    void stop();

private:
    void serve(const httplib::Request& request, httplib::Response& response) const;
    void logRequest(const httplib::Request& request, const httplib::Response& response) const;

    // httplib's server with access to its listening socket.
    class Listener : public httplib::Server {
    public:
        socket_t socket() const { return svr_sock_; }
    };

    const Handler& m_handler;
    std::function<void(std::string_view)> m_log;
    Listener m_server;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_finished{false};
};

// The request target for the log: a PIN code value, and everything after it since the editor leaves
// '&' unescaped inside values, is hidden; bytes that could break the log line are escaped.
std::string targetForLog(std::string_view target);

}  // namespace ovserver
