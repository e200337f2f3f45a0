// ovload: fills a community store with shared mappings and drives servers with the editor's
// requests from many connections at once, then checks that nothing was lost or counted twice.
//
//   ovload seed  --db LOCATION [--mappings N] [--plugins N] [--users N] [--www DIR]
//   ovload drive --servers HOST:PORT[,HOST:PORT...] [--connections N] [--seconds S]
//                [--mix mixed|mixed-web|web|list|register|fetch|upload|sign-in] [--ids FIRST-LAST] [--plugins N]
//                [--users N] [--label TEXT]
//   ovload drop  --db LOCATION
//
// seed prints "location ..." (the --db value for the servers: a PostgreSQL location gets a schema
// of its own) and "ids FIRST LAST". With --www it also writes every file as
// DIR/files/<id>/CSParameterOrder.plist, for a plain web server to serve the same bytes.
// --mix web drives the library's web pages alone: the list of plug-ins (a page of it, or a search),
// a plug-in's mappings, and a mapping drawn as the panel, a third each; --mix mixed-web sends a
// quarter of the requests to those pages and the rest as the editor's mix.

#include "HttplibTargets.h"
#include "storage/OpenStorage.h"
#include "handler/Pin.h"
#include "storage/Storage.h"

#include <httplib.h>
#include <libpq-fe.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char *kPin = "246810";
constexpr const char *kBoundary = "---------------------------14737809831466499882746641449";

std::string pluginName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "Bench Plug-in %04d", index);
    return name;
}

std::string userName(int index)
{
    return "bench" + std::to_string(index);
}

// The editor's escaping of a value in a URL, enough for the names used here.
std::string escape(const std::string &value)
{
    std::string out;
    for (const char c : value) {
        if (c == ' ')
            out += "%20";
        else
            out += c;
    }
    return out;
}

// A parameter-order file of about 1 to 3 KB, like the ones plug-ins have.
std::string parameterOrderFile(std::uint64_t seed)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>ControlSurfaceParameterOrder</key>\n\t<array>\n";
    const int entries = 20 + static_cast<int>(seed % 50);
    for (int i = 0; i < entries; ++i)
        xml +=
            "\t\t<string>" + std::to_string((i * 7 + seed) % 120) + " Parameter " + std::to_string(i) + "</string>\n";
    return xml + "\t</array>\n</dict>\n</plist>\n";
}

std::string uploadBody(const std::string &file)
{
    return std::string("\r\n--") + kBoundary
           + "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"CSParameterOrder.plist\"\r\n"
             "Content-Type: application/octet-stream\r\n\r\n"
           + file + "\r\n--" + kBoundary + "--\r\n";
}

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "ovload: %s\n", message.c_str());
    std::exit(1);
}

std::map<std::string, std::string> flags(int argc, char **argv, int first)
{
    std::map<std::string, std::string> result;
    for (int i = first; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag.rfind("--", 0) != 0 || i + 1 == argc)
            die("bad argument '" + flag + "'");
        result[flag.substr(2)] = argv[++i];
    }
    return result;
}

std::string flag(const std::map<std::string, std::string> &all, const std::string &name, const std::string &fallback)
{
    const auto found = all.find(name);
    return found == all.end() ? fallback : found->second;
}

void postgresExec(const std::string &url, const std::string &sql)
{
    PGconn *connection = PQconnectdb(url.c_str());
    if (PQstatus(connection) != CONNECTION_OK)
        die(std::string("cannot connect: ") + PQerrorMessage(connection));
    PGresult *result = PQexec(connection, sql.c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        die(sql + ": " + PQresultErrorMessage(result));
    PQclear(result);
    PQfinish(connection);
}

std::string withSearchPath(const std::string &url, const std::string &schema)
{
    return url + (url.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema;
}

int seed(const std::map<std::string, std::string> &args)
{
    std::string location = flag(args, "db", "");
    if (location.empty())
        die("seed needs --db");
    const int mappings = std::stoi(flag(args, "mappings", "10000"));
    const int plugins = std::stoi(flag(args, "plugins", "1000"));
    const int users = std::stoi(flag(args, "users", "64"));
    const std::string www = flag(args, "www", "");
    if (ovserver::isPostgresUrl(location)) {
        const std::string schema = "ovload_" + std::to_string(getpid());
        postgresExec(location, "CREATE SCHEMA " + schema);
        location = withSearchPath(location, schema);
    }
    if (!ovserver::pin::initialise())
        die("libsodium cannot start");
    const auto started = Clock::now();
    const auto storage = ovserver::openStorage(location);
    const std::string hash = ovserver::pin::hash(kPin);   // one hash for all: it holds its own salt
    const ovserver::VolumeLimits seeding{users, 0, 0, 0}; // only the registrations per address matter here
    for (int u = 0; u < users; ++u)
        storage->createUser({userName(u), userName(u) + "@example.com", hash, 1'700'000'000, "seed"}, seeding);

    std::int64_t first = 0, last = 0;
    constexpr int kBatch = 1000;
    for (int start = 0; start < mappings; start += kBatch) {
        std::vector<ovserver::NewMapping> batch;
        for (int i = start; i < std::min(mappings, start + kBatch); ++i)
            batch.push_back({userName(i % users), pluginName(i % plugins),
                             "Seeded mapping " + std::to_string(i) + ", rock & roll", 12, 1'700'000'000 + i,
                             parameterOrderFile(static_cast<std::uint64_t>(i))});
        const auto ids = storage->addMappings(batch);
        if (!ids)
            die("the seed names a user that does not exist");
        for (std::size_t k = 0; k < ids->size(); ++k) {
            if (start == 0 && k == 0)
                first = (*ids)[k];
            last = (*ids)[k];
            if (www.empty())
                continue;
            const auto folder = std::filesystem::path(www) / "files" / std::to_string((*ids)[k]);
            std::filesystem::create_directories(folder);
            std::ofstream(folder / "CSParameterOrder.plist", std::ios::binary) << batch[k].file;
        }
    }
    if (last - first + 1 != mappings)
        die("the seeded numbers are not one run");
    std::fprintf(stderr, "seeded %d mappings over %d plug-ins and %d users in %.1f s\n", mappings, plugins, users,
                 std::chrono::duration<double>(Clock::now() - started).count());
    std::printf("location %s\nids %lld %lld\n", location.c_str(), static_cast<long long>(first),
                static_cast<long long>(last));
    return 0;
}

int drop(const std::map<std::string, std::string> &args)
{
    const std::string location = flag(args, "db", "");
    std::smatch found;
    if (!std::regex_search(location, found, std::regex("search_path%3D(ovload_[0-9]+)")))
        return 0;
    postgresExec(location, "DROP SCHEMA " + found[1].str() + " CASCADE");
    return 0;
}

enum Endpoint {
    List,
    Register,
    Fetch,
    Upload,
    SignIn,
    WebIndex,
    WebPlugin,
    WebMapping,
    kEndpoints
};
const char *const kEndpointNames[kEndpoints] = {"list",    "register",  "fetch",      "upload",
                                                "sign-in", "web-index", "web-plugin", "web-mapping"};

struct Tally {
    std::vector<std::uint32_t> micros[kEndpoints];
    std::uint64_t errors[kEndpoints] = {};
    std::map<std::int64_t, std::int64_t> registered;    // mapping -> registrations acknowledged
    std::vector<std::pair<std::int64_t, int>> uploaded; // mapping -> plug-in index
    std::vector<std::string> errorSamples;
};

struct Server {
    std::string host;
    int port;
};

std::vector<Server> parseServers(const std::string &text)
{
    std::vector<Server> servers;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string one = text.substr(start, end - start);
        const std::size_t colon = one.rfind(':');
        if (colon == std::string::npos)
            die("a server is HOST:PORT, not '" + one + "'");
        servers.push_back({one.substr(0, colon), std::stoi(one.substr(colon + 1))});
        start = end + 1;
    }
    if (servers.empty())
        die("drive needs --servers");
    return servers;
}

std::unique_ptr<httplib::Client> clientFor(const Server &server)
{
    auto client = std::make_unique<httplib::Client>(server.host, server.port);
    client->set_keep_alive(true);
    client->set_tcp_nodelay(true); // a request's head and body go out at once, as a browser's do
    ovhttp::sendTargetsAsWritten(*client);
    client->set_connection_timeout(10);
    client->set_read_timeout(30);
    return client;
}

// Every plug-in's list: mapping -> (downloads, times listed), and which plug-in lists it.
struct Census {
    std::map<std::int64_t, std::pair<std::int64_t, int>> seen;
    std::map<std::int64_t, int> pluginOf;
    bool complete = true;
};

Census census(const std::vector<Server> &servers, int plugins, int threads)
{
    Census result;
    std::mutex mutex;
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            const auto client = clientFor(servers[static_cast<std::size_t>(t) % servers.size()]);
            for (int p; (p = next++) < plugins;) {
                const auto reply = client->Post(("/ov_listplists.php?plugin=" + escape(pluginName(p))).c_str());
                const std::lock_guard lock(mutex);
                if (!reply || reply->status != 200) {
                    result.complete = false;
                    continue;
                }
                const auto list = nlohmann::json::parse(reply->body, nullptr, false);
                if (!list.is_array()) {
                    result.complete = false;
                    continue;
                }
                for (const auto &entry : list) {
                    const std::int64_t id = entry.value("patchID", std::int64_t{-1});
                    auto &[downloads, times] = result.seen[id];
                    downloads = entry.value("downloads", std::int64_t{-1});
                    ++times;
                    result.pluginOf[id] = p;
                }
            }
        });
    for (auto &worker : workers)
        worker.join();
    return result;
}

double percentile(std::vector<std::uint32_t> &values, double fraction)
{
    if (values.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end());
    return values[rank] / 1000.0;
}

int driveServers(const std::map<std::string, std::string> &args)
{
    const std::vector<Server> servers = parseServers(flag(args, "servers", ""));
    const int connections = std::stoi(flag(args, "connections", "64"));
    const double seconds = std::stod(flag(args, "seconds", "20"));
    // "mixed", "mixed-web", "web", or the name of one endpoint to drive alone.
    const std::string mix = flag(args, "mix", "mixed");
    const bool web = mix == "web";
    const bool withWeb = mix == "mixed-web";
    int only = -1;
    for (int e = 0; e < kEndpoints; ++e)
        if (mix == kEndpointNames[e])
            only = e;
    if (only < 0 && mix != "mixed" && !web && !withWeb)
        die("--mix takes mixed, mixed-web, web, list, register, fetch, upload or sign-in");
    // Only a mixed run checks the store afterwards; a single endpoint may be served by any web server.
    const bool fetchOnly = only >= 0 || web;
    const int plugins = std::stoi(flag(args, "plugins", "1000"));
    const int users = std::stoi(flag(args, "users", "64"));
    const std::string label = flag(args, "label", "");
    std::smatch range;
    const std::string idsText = flag(args, "ids", "");
    if (!std::regex_match(idsText, range, std::regex("([0-9]+)-([0-9]+)")))
        die("drive needs --ids FIRST-LAST");
    const std::int64_t firstId = std::stoll(range[1]), lastId = std::stoll(range[2]);

    Census before;
    if (!fetchOnly) {
        before = census(servers, plugins, 16);
        if (!before.complete)
            die("the lists before the run could not all be read");
    }

    // Each run registers downloads from addresses of its own: the connections draw the same mappings
    // in every run, and a store shared by runs of one day would take repeats as counted already.
    const std::string run = std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
    std::vector<Tally> tallies(static_cast<std::size_t>(connections));
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    const auto started = Clock::now();
    for (int c = 0; c < connections; ++c)
        threads.emplace_back([&, c] {
            Tally &tally = tallies[static_cast<std::size_t>(c)];
            const auto client = clientFor(servers[static_cast<std::size_t>(c) % servers.size()]);
            std::mt19937_64 random(static_cast<std::uint64_t>(c) * 7919 + 17);
            const std::regex mappingNumber("\\(mapping ([0-9]+)\\)");
            const std::string user = userName(c % users);
            std::uint64_t registrations = 0;
            while (!stop) {
                const unsigned roll = static_cast<unsigned>(random() % 100);
                const bool browsing = web || (withWeb && roll < 25);
                const unsigned editorRoll = withWeb ? static_cast<unsigned>(random() % 100) : roll;
                const Endpoint endpoint = only >= 0         ? static_cast<Endpoint>(only)
                                          : browsing        ? static_cast<Endpoint>(WebIndex + roll % 3)
                                          : editorRoll < 45 ? List
                                          : editorRoll < 65 ? Register
                                          : editorRoll < 90 ? Fetch
                                          : editorRoll < 99 ? Upload
                                                            : SignIn;
                const std::int64_t id =
                    firstId + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(lastId - firstId + 1));
                const int plugin = static_cast<int>(random() % static_cast<std::uint64_t>(plugins));
                std::string file;
                if (endpoint == Upload)
                    file = parameterOrderFile(random());
                const auto begin = Clock::now();
                httplib::Result reply = [&] {
                    switch (endpoint) {
                    case List:
                        return client->Post(("/ov_listplists.php?plugin=" + escape(pluginName(plugin))).c_str());
                    case Register:
                        // From an address of its own each time (as nginx names it), as a download counts
                        // once per address and day.
                        return client->Post(
                            "/ov_downloadreg.php?patchID=" + std::to_string(id),
                            httplib::Headers{{"X-Forwarded-For", "load-" + run + "-" + std::to_string(c) + "-"
                                                                     + std::to_string(++registrations)}},
                            std::string(), "text/plain");
                    case Upload:
                        return client->Post(
                            ("/ov_upload.php?user=" + user + "&hardware=12&plugin=" + escape(pluginName(plugin))
                             + "&comments=load%20test%20" + std::to_string(c))
                                .c_str(),
                            uploadBody(file), (std::string("multipart/form-data; boundary=") + kBoundary).c_str());
                    case SignIn:
                        return client->Post(("/checkuser.php?userName=" + user + "&pinCode=" + kPin).c_str());
                    case WebIndex: {
                        // A page of the whole list, or a search that finds about ten names.
                        const std::string name = pluginName(plugin);
                        return client->Get((roll % 2 ? "/library/?page=" + std::to_string(1 + plugin % 10)
                                                     : "/library/?q=in+" + name.substr(name.size() - 4, 3))
                                               .c_str());
                    }
                    case WebPlugin:
                        return client->Get(("/library/plugin?name=" + escape(pluginName(plugin))).c_str());
                    case WebMapping:
                        return client->Get(("/library/mapping/" + std::to_string(id)).c_str());
                    default:
                        return client->Get(("/files/" + std::to_string(id) + "/CSParameterOrder.plist").c_str());
                    }
                }();
                const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - begin).count();
                tally.micros[endpoint].push_back(static_cast<std::uint32_t>(micros));

                bool good = reply && reply->status == 200;
                std::smatch number;
                if (good && endpoint == List)
                    good = !reply->body.empty() && reply->body.front() == '[';
                if (good && endpoint == Fetch)
                    good = reply->body.find("ControlSurfaceParameterOrder") != std::string::npos;
                if (good && endpoint == SignIn)
                    good = reply->body == "\nOK\n";
                if (good && endpoint == WebIndex)
                    good = reply->body.find("</li></ul>") != std::string::npos;
                if (good && endpoint == WebPlugin)
                    good = reply->body.find("<ol class=\"mappings\"><li>") != std::string::npos;
                if (good && endpoint == WebMapping)
                    good = reply->body.find("<div class=\"panel\">") != std::string::npos;
                if (good && endpoint == Upload) {
                    good = std::regex_search(reply->body, number, mappingNumber);
                    if (good)
                        tally.uploaded.emplace_back(std::stoll(number[1]), plugin);
                }
                if (good && endpoint == Register)
                    ++tally.registered[id];
                if (!good) {
                    ++tally.errors[endpoint];
                    if (tally.errorSamples.size() < 3)
                        tally.errorSamples.push_back(
                            std::string(kEndpointNames[endpoint]) + ": "
                            + (reply ? std::to_string(reply->status) + " " + reply->body.substr(0, 120)
                                     : "transport error " + httplib::to_string(reply.error())));
                }
            }
        });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop = true;
    for (auto &thread : threads)
        thread.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();

    Tally all;
    std::uint64_t totalRequests = 0, totalErrors = 0;
    for (Tally &tally : tallies) {
        for (int e = 0; e < kEndpoints; ++e) {
            all.micros[e].insert(all.micros[e].end(), tally.micros[e].begin(), tally.micros[e].end());
            all.errors[e] += tally.errors[e];
        }
        for (const auto &[id, count] : tally.registered)
            all.registered[id] += count;
        all.uploaded.insert(all.uploaded.end(), tally.uploaded.begin(), tally.uploaded.end());
        for (const auto &sample : tally.errorSamples)
            if (all.errorSamples.size() < 8)
                all.errorSamples.push_back(sample);
    }
    std::printf("%s: %zu server%s, %d connections, %.1f s\n", label.c_str(), servers.size(),
                servers.size() > 1 ? "s" : "", connections, elapsed);
    std::printf("  %-11s %9s %9s %8s %8s %7s\n", "endpoint", "requests", "req/s", "p50 ms", "p99 ms", "errors");
    double rate[kEndpoints] = {}, p99[kEndpoints] = {};
    for (int e = 0; e < kEndpoints; ++e) {
        if (all.micros[e].empty())
            continue;
        totalRequests += all.micros[e].size();
        totalErrors += all.errors[e];
        const std::size_t count = all.micros[e].size();
        rate[e] = static_cast<double>(count) / elapsed;
        const double p50 = percentile(all.micros[e], 0.50);
        p99[e] = percentile(all.micros[e], 0.99);
        std::printf("  %-11s %9zu %9.0f %8.2f %8.2f %7llu\n", kEndpointNames[e], count, rate[e], p50, p99[e],
                    static_cast<unsigned long long>(all.errors[e]));
    }
    std::printf("  %-11s %9llu %9.0f %8s %8s %7llu\n", "all", static_cast<unsigned long long>(totalRequests),
                static_cast<double>(totalRequests) / elapsed, "", "", static_cast<unsigned long long>(totalErrors));
    std::printf("RESULT label=%s rps=%.0f errors=%llu list_p99_ms=%.2f fetch_rps=%.0f web_index_p99_ms=%.2f "
                "web_plugin_p99_ms=%.2f web_mapping_p99_ms=%.2f\n",
                label.c_str(), static_cast<double>(totalRequests) / elapsed,
                static_cast<unsigned long long>(totalErrors), p99[List], rate[Fetch], p99[WebIndex], p99[WebPlugin],
                p99[WebMapping]);
    for (const auto &sample : all.errorSamples)
        std::printf("  error: %s\n", sample.c_str());

    bool consistent = true;
    if (!fetchOnly) {
        // Every acknowledged upload is listed once, under its plug-in; every mapping's count grew by
        // exactly the registrations that were acknowledged.
        const Census after = census(servers, plugins, 16);
        if (!after.complete)
            die("the lists after the run could not all be read");
        std::size_t missing = 0, miscounted = 0;
        for (const auto &[id, plugin] : all.uploaded) {
            const auto found = after.seen.find(id);
            if (found == after.seen.end() || found->second.second != 1 || after.pluginOf.at(id) != plugin)
                ++missing;
        }
        std::int64_t registrations = 0;
        for (const auto &[id, seen] : after.seen) {
            const auto earlier = before.seen.find(id);
            const std::int64_t start = earlier == before.seen.end() ? 0 : earlier->second.first;
            const auto sent = all.registered.find(id);
            const std::int64_t expected = start + (sent == all.registered.end() ? 0 : sent->second);
            if (seen.first != expected)
                ++miscounted;
            if (seen.second != 1)
                ++missing;
        }
        for (const auto &[id, count] : all.registered)
            registrations += count;
        consistent = missing == 0 && miscounted == 0;
        std::printf("  check: %zu acknowledged uploads, %s; %lld acknowledged registrations, %s\n", all.uploaded.size(),
                    missing ? (std::to_string(missing) + " NOT listed exactly once").c_str() : "each listed once",
                    static_cast<long long>(registrations),
                    miscounted ? (std::to_string(miscounted) + " mappings with WRONG counts").c_str()
                               : "every count matches");
    }
    return totalErrors == 0 && consistent ? 0 : 3;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        die("usage: ovload seed|drive|drop --flag value ...");
    const std::string command = argv[1];
    const auto args = flags(argc, argv, 2);
    if (command == "seed")
        return seed(args);
    if (command == "drive")
        return driveServers(args);
    if (command == "drop")
        return drop(args);
    die("unknown command '" + command + "'");
}
