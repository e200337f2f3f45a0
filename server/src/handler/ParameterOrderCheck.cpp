#include "handler/ParameterOrderCheck.h"

#include "plist/PlistRead.h"
#include "plist/PlistShape.h"

#include <plist/plist.h>

#include <cstdint>
#include <limits>

namespace ovserver {

namespace {

// Fills the entries, or names the problem.
std::optional<std::string> readParsed(plist_t root, std::vector<std::string> &entries)
{
    if (root == nullptr)
        return "The file is not a property list (XML or binary).";
    if (plist_get_node_type(root) != PLIST_DICT)
        return "The property list's root is not a dictionary.";
    const plist_t order = plist_dict_get_item(root, "ControlSurfaceParameterOrder");
    if (order == nullptr)
        return "The file has no ControlSurfaceParameterOrder.";
    if (plist_get_node_type(order) != PLIST_ARRAY)
        return "The file's ControlSurfaceParameterOrder is not an array.";
    entries.reserve(plist_array_get_size(order));
    bool allStrings = true;
    ov::plist::forEachArrayItem(order, [&](plist_t item) {
        if (!allStrings)
            return;
        if (plist_get_node_type(item) != PLIST_STRING) {
            allStrings = false;
            return;
        }
        std::uint64_t length = 0;
        const char *text = plist_get_string_ptr(item, &length);
        entries.emplace_back(text ? text : "", text ? static_cast<std::size_t>(length) : 0);
    });
    if (!allStrings)
        return "The file's ControlSurfaceParameterOrder holds an element that is not a string.";
    return std::nullopt;
}

} // namespace

ParameterOrder readParameterOrder(std::string_view bytes)
{
    ParameterOrder result;
    if (bytes.empty())
        return {{}, "The file is empty."};
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() / 2)
        return {{}, "The file is too large."};
    // Files that would crash libplist (deep nesting, self-reference, exponential sharing, a NUL in a
    // text) are refused before it reads them.
    if (const auto shape = ov::plist::shapeProblem(bytes)) {
        const bool binary = bytes.substr(0, 8) == "bplist00";
        return {{},
                std::string(binary ? "The file is not an acceptable binary property list: "
                                   : "The file is not an acceptable property list: ")
                    + *shape + "."};
    }
    // libplist's XML reader looks for the end of the text, so it gets a copy that has one.
    const std::string copy(bytes);
    plist_t root = ov::plist::readXmlOrBinary(copy.data(), static_cast<std::uint32_t>(copy.size()));
    result.problem = readParsed(root, result.entries);
    if (root != nullptr)
        plist_free(root);
    if (result.problem)
        result.entries.clear();
    return result;
}

std::optional<std::string> parameterOrderFileProblem(std::string_view bytes)
{
    return readParameterOrder(bytes).problem;
}

} // namespace ovserver
