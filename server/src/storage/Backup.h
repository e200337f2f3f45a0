#pragma once
// A consistent copy of the library's store, taken while the server runs.

#include <string>
#include <vector>

namespace ovserver {

// Writes a copy of the store at `location` (the --db value) to `output`, readable by its owner only:
// SQLite's online backup for a database file, which is itself a database the server opens with
// --db; pg_dump's custom format for PostgreSQL, which pg_restore loads into an empty database. The
// output appears whole or not at all. Returns what went wrong, or nothing on success.
std::string backupStore(const std::string &location, const std::string &output);

// `ovcommunity-server backup --db LOCATION -o FILE`: 0 written, 1 failed, 2 a wrong command line.
int backupCommand(const std::vector<std::string> &arguments);

} // namespace ovserver
