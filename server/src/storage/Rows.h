#pragma once
// The rows that both engines return in the same column order, made into the store's values.

#include "storage/Connection.h"
#include "storage/Storage.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ovserver::storage {

// Columns: id, user name, comments, uploaded_at, downloads.
inline constexpr auto readSummary = [](const StoreRow auto &row) -> MappingSummary {
    return {row.integer(0), row.bytes(1), row.bytes(2), row.integer(3), row.integer(4)};
};

// Columns: the summary's, then plug-in and file.
inline constexpr auto readDetails = [](const StoreRow auto &row) -> MappingDetails {
    return {readSummary(row), row.bytes(5), row.bytes(6)};
};

// Columns: the summary's, then plug-in.
inline constexpr auto readOwnMapping = [](const StoreRow auto &row) -> OwnMapping {
    return {readSummary(row), row.bytes(5)};
};

// Columns: name, mappings.
inline constexpr auto readPlugin = [](const StoreRow auto &row) -> PluginSummary {
    return {row.bytes(0), row.integer(1)};
};

// Columns: id, user name, plug-in, uploaded_at, hidden.
inline constexpr auto readUpload = [](const StoreRow auto &row) -> UploadRecord {
    return {row.integer(0), row.bytes(1), row.bytes(2), row.integer(3), row.integer(4) != 0};
};

inline constexpr auto readFirstColumn = [](const StoreRow auto &row) -> std::string { return row.bytes(0); };

// The first row that the query finds, read, or nothing when it finds none.
template <StoreConnection Connection, typename Read, typename... Values>
auto firstRow(Connection &connection, const char *sql, Read read, const Values &...values)
    -> std::optional<typename decltype(connection.rows(sql, read, values...))::value_type>
{
    auto found = connection.rows(sql, read, values...);
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

// The SQL text of one engine for a user's deletion of a mapping, each with the mapping's number as
// its one value.
struct DeletionSql {
    const char *owner;           // the name of the user who shared it; locks its row where the engine can
    const char *releaseBytes;    // takes its bytes off the library's size
    const char *forgetDownloads; // its download records
    const char *remove;
};

// deleteMapping of both engines, in the caller's transaction, which it commits only when deleted.
template <StoreConnection Connection, typename Transaction>
Deletion deleteOwnMapping(Connection &connection, Transaction &transaction, const DeletionSql &sql, std::int64_t id,
                          std::string_view user)
{
    const auto owner = firstRow(connection, sql.owner, readFirstColumn, id);
    if (!owner)
        return Deletion::NoSuchMapping;
    if (*owner != user)
        return Deletion::NotYours;
    connection.change(sql.releaseBytes, id);
    connection.change(sql.forgetDownloads, id);
    connection.change(sql.remove, id);
    transaction.commit();
    return Deletion::Deleted;
}

} // namespace ovserver::storage
