#include "storage/SqliteStorage.h"

#include "UserName.h"

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

// Migration n brings the schema from version n - 1 to n. Published migrations never change.
const char *const kMigrations[] = {
    R"sql(
    CREATE TABLE users (
        id         INTEGER PRIMARY KEY,
        name       TEXT    NOT NULL UNIQUE,
        email      TEXT    NOT NULL,
        pin_hash   TEXT    NOT NULL,
        created_at INTEGER NOT NULL
    );
    -- AUTOINCREMENT: a mapping's number is never given again, even after a deletion, so a number
    -- a client still holds cannot come to mean another file.
    CREATE TABLE mappings (
        id          INTEGER PRIMARY KEY AUTOINCREMENT,
        user_id     INTEGER NOT NULL REFERENCES users(id),
        plugin      TEXT    NOT NULL,
        comments    TEXT    NOT NULL,
        hardware    INTEGER NOT NULL,
        uploaded_at INTEGER NOT NULL,
        downloads   INTEGER NOT NULL DEFAULT 0,
        file        BLOB    NOT NULL
    );
    CREATE INDEX mappings_by_plugin ON mappings (plugin, uploaded_at DESC, id DESC);
    CREATE TABLE signin_failures (
        id        INTEGER PRIMARY KEY,
        user_name TEXT    NOT NULL,
        failed_at INTEGER NOT NULL
    );
    CREATE INDEX signin_failures_by_name ON signin_failures (user_name, failed_at);
    CREATE INDEX signin_failures_by_time ON signin_failures (failed_at);
    )sql",
    // Every plug-in name with how many mappings it has, kept by the store itself with every change,
    // so that the web library lists plug-ins without counting all mappings at each request.
    R"sql(
    CREATE TABLE plugins (
        name     TEXT    PRIMARY KEY,
        mappings INTEGER NOT NULL
    ) WITHOUT ROWID;
    INSERT INTO plugins (name, mappings) SELECT plugin, COUNT(*) FROM mappings GROUP BY plugin;
    CREATE TRIGGER plugins_count_insert AFTER INSERT ON mappings BEGIN
        INSERT INTO plugins (name, mappings) VALUES (NEW.plugin, 1)
            ON CONFLICT (name) DO UPDATE SET mappings = mappings + 1;
    END;
    CREATE TRIGGER plugins_count_delete AFTER DELETE ON mappings BEGIN
        UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin;
        DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
    END;
    CREATE TRIGGER plugins_count_update AFTER UPDATE OF plugin ON mappings BEGIN
        UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin;
        DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
        INSERT INTO plugins (name, mappings) VALUES (NEW.plugin, 1)
            ON CONFLICT (name) DO UPDATE SET mappings = mappings + 1;
    END;
    )sql",
    R"sql(
    CREATE INDEX mappings_by_user ON mappings (user_id, uploaded_at);
    CREATE TABLE registrations (
        id            INTEGER PRIMARY KEY,
        address       TEXT    NOT NULL,
        registered_at INTEGER NOT NULL
    );
    CREATE INDEX registrations_by_address ON registrations (address, registered_at);
    CREATE INDEX registrations_by_time ON registrations (registered_at);
    -- A download counts once per address, mapping and UTC day (days since 1970).
    CREATE TABLE download_registrations (
        mapping_id INTEGER NOT NULL,
        address    TEXT    NOT NULL,
        day        INTEGER NOT NULL,
        PRIMARY KEY (mapping_id, address, day)
    ) WITHOUT ROWID;
    CREATE INDEX download_registrations_by_day ON download_registrations (day);
    -- The bytes of every mapping's file, comment and plug-in name, kept with each insert.
    CREATE TABLE library_size (bytes INTEGER NOT NULL);
    INSERT INTO library_size
        SELECT COALESCE(SUM(length(file) + length(CAST(comments AS BLOB)) + length(CAST(plugin AS BLOB))), 0) FROM mappings;
    )sql",
    R"sql(
    -- What a name looks like (case, normalisation and look-alike characters folded away): one user
    -- per look. Filled for the users of before by the server, which computes it.
    ALTER TABLE users ADD COLUMN name_key TEXT;
    CREATE UNIQUE INDEX users_by_name_key ON users (name_key);
    )sql",
    R"sql(
    -- The look of a name with its capitals read as what they look like before case is folded
    -- ("aIice" as "alice"): a second key, one user per look by either. Filled by the server too.
    ALTER TABLE users ADD COLUMN cased_key TEXT;
    CREATE UNIQUE INDEX users_by_cased_key ON users (cased_key);
    )sql",
};

// The migrations that add users.name_key and users.cased_key, which the server fills in for the
// users it finds.
constexpr int kNameKeyVersion = 4;
constexpr int kCasedKeyVersion = 5;

constexpr int kBusyTimeoutMs = 5000;

// The user's existence is checked by the very insert that stores the mapping.
constexpr const char *kInsertMapping = "INSERT INTO mappings (user_id, plugin, comments, hardware, uploaded_at, file) "
                                       "SELECT id, ?, ?, ?, ?, ? FROM users WHERE name = ?;";

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

    std::int64_t changes() const
    {
        return sqlite3_changes64(m_db);
    }
    std::int64_t lastInsertId() const
    {
        return sqlite3_last_insert_rowid(m_db);
    }

private:
    sqlite3 *m_db = nullptr;
    std::unordered_map<const char *, sqlite3_stmt *> m_statements;
};

// BEGIN IMMEDIATE takes the write lock at the start, so a transaction that reads and then writes
// never fails half-way on a lock that another writer holds. Rolled back unless committed.
class SqliteStorage::Transaction {
public:
    explicit Transaction(Connection &connection) : m_connection(connection) { m_connection.exec("BEGIN IMMEDIATE;"); }
    ~Transaction()
    {
        if (!m_open)
            return;
        try {
            m_connection.exec("ROLLBACK;");
        } catch (const StorageError &) {
            // SQLite has already rolled back when a statement failed that way; nothing more to undo.
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_connection.exec("COMMIT;");
        m_open = false;
    }

private:
    Connection &m_connection;
    bool m_open = true;
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
    connection->exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL, applied_at INTEGER NOT NULL "
                     "DEFAULT (unixepoch()));");
    int version;
    {
        Statement current = connection->prepare("SELECT COALESCE(MAX(version), 0) FROM schema_version;");
        current.step();
        version = static_cast<int>(current.integer(0));
    }
    if (version > latestSchemaVersion())
        throw StorageError(path + " has schema version " + std::to_string(version) + ", newer than this server's "
                           + std::to_string(latestSchemaVersion()));
    for (; version < latestSchemaVersion(); ++version) {
        connection->exec(kMigrations[version]);
        if (version + 1 == kNameKeyVersion)
            fillNameKeys(*connection);
        if (version + 1 == kCasedKeyVersion)
            fillCasedKeys(*connection);
        connection->prepare("INSERT INTO schema_version (version) VALUES (?);")
            .bind(1, std::int64_t{version + 1})
            .step();
    }
    transaction.commit();
}

SqliteStorage::~SqliteStorage() = default;

void SqliteStorage::fillNameKeys(Connection &connection)
{
    std::vector<std::pair<std::int64_t, std::string>> users;
    {
        Statement query = connection.prepare("SELECT id, name FROM users ORDER BY id;");
        while (query.step())
            users.emplace_back(query.integer(0), query.bytes(1));
    }
    // The first of several look-alike names keeps the look; the others keep their names and sign in
    // as before, without a key. Names are put in NFC where that takes no other user's name.
    for (const auto &[id, name] : users) {
        const std::string key = userNameKey(name), normal = nfc(name);
        connection
            .prepare(
                "UPDATE users SET name_key = ? WHERE id = ? AND NOT EXISTS (SELECT 1 FROM users WHERE name_key = ?);")
            .bind(1, key)
            .bind(2, id)
            .bind(3, key)
            .step();
        connection
            .prepare("UPDATE users SET name = ? WHERE id = ? AND NOT EXISTS (SELECT 1 FROM users WHERE name = ?);")
            .bind(1, normal)
            .bind(2, id)
            .bind(3, normal)
            .step();
    }
}

void SqliteStorage::fillCasedKeys(Connection &connection)
{
    std::vector<std::pair<std::int64_t, std::string>> users;
    {
        Statement query = connection.prepare("SELECT id, name FROM users ORDER BY id;");
        while (query.step())
            users.emplace_back(query.integer(0), query.bytes(1));
    }
    for (const auto &[id, name] : users) {
        const std::string key = userNameCasedKey(name);
        connection
            .prepare(
                "UPDATE users SET cased_key = ? WHERE id = ? AND NOT EXISTS (SELECT 1 FROM users WHERE cased_key = ?);")
            .bind(1, key)
            .bind(2, id)
            .bind(3, key)
            .step();
    }
}

int SqliteStorage::latestSchemaVersion()
{
    return static_cast<int>(std::size(kMigrations));
}

Registration SqliteStorage::createUser(const NewUser &user, const VolumeLimits &limits)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    connection->prepare("DELETE FROM registrations WHERE registered_at <= ?;")
        .bind(1, user.createdAt - kSecondsPerHour)
        .step();
    if (integer(*connection, "SELECT COUNT(*) FROM registrations WHERE address = ?;", user.address)
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

template <typename... Values>
std::int64_t SqliteStorage::integer(Connection &connection, const char *sql, Values... values)
{
    Statement query = connection.prepare(sql);
    int index = 0;
    (query.bind(++index, values), ...);
    query.step();
    return query.integer(0);
}

template <typename Key> std::optional<std::string> SqliteStorage::firstValue(const char *sql, Key key)
{
    auto connection = m_pool->lease();
    Statement query = connection->prepare(sql);
    query.bind(1, key);
    if (!query.step())
        return std::nullopt;
    return query.bytes(0);
}

std::optional<std::string> SqliteStorage::pinHash(std::string_view user)
{
    return firstValue("SELECT pin_hash FROM users WHERE name = ?;", user);
}

SignInGate SqliteStorage::openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy &policy)
{
    const std::int64_t windowStart = now - policy.windowSeconds;
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    connection->prepare("DELETE FROM signin_failures WHERE failed_at <= ?;").bind(1, windowStart).step();
    const bool open =
        integer(*connection, "SELECT COUNT(*) FROM signin_failures WHERE user_name = ?;", user) < policy.maxFailures;
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
    return integer(*connection, kUploadsSince, user, since);
}

Upload SqliteStorage::addMapping(const NewMapping &mapping, const VolumeLimits &limits)
{
    auto connection = m_pool->lease();
    const std::lock_guard writing(m_writer);
    Transaction transaction(*connection);
    if (integer(*connection, kUploadsSince, mapping.user, mapping.uploadedAt - kSecondsPerHour)
        >= limits.uploadsPerHour)
        return {Upload::Outcome::TooManyUploads};
    if (integer(*connection, "SELECT bytes + ? FROM library_size;", storedBytes(mapping)) > limits.maxStoreBytes)
        return {Upload::Outcome::StoreFull};
    const auto id = insertMapping(*connection, mapping);
    if (!id)
        return {Upload::Outcome::NoSuchUser};
    transaction.commit();
    return {Upload::Outcome::Stored, *id};
}

std::vector<MappingSummary> SqliteStorage::listMappings(std::string_view plugin, std::size_t limit)
{
    auto connection = m_pool->lease();
    Statement query = connection->prepare(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads FROM mappings m JOIN users u ON u.id = m.user_id "
        "WHERE m.plugin = ? ORDER BY m.uploaded_at DESC, m.id DESC LIMIT ?;");
    query.bind(1, plugin).bind(2, static_cast<std::int64_t>(limit));
    std::vector<MappingSummary> result;
    while (query.step())
        result.push_back({query.integer(0), query.bytes(1), query.bytes(2), query.integer(3), query.integer(4)});
    return result;
}

std::vector<PluginSummary> SqliteStorage::listPlugins(std::string_view search, std::int64_t offset, std::int64_t limit)
{
    const std::string pattern = likeContaining(search);
    auto connection = m_pool->lease();
    // SQLite's LIKE compares ASCII letters without regard to case.
    Statement query = connection->prepare(
        "SELECT name, mappings FROM plugins WHERE name LIKE ? ESCAPE '\\' ORDER BY name LIMIT ? OFFSET ?;");
    query.bind(1, pattern).bind(2, limit).bind(3, offset);
    std::vector<PluginSummary> result;
    while (query.step())
        result.push_back({query.bytes(0), query.integer(1)});
    return result;
}

std::optional<MappingDetails> SqliteStorage::mappingDetails(std::int64_t id)
{
    auto connection = m_pool->lease();
    Statement query = connection->prepare(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin, m.file FROM mappings m "
        "JOIN users u ON u.id = m.user_id WHERE m.id = ?;");
    query.bind(1, id);
    if (!query.step())
        return std::nullopt;
    return MappingDetails{{query.integer(0), query.bytes(1), query.bytes(2), query.integer(3), query.integer(4)},
                          query.bytes(5),
                          query.bytes(6)};
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
                  "SELECT id, ?, ? FROM mappings WHERE id = ?;")
        .bind(1, address)
        .bind(2, day)
        .bind(3, id)
        .step();
    if (connection->changes() == 0)
        return integer(*connection, "SELECT COUNT(*) FROM mappings WHERE id = ?;", id)
                   ? DownloadCount::AlreadyCountedToday
                   : DownloadCount::NoSuchMapping;
    connection->prepare("UPDATE mappings SET downloads = downloads + 1 WHERE id = ?;").bind(1, id).step();
    transaction.commit();
    return DownloadCount::Counted;
}

std::optional<std::string> SqliteStorage::mappingFile(std::int64_t id)
{
    return firstValue("SELECT file FROM mappings WHERE id = ?;", id);
}

bool SqliteStorage::healthy()
{
    try {
        auto connection = m_pool->lease();
        Statement query = connection->prepare("SELECT COUNT(*) FROM schema_version;");
        return query.step() && query.integer(0) > 0;
    } catch (const StorageError &) {
        return false;
    }
}

} // namespace ovserver
