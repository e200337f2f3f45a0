#include "DurableSync.h"

#include <fcntl.h>
#include <unistd.h>

namespace ov::mapping {

bool syncToDisk(int fileDescriptor)
{
#if defined(__APPLE__)
    // Some file systems (network shares, FAT) do not take F_FULLFSYNC; fsync is the best they offer.
    if (fcntl(fileDescriptor, F_FULLFSYNC) == 0)
        return true;
#endif
    return fsync(fileDescriptor) == 0;
}

} // namespace ov::mapping
