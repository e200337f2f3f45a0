#pragma once
// The schema's versions, the same on every engine: migration n brings a store from version n - 1 to
// n, in one transaction with the engine's lock around it. Published migrations never change; an
// engine that needs nothing for a step still counts it, so that a number means one schema.

#include "storage/Connection.h"
#include "storage/Storage.h"

#include "UserName.h"

#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ovserver::storage {

// The steps that add users.name_key and users.cased_key, which the server fills in for the users it
// finds, since only it computes a name's look.
constexpr int kNameKeyVersion = 4;
constexpr int kCasedKeyVersion = 6;

// An engine's SQL text for the steps that every engine takes alike.
struct Schema {
    std::span<const char *const> migrations;
    const char *createVersionTable; // schema_version (version, applied_at), when absent
    const char *recordVersion;      // one value: the version reached
    // Each with values (key, id): set the key unless another user has it already.
    const char *setNameKey;
    const char *setCasedKey;
    // With values (name, id): put the name in NFC unless another user has that name already.
    const char *setName;
};

// The version the store is at: 0 for a new one.
template <StoreConnection Connection> int schemaVersion(Connection &connection, const Schema &schema)
{
    connection.exec(schema.createVersionTable);
    return static_cast<int>(connection.integer("SELECT COALESCE(MAX(version), 0) FROM schema_version;"));
}

namespace detail {

template <StoreConnection Connection> std::vector<std::pair<std::int64_t, std::string>> users(Connection &connection)
{
    return connection.rows("SELECT id, name FROM users ORDER BY id;", [](const StoreRow auto &row) {
        return std::pair<std::int64_t, std::string>(row.integer(0), row.bytes(1));
    });
}

// The first of several look-alike names keeps the look; the others keep their names and sign in as
// before, without a key. Names are put in NFC where that takes no other user's name.
template <StoreConnection Connection> void fillNameKeys(Connection &connection, const Schema &schema)
{
    for (const auto &[id, name] : users(connection)) {
        connection.change(schema.setNameKey, std::string_view(userNameKey(name)), id);
        connection.change(schema.setName, std::string_view(nfc(name)), id);
    }
}

template <StoreConnection Connection> void fillCasedKeys(Connection &connection, const Schema &schema)
{
    for (const auto &[id, name] : users(connection))
        connection.change(schema.setCasedKey, std::string_view(userNameCasedKey(name)), id);
}

} // namespace detail

// Brings the store from `version` to the newest schema; storeName begins the refusal of a store
// from a newer server ("the PostgreSQL database has schema version 9, newer than this server's 6").
template <StoreConnection Connection>
void migrate(Connection &connection, const Schema &schema, int version, const std::string &storeName)
{
    const int latest = static_cast<int>(schema.migrations.size());
    if (version > latest)
        throw StorageError(storeName + " has schema version " + std::to_string(version) + ", newer than this server's "
                           + std::to_string(latest));
    for (; version < latest; ++version) {
        connection.exec(schema.migrations[static_cast<std::size_t>(version)]);
        if (version + 1 == kNameKeyVersion)
            detail::fillNameKeys(connection, schema);
        if (version + 1 == kCasedKeyVersion)
            detail::fillCasedKeys(connection, schema);
        connection.change(schema.recordVersion, std::int64_t{version + 1});
    }
}

// True when the store answers a query: a connection is there and its schema has a version.
template <typename Pool, typename... Turn> bool healthy(Pool &pool, Turn... turn)
{
    try {
        auto connection = pool.lease(turn...);
        return connection->integer("SELECT COUNT(*) FROM schema_version;") > 0;
    } catch (const StorageError &) {
        return false;
    }
}

// The library's counts and the pool's waits, for the metrics.
template <typename Pool, typename... Turn> StoreFigures figures(Pool &pool, Turn... turn)
{
    StoreFigures figures;
    {
        auto connection = pool.lease(turn...);
        figures.mappings = connection->integer("SELECT COUNT(*) FROM mappings;");
        figures.hiddenMappings = connection->integer("SELECT COUNT(*) FROM mappings WHERE hidden;");
        figures.users = connection->integer("SELECT COUNT(*) FROM users;");
        figures.bytes = connection->integer("SELECT bytes FROM library_size;");
    }
    std::tie(figures.poolWaits, figures.poolWaitSeconds) = pool.waits();
    return figures;
}

} // namespace ovserver::storage
