#pragma once
// Chooses the store from the --db value: a PostgreSQL connection URI, or else a SQLite file path.

#include "storage/Storage.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace ovserver {

// The refusal of a PostgreSQL database by a server built without libpq.
inline constexpr const char *kNoPostgresEngine =
    "this server was built without its PostgreSQL engine; use a SQLite file for --db, or build the server with libpq";

// True for "postgresql://..." and "postgres://...".
bool isPostgresUrl(std::string_view location);

// Opens the store and brings its schema up to date; maxConnections 0 takes the engine's default.
// Throws StorageError.
std::unique_ptr<Storage> openStorage(const std::string &location, std::size_t maxConnections = 0);

// The location for the log, with a password in it replaced by "[hidden]".
std::string locationForLog(std::string_view location);

} // namespace ovserver
