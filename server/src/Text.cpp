#include "Text.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace ovserver {

namespace {

// The length of the well-formed UTF-8 sequence that starts at bytes[i], or 0 when there is none:
// shortest forms only, no surrogates, nothing above U+10FFFF.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0; // no overlong forms
        if (b0 == 0xED)
            high = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90; // no overlong forms
        if (b0 == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    if (b1 < low || b1 > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if (b < 0x80 || b > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceAt(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void appendJsonString(std::string &out, std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            const std::size_t length = utf8SequenceAt(text, i);
            if (length == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20) {
                out += "\\u00";
                out += hex[b >> 4];
                out += hex[b & 0x0F];
            } else {
                out += c;
            }
        }
        ++i;
    }
    out += '"';
}

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::string> percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (text.size() - i < 3)
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

namespace {

// "key=", or "&key=" for every key but the first.
std::string introOf(std::string_view key, bool afterAnother)
{
    std::string intro;
    intro.reserve(key.size() + 2);
    if (afterAnother)
        intro += '&';
    intro += key;
    intro += '=';
    return intro;
}

} // namespace

QueryParams QueryParams::parse(std::string_view query, std::initializer_list<std::string_view> expectedKeys)
{
    QueryParams result;

    // The editor's own shape first: every expected key, in order, each introduced by "&key=".
    std::size_t pos = 0;
    bool shaped = expectedKeys.size() > 0;
    for (auto key = expectedKeys.begin(); shaped && key != expectedKeys.end(); ++key) {
        const std::string intro = introOf(*key, key != expectedKeys.begin());
        if (query.compare(pos, intro.size(), intro) != 0) {
            shaped = false;
            break;
        }
        const std::size_t valueStart = pos + intro.size();
        std::size_t valueEnd = query.size();
        if (auto next = key + 1; next != expectedKeys.end()) {
            valueEnd = query.find(introOf(*next, true), valueStart);
            if (valueEnd == std::string_view::npos) {
                shaped = false;
                break;
            }
        }
        result.m_params.emplace_back(*key, query.substr(valueStart, valueEnd - valueStart));
        pos = valueEnd;
    }
    if (shaped)
        return result;

    result.m_params.clear();
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view piece = query.substr(start, end - start);
        if (!piece.empty()) {
            const std::size_t eq = piece.find('=');
            if (eq == std::string_view::npos)
                result.m_params.emplace_back(piece, std::string_view());
            else
                result.m_params.emplace_back(piece.substr(0, eq), piece.substr(eq + 1));
        }
        start = end + 1;
    }
    return result;
}

std::optional<std::string_view> QueryParams::raw(std::string_view key) const
{
    for (const auto &[name, value] : m_params)
        if (name == key)
            return value;
    return std::nullopt;
}

std::optional<std::int64_t> parseId(std::string_view text)
{
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string isoUtc(std::int64_t secondsSinceEpoch)
{
    const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm parts{};
    if (gmtime_r(&seconds, &parts) == nullptr)
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return std::string(text, length);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool hasControlCharacters(std::string_view text, bool allowLineBreaks)
{
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (allowLineBreaks && (c == '\t' || c == '\n' || c == '\r'))
            continue;
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

std::string likeContaining(std::string_view text)
{
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    pattern += '%';
    return pattern;
}

} // namespace ovserver
