#pragma once
// The store in one SQLite file (WAL, synchronous=FULL), for a server on one machine.

#include "storage/ConnectionPool.h"
#include "storage/Storage.h"

#include <memory>
#include <mutex>
#include <string>

namespace ovserver {

class SqliteStorage final : public Storage {
public:
    // Opens the database file, creating it when absent, and brings its schema up to date; at most
    // maxConnections threads use it at once. Throws StorageError when the file cannot be used (not a
    // database, newer schema, no rights).
    explicit SqliteStorage(const std::string &path, std::size_t maxConnections = 64);
    ~SqliteStorage() override;
    SqliteStorage(const SqliteStorage &) = delete;
    SqliteStorage &operator=(const SqliteStorage &) = delete;

    Registration createUser(const NewUser &user, const VolumeLimits &limits) override;
    std::optional<std::string> pinHash(std::string_view user) override;
    SignInGate openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy &policy) override;
    void clearSignInFailures(std::string_view user) override;
    Upload addMapping(const NewMapping &mapping, const VolumeLimits &limits) override;
    std::int64_t uploadsSince(std::string_view user, std::int64_t since) override;
    std::optional<std::vector<std::int64_t>> addMappings(const std::vector<NewMapping> &mappings) override;
    std::vector<MappingSummary> listMappings(std::string_view plugin, std::size_t limit) override;
    std::vector<OwnMapping> userMappings(std::string_view user, std::size_t limit) override;
    Deletion deleteMapping(std::int64_t id, std::string_view user) override;
    DownloadCount registerDownload(std::int64_t id, std::string_view address, std::int64_t now) override;
    std::vector<PluginSummary> listPlugins(std::string_view search, std::int64_t offset, std::int64_t limit) override;
    std::optional<MappingDetails> mappingDetails(std::int64_t id) override;
    std::optional<std::string> mappingFile(std::int64_t id) override;
    bool healthy() override;
    bool setMappingHidden(std::int64_t id, bool hidden) override;
    bool setUserDisabled(std::string_view user, bool disabled) override;
    bool userDisabled(std::string_view user) override;
    bool mappingShown(std::int64_t id) override;
    std::vector<UploadRecord> recentUploads(std::size_t limit) override;
    StoreFigures figures() override;

private:
    class Connection;
    class Transaction;

    // Inserts one shared mapping and adds it to the library's size; nothing when its user does not exist.
    static std::optional<std::int64_t> insertMapping(Connection &connection, const NewMapping &mapping);
    static bool userDisabled(Connection &connection, std::string_view user);

    std::string m_path;
    std::unique_ptr<ConnectionPool<Connection>> m_pool;
    // The changes of this process take turns here rather than at SQLite's file lock, whose busy
    // handler polls with sleeps of up to 100 ms: a crowd of writers there waits far longer than
    // their transactions take, and the unlucky ones until the busy time-out. Other processes on
    // the same file still meet at the file lock.
    std::mutex m_writer;
};

} // namespace ovserver
