#include "storage/SqliteStorage.h"

#include "storage/Rows.h"
#include "storage/Schema.h"
#include "storage/SqliteSchema.h"

#include "Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

namespace ovserver {

namespace {

// Earlier servers had no SQLite step for the plug-in search (version 5), so their SQLite stores
// record the cased key (version 6) as version 5.
constexpr int kEarlierCasedKeyVersion = 5;

constexpr int kBusyTimeoutMs = 5000;

// The user's existence is checked by the very insert that stores the mapping.
constexpr const char *kInsertMapping = "INSERT INTO mappings (user_id, plugin, comments, hardware, uploaded_at, file) "
                                       "SELECT id, ?, ?, ?, ?, ? FROM users WHERE name = ? AND NOT disabled;";

[[noreturn]] void fail(sqlite3 *db, std::string_view what)
{
    throw StorageError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// A cached prepared statement, reset and unbound when it goes out of scope. Bound texts and blobs
// are not copied: they must outlive the statement's use, which the callers' scopes guarantee.
class Statement {
public:
    Statement(sqlite3 *db, sqlite3_stmt *statement) : m_db(db), m_statement(statement) { }
    ~Statement()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, std::string_view text)
    {
        // A null pointer would bind SQL NULL; an empty text must stay an empty text.
        check(sqlite3_bind_text(m_statement, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                                SQLITE_STATIC));
        return *this;
    }
    Statement &bindBlob(int index, std::string_view bytes)
    {
        check(sqlite3_bind_blob(m_statement, index, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                                SQLITE_STATIC));
        return *this;
    }
    Statement &bind(int index, std::int64_t value)
    {
        check(sqlite3_bind_int64(m_statement, index, value));
        return *this;
    }

    // True while a row is there to read.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail(m_db, "database step failed");
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::string bytes(int column) const
    {
        const void *data = sqlite3_column_blob(m_statement, column);
        const int size = sqlite3_column_bytes(m_statement, column);
        return data ? std::string(static_cast<const char *>(data), static_cast<std::size_t>(size)) : std::string();
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            fail(m_db, "binding a value failed");
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_statement;
};

} // namespace

class SqliteStorage::Connection {
public:
    explicit Connection(const std::string &path)
    {
        // NOMUTEX: the pool hands a connection to one thread at a time.
        const int rc = sqlite3_open_v2(path.c_str(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const std::string message =
                std::string("cannot open database ") + path + ": " + (m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
            sqlite3_close(m_db);
            throw StorageError(message);
        }
        try {
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            // Pages are read from a memory mapping of the file, shared by all connections,
            // rather than copied with a system call each into every connection's own cache.
            exec("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON; PRAGMA mmap_size = 268435456;");
#if defined(__APPLE__)
            // macOS's fsync stops at the drive's cache; a committed upload must survive a power cut.
            exec("PRAGMA fullfsync = ON;");
#endif
        } catch (...) {
            sqlite3_close(m_db);
            throw;
        }
    }
    ~Connection()
    {
        for (auto &[sql, statement] : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // A local file does not go away under an open connection.
    bool usable() const
    {
        return true;
    }

    // Statements without values only (pragmas, schema, transaction control).
    void exec(const char *sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(m_db, sql);
    }

    // Write-ahead logging is a property of the file. Switching a new file to it needs the file to
    // itself, and SQLite does not wait for that through the busy handler: of two servers that open
    // a new file at the same moment, one would stop at once with "database is locked". So the
    // switch is tried again until it holds or the busy time runs out.
    void useWriteAheadLog(const std::string &path)
    {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(kBusyTimeoutMs);
        for (auto pause = milliseconds(1);; pause = std::min(2 * pause, milliseconds(50))) {
            const int rc = sqlite3_exec(m_db, "PRAGMA journal_mode = WAL;", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                fail(m_db, "PRAGMA journal_mode = WAL;");
            if (rc == SQLITE_OK) {
                Statement mode = prepare("PRAGMA journal_mode;");
                if (mode.step() && mode.bytes(0) == "wal")
                    return;
            }
            if (steady_clock::now() >= deadline)
                throw StorageError("cannot switch " + path + " to write-ahead logging");
            std::this_thread::sleep_for(pause);
        }
    }

    // The statement for this SQL text, prepared once per connection; sql must be a literal.
    Statement prepare(const char *sql)
    {
        auto found = m_statements.find(sql);
        if (found == m_statements.end()) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
                fail(m_db, "preparing a statement failed");
            found = m_statements.emplace(sql, statement).first;
        }
        return Statement(m_db, found->second);
    }

    // Transaction control. BEGIN IMMEDIATE takes the write lock at the start, so a transaction that
    // reads and then writes never fails half-way on a lock that another writer holds.
    static constexpr const char *kBegin = "BEGIN IMMEDIATE;";
    static constexpr const char *kCommit = "COMMIT;";
    static constexpr const char *kRollback = "ROLLBACK;";

    template <typename... Values> std::int64_t integer(const char *sql, const Values &...values)
    {
        Statement query = prepare(sql);
        bindAll(query, values...);
        query.step();
        return query.integer(0);
    }

    template <typename... Values> std::int64_t change(const char *sql, const Values &...values)
    {
        Statement query = prepare(sql);
        bindAll(query, values...);
        query.step();
        return changes();
    }

    template <typename Read, typename... Values> auto rows(const char *sql, Read read, const Values &...values)
    {
        Statement query = prepare(sql);
        bindAll(query, values...);
        std::vector<decltype(read(query))> result;
        while (query.step())
            result.push_back(read(query));
        return result;
    }

    std::int64_t changes() const
    {
        return sqlite3_changes64(m_db);
    }
    std::int64_t lastInsertId() const
    {
        return sqlite3_last_insert_rowid(m_db);
    }

private:
    template <typename... Values> static void bindAll(Statement &query, const Values &...values)
    {
        int index = 0;
        (query.bind(++index, values), ...);
    }

    sqlite3 *m_db = nullptr;
    std::unordered_map<const char *, sqlite3_stmt *> m_statements;
};

class SqliteStorage::Transaction : public storage::Transaction<Connection> {
public:
    using storage::Transaction<Connection>::Transaction;
};

SqliteStorage::SqliteStorage(const std::string &path, std::size_t maxConnections)
    : m_path(path), m_pool(std::make_unique<ConnectionPool<Connection>>(
                        [this] { return std::make_unique<Connection>(m_path); }, maxConnections))
{
    if (sqlite3_threadsafe() == 0)
        throw StorageError("this SQLite library was built without thread support");
    // SQLite counts its memory under one process-wide lock in every allocation, which all request
    // threads would take turns at; the server does not read those counts. Only possible before
    // SQLite starts, which it does with the first connection.
    static std::once_flag noMemoryStatistics;
    std::call_once(noMemoryStatistics, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
    auto connection = m_pool->lease();
    connection->useWriteAheadLog(path);

    Transaction transaction(*connection);
    int version = storage::schemaVersion(*connection, storage::sqliteSchema());
    if (version == kEarlierCasedKeyVersion
        && connection->integer("SELECT COUNT(*) FROM pragma_table_info('users') WHERE name = 'cased_key';") > 0) {
        version = storage::kCasedKeyVersion;
        connection->change(storage::sqliteSchema().recordVersion, std::int64_t{version});
    }
    storage::migrate(*connection, storage::sqliteSchema(), version, path);
    transaction.commit();
}

SqliteStorage::~SqliteStorage() = default;

Registration SqliteStorage::createUser(const NewUser &user, const VolumeLimits &limits)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    connection->prepare("DELETE FROM registrations WHERE registered_at <= ?;")
        .bind(1, user.createdAt - kSecondsPerHour)
        .step();
    if (connection->integer("SELECT COUNT(*) FROM registrations WHERE address = ?;", user.address)
        >= limits.registrationsPerHour)
        return Registration::TooManyFromAddress;
    const std::string key = userNameKey(user.name), casedKey = userNameCasedKey(user.name);
    connection
        ->prepare(
            "INSERT INTO users (name, email, pin_hash, created_at, name_key, cased_key) VALUES (?, ?, ?, ?, ?, ?) "
            "ON CONFLICT DO NOTHING;")
        .bind(1, user.name)
        .bind(2, user.email)
        .bind(3, user.pinHash)
        .bind(4, user.createdAt)
        .bind(5, key)
        .bind(6, casedKey)
        .step();
    if (connection->changes() != 1)
        return Registration::NameTaken;
    connection->prepare("INSERT INTO registrations (address, registered_at) VALUES (?, ?);")
        .bind(1, user.address)
        .bind(2, user.createdAt)
        .step();
    transaction.commit();
    return Registration::Created;
}

std::optional<std::string> SqliteStorage::pinHash(std::string_view user)
{
    auto connection = m_pool->lease();
    return storage::firstRow(*connection, "SELECT pin_hash FROM users WHERE name = ?;", storage::readFirstColumn, user);
}

SignInGate SqliteStorage::openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy &policy)
{
    const std::int64_t windowStart = now - policy.windowSeconds;
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    connection->prepare("DELETE FROM signin_failures WHERE failed_at <= ?;").bind(1, windowStart).step();
    const bool open =
        connection->integer("SELECT COUNT(*) FROM signin_failures WHERE user_name = ?;", user) < policy.maxFailures;
    if (open)
        connection->prepare("INSERT INTO signin_failures (user_name, failed_at) VALUES (?, ?);")
            .bind(1, user)
            .bind(2, now)
            .step();
    transaction.commit();
    return open ? SignInGate::Open : SignInGate::Throttled;
}

void SqliteStorage::clearSignInFailures(std::string_view user)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    connection->prepare("DELETE FROM signin_failures WHERE user_name = ?;").bind(1, user).step();
}

std::optional<std::int64_t> SqliteStorage::insertMapping(Connection &connection, const NewMapping &mapping)
{
    connection.prepare(kInsertMapping)
        .bind(1, mapping.plugin)
        .bind(2, mapping.comments)
        .bind(3, mapping.hardware)
        .bind(4, mapping.uploadedAt)
        .bindBlob(5, mapping.file)
        .bind(6, mapping.user)
        .step();
    if (connection.changes() != 1)
        return std::nullopt;
    const std::int64_t id = connection.lastInsertId();
    connection.prepare("UPDATE library_size SET bytes = bytes + ?;").bind(1, storedBytes(mapping)).step();
    return id;
}

namespace {

constexpr const char *kUploadsSince =
    "SELECT COUNT(*) FROM mappings m JOIN users u ON u.id = m.user_id WHERE u.name = ? AND m.uploaded_at > ?;";

} // namespace

std::int64_t SqliteStorage::uploadsSince(std::string_view user, std::int64_t since)
{
    auto connection = m_pool->lease();
    return connection->integer(kUploadsSince, user, since);
}

Upload SqliteStorage::addMapping(const NewMapping &mapping, const VolumeLimits &limits)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    if (connection->integer(kUploadsSince, mapping.user, mapping.uploadedAt - kSecondsPerHour) >= limits.uploadsPerHour)
        return {Upload::Outcome::TooManyUploads};
    if (connection->integer("SELECT bytes + ? FROM library_size;", storedBytes(mapping)) > limits.maxStoreBytes)
        return {Upload::Outcome::StoreFull};
    const auto id = insertMapping(*connection, mapping);
    if (!id)
        return {userDisabled(*connection, mapping.user) ? Upload::Outcome::UserDisabled : Upload::Outcome::NoSuchUser};
    transaction.commit();
    return {Upload::Outcome::Stored, *id};
}

std::vector<MappingSummary> SqliteStorage::listMappings(std::string_view plugin, std::size_t limit)
{
    auto connection = m_pool->lease();
    return connection->rows(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads FROM mappings m JOIN users u ON u.id = m.user_id "
        "WHERE m.plugin = ? AND NOT m.hidden ORDER BY m.uploaded_at DESC, m.id DESC LIMIT ?;",
        storage::readSummary, plugin, static_cast<std::int64_t>(limit));
}

std::vector<PluginSummary> SqliteStorage::listPlugins(std::string_view search, std::int64_t offset, std::int64_t limit)
{
    const std::string pattern = likeContaining(search);
    auto connection = m_pool->lease();
    // SQLite's LIKE compares ASCII letters without regard to case.
    return connection->rows(
        "SELECT name, mappings FROM plugins WHERE name LIKE ? ESCAPE '\\' ORDER BY name LIMIT ? OFFSET ?;",
        storage::readPlugin, pattern, limit, offset);
}

std::optional<MappingDetails> SqliteStorage::mappingDetails(std::int64_t id)
{
    auto connection = m_pool->lease();
    return storage::firstRow(*connection,
                             "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin, m.file FROM "
                             "mappings m JOIN users u ON u.id = m.user_id WHERE m.id = ? AND NOT m.hidden;",
                             storage::readDetails, id);
}

std::optional<std::vector<std::int64_t>> SqliteStorage::addMappings(const std::vector<NewMapping> &mappings)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    std::vector<std::int64_t> ids;
    ids.reserve(mappings.size());
    for (const NewMapping &mapping : mappings) {
        const auto id = insertMapping(*connection, mapping);
        if (!id)
            return std::nullopt; // rolled back: nothing of the batch is kept
        ids.push_back(*id);
    }
    transaction.commit();
    return ids;
}

DownloadCount SqliteStorage::registerDownload(std::int64_t id, std::string_view address, std::int64_t now)
{
    const std::int64_t day = now / kSecondsPerDay;
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    connection->prepare("DELETE FROM download_registrations WHERE day < ?;").bind(1, day).step();
    connection
        ->prepare("INSERT OR IGNORE INTO download_registrations (mapping_id, address, day) "
                  "SELECT id, ?, ? FROM mappings WHERE id = ? AND NOT hidden;")
        .bind(1, address)
        .bind(2, day)
        .bind(3, id)
        .step();
    if (connection->changes() == 0)
        return connection->integer("SELECT COUNT(*) FROM mappings WHERE id = ? AND NOT hidden;", id)
                   ? DownloadCount::AlreadyCountedToday
                   : DownloadCount::NoSuchMapping;
    connection->prepare("UPDATE mappings SET downloads = downloads + 1 WHERE id = ?;").bind(1, id).step();
    transaction.commit();
    return DownloadCount::Counted;
}

std::vector<OwnMapping> SqliteStorage::userMappings(std::string_view user, std::size_t limit)
{
    auto connection = m_pool->lease();
    return connection->rows(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin FROM mappings m JOIN users u ON u.id = "
        "m.user_id WHERE u.name = ? ORDER BY m.uploaded_at DESC, m.id DESC LIMIT ?;",
        storage::readOwnMapping, user, static_cast<std::int64_t>(limit));
}

Deletion SqliteStorage::deleteMapping(std::int64_t id, std::string_view user)
{
    static constexpr storage::DeletionSql kSql{
        "SELECT u.name FROM mappings m JOIN users u ON u.id = m.user_id WHERE m.id = ?;",
        "UPDATE library_size SET bytes = MAX(0, bytes - (SELECT length(file) + length(CAST(comments AS BLOB)) + "
        "length(CAST(plugin AS BLOB)) FROM mappings WHERE id = ?1));",
        "DELETE FROM download_registrations WHERE mapping_id = ?;",
        "DELETE FROM mappings WHERE id = ?;",
    };
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    return storage::deleteOwnMapping(*connection, transaction, kSql, id, user);
}

std::optional<std::string> SqliteStorage::mappingFile(std::int64_t id)
{
    auto connection = m_pool->lease();
    return storage::firstRow(*connection, "SELECT file FROM mappings WHERE id = ? AND NOT hidden;",
                             storage::readFirstColumn, id);
}

bool SqliteStorage::healthy()
{
    return storage::healthy(*m_pool);
}

bool SqliteStorage::setMappingHidden(std::int64_t id, bool hidden)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    return connection->change("UPDATE mappings SET hidden = ? WHERE id = ?;", std::int64_t{hidden}, id) == 1;
}

bool SqliteStorage::setUserDisabled(std::string_view user, bool disabled)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    return connection->change("UPDATE users SET disabled = ? WHERE name = ?;", std::int64_t{disabled}, user) == 1;
}

bool SqliteStorage::userDisabled(Connection &connection, std::string_view user)
{
    return connection.integer("SELECT COUNT(*) FROM users WHERE name = ? AND disabled;", user) > 0;
}

bool SqliteStorage::userDisabled(std::string_view user)
{
    auto connection = m_pool->lease();
    return userDisabled(*connection, user);
}

bool SqliteStorage::mappingShown(std::int64_t id)
{
    auto connection = m_pool->lease();
    return connection->integer("SELECT COUNT(*) FROM mappings WHERE id = ? AND NOT hidden;", id) > 0;
}

std::vector<UploadRecord> SqliteStorage::recentUploads(std::size_t limit)
{
    auto connection = m_pool->lease();
    return connection->rows("SELECT m.id, u.name, m.plugin, m.uploaded_at, m.hidden FROM mappings m JOIN users u ON "
                            "u.id = m.user_id ORDER BY m.uploaded_at DESC, m.id DESC LIMIT ?;",
                            storage::readUpload, static_cast<std::int64_t>(limit));
}

StoreFigures SqliteStorage::figures()
{
    return storage::figures(*m_pool);
}

} // namespace ovserver
