#include "handler/WebLibrary.h"

#include "handler/ParameterOrderCheck.h"
#include "Text.h"

#include <span>

namespace ovserver {

namespace {

constexpr std::string_view kHtmlType = "text/html; charset=utf-8";
// A search as long as a plug-in name may be.
constexpr std::size_t kMaxSearchBytes = 200;
constexpr std::size_t kControlsPerPage = 32;
constexpr std::size_t kControlsPerRow = 8;
// Plug-ins listed on one page of the library's first page.
constexpr std::int64_t kPluginsPerPage = 100;
// Panel pages drawn on one view of a mapping, and the bytes of a parameter name shown on a control:
// a page of the library stays well under a megabyte whatever file it draws.
constexpr std::size_t kPanelPagesPerView = 16;
constexpr std::size_t kShownNameBytes = 100;

// Small on purpose, and in every page, so that a page is one request. Below 40em the eight
// controls of a row wrap into two lines of four, the four rows kept apart.
constexpr std::string_view kStyle = R"css(
*{box-sizing:border-box}
body{margin:0 auto;max-width:72rem;padding:1rem;font:16px/1.45 system-ui,-apple-system,"Segoe UI",sans-serif;color:#1d232a;background:#f6f7f9}
a{color:#0b57b0}
header{display:flex;flex-wrap:wrap;align-items:baseline;gap:.3rem 1rem;border-bottom:1px solid #d5d9df;padding-bottom:.5rem}
header .home{font-weight:600;font-size:1.1rem;text-decoration:none;color:#1d232a}
header nav{color:#59616b;overflow-wrap:anywhere}
h1{font-size:1.6rem;margin:1rem 0 .3rem;overflow-wrap:anywhere}
h2{font-size:1.15rem;margin:0 0 .4rem}
.summary,.meta,.count,.empty{color:#59616b}
form.search{display:flex;gap:.5rem;margin:1rem 0;max-width:32rem}
form.search input{flex:1;min-width:0;font:inherit;padding:.45rem .6rem;border:1px solid #a9b1bb;border-radius:.4rem}
form.search button,a.download{font:inherit;padding:.45rem .9rem;border:0;border-radius:.4rem;background:#0b57b0;color:#fff;text-decoration:none;display:inline-block}
ul.plugins{list-style:none;padding:0;columns:17rem;column-gap:2rem}
ul.plugins li{break-inside:avoid;padding:.3rem 0;border-bottom:1px solid #e3e6ea;overflow-wrap:anywhere}
ol.mappings{list-style:none;padding:0}
ol.mappings li{background:#fff;border:1px solid #d5d9df;border-radius:.6rem;padding:.8rem 1rem;margin:.8rem 0}
.comment{white-space:pre-line;overflow-wrap:anywhere;margin:.4rem 0 0}
.comment.none{color:#59616b;font-style:italic}
dl.facts{display:grid;grid-template-columns:max-content 1fr;gap:.2rem 1rem;margin:.8rem 0}
dl.facts dt{color:#59616b}
dl.facts dd{margin:0;overflow-wrap:anywhere}
nav.pages{display:flex;gap:1rem;margin:1rem 0}
.problem{background:#fff3cd;border:1px solid #e0c36b;border-radius:.4rem;padding:.6rem}
section.page{margin:1.2rem 0}
.panel{background:#23272e;border-radius:.7rem;padding:.5rem}
.row{display:grid;grid-template-columns:repeat(8,minmax(0,1fr));gap:.35rem;padding:.3rem}
.row+.row{border-top:1px solid #3a414b}
.control{background:#323842;color:#f0f3f6;border-radius:.4rem;padding:.3rem .35rem;min-height:3.4rem;font-size:.8rem;line-height:1.25;hyphens:manual;overflow:hidden}
.control .no{display:flex;align-items:center;gap:.3rem;font-size:.7rem;color:#8fa3b8}
.control .no::before{content:"";width:.8rem;height:.8rem;border-radius:50%;border:2px solid #6fb3ff;flex:none}
.control.empty{background:#2a2f37;color:#6c7785}
.control.empty .no::before{border-color:#4a5360}
@media (max-width:40em){body{padding:.6rem}.row{grid-template-columns:repeat(4,minmax(0,1fr))}h1{font-size:1.35rem}}
)css";

void appendEscaped(std::string &out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
}

// Every byte but letters, digits and "-._~" as %XX: safe in a link's path and query, and in HTML.
std::string urlEncoded(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')
                           || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

std::string plural(std::int64_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "2023-11-14 22:13 UTC"
std::string shownDate(std::int64_t secondsSinceEpoch)
{
    const std::string iso = isoUtc(secondsSinceEpoch);
    return iso.substr(0, 10) + " " + iso.substr(11, 5) + " UTC";
}

// Where the links of a page point: the library's first page and the server's base, as absolute
// paths taken from the request's own, so that they hold under any base path.
struct Paths {
    std::string base;    // "/community/lib/"
    std::string library; // "/community/lib/library/"

    std::string plugin(std::string_view name) const { return library + "plugin?name=" + urlEncoded(name); }
    std::string mapping(std::int64_t id) const { return library + "mapping/" + std::to_string(id); }
    std::string file(std::int64_t id) const { return base + "files/" + std::to_string(id) + "/CSParameterOrder.plist"; }
};

// One HTML page, written from top to bottom.
class Page {
public:
    Page(const Paths &paths, std::string_view title, std::string_view plugin = {})
    {
        m_html.reserve(8192);
        m_html += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                  "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>";
        appendEscaped(m_html, title);
        if (title != "Community library")
            m_html += " \xE2\x80\x93 Community library";
        m_html += "</title><style>";
        m_html += kStyle;
        m_html += "</style></head><body><header><a class=\"home\" href=\"";
        m_html += paths.library;
        m_html += "\">Community library</a>";
        if (!plugin.empty()) {
            m_html += "<nav>\xE2\x80\xBA <a href=\"";
            m_html += paths.plugin(plugin);
            m_html += "\">";
            appendEscaped(m_html, plugin);
            m_html += "</a></nav>";
        }
        m_html += "</header><main>";
    }

    Page &raw(std::string_view html)
    {
        m_html += html;
        return *this;
    }
    Page &text(std::string_view text)
    {
        appendEscaped(m_html, text);
        return *this;
    }

    Reply finish(int status = 200)
    {
        m_html += "</main></body></html>\n";
        return Reply{status, std::string(kHtmlType), std::move(m_html), {}, {}};
    }

private:
    std::string m_html;
};

Reply notice(const Paths &paths, int status, std::string_view title, std::string_view message)
{
    Page page(paths, title);
    page.raw("<h1>").text(title).raw("</h1><p class=\"empty\">").text(message).raw("</p><p><a href=\"");
    page.raw(paths.library).raw("\">All plug-ins</a></p>");
    return page.finish(status);
}

// A value of a form or link: "+" is a space, as browsers send it, and %XX a byte. Nothing when it
// is not properly encoded, longer than a plug-in name, or not a line of UTF-8 text.
std::optional<std::string> formValue(std::string_view raw)
{
    std::string spaced(raw);
    for (char &c : spaced)
        if (c == '+')
            c = ' ';
    auto value = percentDecode(spaced);
    if (!value || value->size() > kMaxSearchBytes || !isValidUtf8(*value) || hasControlCharacters(*value, false))
        return std::nullopt;
    return value;
}

Reply pluginIndex(Storage &storage, const Paths &paths, std::string_view query)
{
    const QueryParams params = QueryParams::parse(query, {"q", "page"});
    const auto search = formValue(params.raw("q").value_or(""));
    if (!search)
        return notice(paths, 400, "Search not understood",
                      "A search is a plug-in name or a part of one, at most 200 bytes of text.");
    std::int64_t number = 1;
    if (const auto pageText = params.raw("page")) {
        const auto parsed = parseId(*pageText);
        if (!parsed || *parsed < 1 || *parsed > 1'000'000)
            return notice(paths, 404, "No such page", "The list of plug-ins has no page of that number.");
        number = *parsed;
    }
    // One more than a page holds tells whether another page follows.
    std::vector<PluginSummary> plugins =
        storage.listPlugins(*search, (number - 1) * kPluginsPerPage, kPluginsPerPage + 1);
    const bool more = plugins.size() > static_cast<std::size_t>(kPluginsPerPage);
    if (more)
        plugins.pop_back();

    Page page(paths, "Community library");
    page.raw("<h1>Shared mappings by plug-in</h1><form class=\"search\" method=\"get\" action=\"").raw(paths.library);
    page.raw("\"><input type=\"search\" name=\"q\" value=\"").text(*search);
    page.raw(
        "\" placeholder=\"Plug-in name\" aria-label=\"Plug-in name\"><button type=\"submit\">Search</button></form>");
    if (plugins.empty()) {
        page.raw("<p class=\"empty\">");
        if (search->empty())
            page.text(number == 1 ? "No plug-in has shared mappings yet." : "There are no more plug-ins.");
        else
            page.text("No plug-in whose name contains \xE2\x80\x9C")
                .text(*search)
                .text("\xE2\x80\x9D has shared mappings.");
        page.raw("</p>");
    } else {
        if (!search->empty())
            page.raw("<p class=\"summary\">Plug-ins whose name contains \xE2\x80\x9C")
                .text(*search)
                .raw("\xE2\x80\x9D</p>");
        page.raw("<ul class=\"plugins\">");
        for (const PluginSummary &plugin : plugins) {
            page.raw("<li><a href=\"").raw(paths.plugin(plugin.name)).raw("\">").text(plugin.name);
            page.raw("</a> <span class=\"count\">")
                .text(plural(plugin.mappings, "mapping", "mappings"))
                .raw("</span></li>");
        }
        page.raw("</ul>");
    }
    if (number > 1 || more) {
        const std::string searchPart = search->empty() ? "" : "q=" + urlEncoded(*search) + "&amp;";
        page.raw("<nav class=\"pages\">");
        if (number > 1)
            page.raw("<a rel=\"prev\" href=\"")
                .raw(paths.library)
                .raw("?")
                .raw(searchPart)
                .raw("page=")
                .raw(std::to_string(number - 1))
                .raw("\">Previous page</a>");
        if (more)
            page.raw("<a rel=\"next\" href=\"")
                .raw(paths.library)
                .raw("?")
                .raw(searchPart)
                .raw("page=")
                .raw(std::to_string(number + 1))
                .raw("\">Next page</a>");
        page.raw("</nav>");
    }
    return page.finish();
}

Reply pluginMappings(Storage &storage, const Paths &paths, std::string_view query, std::size_t listLimit)
{
    const auto name = formValue(QueryParams::parse(query, {"name"}).raw("name").value_or(""));
    if (!name || name->empty())
        return notice(paths, 404, "No such plug-in", "The address names no plug-in of the library.");
    const std::vector<MappingSummary> mappings = storage.listMappings(*name, listLimit);
    if (mappings.empty())
        return notice(paths, 404, "No such plug-in",
                      "No mappings are shared for \xE2\x80\x9C" + *name + "\xE2\x80\x9D.");

    Page page(paths, *name);
    page.raw("<h1>").text(*name).raw("</h1><p class=\"summary\">");
    page.text(plural(static_cast<std::int64_t>(mappings.size()), "shared mapping", "shared mappings"))
        .text(", newest first");
    page.raw("</p><ol class=\"mappings\">");
    for (const MappingSummary &mapping : mappings) {
        page.raw("<li><h2><a href=\"")
            .raw(paths.mapping(mapping.id))
            .raw("\">Mapping ")
            .raw(std::to_string(mapping.id));
        page.raw("</a></h2><p class=\"meta\">by <span class=\"user\">").text(mapping.user);
        page.raw("</span> \xC2\xB7 <time datetime=\"")
            .raw(isoUtc(mapping.uploadedAt))
            .raw("\">")
            .raw(shownDate(mapping.uploadedAt));
        page.raw("</time> \xC2\xB7 <span class=\"downloads\">")
            .text(plural(mapping.downloads, "download", "downloads"))
            .raw("</span></p>");
        if (mapping.comments.empty())
            page.raw("<p class=\"comment none\">No comment</p>");
        else
            page.raw("<p class=\"comment\">").text(mapping.comments).raw("</p>");
        page.raw("</li>");
    }
    page.raw("</ol>");
    return page.finish();
}

// The name that the editor's panel shows for a slot's entry string: what follows its first blank;
// an entry without one ("-1") is the empty slot, shown as "-".
std::optional<std::string_view> parameterName(std::string_view entry)
{
    const std::size_t blank = entry.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    return entry.substr(blank + 1);
}

// Pages of 32 controls that the slots fill; an empty mapping still has one.
std::size_t pageCount(const std::vector<std::string> &entries)
{
    return entries.empty() ? 1 : (entries.size() + kControlsPerPage - 1) / kControlsPerPage;
}

// The name cut at kShownNameBytes, on a character's boundary, with an ellipsis after it.
std::string shownName(std::string_view name)
{
    if (name.size() <= kShownNameBytes)
        return std::string(name);
    std::size_t end = kShownNameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return std::string(name.substr(0, end)) + "\xE2\x80\xA6";
}

// The panel pages of one view: the view'th group of kPanelPagesPerView, from 1.
void drawPanel(Page &page, const std::vector<std::string> &entries, std::size_t view)
{
    const std::size_t pages = pageCount(entries);
    const std::size_t first = (view - 1) * kPanelPagesPerView;
    for (std::size_t p = first; p < std::min(pages, first + kPanelPagesPerView); ++p) {
        const std::string number = std::to_string(p + 1);
        page.raw("<section class=\"page\" id=\"page-").raw(number).raw("\"><h2>Page ").raw(number).raw(" of ");
        page.raw(std::to_string(pages)).raw("</h2><div class=\"panel\">");
        for (std::size_t row = 0; row < kControlsPerPage / kControlsPerRow; ++row) {
            page.raw("<div class=\"row\">");
            for (std::size_t column = 0; column < kControlsPerRow; ++column) {
                const std::size_t control = row * kControlsPerRow + column;
                const std::size_t slot = p * kControlsPerPage + control;
                const auto name = slot < entries.size() ? parameterName(entries[slot]) : std::nullopt;
                const std::string shown = name ? shownName(*name) : "-";
                page.raw(name ? "<div class=\"control\" title=\"" : "<div class=\"control empty\" title=\"")
                    .text(shown);
                page.raw("\"><span class=\"no\">").raw(std::to_string(control + 1)).raw("</span><span class=\"name\">");
                page.text(shown).raw("</span></div>");
            }
            page.raw("</div>");
        }
        page.raw("</div></section>");
    }
}

Reply mappingPage(Storage &storage, const Paths &paths, std::string_view idText, std::string_view query)
{
    const auto id = parseId(idText);
    const auto mapping = id ? storage.mappingDetails(*id) : std::nullopt;
    if (!mapping)
        return notice(paths, 404, "No such mapping", "The library has no shared mapping at this address.");
    const MappingSummary &summary = mapping->summary;
    const ParameterOrder order = readParameterOrder(mapping->file);
    const std::size_t views = (pageCount(order.entries) + kPanelPagesPerView - 1) / kPanelPagesPerView;
    std::size_t view = 1;
    if (const auto viewText = QueryParams::parse(query, {"pages"}).raw("pages")) {
        const auto parsed = parseId(*viewText);
        if (!parsed || *parsed < 1 || static_cast<std::uint64_t>(*parsed) > views)
            return notice(paths, 404, "No such page", "This mapping has no pages of that number.");
        view = static_cast<std::size_t>(*parsed);
    }
    std::int64_t mapped = 0;
    for (const std::string &entry : order.entries)
        if (parameterName(entry))
            ++mapped;

    Page page(paths, mapping->plugin + ", mapping " + std::to_string(summary.id), mapping->plugin);
    page.raw("<h1>").text(mapping->plugin).raw("</h1><dl class=\"facts\"><dt>Mapping</dt><dd>");
    page.raw(std::to_string(summary.id)).raw("</dd><dt>Shared by</dt><dd class=\"user\">").text(summary.user);
    page.raw("</dd><dt>Shared on</dt><dd><time datetime=\"").raw(isoUtc(summary.uploadedAt)).raw("\">");
    page.raw(shownDate(summary.uploadedAt)).raw("</time></dd><dt>Downloads</dt><dd class=\"downloads\">");
    page.raw(std::to_string(summary.downloads)).raw("</dd><dt>Comment</dt>");
    if (summary.comments.empty())
        page.raw("<dd class=\"comment none\">No comment</dd>");
    else
        page.raw("<dd class=\"comment\">").text(summary.comments).raw("</dd>");
    page.raw("</dl><p><a class=\"download\" download=\"CSParameterOrder.plist\" href=\"").raw(paths.file(summary.id));
    page.raw("\">Download CSParameterOrder.plist</a></p>");
    if (order.problem) {
        page.raw("<p class=\"problem\">This file cannot be drawn as a panel: ").text(*order.problem).raw("</p>");
    } else {
        const auto pages = static_cast<std::int64_t>(pageCount(order.entries));
        page.raw("<p class=\"summary\">").text(plural(pages, "page", "pages")).text(" of 32 controls, ");
        page.text(plural(mapped, "control", "controls")).text(" mapped").raw("</p>");
        drawPanel(page, order.entries, view);
        if (views > 1) {
            const std::string self = paths.mapping(summary.id) + "?pages=";
            page.raw("<nav class=\"pages\">");
            if (view > 1)
                page.raw("<a rel=\"prev\" href=\"")
                    .raw(self)
                    .raw(std::to_string(view - 1))
                    .raw("\">Previous pages</a>");
            if (view < views)
                page.raw("<a rel=\"next\" href=\"").raw(self).raw(std::to_string(view + 1)).raw("\">Next pages</a>");
            page.raw("</nav>");
        }
    }
    return page.finish();
}

} // namespace

std::optional<Reply> libraryPage(Storage &storage, std::string_view method, const std::vector<std::string_view> &parts,
                                 std::string_view query, std::size_t listLimit)
{
    // The last "library" component that the rest of the path makes a library address.
    for (std::size_t k = parts.size(); k-- > 0;) {
        if (parts[k] != "library")
            continue;
        const std::span<const std::string_view> rest(parts.data() + k + 1, parts.size() - k - 1);
        const bool index = rest.empty() || (rest.size() == 1 && rest[0].empty());
        const bool plugin = rest.size() == 1 && rest[0] == "plugin";
        const bool mapping = rest.size() == 2 && rest[0] == "mapping";
        if (!index && !plugin && !mapping)
            continue;
        if (method != "GET" && method != "HEAD")
            return Reply{405, std::string(kTextType), "The library's pages answer GET requests only.", {}, {}};

        // Empty components are left out: a base of "//host/" would make every link lead to that host.
        Paths paths{"/", {}};
        for (std::size_t i = 0; i < k; ++i) {
            if (parts[i].empty())
                continue;
            paths.base += urlEncoded(parts[i]);
            paths.base += '/';
        }
        paths.library = paths.base + "library/";
        if (index)
            return pluginIndex(storage, paths, query);
        if (plugin)
            return pluginMappings(storage, paths, query, listLimit);
        return mappingPage(storage, paths, rest[1], query);
    }
    return std::nullopt;
}

} // namespace ovserver
