// Sign-in guessing is throttled per user name, in the database; and many clients at once lose nothing.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
#include <thread>

using ovtest::LiveServer;
using ovtest::wrongPin;

class SignInThrottle : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(SignInThrottle);
class Concurrency : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(Concurrency);

TEST_P(SignInThrottle, TenFailuresLockTheNameForFifteenMinutesEvenWithTheRightPin)
{
    LiveServer server(GetParam());
    const std::string pin = server.createUser("ann");
    const std::string otherPin = server.createUser("bea");
    const std::int64_t start = server.now;
    for (int i = 0; i < 10; ++i, ++server.now)
        EXPECT_EQ(server.signIn("ann", wrongPin(pin)).status, 403);

    const auto locked = server.signIn("ann", pin);
    EXPECT_EQ(locked.status, 429);
    EXPECT_NE(locked.body, "\nOK\n");
    EXPECT_NE(locked.body.find("Too many failed sign-in attempts"), std::string::npos);
    EXPECT_EQ(server.signIn("bea", otherPin).body, "\nOK\n"); // other names are not touched

    server.now = start + 15 * 60 - 1; // all ten still inside the window
    EXPECT_EQ(server.signIn("ann", pin).status, 429);
    server.now = start + 15 * 60; // the first failure has left it
    EXPECT_EQ(server.signIn("ann", pin).body, "\nOK\n");
}

TEST_P(SignInThrottle, OneAddressGuessesAtMostThirtyTimesAndALockedNameStaysOpenToItsOwner)
{
    LiveServer server(GetParam());
    std::vector<std::string> pins;
    for (int i = 0; i < 8; ++i)
        pins.push_back(server.createUser("user" + std::to_string(i)));
    // Two addresses of one /64 network share the allowance.
    const auto guesser = server.from("2001:db8:1:2::1"), neighbour = server.from("2001:db8:1:2::99");
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ((i % 2 ? guesser : neighbour).signIn("user" + std::to_string(i % 8), wrongPin(pins[i % 8])).status,
                  403);
    const auto refused = guesser.signIn("user7", pins[7]);
    EXPECT_EQ(refused.status, 429);
    EXPECT_NE(refused.body.find("from this address"), std::string::npos) << refused.body;
    EXPECT_EQ(server.from("2001:db8:1:3::1").signIn("user7", pins[7]).body, "\nOK\n"); // another network

    // user0 signed in from 10.0.0.5 before others locked the name; 10.0.0.5 still gets in.
    const auto owner = server.from("10.0.0.5");
    EXPECT_EQ(owner.signIn("user0", pins[0]).body, "\nOK\n");
    for (int i = 0; i < 10; ++i)
        server.from("10.0.0.6").signIn("user0", wrongPin(pins[0]));
    EXPECT_EQ(server.from("10.0.0.7").signIn("user0", pins[0]).status, 429);
    EXPECT_EQ(owner.signIn("user0", pins[0]).body, "\nOK\n");
    EXPECT_EQ(server.from("10.0.0.7").signIn("user0", pins[0]).status, 429); // and the lock holds for others
    // A wrong PIN from the owner's address closes the way through the lock.
    EXPECT_EQ(owner.signIn("user0", wrongPin(pins[0])).status, 403);
    EXPECT_EQ(owner.signIn("user0", pins[0]).status, 429);
}

TEST_P(SignInThrottle, ASuccessfulSignInClearsEarlierFailures)
{
    LiveServer server(GetParam());
    const std::string pin = server.createUser("ann");
    for (int i = 0; i < 9; ++i)
        server.signIn("ann", wrongPin(pin));
    EXPECT_EQ(server.signIn("ann", pin).body, "\nOK\n");
    for (int i = 0; i < 9; ++i)
        server.signIn("ann", wrongPin(pin));
    EXPECT_EQ(server.signIn("ann", pin).body, "\nOK\n");
}

TEST_P(SignInThrottle, TheLockLivesInTheDatabaseAndHoldsUnderConcurrentGuesses)
{
    const ovtest::TestStore store(GetParam());
    std::string pin;
    {
        LiveServer first(GetParam(), 1024 * 1024, store.location);
        pin = first.createUser("ann");
        // Twenty guesses at once: exactly ten are checked, the rest are refused unchecked.
        std::vector<std::thread> guessers;
        std::atomic<int> denied{0}, throttled{0};
        for (int i = 0; i < 20; ++i)
            guessers.emplace_back([&] {
                const int status = first.signIn("ann", wrongPin(pin)).status;
                if (status == 403)
                    ++denied;
                if (status == 429)
                    ++throttled;
            });
        for (auto &guesser : guessers)
            guesser.join();
        EXPECT_EQ(denied, 10);
        EXPECT_EQ(throttled, 10);
    }
    // A second server on the same database (another node, or a restart) keeps the lock.
    LiveServer second(GetParam(), 1024 * 1024, store.location);
    EXPECT_EQ(second.signIn("ann", pin).status, 429);
    second.now += 15 * 60;
    EXPECT_EQ(second.signIn("ann", pin).body, "\nOK\n");
}

TEST_P(Concurrency, ParallelUploadsAndDownloadCountsLoseNothing)
{
    LiveServer server(GetParam());
    server.createUser("ann");
    constexpr int kThreads = 8, kEach = 25;
    std::vector<std::thread> threads;
    std::atomic<int> stored{0};
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                const std::string entry = std::to_string(t) + " " + std::to_string(i);
                stored += server.upload("ann", "Busy Synth", entry, ovtest::xmlPlist({entry})).status == 200;
            }
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(stored, kThreads * kEach);

    const auto list = nlohmann::json::parse(server.list("Busy Synth"));
    ASSERT_EQ(list.size(), static_cast<std::size_t>(kThreads * kEach));
    std::set<long long> ids;
    for (const auto &entry : list) {
        ids.insert(entry["patchID"].get<long long>());
        // Each comment names the one entry its own file holds.
        EXPECT_EQ(server.get("/" + entry["fileLocation"].get<std::string>()).body,
                  ovtest::xmlPlist({entry["userComments"].get<std::string>()}));
    }
    EXPECT_EQ(ids.size(), list.size());

    const std::string id = std::to_string(list[0]["patchID"].get<long long>());
    threads.clear();
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                server.from("10.0." + std::to_string(t) + "." + std::to_string(i))
                    .post("/ov_downloadreg.php?patchID=" + id);
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(nlohmann::json::parse(server.list("Busy Synth"))[0]["downloads"], kThreads * kEach);
}
