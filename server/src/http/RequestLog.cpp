#include "http/RequestLog.h"

#include "Text.h"

#include <cerrno>
#include <unistd.h>

namespace ovserver {

namespace {

void escapeForLog(std::string_view text, std::string &out)
{
    static const char hex[] = "0123456789ABCDEF";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '"') {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += c;
        }
    }
}

bool isHiddenKey(std::string_view key)
{
    return equalsIgnoringCase(key, "pinCode") || equalsIgnoringCase(key, "emailAddr");
}

} // namespace

void appendForLog(std::string_view text, std::string &out)
{
    escapeForLog(text.substr(0, kLoggedValueBytes), out);
    if (text.size() > kLoggedValueBytes)
        out += "...";
}

std::string targetForLog(std::string_view target)
{
    const std::size_t queryStart = target.find('?');
    std::string out;
    appendForLog(target.substr(0, queryStart), out);
    if (queryStart == std::string_view::npos)
        return out;
    out += '?';
    const std::string_view query = target.substr(queryStart + 1);
    for (std::size_t start = 0;;) {
        const std::size_t end = query.find('&', start);
        const std::string_view piece = query.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos) {
            appendForLog(piece, out);
        } else {
            appendForLog(piece.substr(0, equals), out);
            out += '=';
            if (isHiddenKey(piece.substr(0, equals))) {
                out += "[hidden]";
                break;
            }
            appendForLog(piece.substr(equals + 1), out);
        }
        if (end == std::string_view::npos)
            break;
        out += '&';
        start = end + 1;
    }
    return out;
}

void writeToStderr(std::string line)
{
    line += '\n';
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // a log that cannot be written does not stop the server
        written += static_cast<std::size_t>(n);
    }
}

} // namespace ovserver
