// The server's reading of request addresses: the query split, percent-decoding, the number check and
// the log's hiding of PIN codes. The input is taken twice: as a raw query, and as values that are
// put into a query the way the editor does it, which the server must read back exactly.
#include "http/RequestLog.h"
#include "Text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace ovserver;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Script {
    std::vector<std::string_view> keys;
};

const Script kScripts[] = {
    {{"userName", "pinCode"}},
    {{"userName", "emailAddr"}},
    {{"user", "hardware", "plugin", "comments"}},
    {{"plugin"}},
    {{"patchID"}},
};

QueryParams parseFor(std::size_t script, std::string_view query)
{
    switch (script) {
    case 0:
        return QueryParams::parse(query, {"userName", "pinCode"});
    case 1:
        return QueryParams::parse(query, {"userName", "emailAddr"});
    case 2:
        return QueryParams::parse(query, {"user", "hardware", "plugin", "comments"});
    case 3:
        return QueryParams::parse(query, {"plugin"});
    default:
        return QueryParams::parse(query, {"patchID"});
    }
}

// The editor's escaping: letters, digits and "-_.!~*'();/?:@&=+$," stay, every other byte is %XX.
std::string editorEscape(std::string_view value)
{
    static const std::string_view kept = "-_.!~*'();/?:@&=+$,";
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')
            || kept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

bool insideOf(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void checkRawQuery(std::size_t script, const std::string &query)
{
    const QueryParams params = parseFor(script, query);
    for (const std::string_view key : kScripts[script].keys) {
        const auto raw = params.raw(key);
        if (!raw)
            continue;
        check(insideOf(*raw, query)); // values are views into the query, never past it
        const auto decoded = percentDecode(*raw);
        if (!decoded)
            continue;
        check(decoded->size() <= raw->size());
        if (raw->find('%') == std::string_view::npos)
            check(*decoded == *raw);
        if (const auto id = parseId(*decoded)) {
            std::string digits = *decoded; // the number's own digits, without leading zeros
            digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
            check(std::to_string(*id) == digits);
        }
    }
}

// Values sent as the editor sends them come back exactly, unless a value itself holds the text that
// introduces the next key ("&plugin=" inside a user name), which no reader could tell apart.
void checkEditorQuery(std::size_t script, std::string_view input)
{
    const auto &keys = kScripts[script].keys;
    std::vector<std::string> values;
    std::size_t start = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::size_t end = i + 1 == keys.size() ? input.size() : input.find('\xFF', start);
        values.emplace_back(input.substr(start, end == std::string_view::npos ? input.npos : end - start));
        start = end == std::string_view::npos ? input.size() : end + 1;
    }
    std::string query;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string escaped = editorEscape(values[i]);
        if (i + 1 < keys.size()) {
            std::string nextKey = "&";
            nextKey.append(keys[i + 1]).append("=");
            if (escaped.find(nextKey) != std::string::npos)
                return;
        }
        if (i)
            query += '&';
        query.append(keys[i]).append("=").append(escaped);
    }
    const QueryParams params = parseFor(script, query);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto raw = params.raw(keys[i]);
        check(raw.has_value());
        const auto decoded = percentDecode(*raw);
        check(decoded.has_value() && *decoded == values[i]);
    }
}

// The log line never holds the value of a pinCode or emailAddr parameter, nor a byte that could
// break the line.
void checkLogTarget(const std::string &query)
{
    const std::string target = "/checkuser.php?" + query;
    const std::string logged = targetForLog(target);
    for (const char c : logged) {
        const auto b = static_cast<unsigned char>(c);
        check(b > 0x20 && b < 0x7F && c != '"');
    }
    for (std::size_t pos = target.find('?'); pos != std::string::npos; pos = target.find('&', pos + 1)) {
        for (const std::string_view key : {"pincode=", "emailaddr="}) {
            if (equalsIgnoringCase(std::string_view(target).substr(pos + 1, key.size()), key)) {
                check(logged.size() >= 8 && logged.compare(logged.size() - 8, 8, "[hidden]") == 0);
                check(logged.size() - 8 <= (pos + 1 + key.size()) * 3); // nothing after the key is kept
                return;
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t script = data[0] % std::size(kScripts);
    const std::string rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    checkRawQuery(script, rest);
    checkEditorQuery(script, rest);
    checkLogTarget(rest);
    return 0;
}
