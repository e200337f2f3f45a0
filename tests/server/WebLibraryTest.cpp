// The library's web pages on both engines: what they list and draw, that no text from users reaches
// the page as markup, and what an address that leads nowhere gets.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdio>

using ovtest::LiveServer;
using ovtest::TestStore;
using Json = nlohmann::json;

namespace {

class WebLibrary : public ovtest::OnEachEngine { };

// Every byte but letters and digits as %XX, as a browser's form would send a value.
std::string formEncoded(const std::string &value)
{
    std::string out;
    for (const char c : value) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            out += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            out += escaped;
        }
    }
    return out;
}

// The mapping numbers of a plug-in, newest first, from the editor's list.
std::vector<std::string> ids(const LiveServer &server, const std::string &plugin, const std::string &base = "/")
{
    std::vector<std::string> result;
    for (const auto &entry : Json::parse(server.list(plugin, base)))
        result.push_back(std::to_string(entry["patchID"].get<long long>()));
    return result;
}

} // namespace

OV_ON_EACH_ENGINE(WebLibrary);

TEST_P(WebLibrary, ListsPluginsThenTheirMappingsNewestFirstThenDrawsAMappingAsThePanel)
{
    LiveServer server(GetParam());
    const std::string base = "/community/lib/";
    server.createUser("ann", base);
    server.createUser("bob", base);
    const std::string retro = ovtest::readFile(OV_FIXTURES_DIR "/logic-retro-synth/CSParameterOrder.plist");
    ASSERT_EQ(server.upload("ann", "Retro Synth", "first", retro, base).status, 200);
    server.now += 60;
    ASSERT_EQ(server.upload("bob", "Retro Synth", "second", ovtest::binaryPlist({"1 Cutoff"}), base).status, 200);
    ASSERT_EQ(server.upload("ann", "ES2", "", retro, base).status, 200);
    const std::vector<std::string> retroIds = ids(server, "Retro Synth", base);
    ASSERT_EQ(retroIds.size(), 2u);

    // The plug-ins by name with their counts; every link keeps the base path.
    const auto index = server.get(base + "library/");
    ASSERT_EQ(index.status, 200);
    EXPECT_NE(index.body.find("<meta name=\"viewport\""), std::string::npos);
    const auto es2 =
        index.body.find("href=\"/community/lib/library/plugin?name=ES2\">ES2</a> <span class=\"count\">1 mapping<");
    const auto synth = index.body.find(
        "href=\"/community/lib/library/plugin?name=Retro%20Synth\">Retro Synth</a> <span class=\"count\">2 mappings<");
    ASSERT_NE(es2, std::string::npos) << index.body;
    ASSERT_NE(synth, std::string::npos);
    EXPECT_LT(es2, synth);

    // A search finds a part of a name in either case, as a browser's form sends it; '%' is no wildcard.
    const auto found = server.get(base + "library/?q=tro+SYN");
    EXPECT_EQ(ovtest::occurrences(found.body, "plugin?name="), 1u);
    EXPECT_NE(found.body.find(">Retro Synth</a>"), std::string::npos);
    EXPECT_NE(found.body.find("value=\"tro SYN\""), std::string::npos);
    EXPECT_EQ(ovtest::occurrences(server.get(base + "library/?q=R%25S").body, "plugin?name="), 0u);

    // A plug-in's mappings, newest first, with user, date, downloads and comment.
    ASSERT_EQ(server.post(base + "ov_downloadreg.php?patchID=" + retroIds[1]).status, 200);
    const auto plugin = server.get(base + "library/plugin?name=Retro+Synth");
    ASSERT_EQ(plugin.status, 200);
    const auto newest = plugin.body.find("<a href=\"/community/lib/library/mapping/" + retroIds[0] + "\">");
    const auto oldest = plugin.body.find("<a href=\"/community/lib/library/mapping/" + retroIds[1] + "\">");
    ASSERT_NE(newest, std::string::npos) << plugin.body;
    ASSERT_NE(oldest, std::string::npos);
    EXPECT_LT(newest, oldest);
    EXPECT_NE(plugin.body.find("by <span class=\"user\">ann</span> \xC2\xB7 <time datetime=\"2023-11-14T22:13:20Z\">"
                               "2023-11-14 22:13 UTC</time> \xC2\xB7 <span class=\"downloads\">1 download</span></p>"
                               "<p class=\"comment\">first</p>"),
              std::string::npos);

    // Logic's Retro Synth file: 62 entries make two pages of four rows of eight controls.
    const auto mapping = server.get(base + "library/mapping/" + retroIds[1]);
    ASSERT_EQ(mapping.status, 200);
    EXPECT_EQ(ovtest::occurrences(mapping.body, "<section class=\"page\""), 2u);
    EXPECT_EQ(ovtest::occurrences(mapping.body, "<div class=\"row\">"), 8u);
    EXPECT_EQ(ovtest::occurrences(mapping.body, "<div class=\"control"), 64u);
    EXPECT_NE(mapping.body.find("<h2>Page 2 of 2</h2>"), std::string::npos);
    EXPECT_NE(mapping.body.find("title=\"Cutoff\"><span class=\"no\">7</span><span class=\"name\">Cutoff</span>"),
              std::string::npos);
    // The two slots after the file's last entry are empty.
    EXPECT_EQ(ovtest::occurrences(mapping.body, "<div class=\"control empty\" title=\"-\">"), 2u);
    const std::string download = "href=\"/community/lib/files/" + retroIds[1] + "/CSParameterOrder.plist\"";
    ASSERT_NE(mapping.body.find(download), std::string::npos);
    EXPECT_EQ(server.get(base + "files/" + retroIds[1] + "/CSParameterOrder.plist").body, retro);
    // Reading the pages counts no download.
    EXPECT_EQ(Json::parse(server.list("Retro Synth", base))[1]["downloads"], 1);
}

TEST_P(WebLibrary, ALongMappingIsDrawnSixteenPagesAtATimeWithLongNamesCut)
{
    LiveServer server(GetParam());
    server.createUser("ann");
    std::vector<std::string> entries(40 * 32, "-1");
    entries[0] = "1 " + std::string(300, 'n');
    ASSERT_EQ(server.upload("ann", "Big", "", ovtest::xmlPlist(entries)).status, 200);
    const std::string address = "/library/mapping/" + ids(server, "Big", "/")[0];

    const auto first = server.get(address);
    EXPECT_EQ(ovtest::occurrences(first.body, "<section class=\"page\""), 16u);
    EXPECT_NE(first.body.find("<h2>Page 16 of 40</h2>"), std::string::npos);
    EXPECT_EQ(first.body.find(std::string(101, 'n')), std::string::npos);
    EXPECT_NE(first.body.find(std::string(100, 'n') + "\xE2\x80\xA6"), std::string::npos);
    EXPECT_NE(first.body.find("href=\"" + address + "?pages=2\">Next pages</a>"), std::string::npos);
    const auto last = server.get(address + "?pages=3");
    EXPECT_EQ(ovtest::occurrences(last.body, "<section class=\"page\""), 8u);
    EXPECT_NE(last.body.find("<h2>Page 33 of 40</h2>"), std::string::npos);
    EXPECT_NE(last.body.find("?pages=2\">Previous pages</a>"), std::string::npos);
    EXPECT_EQ(server.get(address + "?pages=4").status, 404);
}

TEST_P(WebLibrary, NoTextFromUsersReachesAPageAsMarkup)
{
    LiveServer server(GetParam());
    const std::string hostile = "<script>alert(\"x\")</script>&'";
    const std::string shown = "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39;";
    server.createUser("<b>bob</b>");
    ASSERT_EQ(
        server.upload("<b>bob</b>", hostile, hostile + "\nline two", ovtest::binaryPlist({"1 " + hostile})).status,
        200);
    const std::string id = ids(server, hostile).at(0);

    for (const std::string &target : {std::string("/library/"), "/library/plugin?name=" + formEncoded(hostile),
                                      "/library/mapping/" + id, "/library/?q=" + formEncoded(hostile)}) {
        const auto page = server.get(target);
        ASSERT_EQ(page.status, 200) << target;
        EXPECT_EQ(page.body.find("<script"), std::string::npos) << target;
        EXPECT_EQ(page.body.find("<b>"), std::string::npos) << target;
        EXPECT_NE(page.body.find(shown), std::string::npos) << target;
    }
    const auto mapping = server.get("/library/mapping/" + id).body;
    EXPECT_NE(mapping.find("title=\"" + shown + "\""), std::string::npos); // the parameter's name
    EXPECT_NE(mapping.find("&lt;b&gt;bob&lt;/b&gt;"), std::string::npos);
}

TEST_P(WebLibrary, AddressesThatLeadNowhereGetAPageThatSaysSo)
{
    const TestStore store(GetParam());
    {
        const auto storage = store.open();
        ASSERT_EQ(storage->createUser({"ann", "ann@example.com", "hash", 1, "10.0.0.1"}, {}),
                  ovserver::Registration::Created);
        // An import is not checked as an upload is: a file that is no parameter-order file.
        ASSERT_TRUE(storage->addMappings({{"ann", "Broken", "", 12, 5, "not a property list"}}));
    }
    LiveServer server(GetParam(), 1024 * 1024, store.location);
    const std::string broken = ids(server, "Broken").at(0);
    const auto damaged = server.get("/library/mapping/" + broken);
    EXPECT_EQ(damaged.status, 200);
    EXPECT_NE(damaged.body.find("cannot be drawn as a panel: The file is not a property list"), std::string::npos);
    EXPECT_NE(damaged.body.find("files/" + broken + "/CSParameterOrder.plist"), std::string::npos);

    const struct {
        std::string target;
        int status;
        std::string says;
    } cases[] = {
        {"/library/plugin?name=Nobody", 404, "No mappings are shared for \xE2\x80\x9CNobody\xE2\x80\x9D."},
        {"/library/plugin", 404, "names no plug-in"},
        {"/library/mapping/999999", 404, "no shared mapping at this address"},
        {"/library/mapping/-1", 404, "no shared mapping at this address"},
        {"/library/?q=%ZZ", 400, "at most 200 bytes"},
        {"/library/?q=%00", 400, "at most 200 bytes"},
        {"/library/?q=" + std::string(201, 'a'), 400, "at most 200 bytes"},
        {"/library/?page=0", 404, "no page of that number"},
        {"/library/?page=2", 200, "There are no more plug-ins."},
        {"/library/else", 404, "There is nothing at this address."},
    };
    for (const auto &[target, status, says] : cases) {
        const auto page = server.get(target);
        EXPECT_EQ(page.status, status) << target;
        EXPECT_NE(page.body.find(says), std::string::npos) << target << "\n" << page.body;
    }
    EXPECT_EQ(server.post("/library/").status, 405);
    // An address that starts with two slashes must not make links that lead to another host.
    const auto elsewhere = server.get("//elsewhere.example/library/");
    EXPECT_EQ(elsewhere.status, 200);
    EXPECT_EQ(elsewhere.body.find("\"//"), std::string::npos);
    EXPECT_NE(elsewhere.body.find("href=\"/elsewhere.example/library/\""), std::string::npos);
}

TEST_P(WebLibrary, TheStoreCountsMappingsByPluginAndSearchesForTheLiteralText)
{
    const TestStore store(GetParam());
    const auto storage = store.open();
    ASSERT_EQ(storage->createUser({"ann", "ann@example.com", "hash", 1, "10.0.0.1"}, {}),
              ovserver::Registration::Created);
    std::vector<ovserver::NewMapping> mappings;
    for (const char *plugin : {"Amp 50%", "Bassy1", "Amp 50%", "Bass_1", "Amp 50x", "Chorus"})
        mappings.push_back({"ann", plugin, "note", 12, 7, "file"});
    const auto added = storage->addMappings(mappings);
    ASSERT_TRUE(added);

    const auto names = [&](std::string_view search, std::int64_t offset = 0, std::int64_t limit = 10) {
        std::vector<std::string> result;
        for (const auto &plugin : storage->listPlugins(search, offset, limit))
            result.push_back(plugin.name + " " + std::to_string(plugin.mappings));
        return result;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names(""), (Names{"Amp 50% 2", "Amp 50x 1", "Bass_1 1", "Bassy1 1", "Chorus 1"}));
    EXPECT_EQ(names("", 1, 2), (Names{"Amp 50x 1", "Bass_1 1"}));
    EXPECT_EQ(names("50%"), (Names{"Amp 50% 2"}));
    EXPECT_EQ(names("s_1"), (Names{"Bass_1 1"}));
    EXPECT_EQ(names("aMP"), (Names{"Amp 50% 2", "Amp 50x 1"}));
    EXPECT_EQ(names("\\"), Names{});
    if (GetParam() == ovtest::Engine::Postgres) { // SQLite's LIKE folds ASCII letters only
        ASSERT_EQ(storage->addMapping({"ann", "Über Drive", "", 12, 8, "file"}, {}).outcome,
                  ovserver::Upload::Outcome::Stored);
        EXPECT_EQ(names("üBER"), (Names{"Über Drive 1"}));
        store.execute("DELETE FROM mappings WHERE plugin = 'Über Drive';");
    }
    // The counts follow every change to the mappings, also one made behind the server's back.
    ASSERT_EQ(storage->addMapping({"ann", "Chorus", "", 12, 8, "file"}, {}).outcome, ovserver::Upload::Outcome::Stored);
    store.execute("DELETE FROM mappings WHERE plugin = 'Bass_1'; UPDATE mappings SET plugin = 'Bassy1' WHERE plugin = "
                  "'Amp 50x';");
    EXPECT_EQ(names(""), (Names{"Amp 50% 2", "Bassy1 2", "Chorus 2"}));

    const auto details = storage->mappingDetails(added->back());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->plugin, "Chorus");
    EXPECT_EQ(details->summary.user, "ann");
    EXPECT_EQ(details->summary.comments, "note");
    EXPECT_EQ(details->file, "file");
    EXPECT_FALSE(storage->mappingDetails(999'999));
}

TEST_P(WebLibrary, ALongListOfPluginsTurnsPagesAndKeepsTheSearch)
{
    const TestStore store(GetParam());
    {
        const auto storage = store.open();
        ASSERT_EQ(storage->createUser({"ann", "ann@example.com", "hash", 1, "10.0.0.1"}, {}),
                  ovserver::Registration::Created);
        std::vector<ovserver::NewMapping> mappings;
        for (int i = 0; i < 101; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Synth %03d", i);
            mappings.push_back({"ann", name, "", 12, 5, "file"});
        }
        ASSERT_TRUE(storage->addMappings(mappings));
    }
    LiveServer server(GetParam(), 1024 * 1024, store.location);
    const auto first = server.get("/library/?q=synth");
    EXPECT_EQ(ovtest::occurrences(first.body, "plugin?name="), 100u);
    EXPECT_EQ(first.body.find("rel=\"prev\""), std::string::npos);
    EXPECT_NE(first.body.find("<a rel=\"next\" href=\"/library/?q=synth&amp;page=2\">"), std::string::npos);
    const auto second = server.get("/library/?q=synth&page=2");
    EXPECT_EQ(ovtest::occurrences(second.body, "plugin?name="), 1u);
    EXPECT_NE(second.body.find(">Synth 100</a>"), std::string::npos);
    EXPECT_NE(second.body.find("<a rel=\"prev\" href=\"/library/?q=synth&amp;page=1\">"), std::string::npos);
    EXPECT_EQ(second.body.find("rel=\"next\""), std::string::npos);
}
