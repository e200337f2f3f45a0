// The server's multipart reader. The input is a Content-Type line and a body; whatever the reader
// accepts must lie inside the body, and written out again with the same boundary it must read back
// as the same parts.
#include "handler/Multipart.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace ovserver;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t lineEnd = input.find('\n');
    if (lineEnd == std::string_view::npos)
        return 0;
    const std::string_view contentType = input.substr(0, lineEnd);
    const std::string body(input.substr(lineEnd + 1));

    const auto boundary = multipartBoundary(contentType);
    if (!boundary)
        return 0;
    check(!boundary->empty() && boundary->size() <= 70);
    const MultipartResult result = parseMultipart(body, *boundary);
    check(result.error.empty() || result.parts.empty());
    check(result.parts.size() <= 16);
    for (const FormPart &part : result.parts) {
        check(part.data.empty()
              || (part.data.data() >= body.data() && part.data.data() + part.data.size() <= body.data() + body.size()));
        check(part.data.find("\r\n--" + *boundary) == std::string_view::npos);
    }
    // A header value cannot hold a line break, so a boundary never does; nor can a name or type
    // carry one back out.
    if (!result.error.empty() || boundary->find_first_of("\r\n") != std::string::npos)
        return 0;
    std::string again;
    for (const FormPart &part : result.parts) {
        if (part.name.find_first_of("\r\n") != std::string::npos
            || part.contentType.find_first_of("\r\n") != std::string::npos
            || part.filename.find_first_of("\r\n") != std::string::npos)
            return 0;
        if (part.name.size() + part.filename.size() + part.contentType.size() > 3000)
            return 0; // the header block limit
        again += "\r\n--" + *boundary + "\r\nContent-Disposition: form-data; name=" + quoted(part.name);
        if (!part.filename.empty())
            again += "; filename=" + quoted(part.filename);
        again += "\r\n";
        if (!part.contentType.empty())
            again += "Content-Type: " + part.contentType + "\r\n";
        again += "\r\n" + std::string(part.data);
    }
    again += "\r\n--" + *boundary + "--\r\n";
    const MultipartResult reread = parseMultipart(again, *boundary);
    check(reread.error.empty() && reread.parts.size() == result.parts.size());
    for (std::size_t i = 0; i < result.parts.size(); ++i) {
        check(reread.parts[i].name == result.parts[i].name);
        check(reread.parts[i].filename == result.parts[i].filename);
        check(reread.parts[i].contentType == result.parts[i].contentType);
        check(reread.parts[i].data == result.parts[i].data);
    }
    return 0;
}
