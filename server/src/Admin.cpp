#include "Admin.h"

#include "storage/OpenStorage.h"
#include "Text.h"
#include "UserName.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace ovserver {

namespace {

constexpr std::size_t kDefaultListLimit = 50;
constexpr std::int64_t kLongestList = 1'000'000;

constexpr const char *kUsage = "usage: ovcommunity-server admin --db LOCATION list [--limit N]\n"
                               "       ovcommunity-server admin --db LOCATION hide ID | show ID\n"
                               "       ovcommunity-server admin --db LOCATION disable-user NAME | enable-user NAME\n";

int wrongCommandLine(const std::string &why)
{
    std::fprintf(stderr, "ovcommunity-server admin: %s\n%s", why.c_str(), kUsage);
    return 2;
}

int failed(const std::string &why)
{
    std::fprintf(stderr, "ovcommunity-server admin: %s\n", why.c_str());
    return 1;
}

std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t low, std::int64_t high)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

int list(Storage &storage, std::size_t limit)
{
    std::printf("ID\tUSER\tPLUG-IN\tUPLOADED\tHIDDEN\n");
    for (const UploadRecord &upload : storage.recentUploads(limit))
        std::printf("%lld\t%s\t%s\t%s\t%s\n", static_cast<long long>(upload.id), upload.user.c_str(),
                    upload.plugin.c_str(), isoUtc(upload.uploadedAt).c_str(), upload.hidden ? "hidden" : "no");
    return 0;
}

int setHidden(Storage &storage, const std::string &given, bool hidden)
{
    const auto id = parseId(given);
    if (!id)
        return wrongCommandLine("a mapping is named by its number, such as 12, not '" + given + "'");
    if (!storage.setMappingHidden(*id, hidden))
        return failed("there is no mapping number " + given + "; nothing was changed");
    std::printf("mapping %s is %s\n", given.c_str(),
                hidden ? "hidden: gone from the lists, the pages and the fetch, kept in the store" : "shown again");
    return 0;
}

int setDisabled(Storage &storage, const std::string &given, bool disabled)
{
    const std::string name = nfc(given);
    if (!storage.setUserDisabled(name, disabled))
        return failed("there is no user named '" + name + "'; nothing was changed");
    std::printf("user '%s' is %s\n", name.c_str(), disabled ? "disabled: no sign-in, no upload" : "enabled again");
    return 0;
}

} // namespace

int adminCommand(const std::vector<std::string> &arguments)
{
    std::string location;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--db") {
            if (i + 1 == arguments.size())
                return wrongCommandLine("--db needs a location");
            location = arguments[++i];
        } else {
            words.push_back(arguments[i]);
        }
    }
    if (location.empty())
        return wrongCommandLine("the store is named with --db");
    if (words.empty())
        return wrongCommandLine("no command given");
    const std::string &command = words[0];
    std::size_t limit = kDefaultListLimit;
    if (command == "list") {
        if (words.size() == 3 && words[1] == "--limit") {
            const auto number = wholeNumber(words[2], 1, kLongestList);
            if (!number)
                return wrongCommandLine("--limit must be a number from 1 to " + std::to_string(kLongestList) + ", not '"
                                        + words[2] + "'");
            limit = static_cast<std::size_t>(*number);
        } else if (words.size() != 1) {
            return wrongCommandLine("list takes only --limit N");
        }
    } else if (command == "hide" || command == "show" || command == "disable-user" || command == "enable-user") {
        if (words.size() != 2)
            return wrongCommandLine(command + " takes one "
                                    + (command.find("user") != std::string::npos ? "name" : "number"));
    } else {
        return wrongCommandLine("unknown command '" + command + "'");
    }

    // A mistyped file name must not become a new, empty library.
    struct stat info { };
    if (!isPostgresUrl(location) && ::stat(location.c_str(), &info) != 0)
        return failed("cannot read the database " + location + ": " + std::strerror(errno));
    try {
        const std::unique_ptr<Storage> storage = openStorage(location, 1);
        if (command == "list")
            return list(*storage, limit);
        if (command == "hide" || command == "show")
            return setHidden(*storage, words[1], command == "hide");
        return setDisabled(*storage, words[1], command == "disable-user");
    } catch (const StorageError &failure) {
        return failed(failure.what());
    }
}

} // namespace ovserver
