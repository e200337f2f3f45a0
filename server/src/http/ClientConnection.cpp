#include "http/ClientConnection.h"

#include "Text.h"
#include "http/RequestLog.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/version.hpp>

#include <algorithm>

namespace ovserver {

namespace {

// Every reply says that its type is the one given, and a web page may load nothing of anyone else's
// and run no script: its styles are its own, inline.
constexpr const char *kContentSecurityPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'; base-uri 'none'; "
    "frame-ancestors 'none'";
// After a reply that closes the connection, what the client still sends is read and dropped for at
// most this long, so that its unread bytes do not make the kernel reset the connection before the
// client has read the reply.
constexpr std::chrono::seconds kLingerTime{2};

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

} // namespace

ClientConnection::ClientConnection(HttpServer::Impl &server, tcp::socket socket, std::string address, std::string group,
                                   bool forMetrics)
    : m_server(server), m_stream(std::move(socket)), m_buffer(server.limits.maxHeaderBytes + 16 * 1024),
      m_address(std::move(address)), m_group(std::move(group)), m_forMetrics(forMetrics)
{
    if (!m_forMetrics)
        m_server.metrics.connectionOpened();
}

ClientConnection::~ClientConnection()
{
    releaseBody();
    m_server.forget(this, m_group);
    if (!m_forMetrics)
        m_server.metrics.connectionClosed();
}

void ClientConnection::start()
{
    awaitRequest();
}

void ClientConnection::closeIfIdle()
{
    if (m_idle)
        m_stream.close();
}

void ClientConnection::awaitRequest()
{
    if (m_server.stopping)
        return m_stream.close();
    releaseBody();
    m_parser.emplace();
    m_parser->header_limit(static_cast<std::uint32_t>(m_server.limits.maxHeaderBytes));
    m_parser->body_limit(m_server.handler.maxUploadBytes() + kMultipartAllowance);
    m_method = {};
    m_target = {};
    m_endpoint = "none";
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

void ClientConnection::readHeader()
{
    m_start = SteadyClock::now();
    m_stream.expires_after(m_server.limits.headerTimeout);
    http::async_read_header(
        m_stream, m_buffer, *m_parser,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->onHeader(error); });
}

void ClientConnection::onHeader(beast::error_code error)
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
        return refuse(431,
                      "The request has more than " + std::to_string(m_server.limits.maxHeaderLines) + " header lines.");
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
        || (encodings == 1 && !equalsIgnoringCase(trimmed(view(request[http::field::transfer_encoding])), "chunked")))
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

void ClientConnection::requestLineSoFar()
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

bool ClientConnection::holdBody(std::size_t bytes)
{
    std::size_t held = m_server.bodyBytesInFlight.load();
    do {
        if (bytes > m_server.limits.maxBodyBytesInFlight || held > m_server.limits.maxBodyBytesInFlight - bytes)
            return false;
    } while (!m_server.bodyBytesInFlight.compare_exchange_weak(held, held + bytes));
    m_heldBodyBytes = bytes;
    return true;
}

void ClientConnection::releaseBody()
{
    m_server.bodyBytesInFlight -= m_heldBodyBytes;
    m_heldBodyBytes = 0;
}

void ClientConnection::readBody()
{
    // The body must keep coming, each read within the idle time, and keep up the minimum rate:
    // the bytes received so far and one second's more are due by their time on that schedule.
    const auto received = m_parser->get().body().size();
    const auto due = m_start + m_server.limits.headerTimeout
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

void ClientConnection::onReadError(beast::error_code error)
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

void ClientConnection::handle()
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
        Reply reply = self->m_forMetrics ? self->metricsReply(forHandler) : self->m_server.handler.handle(forHandler);
        auto &io = self->m_server.io;
        // The connection goes back to the io thread whole; no reference stays here.
        asio::post(io, [self = std::move(self), reply = std::move(reply)]() mutable {
            self->respond(std::move(reply), true);
        });
    });
}

Reply ClientConnection::metricsReply(const Request &request) const
{
    if (request.path != "/metrics")
        return Reply{404, std::string(kTextType), "There is nothing at this address.", {}, {}};
    if (request.method != "GET" && request.method != "HEAD")
        return Reply{405, std::string(kTextType), "This address answers GET requests only.", {}, {}};
    try {
        return Reply{200,
                     "text/plain; version=0.0.4; charset=utf-8",
                     m_server.metrics.render(m_server.handler.storeFigures()),
                     {},
                     {}};
    } catch (const StorageError &error) {
        m_server.log(std::string("metrics: storage failure: ") + error.what());
        return Reply{503, std::string(kTextType), "The store does not answer.", {}, {}};
    }
}

void ClientConnection::refuse(int status, std::string text)
{
    respond(Reply{status, std::string(kTextType), std::move(text), {}, {}}, false);
}

void ClientConnection::respond(Reply reply, bool mayKeepOpen)
{
    const auto &request = m_parser->get();
    const bool keepOpen = mayKeepOpen && !m_server.stopping && request.keep_alive();
    m_endpoint = reply.endpoint;
    if (!m_forMetrics)
        m_server.metrics.refused(reply.limit);
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

void ClientConnection::lingerAndClose()
{
    beast::error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    m_stream.expires_after(kLingerTime);
    drain();
}

void ClientConnection::drain()
{
    m_stream.async_read_some(asio::buffer(m_drain), [self = shared_from_this()](beast::error_code error, std::size_t) {
        if (error)
            return self->m_stream.close();
        self->drain();
    });
}

void ClientConnection::logRequest(int status, std::size_t bytes) const
{
    const auto taken = SteadyClock::now() - m_start;
    if (!m_forMetrics)
        m_server.metrics.requestAnswered(m_endpoint, status, std::chrono::duration<double>(taken).count());
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(taken).count();
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

bool ClientConnection::isMultipleContentLength([[maybe_unused]] beast::error_code error)
{
#if BOOST_VERSION >= 108100
    return error == http::error::multiple_content_length;
#else
    return false;
#endif
}

} // namespace ovserver
