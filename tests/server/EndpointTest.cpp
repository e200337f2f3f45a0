// The six requests of the editor over real HTTP, as the editor sends them.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

using ovtest::LiveServer;
using Json = nlohmann::json;

class Endpoints : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(Endpoints);

TEST_P(Endpoints, NewUserGetsAPinThatSignsInWithExactlyTheOkReply)
{
    LiveServer server(GetParam());
    const std::string pin = server.createUser("Ann Example");
    ASSERT_EQ(pin.size(), 6u);
    EXPECT_EQ(server.signIn("Ann Example", pin).body, "\nOK\n");
    EXPECT_EQ(server.signIn("Ann Example", pin).status, 200);

    // A taken name is refused and the account keeps its PIN.
    const auto taken = server.post("/checkuserexists.php?userName=Ann%20Example&emailAddr=other@example.com");
    EXPECT_EQ(taken.status, 409);
    EXPECT_NE(taken.body.find("already taken"), std::string::npos);
    EXPECT_EQ(server.signIn("Ann Example", pin).body, "\nOK\n");

    for (const auto &[name, code] : {std::pair<std::string, std::string>{"Ann Example", ovtest::wrongPin(pin)},
                                     {"ann example", pin},
                                     {"Ann Example ", pin},
                                     {"Nobody", pin},
                                     {"Ann Example", pin + "0"},
                                     {"Ann Example", " " + pin}}) {
        const auto refused = server.signIn(name, code);
        EXPECT_NE(refused.body, "\nOK\n") << name << "/" << code;
        EXPECT_EQ(refused.status, 403);
    }
}

TEST_P(Endpoints, UploadListRegisterAndFetchRoundTrip)
{
    LiveServer server(GetParam());
    server.createUser("ann");
    const std::string xml = ovtest::xmlPlist({"1 Cutoff", "-1", "7 Res"});
    const std::string binary = ovtest::binaryPlist({"2 Drive"});
    const auto first = server.upload("ann", "Retro Synth", "first one", xml);
    EXPECT_EQ(first.status, 200);
    EXPECT_NE(first.body.find("'Retro Synth' has been shared"), std::string::npos);
    server.now += 60;
    EXPECT_EQ(server.upload("ann", "Retro Synth", "", binary).status, 200);
    server.now += 60;
    EXPECT_EQ(server.upload("ann", "Retro Synth 2", "other plug-in", xml).status, 200);

    const Json list = Json::parse(server.list("Retro Synth"));
    ASSERT_EQ(list.size(), 2u); // exactly that plug-in, newest first
    EXPECT_EQ(list[0]["userComments"], "");
    EXPECT_EQ(list[0]["uploaded"], "2023-11-14T22:14:20Z");
    EXPECT_EQ(list[1]["userComments"], "first one");
    EXPECT_EQ(list[1]["user"], "ann");
    EXPECT_EQ(list[1]["uploaded"], "2023-11-14T22:13:20Z");
    EXPECT_EQ(list[1]["downloads"], 0);
    ASSERT_TRUE(list[1]["patchID"].is_number_integer());
    const std::string id = std::to_string(list[1]["patchID"].get<long long>());
    EXPECT_EQ(list[1]["fileLocation"], "files/" + id + "/CSParameterOrder.plist");

    // The file comes back byte for byte under the base URL, binary ones too, again and again, and
    // the reply says that it never changes.
    for (int again = 0; again < 2; ++again) {
        const auto fetched = server.get("/" + list[1]["fileLocation"].get<std::string>());
        EXPECT_EQ(fetched.body, xml);
        EXPECT_EQ(fetched.cacheControl, "public, max-age=31536000, immutable");
        EXPECT_EQ(server.get("/" + list[0]["fileLocation"].get<std::string>()).body, binary);
    }

    EXPECT_EQ(server.post("/ov_downloadreg.php?patchID=" + id).status, 200);
    EXPECT_EQ(server.from("203.0.113.9").post("/ov_downloadreg.php?patchID=" + id).status, 200);
    EXPECT_EQ(Json::parse(server.list("Retro Synth"))[1]["downloads"], 2);

    EXPECT_EQ(server.list("Unknown Plug-in"), "[]");
    EXPECT_EQ(server.list("retro synth"), "[]");
}

// A node keeps the files it served, but not that a file was missing: the next upload may bring it.
TEST_P(Endpoints, AFileAskedForBeforeItIsStoredIsServedOnceItIs)
{
    LiveServer server(GetParam());
    server.createUser("ann");
    ASSERT_EQ(server.upload("ann", "Synth", "", ovtest::xmlPlist({"1 Cutoff"})).status, 200);
    const long long first = Json::parse(server.list("Synth"))[0]["patchID"].get<long long>();
    const std::string next = "/files/" + std::to_string(first + 1) + "/CSParameterOrder.plist";
    const auto missing = server.get(next);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.cacheControl, "");

    const std::string file = ovtest::xmlPlist({"2 Drive"});
    ASSERT_EQ(server.upload("ann", "Synth", "", file).status, 200);
    ASSERT_EQ(Json::parse(server.list("Synth"))[0]["patchID"].get<long long>(), first + 1);
    EXPECT_EQ(server.get(next).body, file);
}

TEST_P(Endpoints, ValuesKeepTheCharactersTheEditorLeavesUnescaped)
{
    LiveServer server(GetParam());
    server.createUser("R&B=fan+1");
    const std::string comment = "rock & roll = 100% fun + C++\n\xC3\xA9t\xC3\xA9";
    ASSERT_EQ(server.upload("R&B=fan+1", "Bass & Drums=2", comment, ovtest::xmlPlist({"1 A"})).status, 200);
    const Json list = Json::parse(server.list("Bass & Drums=2"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["userComments"], comment);
    EXPECT_EQ(list[0]["user"], "R&B=fan+1");
}

TEST_P(Endpoints, AnswerUnderAnyBasePathAndNothingElse)
{
    LiveServer server(GetParam());
    for (const std::string base : {"/", "/community/lib/", "/a/b/c/"}) {
        const std::string user = "user" + std::to_string(base.size());
        const std::string pin = server.createUser(user, base);
        EXPECT_EQ(server.signIn(user, pin, base).body, "\nOK\n") << base;
        EXPECT_EQ(server.upload(user, "Base " + base, "", ovtest::xmlPlist({"1 A"}), base).status, 200) << base;
        const Json list = Json::parse(server.list("Base " + base, base));
        ASSERT_EQ(list.size(), 1u) << base;
        EXPECT_EQ(server.get(base + list[0]["fileLocation"].get<std::string>()).status, 200) << base;
        EXPECT_EQ(server.get(base + "healthz").body, "ok") << base;
        EXPECT_EQ(server.get(base + "ov_listplists.php?plugin=x").body, "[]") << base; // GET is taken too
    }

    for (const char *target : {"/", "/index.html", "/checkuser.php/", "/checkuser.phpx",
                               "/files/999/CSParameterOrder.plist", "/files/abc/CSParameterOrder.plist",
                               "/files/1/other.plist", "/files/1/", "/../files/1/CSParameterOrder.plist%00", "/%ZZ"}) {
        const auto answer = server.get(target);
        EXPECT_EQ(answer.status, 404) << target;
        EXPECT_FALSE(answer.body.empty()) << target;
    }
    EXPECT_EQ(server.send("DELETE", "/checkuser.php?userName=a&pinCode=1").status, 405);
    EXPECT_EQ(server.send("PUT", "/ov_upload.php").status, 405);
    EXPECT_EQ(server.post("/files/1/CSParameterOrder.plist").status, 405);
}

TEST_P(Endpoints, LogHasOneShortLinePerRequestAndNeverAPinOrAnEmailAddress)
{
    LiveServer server(GetParam());
    const std::string pin = server.createUser("ann"); // with someone@example.com
    server.post("/checkuser.php?userName=ann&pinCode=" + pin);
    server.post("/checkuser.php?userName=ann&pinCode=9" + pin + "&pinCode=" + pin);
    server.upload("ann", "Synth", std::string(2000, 'c'), ovtest::xmlPlist({"1 A"}));
    std::vector<std::string> lines;
    for (int wait = 0; wait < 100 && lines.size() < 4; ++wait) { // the line is written after the reply
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lines = server.logLines();
    }
    ASSERT_EQ(lines.size(), 4u);
    int signIns = 0;
    for (const auto &line : lines) {
        EXPECT_EQ(line.find(pin), std::string::npos) << line;
        EXPECT_EQ(line.find("example.com"), std::string::npos) << line;
        EXPECT_LT(line.size(), 400u) << line;
        signIns += line.find("\"POST /checkuser.php?userName=ann&pinCode=[hidden]\" 200 4B") != std::string::npos;
    }
    EXPECT_EQ(signIns, 1);
    EXPECT_NE(lines[0].find("&emailAddr=[hidden]\" 200"), std::string::npos) << lines[0];
    EXPECT_NE(lines[3].find("&comments=" + std::string(200, 'c') + "...\" 200"), std::string::npos) << lines[3];
}
