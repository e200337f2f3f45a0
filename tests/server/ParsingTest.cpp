// The readers that every request's bytes pass through: query values, multipart bodies and
// property lists, and the handler as a whole fed with damaged requests.

#include "handler/Handler.h"
#include "LiveServer.h"
#include "handler/Multipart.h"
#include "handler/ParameterOrderCheck.h"
#include "Options.h"
#include "ServerProcess.h"
#include "Text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>

using namespace ovserver;

TEST(QueryValues, EditorShapeKeepsAmpersandsAndEqualsInsideValues)
{
    const auto params = QueryParams::parse("user=a&b&hardware=12&plugin=x=y&comments=rock & roll&c=d",
                                           {"user", "hardware", "plugin", "comments"});
    EXPECT_EQ(params.raw("user"), "a&b");
    EXPECT_EQ(params.raw("plugin"), "x=y");
    EXPECT_EQ(params.raw("comments"), "rock & roll&c=d");

    // Another order falls back to a plain split; an absent key stays absent.
    const auto plain = QueryParams::parse("pinCode=1&userName=bob&x", {"userName", "pinCode"});
    EXPECT_EQ(plain.raw("userName"), "bob");
    EXPECT_EQ(plain.raw("pinCode"), "1");
    EXPECT_EQ(plain.raw("x"), "");
    EXPECT_FALSE(plain.raw("emailAddr"));
}

TEST(QueryValues, PercentDecodingKeepsPlusAndRefusesBrokenEscapes)
{
    EXPECT_EQ(percentDecode("C++%20Synth%2b"), "C++ Synth+");
    EXPECT_EQ(percentDecode("%e2%82%AC"), "\xE2\x82\xAC");
    for (const char *broken : {"%", "%4", "%G1", "abc%2"})
        EXPECT_FALSE(percentDecode(broken)) << broken;
}

TEST(QueryValues, Utf8CheckRefusesEveryMalformedForm)
{
    for (const char *good : {"", "plain", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8E\xB9", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isValidUtf8(good)) << good;
    for (const char *bad : {"\xFF", "\xC3", "\xC3\x28", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF0\x9F\x8E", "\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    EXPECT_EQ(parseId("42"), 42);
    for (const char *bad : {"", "-1", "+1", "1e3", "0x10", "1234567890123456789"})
        EXPECT_FALSE(parseId(bad)) << bad;
    EXPECT_EQ(isoUtc(1'700'000'000), "2023-11-14T22:13:20Z");
}

TEST(Multipart, ReadsTheEditorsBodyAndCommonVariants)
{
    const auto boundary = multipartBoundary(ovtest::kUploadContentType);
    ASSERT_TRUE(boundary);
    const std::string body = ovtest::uploadBody("FILE\r\n--not-the-boundary\r\nBYTES");
    const MultipartResult editor = parseMultipart(body, *boundary);
    ASSERT_EQ(editor.error, "");
    ASSERT_EQ(editor.parts.size(), 1u);
    EXPECT_EQ(editor.parts[0].name, "userfile");
    EXPECT_EQ(editor.parts[0].filename, "CSParameterOrder.plist");
    EXPECT_EQ(editor.parts[0].contentType, "application/octet-stream");
    EXPECT_EQ(editor.parts[0].data, "FILE\r\n--not-the-boundary\r\nBYTES");

    EXPECT_EQ(multipartBoundary("Multipart/Form-Data; charset=x; boundary=\"a;b\""), "a;b");
    EXPECT_FALSE(multipartBoundary("multipart/mixed; boundary=x"));
    EXPECT_FALSE(multipartBoundary("multipart/form-data"));
    EXPECT_FALSE(multipartBoundary("multipart/form-data; boundary=" + std::string(71, 'x')));

    // No leading line break, a preamble, two parts and an epilogue.
    const std::string two =
        "preamble\r\n--b\r\ncontent-disposition: form-data; name=\"a\"\r\n\r\n1\r\n--b\r\n"
        "Content-Disposition: form-data; name=b; filename=\"x \\\"y\\\".plist\"\r\n\r\n\r\n--b--\r\nepilogue";
    const MultipartResult parsed = parseMultipart(two, "b");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.parts.size(), 2u);
    EXPECT_EQ(parsed.parts[0].data, "1");
    EXPECT_EQ(parsed.parts[1].name, "b");
    EXPECT_EQ(parsed.parts[1].filename, "x \"y\".plist");
    EXPECT_EQ(parsed.parts[1].data, "");
}

TEST(Multipart, EveryTruncationOfABodyIsRefusedWithoutReadingPastIt)
{
    const std::string body = ovtest::uploadBody("<plist/>");
    const std::string boundary = *multipartBoundary(ovtest::kUploadContentType);
    // Each prefix is copied so that a read past its end is a read past an allocation.
    for (std::size_t length = 0; length < body.size(); ++length) {
        const std::string prefix = body.substr(0, length);
        const MultipartResult result = parseMultipart(prefix, boundary);
        const bool closed = length >= body.size() - 2; // only the final line break may be missing
        EXPECT_EQ(result.error.empty(), closed) << "length " << length;
        EXPECT_EQ(result.parts.empty(), !closed) << "length " << length;
    }
    EXPECT_NE(parseMultipart("\r\n--b\r\nX-Other: 1\r\n\r\ndata\r\n--b--", "b").error, ""); // no disposition
    EXPECT_NE(parseMultipart("--b garbage\r\n", "b").error, "");
}

namespace {

// A binary property list from hand-made objects, with one-byte offsets and references.
std::string handMadeBinaryPlist(const std::vector<std::string> &objects)
{
    std::string out = "bplist00";
    std::string offsets;
    for (const auto &object : objects) {
        offsets.push_back(static_cast<char>(out.size()));
        out += object;
    }
    const std::size_t tableOffset = out.size();
    out += offsets;
    std::string trailer(32, '\0');
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    trailer[15] = static_cast<char>(objects.size());
    trailer[31] = static_cast<char>(tableOffset);
    return out + trailer;
}

// Object i is an array holding object i + 1 twice; the last one is an empty string.
std::string doublingChain(int length)
{
    std::vector<std::string> objects;
    for (int i = 0; i < length; ++i)
        objects.push_back({'\xA2', static_cast<char>(i + 1), static_cast<char>(i + 1)});
    objects.push_back("\x50");
    return handMadeBinaryPlist(objects);
}

// A parameter-order file whose array refers `entries` times to one string, as a writer that shares
// strings stores a file of empty slots: four-byte offsets, two-byte references.
std::string sharedEntryList(std::uint32_t entries)
{
    const auto bigEndian = [](std::uint64_t value, int width) {
        std::string out;
        for (int i = width - 1; i >= 0; --i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    std::string array = "\xAF\x12" + bigEndian(entries, 4);
    for (std::uint32_t i = 0; i < entries; ++i)
        array += bigEndian(3, 2);
    const std::string objects[] = {"\xD1" + bigEndian(1, 2) + bigEndian(2, 2),
                                   "\x5F\x10\x1C"
                                   "ControlSurfaceParameterOrder",
                                   array, "\x52-1"};
    std::string out = "bplist00", offsets;
    for (const auto &object : objects) {
        offsets += bigEndian(out.size(), 4);
        out += object;
    }
    const std::size_t table = out.size();
    return out + offsets + std::string(6, '\0') + "\x04\x02" + bigEndian(4, 8) + bigEndian(0, 8) + bigEndian(table, 8);
}

} // namespace

TEST(ParameterOrderFile, ALongBinaryArrayIsReadWholeUpToTheBoundAndRefusedPastIt)
{
    const ParameterOrder read = readParameterOrder(sharedEntryList(50'000));
    EXPECT_EQ(read.problem, std::nullopt);
    ASSERT_EQ(read.entries.size(), 50'000u);
    EXPECT_EQ(read.entries.back(), "-1");
    const auto refused = parameterOrderFileProblem(sharedEntryList(100'001));
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("more than 100000 entries"), std::string::npos) << *refused;
}

TEST(ParameterOrderFile, AcceptsXmlAndBinaryDictionariesWithAStringArray)
{
    EXPECT_EQ(parameterOrderFileProblem(ovtest::xmlPlist({"1 Cutoff", "-1", "12 Res \xC3\xA9"})), std::nullopt);
    EXPECT_EQ(parameterOrderFileProblem(ovtest::xmlPlist({})), std::nullopt);
    EXPECT_EQ(parameterOrderFileProblem(ovtest::binaryPlist({"1 Cutoff", "-1"})), std::nullopt);
    // Python's plistlib shares each distinct string and each container used twice, as Apple's writer does.
    for (const char *name : {"empty-slots", "ten-thousand", "shared-between-keys"})
        EXPECT_EQ(parameterOrderFileProblem(ovtest::fileText(std::string(OV_PLISTLIB_DIR "/") + name + ".bplist")),
                  std::nullopt)
            << name;
}

TEST(ParameterOrderFile, RefusesEverythingElseWithAReason)
{
    const std::string wrongElement = "<plist><dict><key>ControlSurfaceParameterOrder</key><array><string>1 A</string>"
                                     "<integer>3</integer></array></dict></plist>";
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty"},
        {"hello, world", "not a property list"},
        {R"({"ControlSurfaceParameterOrder": ["1 A"]})", "not a property list"}, // JSON
        {R"({ControlSurfaceParameterOrder = ("1 A");})", "not a property list"}, // OpenStep
        {"<plist><array><string>1 A</string></array></plist>", "root is not a dictionary"},
        {"<plist><dict><key>StoreCSUnique</key><array/></dict></plist>", "has no ControlSurfaceParameterOrder"},
        {"<plist><dict><key>ControlSurfaceParameterOrder</key><string>1</string></dict></plist>", "is not an array"},
        {wrongElement, "not a string"},
        {ovtest::xmlPlist({"1 A"}).substr(0, 120), "not a property list"},
        {ovtest::binaryPlist({"1 A"}).substr(0, 30), "binary"},
    };
    for (const auto &[bytes, reason] : cases) {
        const auto problem = parameterOrderFileProblem(bytes);
        ASSERT_TRUE(problem) << bytes;
        EXPECT_NE(problem->find(reason), std::string::npos) << *problem;
    }
}

TEST(ParameterOrderFile, HostileNestingNeitherCrashesNorExhaustsMemory)
{
    // Nested XML arrays far deeper than an 8 MiB thread stack survives in libplist.
    std::string deep = "<plist>";
    for (int i = 0; i < 400'000; ++i)
        deep += "<array>";
    EXPECT_TRUE(parameterOrderFileProblem(deep));

    const auto cycle = handMadeBinaryPlist({"\xA1\x01", "\xA1\x00"});
    EXPECT_NE(parameterOrderFileProblem(cycle)->find("binary"), std::string::npos);
    // 2^25 copies once every reference is expanded, and a chain deeper than any file needs.
    EXPECT_NE(parameterOrderFileProblem(doublingChain(25))->find("binary"), std::string::npos);
    EXPECT_NE(parameterOrderFileProblem(doublingChain(40))->find("binary"), std::string::npos);
    // A short chain passes the shape check and reaches libplist, which finds an array at the root.
    EXPECT_NE(parameterOrderFileProblem(doublingChain(8))->find("root is not a dictionary"), std::string::npos);
}

namespace {

class NoStorage final : public Storage {
    [[noreturn]] static void unavailable() { throw StorageError("no store in this test"); }

public:
    Registration createUser(const NewUser &, const VolumeLimits &) override { unavailable(); }
    std::optional<std::string> pinHash(std::string_view) override { unavailable(); }
    SignInGate openSignInCheck(std::string_view, std::int64_t, const SignInPolicy &) override { unavailable(); }
    void clearSignInFailures(std::string_view) override { unavailable(); }
    Upload addMapping(const NewMapping &, const VolumeLimits &) override { unavailable(); }
    std::int64_t uploadsSince(std::string_view, std::int64_t) override { unavailable(); }
    std::optional<std::vector<std::int64_t>> addMappings(const std::vector<NewMapping> &) override { unavailable(); }
    std::vector<MappingSummary> listMappings(std::string_view, std::size_t) override { unavailable(); }
    std::vector<OwnMapping> userMappings(std::string_view, std::size_t) override { unavailable(); }
    Deletion deleteMapping(std::int64_t, std::string_view) override { unavailable(); }
    DownloadCount registerDownload(std::int64_t, std::string_view, std::int64_t) override { unavailable(); }
    std::vector<PluginSummary> listPlugins(std::string_view, std::int64_t, std::int64_t) override { unavailable(); }
    std::optional<MappingDetails> mappingDetails(std::int64_t) override { unavailable(); }
    std::optional<std::string> mappingFile(std::int64_t) override { unavailable(); }
    bool healthy() override { return false; }
    bool setMappingHidden(std::int64_t, bool) override { unavailable(); }
    bool setUserDisabled(std::string_view, bool) override { unavailable(); }
    bool userDisabled(std::string_view) override { unavailable(); }
    bool mappingShown(std::int64_t) override { unavailable(); }
    std::vector<UploadRecord> recentUploads(std::size_t) override { unavailable(); }
    StoreFigures figures() override { unavailable(); }
};

} // namespace

class HandlerRobustness : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(HandlerRobustness);

TEST_P(HandlerRobustness, DamagedRequestsAllGetATextAnswer)
{
    const ovtest::TestStore store(GetParam());
    const auto storage = store.open();
    HandlerConfig config;
    config.reportError = [](std::string_view message) {
        ADD_FAILURE() << message;
    }; // the store itself never fails here
    const Handler handler(*storage, config);

    const std::string body = ovtest::uploadBody(ovtest::xmlPlist({"1 A"}));
    const std::string seeds[] = {"/checkuser.php",
                                 "userName=a%20b&pinCode=123456",
                                 "/x/ov_upload.php",
                                 "user=a&hardware=12&plugin=p&comments=c",
                                 "/files/1/CSParameterOrder.plist",
                                 body};
    std::mt19937 random(20240501);
    for (int round = 0; round < 3000; ++round) {
        std::string parts[3] = {seeds[round % 3 * 2], seeds[round % 3 * 2 + 1], body};
        for (auto &part : parts) {
            for (int edits = random() % 4; edits > 0 && !part.empty(); --edits)
                part[random() % part.size()] = static_cast<char>(random());
            if (random() % 8 == 0)
                part.resize(random() % (part.size() + 1));
        }
        const Reply reply = handler.handle(
            {round % 2 ? "POST" : "GET", parts[0], parts[1], ovtest::kUploadContentType, parts[2], "", ""});
        EXPECT_TRUE(reply.status == 200 || (reply.status >= 400 && reply.status <= 429)) << reply.status;
        EXPECT_FALSE(reply.bytes().empty());
    }

    // A store that fails gives 503 and a text, not an exception.
    NoStorage broken;
    config.reportError = [](std::string_view) {};
    const Handler brokenHandler(broken, config);
    const Reply reply = brokenHandler.handle({"POST", "/ov_listplists.php", "plugin=x", "", "", "", ""});
    EXPECT_EQ(reply.status, 503);
    EXPECT_EQ(brokenHandler.handle({"GET", "/healthz", "", "", "", "", ""}).status, 503);
}

TEST(ClientAddress, AForwardedAddressIsBelievedOnlyFromLoopbackOrATrustedProxy)
{
    struct Case {
        const char *peer;
        const char *forwardedFor;
        const char *client;
    };
    const Case cases[] = {
        {"203.0.113.5", "192.0.2.1", "203.0.113.5"},              // anyone can send the header
        {"127.0.0.1", "192.0.2.1, 198.51.100.2", "198.51.100.2"}, // the last one is what the proxy saw
        {"::1", " 192.0.2.1 ", "192.0.2.1"},
        {"127.0.0.1", "", "127.0.0.1"},
        {"10.0.0.2", "192.0.2.1", "192.0.2.1"}, // a trusted proxy on another machine
        {"127.0.0.1",
         "x"
         "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
         "127.0.0.1"},
        {"127.0.0.1", "2001:db8:1:2:aaaa::7", "2001:db8:1:2::/64"}, // one subscriber's network
    };
    const std::vector<std::string> trusted{"10.0.0.2"};
    for (const Case &c : cases) {
        Request request;
        request.peerAddress = c.peer;
        request.forwardedFor = c.forwardedFor;
        EXPECT_EQ(clientAddress(request, trusted), c.client) << c.peer << " / " << c.forwardedFor;
    }
}

TEST(JsonText, AnyBytesMakeAJsonStringThatReadsBackAsTheirUtf8)
{
    const auto written = [](std::string_view text) {
        std::string out;
        appendJsonString(out, text);
        return out;
    };
    EXPECT_EQ(written("rock & roll \"live\"\\\n\t\x01\x7F"), "\"rock & roll \\\"live\\\"\\\\\\n\\t\\u0001\x7F\"");
    EXPECT_EQ(written("\xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xB9"), "\"\xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xB9\"");
    // Each byte that starts no well-formed sequence becomes one U+FFFD; the bytes after it count again.
    EXPECT_EQ(written("a\xFF"
                      "b\xC3(\xED\xA0\x80"),
              "\"a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");

    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char &c : bytes)
            c = static_cast<char>(random() % 3 ? random() % 0x80 : random());
        const auto parsed = nlohmann::json::parse(written(bytes), nullptr, false);
        ASSERT_TRUE(parsed.is_string()) << written(bytes);
        if (isValidUtf8(bytes))
            EXPECT_EQ(parsed.get<std::string>(), bytes);
        else
            EXPECT_TRUE(isValidUtf8(parsed.get<std::string>()));
    }
}

TEST(StoredFiles, EveryReplyOfAFileSharesTheCachedCopy)
{
    const ovtest::TestStore store(ovtest::Engine::Sqlite);
    const auto storage = store.open();
    const Handler handler(*storage, HandlerConfig{});
    handler.handle({"POST", "/checkuserexists.php", "userName=ann&emailAddr=a%40b.c", "", "", "127.0.0.1", ""});
    const std::string file = ovtest::xmlPlist({"1 A", "-1"});
    const Reply stored = handler.handle({"POST", "/ov_upload.php", "user=ann&hardware=12&plugin=S&comments=c",
                                         ovtest::kUploadContentType, ovtest::uploadBody(file), "127.0.0.1", ""});
    ASSERT_EQ(stored.status, 200) << stored.body;
    const Request fetch{"GET", "/files/1/CSParameterOrder.plist", "", "", "", "127.0.0.1", ""};
    const Reply first = handler.handle(fetch), second = handler.handle(fetch);
    EXPECT_EQ(first.bytes(), file);
    ASSERT_NE(first.file, nullptr);
    EXPECT_EQ(first.file.get(), second.file.get()); // one copy, however many replies hold it
}

TEST(CommandLine, EachRefusedValueIsNamedWithWhatTheFlagTakes)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--port", "70000"}, "--port must be a number from 0 to 65535, not '70000'"},
        {{"--max-upload=0"}, "--max-upload must be a number of bytes from 1 to 1073741824, not '0'"},
        {{"--max-connections-per-address", "-0"},
         "--max-connections-per-address must be a number from 0 to 1000000, not '-0'"},
        {{"--idle-timeout", "5s"}, "--idle-timeout must be a number of seconds from 1 to 3600, not '5s'"},
        {{"--max-store-bytes", "10G"},
         "--max-store-bytes must be a number of bytes from 1 to 1125899906842624, not '10G'"},
        {{"--db", ""}, "--db needs a path"},
        {{"--threads"}, "option --threads needs a value"},
        {{"--require-upload-pin=yes"}, "unknown option '--require-upload-pin=yes'"},
    };
    for (const auto &[args, error] : cases)
        EXPECT_EQ(parseOptions(args, "/home/ann", nullptr).error, error) << args[0];
    const Options good =
        parseOptions({"--port=-0", "--list-limit", "7", "--trusted-proxy", "127.0.0.2", "--require-upload-pin"}, "/h",
                     nullptr)
            .options;
    EXPECT_EQ(good.port, 0);
    EXPECT_EQ(good.limits.listLimit, 7u);
    EXPECT_EQ(good.trustedProxies, std::vector<std::string>{"127.0.0.2"});
    EXPECT_TRUE(good.requireUploadPin);
    EXPECT_EQ(good.databasePath, "/h/.local/share/ovcorvanta/community.sqlite");
}
