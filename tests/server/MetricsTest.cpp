// The server's metrics in Prometheus' text format, as promtool reads them.
#include "http/Metrics.h"

#include "ServerProcess.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace ovserver {
namespace {

// What `promtool check metrics` says of the text, or nothing when it is not installed.
std::optional<std::string> promtoolFindings(const std::string &text, int &status)
{
    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        return std::nullopt;
    const std::string path = ::testing::TempDir() + "/metrics.txt";
    std::ofstream(path) << text;
    const std::string command = "promtool check metrics < '" + path + "' 2>&1";
    FILE *check = popen(command.c_str(), "r");
    if (!check)
        return std::nullopt;
    std::string said;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, check))
        said += buffer;
    status = pclose(check);
    return said;
}

TEST(Metrics, CountsByEndpointAndStatusInATextPromtoolAccepts)
{
    Metrics metrics;
    metrics.requestAnswered("ov_upload.php", 200, 0.003);
    metrics.requestAnswered("ov_upload.php", 200, 0.2);
    metrics.requestAnswered("checkuser.php", 403, 7.0);
    metrics.connectionOpened();
    metrics.connectionOpened();
    metrics.connectionClosed();
    metrics.refused(Limit::StoreFull);
    metrics.refused(Limit::None);
    const std::string text = metrics.render({3, 1, 2, 4096, 1, 0.5});

    for (const char *line : {
             "ovcommunity_requests_total{endpoint=\"ov_upload.php\",status=\"200\"} 2\n",
             "ovcommunity_requests_total{endpoint=\"checkuser.php\",status=\"403\"} 1\n",
             "ovcommunity_request_duration_seconds_bucket{le=\"0.001\"} 0\n",
             "ovcommunity_request_duration_seconds_bucket{le=\"0.005\"} 1\n",
             "ovcommunity_request_duration_seconds_bucket{le=\"5\"} 2\n",
             "ovcommunity_request_duration_seconds_bucket{le=\"+Inf\"} 3\n",
             "ovcommunity_request_duration_seconds_count 3\n",
             "ovcommunity_open_connections 1\n",
             "ovcommunity_refusals_total{limit=\"store_full\"} 1\n",
             "ovcommunity_refusals_total{limit=\"per_hour\"} 0\n",
             "ovcommunity_library_mappings 3\n",
             "ovcommunity_library_hidden_mappings 1\n",
             "ovcommunity_library_bytes 4096\n",
             "ovcommunity_db_pool_waits_total 1\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;

    int status = -1;
    const auto findings = promtoolFindings(text, status);
    if (!findings)
        GTEST_SKIP() << "promtool is not installed (Debian's prometheus package)";
    EXPECT_EQ(status, 0) << *findings;
    EXPECT_EQ(*findings, "") << "promtool's lint findings";
}

class LiveMetrics : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(LiveMetrics);

TEST_P(LiveMetrics, AScrapeOfTheRunningServerCountsWhatItServed)
{
    ovtest::TempDir dir;
    const ovtest::TestStore store(GetParam());
    ovtest::ServerProcess server({"--port", "0", "--db", store.location, "--metrics-listen", "127.0.0.1:0",
                                  "--uploads-per-hour", "1", "--max-connections-per-address", "2"},
                                 dir.path / "stderr.txt");
    const ovtest::Remote remote{server.port()}, metrics{server.metricsPort()};
    ASSERT_GT(metrics.port, 0) << ovtest::fileText(dir.path / "stderr.txt");
    const std::string pin = remote.createUser("ann");
    ASSERT_EQ(remote.uploadWithPin("ann", pin, "Synth", ovtest::xmlPlist({"1 A"})).status, 200);
    EXPECT_EQ(remote.uploadWithPin("ann", pin, "Synth", ovtest::xmlPlist({"1 B"})).status, 429);
    remote.list("Synth");
    remote.list("Synth");
    EXPECT_EQ(remote.get("/metrics").status, 404); // never on the public port
    EXPECT_EQ(metrics.get("/ov_listplists.php?plugin=Synth").status, 404);
    // Two connections kept open, the third from the same address closed as it comes.
    httplib::Client held[] = {httplib::Client("127.0.0.1", remote.port), httplib::Client("127.0.0.1", remote.port),
                              httplib::Client("127.0.0.1", remote.port)};
    for (auto &client : held) {
        client.set_keep_alive(true);
        client.Get("/healthz");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const ovtest::Answer scraped = metrics.get("/metrics");
    ASSERT_EQ(scraped.status, 200);
    for (const char *line : {
             "ovcommunity_requests_total{endpoint=\"checkuserexists.php\",status=\"200\"} 1\n",
             "ovcommunity_requests_total{endpoint=\"ov_upload.php\",status=\"200\"} 1\n",
             "ovcommunity_requests_total{endpoint=\"ov_upload.php\",status=\"429\"} 1\n",
             "ovcommunity_requests_total{endpoint=\"ov_listplists.php\",status=\"200\"} 2\n",
             "ovcommunity_requests_total{endpoint=\"other\",status=\"404\"} 1\n",
             "ovcommunity_requests_total{endpoint=\"healthz\",status=\"200\"} 2\n",
             "ovcommunity_request_duration_seconds_count 8\n",
             "ovcommunity_refusals_total{limit=\"per_hour\"} 1\n",
             "ovcommunity_refusals_total{limit=\"per_address\"} 1\n",
             "ovcommunity_open_connections 2\n",
             "ovcommunity_library_mappings 1\n",
             "ovcommunity_library_users 1\n",
         })
        EXPECT_NE(scraped.body.find(line), std::string::npos) << line << "in\n" << scraped.body;
    int status = -1;
    if (const auto findings = promtoolFindings(scraped.body, status)) {
        EXPECT_EQ(status, 0) << *findings;
    }
}

} // namespace
} // namespace ovserver
