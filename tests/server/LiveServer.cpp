#include "LiveServer.h"

#include "HttplibTargets.h"
#include "storage/OpenStorage.h"
#include "handler/Pin.h"

#if OV_WITH_POSTGRESQL
#include <libpq-fe.h>
#endif
#include <plist/plist.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace ovtest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ovcommunity-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string engineName(Engine engine)
{
    return engine == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

std::string postgresTestUrl()
{
    const char *url = std::getenv("OVCORVANTA_TEST_POSTGRES_URL");
    // A server built without PostgreSQL is tested on SQLite alone.
    return url && OV_WITH_POSTGRESQL ? url : "";
}

namespace {

// Runs SQL on a PostgreSQL database.
void runOn(const std::string &url, const std::string &sql)
{
#if !OV_WITH_POSTGRESQL
    throw std::runtime_error("test database: " + sql + ": built without PostgreSQL (" + url + ")");
#else
    PGconn *connection = PQconnectdb(url.c_str());
    std::string problem;
    if (PQstatus(connection) != CONNECTION_OK) {
        problem = PQerrorMessage(connection);
    } else {
        PQsetNoticeProcessor(
            connection, [](void *, const char *) {}, nullptr);
        PGresult *result = PQexec(connection, sql.c_str());
        if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK)
            problem = PQresultErrorMessage(result);
        PQclear(result);
    }
    PQfinish(connection);
    if (!problem.empty())
        throw std::runtime_error("test database: " + sql + ": " + problem);
#endif
}

void administer(const std::string &sql)
{
    runOn(postgresTestUrl(), sql);
}

} // namespace

TestStore::TestStore(Engine storeEngine) : engine(storeEngine)
{
    if (engine == Engine::Sqlite) {
        m_dir = std::make_unique<TempDir>();
        location = (m_dir->path / "community.sqlite").string();
        return;
    }
    const std::string url = postgresTestUrl();
    if (url.empty())
        throw std::runtime_error("OVCORVANTA_TEST_POSTGRES_URL is not set");
    static std::atomic<int> made{0};
    m_schema = "test_" + std::to_string(getpid()) + "_" + std::to_string(made++) + "_"
               + std::to_string(std::random_device()() % 100000);
    administer("CREATE SCHEMA " + m_schema);
    location = url + (url.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + m_schema;
}

TestStore::~TestStore()
{
    if (m_schema.empty())
        return;
    try {
        administer("DROP SCHEMA " + m_schema + " CASCADE");
    } catch (const std::exception &error) {
        ADD_FAILURE() << error.what();
    }
}

std::unique_ptr<ovserver::Storage> TestStore::open(std::size_t maxConnections) const
{
    return ovserver::openStorage(location, maxConnections);
}

void TestStore::execute(const std::string &sql) const
{
    if (engine == Engine::Postgres)
        return runOn(location, sql);
    sqlite3 *db = nullptr;
    std::string problem;
    if (sqlite3_open(location.c_str(), &db) != SQLITE_OK
        || sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        problem = sqlite3_errmsg(db);
    sqlite3_close(db);
    if (!problem.empty())
        throw std::runtime_error("test database: " + sql + ": " + problem);
}

void OnEachEngine::SetUp()
{
    if (GetParam() == Engine::Postgres && postgresTestUrl().empty())
        GTEST_SKIP() << "PostgreSQL variant skipped: OVCORVANTA_TEST_POSTGRES_URL is not set (scripts/test sets it)";
}

std::string escape(std::string_view value)
{
    static const std::string_view kept = "-_.!~*'();/?:@&=+$,";
    std::string out;
    for (char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) && b < 0x80) {
            out += c;
        } else if (kept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", b);
            out += hex;
        }
    }
    return out;
}

std::string xmlPlist(const std::vector<std::string> &order)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>ControlSurfaceParameterOrder</key>\n\t<array>\n";
    for (const auto &entry : order)
        xml += "\t\t<string>" + entry + "</string>\n";
    return xml + "\t</array>\n</dict>\n</plist>\n";
}

std::string binaryPlist(const std::vector<std::string> &order)
{
    plist_t root = plist_new_dict();
    plist_t array = plist_new_array();
    for (const auto &entry : order)
        plist_array_append_item(array, plist_new_string(entry.c_str()));
    plist_dict_set_item(root, "ControlSurfaceParameterOrder", array);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string result(bytes, length);
    std::free(bytes);
    plist_free(root);
    return result;
}

const std::string kUploadContentType =
    "multipart/form-data; boundary=---------------------------14737809831466499882746641449";

std::string uploadBody(std::string_view file, std::optional<std::string_view> pin)
{
    const std::string boundary = "---------------------------14737809831466499882746641449";
    std::string body = "\r\n--" + boundary + "\r\n";
    if (pin)
        body += "Content-Disposition: form-data; name=\"pinCode\"\r\n\r\n" + std::string(*pin) + "\r\n--" + boundary
                + "\r\n";
    return body
           + "Content-Disposition: form-data; name=\"userfile\"; filename=\"CSParameterOrder.plist\"\r\n"
             "Content-Type: application/octet-stream\r\n\r\n"
           + std::string(file) + "\r\n--" + boundary + "--\r\n";
}

ovserver::HttpLimits LiveServer::sharedAddressLimits()
{
    ovserver::HttpLimits limits;
    limits.maxConnectionsPerAddress = 0;
    return limits;
}

ovserver::HandlerConfig LiveServer::roomyConfig()
{
    ovserver::HandlerConfig config;
    config.limits.registrationsPerHour = 1'000'000;
    config.limits.uploadsPerHour = 1'000'000;
    return config;
}

LiveServer::LiveServer(Engine engine, std::size_t maxUploadBytes, std::string store, ovserver::HttpLimits limits)
    : LiveServer(
        engine,
        [maxUploadBytes] {
            ovserver::HandlerConfig config = roomyConfig();
            config.maxUploadBytes = maxUploadBytes;
            return config;
        }(),
        std::move(store), limits)
{
}

LiveServer::LiveServer(Engine engine, ovserver::HandlerConfig config, std::string store, ovserver::HttpLimits limits)
    : location(std::move(store))
{
    if (!ovserver::pin::initialise())
        throw std::runtime_error("libsodium cannot start");
    if (location.empty()) {
        m_ownStore = std::make_unique<TestStore>(engine);
        location = m_ownStore->location;
    }
    m_storage = ovserver::openStorage(location);
    config.clock = [this] { return now.load(); };
    m_handler = std::make_unique<ovserver::Handler>(*m_storage, config);
    m_server = std::make_unique<ovserver::HttpServer>(
        *m_handler,
        [this](std::string_view line) {
            const std::lock_guard lock(m_logMutex);
            m_log.emplace_back(line);
        },
        limits);
    port = m_server->bind("127.0.0.1", 0);
    if (port <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    m_thread = std::thread([this] { m_server->run(); });
}

LiveServer::~LiveServer()
{
    m_server->stop();
    m_thread.join();
}

namespace {

httplib::Client clientFor(const Remote &remote)
{
    httplib::Client client("127.0.0.1", remote.port);
    ovhttp::sendTargetsAsWritten(client); // as the tests escape them
    if (!remote.forwardedFor.empty())
        client.set_default_headers({{"X-Forwarded-For", remote.forwardedFor}});
    return client;
}

Answer answerOf(const httplib::Result &result)
{
    return result ? Answer{result->status, result->body, result->get_header_value("Cache-Control")} : Answer{};
}

} // namespace

Answer Remote::post(const std::string &target, const std::string &body, const std::string &contentType) const
{
    return answerOf(clientFor(*this).Post(target.c_str(), body, contentType.c_str()));
}

Answer Remote::get(const std::string &target) const
{
    return answerOf(clientFor(*this).Get(target.c_str()));
}

Answer Remote::send(const std::string &method, const std::string &target) const
{
    httplib::Request request;
    request.method = method;
    request.path = target;
    return answerOf(clientFor(*this).send(request));
}

std::string Remote::createUser(const std::string &name, const std::string &base) const
{
    const Answer reply = post(base + "checkuserexists.php?userName=" + escape(name) + "&emailAddr=someone@example.com");
    std::smatch pin;
    const std::regex pinPattern("PIN code is ([0-9]{6})\\.");
    return std::regex_search(reply.body, pin, pinPattern) ? pin[1].str() : std::string();
}

Answer Remote::signIn(const std::string &name, const std::string &pin, const std::string &base) const
{
    return post(base + "checkuser.php?userName=" + escape(name) + "&pinCode=" + escape(pin));
}

Answer Remote::upload(const std::string &user, const std::string &plugin, const std::string &comments,
                      const std::string &file, const std::string &base) const
{
    return post(base + "ov_upload.php?user=" + escape(user) + "&hardware=12&plugin=" + escape(plugin)
                    + "&comments=" + escape(comments),
                uploadBody(file), kUploadContentType);
}

Answer Remote::uploadWithPin(const std::string &user, const std::string &pin, const std::string &plugin,
                             const std::string &file) const
{
    return post("/ov_upload.php?user=" + escape(user) + "&hardware=12&plugin=" + escape(plugin) + "&comments=",
                uploadBody(file, pin), kUploadContentType);
}

std::string Remote::list(const std::string &plugin, const std::string &base) const
{
    return post(base + "ov_listplists.php?plugin=" + escape(plugin)).body;
}

std::string wrongPin(const std::string &pin)
{
    return pin == "000000" ? "000001" : "000000";
}

std::vector<std::string> LiveServer::logLines() const
{
    const std::lock_guard lock(m_logMutex);
    return m_log;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::size_t occurrences(const std::string &text, const std::string &part)
{
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

} // namespace ovtest
