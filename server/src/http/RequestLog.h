#pragma once
// The server's log: one line per request, with nothing in it that could break the line or give a
// secret away.

#include <cstddef>
#include <string>
#include <string_view>

namespace ovserver {

// The request target for the log. A PIN code or an e-mail address value, and everything after it
// since the editor leaves '&' unescaped inside values, is hidden; the path and each other value are
// cut at kLoggedValueBytes; bytes that could break the log line are escaped.
std::string targetForLog(std::string_view target);
constexpr std::size_t kLoggedValueBytes = 200;

// Appends the text escaped, and cut at kLoggedValueBytes with "..." after it.
void appendForLog(std::string_view text, std::string &out);

// Writes the line and a line break to stderr in one write, which the kernel appends whole.
void writeToStderr(std::string line);

} // namespace ovserver
