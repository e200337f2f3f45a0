#pragma once
// The operator's moderation of a running library, from the command line.

#include <string>
#include <vector>

namespace ovserver {

// `ovcommunity-server admin --db LOCATION COMMAND ...`: list [--limit N], hide ID, show ID,
// disable-user NAME, enable-user NAME. 0 done, 1 failed (no such mapping or user, a store that
// cannot be used), 2 a wrong command line.
int adminCommand(const std::vector<std::string> &arguments);

} // namespace ovserver
