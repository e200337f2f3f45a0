#pragma once
// What the store's shared parts ask of an engine's connection, and the transaction over it. Each
// engine keeps its own SQL text and its own locking; the steps around them live here once.

#include "storage/Storage.h"

#include <concepts>
#include <cstdint>
#include <string>

namespace ovserver::storage {

// One row of a query's result: its columns by number, from 0.
template <typename R>
concept StoreRow = requires(const R &row, int column)
{
    {
        row.integer(column)
        } -> std::convertible_to<std::int64_t>;
    {
        row.bytes(column)
        } -> std::convertible_to<std::string>;
};

// Values are texts (std::string_view) and numbers (std::int64_t), bound in the order given.
//   exec(sql)                      a statement without values: schema, transaction control
//   integer(sql, values...)        the first column of the first row, as a number
//   change(sql, values...)         a statement that changes rows: how many it changed
//   rows(sql, read, values...)     every row of the result, each made into a value by read(row)
//   kBegin, kCommit, kRollback     the engine's transaction control
template <typename C>
concept StoreConnection = requires(C &connection, const char *sql, std::int64_t number, std::string_view text)
{
    connection.exec(sql);
    {
        connection.integer(sql, number, text)
        } -> std::convertible_to<std::int64_t>;
    {
        connection.change(sql, text, number)
        } -> std::convertible_to<std::int64_t>;
    {
        C::kBegin
        } -> std::convertible_to<const char *>;
    {
        C::kCommit
        } -> std::convertible_to<const char *>;
    {
        C::kRollback
        } -> std::convertible_to<const char *>;
};

// Rolled back unless committed. The transaction counts as closed only once COMMIT has succeeded:
// a COMMIT that fails throws, and the guard then still rolls back what the engine kept open.
template <StoreConnection Connection> class Transaction {
public:
    explicit Transaction(Connection &connection) : m_connection(connection) { m_connection.exec(Connection::kBegin); }
    ~Transaction()
    {
        if (!m_open)
            return;
        try {
            m_connection.exec(Connection::kRollback);
        } catch (const StorageError &) {
            // The engine rolled back on its own (a failed statement, a broken connection); the pool
            // drops a connection that no longer works.
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_connection.exec(Connection::kCommit);
        m_open = false;
    }

private:
    Connection &m_connection;
    bool m_open = true;
};

} // namespace ovserver::storage
