#include "storage/PostgresSchema.h"

namespace ovserver::storage {

namespace {

// Migration n brings the schema from version n - 1 to n (see Schema.h).
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
    R"sql(
    -- The operator's moderation: a hidden mapping is kept but shown nowhere, a disabled user may
    -- neither sign in nor share. The plug-in counts are of the mappings shown.
    ALTER TABLE mappings ADD COLUMN hidden BOOLEAN NOT NULL DEFAULT FALSE;
    ALTER TABLE users ADD COLUMN disabled BOOLEAN NOT NULL DEFAULT FALSE;
    CREATE OR REPLACE FUNCTION plugins_count() RETURNS trigger LANGUAGE plpgsql AS $$
    BEGIN
        IF TG_OP IN ('DELETE', 'UPDATE') THEN
            IF NOT OLD.hidden THEN
                UPDATE plugins SET mappings = mappings - 1 WHERE name = OLD.plugin;
                DELETE FROM plugins WHERE name = OLD.plugin AND mappings <= 0;
            END IF;
        END IF;
        IF TG_OP IN ('INSERT', 'UPDATE') THEN
            IF NOT NEW.hidden THEN
                INSERT INTO plugins (name, mappings) VALUES (NEW.plugin, 1)
                    ON CONFLICT (name) DO UPDATE SET mappings = plugins.mappings + 1;
            END IF;
        END IF;
        RETURN NULL;
    END $$;
    DROP TRIGGER IF EXISTS plugins_count ON mappings;
    CREATE TRIGGER plugins_count AFTER INSERT OR DELETE OR UPDATE OF plugin, hidden ON mappings
        FOR EACH ROW EXECUTE FUNCTION plugins_count();
    )sql",
};

} // namespace

const Schema &postgresSchema()
{
    static const Schema schema{
        kMigrations,
        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL, applied_at BIGINT NOT NULL "
        "DEFAULT (extract(epoch FROM now())::bigint));",
        "INSERT INTO schema_version (version) VALUES ($1::bigint);",
        "UPDATE users SET name_key = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
        "WHERE name_key = $1::text);",
        "UPDATE users SET cased_key = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
        "WHERE cased_key = $1::text);",
        "UPDATE users SET name = $1::text WHERE id = $2::bigint AND NOT EXISTS (SELECT 1 FROM users "
        "WHERE name = $1::text);",
    };
    return schema;
}

} // namespace ovserver::storage
