// Lookup in a PE image's resource directory: type, then name, then language,
// the way the platform's resource finder chooses. A lookup whose path comes
// back to a directory it passed, and malformed entries, end the search with
// nothing found.
//
// One ResourceDirectory serves any number of lookups in one image: each
// directory table is read once and kept, numeric names are found through an
// index and each answer is kept, so looking up every image of an icon group
// costs a read per directory it reaches rather than a whole walk per image.
// Each level looks at no more than a fixed number of entries, far above what
// real images list, and of a table's entries past the section's file data
// (all zeros) only the first.
#pragma once

#include "platform/version/PeImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace platform::version {

// Where a resource's bytes lie: an RVA and the size the directory claims.
struct ResourceLocation {
    std::uint32_t rva;
    std::uint32_t size;
};

// Well-known numeric resource types.
inline constexpr std::uint16_t kResourceTypeIcon = 3;
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;
inline constexpr std::uint16_t kResourceTypeVersion = 16;

// The most entries looked at in one directory of each level. Real images list
// a few dozen types, at most some thousands of names under one type (icon
// libraries) and a handful of languages per name.
inline constexpr std::size_t kMaxTypeEntries = 4096;
inline constexpr std::size_t kMaxNameEntries = 32768;
inline constexpr std::size_t kMaxLanguageEntries = 1024;

class ResourceDirectory {
public:
    // The image must outlive the directory.
    explicit ResourceDirectory(const PeImage& image) : image_(image) {}

    // The resource of numeric type and numeric name; of its languages the
    // language-neutral one first, then U.S. English (0x0409), then the first
    // listed.
    std::optional<ResourceLocation> Find(std::uint16_t type, std::uint16_t name);

    // The first resource listed under a numeric type, whatever its name (named
    // entries come first in the directory), with the same choice of language.
    std::optional<ResourceLocation> FindFirstOfType(std::uint16_t type);

private:
    struct Entry {
        std::uint32_t name;    // high bit set: offset of a name string
        std::uint32_t target;  // high bit set: offset of a subdirectory
    };
    enum class Level { Types, Names, Languages };
    struct Table {
        std::vector<Entry> entries;
        // (numeric name, position in entries), sorted by name and then
        // position; filled for the type and name levels.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> numeric;
    };

    // The table of the directory at offset (from the resource directory's
    // start) read as a directory of level; null when it cannot be read.
    const Table* TableAt(std::uint32_t offset, Level level);
    std::optional<Table> ReadTable(std::uint32_t offset, Level level) const;
    std::optional<Entry> FindNumeric(const Table& table, std::uint16_t id) const;
    // The walk whose answer Find keeps.
    std::optional<ResourceLocation> Walk(std::uint16_t type, std::uint16_t name);
    // The offset of the directory of names under a numeric type.
    std::optional<std::uint32_t> NamesOfType(std::uint16_t type);
    // The chosen language's data under a name entry found in the directory at
    // namesOffset.
    std::optional<ResourceLocation> FromNameEntry(const Entry& name, std::uint32_t namesOffset);
    // The RVA of, and bytes at, an offset from the resource directory's start;
    // empty outside the 32-bit address space or the image.
    std::optional<std::uint32_t> RvaOf(std::uint64_t offset) const;
    template <std::size_t N>
    std::optional<std::array<std::uint8_t, N>> ReadAt(std::uint64_t offset) const;

    const PeImage& image_;
    std::map<std::pair<Level, std::uint32_t>, std::optional<Table>> tables_;
    // Find's answers by (type, name): a group may name one image many times.
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::optional<ResourceLocation>> found_;
};

// How many bytes ReadResource gives for the resource: at most maxBytes and
// never past the end of the section that holds it; 0 when it lies in none.
std::uint32_t ResourceReadSize(const PeImage& image, const ResourceLocation& where, std::uint32_t maxBytes);

// The resource's bytes, ResourceReadSize of them; empty when there are none or
// they cannot be read.
std::optional<std::vector<std::uint8_t>> ReadResource(const PeImage& image, const ResourceLocation& where,
                                                      std::uint32_t maxBytes);

}  // namespace platform::version
