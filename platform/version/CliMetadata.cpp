// Metadata root, stream headers and table row sizes, as far as the Assembly
// table's first row.
#include "platform/version/CliMetadata.h"

#include "platform/version/ByteReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <initializer_list>
#include <string_view>

namespace platform::version {
namespace {

constexpr std::uint32_t kMetadataSignature = 0x424A5342;  // "BSJB"
constexpr std::size_t kCliHeaderBytes = 16;
constexpr std::size_t kRootFixedBytes = 16;
// The version text of the root is at most 255 bytes; a stream header is two
// numbers and a name of at most 32 bytes.
constexpr std::size_t kMaxVersionTextBytes = 256;
constexpr std::size_t kStreamHeaderBytes = 8 + 32;
constexpr std::size_t kShortestStreamHeaderBytes = 8 + 4;
// Metadata has five streams or so; looking through no more than this many
// headers bounds the reads a hostile count can ask for.
constexpr std::uint16_t kMaxStreamsLooked = 16;
constexpr std::size_t kTablesHeaderBytes = 24;
constexpr std::size_t kTableCount = 64;
constexpr std::uint8_t kAssemblyTable = 0x20;
constexpr std::uint8_t kLargeStrings = 0x01, kLargeGuids = 0x02, kLargeBlobs = 0x04, kExtraData = 0x40;

// Column kinds of the tables before Assembly.
enum class Column : std::uint8_t {
    U16, U32, String, Guid, Blob,
    Field, MethodDef, Param, TypeDef, Event, Property, ModuleRef,
    TypeDefOrRef, HasConstant, HasCustomAttribute, HasFieldMarshal, HasDeclSecurity, MemberRefParent,
    HasSemantics, MethodDefOrRef, MemberForwarded, CustomAttributeType, ResolutionScope,
};

struct CodedIndex {
    Column kind;
    unsigned tagBits;
    std::initializer_list<std::uint8_t> tables;
};

const CodedIndex kCodedIndexes[] = {
    {Column::TypeDefOrRef, 2, {0x02, 0x01, 0x1B}},
    {Column::HasConstant, 2, {0x04, 0x08, 0x17}},
    {Column::HasCustomAttribute, 5, {0x06, 0x04, 0x01, 0x02, 0x08, 0x09, 0x0A, 0x00, 0x0E, 0x17, 0x14,
                                     0x11, 0x1A, 0x1B, 0x20, 0x23, 0x26, 0x27, 0x28, 0x2A, 0x2C, 0x2B}},
    {Column::HasFieldMarshal, 1, {0x04, 0x08}},
    {Column::HasDeclSecurity, 2, {0x02, 0x06, 0x20}},
    {Column::MemberRefParent, 3, {0x02, 0x01, 0x1A, 0x06, 0x1B}},
    {Column::HasSemantics, 1, {0x14, 0x17}},
    {Column::MethodDefOrRef, 1, {0x06, 0x0A}},
    {Column::MemberForwarded, 1, {0x04, 0x06}},
    {Column::CustomAttributeType, 3, {0x06, 0x0A}},
    {Column::ResolutionScope, 2, {0x00, 0x1A, 0x23, 0x01}},
};

using C = Column;
// The columns of tables 0x00 to 0x1F, in table order.
const std::initializer_list<Column> kTableColumns[kAssemblyTable] = {
    {C::U16, C::String, C::Guid, C::Guid, C::Guid},                            // Module
    {C::ResolutionScope, C::String, C::String},                                // TypeRef
    {C::U32, C::String, C::String, C::TypeDefOrRef, C::Field, C::MethodDef},   // TypeDef
    {C::Field},                                                                // FieldPtr
    {C::U16, C::String, C::Blob},                                              // Field
    {C::MethodDef},                                                            // MethodPtr
    {C::U32, C::U16, C::U16, C::String, C::Blob, C::Param},                    // MethodDef
    {C::Param},                                                                // ParamPtr
    {C::U16, C::U16, C::String},                                               // Param
    {C::TypeDef, C::TypeDefOrRef},                                             // InterfaceImpl
    {C::MemberRefParent, C::String, C::Blob},                                  // MemberRef
    {C::U16, C::HasConstant, C::Blob},                                         // Constant
    {C::HasCustomAttribute, C::CustomAttributeType, C::Blob},                  // CustomAttribute
    {C::HasFieldMarshal, C::Blob},                                             // FieldMarshal
    {C::U16, C::HasDeclSecurity, C::Blob},                                     // DeclSecurity
    {C::U16, C::U32, C::TypeDef},                                              // ClassLayout
    {C::U32, C::Field},                                                        // FieldLayout
    {C::Blob},                                                                 // StandAloneSig
    {C::TypeDef, C::Event},                                                    // EventMap
    {C::Event},                                                                // EventPtr
    {C::U16, C::String, C::TypeDefOrRef},                                      // Event
    {C::TypeDef, C::Property},                                                 // PropertyMap
    {C::Property},                                                             // PropertyPtr
    {C::U16, C::String, C::Blob},                                              // Property
    {C::U16, C::MethodDef, C::HasSemantics},                                   // MethodSemantics
    {C::TypeDef, C::MethodDefOrRef, C::MethodDefOrRef},                        // MethodImpl
    {C::String},                                                               // ModuleRef
    {C::Blob},                                                                 // TypeSpec
    {C::U16, C::MemberForwarded, C::String, C::ModuleRef},                     // ImplMap
    {C::U32, C::Field},                                                        // FieldRVA
    {C::U32, C::U32},                                                          // EncLog
    {C::U32},                                                                  // EncMap
};

std::uint8_t IndexedTable(Column column)
{
    switch (column) {
    case C::Field: return 0x04;
    case C::MethodDef: return 0x06;
    case C::Param: return 0x08;
    case C::TypeDef: return 0x02;
    case C::Event: return 0x14;
    case C::Property: return 0x17;
    default: return 0x1A;  // ModuleRef
    }
}

std::uint64_t ColumnBytes(Column column, std::uint8_t heapSizes, const std::array<std::uint32_t, kTableCount>& rows)
{
    switch (column) {
    case C::U16: return 2;
    case C::U32: return 4;
    case C::String: return heapSizes & kLargeStrings ? 4 : 2;
    case C::Guid: return heapSizes & kLargeGuids ? 4 : 2;
    case C::Blob: return heapSizes & kLargeBlobs ? 4 : 2;
    case C::Field: case C::MethodDef: case C::Param: case C::TypeDef: case C::Event: case C::Property:
    case C::ModuleRef:
        return rows[IndexedTable(column)] < 0x10000 ? 2 : 4;
    default:
        for (const CodedIndex& coded : kCodedIndexes) {
            if (coded.kind != column)
                continue;
            std::uint32_t most = 0;
            for (const std::uint8_t table : coded.tables)
                most = std::max(most, rows[table]);
            return most < (std::uint32_t{1} << (16 - coded.tagBits)) ? 2 : 4;
        }
        return 4;
    }
}

// Where the #~ (or uncompressed #-) stream lies, from the metadata root.
struct Stream {
    std::uint32_t offset;
    std::uint32_t size;
};

std::optional<Stream> FindTablesStream(const MetadataReader& read)
{
    auto fixed = read(0, kRootFixedBytes);
    if (!fixed)
        return std::nullopt;
    const ByteReader root(*fixed);
    const std::uint32_t versionBytes = *root.U32(12);
    if (*root.U32(0) != kMetadataSignature || versionBytes > kMaxVersionTextBytes)
        return std::nullopt;
    const std::uint64_t countAt = kRootFixedBytes + versionBytes + 2;
    auto count = read(countAt, 2);
    if (!count)
        return std::nullopt;
    std::uint64_t at = countAt + 2;
    const std::uint16_t streams = std::min(*ByteReader(*count).U16(0), kMaxStreamsLooked);
    for (std::uint16_t i = 0; i < streams; ++i) {
        // A header's name may end the metadata: read only what is there,
        // down to the shortest header (a name of up to three bytes).
        std::optional<std::vector<std::uint8_t>> header;
        for (std::size_t bytes = kStreamHeaderBytes; !header && bytes >= kShortestStreamHeaderBytes; bytes -= 4)
            header = read(at, bytes);
        if (!header)
            return std::nullopt;
        const ByteReader stream(*header);
        std::size_t nameEnd = 8;
        while (stream.U8(nameEnd).value_or(0) != 0)
            ++nameEnd;
        const auto nameBytes = stream.Bytes(8, nameEnd - 8);
        if (!stream.U8(nameEnd) || !nameBytes)
            return std::nullopt;
        const std::string_view name(reinterpret_cast<const char*>(nameBytes->data()), nameBytes->size());
        if (name == "#~" || name == "#-")
            return Stream{*stream.U32(0), *stream.U32(4)};
        at += (nameEnd + 1 + 3) / 4 * 4;
    }
    return std::nullopt;
}

}  // namespace

std::optional<AssemblyVersion> ReadAssemblyVersion(const MetadataReader& read)
{
    const auto stream = FindTablesStream(read);
    if (!stream)
        return std::nullopt;
    // Reads inside the stream only.
    const auto readStream = [&](std::uint64_t offset, std::size_t count) -> std::optional<std::vector<std::uint8_t>> {
        if (offset > stream->size || count > stream->size - offset)
            return std::nullopt;
        return read(std::uint64_t{stream->offset} + offset, count);
    };
    auto headerBytes = readStream(0, kTablesHeaderBytes);
    if (!headerBytes)
        return std::nullopt;
    const ByteReader header(*headerBytes);
    const std::uint8_t heapSizes = *header.U8(6);
    const std::uint64_t valid = *header.U32(8) | (std::uint64_t{*header.U32(12)} << 32);
    if (!(valid & (std::uint64_t{1} << kAssemblyTable)))
        return std::nullopt;
    const std::size_t tableCount = static_cast<std::size_t>(std::popcount(valid));
    auto countBytes = readStream(kTablesHeaderBytes, tableCount * 4);
    if (!countBytes)
        return std::nullopt;
    const ByteReader counts(*countBytes);
    std::array<std::uint32_t, kTableCount> rows{};
    for (std::size_t table = 0, listed = 0; table < kTableCount; ++table)
        if (valid & (std::uint64_t{1} << table))
            rows[table] = *counts.U32(4 * listed++);
    if (rows[kAssemblyTable] == 0)
        return std::nullopt;

    std::uint64_t offset = kTablesHeaderBytes + tableCount * 4 + (heapSizes & kExtraData ? 4 : 0);
    for (std::uint8_t table = 0; table < kAssemblyTable; ++table) {
        std::uint64_t rowBytes = 0;
        for (const Column column : kTableColumns[table])
            rowBytes += ColumnBytes(column, heapSizes, rows);
        offset += rowBytes * rows[table];
    }
    // HashAlgId, then the four version numbers.
    auto row = readStream(offset, 12);
    if (!row)
        return std::nullopt;
    const ByteReader assembly(*row);
    return AssemblyVersion{*assembly.U16(4), *assembly.U16(6), *assembly.U16(8), *assembly.U16(10)};
}

std::optional<AssemblyVersion> ReadAssemblyVersion(const PeImage& image)
{
    const PeHeaderFields& header = image.Header();
    if (header.cliRva == 0 || header.cliSize < kCliHeaderBytes)
        return std::nullopt;
    auto cliBytes = image.ReadRva(header.cliRva, kCliHeaderBytes);
    if (!cliBytes)
        return std::nullopt;
    const ByteReader cli(*cliBytes);
    const std::uint32_t metadataRva = *cli.U32(8);
    const std::uint32_t metadataSize = *cli.U32(12);
    return ReadAssemblyVersion([&](std::uint64_t offset, std::size_t count) -> std::optional<std::vector<std::uint8_t>> {
        if (offset > metadataSize || count > metadataSize - offset || std::uint64_t{metadataRva} + offset > 0xFFFFFFFFu)
            return std::nullopt;
        return image.ReadRva(static_cast<std::uint32_t>(metadataRva + offset), count);
    });
}

}  // namespace platform::version
