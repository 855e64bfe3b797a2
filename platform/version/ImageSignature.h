// Whether a file starts as a PE or 16-bit NE image, whatever its name: "MZ",
// then the new-header offset at 0x3C pointing at "PE\0\0" or "NE" inside the
// file. Reads the first 64 bytes and four bytes at the new header, nothing
// more.
#pragma once

#include <span>
#include <cstdint>
#include <functional>

namespace platform::version {

// The same test over bytes already at hand: `readAt(offset, out)` fills out
// from offset and says whether it could.
bool StartsAsImage(const std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>& readAt);

// Whether the entry `name` of the folder open at `folderFd` (AT_FDCWD: a path
// from the current folder) is a regular file that starts as an image. Only a
// regular file is ever opened: the type is checked before opening, and again
// on the descriptor, which is opened non-blocking as a guard, so a FIFO or
// device put in its place is neither read nor waited on.
bool IsImageFile(int folderFd, const char* name);

} // namespace platform::version
