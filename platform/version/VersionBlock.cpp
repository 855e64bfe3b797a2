// Walking the VS_VERSIONINFO tree with every offset checked against the
// buffer and against the parent block.
#include "platform/version/VersionBlock.h"

#include "platform/Utf8Text.h"
#include "platform/WildcardMatch.h"
#include "platform/version/Utf16.h"
#include "platform/version/Windows1252.h"

#include <algorithm>

namespace platform::version {
namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kHeaderBytes16 = 4;
constexpr std::uint16_t kTextType = 1;

std::size_t HeaderBytes(BlockFormat format)
{
    return format == BlockFormat::Win16 ? kHeaderBytes16 : kHeaderBytes;
}

std::size_t AlignUp4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

// Whether a key of `unitBytes`-byte little-endian units holds exactly the
// ASCII text `wanted`, case aside. Case folding never maps a character
// outside ASCII into it, so a unit above 0x7F never matches, and the key
// need not be decoded first.
bool AsciiKeyEquals(std::span<const std::uint8_t> key, std::size_t unitBytes, std::string_view wanted)
{
    if (key.size() != wanted.size() * unitBytes)
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const std::uint16_t unit =
            unitBytes == 2 ? static_cast<std::uint16_t>(key[2 * i] | (key[2 * i + 1] << 8)) : key[i];
        const auto wantedChar = static_cast<unsigned char>(wanted[i]);
        if (unit >= 0x80 || platform::FoldAsciiCase(unit) != platform::FoldAsciiCase(wantedChar))
            return false;
    }
    return true;
}

// A wanted key and whether it is all ASCII, worked out once per lookup
// rather than once per block compared with it.
struct WantedKey {
    std::string_view text;
    bool ascii;
};

// An ASCII query compares unit by unit; any other compares with the key
// decoded (8-bit keys as Windows-1252, 16-bit ones as UTF-16).
bool KeyEquals(const ByteReader& buffer, const BlockNode& node, const WantedKey& wanted, BlockFormat format)
{
    auto keyBytes = buffer.Bytes(node.keyStart, node.keyEnd - node.keyStart);
    if (!keyBytes)
        return false;
    const bool eightBit = format == BlockFormat::Win16;
    if (wanted.ascii)
        return AsciiKeyEquals(*keyBytes, eightBit ? 1 : 2, wanted.text);
    return platform::EqualsIgnoringCase(eightBit ? Windows1252ToUtf8(*keyBytes) : Utf16LeToUtf8(*keyBytes),
                                        wanted.text);
}

// How the two layouts differ: the 32-bit one has a type field after the two
// lengths and UTF-16 keys (and counts text values in characters); the 16-bit
// one has 8-bit keys and counts every value in bytes.
struct Layout {
    std::size_t headerBytes;
    std::size_t keyUnitBytes;
    bool hasType;
};

constexpr Layout kLayout32{kHeaderBytes, 2, true};
constexpr Layout kLayout16{kHeaderBytes16, 1, false};

// Where the key ends in `room` (the block from the key on): its first NUL
// unit, or room's size when it has none.
std::size_t KeyLength(std::span<const std::uint8_t> room, const Layout& layout)
{
    for (std::size_t at = 0; at + layout.keyUnitBytes <= room.size(); at += layout.keyUnitBytes) {
        if (room[at] == 0 && (layout.keyUnitBytes == 1 || room[at + 1] == 0))
            return at;
    }
    return room.size();
}

}  // namespace

std::optional<BlockNode> ReadBlockNode(const ByteReader& buffer, std::size_t start, std::size_t parentEnd,
                                       BlockFormat format)
{
    const Layout& layout = format == BlockFormat::Win16 ? kLayout16 : kLayout32;
    const auto length = buffer.U16(start);
    const auto valueLength = buffer.U16(start + 2);
    const auto type = layout.hasType ? buffer.U16(start + 4) : std::optional<std::uint16_t>(0);
    if (!length || !valueLength || !type || *length < layout.headerBytes)
        return std::nullopt;
    const std::size_t end = start + *length;
    if (end > parentEnd || end > buffer.Size())
        return std::nullopt;

    BlockNode node{start, end, *valueLength, *type, start + layout.headerBytes, end, end, end};
    // The rest of the block is checked once and the key's end found in it.
    const auto room = buffer.Bytes(node.keyStart, end - node.keyStart);
    if (!room)
        return std::nullopt;
    node.keyEnd = node.keyStart + KeyLength(*room, layout);
    if (node.keyEnd == end)
        return node;  // an unterminated key leaves no room for a value or children

    node.valueStart = std::min(AlignUp4(node.keyEnd + layout.keyUnitBytes), end);
    const std::size_t unitBytes = layout.hasType && node.type == kTextType ? 2 : 1;
    node.childrenStart = std::min(AlignUp4(node.valueStart + std::size_t{node.valueLength} * unitBytes), end);
    return node;
}

std::vector<BlockNode> ChildBlocks(const ByteReader& buffer, const BlockNode& node, BlockFormat format)
{
    std::vector<BlockNode> children;
    std::size_t child = node.childrenStart;
    while (child + HeaderBytes(format) <= node.end) {
        auto candidate = ReadBlockNode(buffer, child, node.end, format);
        if (!candidate)
            break;
        children.push_back(*candidate);
        child = AlignUp4(candidate->end);
    }
    return children;
}

std::optional<BlockNode> FindBlock(const ByteReader& buffer, std::span<const std::string_view> keys,
                                   BlockFormat format)
{
    auto node = ReadBlockNode(buffer, 0, buffer.Size(), format);
    for (std::string_view key : keys) {
        if (!node)
            return std::nullopt;
        const WantedKey wanted{key, platform::IsAscii(key)};
        // The children in order, as ChildBlocks gives them, read one at a
        // time so that a lookup builds no list.
        std::optional<BlockNode> found;
        std::size_t child = node->childrenStart;
        while (!found && child + HeaderBytes(format) <= node->end) {
            const std::optional<BlockNode> candidate = ReadBlockNode(buffer, child, node->end, format);
            if (!candidate)
                break;
            if (KeyEquals(buffer, *candidate, wanted, format))
                found = candidate;
            child = AlignUp4(candidate->end);
        }
        node = found;
    }
    return node;
}

}  // namespace platform::version
