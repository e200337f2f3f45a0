// The server killed with SIGKILL in the middle of a stream of uploads, again and again, on the same
// store: after each restart every upload that was answered as shared is listed once and comes back
// byte for byte, and nothing that was listed is damaged.

#include "HttplibTargets.h"
#include "ServerProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <csignal>
#include <map>
#include <mutex>
#include <random>
#include <regex>
#include <set>
#include <thread>

using ovtest::Remote;
using ovtest::ServerProcess;

namespace {

constexpr int kRounds = 40;
constexpr int kUploaders = 4;

struct Sent {
    std::string plugin;
    std::string file;
};

// What the clients know after a round: the uploads answered as shared, and those sent without an
// answer, which may or may not have been stored.
struct Outcome {
    std::mutex mutex;
    std::map<long long, Sent> accepted;
    std::map<std::string, Sent> unanswered; // by comment
};

class ServerCrash : public ovtest::OnEachEngine { };

} // namespace

OV_ON_EACH_ENGINE(ServerCrash);

TEST_P(ServerCrash, EveryAcknowledgedUploadSurvivesSigkill)
{
    // A connection the killed server drops mid-upload must fail the request, not end the test:
    // newer cpp-httplib sends without MSG_NOSIGNAL, and macOS has no such flag.
    std::signal(SIGPIPE, SIG_IGN);
    ovtest::TempDir dir;
    const ovtest::TestStore store(GetParam());
    const auto errors = dir.path / "stderr.txt";
    std::mt19937 random(20240502);
    Outcome all;
    int killsDuringUploads = 0;

    auto server = std::make_unique<ServerProcess>(
        std::vector<std::string>{"--port", "0", "--db", store.location, "--uploads-per-hour", "1000000"}, errors);
    Remote remote{server->port()};
    ASSERT_GT(remote.port, 0);
    ASSERT_EQ(remote.post("/checkuserexists.php?userName=crash&emailAddr=crash@example.com").status, 200);

    for (int round = 0; round < kRounds; ++round) {
        const std::string plugin = "Crash Synth " + std::to_string(round);
        Outcome outcome;
        std::atomic<bool> killed{false};
        std::atomic<int> inFlight{0};
        std::vector<std::thread> uploaders;
        for (int u = 0; u < kUploaders; ++u)
            uploaders.emplace_back([&, u] {
                httplib::Client client("127.0.0.1", remote.port); // keep-alive, as the editor's would
                ovhttp::sendTargetsAsWritten(client);
                for (int n = 0; !killed; ++n) {
                    const std::string comment =
                        std::to_string(round) + "-" + std::to_string(u) + "-" + std::to_string(n);
                    // Files of different sizes, the larger ones well past a database page.
                    const std::string file =
                        ovtest::xmlPlist({comment, std::string(static_cast<std::size_t>(n % 7) * 900, 'x')});
                    ++inFlight;
                    const auto reply = client.Post(("/ov_upload.php?user=crash&hardware=12&plugin="
                                                    + ovtest::escape(plugin) + "&comments=" + comment)
                                                       .c_str(),
                                                   ovtest::uploadBody(file), ovtest::kUploadContentType.c_str());
                    --inFlight;
                    std::smatch id;
                    const std::lock_guard lock(outcome.mutex);
                    if (reply && reply->status == 200
                        && std::regex_search(reply->body, id, std::regex("\\(mapping ([0-9]+)\\)")))
                        outcome.accepted[std::stoll(id[1])] = {plugin, file};
                    else if (!reply)
                        outcome.unanswered[comment] = {plugin, file};
                    else
                        ADD_FAILURE() << "refused: " << reply->status << " " << reply->body;
                }
            });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 130));
        killsDuringUploads += inFlight > 0;
        server->kill();
        killed = true;
        for (auto &uploader : uploaders)
            uploader.join();

        server = std::make_unique<ServerProcess>(
            std::vector<std::string>{"--port", "0", "--db", store.location, "--uploads-per-hour", "1000000"}, errors);
        remote.port = server->port();
        ASSERT_GT(remote.port, 0) << "no restart after kill " << round;

        // Every acknowledged upload is listed exactly once; what else is listed was sent without an
        // answer; every listed file is whole.
        const auto list = nlohmann::json::parse(remote.list(plugin));
        std::multiset<long long> listed;
        for (const auto &entry : list) {
            const long long id = entry["patchID"].get<long long>();
            listed.insert(id);
            const auto found = outcome.accepted.find(id);
            const std::string comment = entry["userComments"].get<std::string>();
            const std::string fetched = remote.get("/" + entry["fileLocation"].get<std::string>()).body;
            if (found != outcome.accepted.end()) {
                EXPECT_EQ(fetched, found->second.file) << "mapping " << id << " after kill " << round;
            } else {
                ASSERT_TRUE(outcome.unanswered.count(comment)) << "listed but never sent: " << comment;
                EXPECT_EQ(fetched, outcome.unanswered[comment].file)
                    << "unanswered upload " << comment << " stored damaged";
            }
        }
        for (const auto &[id, sent] : outcome.accepted)
            EXPECT_EQ(listed.count(id), 1u) << "acknowledged mapping " << id << " after kill " << round;
        all.accepted.insert(outcome.accepted.begin(), outcome.accepted.end());
    }

    // At the end, everything acknowledged over all the rounds is still there.
    std::size_t checked = 0;
    for (const auto &[id, sent] : all.accepted) {
        EXPECT_EQ(remote.get("/files/" + std::to_string(id) + "/CSParameterOrder.plist").body, sent.file) << id;
        ++checked;
    }
    std::printf("%d kills (%d with uploads in flight), %zu acknowledged uploads all kept\n", kRounds,
                killsDuringUploads, checked);
    EXPECT_GT(checked, static_cast<std::size_t>(kRounds)); // the stream really ran between the kills
    EXPECT_GT(killsDuringUploads, kRounds / 2);
}
