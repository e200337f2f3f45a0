#pragma once
// What the server keeps: users, shared mappings with their files, failed sign-in checks, and the
// records behind the volume limits (registrations per address, downloads counted per address and
// day, the library's size). Every operation is one transaction and safe to call from many threads,
// and several server processes may share one store: nothing here is cached in the process (the
// handler keeps stored files, which never change, and asks whether each is still stored).

#include <cstddef>
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
    std::int64_t createdAt = 0; // seconds since 1970, UTC
    std::string address;        // the client's address, counted against the registrations per hour
};

struct NewMapping {
    std::string user;
    std::string plugin;
    std::string comments;
    std::int64_t hardware = 0;
    std::int64_t uploadedAt = 0; // seconds since 1970, UTC
    std::string file;            // the parameter-order file, byte for byte
};

struct MappingSummary {
    std::int64_t id = 0;
    std::string user;
    std::string comments;
    std::int64_t uploadedAt = 0;
    std::int64_t downloads = 0;
};

// One of a user's own shared mappings: what the list gives, and its plug-in.
struct OwnMapping {
    MappingSummary summary;
    std::string plugin;
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

// One shared mapping as the operator's list shows it, hidden ones included.
struct UploadRecord {
    std::int64_t id = 0;
    std::string user;
    std::string plugin;
    std::int64_t uploadedAt = 0;
    bool hidden = false;
};

// What the library holds and how long requests waited for the store's connections.
struct StoreFigures {
    std::int64_t mappings = 0; // stored, hidden ones included
    std::int64_t hiddenMappings = 0;
    std::int64_t users = 0;
    std::int64_t bytes = 0;      // the library's size, as its limit counts it
    std::uint64_t poolWaits = 0; // leases that found every connection in use
    double poolWaitSeconds = 0;  // the time those leases waited, together
};

// How many failed sign-in checks one user name may collect within a sliding window.
struct SignInPolicy {
    int maxFailures = 10;
    std::int64_t windowSeconds = 15 * 60;
};

enum class SignInGate {
    Open,
    Throttled
};

// How much one client may put into the library. The store checks each limit in the transaction that
// adds, so that the limits hold across every server process on one database.
struct VolumeLimits {
    int registrationsPerHour = 10;                       // new users per client address
    int uploadsPerHour = 30;                             // shared mappings per user
    std::int64_t maxStoreBytes = std::int64_t{10} << 30; // files, comments and plug-in names, all mappings together
    std::size_t listLimit = 500;                         // entries in one list reply, newest first
};

// What the store makes of a new user.
enum class Registration {
    Created,
    NameTaken,
    TooManyFromAddress
};

// What the store makes of a new mapping.
struct Upload {
    enum class Outcome {
        Stored,
        NoSuchUser,
        UserDisabled,
        TooManyUploads,
        StoreFull
    };
    Outcome outcome = Outcome::Stored;
    std::int64_t id = 0; // the new mapping's number when stored
};

// What the store makes of a download registration.
enum class DownloadCount {
    Counted,
    AlreadyCountedToday,
    NoSuchMapping
};

// What the store makes of a user's request to delete a mapping.
enum class Deletion {
    Deleted,
    NotYours,
    NoSuchMapping
};

// The bytes a mapping takes from the library's size limit.
inline std::int64_t storedBytes(const NewMapping &mapping)
{
    return static_cast<std::int64_t>(mapping.file.size() + mapping.comments.size() + mapping.plugin.size());
}

constexpr std::int64_t kSecondsPerHour = 60 * 60;
constexpr std::int64_t kSecondsPerDay = 24 * kSecondsPerHour;

class Storage {
public:
    virtual ~Storage() = default;

    // NameTaken when the name is taken, TooManyFromAddress when user.address registered
    // limits.registrationsPerHour users within the last hour; nothing is stored then.
    virtual Registration createUser(const NewUser &user, const VolumeLimits &limits) = 0;

    // The stored PIN hash of that user, or nothing when there is no such user.
    virtual std::optional<std::string> pinHash(std::string_view user) = 0;

    // Decides, in one step, whether a sign-in check for this name may go ahead. When it may, the
    // check is recorded at once as a failure, so that concurrent guesses (on any node) count
    // against the limit before their outcome is known; a check that then succeeds calls
    // clearSignInFailures. Records older than the window are dropped on the way.
    virtual SignInGate openSignInCheck(std::string_view user, std::int64_t now, const SignInPolicy &policy) = 0;
    virtual void clearSignInFailures(std::string_view user) = 0;

    // Stores the mapping unless its user does not exist, is disabled, has shared limits.uploadsPerHour mappings
    // in the hour before mapping.uploadedAt, or it would take the library over limits.maxStoreBytes.
    virtual Upload addMapping(const NewMapping &mapping, const VolumeLimits &limits) = 0;

    // The mappings that user shared after `since` (seconds since 1970): the hourly limit, looked at
    // before an upload's file is read. addMapping checks it again when it stores.
    virtual std::int64_t uploadsSince(std::string_view user, std::int64_t since) = 0;

    // Stores the mappings in one transaction, all or none (an import, which no limit applies to).
    // Their numbers in order, or nothing when one of them names a user that does not exist.
    virtual std::optional<std::vector<std::int64_t>> addMappings(const std::vector<NewMapping> &mappings) = 0;

    // The newest `limit` mappings shared for exactly that plug-in name, newest first.
    virtual std::vector<MappingSummary> listMappings(std::string_view plugin, std::size_t limit) = 0;

    // The newest `limit` mappings that user shared, newest first.
    virtual std::vector<OwnMapping> userMappings(std::string_view user, std::size_t limit) = 0;

    // Deletes the mapping with its download records when `user` shared it, and gives its bytes back
    // to the library's size; NotYours or NoSuchMapping leave everything as it was.
    virtual Deletion deleteMapping(std::int64_t id, std::string_view user) = 0;

    // Counts one download of the mapping, at most once per address and mapping in a UTC day (now
    // in seconds since 1970).
    virtual DownloadCount registerDownload(std::int64_t id, std::string_view address, std::int64_t now) = 0;

    // The plug-ins that have shared mappings, ordered by name, with their counts: those whose name
    // contains `search` without regard to the case of its letters (SQLite folds ASCII letters only,
    // PostgreSQL all that its locale knows; every name when it is empty), at most `limit` of them,
    // skipping the first `offset`.
    virtual std::vector<PluginSummary> listPlugins(std::string_view search, std::int64_t offset,
                                                   std::int64_t limit) = 0;

    // That mapping with its plug-in and file, or nothing when there is no such mapping.
    virtual std::optional<MappingDetails> mappingDetails(std::int64_t id) = 0;

    // The stored file of that mapping, or nothing when there is no such mapping.
    virtual std::optional<std::string> mappingFile(std::int64_t id) = 0;

    // True when the store answers a query.
    virtual bool healthy() = 0;

    // The operator's moderation. A hidden mapping stays in the store but is gone from every list,
    // page, fetch and download count; a disabled user can neither sign in nor upload. Both are read
    // at each request, so every node obeys at once. False when there is no such mapping or user.
    virtual bool setMappingHidden(std::int64_t id, bool hidden) = 0;
    virtual bool setUserDisabled(std::string_view user, bool disabled) = 0;
    // True when the user exists and is disabled.
    virtual bool userDisabled(std::string_view user) = 0;
    // True when the mapping exists and is not hidden.
    virtual bool mappingShown(std::int64_t id) = 0;
    // The newest `limit` mappings of every plug-in, hidden ones too, newest first.
    virtual std::vector<UploadRecord> recentUploads(std::size_t limit) = 0;

    virtual StoreFigures figures() = 0;
};

} // namespace ovserver
