#include "handler/Handler.h"

#include "http/AddressGroup.h"
#include "handler/Multipart.h"
#include "handler/ParameterOrderCheck.h"
#include "handler/Pin.h"
#include "Text.h"
#include "UserName.h"
#include "handler/WebLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace ovserver {

namespace {

constexpr std::string_view kJsonType = "application/json; charset=utf-8";
constexpr std::string_view kPlistType = "application/x-plist";
constexpr std::string_view kFileName = "CSParameterOrder.plist";

// The editor signs in exactly when the reply is this text.
constexpr std::string_view kSignInOk = "\nOK\n";
// The editor's name for "nobody signed in"; a user of that name would look signed out.
constexpr std::string_view kReservedUserName = "NOONEHERE";

// What a request may carry in one value.
struct Field {
    std::string_view key;   // the query parameter
    std::string_view label; // how the texts below name it
    std::size_t maxBytes;
    bool allowEmpty = false;
    bool allowLineBreaks = false;
};

constexpr Field kUserName{"userName", "user name", 64};
constexpr Field kUploader{"user", "user name", 64};
constexpr Field kPinCode{"pinCode", "PIN code", 64};
constexpr Field kEmail{"emailAddr", "e-mail address", 254};
constexpr Field kPlugin{"plugin", "plug-in name", 200};
constexpr Field kComments{"comments", "comment", 2000, true, true};
constexpr Field kHardware{"hardware", "hardware number", 18};
constexpr Field kPatchId{"patchID", "mapping number", 18};

Reply text(int status, std::string body)
{
    return Reply{status, std::string(kTextType), std::move(body), {}, {}};
}

Reply refusedBy(Limit limit, Reply reply)
{
    reply.limit = limit;
    return reply;
}

std::string inQuotes(std::string_view value)
{
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '\'';
    quoted += value;
    quoted += '\'';
    return quoted;
}

// Decodes and checks the values of one request; the first problem found is kept as the refusal
// and every later read returns an empty text.
class Inputs {
public:
    explicit Inputs(QueryParams params) : m_params(std::move(params)) { }

    std::string read(const Field &field)
    {
        if (m_refusal)
            return {};
        const auto raw = m_params.raw(field.key);
        if (!raw)
            return refuse("The request gives no " + std::string(field.label) + " (\"" + std::string(field.key)
                          + "\").");
        const auto value = percentDecode(*raw);
        if (!value)
            return refuse("The " + std::string(field.label) + " is not properly percent-encoded.");
        if (value->empty() && !field.allowEmpty)
            return refuse("The " + std::string(field.label) + " is empty.");
        if (value->size() > field.maxBytes)
            return refuse("The " + std::string(field.label) + " is longer than " + std::to_string(field.maxBytes)
                          + " bytes.");
        if (!isValidUtf8(*value))
            return refuse("The " + std::string(field.label) + " is not valid UTF-8.");
        if (hasControlCharacters(*value, field.allowLineBreaks))
            return refuse("The " + std::string(field.label) + " contains control characters.");
        return *value;
    }

    std::int64_t readNumber(const Field &field)
    {
        const std::string value = read(field);
        if (m_refusal)
            return 0;
        const auto number = parseId(value);
        if (!number)
            refuse("The " + std::string(field.label) + " must be a whole number, such as 12.");
        return number.value_or(0);
    }

    std::string refuse(std::string message, int status = 400)
    {
        if (!m_refusal)
            m_refusal = text(status, std::move(message));
        return {};
    }

    const std::optional<Reply> &refusal() const { return m_refusal; }

private:
    QueryParams m_params;
    std::optional<Reply> m_refusal;
};

bool plausibleEmail(std::string_view address)
{
    const std::size_t at = address.rfind('@');
    return at != std::string_view::npos && at > 0 && at + 1 < address.size()
           && address.find_first_of(" \t\r\n") == std::string_view::npos;
}

std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string_view::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

bool isScriptMethod(std::string_view method)
{
    return method == "POST" || method == "GET";
}
bool isReadMethod(std::string_view method)
{
    return method == "GET" || method == "HEAD";
}

bool isLoopback(std::string_view address)
{
    return address.rfind("127.", 0) == 0 || address == "::1" || address.rfind("::ffff:127.", 0) == 0;
}

constexpr std::string_view kNothingShared = " Nothing was shared.";

// One mapping of a list reply without its closing brace, after a comma unless it is the first.
// Written directly: the list is the busiest reply, and a JSON library's document tree costs more
// than the query behind it.
void appendListEntry(std::string &list, const MappingSummary &mapping)
{
    const std::string id = std::to_string(mapping.id);
    if (list.size() > 1)
        list += ',';
    list += "{\"patchID\":";
    list += id;
    list += ",\"fileLocation\":\"files/";
    list += id;
    list += '/';
    list += kFileName;
    list += "\",\"userComments\":";
    appendJsonString(list, mapping.comments);
    list += ",\"user\":";
    appendJsonString(list, mapping.user);
    list += ",\"uploaded\":\"";
    list += isoUtc(mapping.uploadedAt);
    list += "\",\"downloads\":";
    list += std::to_string(mapping.downloads);
}

std::string signInThrottledText(const SignInPolicy &policy)
{
    return "Too many failed sign-in attempts for this user name. Please wait "
           + std::to_string(policy.windowSeconds / 60) + " minutes and try again.";
}

std::string userDisabledText(std::string_view name)
{
    return "The user " + inQuotes(name)
           + " has been disabled by the library's operator and may no longer sign in or "
             "share mappings.";
}

std::string addressThrottledText(const GuessPolicy &policy)
{
    return "Too many failed sign-in attempts from this address. Please wait "
           + std::to_string(policy.windowSeconds / 60) + " minutes and try again.";
}

} // namespace

std::int64_t systemClock()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string uploadTooLargeText(std::size_t maxUploadBytes)
{
    return "The upload is larger than the limit of " + std::to_string(maxUploadBytes) + " bytes. Nothing was shared.";
}

Handler::Handler(Storage &storage, HandlerConfig config)
    : m_storage(storage), m_config(std::move(config)), m_files(m_config.fileCacheBytes), m_guesses(m_config.guesses)
{
}

Reply Handler::handle(const Request &request) const
{
    std::string_view endpoint = "other";
    Reply reply = [&] {
        try {
            return route(request, endpoint);
        } catch (const StorageError &error) {
            report(std::string("storage failure: ") + error.what());
            return text(503, "The community library cannot reach its store just now. Please try again later.");
        } catch (const std::exception &error) {
            report(std::string("request failed: ") + error.what());
            return text(500, "The community library could not handle this request. Please try again later.");
        }
    }();
    reply.endpoint = endpoint;
    return reply;
}

Reply Handler::route(const Request &request, std::string_view &endpoint) const
{
    // Scripts are matched by the last path component, so the server answers under any base path.
    static const Reply notFound = text(404, "There is nothing at this address.");
    const auto path = percentDecode(request.path);
    if (!path)
        return notFound;
    const std::vector<std::string_view> parts = splitPath(*path);
    const std::string_view last = parts.back();

    using Script = Reply (Handler::*)(const Request &) const;
    static const std::pair<std::string_view, Script> scripts[] = {
        {"checkuser.php", &Handler::checkUser},
        {"checkuserexists.php", &Handler::createUser},
        {"ov_upload.php", &Handler::upload},
        {"ov_listplists.php", &Handler::listMappings},
        {"ov_downloadreg.php", &Handler::registerDownload},
        {"ov_myplists.php", &Handler::listOwnMappings},
        {"ov_deleteplist.php", &Handler::deleteOwnMapping},
    };
    static const Reply scriptMethodOnly = text(405, "This address answers POST and GET requests only.");
    for (const auto &[name, script] : scripts) {
        if (last == name) {
            endpoint = name;
            return isScriptMethod(request.method) ? (this->*script)(request) : scriptMethodOnly;
        }
    }

    // ".../files/<number>/CSParameterOrder.plist", the file location the list gives out.
    const bool isFile = parts.size() >= 3 && last == kFileName && parts[parts.size() - 3] == "files";
    if (isFile || last == "healthz") {
        endpoint = isFile ? "file" : "healthz";
        if (!isReadMethod(request.method))
            return text(405, "This address answers GET requests only.");
        if (last == "healthz")
            return health();
        const auto id = parseId(parts[parts.size() - 2]);
        return id ? fetchFile(*id) : notFound;
    }
    endpoint = "page";
    if (auto page = libraryPage(m_storage, request.method, parts, request.query, m_config.limits.listLimit))
        return std::move(*page);
    endpoint = "other";
    return notFound;
}

Reply Handler::checkUser(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"userName", "pinCode"}));
    const std::string name = nfc(in.read(kUserName));
    const std::string pin = in.read(kPinCode);
    if (in.refusal())
        return *in.refusal();

    const PinCheck check = checkPin(name, pin, clientAddress(request, m_config.trustedProxies));
    if (check == PinCheck::Throttled)
        return text(429, "\nLOCKED\n" + signInThrottledText(m_config.signIn) + "\n");
    if (check == PinCheck::AddressThrottled)
        return text(429, "\nLOCKED\n" + addressThrottledText(m_config.guesses) + "\n");
    if (check == PinCheck::Wrong)
        return text(403, "\nDENIED\nThe user name or the PIN code is not right.\n");
    // Told only to whoever knows the PIN code: to anyone else a disabled name looks like any other.
    if (m_storage.userDisabled(name))
        return text(403, "\nDENIED\n" + userDisabledText(name) + "\n");
    return text(200, std::string(kSignInOk));
}

Handler::PinCheck Handler::checkPin(const std::string &user, std::string_view pin, const std::string &address) const
{
    const std::int64_t now = m_config.clock();
    if (m_guesses.exhausted(address, now))
        return PinCheck::AddressThrottled;
    const bool open = m_storage.openSignInCheck(user, now, m_config.signIn) == SignInGate::Open;
    // The owner's own address gets through the lock, but only as long as it gives the right PIN.
    if (!open && !m_guesses.hasProven(user, address, now))
        return PinCheck::Throttled;
    const auto hash = m_storage.pinHash(user);
    // A name without a user costs the same verification, so that the time taken does not tell
    // which names exist.
    static const std::string missingUserHash = pin::hash(pin::generate());
    if (!pin::verify(hash ? *hash : missingUserHash, pin) || !hash) {
        m_guesses.wrong(address, now);
        m_guesses.forget(user, address);
        return PinCheck::Wrong;
    }
    // Through the lock, the failures stay counted: clearing them would give the guessers elsewhere
    // a fresh allowance.
    if (open)
        m_storage.clearSignInFailures(user);
    m_guesses.proven(user, address, now);
    return PinCheck::Right;
}

Reply Handler::createUser(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"userName", "emailAddr"}));
    const std::string name = nfc(in.read(kUserName));
    const std::string email = in.read(kEmail);
    if (in.refusal())
        return *in.refusal();
    if (auto problem = userNameProblem(name))
        return text(400, std::move(*problem));
    if (name == kReservedUserName)
        return text(400, "The user name " + inQuotes(name) + " is reserved. Please choose another one.");
    if (!plausibleEmail(email))
        return text(400, "The e-mail address " + inQuotes(email) + " does not look like an e-mail address.");

    const std::string pin = pin::generate();
    const NewUser user{name, email, pin::hash(pin), m_config.clock(), clientAddress(request, m_config.trustedProxies)};
    switch (m_storage.createUser(user, m_config.limits)) {
    case Registration::Created:
        break;
    case Registration::NameTaken:
        return text(409, "The user name " + inQuotes(name)
                             + " is already taken, or looks the same as one that is. Please choose another one.");
    case Registration::TooManyFromAddress:
        return refusedBy(
            Limit::PerHour,
            text(429, "Too many new users have been registered from this address in the last hour (at most "
                          + std::to_string(m_config.limits.registrationsPerHour) + "). Please try again later."));
    }
    return text(200, "Welcome to the community library, " + name + "!\n\nYour PIN code is " + pin
                         + ".\n\nSign in with your user name and this PIN code. Keep the PIN code safe: the "
                           "library keeps no readable copy of it and cannot show it again.");
}

Reply Handler::upload(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"user", "hardware", "plugin", "comments"}));
    NewMapping mapping;
    mapping.user = nfc(in.read(kUploader));
    mapping.hardware = in.readNumber(kHardware);
    mapping.plugin = in.read(kPlugin);
    mapping.comments = in.read(kComments);
    if (in.refusal())
        return *in.refusal();

    if (request.body.size() > m_config.maxUploadBytes + kMultipartAllowance)
        return text(413, uploadTooLargeText(m_config.maxUploadBytes));
    const auto boundary = multipartBoundary(request.contentType);
    if (!boundary)
        return text(400, "The upload must be a multipart/form-data body with a file field named \"userfile\". "
                         "Nothing was shared.");
    const MultipartResult body = parseMultipart(request.body, *boundary);
    if (!body.error.empty())
        return text(400, "The upload's body cannot be read: " + body.error + ". Nothing was shared.");

    const FormPart *file = nullptr;
    const FormPart *pinCode = nullptr;
    for (const FormPart &part : body.parts) {
        const FormPart **field = part.name == "userfile" ? &file : part.name == "pinCode" ? &pinCode : nullptr;
        if (!field)
            continue;
        if (*field)
            return text(400, "The upload holds more than one field named \"" + part.name + "\". Nothing was shared.");
        *field = &part;
    }
    if (!file)
        return text(400, "The upload holds no file field named \"userfile\". Nothing was shared.");
    if (file->data.size() > m_config.maxUploadBytes)
        return text(413, "The file is larger than the limit of " + std::to_string(m_config.maxUploadBytes)
                             + " bytes. Nothing was shared.");

    // The user, the PIN code and the hourly limit come before the file is read: reading costs the
    // most, and must not be had by anyone without an account.
    if (pinCode) {
        if (auto refusal = checkRequestPin(mapping.user, pinCode->data, clientAddress(request, m_config.trustedProxies),
                                           kNothingShared))
            return *refusal;
    } else if (m_config.requireUploadPin) {
        return text(403, "This community library takes uploads only with the user's PIN code, which this editor does "
                         "not send. Please update the editor. Nothing was shared.");
    }
    const auto noSuchUser = [&] {
        return text(404, "There is no community user named " + inQuotes(mapping.user)
                             + ". Please sign in again. Nothing was shared.");
    };
    const auto tooManyUploads = [&] {
        return refusedBy(Limit::PerHour,
                         text(429, "You have shared " + std::to_string(m_config.limits.uploadsPerHour)
                                       + " mappings in the last hour, the most one user may. Please try again later. "
                                         "Nothing was shared."));
    };
    const auto disabled = [&] { return text(403, userDisabledText(mapping.user) + " Nothing was shared."); };
    mapping.uploadedAt = m_config.clock();
    if (!pinCode && !m_storage.pinHash(mapping.user))
        return noSuchUser();
    if (m_storage.userDisabled(mapping.user))
        return disabled();
    if (m_storage.uploadsSince(mapping.user, mapping.uploadedAt - kSecondsPerHour) >= m_config.limits.uploadsPerHour)
        return tooManyUploads();
    if (const auto problem = parameterOrderFileProblem(file->data))
        return text(400, *problem + " Nothing was shared.");

    mapping.file = std::string(file->data);
    const Upload stored = m_storage.addMapping(mapping, m_config.limits);
    switch (stored.outcome) {
    case Upload::Outcome::Stored:
        break;
    case Upload::Outcome::NoSuchUser:
        return noSuchUser();
    case Upload::Outcome::UserDisabled:
        return disabled();
    case Upload::Outcome::TooManyUploads:
        return tooManyUploads();
    case Upload::Outcome::StoreFull:
        return refusedBy(Limit::StoreFull, text(507, "The community library is full and takes no new mappings for "
                                                     "now. Nothing was shared."));
    }
    return text(200, "Thank you, your mapping for " + inQuotes(mapping.plugin) + " has been shared (mapping "
                         + std::to_string(stored.id) + ").");
}

std::optional<Reply> Handler::checkRequestPin(const std::string &user, std::string_view pin, const std::string &address,
                                              std::string_view outcome) const
{
    if (pin.size() > kPinCode.maxBytes)
        return text(400, "The PIN code is longer than " + std::to_string(kPinCode.maxBytes) + " bytes."
                             + std::string(outcome));
    // A wrong PIN code here is a guess like one at sign-in, and counts against the same limit.
    const PinCheck check = checkPin(user, pin, address);
    if (check == PinCheck::Right)
        return std::nullopt;
    if (check == PinCheck::Throttled)
        return text(429, signInThrottledText(m_config.signIn) + std::string(outcome));
    if (check == PinCheck::AddressThrottled)
        return text(429, addressThrottledText(m_config.guesses) + std::string(outcome));
    return text(403, "The user name or the PIN code is not right. Please sign in again." + std::string(outcome));
}

Reply Handler::listMappings(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"plugin"}));
    const std::string plugin = in.read(kPlugin);
    if (in.refusal())
        return *in.refusal();

    const std::vector<MappingSummary> mappings = m_storage.listMappings(plugin, m_config.limits.listLimit);
    std::string list = "[";
    list.reserve(64 + mappings.size() * 256);
    for (const MappingSummary &mapping : mappings) {
        appendListEntry(list, mapping);
        list += '}';
    }
    list += ']';
    return Reply{200, std::string(kJsonType), std::move(list), {}, {}};
}

Reply Handler::listOwnMappings(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"userName", "pinCode"}));
    const std::string name = nfc(in.read(kUserName));
    const std::string pin = in.read(kPinCode);
    if (in.refusal())
        return *in.refusal();
    if (auto refusal = checkRequestPin(name, pin, clientAddress(request, m_config.trustedProxies), ""))
        return *refusal;

    const std::vector<OwnMapping> mappings = m_storage.userMappings(name, m_config.limits.listLimit);
    std::string list = "[";
    list.reserve(64 + mappings.size() * 320);
    for (const OwnMapping &mapping : mappings) {
        appendListEntry(list, mapping.summary);
        list += ",\"plugin\":";
        appendJsonString(list, mapping.plugin);
        list += '}';
    }
    list += ']';
    return Reply{200, std::string(kJsonType), std::move(list), {}, {}};
}

Reply Handler::deleteOwnMapping(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"userName", "pinCode", "patchID"}));
    const std::string name = nfc(in.read(kUserName));
    const std::string pin = in.read(kPinCode);
    const std::int64_t id = in.readNumber(kPatchId);
    if (in.refusal())
        return *in.refusal();
    constexpr std::string_view kNothingDeleted = " Nothing was deleted.";
    if (auto refusal = checkRequestPin(name, pin, clientAddress(request, m_config.trustedProxies), kNothingDeleted))
        return *refusal;

    const std::string number = std::to_string(id);
    switch (m_storage.deleteMapping(id, name)) {
    case Deletion::Deleted:
        break;
    case Deletion::NotYours:
        return text(403, "Shared mapping " + number + " was shared by another user; only they can delete it."
                             + std::string(kNothingDeleted));
    case Deletion::NoSuchMapping:
        return text(404, "There is no shared mapping number " + number + "." + std::string(kNothingDeleted));
    }
    // This node serves the file no more; the others ask the store before they serve their copy.
    m_files.forget(id);
    return text(200, "Your shared mapping " + number + " has been deleted.");
}

Reply Handler::registerDownload(const Request &request) const
{
    Inputs in(QueryParams::parse(request.query, {"patchID"}));
    const std::int64_t id = in.readNumber(kPatchId);
    if (in.refusal())
        return *in.refusal();
    switch (m_storage.registerDownload(id, clientAddress(request, m_config.trustedProxies), m_config.clock())) {
    case DownloadCount::Counted:
        break;
    case DownloadCount::AlreadyCountedToday:
        return text(200, "Download of mapping " + std::to_string(id) + " was counted already today.");
    case DownloadCount::NoSuchMapping:
        return text(404, "There is no shared mapping number " + std::to_string(id) + ".");
    }
    return text(200, "Download of mapping " + std::to_string(id) + " counted.");
}

std::string clientAddress(const Request &request, const std::vector<std::string> &trustedProxies)
{
    const bool trusted =
        isLoopback(request.peerAddress)
        || std::find(trustedProxies.begin(), trustedProxies.end(), request.peerAddress) != trustedProxies.end();
    const std::string_view forwarded = trimmed(request.forwardedFor.substr(request.forwardedFor.rfind(',') + 1));
    // An address is short; anything else is not one and is not kept in the store.
    constexpr std::size_t kLongestAddress = 64;
    const bool believed = trusted && !forwarded.empty() && forwarded.size() <= kLongestAddress;
    return addressGroup(std::string(believed ? forwarded : request.peerAddress));
}

Reply Handler::fetchFile(std::int64_t id) const
{
    std::shared_ptr<const std::string> file = m_files.find(id);
    // A copy kept here outlives a deletion or a hiding made through another node.
    if (file && !m_storage.mappingShown(id)) {
        m_files.forget(id);
        file = nullptr;
    }
    if (!file) {
        auto stored = m_storage.mappingFile(id);
        if (!stored)
            return text(404, "There is no shared file at this address.");
        file = std::make_shared<const std::string>(std::move(*stored));
        m_files.keep(id, file);
    }
    return Reply{200, std::string(kPlistType), {}, std::string(kStoredFileCacheControl), std::move(file)};
}

Reply Handler::health() const
{
    if (!m_storage.healthy())
        return text(503, "the store does not answer");
    return text(200, "ok");
}

void Handler::report(std::string_view message) const
{
    if (m_config.reportError) {
        m_config.reportError(message);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

} // namespace ovserver
