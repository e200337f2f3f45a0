// The library's web pages in a real browser: Debian's headless Chromium loads them from a server on
// loopback, the test reads the document as the browser built it, and takes pictures of a mapping's
// page at desktop and at phone width. With OV_SCREENSHOT_DIR set the pictures go there (scripts/
// screenshot puts them into docs/); else into a temporary folder.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using ovtest::LiveServer;

namespace {

std::string findChromium()
{
    for (const char *candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (access(candidate, X_OK) == 0)
            return candidate;
    return {};
}

// Width and height of a PNG file, from its header; zeros when it is no PNG.
std::pair<unsigned, unsigned> pngSize(const std::string &bytes)
{
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    const auto number = [&](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {number(16), number(20)};
}

class Browser {
public:
    explicit Browser(std::string executable) : m_executable(std::move(executable)) { }

    // The document as the browser built it from the page, scripts run and all.
    std::string dom(const std::string &url) const { return run("--dump-dom '" + url + "'"); }

    // A picture of the page as a window of that size shows it, at that pixel density.
    void screenshot(const std::string &url, const std::filesystem::path &file, int width, int height,
                    int density = 1) const
    {
        run("--force-device-scale-factor=" + std::to_string(density) + " --window-size=" + std::to_string(width) + ","
            + std::to_string(height) + " --screenshot='" + file.string() + "' '" + url + "'");
    }

private:
    std::string run(const std::string &arguments) const
    {
        // Without its sandbox: Chromium refuses the sandbox as root and cannot set it up in many
        // containers, and the pages are the test's own, from loopback.
        const std::string command =
            "timeout 120 '" + m_executable
            + "' --headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run --user-data-dir='"
            + m_profile.path.string() + "' " + arguments + " 2>/dev/null";
        std::string output;
        FILE *pipe = popen(command.c_str(), "r");
        if (!pipe)
            return output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        pclose(pipe);
        return output;
    }

    std::string m_executable;
    ovtest::TempDir m_profile;
};

// A library with a few plug-ins, the first of them Logic's Retro Synth.
void shareSomeMappings(LiveServer &server)
{
    server.createUser("ann");
    server.createUser("Bo Lindqvist");
    const std::string retro = ovtest::readFile(OV_FIXTURES_DIR "/logic-retro-synth/CSParameterOrder.plist");
    ASSERT_EQ(
        server.upload("ann", "Retro Synth", "Filter and envelopes on the first page, the LFO on the second.", retro)
            .status,
        200);
    server.now += 3600;
    ASSERT_EQ(
        server.upload("Bo Lindqvist", "Retro Synth", "", ovtest::binaryPlist({"403 Cutoff", "404 Resonance"})).status,
        200);
    for (const char *plugin : {"Alchemy", "ChromaVerb", "Channel EQ", "Compressor", "ES2", "Vintage B3 Organ"}) {
        server.now += 600;
        ASSERT_EQ(server.upload("ann", plugin, "", ovtest::binaryPlist({"1 Volume", "2 Pan"})).status, 200);
    }
}

} // namespace

TEST(WebLibraryInABrowser, PagesBuildTheirDocumentAndDrawThePanelAtDesktopAndPhoneWidth)
{
    const std::string chromium = findChromium();
    if (chromium.empty())
        GTEST_SKIP() << "chromium is not installed (scripts/setup installs it); the browser test is skipped";
    const Browser browser(chromium);
    LiveServer server(ovtest::Engine::Sqlite);
    shareSomeMappings(server);
    const auto list = nlohmann::json::parse(server.list("Retro Synth"));
    const std::string retroId = std::to_string(list.at(1)["patchID"].get<long long>());
    const std::string library = "http://127.0.0.1:" + std::to_string(server.port) + "/library/";

    const std::string index = browser.dom(library);
    ASSERT_FALSE(index.empty()) << chromium
                                << " gave no document; run it by hand with --headless --dump-dom to see why";
    ASSERT_NE(index.find("<title>Community library</title>"), std::string::npos) << index;
    EXPECT_EQ(ovtest::occurrences(index, "<li><a href=\"/library/plugin?name="), 7u);
    EXPECT_NE(index.find(">Retro Synth</a> <span class=\"count\">2 mappings</span>"), std::string::npos);

    const std::string found = browser.dom(library + "?q=chan");
    EXPECT_EQ(ovtest::occurrences(found, "<li><a href="), 1u);
    EXPECT_NE(found.find(">Channel EQ</a>"), std::string::npos);

    const std::string plugin = browser.dom(library + "plugin?name=Retro+Synth");
    EXPECT_EQ(ovtest::occurrences(plugin, "<li><h2><a href=\"/library/mapping/"), 2u);
    EXPECT_NE(plugin.find("<p class=\"comment none\">No comment</p>"), std::string::npos);

    // The browser keeps the panel's structure: every row inside its page, every control in its row.
    const std::string mapping = browser.dom(library + "mapping/" + retroId);
    EXPECT_EQ(ovtest::occurrences(mapping, "<section class=\"page\""), 2u);
    EXPECT_EQ(ovtest::occurrences(mapping, "<div class=\"panel\"><div class=\"row\"><div class=\"control"), 2u);
    EXPECT_EQ(ovtest::occurrences(mapping, "</div></div><div class=\"row\"><div class=\"control"), 6u);
    EXPECT_EQ(ovtest::occurrences(mapping, "<div class=\"control"), 64u);
    EXPECT_NE(mapping.find("<span class=\"no\">7</span><span class=\"name\">Cutoff</span>"), std::string::npos);

    const char *const shots = std::getenv("OV_SCREENSHOT_DIR");
    const ovtest::TempDir scratch;
    const std::filesystem::path folder = shots && *shots ? std::filesystem::path(shots) : scratch.path;
    browser.screenshot(library + "mapping/" + retroId, folder / "web-library-mapping.png", 1200, 1080);
    browser.screenshot(library + "mapping/" + retroId, folder / "web-library-phone.png", 390, 844, 2);
    EXPECT_EQ(pngSize(ovtest::readFile(folder / "web-library-mapping.png")), std::make_pair(1200u, 1080u));
    EXPECT_EQ(pngSize(ovtest::readFile(folder / "web-library-phone.png")), std::make_pair(780u, 1688u));

    // Markup in a comment stays text: the browser runs no script from it.
    server.createUser("mallory");
    ASSERT_EQ(server
                  .upload("mallory", "Retro Synth",
                          "<script>document.body.setAttribute('data-pwned','1')</script><img src=x "
                          "onerror=\"document.title='pwned'\">",
                          ovtest::binaryPlist({"1 <script>document.title='pwned'</script>"}))
                  .status,
              200);
    const std::string newest =
        std::to_string(nlohmann::json::parse(server.list("Retro Synth")).at(0)["patchID"].get<long long>());
    for (const std::string &page :
         {browser.dom(library + "plugin?name=Retro+Synth"), browser.dom(library + "mapping/" + newest)}) {
        EXPECT_EQ(page.find("data-pwned=\"1\""), std::string::npos);
        EXPECT_EQ(page.find("<title>pwned"), std::string::npos);
        EXPECT_EQ(page.find("<img"), std::string::npos);
        EXPECT_NE(page.find("&lt;script&gt;document."), std::string::npos) << page;
    }
}
