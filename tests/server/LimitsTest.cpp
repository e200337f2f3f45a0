// What one client may do to the library: uploads prove their user with the PIN code, and each volume
// limit (uploads, registrations, list length, library size, download counts) holds, in the database.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using ovserver::HandlerConfig;
using ovtest::LiveServer;
using ovtest::wrongPin;
using Json = nlohmann::json;

class Limits : public ovtest::OnEachEngine {
protected:
    static std::string plist(int n) { return ovtest::xmlPlist({std::to_string(n) + " Cutoff"}); }
    static std::size_t listed(const LiveServer &server, const std::string &plugin)
    {
        return Json::parse(server.list(plugin)).size();
    }
};
OV_ON_EACH_ENGINE(Limits);

TEST_P(Limits, AnUploadWithAPinCodeIsStoredOnlyWhenItIsTheUsersAndWithoutOneOnlyWhenAllowed)
{
    struct Case {
        const char *name;
        bool requirePin;
        enum {
            None,
            Right,
            Wrong
        } pin;
        int status;
        const char *text;
    };
    const Case cases[] = {
        {"old editor, PIN not required", false, Case::None, 200, "has been shared"},
        {"right PIN", false, Case::Right, 200, "has been shared"},
        {"wrong PIN", false, Case::Wrong, 403, "PIN code is not right"},
        {"old editor, PIN required", true, Case::None, 403, "only with the user's PIN code"},
        {"right PIN, PIN required", true, Case::Right, 200, "has been shared"},
        {"wrong PIN, PIN required", true, Case::Wrong, 403, "PIN code is not right"},
    };
    for (const Case &c : cases) {
        HandlerConfig config = LiveServer::roomyConfig();
        config.requireUploadPin = c.requirePin;
        LiveServer server(GetParam(), config);
        const std::string pin = server.createUser("ann");
        const auto reply = c.pin == Case::None ? server.upload("ann", "Synth", "", plist(1))
                                               : server.uploadWithPin("ann", c.pin == Case::Right ? pin : wrongPin(pin),
                                                                      "Synth", plist(1));
        EXPECT_EQ(reply.status, c.status) << c.name;
        EXPECT_NE(reply.body.find(c.text), std::string::npos) << c.name << ": " << reply.body;
        EXPECT_EQ(listed(server, "Synth"), c.status == 200 ? 1u : 0u) << c.name;
    }
}

TEST_P(Limits, WrongPinCodesInUploadsCountTowardTheSignInLock)
{
    LiveServer server(GetParam());
    const std::string pin = server.createUser("ann");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(server.uploadWithPin("ann", wrongPin(pin), "Synth", plist(i)).status, 403) << i;
    EXPECT_EQ(server.signIn("ann", pin).status, 429);
    const auto locked = server.uploadWithPin("ann", pin, "Synth", plist(1));
    EXPECT_EQ(locked.status, 429);
    EXPECT_NE(locked.body.find("Too many failed sign-in attempts"), std::string::npos) << locked.body;
    EXPECT_EQ(listed(server, "Synth"), 0u);
    server.now += 15 * 60;
    EXPECT_EQ(server.uploadWithPin("ann", pin, "Synth", plist(1)).status, 200);
}

TEST_P(Limits, UploadsPerUserAndHourHoldAcrossServersOnOneStore)
{
    HandlerConfig config = LiveServer::roomyConfig();
    config.limits.uploadsPerHour = 3;
    const ovtest::TestStore store(GetParam());
    LiveServer a(GetParam(), config, store.location), b(GetParam(), config, store.location);
    a.createUser("ann");
    a.createUser("bea");
    EXPECT_EQ(a.upload("ann", "Synth", "1", plist(1)).status, 200);
    b.now += 600;
    EXPECT_EQ(b.upload("ann", "Synth", "2", plist(2)).status, 200);
    EXPECT_EQ(a.upload("ann", "Synth", "3", plist(3)).status, 200);
    const auto refused = b.upload("ann", "Synth", "4", plist(4));
    EXPECT_EQ(refused.status, 429);
    EXPECT_NE(refused.body.find("You have shared 3 mappings in the last hour"), std::string::npos) << refused.body;
    EXPECT_EQ(b.upload("ann", "Synth", "not read", "just text").status, 429); // before the file is read
    EXPECT_EQ(a.upload("bea", "Synth", "other user", plist(5)).status, 200);
    a.now += 3600; // the first upload has left the hour
    EXPECT_EQ(a.upload("ann", "Synth", "5", plist(6)).status, 200);
    EXPECT_EQ(listed(a, "Synth"), 5u);
}

TEST_P(Limits, RegistrationsPerAddressAndHour)
{
    HandlerConfig config = LiveServer::roomyConfig();
    config.limits.registrationsPerHour = 2;
    LiveServer server(GetParam(), config);
    const auto from = server.from("198.51.100.7");
    EXPECT_EQ(from.createUser("ann").size(), 6u);
    EXPECT_EQ(from.post("/checkuserexists.php?userName=ann&emailAddr=a@example.com").status, 409); // not counted
    EXPECT_EQ(from.createUser("bea").size(), 6u);
    const auto refused = from.post("/checkuserexists.php?userName=cid&emailAddr=c@example.com");
    EXPECT_EQ(refused.status, 429);
    EXPECT_NE(refused.body.find("registered from this address in the last hour (at most 2)"), std::string::npos)
        << refused.body;
    EXPECT_EQ(server.from("198.51.100.8").createUser("cid").size(), 6u);
    server.now += 3600;
    EXPECT_EQ(from.createUser("dan").size(), 6u);
}

TEST_P(Limits, AListHoldsTheNewestEntriesUpToTheLimit)
{
    HandlerConfig config = LiveServer::roomyConfig();
    config.limits.listLimit = 3;
    LiveServer server(GetParam(), config);
    server.createUser("ann");
    for (int i = 0; i < 5; ++i, ++server.now)
        ASSERT_EQ(server.upload("ann", "Synth", std::to_string(i), plist(i)).status, 200);
    const Json list = Json::parse(server.list("Synth"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]["userComments"], "4");
    EXPECT_EQ(list[2]["userComments"], "2");
}

TEST_P(Limits, AFullLibraryRefusesUploadsWith507)
{
    const std::string file = plist(1);
    const std::string plugin = "Synth", comment = "c";
    HandlerConfig config = LiveServer::roomyConfig();
    config.limits.maxStoreBytes = 2 * static_cast<std::int64_t>(file.size() + plugin.size() + comment.size());
    const ovtest::TestStore store(GetParam());
    {
        LiveServer server(GetParam(), config, store.location);
        server.createUser("ann");
        EXPECT_EQ(server.upload("ann", plugin, comment, file).status, 200);
        EXPECT_EQ(server.upload("ann", plugin, comment, file).status, 200); // exactly full
        const auto refused = server.upload("ann", plugin, comment, file);
        EXPECT_EQ(refused.status, 507);
        EXPECT_NE(refused.body.find("The community library is full"), std::string::npos) << refused.body;
    }
    // The size is kept in the store, so a restart (or another node) knows it.
    LiveServer again(GetParam(), config, store.location);
    EXPECT_EQ(again.upload("ann", plugin, comment, file).status, 507);
    EXPECT_EQ(listed(again, plugin), 2u);
}

TEST_P(Limits, ADownloadCountsOncePerAddressMappingAndDay)
{
    LiveServer server(GetParam());
    server.createUser("ann");
    ASSERT_EQ(server.upload("ann", "A", "", plist(1)).status, 200);
    ASSERT_EQ(server.upload("ann", "B", "", plist(2)).status, 200);
    const auto idOf = [&](const std::string &plugin) {
        return std::to_string(Json::parse(server.list(plugin))[0]["patchID"].get<long long>());
    };
    const auto downloads = [&](const std::string &plugin) {
        return Json::parse(server.list(plugin))[0]["downloads"].get<int>();
    };
    const auto count = [&](const std::string &address, const std::string &plugin) {
        return server.from(address).post("/ov_downloadreg.php?patchID=" + idOf(plugin));
    };
    EXPECT_EQ(count("192.0.2.1", "A").body, "Download of mapping " + idOf("A") + " counted.");
    const auto again = count("192.0.2.1", "A");
    EXPECT_EQ(again.status, 200);
    EXPECT_NE(again.body.find("counted already today"), std::string::npos) << again.body;
    count("192.0.2.2", "A");
    count("192.0.2.1", "B");
    EXPECT_EQ(downloads("A"), 2);
    EXPECT_EQ(downloads("B"), 1);
    server.now += 24 * 3600;
    count("192.0.2.1", "A");
    EXPECT_EQ(downloads("A"), 3);
}
