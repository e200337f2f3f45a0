#pragma once
// The store in a PostgreSQL database, shared by any number of server processes.

#include "storage/ConnectionPool.h"
#include "storage/Storage.h"

#include <memory>
#include <string>

namespace ovserver {

class PostgresStorage final : public Storage {
public:
    // Connects with a libpq connection URI ("postgresql://user@host:port/database?...") and brings
    // the schema up to date; at most maxConnections connections are open at once. Throws
    // StorageError when the database cannot be reached or used (newer schema, wrong encoding).
    explicit PostgresStorage(const std::string &url, std::size_t maxConnections = 16);
    ~PostgresStorage() override;
    PostgresStorage(const PostgresStorage &) = delete;
    PostgresStorage &operator=(const PostgresStorage &) = delete;

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

    // Inserts one shared mapping for an existing user: its id, or nothing for an unknown user. The
    // library's size is the caller's to add to.
    static std::optional<std::int64_t> insertMapping(Connection &connection, const NewMapping &mapping);
    static bool userDisabled(Connection &connection, std::string_view user);

    using Pool = ConnectionPool<Connection>;
    std::string m_url;
    std::unique_ptr<Pool> m_pool;
};

} // namespace ovserver
