// The server's metrics in Prometheus' text format, as promtool reads them.
#include "http/Metrics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace ovserver {
namespace {

TEST(Metrics, CountsByEndpointAndStatusInATextPromtoolAccepts)
{
    EXPECT_EQ(Metrics::endpointOf("/community/lib/ov_upload.php"), "ov_upload.php");
    EXPECT_EQ(Metrics::endpointOf("/community/lib/files/12/CSParameterOrder.plist"), "file");
    EXPECT_EQ(Metrics::endpointOf("/community/lib/library/plugin"), "page");
    EXPECT_EQ(Metrics::endpointOf("/community/lib/%3Cscript%3E"), "other");

    Metrics metrics;
    metrics.requestAnswered("ov_upload.php", 200, 0.003);
    metrics.requestAnswered("ov_upload.php", 200, 0.2);
    metrics.requestAnswered("checkuser.php", 403, 7.0);
    metrics.connectionOpened();
    metrics.connectionOpened();
    metrics.connectionClosed();
    metrics.refused(Refusal::StoreFull);
    metrics.poolWaited(0.5);
    const std::string text = metrics.render({3, 2, 4096});

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
             "ovcommunity_library_bytes 4096\n",
             "ovcommunity_db_pool_waits_total 1\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;

    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "promtool is not installed (Debian's prometheus package)";
    const std::string path = ::testing::TempDir() + "/metrics.txt";
    std::ofstream(path) << text;
    const std::string command = "promtool check metrics < '" + path + "' 2>&1";
    FILE *check = popen(command.c_str(), "r");
    ASSERT_NE(check, nullptr);
    std::string said;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, check))
        said += buffer;
    EXPECT_EQ(pclose(check), 0) << said;
    EXPECT_EQ(said, "") << "promtool's lint findings";
}

} // namespace
} // namespace ovserver
