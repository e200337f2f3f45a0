#include "storage/PostgresStorage.h"

#include "storage/Rows.h"
#include "storage/Schema.h"
#include "storage/PostgresSchema.h"

#include "Text.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cstring>
#include <initializer_list>
#include <unordered_map>
#include <utility>

namespace ovserver {

namespace {

// Taken while the schema is checked and migrated, so that nodes starting together migrate once.
constexpr std::int64_t kMigrationLock = 0x6f76636f6d6d; // "ovcomm"

constexpr const char *kInsertMapping = "INSERT INTO mappings (user_id, plugin, comments, hardware, uploaded_at, file) "
                                       "SELECT id, $1::text, $2::text, $3::bigint, $4::bigint, $5::bytea FROM users "
                                       "WHERE name = $6::text AND NOT disabled "
                                       "RETURNING id;";

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

// One row of a result, as the shared row readers take it.
class Row {
public:
    Row(const Result &result, int row) : m_result(result), m_row(row) { }
    std::int64_t integer(int column) const { return m_result.integer(m_row, column); }
    std::string bytes(int column) const { return m_result.bytes(m_row, column); }

private:
    const Result &m_result;
    int m_row;
};

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

    static constexpr const char *kBegin = "BEGIN";
    static constexpr const char *kCommit = "COMMIT";
    static constexpr const char *kRollback = "ROLLBACK";

    template <typename... Values> std::int64_t integer(const char *sql, const Values &...values)
    {
        return run(sql, {Param(values)...}).integer(0, 0);
    }

    template <typename... Values> std::int64_t change(const char *sql, const Values &...values)
    {
        return run(sql, {Param(values)...}).changed();
    }

    template <typename Read, typename... Values> auto rows(const char *sql, Read read, const Values &...values)
    {
        const Result result = run(sql, {Param(values)...});
        std::vector<decltype(read(Row(result, 0)))> list;
        list.reserve(static_cast<std::size_t>(result.rows()));
        for (int row = 0; row < result.rows(); ++row)
            list.push_back(read(Row(result, row)));
        return list;
    }

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

class PostgresStorage::Transaction : public storage::Transaction<Connection> {
public:
    using storage::Transaction<Connection>::Transaction;
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
    storage::migrate(*connection, storage::postgresSchema(),
                     storage::schemaVersion(*connection, storage::postgresSchema()), "the PostgreSQL database");
    transaction.commit();
}

PostgresStorage::~PostgresStorage() = default;

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
    return storage::firstRow(*connection, "SELECT pin_hash FROM users WHERE name = $1::text;", storage::readFirstColumn,
                             user);
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
        return {userDisabled(*connection, mapping.user) ? Upload::Outcome::UserDisabled : Upload::Outcome::NoSuchUser};
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
    return connection->rows(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads FROM mappings m JOIN users u ON u.id = m.user_id "
        "WHERE m.plugin = $1::text AND NOT m.hidden ORDER BY m.uploaded_at DESC, m.id DESC LIMIT $2::bigint;",
        storage::readSummary, plugin, static_cast<std::int64_t>(limit));
}

std::vector<PluginSummary> PostgresStorage::listPlugins(std::string_view search, std::int64_t offset,
                                                        std::int64_t limit)
{
    const std::string pattern = likeContaining(search);
    auto connection = m_pool->lease(Pool::Turn::Read);
    return connection->rows("SELECT name, mappings FROM plugins WHERE folded LIKE lower($1::text) ESCAPE '\\' "
                            "ORDER BY name LIMIT $2::bigint OFFSET $3::bigint;",
                            storage::readPlugin, pattern, limit, offset);
}

std::optional<MappingDetails> PostgresStorage::mappingDetails(std::int64_t id)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return storage::firstRow(*connection,
                             "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin, m.file FROM "
                             "mappings m JOIN users u ON u.id = m.user_id WHERE m.id = $1::bigint AND NOT m.hidden;",
                             storage::readDetails, id);
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
        "FROM mappings WHERE id = $3::bigint AND NOT hidden ON CONFLICT DO NOTHING RETURNING mapping_id) "
        "UPDATE mappings SET downloads = downloads + 1 WHERE id IN (SELECT mapping_id FROM registered) RETURNING id;",
        {address, day, id});
    if (counted.rows() == 1)
        return DownloadCount::Counted;
    return connection->run("SELECT 1 FROM mappings WHERE id = $1::bigint AND NOT hidden;", {id}).rows()
               ? DownloadCount::AlreadyCountedToday
               : DownloadCount::NoSuchMapping;
}

std::vector<OwnMapping> PostgresStorage::userMappings(std::string_view user, std::size_t limit)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return connection->rows(
        "SELECT m.id, u.name, m.comments, m.uploaded_at, m.downloads, m.plugin FROM mappings m JOIN users u ON u.id = "
        "m.user_id WHERE u.name = $1::text ORDER BY m.uploaded_at DESC, m.id DESC LIMIT $2::bigint;",
        storage::readOwnMapping, user, static_cast<std::int64_t>(limit));
}

Deletion PostgresStorage::deleteMapping(std::int64_t id, std::string_view user)
{
    // The mapping's row stays locked to the commit: a second delete of it on any node waits, then
    // finds it gone, so its bytes are given back once.
    static constexpr storage::DeletionSql kSql{
        "SELECT u.name FROM mappings m JOIN users u ON u.id = m.user_id WHERE m.id = $1::bigint FOR UPDATE OF m;",
        "UPDATE library_size SET bytes = GREATEST(0, bytes - (SELECT octet_length(file) + octet_length(comments) + "
        "octet_length(plugin) FROM mappings WHERE id = $1::bigint));",
        "DELETE FROM download_registrations WHERE mapping_id = $1::bigint;",
        "DELETE FROM mappings WHERE id = $1::bigint;",
    };
    auto connection = m_pool->lease();
    Transaction transaction(*connection);
    return storage::deleteOwnMapping(*connection, transaction, kSql, id, user);
}

std::optional<std::string> PostgresStorage::mappingFile(std::int64_t id)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return storage::firstRow(*connection, "SELECT file FROM mappings WHERE id = $1::bigint AND NOT hidden;",
                             storage::readFirstColumn, id);
}

bool PostgresStorage::healthy()
{
    return storage::healthy(*m_pool, Pool::Turn::Read);
}

bool PostgresStorage::setMappingHidden(std::int64_t id, bool hidden)
{
    auto connection = m_pool->lease();
    return connection->change("UPDATE mappings SET hidden = $1::bigint <> 0 WHERE id = $2::bigint;",
                              std::int64_t{hidden}, id)
           == 1;
}

bool PostgresStorage::setUserDisabled(std::string_view user, bool disabled)
{
    auto connection = m_pool->lease();
    return connection->change("UPDATE users SET disabled = $1::bigint <> 0 WHERE name = $2::text;",
                              std::int64_t{disabled}, user)
           == 1;
}

bool PostgresStorage::userDisabled(Connection &connection, std::string_view user)
{
    return connection.run("SELECT 1 FROM users WHERE name = $1::text AND disabled;", {user}).rows() > 0;
}

bool PostgresStorage::userDisabled(std::string_view user)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return userDisabled(*connection, user);
}

bool PostgresStorage::mappingShown(std::int64_t id)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return connection->run("SELECT 1 FROM mappings WHERE id = $1::bigint AND NOT hidden;", {id}).rows() > 0;
}

std::vector<UploadRecord> PostgresStorage::recentUploads(std::size_t limit)
{
    auto connection = m_pool->lease(Pool::Turn::Read);
    return connection->rows("SELECT m.id, u.name, m.plugin, m.uploaded_at, m.hidden::int FROM mappings m JOIN users u "
                            "ON u.id = m.user_id ORDER BY m.uploaded_at DESC, m.id DESC LIMIT $1::bigint;",
                            storage::readUpload, static_cast<std::int64_t>(limit));
}

StoreFigures PostgresStorage::figures()
{
    return storage::figures(*m_pool, Pool::Turn::Read);
}

} // namespace ovserver
