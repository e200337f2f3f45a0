#pragma once
// A community server running in the test process on an ephemeral loopback port, with a store of
// its own (on either engine) and a clock the test sets, and the requests the editor sends to it.

#include "handler/Handler.h"
#include "http/HttpServer.h"
#include "storage/OpenStorage.h"
#include "storage/Storage.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ovtest {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
struct TempDir {
    TempDir();
    ~TempDir();
    std::filesystem::path path;
};

enum class Engine {
    Sqlite,
    Postgres
};
std::string engineName(Engine engine);

// The PostgreSQL database the tests may use, from OVCORVANTA_TEST_POSTGRES_URL; empty when unset
// or when the server is built without its PostgreSQL engine.
std::string postgresTestUrl();

// Why opening a PostgreSQL database that does not answer fails.
inline constexpr const char *kUnreachablePostgresReason =
    OV_WITH_POSTGRESQL ? "cannot connect to PostgreSQL" : ovserver::kNoPostgresEngine;

// A store for one test alone, removed at the end: a SQLite file in a fresh folder, or a schema of
// its own in the test PostgreSQL database (the location names it as the search path).
class TestStore {
public:
    explicit TestStore(Engine engine);
    ~TestStore();
    TestStore(const TestStore &) = delete;
    TestStore &operator=(const TestStore &) = delete;

    std::unique_ptr<ovserver::Storage> open(std::size_t maxConnections = 0) const;
    // Runs SQL on the store behind the server's back; throws std::runtime_error when it fails.
    void execute(const std::string &sql) const;

    const Engine engine;
    std::string location; // what --db takes

private:
    std::unique_ptr<TempDir> m_dir;
    std::string m_schema;
};

// Tests that run once on each engine; the PostgreSQL run is skipped, with a note, when no test
// database is configured.
class OnEachEngine : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
};

#define OV_ON_EACH_ENGINE(suite)                                                                                       \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        On, suite, ::testing::Values(::ovtest::Engine::Sqlite, ::ovtest::Engine::Postgres),                            \
        [](const ::testing::TestParamInfo<::ovtest::Engine> &engine) { return ::ovtest::engineName(engine.param); })

// The editor's URL escaping: RFC 2396's unreserved and reserved characters stay, so '&', '=' and
// '+' inside a value go out unescaped; every other byte becomes %XX.
std::string escape(std::string_view value);

// A parameter-order file with these entries, as XML or as a binary property list.
std::string xmlPlist(const std::vector<std::string> &order);
std::string binaryPlist(const std::vector<std::string> &order);

// The editor's upload body around the file (with the PIN code's part before it when there is a
// PIN), and its content type.
extern const std::string kUploadContentType;
std::string uploadBody(std::string_view file, std::optional<std::string_view> pin = std::nullopt);

struct Answer {
    int status = 0; // 0 when the exchange failed
    std::string body;
    std::string cacheControl; // the Cache-Control header, empty when there is none
};

// Requests to a community server on a loopback port, as the editor sends them, each on a
// connection of its own. base is the path the server answers under.
struct Remote {
    explicit Remote(int serverPort = 0, std::string proxiedFor = {})
        : port(serverPort), forwardedFor(std::move(proxiedFor))
    {
    }

    int port;
    std::string forwardedFor; // sent as X-Forwarded-For when set: the client address a proxy names

    // The same server, reached as if through a proxy for a client at this address.
    Remote from(std::string address) const { return Remote(port, std::move(address)); }

    Answer post(const std::string &target, const std::string &body = {}, const std::string &contentType = {}) const;
    Answer get(const std::string &target) const;
    Answer send(const std::string &method, const std::string &target) const;

    // Registers the user and returns the PIN code from the reply (empty when there is none).
    std::string createUser(const std::string &name, const std::string &base = "/") const;
    Answer signIn(const std::string &name, const std::string &pin, const std::string &base = "/") const;
    Answer upload(const std::string &user, const std::string &plugin, const std::string &comments,
                  const std::string &file, const std::string &base = "/") const;
    // The upload as an editor that sends the user's PIN code sends it.
    Answer uploadWithPin(const std::string &user, const std::string &pin, const std::string &plugin,
                         const std::string &file) const;
    std::string list(const std::string &plugin, const std::string &base = "/") const; // the list reply's body
};

// A six-digit PIN code that is not this one.
std::string wrongPin(const std::string &pin);

// The server in this process, reached over HTTP like any other.
class LiveServer : public Remote {
public:
    // location empty: a store of the server's own. No volume limit stops a test that does not set one.
    explicit LiveServer(Engine engine, std::size_t maxUploadBytes = 1024 * 1024, std::string location = {},
                        ovserver::HttpLimits limits = sharedAddressLimits());
    LiveServer(Engine engine, ovserver::HandlerConfig config, std::string location = {},
               ovserver::HttpLimits limits = sharedAddressLimits());
    // The server's usual limits, but none per address: every client of the tests comes from 127.0.0.1.
    static ovserver::HttpLimits sharedAddressLimits();
    // Volume limits that tests do not reach unless they mean to.
    static ovserver::HandlerConfig roomyConfig();
    ~LiveServer();

    std::vector<std::string> logLines() const;

    std::atomic<std::int64_t> now{1'700'000'000}; // 2023-11-14T22:13:20Z
    std::string location;

private:
    std::unique_ptr<TestStore> m_ownStore;
    std::unique_ptr<ovserver::Storage> m_storage;
    std::unique_ptr<ovserver::Handler> m_handler;
    std::unique_ptr<ovserver::HttpServer> m_server;
    std::thread m_thread;
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

// The bytes of a file; empty when it cannot be read.
std::string readFile(const std::filesystem::path &path);

// How many times part occurs in text, overlapping occurrences included.
std::size_t occurrences(const std::string &text, const std::string &part);

} // namespace ovtest
