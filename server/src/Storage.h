#pragma once
// What the server keeps: users, shared mappings with their files, and failed sign-in checks.
// Every operation is one transaction and safe to call from many threads, and several server
// processes may share one store: nothing here is cached in the process (the handler keeps stored
// files, which never change).

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ovserver {

// The store cannot be reached or refused an operation; the request fails, nothing is half done.
class StorageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct NewUser {
    std::string name;
    std::string email;
    std::string pinHash;
    std::int64_t createdAt = 0;  // seconds since 1970, UTC
};

struct NewMapping {
    std::string user;
    std::string plugin;
    std::string comments;
    std::int64_t hardware = 0;
    std::int64_t uploadedAt = 0;  // seconds since 1970, UTC
    std::string file;             // the parameter-order file, byte for byte
};

struct MappingSummary {
    std::int64_t id = 0;
    std::string user;
    std::string comments;
    std::int64_t uploadedAt = 0;
    std::int64_t downloads = 0;
};

// A plug-in name that has shared mappings, and how many it has.
struct PluginSummary {
    std::string name;
    std::int64_t mappings = 0;
};

// One shared mapping whole: what the list gives, its plug-in and its file.
struct MappingDetails {
    MappingSummary summary;
    std::string plugin;
    std::string file;
};

// How many failed sign-in checks one user name may collect within a sliding window.
struct SignInPolicy {
    int maxFailures = 10;
    std::int64_t windowSeconds = 15 * 60;
};

enum class SignInGate { Open, Throttled };

class Storage {
public:
    virtual ~Storage() = default;

    // False when the name is taken; the existing user is left as it was.
    virtual bool createUser(const NewUser& user) = 0;

    // The stored PIN hash of that user, or nothing when there is no such user.
    virtual std::optional<std::string> pinHash(std::string_view user) = 0;

    // Decides, in one step, whether a sign-in check for this name may go ahead. When it may, the
    // check is recorded at once as a failure, so that concurrent guesses (on any node) count
    // against the limit before their outcome is known; a check that then succeeds calls
    // clearSignInFailures. Records older than the window are dropped on the way.
    virtual SignInGate openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy& policy) = 0;
    virtual void clearSignInFailures(std::string_view user) = 0;

    // The new mapping's number, or nothing when no user of that name exists (nothing is stored).
    virtual std::optional<std::int64_t> addMapping(const NewMapping& mapping) = 0;

    // Stores the mappings in one transaction, all or none (an import). Their numbers in order, or
    // nothing when one of them names a user that does not exist.
    virtual std::optional<std::vector<std::int64_t>> addMappings(const std::vector<NewMapping>& mappings) = 0;

    // The mappings shared for exactly that plug-in name, newest first.
    virtual std::vector<MappingSummary> listMappings(std::string_view plugin) = 0;

    // The plug-ins that have shared mappings, ordered by name, with their counts: those whose name
    // contains `search` without regard to the case of its letters (SQLite folds ASCII letters only,
    // PostgreSQL all that its locale knows; every name when it is empty), at most `limit` of them,
    // skipping the first `offset`.
    virtual std::vector<PluginSummary> listPlugins(std::string_view search, std::int64_t offset, std::int64_t limit) = 0;

    // That mapping with its plug-in and file, or nothing when there is no such mapping.
    virtual std::optional<MappingDetails> mappingDetails(std::int64_t id) = 0;

    // Counts one download; false when there is no mapping of that number.
    virtual bool registerDownload(std::int64_t id) = 0;

    // The stored file of that mapping, or nothing when there is no such mapping.
    virtual std::optional<std::string> mappingFile(std::int64_t id) = 0;

    // True when the store answers a query.
    virtual bool healthy() = 0;
};

}  // namespace ovserver
