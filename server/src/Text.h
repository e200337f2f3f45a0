#pragma once
// Decoding and checking of the texts that arrive in request addresses.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovserver {

// True when the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// Appends the text as a JSON string, quotes included. Bytes that are not well-formed UTF-8 become
// U+FFFD, each on its own, so the reply is always valid JSON in UTF-8.
void appendJsonString(std::string &out, std::string_view text);

// Replaces each %XX by its byte. A plus sign stays a plus sign: the editor escapes a space as %20 and
// leaves '+' as it is inside values. Nothing when a '%' is not followed by two hexadecimal digits.
std::optional<std::string> percentDecode(std::string_view text);

// The parameters of a query string as sent, still percent-encoded, in their order.
class QueryParams {
public:
    // The editor leaves '&' and '=' unescaped inside values, so a comment such as "rock & roll" would
    // split a plain query apart. When the query has exactly the shape "k1=...&k2=...&...&kn=..." for
    // the keys a script expects, each value runs up to the next expected key and the last one to the
    // end; any other query is split at every '&' and at the first '=' of each piece.
    static QueryParams parse(std::string_view query, std::initializer_list<std::string_view> expectedKeys);

    // The raw value of the first parameter of that name, or nothing when it is absent.
    std::optional<std::string_view> raw(std::string_view key) const;

private:
    std::vector<std::pair<std::string_view, std::string_view>> m_params;
};

// Decimal digits only, no sign, at most 18 of them, so that the value fits an int64; else nothing.
std::optional<std::int64_t> parseId(std::string_view text);

// "2024-05-01T12:00:00Z" for a count of seconds since 1970 in UTC.
std::string isoUtc(std::int64_t secondsSinceEpoch);

// The text without the spaces and tabs at either end, as HTTP header values are read.
std::string_view trimmed(std::string_view text);

// ASCII letters compared without regard to case, every other byte as it is.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// A LIKE pattern, with the backslash as its escape character, that matches every text containing
// this one; '%', '_' and the backslash in it stand for themselves.
std::string likeContaining(std::string_view text);

// True when the text holds a C0 control character or DEL; tab, line feed and carriage return are
// allowed when allowLineBreaks is set.
bool hasControlCharacters(std::string_view text, bool allowLineBreaks);

} // namespace ovserver
