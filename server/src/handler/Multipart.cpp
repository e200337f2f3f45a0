#include "handler/Multipart.h"

#include "Text.h"

namespace ovserver {

namespace {

constexpr std::size_t kMaxBoundary = 70;
constexpr std::size_t kMaxParts = 16;
constexpr std::size_t kMaxHeaderBlock = 8 * 1024;

// Splits "type; a=1; b=\"x;y\"" into its parameters; a quoted value may hold ';' and \-escapes.
// Calls onParam(name, value) for each and returns the leading type.
template <typename OnParam> std::string_view headerParams(std::string_view value, OnParam onParam)
{
    std::size_t semicolon = value.find(';');
    const std::string_view type = trimmed(value.substr(0, semicolon));
    std::size_t pos = semicolon == std::string_view::npos ? value.size() : semicolon + 1;
    while (pos < value.size()) {
        std::size_t eq = value.find('=', pos);
        std::size_t nextSemicolon = value.find(';', pos);
        if (eq == std::string_view::npos || (nextSemicolon != std::string_view::npos && nextSemicolon < eq)) {
            // A parameter without a value: skip it.
            pos = nextSemicolon == std::string_view::npos ? value.size() : nextSemicolon + 1;
            continue;
        }
        const std::string_view name = trimmed(value.substr(pos, eq - pos));
        pos = eq + 1;
        while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t'))
            ++pos;
        std::string parsed;
        if (pos < value.size() && value[pos] == '"') {
            ++pos;
            while (pos < value.size() && value[pos] != '"') {
                if (value[pos] == '\\' && pos + 1 < value.size())
                    ++pos;
                parsed.push_back(value[pos++]);
            }
            ++pos; // the closing quote, or past the end when it is missing
            nextSemicolon = pos < value.size() ? value.find(';', pos) : std::string_view::npos;
        } else {
            const std::size_t end = nextSemicolon == std::string_view::npos ? value.size() : nextSemicolon;
            parsed = std::string(trimmed(value.substr(pos, end - pos)));
        }
        onParam(name, std::move(parsed));
        pos = nextSemicolon == std::string_view::npos ? value.size() : nextSemicolon + 1;
    }
    return type;
}

// Fills the part's fields from its header block; false when it has no form-data disposition.
bool readPartHeaders(std::string_view block, FormPart &part)
{
    bool disposition = false;
    while (!block.empty()) {
        std::size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block.remove_prefix(end == std::string_view::npos ? block.size() : end + 2);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view name = trimmed(line.substr(0, colon));
        const std::string_view value = line.substr(colon + 1);
        if (equalsIgnoringCase(name, "Content-Disposition")) {
            const std::string_view type = headerParams(value, [&](std::string_view key, std::string v) {
                if (equalsIgnoringCase(key, "name"))
                    part.name = std::move(v);
                else if (equalsIgnoringCase(key, "filename"))
                    part.filename = std::move(v);
            });
            disposition = equalsIgnoringCase(type, "form-data");
        } else if (equalsIgnoringCase(name, "Content-Type")) {
            part.contentType = std::string(trimmed(value));
        }
    }
    return disposition;
}

} // namespace

std::optional<std::string> multipartBoundary(std::string_view contentType)
{
    std::optional<std::string> boundary;
    const std::string_view type = headerParams(contentType, [&](std::string_view key, std::string value) {
        if (!boundary && equalsIgnoringCase(key, "boundary"))
            boundary = std::move(value);
    });
    if (!equalsIgnoringCase(type, "multipart/form-data"))
        return std::nullopt;
    if (!boundary || boundary->empty() || boundary->size() > kMaxBoundary)
        return std::nullopt;
    return boundary;
}

MultipartResult parseMultipart(std::string_view body, std::string_view boundary)
{
    MultipartResult result;
    auto fail = [&](std::string message) {
        result.parts.clear();
        result.error = std::move(message);
        return result;
    };
    if (boundary.empty() || boundary.size() > kMaxBoundary)
        return fail("the multipart boundary is missing or too long");

    const std::string delimiter = "--" + std::string(boundary);
    const std::string lineDelimiter = "\r\n" + delimiter;

    // The first boundary line starts the body or follows a line break.
    std::size_t pos;
    if (body.substr(0, delimiter.size()) == delimiter) {
        pos = delimiter.size();
    } else {
        pos = body.find(lineDelimiter);
        if (pos == std::string_view::npos)
            return fail("the body holds no boundary line");
        pos += lineDelimiter.size();
    }

    for (;;) {
        // Here pos is just past a boundary: "--" closes the body, else the line must end.
        if (body.substr(pos, 2) == "--")
            return result;
        while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t'))
            ++pos;
        if (body.substr(pos, 2) != "\r\n")
            return fail("a boundary line is not followed by a line break");
        pos += 2;
        if (result.parts.size() == kMaxParts)
            return fail("the body has too many parts");

        FormPart part;
        std::size_t dataStart;
        if (body.substr(pos, 2) == "\r\n") {
            dataStart = pos + 2; // a part without headers
        } else {
            const std::size_t headersEnd = body.find("\r\n\r\n", pos);
            if (headersEnd == std::string_view::npos || headersEnd - pos > kMaxHeaderBlock)
                return fail("a part's headers do not end with an empty line");
            if (!readPartHeaders(body.substr(pos, headersEnd - pos), part))
                return fail("a part has no form-data Content-Disposition");
            dataStart = headersEnd + 4;
        }
        const std::size_t dataEnd = body.find(lineDelimiter, dataStart);
        if (dataEnd == std::string_view::npos)
            return fail("the body ends before its closing boundary");
        part.data = body.substr(dataStart, dataEnd - dataStart);
        result.parts.push_back(std::move(part));
        pos = dataEnd + lineDelimiter.size();
    }
}

} // namespace ovserver
