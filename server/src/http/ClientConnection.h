#pragma once
// A client's connection: its requests read, handed to the handler, and their replies written.

#include "http/ServerImpl.h"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ovserver {

// One client connection, from its first byte to its close. Lives on the io thread, except while a
// worker runs the handler on its request, when the io thread leaves it alone.
class ClientConnection : public std::enable_shared_from_this<ClientConnection> {
public:
    // forMetrics: a connection of the metrics listener, which answers GET /metrics only and is
    // itself not counted.
    ClientConnection(HttpServer::Impl &server, tcp::socket socket, std::string address, std::string group,
                     bool forMetrics);

    ~ClientConnection();
    void start();

    // Closes the connection when it waits for a request with nothing of one received.
    void closeIfIdle();

private:
    void awaitRequest();
    void readHeader();
    void onHeader(beast::error_code error);
    void requestLineSoFar();

    // Counts the body against the bound of all bodies in flight; false when it would pass it.
    bool holdBody(std::size_t bytes);
    void releaseBody();
    void readBody();
    void onReadError(beast::error_code error);
    void handle();
    Reply metricsReply(const Request &request) const;
    void refuse(int status, std::string text);
    void respond(Reply reply, bool mayKeepOpen);
    void lingerAndClose();
    void drain();
    void logRequest(int status, std::size_t bytes) const;

    // Beast 1.81 and later stop at two different Content-Lengths with an error of their own;
    // earlier ones take both and leave them to the count after the headers.
    static bool isMultipleContentLength([[maybe_unused]] beast::error_code error);

    static constexpr const char *kConflictingLengths =
        "The request gives its length twice, in two ways (Content-Length and chunked transfer), or not as one "
        "number.";

    HttpServer::Impl &m_server;
    beast::tcp_stream m_stream;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    http::response<http::span_body<const char>> m_response;
    std::shared_ptr<const std::string> m_replyBytes; // what m_response's body points into
    std::size_t m_heldBodyBytes = 0;                 // of bodyBytesInFlight, for the request under way
    http::response<http::empty_body> m_continue{http::status::continue_, 11};
    std::string m_address;
    std::string m_group;       // of addresses, for the limit per address
    std::string_view m_method; // of the request under way, for the log; point into m_parser or m_buffer
    std::string_view m_target;
    SteadyClock::time_point m_start;
    std::string_view m_endpoint = "none"; // of the reply under way, for the metrics
    const bool m_forMetrics;
    bool m_idle = false;
    std::array<char, 4096> m_drain{};
};

} // namespace ovserver
