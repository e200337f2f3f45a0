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

struct Reply {
    int status = 200;
    std::string contentType;
    std::string body;
    std::string cacheControl; // the Cache-Control header; none when empty
    // A stored file's bytes, shared with the file cache and every other reply that sends them;
    // body is empty then.
    std::shared_ptr<const std::string> file;

    std::string_view bytes() const { return file ? std::string_view(*file) : std::string_view(body); }
};

// The type of every text reply.
constexpr std::string_view kTextType = "text/plain; charset=utf-8";

} // namespace ovserver
