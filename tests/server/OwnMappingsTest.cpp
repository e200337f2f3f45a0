// A user's own shared mappings: listed and deleted with the PIN code, by their user alone.

#include "LiveServer.h"
#include "ServerProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using Json = nlohmann::json;

namespace {

ovtest::Answer deleteMapping(const ovtest::Remote &server, const std::string &user, const std::string &pin,
                             const std::string &id)
{
    return server.post("/ov_deleteplist.php?userName=" + user + "&pinCode=" + pin + "&patchID=" + id);
}

std::string firstId(const std::string &list)
{
    return std::to_string(Json::parse(list)[0]["patchID"].get<long long>());
}

} // namespace

class OwnMappings : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(OwnMappings);

TEST_P(OwnMappings, TheUserAloneListsAndDeletesTheirOwnAndItIsGoneAtOnceWithItsBytes)
{
    const std::string file = ovtest::xmlPlist({"1 Cutoff", "2 Resonance"});
    ovserver::HandlerConfig config = ovtest::LiveServer::roomyConfig();
    config.limits.maxStoreBytes = static_cast<std::int64_t>(2 * (file.size() + std::string("ES2").size()));
    ovtest::LiveServer server(GetParam(), config);
    const std::string ann = server.createUser("ann"), bob = server.createUser("bob");
    ASSERT_EQ(server.uploadWithPin("bob", bob, "ES2", file).status, 200);
    ASSERT_EQ(server.uploadWithPin("ann", ann, "ES2", file).status, 200);
    EXPECT_EQ(server.uploadWithPin("ann", ann, "ES2", file).status, 507); // the library is full
    const std::string bobs = firstId(server.post("/ov_myplists.php?userName=bob&pinCode=" + bob).body);
    const Json own = Json::parse(server.post("/ov_myplists.php?userName=ann&pinCode=" + ann).body);
    EXPECT_EQ(own.size(), 1u);
    EXPECT_EQ(own.at(0)["plugin"], "ES2");
    const std::string anns = std::to_string(own.at(0)["patchID"].get<long long>());
    EXPECT_EQ(server.get("/files/" + anns + "/CSParameterOrder.plist").body, file); // kept in memory now

    const std::string nothing = " Nothing was deleted.";
    for (const auto &[pin, id, status, reply] :
         {std::tuple{ovtest::wrongPin(ann), anns, 403,
                     "The user name or the PIN code is not right. Please sign in again." + nothing},
          {ann, bobs, 403,
           "Shared mapping " + bobs + " was shared by another user; only they can delete it." + nothing},
          {ann, std::string("987654"), 404, "There is no shared mapping number 987654." + nothing},
          {ann, std::string("-1"), 400, std::string("The mapping number must be a whole number, such as 12.")}}) {
        const auto refused = deleteMapping(server, "ann", pin, id);
        EXPECT_EQ(refused.status, status) << id;
        EXPECT_EQ(refused.body, reply) << id;
    }
    EXPECT_EQ(Json::parse(server.list("ES2")).size(), 2u);
    EXPECT_EQ(deleteMapping(server, "ann", ann, anns).body, "Your shared mapping " + anns + " has been deleted.");
    EXPECT_EQ(server.post("/ov_myplists.php?userName=ann&pinCode=" + ann).body, "[]");
    EXPECT_EQ(firstId(server.list("ES2")), bobs);
    EXPECT_EQ(server.get("/files/" + anns + "/CSParameterOrder.plist").status, 404);
    EXPECT_EQ(server.get("/library/mapping/" + anns).status, 404);
    EXPECT_NE(server.get("/library/").body.find("ES2</a> <span class=\"count\">1 mapping<"), std::string::npos);
    EXPECT_EQ(server.uploadWithPin("ann", ann, "ES2", file).status, 200); // its room came back
}

TEST_P(OwnMappings, WrongPinCodesCountTowardTheSignInLimit)
{
    ovtest::LiveServer server(GetParam());
    const std::string pin = server.createUser("ann"), wrong = ovtest::wrongPin(pin);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(i % 2 ? deleteMapping(server, "ann", wrong, "1").status
                        : server.post("/ov_myplists.php?userName=ann&pinCode=" + wrong).status,
                  403);
    EXPECT_EQ(server.signIn("ann", pin).status, 429);
}

TEST_P(OwnMappings, ANodeStopsServingItsCopyOfAFileDeletedThroughAnother)
{
    ovtest::TempDir dir;
    const ovtest::TestStore store(GetParam());
    ovtest::ServerProcess nodeA({"--port", "0", "--db", store.location}, dir.path / "a.txt");
    ovtest::ServerProcess nodeB({"--port", "0", "--db", store.location}, dir.path / "b.txt");
    const ovtest::Remote a{nodeA.port()}, b{nodeB.port()};
    ASSERT_GT(a.port * b.port, 0) << ovtest::fileText(dir.path / "a.txt") << ovtest::fileText(dir.path / "b.txt");
    const std::string pin = a.createUser("ann");
    ASSERT_EQ(a.uploadWithPin("ann", pin, "Synth", ovtest::binaryPlist({"1 Cutoff"})).status, 200);
    const std::string id = firstId(b.list("Synth"));
    ASSERT_EQ(b.get("/files/" + id + "/CSParameterOrder.plist").status, 200);
    EXPECT_EQ(deleteMapping(a, "ann", pin, id).status, 200);
    EXPECT_EQ(b.get("/files/" + id + "/CSParameterOrder.plist").status, 404);
}
