// NE header and resource table parsing.
#include "platform/version/NeImage.h"

#include "platform/version/ByteReader.h"

#include <algorithm>

namespace platform::version {
namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;  // "MZ"
constexpr std::uint16_t kNeSignature = 0x454E;  // "NE"
constexpr std::size_t kLfanewOffset = 0x3C;
constexpr std::size_t kDosHeaderBytes = 64;
// The NE header up to and including the resident-name table's offset.
constexpr std::size_t kNeHeaderBytes = 0x28;
constexpr std::size_t kResourceTableOffset = 0x24;
constexpr std::size_t kResidentNameTableOffset = 0x26;
constexpr std::uint16_t kMaxAlignmentShift = 15;
constexpr std::size_t kTypeInfoBytes = 8;
constexpr std::size_t kNameInfoBytes = 12;
constexpr std::uint16_t kIntegerIdBit = 0x8000;

// Where the NE header starts; empty unless the source has an MZ header whose
// e_lfanew points at the NE signature.
std::optional<std::uint64_t> NeHeaderOffset(const ByteSource& source)
{
    auto dosHeader = ReadBytes(source, 0, kDosHeaderBytes);
    if (!dosHeader)
        return std::nullopt;
    const ByteReader dos(*dosHeader);
    if (dos.U16(0) != kMzSignature)
        return std::nullopt;
    const std::uint64_t neOffset = *dos.U32(kLfanewOffset);
    auto signature = ReadBytes(source, neOffset, 2);
    if (!signature || ByteReader(*signature).U16(0) != kNeSignature)
        return std::nullopt;
    return neOffset;
}

// The resource table's bytes: from its offset up to the resident-name table,
// which follows it, and never past the end of the file. Empty when the image
// has no resource table or its offsets are out of order.
std::optional<std::vector<std::uint8_t>> ReadResourceTable(const ByteSource& source, std::uint64_t neOffset)
{
    auto header = ReadBytes(source, neOffset, kNeHeaderBytes);
    if (!header)
        return std::nullopt;
    const ByteReader ne(*header);
    const std::uint16_t tableStart = *ne.U16(kResourceTableOffset);
    const std::uint16_t tableEnd = *ne.U16(kResidentNameTableOffset);
    if (tableEnd <= tableStart)
        return std::nullopt;
    const std::uint64_t offset = neOffset + tableStart;
    if (offset >= source.Size())
        return std::nullopt;
    const std::uint64_t count = std::min<std::uint64_t>(tableEnd - tableStart, source.Size() - offset);
    return ReadBytes(source, offset, static_cast<std::size_t>(count));
}

struct ResourcePlace {
    std::uint64_t offset;
    std::uint64_t length;
};

// Walks the TYPEINFO records to the wanted type and its NAMEINFO records to
// the wanted id. A record that does not fit in the table ends the walk with
// nothing found, so a table without an end marker is bounded by its size.
std::optional<ResourcePlace> FindInTable(const ByteReader& table, std::uint16_t type, std::uint16_t id)
{
    const auto shift = table.U16(0);
    if (!shift || *shift > kMaxAlignmentShift)
        return std::nullopt;
    std::size_t at = 2;
    for (;;) {
        const auto typeId = table.U16(at);
        if (!typeId || *typeId == 0)
            return std::nullopt;
        const auto count = table.U16(at + 2);
        if (!count)
            return std::nullopt;
        const std::size_t names = at + kTypeInfoBytes;
        if (!table.Bytes(names, std::size_t{*count} * kNameInfoBytes))
            return std::nullopt;
        if (*typeId == type) {
            for (std::size_t i = 0; i < *count; ++i) {
                const std::size_t entry = names + i * kNameInfoBytes;
                if (*table.U16(entry + 6) != (kIntegerIdBit | id))
                    continue;
                return ResourcePlace{std::uint64_t{*table.U16(entry)} << *shift,
                                     std::uint64_t{*table.U16(entry + 2)} << *shift};
            }
        }
        at = names + std::size_t{*count} * kNameInfoBytes;
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadNeResource(const ByteSource& source, std::uint16_t type,
                                                        std::uint16_t id, std::uint32_t maxBytes)
{
    const auto neOffset = NeHeaderOffset(source);
    if (!neOffset)
        return std::nullopt;
    const auto tableBytes = ReadResourceTable(source, *neOffset);
    if (!tableBytes)
        return std::nullopt;
    const auto place = FindInTable(ByteReader(*tableBytes), type, id);
    if (!place || place->offset >= source.Size())
        return std::nullopt;
    const std::uint64_t count = std::min({place->length, std::uint64_t{maxBytes}, source.Size() - place->offset});
    if (count == 0)
        return std::nullopt;
    return ReadBytes(source, place->offset, static_cast<std::size_t>(count));
}

bool IsNeImage(const ByteSource& source)
{
    return NeHeaderOffset(source).has_value();
}

}  // namespace platform::version
