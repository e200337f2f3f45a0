// The operator's admin command beside a running server: what it hides, shows, disables and enables
// is obeyed at the server's next request, and a wrong target changes nothing.

#include "ServerProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using ovtest::ServerProcess;

class Moderation : public ovtest::OnEachEngine {
protected:
    // `ovcommunity-server admin --db LOCATION words...`: its exit status; said gets what it wrote.
    int admin(const std::string &location, std::vector<std::string> words, std::string *said = nullptr)
    {
        words.insert(words.begin(), {"admin", "--db", location});
        ServerProcess command(words, dir.path / "admin.txt");
        const std::string out = command.output();
        const int status = command.waitForExit();
        if (said)
            *said = out + ovtest::fileText(dir.path / "admin.txt");
        return status;
    }
    ovtest::TempDir dir;
};
OV_ON_EACH_ENGINE(Moderation);

TEST_P(Moderation, AHiddenMappingIsGoneEverywhereButKeptAndShownAgain)
{
    ovtest::LiveServer server(GetParam());
    const std::string pin = server.createUser("ann"), file = ovtest::xmlPlist({"1 Cutoff"});
    ASSERT_EQ(server.uploadWithPin("ann", pin, "Synth", file).status, 200);
    ASSERT_EQ(server.uploadWithPin("ann", pin, "Synth", ovtest::xmlPlist({"1 Drive"})).status, 200);
    const std::string id = std::to_string(nlohmann::json::parse(server.list("Synth"))[1]["patchID"].get<long long>());
    const std::string fetch = "/files/" + id + "/CSParameterOrder.plist";
    ASSERT_EQ(server.get(fetch).body, file); // now in the server's file cache

    std::string said;
    ASSERT_EQ(admin(server.location, {"hide", id}, &said), 0) << said;
    EXPECT_EQ(nlohmann::json::parse(server.list("Synth")).size(), 1u);
    EXPECT_EQ(server.get(fetch).status, 404);
    EXPECT_EQ(server.get("/library/mapping/" + id).status, 404);
    EXPECT_EQ(server.post("/ov_downloadreg.php?patchID=" + id).status, 404);
    EXPECT_NE(server.get("/library/").body.find("1 mapping<"), std::string::npos); // Synth counts the shown one
    ASSERT_EQ(admin(server.location, {"list", "--limit", "5"}, &said), 0);
    EXPECT_NE(said.find(id + "\tann\tSynth\t2023-11-14T22:13:20Z\thidden\n"), std::string::npos) << said;

    ASSERT_EQ(admin(server.location, {"show", id}), 0);
    EXPECT_EQ(nlohmann::json::parse(server.list("Synth")).size(), 2u);
    EXPECT_EQ(server.get(fetch).body, file);

    for (const std::vector<std::string> &missing : std::vector<std::vector<std::string>>{
             {"hide", "999"}, {"show", "999"}, {"disable-user", "nobody"}, {"enable-user", "nobody"}}) {
        EXPECT_EQ(admin(server.location, missing, &said), 1) << missing[0];
        EXPECT_NE(said.find("nothing was changed"), std::string::npos) << said;
    }
    EXPECT_EQ(admin(server.location, {"hide", "twelve"}), 2);
    EXPECT_EQ(admin(server.location, {"erase", id}), 2);
    EXPECT_EQ(admin((dir.path / "typo.sqlite").string(), {"list"}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "typo.sqlite")); // a mistyped store is not made up
}

TEST_P(Moderation, ADisabledUserCannotSignInNorShareUntilEnabled)
{
    ovtest::LiveServer server(GetParam());
    const std::string pin = server.createUser("ann"), file = ovtest::xmlPlist({"1 Cutoff"});
    ASSERT_EQ(admin(server.location, {"disable-user", "ann"}), 0);
    const auto signIn = server.signIn("ann", pin);
    EXPECT_EQ(signIn.status, 403);
    EXPECT_EQ(signIn.body.rfind("\nDENIED\n", 0), 0u) << signIn.body;
    EXPECT_NE(signIn.body.find("disabled"), std::string::npos) << signIn.body;
    // Only whoever knows the PIN code learns that the name is disabled.
    EXPECT_EQ(server.signIn("ann", ovtest::wrongPin(pin)).body.find("disabled"), std::string::npos);
    for (const auto &upload :
         {server.uploadWithPin("ann", pin, "Synth", file), server.upload("ann", "Synth", "", file)})
        EXPECT_NE(upload.body.find("disabled"), std::string::npos) << upload.status << upload.body;
    EXPECT_EQ(server.list("Synth"), "[]");

    ASSERT_EQ(admin(server.location, {"enable-user", "ann"}), 0);
    EXPECT_EQ(server.signIn("ann", pin).body, "\nOK\n");
    EXPECT_EQ(server.uploadWithPin("ann", pin, "Synth", file).status, 200);
}
