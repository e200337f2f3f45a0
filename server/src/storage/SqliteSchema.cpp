#include "storage/SqliteSchema.h"

namespace ovserver::storage {

namespace {

// Migration n brings the schema from version n - 1 to n (see Schema.h).
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
    // LIKE folds ASCII letters itself: the plug-ins need no column of small letters for the search.
    "",
    R"sql(
    -- The look of a name with its capitals read as what they look like before case is folded
    -- ("aIice" as "alice"): a second key, one user per look by either. Filled by the server too.
    ALTER TABLE users ADD COLUMN cased_key TEXT;
    CREATE UNIQUE INDEX users_by_cased_key ON users (cased_key);
    )sql",
    R"sql(
    -- The operator's moderation: a hidden mapping is kept but shown nowhere, a disabled user may
    -- neither sign in nor share. The plug-in counts are of the mappings shown.
    ALTER TABLE mappings ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0;
    ALTER TABLE users ADD COLUMN disabled INTEGER NOT NULL DEFAULT 0;
    DROP TRIGGER IF EXISTS plugins_count_insert;
    DROP TRIGGER IF EXISTS plugins_count_delete;
    DROP TRIGGER IF EXISTS plugins_count_update;
    CREATE TRIGGER plugins_count_insert AFTER INSERT ON mappings WHEN NOT NEW.hidden BEGIN
        INSERT INTO plugins (name, mappings) VALUES (NEW.plugin, 1)
            ON CONFLICT (name) DO UPDATE SET mappings = mappings + 1;
    END;
    CREATE TRIGGER plugins_count_delete AFTER DELETE ON mappings WHEN NOT OLD.hidden BEGIN
        UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin;
        DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
    END;
    CREATE TRIGGER plugins_count_update AFTER UPDATE OF plugin, hidden ON mappings BEGIN
        UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin AND NOT OLD.hidden;
        DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
        INSERT INTO plugins (name, mappings) SELECT NEW.plugin, 1 WHERE NOT NEW.hidden
            ON CONFLICT (name) DO UPDATE SET mappings = mappings + 1;
    END;
    )sql",
};

} // namespace

const Schema &sqliteSchema()
{
    static const Schema schema{
        kMigrations,
        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL, applied_at INTEGER NOT NULL "
        "DEFAULT (unixepoch()));",
        "INSERT INTO schema_version (version) VALUES (?1);",
        "UPDATE users SET name_key = ?1 WHERE id = ?2 AND NOT EXISTS (SELECT 1 FROM users WHERE name_key = ?1);",
        "UPDATE users SET cased_key = ?1 WHERE id = ?2 AND NOT EXISTS (SELECT 1 FROM users WHERE cased_key = ?1);",
        "UPDATE users SET name = ?1 WHERE id = ?2 AND NOT EXISTS (SELECT 1 FROM users WHERE name = ?1);",
    };
    return schema;
}

} // namespace ovserver::storage
