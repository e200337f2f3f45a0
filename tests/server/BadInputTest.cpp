// Every refused request gets a clear text and changes nothing.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using ovtest::escape;
using ovtest::LiveServer;

namespace {

struct Refusal {
    const char *what;
    std::string target;
    std::string body;
    int status;
    const char *says; // a piece of the reply text
};

class BadInput : public ovtest::OnEachEngine {
protected:
    void SetUp() override
    {
        OnEachEngine::SetUp();
        if (IsSkipped())
            return;
        live = std::make_unique<LiveServer>(GetParam(), 4096);
        live->createUser("ann");
        EXPECT_EQ(live->upload("ann", "Synth", "kept", ovtest::xmlPlist({"1 A"})).status, 200);
        before = state();
    }

    // What a refusal must leave alone: the list with its download counts.
    std::string state() const { return live->list("Synth"); }

    void expectRefused(const Refusal &refusal, const std::string &contentType = ovtest::kUploadContentType)
    {
        const auto answer = live->post(refusal.target, refusal.body, contentType);
        EXPECT_EQ(answer.status, refusal.status) << refusal.what << ": " << answer.body;
        EXPECT_NE(answer.body.find(refusal.says), std::string::npos) << refusal.what << ": " << answer.body;
        EXPECT_NE(answer.body, "\nOK\n") << refusal.what;
        EXPECT_EQ(state(), before) << refusal.what;
    }

    static std::string uploadTarget(const std::string &user, const std::string &plugin, const std::string &comments)
    {
        return "/ov_upload.php?user=" + user + "&hardware=12&plugin=" + plugin + "&comments=" + comments;
    }

    std::unique_ptr<LiveServer> live;
    std::string before;
};

} // namespace

OV_ON_EACH_ENGINE(BadInput);

TEST_P(BadInput, UploadsThatAreRefused)
{
    const std::string good = ovtest::uploadBody(ovtest::xmlPlist({"1 A"}));
    const std::string target = uploadTarget("ann", "Synth", "c");
    const std::string boundary = "---------------------------14737809831466499882746641449";
    const Refusal refusals[] = {
        {"file over the limit", target, ovtest::uploadBody(ovtest::xmlPlist({std::string(5000, 'x')})), 413,
         "larger than the limit of 4096 bytes"},
        {"body far over the limit", target, std::string(200'000, 'x'), 413, "larger than the limit"},
        {"not a property list", target, ovtest::uploadBody("just text"), 400, "not a property list"},
        {"array at the root", target, ovtest::uploadBody("<plist><array/></plist>"), 400, "not a dictionary"},
        {"no parameter order", target, ovtest::uploadBody("<plist><dict/></plist>"), 400,
         "no ControlSurfaceParameterOrder"},
        {"empty file", target, ovtest::uploadBody(""), 400, "empty"},
        {"other field name", target,
         "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"x\"\r\n\r\n<plist/>\r\n--"
             + boundary + "--\r\n",
         400, "no file field named \"userfile\""},
        {"two files", target,
         good.substr(0, good.size() - 4) + "\r\nContent-Disposition: form-data; name=\"userfile\"\r\n\r\nx\r\n--"
             + boundary + "--\r\n",
         400, "more than one"},
        {"unclosed body", target, good.substr(0, good.size() - 20), 400, "closing boundary"},
        {"unknown user", uploadTarget("nobody", "Synth", "c"), good, 404, "no community user named 'nobody'"},
        // The user is looked up before the file is read.
        {"unknown user, no file", uploadTarget("nobody", "Synth", "c"), ovtest::uploadBody("just text"), 404,
         "no community user"},
        {"no plug-in", "/ov_upload.php?user=ann&hardware=12&comments=c", good, 400, "no plug-in name"},
        {"empty plug-in", uploadTarget("ann", "", "c"), good, 400, "plug-in name is empty"},
        {"plug-in over 200 bytes", uploadTarget("ann", std::string(201, 'p'), "c"), good, 400, "longer than 200 bytes"},
        {"comment over 2000 bytes", uploadTarget("ann", "Synth", std::string(2001, 'c')), good, 400,
         "longer than 2000 bytes"},
        {"plug-in not UTF-8", uploadTarget("ann", "Synth%FF", "c"), good, 400, "not valid UTF-8"},
        {"comment not UTF-8", uploadTarget("ann", "Synth", "%C3%28"), good, 400, "not valid UTF-8"},
        {"user not UTF-8", uploadTarget("%ED%A0%80", "Synth", "c"), good, 400, "not valid UTF-8"},
        {"broken escape", uploadTarget("ann", "Synth%G1", "c"), good, 400, "not properly percent-encoded"},
        {"control character", uploadTarget("ann", "Syn%01th", "c"), good, 400, "control characters"},
        {"hardware not a number", "/ov_upload.php?user=ann&hardware=x&plugin=Synth&comments=c", good, 400,
         "whole number"},
    };
    for (const auto &refusal : refusals)
        expectRefused(refusal);
    expectRefused({"not multipart", target, good, 400, "multipart/form-data"}, "application/octet-stream");

    // The limits themselves are allowed.
    EXPECT_EQ(live->upload("ann", std::string(200, 'p'), std::string(2000, 'c'), ovtest::xmlPlist({"1 A"})).status,
              200);
}

TEST_P(BadInput, OtherRequestsThatAreRefused)
{
    const Refusal refusals[] = {
        {"sign-in without PIN", "/checkuser.php?userName=ann", "", 400, "no PIN code"},
        {"sign-in with empty name", "/checkuser.php?userName=&pinCode=123456", "", 400, "user name is empty"},
        {"list without plug-in", "/ov_listplists.php", "", 400, "no plug-in name"},
        {"list with bad UTF-8", "/ov_listplists.php?plugin=%C0%AF", "", 400, "not valid UTF-8"},
        {"download without number", "/ov_downloadreg.php", "", 400, "no mapping number"},
        {"download of an unknown number", "/ov_downloadreg.php?patchID=999", "", 404, "no shared mapping number 999"},
        {"download, not a number", "/ov_downloadreg.php?patchID=1%20OR%201=1", "", 400, "whole number"},
        {"download, negative", "/ov_downloadreg.php?patchID=-1", "", 400, "whole number"},
    };
    for (const auto &refusal : refusals)
        expectRefused(refusal, "");
}

TEST_P(BadInput, NewUsersThatAreRefusedAreNotCreated)
{
    const Refusal refusals[] = {
        {"no e-mail", "/checkuserexists.php?userName=bea", "", 400, "no e-mail address"},
        {"odd e-mail", "/checkuserexists.php?userName=bea&emailAddr=bea.example.com", "", 400, "does not look like"},
        {"reserved name", "/checkuserexists.php?userName=NOONEHERE&emailAddr=a@b.c", "", 400, "reserved"},
        {"leading space", "/checkuserexists.php?userName=%20bea&emailAddr=a@b.c", "", 400, "begin or end with a space"},
        {"name with a line feed", "/checkuserexists.php?userName=b%0Aea&emailAddr=a@b.c", "", 400,
         "control characters"},
        {"name too long", "/checkuserexists.php?userName=" + std::string(65, 'b') + "&emailAddr=a@b.c", "", 400,
         "longer than 64"},
    };
    for (const auto &refusal : refusals)
        expectRefused(refusal, "");
    // None of those names was taken.
    EXPECT_EQ(live->createUser("bea").size(), 6u);
    EXPECT_EQ(live->createUser(std::string(64, 'b')).size(), 6u);
}
