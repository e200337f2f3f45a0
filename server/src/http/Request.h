#pragma once
// A request and its reply as the handler sees them, apart from the sockets that carry them.

#include <memory>
#include <string>
#include <string_view>

namespace ovserver {

// A request as it arrived; the views point into storage that outlives the call.
struct Request {
    std::string_view method;      // "GET", "POST", "HEAD", ...
    std::string_view path;        // as sent, percent-escapes and all, without the query
    std::string_view query;       // what follows the '?', as sent; empty when there is none
    std::string_view contentType; // the Content-Type header; empty when there is none
    std::string_view body;
    std::string_view peerAddress;  // the address of the connection's other end
    std::string_view forwardedFor; // the X-Forwarded-For header; empty when there is none
};

// The volume limit that refused a request, for the metrics.
enum class Limit {
    None,
    PerAddress, // connections one client address may hold
    PerHour,    // uploads of a user or registrations of an address within an hour
    StoreFull   // the library's size
};

struct Reply {
    int status = 200;
    std::string contentType;
    std::string body;
    std::string cacheControl; // the Cache-Control header; none when empty
    // A stored file's bytes, shared with the file cache and every other reply that sends them;
    // body is empty then.
    std::shared_ptr<const std::string> file;
    // What the handler's route took the request for: a script's name, "file", "healthz", "page",
    // "other"; "none" when it never reached the handler.
    std::string_view endpoint = "none";
    Limit limit = Limit::None;

    std::string_view bytes() const { return file ? std::string_view(*file) : std::string_view(body); }
};

// The type of every text reply.
constexpr std::string_view kTextType = "text/plain; charset=utf-8";

} // namespace ovserver
