#pragma once
// The store in one SQLite file (WAL, synchronous=FULL), for a server on one machine.

#include "Storage.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ovserver {

class SqliteStorage final : public Storage {
public:
    // Opens the database file, creating it when absent, and brings its schema up to date.
    // Throws StorageError when the file cannot be used (not a database, newer schema, no rights).
    explicit SqliteStorage(const std::string& path);
    ~SqliteStorage() override;
    SqliteStorage(const SqliteStorage&) = delete;
    SqliteStorage& operator=(const SqliteStorage&) = delete;

    // The newest schema migration this server knows; the database is at it once constructed.
    static int latestSchemaVersion();

    bool createUser(const NewUser& user) override;
    std::optional<std::string> pinHash(std::string_view user) override;
    SignInGate openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy& policy) override;
    void clearSignInFailures(std::string_view user) override;
    std::optional<std::int64_t> addMapping(const NewMapping& mapping) override;
    std::vector<MappingSummary> listMappings(std::string_view plugin) override;
    bool registerDownload(std::int64_t id) override;
    std::optional<std::string> mappingFile(std::int64_t id) override;
    bool healthy() override;

private:
    class Connection;
    class Lease;
    class Transaction;

    // A connection for the calling thread alone; it goes back to the pool when the lease ends.
    Lease lease();
    // The first column of the first row that the query with this one value finds, if any.
    template <typename Key>
    std::optional<std::string> firstValue(const char* sql, Key key);

    std::string m_path;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_idle;
};

}  // namespace ovserver
