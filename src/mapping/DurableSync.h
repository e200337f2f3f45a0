#pragma once

namespace ov::mapping {

// Pushes what was written to an open file through to the disk itself. On macOS fsync stops at the
// drive's own cache, which a power cut loses; F_FULLFSYNC asks the drive to write that out too.
// False with errno set when the system refuses.
bool syncToDisk(int fileDescriptor);

} // namespace ov::mapping
