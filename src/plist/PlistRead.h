#pragma once

// Reads a property list's bytes as XML or binary, and as nothing else: libplist 2.3 and later also
// read JSON and OpenStep text through plist_from_memory (which takes a fourth argument there), and
// Logic writes neither. plist_from_xml and plist_from_bin keep one shape in every libplist version.

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace ov::plist {

// The root, or null when the bytes do not read; the caller frees it. A NUL must follow the bytes:
// libplist's XML reader looks for the end of the text.
inline plist_t readXmlOrBinary(const char *bytes, std::uint32_t length)
{
    plist_t root = nullptr;
    if (length >= 8 && std::memcmp(bytes, "bplist00", 8) == 0)
        plist_from_bin(bytes, length, &root);
    else
        plist_from_xml(bytes, length, &root);
    return root;
}

// Calls `visit` with each item of an array, in order. libplist 2.2 indexes only the arrays that
// it built item by item: plist_array_get_item on one read from a binary list walks from its first
// item, which made reading each item in turn cost the square of the array's length.
template <typename Visit> void forEachArrayItem(plist_t array, Visit visit)
{
    plist_array_iter iter = nullptr;
    plist_array_new_iter(array, &iter);
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(array, iter, &item);
        if (!item)
            break;
        visit(item);
    }
    std::free(iter);
}

} // namespace ov::plist
