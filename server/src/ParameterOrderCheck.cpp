#include "ParameterOrderCheck.h"

#include "plist/PlistRead.h"
#include "plist/PlistShape.h"

#include <plist/plist.h>

#include <cstdint>
#include <limits>

namespace ovserver {

namespace {

std::optional<std::string> checkParsed(plist_t root)
{
    if (root == nullptr) return "The file is not a property list (XML or binary).";
    if (plist_get_node_type(root) != PLIST_DICT) return "The property list's root is not a dictionary.";
    const plist_t order = plist_dict_get_item(root, "ControlSurfaceParameterOrder");
    if (order == nullptr) return "The file has no ControlSurfaceParameterOrder.";
    if (plist_get_node_type(order) != PLIST_ARRAY) return "The file's ControlSurfaceParameterOrder is not an array.";
    const std::uint32_t count = plist_array_get_size(order);
    for (std::uint32_t i = 0; i < count; ++i)
        if (plist_get_node_type(plist_array_get_item(order, i)) != PLIST_STRING)
            return "The file's ControlSurfaceParameterOrder holds an element that is not a string.";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> parameterOrderFileProblem(std::string_view bytes)
{
    if (bytes.empty()) return "The file is empty.";
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() / 2) return "The file is too large.";
    // Files that would crash libplist (deep nesting, self-reference, exponential sharing, a NUL in a
    // text) are refused before it reads them.
    if (const auto shape = ov::plist::shapeProblem(bytes)) {
        const bool binary = bytes.substr(0, 8) == "bplist00";
        return std::string(binary ? "The file is not an acceptable binary property list: "
                                  : "The file is not an acceptable property list: ") +
               *shape + ".";
    }
    // libplist's XML reader looks for the end of the text, so it gets a copy that has one.
    const std::string copy(bytes);
    plist_t root = ov::plist::readXmlOrBinary(copy.data(), static_cast<std::uint32_t>(copy.size()));
    std::optional<std::string> problem = checkParsed(root);
    if (root != nullptr) plist_free(root);
    return problem;
}

}  // namespace ovserver
