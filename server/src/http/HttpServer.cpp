#include "http/HttpServer.h"

#include "http/ClientConnection.h"

#include "http/AddressGroup.h"
#include "http/RequestLog.h"

#include <boost/asio/post.hpp>

#include <algorithm>

namespace ovserver {

namespace {

// Connections the kernel holds for the server before it accepts them.
constexpr int kListenBacklog = 4096;
// When no more connections can be opened (no file descriptors left), accepting pauses this long.
constexpr std::chrono::milliseconds kAcceptPause{100};

// The address as the log and addressGroup take it: an IPv4 client of an IPv6 socket as IPv4.
std::string addressText(const asio::ip::address &address)
{
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

} // namespace

int HttpServer::Impl::bind(tcp::acceptor &listener, const std::string &address, int port)
{
    beast::error_code error;
    const auto ip = asio::ip::make_address(address, error);
    if (error)
        return -1;
    const tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    listener.open(endpoint.protocol(), error);
    if (!error)
        listener.set_option(asio::socket_base::reuse_address(true), error);
    if (!error)
        listener.bind(endpoint, error);
    if (!error)
        listener.listen(kListenBacklog, error);
    const auto bound = error ? tcp::endpoint() : listener.local_endpoint(error);
    if (error) {
        beast::error_code ignored;
        listener.close(ignored);
        return -1;
    }
    return bound.port();
}

bool HttpServer::Impl::run()
{
    if (m_stopRequested)
        return true;
    if (!acceptor.is_open())
        return false;
    asio::post(io, [this] {
        accept(acceptor, false);
        if (metricsAcceptor.is_open())
            accept(metricsAcceptor, true);
    });
    for (;;) {
        try {
            io.run();
            return true;
        } catch (const std::exception &error) {
            // Whatever one connection ran into, the others go on being served.
            log(std::string("HTTP layer failure: ") + error.what());
        }
    }
}

void HttpServer::Impl::stop()
{
    m_stopRequested = true;
    asio::post(io, [this] {
        stopping = true;
        beast::error_code ignored;
        acceptor.close(ignored);
        metricsAcceptor.close(ignored);
        m_acceptPause.cancel();
        for (ClientConnection *connection : m_connections)
            connection->closeIfIdle();
    });
}

void HttpServer::Impl::accept(tcp::acceptor &from, bool forMetrics)
{
    from.async_accept(io, [this, &from, forMetrics](beast::error_code error, tcp::socket socket) {
        if (stopping || error == asio::error::operation_aborted)
            return;
        if (error) {
            // Out of file descriptors or memory, or a connection that went away before it was taken.
            m_acceptPause.expires_after(kAcceptPause);
            m_acceptPause.async_wait([this, &from, forMetrics](beast::error_code pauseError) {
                if (!pauseError && !stopping)
                    accept(from, forMetrics);
            });
            return;
        }
        admit(std::move(socket), forMetrics);
        accept(from, forMetrics);
    });
}

void HttpServer::Impl::admit(tcp::socket socket, bool forMetrics)
{
    beast::error_code error;
    const auto peer = socket.remote_endpoint(error);
    if (error)
        return;
    std::string address = addressText(peer.address());
    // The metrics listener's connections are limited apart from the public ones.
    std::string group = forMetrics ? "metrics " + addressGroup(address) : addressGroup(address);
    std::size_t &open = m_perAddress[group];
    if (limits.maxConnectionsPerAddress > 0 && open >= limits.maxConnectionsPerAddress) {
        if (!forMetrics)
            metrics.refused(Limit::PerAddress);
        socket.close(error);
        if (open == 0)
            m_perAddress.erase(group);
        return;
    }
    ++open;
    // A reply's head and body go out in separate sends; with Nagle's algorithm the body would wait
    // for the client's delayed acknowledgement of the head, some 40 ms on Linux.
    socket.set_option(tcp::no_delay(true), error);
    auto connection =
        std::make_shared<ClientConnection>(*this, std::move(socket), std::move(address), std::move(group), forMetrics);
    m_connections.insert(connection.get());
    connection->start();
}

void HttpServer::Impl::forget(ClientConnection *connection, const std::string &group)
{
    m_connections.erase(connection);
    const auto open = m_perAddress.find(group);
    if (open != m_perAddress.end() && --open->second == 0)
        m_perAddress.erase(open);
}

void HttpServer::Impl::log(std::string line) const
{
    if (m_log) {
        m_log(line);
        return;
    }
    writeToStderr(std::move(line));
}

HttpServer::HttpServer(const Handler &handler, std::function<void(std::string_view)> log, HttpLimits limits)
    : m_impl(std::make_unique<Impl>(handler, std::move(log), limits))
{
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string &address, int port)
{
    return m_impl->bind(m_impl->acceptor, address, port);
}

int HttpServer::bindMetrics(const std::string &address, int port)
{
    return m_impl->bind(m_impl->metricsAcceptor, address, port);
}

bool HttpServer::run()
{
    return m_impl->run();
}

void HttpServer::stop()
{
    m_impl->stop();
}

} // namespace ovserver
