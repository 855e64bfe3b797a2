// The three-level resource directory walk (type, name, language) over tables
// read once per image.
#include "platform/version/ResourceDirectory.h"

#include "platform/version/ByteReader.h"

#include <algorithm>
#include <array>

namespace platform::version {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderBytes = 16;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kDataEntryBytes = 16;
constexpr std::uint16_t kLanguageNeutral = 0;
constexpr std::uint16_t kLanguageUsEnglish = 0x0409;

bool IsNumeric(std::uint32_t name)
{
    return (name & kHighBit) == 0;
}

bool IsDirectory(std::uint32_t target)
{
    return (target & kHighBit) != 0;
}

std::uint32_t TargetOffset(std::uint32_t target)
{
    return target & ~kHighBit;
}

}  // namespace

std::optional<std::uint32_t> ResourceDirectory::RvaOf(std::uint64_t offset) const
{
    const std::uint64_t rva = std::uint64_t{image_.ResourceRva()} + offset;
    if (rva > UINT32_MAX)
        return std::nullopt;
    return static_cast<std::uint32_t>(rva);
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> ResourceDirectory::ReadAt(std::uint64_t offset) const
{
    const auto rva = RvaOf(offset);
    std::array<std::uint8_t, N> bytes;
    if (!rva || !image_.ReadRvaInto(*rva, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<ResourceDirectory::Table> ResourceDirectory::ReadTable(std::uint32_t offset, Level level) const
{
    const auto header = ReadAt<kDirectoryHeaderBytes>(offset);
    const auto tableRva = RvaOf(std::uint64_t{offset} + kDirectoryHeaderBytes);
    if (!header || !tableRva)
        return std::nullopt;
    const ByteReader headerReader(*header);
    const std::size_t listed = std::size_t{*headerReader.U16(12)} + *headerReader.U16(14);
    const std::size_t cap = level == Level::Types ? kMaxTypeEntries
        : level == Level::Names                   ? kMaxNameEntries
                                                  : kMaxLanguageEntries;
    const std::size_t count = std::min(listed, cap);
    if (count * kEntryBytes > image_.BytesToSectionEnd(*tableRva))
        return std::nullopt;
    // Entries past the section's file data read as zeros: all alike (numeric
    // name 0, data entry at offset 0), and every search here takes the first
    // match, so the first of them stands for the rest and only it is read.
    const std::size_t fromFile = (image_.FileBytesToSectionEnd(*tableRva) + kEntryBytes - 1) / kEntryBytes;
    const std::size_t kept = std::min(count, fromFile + 1);
    auto bytes = image_.ReadRva(*tableRva, kept * kEntryBytes);
    if (!bytes)
        return std::nullopt;
    const ByteReader reader(*bytes);
    Table table;
    table.entries.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i)
        table.entries.push_back(Entry{*reader.U32(i * kEntryBytes), *reader.U32(i * kEntryBytes + 4)});
    if (level != Level::Languages) {
        for (std::uint32_t i = 0; i < table.entries.size(); ++i)
            if (IsNumeric(table.entries[i].name))
                table.numeric.emplace_back(table.entries[i].name, i);
        std::sort(table.numeric.begin(), table.numeric.end());
    }
    return table;
}

const ResourceDirectory::Table* ResourceDirectory::TableAt(std::uint32_t offset, Level level)
{
    auto [it, inserted] = tables_.try_emplace({level, offset});
    if (inserted)
        it->second = ReadTable(offset, level);
    return it->second ? &*it->second : nullptr;
}

std::optional<ResourceDirectory::Entry> ResourceDirectory::FindNumeric(const Table& table, std::uint16_t id) const
{
    const auto first = std::lower_bound(table.numeric.begin(), table.numeric.end(),
                                        std::pair<std::uint32_t, std::uint32_t>{id, 0});
    if (first == table.numeric.end() || first->first != id)
        return std::nullopt;
    return table.entries[first->second];
}

std::optional<std::uint32_t> ResourceDirectory::NamesOfType(std::uint16_t type)
{
    if (image_.ResourceRva() == 0)
        return std::nullopt;
    const Table* types = TableAt(0, Level::Types);
    if (!types)
        return std::nullopt;
    auto typeEntry = FindNumeric(*types, type);
    if (!typeEntry || !IsDirectory(typeEntry->target))
        return std::nullopt;
    const std::uint32_t names = TargetOffset(typeEntry->target);
    if (names == 0)
        return std::nullopt;  // back at the root
    return names;
}

std::optional<ResourceLocation> ResourceDirectory::FromNameEntry(const Entry& name, std::uint32_t namesOffset)
{
    if (!IsDirectory(name.target))
        return std::nullopt;
    const std::uint32_t languagesOffset = TargetOffset(name.target);
    if (languagesOffset == 0 || languagesOffset == namesOffset)
        return std::nullopt;  // back at a directory this lookup passed
    const Table* languages = TableAt(languagesOffset, Level::Languages);
    if (!languages || languages->entries.empty())
        return std::nullopt;

    // Language-neutral, then U.S. English, then the first listed.
    const auto withId = [&](std::uint16_t id) {
        return std::find_if(languages->entries.begin(), languages->entries.end(),
                            [id](const Entry& e) { return IsNumeric(e.name) && e.name == id; });
    };
    auto chosen = withId(kLanguageNeutral);
    if (chosen == languages->entries.end())
        chosen = withId(kLanguageUsEnglish);
    if (chosen == languages->entries.end())
        chosen = languages->entries.begin();
    if (IsDirectory(chosen->target))
        return std::nullopt;
    const auto data = ReadAt<kDataEntryBytes>(chosen->target);
    if (!data)
        return std::nullopt;
    const ByteReader reader(*data);
    return ResourceLocation{*reader.U32(0), *reader.U32(4)};
}

std::optional<ResourceLocation> ResourceDirectory::Find(std::uint16_t type, std::uint16_t name)
{
    auto [it, inserted] = found_.try_emplace({type, name});
    if (inserted)
        it->second = Walk(type, name);
    return it->second;
}

std::optional<ResourceLocation> ResourceDirectory::Walk(std::uint16_t type, std::uint16_t name)
{
    auto namesOffset = NamesOfType(type);
    if (!namesOffset)
        return std::nullopt;
    const Table* names = TableAt(*namesOffset, Level::Names);
    if (!names)
        return std::nullopt;
    auto nameEntry = FindNumeric(*names, name);
    if (!nameEntry)
        return std::nullopt;
    return FromNameEntry(*nameEntry, *namesOffset);
}

std::optional<ResourceLocation> ResourceDirectory::FindFirstOfType(std::uint16_t type)
{
    auto namesOffset = NamesOfType(type);
    if (!namesOffset)
        return std::nullopt;
    const Table* names = TableAt(*namesOffset, Level::Names);
    if (!names || names->entries.empty())
        return std::nullopt;
    return FromNameEntry(names->entries.front(), *namesOffset);
}

std::uint32_t ResourceReadSize(const PeImage& image, const ResourceLocation& where, std::uint32_t maxBytes)
{
    return std::min({where.size, maxBytes, image.BytesToSectionEnd(where.rva)});
}

std::optional<std::vector<std::uint8_t>> ReadResource(const PeImage& image, const ResourceLocation& where,
                                                      std::uint32_t maxBytes)
{
    const std::uint32_t count = ResourceReadSize(image, where, maxBytes);
    if (count == 0)
        return std::nullopt;
    return image.ReadRva(where.rva, count);
}

}  // namespace platform::version
