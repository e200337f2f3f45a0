// The whole request handling: a request built from the input goes through Handler::handle against a
// real store in a temporary folder. The input is "METHOD\nPATH\nQUERY\nCONTENT-TYPE\nBODY".
#include "handler/Handler.h"
#include "handler/Multipart.h"
#include "handler/ParameterOrderCheck.h"
#include "handler/Pin.h"
#include "storage/SqliteStorage.h"
#include "Text.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace ovserver;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const char kFile[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                     "\t<key>ControlSurfaceParameterOrder</key>\n\t<array>\n\t\t<string>1 Cutoff</string>\n"
                     "\t\t<string>2 &lt;b&gt;Drive&lt;/b&gt;</string>\n\t</array>\n</dict>\n</plist>\n";

struct Fixture {
    Fixture()
    {
        // A memory-backed folder when there is one: every change is synced to disk otherwise.
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "ovcommunity-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
        s_dir = dir;
        static const bool cleanUpAtExit = std::atexit([] {
                                              std::error_code ignored;
                                              std::filesystem::remove_all(s_dir, ignored);
                                          })
                                          == 0;
        (void)cleanUpAtExit;
        if (!pin::initialise())
            std::abort();
        storage = std::make_unique<SqliteStorage>((dir / "fuzz.sqlite").string());
        // A user with a known PIN and one mapping, so that sign-in, listing and fetching have
        // something to find.
        HandlerConfig config;
        storage->createUser({"fuzz", "fuzz@example.com", pin::hash("123456"), 1'700'000'000, "fuzz"}, config.limits);
        storage->addMapping({"fuzz", "Fuzz Synth", "<b>seed</b>", 12, 1'700'000'000, kFile}, config.limits);
        config.clock = [this] { return now++; };
        config.maxUploadBytes = 64 * 1024;
        config.reportError = [](std::string_view) {};
        handler = std::make_unique<Handler>(*storage, config);
    }

    ~Fixture()
    {
        handler.reset();
        storage.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    static inline std::filesystem::path s_dir;
    std::filesystem::path dir;
    std::unique_ptr<SqliteStorage> storage;
    std::unique_ptr<Handler> handler;
    std::int64_t now = 1'700'000'000;
};

// A fresh store every so many inputs: the inputs add users and mappings, and a store that keeps
// growing makes every listing slower.
Fixture &fixture()
{
    constexpr int kInputsPerStore = 2000;
    static Fixture *made = nullptr;
    static int inputs = 0;
    if (made && ++inputs % kInputsPerStore == 0) {
        delete made;
        made = nullptr;
    }
    if (!made)
        made = new Fixture();
    return *made;
}

std::string_view nextLine(std::string_view &input)
{
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return line;
}

// True when every tag in the page is one that the web library writes itself: a text that users gave
// (a name, a comment, a parameter in a file) never reaches a page as markup.
bool onlyOwnMarkup(std::string_view html)
{
    static const std::string_view kTags[] = {"!DOCTYPE", "html",  "head",   "meta", "title",   "style", "body",
                                             "header",   "a",     "nav",    "main", "h1",      "h2",    "p",
                                             "form",     "input", "button", "ul",   "li",      "ol",    "span",
                                             "time",     "dl",    "dt",     "dd",   "section", "div"};
    const std::size_t styleEnd = html.find("</style>");
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        if (html.compare(at, 7, "<style>") == 0 && styleEnd != std::string_view::npos)
            at = styleEnd;
        std::size_t name = at + 1;
        if (name < html.size() && html[name] == '/')
            ++name;
        const std::size_t end = html.find_first_of(" >", name);
        if (end == std::string_view::npos)
            return false;
        bool known = false;
        for (const std::string_view tag : kTags)
            known = known || html.substr(name, end - name) == tag;
        if (!known)
            return false;
    }
    return true;
}

std::string_view lastComponent(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fixture &f = fixture();

    std::string_view input(reinterpret_cast<const char *>(data), size);
    Request request;
    request.method = nextLine(input);
    request.path = nextLine(input);
    request.query = nextLine(input);
    request.contentType = nextLine(input);
    request.body = input;

    const Reply reply = f.handler->handle(request);
    const std::string_view body = reply.bytes();
    // The store is a healthy local file: a 5xx here is a fault of the handling itself.
    check(reply.status == 200 || (reply.status >= 400 && reply.status <= 429) || reply.status == 507);
    check(!body.empty() && !reply.contentType.empty());

    const auto path = percentDecode(request.path);
    const std::string_view script = path ? lastComponent(*path) : std::string_view();
    if (body == "\nOK\n")
        check(script == "checkuser.php" && reply.status == 200);
    if (reply.contentType.rfind("text/html", 0) == 0)
        check(onlyOwnMarkup(body));
    if (reply.status != 200)
        return 0;

    if (script == "ov_listplists.php") {
        const auto list = nlohmann::json::parse(body, nullptr, false);
        check(list.is_array());
        for (std::size_t i = 0; i < list.size() && i < 16; ++i) {
            const auto &entry = list[i];
            check(entry.is_object() && entry["patchID"].is_number_integer() && entry["fileLocation"].is_string()
                  && entry["userComments"].is_string());
            const auto file = f.storage->mappingFile(entry["patchID"].get<std::int64_t>());
            check(file.has_value());
        }
    } else if (script == "CSParameterOrder.plist") {
        check(!parameterOrderFileProblem(body));
    } else if (script == "ov_upload.php") {
        // What was acknowledged is stored byte for byte.
        const std::string marker = "(mapping ";
        const std::size_t at = body.rfind(marker);
        check(at != std::string::npos);
        const auto id = parseId(body.substr(at + marker.size(), body.find(')', at) - at - marker.size()));
        check(id.has_value());
        const auto boundary = multipartBoundary(request.contentType);
        check(boundary.has_value());
        const MultipartResult form = parseMultipart(request.body, *boundary);
        const FormPart *file = nullptr;
        for (const FormPart &part : form.parts)
            if (part.name == "userfile")
                file = &part;
        check(file != nullptr && f.storage->mappingFile(*id) == std::string(file->data));
    }
    return 0;
}
