// The three-level resource directory walk (type, name, language).
#include "platform/version/ResourceDirectory.h"

#include "platform/version/ByteReader.h"

#include <algorithm>
#include <set>

namespace platform::version {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderBytes = 16;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kDataEntryBytes = 16;
constexpr std::uint16_t kLanguageNeutral = 0;
constexpr std::uint16_t kLanguageUsEnglish = 0x0409;

struct Entry {
    std::uint32_t name;    // high bit set: offset of a name string
    std::uint32_t target;  // high bit set: offset of a subdirectory
    bool IsNumeric() const { return (name & kHighBit) == 0; }
    bool IsDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t TargetOffset() const { return target & ~kHighBit; }
};

// Reads directories of one image, refusing any directory seen before so that
// a directory pointing back at an ancestor ends the walk.
class DirectoryWalker {
public:
    explicit DirectoryWalker(const PeImage& image) : image_(image) {}

    // The entries of the directory at offset (relative to the resource
    // directory's start); empty when it cannot be read or was visited before.
    std::optional<std::vector<Entry>> Entries(std::uint32_t offset)
    {
        if (!visited_.insert(offset).second)
            return std::nullopt;
        auto header = ReadResource(offset, kDirectoryHeaderBytes);
        if (!header)
            return std::nullopt;
        ByteReader headerReader(*header);
        const std::size_t count = std::size_t{*headerReader.U16(12)} + *headerReader.U16(14);
        auto table = ReadResource(std::uint64_t{offset} + kDirectoryHeaderBytes, count * kEntryBytes);
        if (!table)
            return std::nullopt;
        ByteReader tableReader(*table);
        std::vector<Entry> entries;
        entries.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back(Entry{*tableReader.U32(i * kEntryBytes), *tableReader.U32(i * kEntryBytes + 4)});
        return entries;
    }

    // The offset of the directory of names under a numeric type; empty when
    // the image has no resources or no such type.
    std::optional<std::uint32_t> NamesOfType(std::uint16_t type)
    {
        if (image_.ResourceRva() == 0)
            return std::nullopt;
        auto typeEntry = FindNumeric(0, type);
        if (!typeEntry || !typeEntry->IsDirectory())
            return std::nullopt;
        return typeEntry->TargetOffset();
    }

    std::optional<Entry> FindNumeric(std::uint32_t offset, std::uint16_t id)
    {
        auto entries = Entries(offset);
        if (!entries)
            return std::nullopt;
        for (const Entry& e : *entries)
            if (e.IsNumeric() && e.name == id)
                return e;
        return std::nullopt;
    }

    // Language-neutral, then U.S. English, then the first listed.
    std::optional<Entry> ChooseLanguage(std::uint32_t offset)
    {
        auto entries = Entries(offset);
        if (!entries || entries->empty())
            return std::nullopt;
        for (std::uint16_t preferred : {kLanguageNeutral, kLanguageUsEnglish})
            for (const Entry& e : *entries)
                if (e.IsNumeric() && e.name == preferred)
                    return e;
        return entries->front();
    }

    // The data entry a language entry points at.
    std::optional<ResourceLocation> Data(const Entry& language)
    {
        if (language.IsDirectory())
            return std::nullopt;
        auto bytes = ReadResource(language.target, kDataEntryBytes);
        if (!bytes)
            return std::nullopt;
        ByteReader reader(*bytes);
        return ResourceLocation{*reader.U32(0), *reader.U32(4)};
    }

    std::optional<ResourceLocation> FromNameEntry(const Entry& name)
    {
        if (!name.IsDirectory())
            return std::nullopt;
        auto language = ChooseLanguage(name.TargetOffset());
        if (!language)
            return std::nullopt;
        return Data(*language);
    }

private:
    // Bytes at an offset from the resource directory's start; empty when they
    // lie outside the 32-bit address space or the image.
    std::optional<std::vector<std::uint8_t>> ReadResource(std::uint64_t offset, std::size_t size) const
    {
        const std::uint64_t rva = std::uint64_t{image_.ResourceRva()} + offset;
        if (rva > UINT32_MAX)
            return std::nullopt;
        return image_.ReadRva(static_cast<std::uint32_t>(rva), size);
    }

    const PeImage& image_;
    std::set<std::uint32_t> visited_;
};

}  // namespace

std::optional<ResourceLocation> FindResource(const PeImage& image, std::uint16_t type, std::uint16_t name)
{
    DirectoryWalker walker(image);
    auto names = walker.NamesOfType(type);
    if (!names)
        return std::nullopt;
    auto nameEntry = walker.FindNumeric(*names, name);
    if (!nameEntry)
        return std::nullopt;
    return walker.FromNameEntry(*nameEntry);
}

std::optional<ResourceLocation> FindFirstResourceOfType(const PeImage& image, std::uint16_t type)
{
    DirectoryWalker walker(image);
    auto names = walker.NamesOfType(type);
    if (!names)
        return std::nullopt;
    auto entries = walker.Entries(*names);
    if (!entries || entries->empty())
        return std::nullopt;
    return walker.FromNameEntry(entries->front());
}

std::optional<std::vector<std::uint8_t>> ReadResource(const PeImage& image, const ResourceLocation& where,
                                                      std::uint32_t maxBytes)
{
    const std::uint32_t available = image.BytesToSectionEnd(where.rva);
    const std::uint32_t count = std::min({where.size, maxBytes, available});
    if (count == 0)
        return std::nullopt;
    return image.ReadRva(where.rva, count);
}

}  // namespace platform::version
