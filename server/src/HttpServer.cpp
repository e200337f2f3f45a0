#include "HttpServer.h"

#include "Text.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/version.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <optional>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace ovserver {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using SteadyClock = std::chrono::steady_clock;

namespace {

// Connections the kernel holds for the server before it accepts them.
constexpr int kListenBacklog = 4096;
// Every reply says that its type is the one given, and a web page may load nothing of anyone else's
// and run no script: its styles are its own, inline.
constexpr const char *kContentSecurityPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'; base-uri 'none'; "
    "frame-ancestors 'none'";
// After a reply that closes the connection, what the client still sends is read and dropped for at
// most this long, so that its unread bytes do not make the kernel reset the connection before the
// client has read the reply.
constexpr std::chrono::seconds kLingerTime{2};
// When no more connections can be opened (no file descriptors left), accepting pauses this long.
constexpr std::chrono::milliseconds kAcceptPause{100};

std::string_view view(beast::string_view text)
{
    return {text.data(), text.size()};
}

bool isDecimalNumber(std::string_view text)
{
    text = trimmed(text);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The time that many bytes take at that rate, for a deadline.
std::chrono::milliseconds timeAt(std::size_t bytes, std::size_t bytesPerSecond)
{
    const std::size_t rate = std::max<std::size_t>(bytesPerSecond, 1);
    return std::chrono::milliseconds(bytes / rate * 1000 + bytes % rate * 1000 / rate);
}

void escapeForLog(std::string_view text, std::string &out)
{
    static const char hex[] = "0123456789ABCDEF";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '"') {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += c;
        }
    }
}

// Escaped, and cut at kLoggedValueBytes with "..." after it.
void appendForLog(std::string_view text, std::string &out)
{
    escapeForLog(text.substr(0, kLoggedValueBytes), out);
    if (text.size() > kLoggedValueBytes)
        out += "...";
}

bool isHiddenKey(std::string_view key)
{
    return equalsIgnoringCase(key, "pinCode") || equalsIgnoringCase(key, "emailAddr");
}

// The address as the log and addressGroup take it: an IPv4 client of an IPv6 socket as IPv4.
std::string addressText(const asio::ip::address &address)
{
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

} // namespace

std::string targetForLog(std::string_view target)
{
    const std::size_t queryStart = target.find('?');
    std::string out;
    appendForLog(target.substr(0, queryStart), out);
    if (queryStart == std::string_view::npos)
        return out;
    out += '?';
    const std::string_view query = target.substr(queryStart + 1);
    for (std::size_t start = 0;;) {
        const std::size_t end = query.find('&', start);
        const std::string_view piece = query.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos) {
            appendForLog(piece, out);
        } else {
            appendForLog(piece.substr(0, equals), out);
            out += '=';
            if (isHiddenKey(piece.substr(0, equals))) {
                out += "[hidden]";
                break;
            }
            appendForLog(piece.substr(equals + 1), out);
        }
        if (end == std::string_view::npos)
            break;
        out += '&';
        start = end + 1;
    }
    return out;
}

std::string addressGroup(const std::string &address)
{
    beast::error_code error;
    const auto ip = asio::ip::make_address(address, error);
    if (error || !ip.is_v6())
        return address;
    auto bytes = ip.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return asio::ip::address_v6(bytes).to_string() + "/64";
}

namespace {
class Connection;
}

class HttpServer::Impl {
public:
    Impl(const Handler &requestHandler, std::function<void(std::string_view)> log, HttpLimits serverLimits)
        : handler(requestHandler), limits(serverLimits), m_log(std::move(log)), workers(serverLimits.threads)
    {
    }

    ~Impl()
    {
        // Handlers under way finish first; the replies they post to io go with it, unsent.
        workers.join();
    }

    int bind(const std::string &address, int port);
    bool run();
    void stop();

    // Called on the io thread only.
    void accept();
    void admit(tcp::socket socket);
    void forget(Connection *connection, const std::string &group);
    void log(std::string line) const;

    const Handler &handler;
    const HttpLimits limits;
    bool stopping = false; // io thread only
    // Bytes the bodies of requests under way may take, against limits.maxBodyBytesInFlight.
    std::atomic<std::size_t> bodyBytesInFlight{0};

private:
    std::function<void(std::string_view)> m_log;
    // Declared before io, so that connections that io destroys can still sign off from them.
    std::unordered_map<std::string, std::size_t> m_perAddress;
    std::unordered_set<Connection *> m_connections;

public:
    asio::io_context io{1};
    asio::thread_pool workers;

private:
    tcp::acceptor m_acceptor{io};
    asio::steady_timer m_acceptPause{io};
    std::atomic<bool> m_stopRequested{false};
};

namespace {

// One client connection, from its first byte to its close. Lives on the io thread, except while a
// worker runs the handler on its request, when the io thread leaves it alone.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(HttpServer::Impl &server, tcp::socket socket, std::string address, std::string group)
        : m_server(server), m_stream(std::move(socket)), m_buffer(server.limits.maxHeaderBytes + 16 * 1024),
          m_address(std::move(address)), m_group(std::move(group))
    {
    }

    ~Connection()
    {
        releaseBody();
        m_server.forget(this, m_group);
    }

    void start() { awaitRequest(); }

    // Closes the connection when it waits for a request with nothing of one received.
    void closeIfIdle()
    {
        if (m_idle)
            m_stream.close();
    }

private:
    void awaitRequest()
    {
        if (m_server.stopping)
            return m_stream.close();
        releaseBody();
        m_parser.emplace();
        m_parser->header_limit(static_cast<std::uint32_t>(m_server.limits.maxHeaderBytes));
        m_parser->body_limit(m_server.handler.maxUploadBytes() + kMultipartAllowance);
        m_method = {};
        m_target = {};
        if (m_buffer.size() > 0)
            return readHeader(); // the next request came with the last one
        m_idle = true;
        m_stream.expires_after(m_server.limits.idleTimeout);
        m_stream.async_read_some(m_buffer.prepare(4096),
                                 [self = shared_from_this()](beast::error_code error, std::size_t n) {
                                     self->m_idle = false;
                                     if (error)
                                         return self->m_stream.close();
                                     self->m_buffer.commit(n);
                                     self->readHeader();
                                 });
    }

    void readHeader()
    {
        m_start = SteadyClock::now();
        m_stream.expires_after(m_server.limits.headerTimeout);
        http::async_read_header(
            m_stream, m_buffer, *m_parser,
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->onHeader(error); });
    }

    void onHeader(beast::error_code error)
    {
        const auto &request = m_parser->get();
        m_method = view(request.method_string());
        m_target = view(request.target());
        if (error) {
            // The parser reads nothing before the headers are whole; the log takes the request line
            // from what arrived. The buffer stays as it is until the connection closes.
            if (m_method.empty())
                requestLineSoFar();
            return onReadError(error);
        }
        if (static_cast<std::size_t>(std::distance(request.begin(), request.end())) > m_server.limits.maxHeaderLines)
            return refuse(431, "The request has more than " + std::to_string(m_server.limits.maxHeaderLines)
                                   + " header lines.");
        const std::size_t hosts = request.count(http::field::host);
        if (hosts > 1 || (hosts == 0 && request.version() >= 11))
            return refuse(400, "The request must name its host in exactly one Host header.");
        const std::size_t encodings = request.count(http::field::transfer_encoding);
        const std::size_t lengths = request.count(http::field::content_length);
        if (lengths > 1 || (encodings > 0 && lengths > 0))
            return refuse(400, kConflictingLengths);
        if (lengths == 1 && !isDecimalNumber(view(request[http::field::content_length])))
            return refuse(400, kConflictingLengths);
        // Chunked alone: a coding before it ("gzip, chunked") is one this server does not undo, and
        // a proxy in front may read the list otherwise.
        if (encodings > 1
            || (encodings == 1
                && !equalsIgnoringCase(trimmed(view(request[http::field::transfer_encoding])), "chunked")))
            return refuse(400, "The request's Transfer-Encoding is not chunked; no other is taken.");
        if (m_parser->is_done())
            return handle();
        // The body will take up to its length (chunked: the most that is taken) while it arrives
        // and is handled; past the bound for all bodies together it is not read at all.
        const std::size_t body = m_parser->content_length() ? static_cast<std::size_t>(*m_parser->content_length())
                                                            : m_server.handler.maxUploadBytes() + kMultipartAllowance;
        if (!holdBody(body))
            return refuse(503, "The community library is receiving many uploads just now. Please try again in a "
                               "moment. Nothing was shared.");
        if (beast::iequals(request[http::field::expect], "100-continue") && request.version() >= 11) {
            m_stream.expires_after(m_server.limits.writeTimeout);
            return http::async_write(m_stream, m_continue,
                                     [self = shared_from_this()](beast::error_code writeError, std::size_t) {
                                         if (writeError)
                                             return self->m_stream.close();
                                         self->readBody();
                                     });
        }
        readBody();
    }

    void requestLineSoFar()
    {
        const auto bytes = m_buffer.data();
        const std::string_view received(static_cast<const char *>(bytes.data()), bytes.size());
        const std::string_view line = received.substr(0, received.find_first_of("\r\n"));
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return;
        m_method = line.substr(0, space);
        m_target = line.substr(space + 1, line.find(' ', space + 1) - space - 1);
    }

    // Counts the body against the bound of all bodies in flight; false when it would pass it.
    bool holdBody(std::size_t bytes)
    {
        std::size_t held = m_server.bodyBytesInFlight.load();
        do {
            if (bytes > m_server.limits.maxBodyBytesInFlight || held > m_server.limits.maxBodyBytesInFlight - bytes)
                return false;
        } while (!m_server.bodyBytesInFlight.compare_exchange_weak(held, held + bytes));
        m_heldBodyBytes = bytes;
        return true;
    }

    void releaseBody()
    {
        m_server.bodyBytesInFlight -= m_heldBodyBytes;
        m_heldBodyBytes = 0;
    }

    void readBody()
    {
        // The body must keep coming, each read within the idle time, and keep up the minimum rate:
        // the bytes received so far and one second's more are due by their time on that schedule.
        const auto received = m_parser->get().body().size();
        const auto due =
            m_start + m_server.limits.headerTimeout
            + timeAt(received + m_server.limits.minBodyBytesPerSecond, m_server.limits.minBodyBytesPerSecond);
        const auto idle = SteadyClock::now() + m_server.limits.idleTimeout;
        m_stream.expires_at(std::min(due, idle));
        http::async_read_some(m_stream, m_buffer, *m_parser,
                              [self = shared_from_this()](beast::error_code error, std::size_t) {
                                  if (error)
                                      return self->onReadError(error);
                                  if (self->m_parser->is_done())
                                      return self->handle();
                                  self->readBody();
                              });
    }

    void onReadError(beast::error_code error)
    {
        if (error == http::error::header_limit)
            return refuse(431, "The request's headers are larger than " + std::to_string(m_server.limits.maxHeaderBytes)
                                   + " bytes.");
        if (error == http::error::body_limit)
            return refuse(413, uploadTooLargeText(m_server.handler.maxUploadBytes()));
        if (error == http::error::bad_content_length || error == http::error::bad_transfer_encoding
            || isMultipleContentLength(error))
            return refuse(400, kConflictingLengths);
        if (error == beast::error::timeout) {
            // The stream is closed already; the log tells of the request that did not come whole.
            logRequest(408, 0);
            return;
        }
        if (error.category() == http::make_error_code(http::error::bad_method).category()
            && error != http::error::end_of_stream && error != http::error::partial_message)
            return refuse(400, "The request cannot be read.");
        m_stream.close(); // the client went away
    }

    void handle()
    {
        m_stream.expires_never();
        auto work = asio::make_work_guard(m_server.io); // run() returns only after the reply
        asio::post(m_server.workers, [self = shared_from_this(), work = std::move(work)]() mutable {
            const auto &request = self->m_parser->get();
            const std::string_view target = view(request.target());
            const std::size_t question = target.find('?');
            Request forHandler;
            forHandler.method = view(request.method_string());
            forHandler.path = target.substr(0, question);
            forHandler.query = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
            forHandler.contentType = view(request[http::field::content_type]);
            forHandler.body = request.body();
            forHandler.peerAddress = self->m_address;
            forHandler.forwardedFor = view(request["X-Forwarded-For"]);
            Reply reply = self->m_server.handler.handle(forHandler);
            auto &io = self->m_server.io;
            // The connection goes back to the io thread whole; no reference stays here.
            asio::post(io, [self = std::move(self), reply = std::move(reply)]() mutable {
                self->respond(std::move(reply), true);
            });
        });
    }

    void refuse(int status, std::string text)
    {
        respond(Reply{status, std::string(kTextType), std::move(text), {}, {}}, false);
    }

    void respond(Reply reply, bool mayKeepOpen)
    {
        const auto &request = m_parser->get();
        const bool keepOpen = mayKeepOpen && !m_server.stopping && request.keep_alive();
        // A stored file is sent from the cache's copy, which every connection shares.
        m_replyBytes = reply.file ? std::move(reply.file) : std::make_shared<const std::string>(std::move(reply.body));
        const std::size_t bytes = m_replyBytes->size();
        m_response = {};
        m_response.version(request.version() == 10 ? 10 : 11);
        m_response.result(static_cast<unsigned>(reply.status));
        m_response.set(http::field::content_type, reply.contentType);
        m_response.set("X-Content-Type-Options", "nosniff");
        if (reply.contentType.starts_with("text/html"))
            m_response.set("Content-Security-Policy", kContentSecurityPolicy);
        if (!reply.cacheControl.empty())
            m_response.set(http::field::cache_control, reply.cacheControl);
        m_response.content_length(bytes);
        if (request.method() != http::verb::head)
            m_response.body() = {m_replyBytes->data(), bytes};
        m_response.keep_alive(keepOpen);
        m_stream.expires_after(m_server.limits.writeTimeout + timeAt(bytes, m_server.limits.minReplyBytesPerSecond));
        http::async_write(
            m_stream, m_response,
            [self = shared_from_this(), keepOpen, status = reply.status, bytes](beast::error_code error, std::size_t) {
                self->logRequest(status, bytes);
                self->m_response = {}; // a large reply is not kept while the connection waits
                self->m_replyBytes.reset();
                if (error)
                    return self->m_stream.close();
                if (keepOpen)
                    return self->awaitRequest();
                self->lingerAndClose();
            });
    }

    void lingerAndClose()
    {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        m_stream.expires_after(kLingerTime);
        drain();
    }

    void drain()
    {
        m_stream.async_read_some(asio::buffer(m_drain),
                                 [self = shared_from_this()](beast::error_code error, std::size_t) {
                                     if (error)
                                         return self->m_stream.close();
                                     self->drain();
                                 });
    }

    void logRequest(int status, std::size_t bytes) const
    {
        const auto milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - m_start).count();
        std::string line = isoUtc(systemClock());
        line.reserve(128 + std::min(m_target.size(), std::size_t{1024}));
        line += ' ';
        line += m_address;
        line += " \"";
        if (m_method.empty())
            line += '-';
        appendForLog(m_method, line);
        line += ' ';
        line += m_target.empty() ? std::string("-") : targetForLog(m_target);
        line += "\" ";
        line += std::to_string(status);
        line += ' ';
        line += std::to_string(bytes);
        line += "B ";
        line += std::to_string(milliseconds);
        line += "ms";
        const auto &request = m_parser->get();
        if (const auto forwarded = request.find("X-Forwarded-For"); forwarded != request.end()) {
            line += " forwarded-for=";
            appendForLog(view(forwarded->value()), line);
        }
        m_server.log(std::move(line));
    }

    // Beast 1.81 and later stop at two different Content-Lengths with an error of their own;
    // earlier ones take both and leave them to the count after the headers.
    static bool isMultipleContentLength([[maybe_unused]] beast::error_code error)
    {
#if BOOST_VERSION >= 108100
        return error == http::error::multiple_content_length;
#else
        return false;
#endif
    }

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
    bool m_idle = false;
    std::array<char, 4096> m_drain;
};

} // namespace

int HttpServer::Impl::bind(const std::string &address, int port)
{
    beast::error_code error;
    const auto ip = asio::ip::make_address(address, error);
    if (error)
        return -1;
    const tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    m_acceptor.open(endpoint.protocol(), error);
    if (!error)
        m_acceptor.set_option(asio::socket_base::reuse_address(true), error);
    if (!error)
        m_acceptor.bind(endpoint, error);
    if (!error)
        m_acceptor.listen(kListenBacklog, error);
    const auto bound = error ? tcp::endpoint() : m_acceptor.local_endpoint(error);
    if (error) {
        beast::error_code ignored;
        m_acceptor.close(ignored);
        return -1;
    }
    return bound.port();
}

bool HttpServer::Impl::run()
{
    if (m_stopRequested)
        return true;
    if (!m_acceptor.is_open())
        return false;
    asio::post(io, [this] { accept(); });
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
        m_acceptor.close(ignored);
        m_acceptPause.cancel();
        for (Connection *connection : m_connections)
            connection->closeIfIdle();
    });
}

void HttpServer::Impl::accept()
{
    m_acceptor.async_accept(io, [this](beast::error_code error, tcp::socket socket) {
        if (stopping || error == asio::error::operation_aborted)
            return;
        if (error) {
            // Out of file descriptors or memory, or a connection that went away before it was taken.
            m_acceptPause.expires_after(kAcceptPause);
            m_acceptPause.async_wait([this](beast::error_code pauseError) {
                if (!pauseError && !stopping)
                    accept();
            });
            return;
        }
        admit(std::move(socket));
        accept();
    });
}

void HttpServer::Impl::admit(tcp::socket socket)
{
    beast::error_code error;
    const auto peer = socket.remote_endpoint(error);
    if (error)
        return;
    std::string address = addressText(peer.address());
    std::string group = addressGroup(address);
    std::size_t &open = m_perAddress[group];
    if (limits.maxConnectionsPerAddress > 0 && open >= limits.maxConnectionsPerAddress) {
        socket.close(error);
        if (open == 0)
            m_perAddress.erase(group);
        return;
    }
    ++open;
    // A reply's head and body go out in separate sends; with Nagle's algorithm the body would wait
    // for the client's delayed acknowledgement of the head, some 40 ms on Linux.
    socket.set_option(tcp::no_delay(true), error);
    auto connection = std::make_shared<Connection>(*this, std::move(socket), std::move(address), std::move(group));
    m_connections.insert(connection.get());
    connection->start();
}

void HttpServer::Impl::forget(Connection *connection, const std::string &group)
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
    // One write of the whole line; the kernel appends each write whole.
    line += '\n';
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // a log that cannot be written does not stop the server
        written += static_cast<std::size_t>(n);
    }
}

HttpServer::HttpServer(const Handler &handler, std::function<void(std::string_view)> log, HttpLimits limits)
    : m_impl(std::make_unique<Impl>(handler, std::move(log), limits))
{
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string &address, int port)
{
    return m_impl->bind(address, port);
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
