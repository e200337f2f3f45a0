// Two server processes on one store, as behind a load balancer: what one node takes in, the other
// lists, counts and serves, and neither loses a count or lets a guess past the shared limit.

#include "ServerProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <thread>

using ovtest::Remote;
using ovtest::ServerProcess;

class TwoNodes : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(TwoNodes);

TEST_P(TwoNodes, WhatOneNodeTakesTheOtherServesAndCounts)
{
    ovtest::TempDir dir;
    const ovtest::TestStore store(GetParam());
    ServerProcess nodeA({"--port", "0", "--db", store.location}, dir.path / "a.txt");
    ServerProcess nodeB({"--port", "0", "--db", store.location}, dir.path / "b.txt");
    const Remote a{nodeA.port()}, b{nodeB.port()};
    ASSERT_GT(a.port, 0) << ovtest::fileText(dir.path / "a.txt");
    ASSERT_GT(b.port, 0) << ovtest::fileText(dir.path / "b.txt");

    const std::string pin = a.createUser("ann");
    ASSERT_EQ(pin.size(), 6u);
    EXPECT_EQ(b.signIn("ann", pin).body, "\nOK\n");
    EXPECT_EQ(b.post("/checkuserexists.php?userName=ann&emailAddr=x@example.com").status, 409);

    const std::string file = ovtest::binaryPlist({"1 Cutoff", "2 Resonance"});
    ASSERT_EQ(a.upload("ann", "Shared Synth", "through A", file).status, 200);
    const auto list = nlohmann::json::parse(b.list("Shared Synth"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["userComments"], "through A");
    const std::string id = std::to_string(list[0]["patchID"].get<long long>());
    EXPECT_EQ(b.post("/ov_downloadreg.php?patchID=" + id).status, 200);
    EXPECT_EQ(b.get("/" + list[0]["fileLocation"].get<std::string>()).body, file);

    // Registrations from many addresses through both nodes at once: every one is counted.
    constexpr int kThreads = 8, kEach = 30;
    std::vector<std::thread> threads;
    std::atomic<int> counted{0};
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            const Remote &node = t % 2 ? a : b;
            for (int i = 0; i < kEach; ++i)
                counted += node.from("10.0." + std::to_string(t) + "." + std::to_string(i))
                               .post("/ov_downloadreg.php?patchID=" + id)
                               .body.find("counted.")
                           != std::string::npos;
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(counted, kThreads * kEach);
    EXPECT_EQ(nlohmann::json::parse(a.list("Shared Synth"))[0]["downloads"], 1 + kThreads * kEach);
    EXPECT_EQ(nlohmann::json::parse(b.list("Shared Synth"))[0]["downloads"], 1 + kThreads * kEach);

    // Guesses spread over both nodes count against one limit.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ((i % 2 ? a : b).signIn("ann", ovtest::wrongPin(pin)).status, 403) << i;
    EXPECT_EQ(a.signIn("ann", pin).status, 429);
    EXPECT_EQ(b.signIn("ann", pin).status, 429);
}
