// The assembly version from hand-made metadata: the row sizes of the tables
// before the Assembly table follow the heap sizes and the row counts.
#include "FixtureFiles.h"
#include "platform/version/CliMetadata.h"
#include "platform/version/ImageHeaders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

using platform::version::AssemblyVersion;
using platform::version::ReadAssemblyVersion;

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    // Bytes past the value's eight are zero padding.
    for (int i = 0; i < bytes; ++i) out.push_back(i < 8 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0);
}

struct Tables {
    std::uint8_t heapSizes = 0;
    std::map<std::uint8_t, std::uint32_t> rows;  // table → row count, Assembly (0x20) included
    std::map<std::uint8_t, std::size_t> rowBytes;  // table → bytes per row, for the tables before Assembly
};

// A metadata root with one #~ stream holding the tables: every row before the
// Assembly table is filled with 0xEE, the Assembly row holds version 4.6.1055.7.
std::vector<std::uint8_t> Metadata(const Tables& tables)
{
    std::vector<std::uint8_t> stream;
    Put(stream, 0, 4);
    Put(stream, 2, 1);
    Put(stream, 0, 1);
    Put(stream, tables.heapSizes, 1);
    Put(stream, 1, 1);
    std::uint64_t valid = 0;
    for (const auto& [table, count] : tables.rows) valid |= std::uint64_t{1} << table;
    Put(stream, valid, 8);
    Put(stream, valid, 8);
    for (const auto& [table, count] : tables.rows) Put(stream, count, 4);
    if (tables.heapSizes & 0x40) Put(stream, 0, 4);
    for (const auto& [table, count] : tables.rows)
        if (table < 0x20) stream.insert(stream.end(), tables.rowBytes.at(table) * count, 0xEE);
    Put(stream, 0x8004, 4);
    for (const std::uint16_t part : {4, 6, 1055, 7}) Put(stream, part, 2);
    Put(stream, 0, 4 + 3 * 2);

    std::vector<std::uint8_t> root;
    Put(root, 0x424A5342, 4);
    Put(root, 1, 2);
    Put(root, 1, 2);
    Put(root, 0, 4);
    Put(root, 12, 4);
    for (const char c : std::string("v4.0.30319\0\0", 12)) root.push_back(static_cast<std::uint8_t>(c));
    Put(root, 0, 2);
    Put(root, 1, 2);
    Put(root, root.size() + 12, 4);
    Put(root, stream.size(), 4);
    for (const char c : std::string("#~\0\0", 4)) root.push_back(static_cast<std::uint8_t>(c));
    root.insert(root.end(), stream.begin(), stream.end());
    return root;
}

std::optional<AssemblyVersion> VersionIn(std::span<const std::uint8_t> metadata)
{
    return ReadAssemblyVersion([&](std::uint64_t offset, std::size_t count) -> std::optional<std::vector<std::uint8_t>> {
        if (offset > metadata.size() || count > metadata.size() - offset) return std::nullopt;
        return std::vector<std::uint8_t>(metadata.begin() + offset, metadata.begin() + offset + count);
    });
}

constexpr AssemblyVersion kVersion{4, 6, 1055, 7};

}  // namespace

TEST(CliMetadata, RowSizesFollowHeapSizesAndRowCounts)
{
    const Tables cases[] = {
        // Module only: 2 + three 2-byte GUID indexes + a 2-byte string index.
        {0x00, {{0x00, 1}, {0x20, 1}}, {{0x00, 10}}},
        // Large heaps, and four extra bytes after the row counts.
        {0x47, {{0x00, 1}, {0x01, 3}, {0x20, 1}}, {{0x00, 18}, {0x01, 10}}},
        // 2^14 TypeRef rows widen the ResolutionScope index (2 tag bits) and
        // the TypeDefOrRef index of TypeDef to 4 bytes; 2^16 Field rows widen
        // TypeDef's Field index.
        {0x00, {{0x00, 1}, {0x01, 0x4000}, {0x02, 2}, {0x04, 0x10000}, {0x20, 1}},
         {{0x00, 10}, {0x01, 8}, {0x02, 4 + 2 + 2 + 4 + 4 + 2}, {0x04, 6}}},
        // 2^11 Param rows widen HasCustomAttribute (5 tag bits) in CustomAttribute.
        {0x00, {{0x00, 1}, {0x08, 0x800}, {0x0C, 3}, {0x20, 1}}, {{0x00, 10}, {0x08, 6}, {0x0C, 4 + 2 + 2}}},
    };
    for (const Tables& tables : cases) {
        SCOPED_TRACE(tables.rows.size());
        EXPECT_EQ(VersionIn(Metadata(tables)), kVersion);
    }
}

TEST(CliMetadata, MetadataWithoutAnAssemblyRowOrDamagedGivesNothing)
{
    EXPECT_FALSE(VersionIn(Metadata({0x00, {{0x00, 1}}, {{0x00, 10}}})));
    EXPECT_FALSE(VersionIn(Metadata({0x00, {{0x00, 1}, {0x20, 0}}, {{0x00, 10}}})));
    auto badSignature = Metadata({0x00, {{0x00, 1}, {0x20, 1}}, {{0x00, 10}}});
    badSignature[0] = 'X';
    EXPECT_FALSE(VersionIn(badSignature));
    // A row count claiming more rows than the stream holds.
    auto overlong = Metadata({0x00, {{0x00, 1}, {0x20, 1}}, {{0x00, 10}}});
    overlong[16 + 12 + 4 + 12 + 24] = 0xFF;
    overlong[16 + 12 + 4 + 12 + 24 + 3] = 0xFF;
    EXPECT_FALSE(VersionIn(overlong));
}

TEST(CliMetadata, EveryPrefixGivesNothingOrTheTrueVersion)
{
    const auto metadata = Metadata({0x07, {{0x00, 1}, {0x01, 3}, {0x20, 1}}, {{0x00, 18}, {0x01, 10}}});
    for (std::size_t length = 0; length <= metadata.size(); ++length) {
        const auto version = VersionIn(std::span(metadata.data(), length));
        if (version) {
            EXPECT_EQ(*version, kVersion) << length;
        }
    }
    EXPECT_EQ(VersionIn(metadata), kVersion);
}

namespace {

std::uint32_t Le(const std::vector<std::uint8_t>& image, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint32_t{image.at(at + i)} << (8 * i);
    return value;
}

void PatchLe(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) image.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// The fixture made managed: a CLI header at the start of its first section,
// the metadata right after it, and data directory 14 pointing at the header.
std::vector<std::uint8_t> ManagedImage(const char* file, const std::vector<std::uint8_t>& metadata)
{
    auto image = PeFixtureBytes(file);
    const std::size_t pe = Le(image, 0x3C, 4);
    const std::size_t optional = pe + 24;
    const std::size_t section = optional + Le(image, pe + 20, 2);
    const std::uint32_t rva = Le(image, section + 12, 4);
    const std::size_t raw = Le(image, section + 20, 4);
    const bool pe32Plus = Le(image, optional, 2) == 0x20B;
    const std::size_t directory = optional + (pe32Plus ? 112 : 96) + 14 * 8;
    PatchLe(image, directory, rva, 4);
    PatchLe(image, directory + 4, 72, 4);
    PatchLe(image, raw + 8, rva + 72, 4);
    PatchLe(image, raw + 12, static_cast<std::uint32_t>(metadata.size()), 4);
    std::copy(metadata.begin(), metadata.end(), image.begin() + raw + 72);
    return image;
}

}  // namespace

TEST(CliMetadata, TheImageHeadersCarryTheAssemblyVersionOfAManagedImage)
{
    const auto metadata = Metadata({0x00, {{0x00, 1}, {0x20, 1}}, {{0x00, 10}}});
    for (const char* file : {"plain32.dll", "plain64.dll"}) {
        SCOPED_TRACE(file);
        const auto image = ManagedImage(file, metadata);
        const auto headers = platform::version::ReadImageHeaders(platform::version::MemoryByteSource(image));
        ASSERT_TRUE(headers);
        EXPECT_EQ(headers->assembly, kVersion);
        const auto native = PeFixtureBytes(file);
        EXPECT_FALSE(platform::version::ReadImageHeaders(platform::version::MemoryByteSource(native))->assembly);
    }
}
