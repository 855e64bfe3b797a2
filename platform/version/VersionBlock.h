// The VS_VERSIONINFO tree: each block is a 16-bit length, a 16-bit value
// length, a 16-bit type, a NUL-terminated UTF-16 key, padding to 4 bytes, the
// value, padding, and child blocks. The 16-bit layout has no type field and
// an 8-bit key, and counts its values in bytes. Lookup by a path of keys.
#pragma once

#include "platform/version/BlockFormat.h"
#include "platform/version/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform::version {

// One block, as offsets into the buffer. Every offset lies inside [start, end].
struct BlockNode {
    std::size_t start;
    std::size_t end;            // start + the block's length
    std::uint16_t valueLength;  // as stored: characters for text, bytes for binary (often not)
    std::uint16_t type;         // 1 text, 0 binary (not always right); 0 in the 16-bit layout
    std::size_t keyStart;
    std::size_t keyEnd;         // the key's NUL, or end when it has none
    std::size_t valueStart;
    std::size_t childrenStart;
};

// The block at start inside a parent ending at parentEnd; empty when its
// length is 0, too short for a header, or runs past the parent, which ends
// that level.
std::optional<BlockNode> ReadBlockNode(const ByteReader& buffer, std::size_t start, std::size_t parentEnd,
                                       BlockFormat format = BlockFormat::Win32);

// The children of node, in order, up to the first that cannot be read.
std::vector<BlockNode> ChildBlocks(const ByteReader& buffer, const BlockNode& node,
                                   BlockFormat format = BlockFormat::Win32);

// The block reached by following keys from the root (compared without regard
// to letter case); the root itself for an empty list.
std::optional<BlockNode> FindBlock(const ByteReader& buffer, std::span<const std::string_view> keys,
                                   BlockFormat format = BlockFormat::Win32);

}  // namespace platform::version
