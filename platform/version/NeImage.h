// Resources of a 16-bit NE image, found the way the 16-bit loader finds them:
// the MZ header's e_lfanew names the NE header, whose resource table lists
// resource types, each with its resources' places in alignment units.
#pragma once

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::version {

// Integer resource types carry the high bit in the resource table.
inline constexpr std::uint16_t kNeResourceTypeVersion = 0x8010;

// Whether the source is an NE image: an MZ header whose e_lfanew points at
// the NE signature.
bool IsNeImage(const ByteSource& source);

// The bytes of the resource of integer type (with its high bit, as stored)
// and integer id, at most maxBytes of them and never past the end of the file.
// Empty when the source is not an NE image, has no such resource, or any
// value on the way (alignment shift above 15, a table that runs out before its
// end marker, a resource starting at or past the file's end) is out of range.
std::optional<std::vector<std::uint8_t>> ReadNeResource(const ByteSource& source, std::uint16_t type,
                                                        std::uint16_t id, std::uint32_t maxBytes);

}  // namespace platform::version
