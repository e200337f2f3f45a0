#pragma once
// What the HTTP layer's parts share inside it: the server's state, which the connections reach.

#include "http/HttpServer.h"
#include "http/Metrics.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/http.hpp>

#include <atomic>
#include <chrono>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace ovserver {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using SteadyClock = std::chrono::steady_clock;

class ClientConnection;

class HttpServer::Impl {
public:
    Impl(const Handler &theHandler, std::function<void(std::string_view)> log, HttpLimits theLimits)
        : handler(theHandler), limits(theLimits), m_log(std::move(log)), workers(theLimits.threads)
    {
    }

    ~Impl()
    {
        // Handlers under way finish first; the replies they post to io go with it, unsent.
        workers.join();
    }

    int bind(tcp::acceptor &acceptor, const std::string &address, int port);
    bool run();
    void stop();

    // Called on the io thread only. forMetrics: a connection of the metrics listener.
    void accept(tcp::acceptor &acceptor, bool forMetrics);
    void admit(tcp::socket socket, bool forMetrics);
    void forget(ClientConnection *connection, const std::string &group);
    void log(std::string line) const;

    const Handler &handler;
    const HttpLimits limits;
    bool stopping = false; // io thread only
    // Bytes the bodies of requests under way may take, against limits.maxBodyBytesInFlight.
    std::atomic<std::size_t> bodyBytesInFlight{0};
    Metrics metrics; // of the public listener's connections and requests

private:
    std::function<void(std::string_view)> m_log;
    // Declared before io, so that connections that io destroys can still sign off from them.
    std::unordered_map<std::string, std::size_t> m_perAddress;
    std::unordered_set<ClientConnection *> m_connections;

public:
    asio::io_context io{1};
    asio::thread_pool workers;

    tcp::acceptor acceptor{io};
    tcp::acceptor metricsAcceptor{io}; // open only when a metrics address is bound

private:
    asio::steady_timer m_acceptPause{io};
    std::atomic<bool> m_stopRequested{false};
};

} // namespace ovserver
