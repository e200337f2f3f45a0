#pragma once

// libplist 2.3 removed plist_to_xml_free and plist_to_bin_free (plist_mem_free took their place,
// and 2.2 lacks it); every version fills the buffers with malloc, so free() releases them in all.

#include <cstdlib>

namespace ov::plist {

// Frees what plist_to_xml or plist_to_bin returned; null is fine.
inline void freeBuffer(char *buffer)
{
    std::free(buffer);
}

} // namespace ov::plist
