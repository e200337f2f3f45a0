#include "storage/PostgresStorage.h"

#include "UserName.h"

#include "Text.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cstring>
#include <initializer_list>
#include <unordered_map>
#include <utility>

namespace ovserver {

namespace {

// Migration n brings the schema from version n - 1 to n. Published migrations never change.
const char *const kMigrations[] = {
    R"sql(
    CREATE TABLE users (
        id         BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
        name       TEXT   NOT NULL UNIQUE,
        email      TEXT   NOT NULL,
        pin_hash   TEXT   NOT NULL,
        created_at BIGINT NOT NULL
    );
    -- Numbers come from a sequence and are never given again, so a number that a client still
    -- holds cannot come to mean another file.
    CREATE TABLE mappings (
        id          BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
        user_id     BIGINT NOT NULL REFERENCES users(id),
        plugin      TEXT   NOT NULL,
        comments    TEXT   NOT NULL,
        hardware    BIGINT NOT NULL,
        uploaded_at BIGINT NOT NULL,
        downloads   BIGINT NOT NULL DEFAULT 0,
        file        BYTEA  NOT NULL
    );
    CREATE INDEX mappings_by_plugin ON mappings (plugin, uploaded_at DESC, id DESC);
    CREATE TABLE signin_failures (
        id        BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
        user_name TEXT   NOT NULL,
        failed_at BIGINT NOT NULL
    );
    CREATE INDEX signin_failures_by_name ON signin_failures (user_name, failed_at);
    CREATE INDEX signin_failures_by_time ON signin_failures (failed_at);
    )sql",
    // Every plug-in name with how many mappings it has, kept by the database itself with every
    // change, so that the web library lists plug-ins without counting all mappings at each request.
    R"sql(
    CREATE TABLE plugins (
        name     TEXT   PRIMARY KEY,
        mappings BIGINT NOT NULL
    );
    INSERT INTO plugins (name, mappings) SELECT plugin, COUNT(*) FROM mappings GROUP BY plugin;
    CREATE FUNCTION plugins_count() RETURNS trigger LANGUAGE plpgsql AS $$
    BEGIN
        IF TG_OP IN ('DELETE', 'UPDATE') THEN
            UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin;
            DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
        END IF;
        IF TG_OP IN ('INSERT', 'UPDATE') THEN
            INSERT INTO plugins (name, mappings) VALUES (NEW.plugin, 1)
                ON CONFLICT (name) DO UPDATE SET mappings = plugins.mappings + 1;
        END IF;
        RETURN NULL;
    END $$;
    CREATE TRIGGER plugins_count AFTER INSERT OR DELETE OR UPDATE OF plugin ON mappings
        FOR EACH ROW EXECUTE FUNCTION plugins_count();
    )sql",
    R"sql(
    CREATE INDEX mappings_by_user ON mappings (user_id, uploaded_at);
    CREATE TABLE registrations (
        id            BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
        address       TEXT   NOT NULL,
        registered_at BIGINT NOT NULL
    );
    CREATE INDEX registrations_by_address ON registrations (address, registered_at);
    CREATE INDEX registrations_by_time ON registrations (registered_at);
    -- A download counts once per address, mapping and UTC day (days since 1970).
    CREATE TABLE download_registrations (
        mapping_id BIGINT NOT NULL,
        address    TEXT   NOT NULL,
        day        BIGINT NOT NULL,
        PRIMARY KEY (mapping_id, address, day)
    );
    CREATE INDEX download_registrations_by_day ON download_registrations (day);
    -- The bytes of every mapping's file, comment and plug-in name, kept with each insert. Its one
    -- row is also where uploads on all nodes take turns.
    CREATE TABLE library_size (bytes BIGINT NOT NULL);
    INSERT INTO library_size
        SELECT COALESCE(SUM(octet_length(file) + octet_length(comments) + octet_length(plugin)), 0) FROM mappings;
    )sql",
    R"sql(
    -- What a name looks like (case, normalisation and look-alike characters folded away): one user
    -- per look. Filled for the users of before by the server, which computes it.
    ALTER TABLE users ADD COLUMN name_key TEXT UNIQUE;
    )sql",
    R"sql(
    -- Each plug-in name in small letters, kept by the database, for the web library's search: the
    -- same match as ILIKE, which folds both sides with lower() each time, once per name instead.
    ALTER TABLE plugins ADD COLUMN IF NOT EXISTS folded TEXT GENERATED ALWAYS AS (lower(name)) STORED;
    )sql",
    R"sql(
    -- The look of a name with its capitals read as what they look like before case is folded
    -- ("aIice" as "alice"): a second key, one user per look by either. Filled by the server too.
    ALTER TABLE users ADD COLUMN cased_key TEXT UNIQUE;
    )sql",
};

// The migrations that add users.name_key and users.cased_key, which the server fills in for the
// users it finds.
constexpr int kNameKeyVersion = 4;
constexpr int kCasedKeyVersion = 6;

// Taken while the schema is checked and migrated, so that nodes starting together migrate once.
constexpr std::int64_t kMigrationLock = 0x6f76636f6d6d; // "ovcomm"

constexpr const char *kInsertMapping =
    "INSERT INTO mappings (user_id, plugin, comments, hardware, uploaded_at, file) "
    "SELECT id, $1::text, $2::text, $3::bigint, $4::bigint, $5::bytea FROM users WHERE name = $6::text RETURNING id;";

// One value of a statement, sent in binary form: texts and files as their bytes, numbers as eight
// bytes in network order. A text with a NUL byte reaches the server whole, which refuses it.
class Param {
public:
    Param(std::string_view bytes) : m_bytes(bytes.empty() ? "" : bytes.data()), m_length(static_cast<int>(bytes.size()))
    {
    }
    Param(const std::string &bytes) : Param(std::string_view(bytes)) { }
    Param(std::int64_t number) : m_isNumber(true), m_length(8)
    {
        auto value = static_cast<std::uint64_t>(number);
        for (int i = 7; i >= 0; --i, value >>= 8)
            m_number[i] = static_cast<char>(value & 0xFF);
    }
    const char *data() const { return m_isNumber ? m_number : m_bytes; }
    int length() const { return m_length; }

private:
    const char *m_bytes = nullptr;
    char m_number[8] = {};
    bool m_isNumber = false;
    int m_length = 0;
};

std::string firstLine(const char *message)
{
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A statement's outcome, in binary form; owns the PGresult.
class Result {
public:
    explicit Result(PGresult *result) : m_result(result) { }
    ~Result() { PQclear(m_result); }
    Result(Result &&other) noexcept : m_result(std::exchange(other.m_result, nullptr)) { }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    Result &operator=(Result &&) = delete;

    int rows() const { return PQntuples(m_result); }
    std::string bytes(int row, int column) const
    {
        return std::string(PQgetvalue(m_result, row, column),
                           static_cast<std::size_t>(PQgetlength(m_result, row, column)));
    }
    std::int64_t integer(int row, int column) const
    {
        const auto *bytes = reinterpret_cast<const unsigned char *>(PQgetvalue(m_result, row, column));
        const int length = PQgetlength(m_result, row, column);
        std::uint64_t value = 0;
        for (int i = 0; i < length; ++i)
            value = value << 8 | bytes[i];
        if (length == 4)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return static_cast<std::int64_t>(value);
    }
    // Rows changed by an INSERT, UPDATE or DELETE.
    std::int64_t changed() const
    {
        const char *count = PQcmdTuples(m_result);
        return count && *count ? std::stoll(count) : 0;
    }

private:
    PGresult *m_result;
};

// The first column of the first row, or nothing when no row was found.
std::optional<std::string> firstValue(const Result &result)
{
    if (result.rows() == 0)
        return std::nullopt;
    return result.bytes(0, 0);
}

} // namespace

class PostgresStorage::Connection {
public:
    explicit Connection(const std::string &url) : m_connection(PQconnectdb(url.c_str()))
    {
        if (!m_connection)
            throw StorageError("cannot connect to PostgreSQL: out of memory");
        if (PQstatus(m_connection) != CONNECTION_OK) {
            const std::string message = "cannot connect to PostgreSQL: " + firstLine(PQerrorMessage(m_connection));
            PQfinish(m_connection);
            throw StorageError(message);
        }
        // "already exists, skipping" and the like are not for the server's log.
        PQsetNoticeProcessor(
            m_connection, [](void *, const char *) {}, nullptr);
        if (PQsetClientEncoding(m_connection, "UTF8") != 0) {
            PQfinish(m_connection);
            throw StorageError("PostgreSQL does not take UTF-8 from this client");
        }
    }
    ~Connection() { PQfinish(m_connection); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // False once the connection is broken, or when it was left inside a transaction. The server
    // sends nothing unasked to an idle connection that listens for no notifications, except the
    // message that it is closing it (a restart, an administrator, an idle time-out): anything
    // waiting on the socket means the connection is gone or going.
    bool usable()
    {
        if (PQstatus(m_connection) != CONNECTION_OK || PQtransactionStatus(m_connection) != PQTRANS_IDLE)
            return false;
        pollfd socket{PQsocket(m_connection), POLLIN, 0};
        return poll(&socket, 1, 0) == 0;
    }

    std::string parameter(const char *name) const
    {
        const char *value = PQparameterStatus(m_connection, name);
        return value ? value : "";
    }

    // Statements without values (transaction control, schema).
    void exec(const char *sql) { check(PQexec(m_connection, sql), sql); }

    // The statement for this SQL text, prepared once per connection; sql must be a literal.
    Result run(const char *sql, std::initializer_list<Param> params = {})
    {
        auto found = m_prepared.find(sql);
        if (found == m_prepared.end()) {
            std::string name = std::to_string(m_prepared.size());
            name.insert(name.begin(), 's');
            check(PQprepare(m_connection, name.c_str(), sql, 0, nullptr), "preparing a statement");
            found = m_prepared.emplace(sql, std::move(name)).first;
        }
        constexpr std::size_t kMostParams = 8;
        if (params.size() > kMostParams)
            throw StorageError("a statement with too many values");
        const char *values[kMostParams];
        int lengths[kMostParams];
        int formats[kMostParams];
        int count = 0;
        for (const Param &param : params) {
            values[count] = param.data();
            lengths[count] = param.length();
            formats[count] = 1;
            ++count;
        }
        return check(PQexecPrepared(m_connection, found->second.c_str(), count, values, lengths, formats, 1), sql);
    }

private:
    Result check(PGresult *raw, const char *what)
    {
        Result result(raw);
        const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const std::string message = firstLine(raw ? PQresultErrorMessage(raw) : PQerrorMessage(m_connection));
            throw StorageError(std::string("PostgreSQL refused ")
                               + (std::strlen(what) > 80 ? std::string(what, 80) + "..." : what) + ": "
                               + (message.empty() ? firstLine(PQerrorMessage(m_connection)) : message));
        }
        return result;
    }

    PGconn *m_connection;
    std::unordered_map<const char *, std::string> m_prepared;
};

// Rolled back unless committed.
class PostgresStorage::Transaction {
public:
    explicit Transaction(Connection &connection) : m_connection(connection) { m_connection.exec("BEGIN"); }
    ~Transaction()
    {
        if (!m_open)
            return;
        try {
            m_connection.exec("ROLLBACK");
        } catch (const StorageError &) {
            // The connection broke; the server rolls back on its own, and the pool drops it.
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_open = false;
        m_connection.exec("COMMIT");
    }

private:
    Connection &m_connection;
    bool m_open = true;
};

PostgresStorage::PostgresStorage(const std::string &url, std::size_t maxConnections)
    : m_url(url), m_pool(std::make_unique<ConnectionPool<Connection>>(
                      [this] { return std::make_unique<Connection>(m_url); }, maxConnections))
{
    auto connection = m_pool->lease();
    const std::string encoding = connection->parameter("server_encoding");
    if (encoding != "UTF8" && encoding != "SQL_ASCII")
        throw StorageError("the PostgreSQL database has the encoding " + encoding
                           + "; the community library needs a UTF8 database (CREATE DATABASE ... ENCODING 'UTF8')");

    Transaction transaction(*connection);
    connection->run("SELECT pg_advisory_xact_lock($1::bigint);", {kMigrationLock});
    connection->exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL, applied_at BIGINT NOT NULL "
                     "DEFAULT (extract(epoch FROM now())::bigint));");
    int version =
        static_cast<int>(connection->run("SELECT COALESCE(MAX(version), 0) FROM schema_version;").integer(0, 0));
    if (version > latestSchemaVersion())
        throw StorageError("the PostgreSQL database has schema version " + std::to_string(version)
                           + ", newer than this server's " + std::to_string(latestSchemaVersion()));
    for (; version < latestSchemaVersion(); ++version) {
        connection->exec(kMigrations[version]);
        if (version + 1 == kNameKeyVersion)
            fillNameKeys(*connection);
        if (version + 1 == kCasedKeyVersion)
            fillCasedKeys(*connection);
        connection->run("INSERT INTO schema_version (version) VALUES ($1::bigint);", {std::int64_t{version + 1}});
    }
    transaction.commit();
}

PostgresStorage::~PostgresStorage() = default;

void PostgresStorage::fillNameKeys(Connection &connection)
{
    const Result users = connection.run("SELECT id, name FROM users ORDER BY id;");
    // The first of several look-alike names keeps the look; the others keep their names and sign in
    // as before, without a key. Names are put in NFC where that takes no other user's name.
    for (int row = 0; row < users.rows(); ++row) {
        const std::int64_t id = users.integer(row, 0);
        const std::string name = users.bytes(row, 1);
        const std::string key = userNameKey(name), normal = nfc(name);
        connection.run("UPDATE users SET name_key = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
                       "WHERE name_key = $1::text);",
                       {key, id});
        connection.run("UPDATE users SET name = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
                       "WHERE name = $1::text);",
                       {normal, id});
    }
}

void PostgresStorage::fillCasedKeys(Connection &connection)
{
    const Result users = connection.run("SELECT id, name FROM users ORDER BY id;");
    for (int row = 0; row < users.rows(); ++row) {
        const std::int64_t id = users.integer(row, 0);
        connection.run(
            "UPDATE users SET cased_key = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
            "WHERE cased_key = $1::text);",
            {userNameCasedKey(users.bytes(row, 1)), id});
    }
}

int PostgresStorage::latestSchemaVersion()
{
    return static_cast<int>(std::size(kMigrations));
}

Registration PostgresStorage::createUser(const NewUser &user, const VolumeLimits &limits)
{
    const std::int64_t windowStart = user.createdAt - kSecondsPerHour;
    auto connection = m_pool->lease();
    Transaction transaction(*connection);
    // Registrations from one address, on any node, take turns from here to the commit.
    connection->run("SELECT pg_advisory_xact_lock(hashtextextended($1::text, 1));", {user.address});
    connection->run("DELETE FROM registrations WHERE id IN (SELECT id FROM registrations WHERE registered_at <= "
                    "$1::bigint LIMIT 1000 FOR UPDATE SKIP LOCKED);",
                    {windowStart});
    const std::int64_t recent =
        connection
            ->run("SELECT COUNT(*) FROM registrations WHERE address = $1::text AND registered_at > $2::bigint;",
                  {user.address, windowStart})
            .integer(0, 0);
    if (recent >= limits.registrationsPerHour)
        return Registration::TooManyFromAddress;
    const bool created =
        connection
            ->run("INSERT INTO users (name, email, pin_hash, created_at, name_key, cased_key) VALUES "
                  "($1::text, $2::text, $3::text, $4::bigint, $5::text, $6::text) ON CONFLICT DO NOTHING;",
                  {user.name, user.email, user.pinHash, user.createdAt, userNameKey(user.name),
                   userNameCasedKey(user.name)})
            .changed()
        == 1;
    if (!created)
        return Registration::NameTaken;
    connection->run("INSERT INTO registrations (address, registered_at) VALUES ($1::text, $2::bigint);",
                    {user.address, user.createdAt});
    transaction.commit();
    return Registration::Created;
}

std::optional<std::string> PostgresStorage::pinHash(std::string_view user)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return firstValue(connection->run("SELECT pin_hash FROM users WHERE name = $1::text;", {user}));
}

SignInGate PostgresStorage::openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy &policy)
{
    const std::int64_t windowStart = now - policy.windowSeconds;
    auto connection = m_pool->lease();
    Transaction transaction(*connection);
    // Checks of one name, on any node, take turns from here to the commit; other names go on.
    connection->run("SELECT pg_advisory_xact_lock(hashtextextended($1::text, 0));", {user});
    // Old records of every name go on the way; rows that another check is deleting are left to it.
    connection->run("DELETE FROM signin_failures WHERE id IN (SELECT id FROM signin_failures WHERE failed_at <= "
                    "$1::bigint LIMIT 1000 FOR UPDATE SKIP LOCKED);",
                    {windowStart});
    const std::int64_t failures =
        connection
            ->run("SELECT COUNT(*) FROM signin_failures WHERE user_name = $1::text AND failed_at > $2::bigint;",
                  {user, windowStart})
            .integer(0, 0);
    const bool open = failures < policy.maxFailures;
    if (open)
        connection->run("INSERT INTO signin_failures (user_name, failed_at) VALUES ($1::text, $2::bigint);",
                        {user, now});
    transaction.commit();
    return open ? SignInGate::Open : SignInGate::Throttled;
}

void PostgresStorage::clearSignInFailures(std::string_view user)
{
    auto connection = m_pool->lease();
    connection->run("DELETE FROM signin_failures WHERE user_name = $1::text;", {user});
}

std::optional<std::int64_t> PostgresStorage::insertMapping(Connection &connection, const NewMapping &mapping)
{
    const Result result = connection.run(kInsertMapping, {mapping.plugin, mapping.comments, mapping.hardware,
                                                          mapping.uploadedAt, mapping.file, mapping.user});
    if (result.rows() != 1)
        return std::nullopt;
    return result.integer(0, 0);
}

namespace {

constexpr const char *kUploadsSince =
    "SELECT COUNT(*) FROM mappings m JOIN users u ON u.id = m.user_id WHERE u.name = $1::text AND "
    "m.uploaded_at > $2::bigint;";

} // namespace

std::int64_t PostgresStorage::uploadsSince(std::string_view user, std::int64_t since)
{
    auto connection = m_pool->lease();
    return connection->run(kUploadsSince, {user, since}).integer(0, 0);
}

Upload PostgresStorage::addMapping(const NewMapping &mapping, const VolumeLimits &limits)
{
    auto connection = m_pool->lease();
    Transaction transaction(*connection);
    // One user's uploads on all nodes take turns from here to the commit, so that two at the same
    // moment cannot both pass the hourly limit; other users' uploads go on meanwhile.
    connection->run("SELECT pg_advisory_xact_lock(hashtextextended($1::text, 2));", {mapping.user});
    const std::int64_t recent =
        connection->run(kUploadsSince, {mapping.user, mapping.uploadedAt - kSecondsPerHour}).integer(0, 0);
    if (recent >= limits.uploadsPerHour)
        return {Upload::Outcome::TooManyUploads};
    const auto id = insertMapping(*connection, mapping);
    if (!id)
        return {Upload::Outcome::NoSuchUser};
    // The library's size is one row that every upload of every node holds from its update to the
    // commit, so it comes last: uploads wait for one another only that long. Where the upload
    // would pass the limit the row stays as it was, and the rollback takes the mapping back.
    if (connection
            ->run("UPDATE library_size SET bytes = bytes + $1::bigint WHERE bytes + $1::bigint <= $2::bigint;",
                  {storedBytes(mapping), limits.maxStoreBytes})
            .changed()
        != 1)
        return {Upload::Outcome::StoreFull};
    transaction.commit();
    return {Upload::Outcome::Stored, *id};
}

std::optional<std::vector<std::int64_t>> PostgresStorage::addMappings(const std::vector<NewMapping> &mappings)
{
    auto connection = m_pool->lease();
    Transaction transaction(*connection);
    std::vector<std::int64_t> ids;
    ids.reserve(mappings.size());
    std::int64_t bytes = 0;
    for (const NewMapping &mapping : mappings) {
        const auto id = insertMapping(*connection, mapping);
        if (!id)
            return std::nullopt; // rolled back: nothing of the batch is kept
        ids.push_back(*id);
        bytes += storedBytes(mapping);
    }
    connection->run("UPDATE library_size SET bytes = bytes + $1::bigint;", {bytes});
    transaction.commit();
    return ids;
}

std::vector<MappingSummary> PostgresStorage::listMappings(std::string_view plugin, std::size_t limit)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    const Result result = connection->run(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads FROM mappings m JOIN users u ON u.id = m.user_id "
        "WHERE m.plugin = $1::text ORDER BY m.uploaded_at DESC, m.id DESC LIMIT $2::bigint;",
        {plugin, static_cast<std::int64_t>(limit)});
    std::vector<MappingSummary> list;
    list.reserve(static_cast<std::size_t>(result.rows()));
    for (int row = 0; row < result.rows(); ++row)
        list.push_back({result.integer(row, 0), result.bytes(row, 1), result.bytes(row, 2), result.integer(row, 3),
                        result.integer(row, 4)});
    return list;
}

std::vector<PluginSummary> PostgresStorage::listPlugins(std::string_view search, std::int64_t offset,
                                                        std::int64_t limit)
{
    const std::string pattern = likeContaining(search);
    auto connection = m_pool->lease(Pool::Turn::Read);
    const Result result =
        connection->run("SELECT name, mappings FROM plugins WHERE folded LIKE lower($1::text) ESCAPE '\\' "
                        "ORDER BY name LIMIT $2::bigint OFFSET $3::bigint;",
                        {pattern, limit, offset});
    std::vector<PluginSummary> list;
    list.reserve(static_cast<std::size_t>(result.rows()));
    for (int row = 0; row < result.rows(); ++row)
        list.push_back({result.bytes(row, 0), result.integer(row, 1)});
    return list;
}

std::optional<MappingDetails> PostgresStorage::mappingDetails(std::int64_t id)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    const Result result =
        connection->run("SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin, m.file FROM mappings m "
                        "JOIN users u ON u.id = m.user_id WHERE m.id = $1::bigint;",
                        {id});
    if (result.rows() == 0)
        return std::nullopt;
    return MappingDetails{
        {result.integer(0, 0), result.bytes(0, 1), result.bytes(0, 2), result.integer(0, 3), result.integer(0, 4)},
        result.bytes(0, 5),
        result.bytes(0, 6)};
}

DownloadCount PostgresStorage::registerDownload(std::int64_t id, std::string_view address, std::int64_t now)
{
    const std::int64_t day = now / kSecondsPerDay;
    auto connection = m_pool->lease();
    // One statement, so one round trip and a transaction of its own: registrations of days gone
    // are let go a thousand at a time, the registration is taken unless this address has one for
    // the mapping today, and a registration taken counts.
    const Result counted = connection->run(
        "WITH expired AS (DELETE FROM download_registrations WHERE (mapping_id, address, day) IN (SELECT mapping_id, "
        "address, day FROM download_registrations WHERE day < $2::bigint LIMIT 1000 FOR UPDATE SKIP LOCKED)), "
        "registered AS (INSERT INTO download_registrations (mapping_id, address, day) SELECT id, $1::text, $2::bigint "
        "FROM mappings WHERE id = $3::bigint ON CONFLICT DO NOTHING RETURNING mapping_id) "
        "UPDATE mappings SET downloads = downloads + 1 WHERE id IN (SELECT mapping_id FROM registered) RETURNING id;",
        {address, day, id});
    if (counted.rows() == 1)
        return DownloadCount::Counted;
    return connection->run("SELECT 1 FROM mappings WHERE id = $1::bigint;", {id}).rows()
               ? DownloadCount::AlreadyCountedToday
               : DownloadCount::NoSuchMapping;
}

std::optional<std::string> PostgresStorage::mappingFile(std::int64_t id)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return firstValue(connection->run("SELECT file FROM mappings WHERE id = $1::bigint;", {id}));
}

bool PostgresStorage::healthy()
{
    try {
        auto connection = m_pool->lease(Pool::Turn::Read);
        return connection->run("SELECT COUNT(*) FROM schema_version;").integer(0, 0) > 0;
    } catch (const StorageError &) {
        return false;
    }
}

} // namespace ovserver
