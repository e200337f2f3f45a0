#include "HttpServer.h"

#include "Text.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ovserver {

namespace {

// httplib calls the pre-routing handler and the logger of one request on the same thread.
thread_local std::optional<std::chrono::steady_clock::time_point> t_requestStart;

// httplib parses a multipart body itself and then keeps none of its bytes; the body must reach our
// own reader whole, so the multipart type travels under this name instead.
constexpr const char* kHeldContentType = "X-Ovcommunity-Multipart-Content-Type";

constexpr std::size_t kKeepAliveRequests = 100;
// Connections the kernel holds for the server before it accepts them; httplib's own backlog of five
// drops the connections of a burst of clients, which then wait a second to try again.
constexpr int kListenBacklog = 1024;

void escapeForLog(std::string_view text, std::string& out)
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

}  // namespace

std::string targetForLog(std::string_view target)
{
    std::string_view kept = target;
    bool hidden = false;
    const std::size_t queryStart = target.find('?');
    if (queryStart != std::string_view::npos) {
        for (std::size_t pos = queryStart; pos < target.size() && pos != std::string_view::npos;
             pos = target.find('&', pos + 1)) {
            if (equalsIgnoringCase(target.substr(pos + 1, 8), "pincode=")) {
                kept = target.substr(0, pos + 1 + 8);
                hidden = true;
                break;
            }
        }
    }
    std::string out;
    escapeForLog(kept, out);
    if (hidden) out += "[hidden]";
    return out;
}

HttpServer::HttpServer(const Handler& handler, std::function<void(std::string_view)> log, std::size_t threads)
    : m_handler(handler), m_log(std::move(log))
{
    const std::size_t maxUploadBytes = handler.maxUploadBytes();
    m_server.set_payload_max_length(maxUploadBytes + kMultipartAllowance);
    m_server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    // A client that keeps its connection busy gives it up after this many requests, so that clients
    // waiting for a thread get their turn.
    m_server.set_keep_alive_max_count(kKeepAliveRequests);
    // httplib writes a reply's head and body in separate sends; with Nagle's algorithm the body
    // then waits for the client's delayed acknowledgement of the head, some 40 ms on Linux.
    m_server.set_tcp_nodelay(true);

    m_server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        t_requestStart = std::chrono::steady_clock::now();
        // httplib's Request is its own non-const object; only this callback sees it as const.
        auto& mutableRequest = const_cast<httplib::Request&>(request);
        // A request without Content-Length or chunked transfer has no body (RFC 9112, 6.3); httplib
        // would instead wait for one until its read time-out, so a bare POST would hang for seconds.
        if (!request.has_header("Content-Length") && !request.has_header("Transfer-Encoding"))
            mutableRequest.headers.emplace("Content-Length", "0");
        mutableRequest.headers.erase(kHeldContentType);
        if (request.is_multipart_form_data()) {
            std::string type = request.get_header_value("Content-Type");
            mutableRequest.headers.erase("Content-Type");
            mutableRequest.headers.emplace(kHeldContentType, std::move(type));
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    const auto serve = [this](const httplib::Request& request, httplib::Response& response) { this->serve(request, response); };
    // Every method reaches the handler, which answers the ones an address does not take with 405.
    m_server.Get(".*", serve);
    m_server.Post(".*", serve);
    m_server.Put(".*", serve);
    m_server.Patch(".*", serve);
    m_server.Delete(".*", serve);
    m_server.Options(".*", serve);

    // Refusals that httplib makes before a handler runs get a text too.
    m_server.set_error_handler(httplib::Server::HandlerWithResponse([maxUploadBytes](const httplib::Request&,
                                                                                      httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        std::string message;
        switch (response.status) {
        case 413:
            message = uploadTooLargeText(maxUploadBytes);
            break;
        case 414: message = "The request's address is too long."; break;
        default: message = "The request cannot be read."; break;
        }
        response.set_content(message, std::string(kTextType));
        return httplib::Server::HandlerResponse::Handled;
    }));

    m_server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        logRequest(request, response);
    });
}

int HttpServer::bind(const std::string& address, int port)
{
    if (port == 0) port = m_server.bind_to_any_port(address);
    else if (!m_server.bind_to_port(address, port)) port = -1;
    // Listening again on a listening socket only changes its backlog.
    if (port > 0) ::listen(m_server.socket(), kListenBacklog);
    return port;
}

bool HttpServer::run()
{
    const bool ok = m_stopRequested || m_server.listen_after_bind();
    m_finished = true;
    return ok || m_stopRequested;
}

void HttpServer::stop()
{
    m_stopRequested = true;
    // httplib's stop() does nothing until the server runs, so wait for run() to start or to end.
    while (!m_server.is_running() && !m_finished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_server.stop();
}

void HttpServer::serve(const httplib::Request& request, httplib::Response& response) const
{
    const std::string_view target = request.target;
    const std::size_t question = target.find('?');
    const std::string contentType = request.get_header_value(
        request.has_header(kHeldContentType) ? kHeldContentType : "Content-Type");
    Request forHandler;
    forHandler.method = request.method;
    forHandler.path = target.substr(0, question);
    forHandler.query = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
    forHandler.contentType = contentType;
    forHandler.body = request.body;
    forHandler.peerAddress = request.remote_addr;
    const std::string forwardedFor = request.get_header_value("X-Forwarded-For");
    forHandler.forwardedFor = forwardedFor;

    Reply reply = m_handler.handle(forHandler);
    response.status = reply.status;
    response.set_content(std::move(reply.body), reply.contentType.c_str());
}

void HttpServer::logRequest(const httplib::Request& request, const httplib::Response& response) const
{
    long long milliseconds = 0;
    if (t_requestStart) {
        milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *t_requestStart).count();
        t_requestStart.reset();
    }
    std::string line = isoUtc(systemClock());
    line.reserve(128 + request.target.size());
    line += ' ';
    line += request.remote_addr;
    line += " \"";
    escapeForLog(request.method, line);
    line += ' ';
    line += targetForLog(request.target);
    line += "\" ";
    line += std::to_string(response.status);
    line += ' ';
    line += std::to_string(response.body.size());
    line += "B ";
    line += std::to_string(milliseconds);
    line += "ms";
    if (request.has_header("X-Forwarded-For")) {
        line += " forwarded-for=";
        escapeForLog(request.get_header_value("X-Forwarded-For"), line);
    }
    if (m_log) {
        m_log(line);
    } else {
        // One write of the whole line, without stdio's lock, for which every request thread would
        // otherwise queue; the kernel appends each write whole.
        line += '\n';
        for (std::size_t written = 0; written < line.size();) {
            const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // a log that cannot be written does not stop the server
            written += static_cast<std::size_t>(n);
        }
    }
}

}  // namespace ovserver
