#pragma once

// Reads a property list's bytes as XML or binary, and as nothing else: libplist 2.3 and later also
// read JSON and OpenStep text through plist_from_memory (which takes a fourth argument there), and
// Logic writes neither. plist_from_xml and plist_from_bin keep one shape in every libplist version.

#include <plist/plist.h>

#include <cstdint>
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

} // namespace ov::plist
