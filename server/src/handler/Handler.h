#pragma once
// The server's requests and replies, without sockets: every request the network brings in passes
// through Handler::handle, and so can a test or a fuzzer.

#include "http/Request.h"
#include "handler/FileCache.h"
#include "handler/GuessLimit.h"
#include "storage/Storage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovserver {

// Seconds since 1970, UTC.
using Clock = std::function<std::int64_t()>;
std::int64_t systemClock();

// The largest parameter-order file accepted unless the command line says otherwise.
constexpr std::size_t kDefaultMaxUploadBytes = 1024 * 1024;

// How much of the stored files a node keeps in memory unless told otherwise.
constexpr std::size_t kDefaultFileCacheBytes = 64 * 1024 * 1024;

// The Cache-Control of a stored file's reply: the file at that address never changes.
constexpr std::string_view kStoredFileCacheControl = "public, max-age=31536000, immutable";

struct HandlerConfig {
    std::size_t maxUploadBytes = kDefaultMaxUploadBytes; // the largest parameter-order file accepted
    std::size_t fileCacheBytes = kDefaultFileCacheBytes; // stored files kept in memory
    SignInPolicy signIn;
    GuessPolicy guesses;
    VolumeLimits limits;
    // Uploads without the user's PIN code (older editors send none) are refused.
    bool requireUploadPin = false;
    // Peers whose X-Forwarded-For header names the client (its last address, the one the proxy saw);
    // loopback peers always are.
    std::vector<std::string> trustedProxies;
    Clock clock = systemClock;
    // Told about failures of the store or of the server itself; they are not shown to clients.
    // Writes a line to stderr when empty.
    std::function<void(std::string_view)> reportError;
};

// Multipart framing allowed on top of the file itself before a body counts as too large.
constexpr std::size_t kMultipartAllowance = 64 * 1024;

// The client's address: the peer's, or the last address of X-Forwarded-For (the one the proxy saw)
// when the peer is a loopback address or one of the trusted proxies. An IPv6 client stands for its
// /64 network, as in the limit of connections (addressGroup), since one subscriber holds it whole.
std::string clientAddress(const Request &request, const std::vector<std::string> &trustedProxies);

// The refusal of an upload body over the limit (HTTP 413), from the handler or from httplib.
std::string uploadTooLargeText(std::size_t maxUploadBytes);

class Handler {
public:
    Handler(Storage &storage, HandlerConfig config);

    // Answers one request. Safe to call from many threads at once; never throws.
    Reply handle(const Request &request) const;

    std::size_t maxUploadBytes() const { return m_config.maxUploadBytes; }

    // The library's counts and the store's waits, read from the store now.
    StoreFigures storeFigures() const { return m_storage.figures(); }

private:
    // endpoint is set to what the request was taken for as soon as that is known.
    Reply route(const Request &request, std::string_view &endpoint) const;
    Reply checkUser(const Request &request) const;
    Reply createUser(const Request &request) const;
    Reply upload(const Request &request) const;
    Reply listMappings(const Request &request) const;
    Reply registerDownload(const Request &request) const;
    Reply listOwnMappings(const Request &request) const;
    Reply deleteOwnMapping(const Request &request) const;
    // A PIN code checked against the user's, at sign-in or with an upload, from the client's
    // address: a wrong one counts toward the sign-in limit of the name and of the address, a right
    // one clears the name's count. A name that is locked stays open to an address that proved its PIN.
    enum class PinCheck {
        Right,
        Wrong,
        Throttled,
        AddressThrottled
    };
    PinCheck checkPin(const std::string &user, std::string_view pin, const std::string &address) const;
    // The refusal of a request whose PIN code is not the user's, ending with `outcome` (" Nothing
    // was shared."), or nothing when it is.
    std::optional<Reply> checkRequestPin(const std::string &user, std::string_view pin, const std::string &address,
                                         std::string_view outcome) const;
    Reply fetchFile(std::int64_t id) const;
    Reply health() const;
    void report(std::string_view message) const;

    Storage &m_storage;
    HandlerConfig m_config;
    mutable FileCache m_files;
    mutable GuessLimit m_guesses;
};

} // namespace ovserver
