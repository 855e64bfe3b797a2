// Building a .ico file from a PE image's icon group and icon resources.
#include "platform/version/PeIcons.h"

#include "platform/LongPath.h"

#include "platform/version/ByteReader.h"
#include "platform/version/ByteSource.h"
#include "platform/version/PeImage.h"
#include "platform/version/ResourceDirectory.h"

#include <algorithm>

namespace platform {
namespace {

using version::ByteReader;

constexpr std::size_t kGroupHeaderBytes = 6;
constexpr std::size_t kGroupEntryBytes = 14;
constexpr std::size_t kIcoEntryBytes = 16;
constexpr std::uint16_t kIconKind = 1;
// Real groups list fewer than 64 images; the entries past the first 256 of a
// group (its count has 16 bits) are not looked at. The largest image an entry
// can describe, 256x256 at 32 bits uncompressed with its mask, is 270,376
// bytes, and a group holding every size and depth stays near 1 MiB; images
// that would take the file past kMaxIconFileBytes are left out.
constexpr std::size_t kMaxGroupEntries = 256;
constexpr std::uint32_t kMaxGroupBytes = kGroupHeaderBytes + kMaxGroupEntries * kGroupEntryBytes;
constexpr std::uint32_t kMaxImageBytes = 512u << 10;
constexpr std::size_t kMaxIconFileBytes = 2u << 20;

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    AppendU16(out, static_cast<std::uint16_t>(value));
    AppendU16(out, static_cast<std::uint16_t>(value >> 16));
}

struct IconImage {
    std::span<const std::uint8_t> description;  // width, height, colours, reserved, planes, bit count
    std::vector<std::uint8_t> bytes;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> IconFileFromSource(const version::ByteSource& source)
{
    auto image = version::PeImage::Open(source);
    if (!image)
        return std::nullopt;
    version::ResourceDirectory resources(*image);
    auto groupPlace = resources.FindFirstOfType(version::kResourceTypeGroupIcon);
    if (!groupPlace)
        return std::nullopt;
    auto group = version::ReadResource(*image, *groupPlace, kMaxGroupBytes);
    if (!group)
        return std::nullopt;
    const ByteReader groupReader(*group);
    const auto kind = groupReader.U16(2);
    const auto count = groupReader.U16(4);
    if (kind != kIconKind || !count)
        return std::nullopt;

    std::vector<IconImage> images;
    std::size_t total = kGroupHeaderBytes;
    const std::size_t entries = std::min<std::size_t>(*count, kMaxGroupEntries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = kGroupHeaderBytes + i * kGroupEntryBytes;
        auto description = groupReader.Bytes(at, 8);
        auto id = groupReader.U16(at + 12);
        if (!description || !id)
            break;
        auto place = resources.Find(version::kResourceTypeIcon, *id);
        if (!place)
            continue;
        const std::size_t size = version::ResourceReadSize(*image, *place, kMaxImageBytes);
        if (size == 0)
            continue;
        if (total + kIcoEntryBytes + size > kMaxIconFileBytes)
            break;
        auto bytes = version::ReadResource(*image, *place, kMaxImageBytes);
        if (!bytes)
            continue;
        total += kIcoEntryBytes + size;
        images.push_back(IconImage{*description, std::move(*bytes)});
    }
    if (images.empty())
        return std::nullopt;

    std::vector<std::uint8_t> ico;
    ico.reserve(total);
    AppendU16(ico, 0);
    AppendU16(ico, kIconKind);
    AppendU16(ico, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(kGroupHeaderBytes + images.size() * kIcoEntryBytes);
    for (const IconImage& icon : images) {
        ico.insert(ico.end(), icon.description.begin(), icon.description.end());
        AppendU32(ico, static_cast<std::uint32_t>(icon.bytes.size()));
        AppendU32(ico, offset);
        offset += static_cast<std::uint32_t>(icon.bytes.size());
    }
    for (const IconImage& icon : images)
        ico.insert(ico.end(), icon.bytes.begin(), icon.bytes.end());
    return ico;
}

std::optional<std::vector<std::uint8_t>> ReadIconFile(const std::string& path)
{
    const LookedUpFile file(path);
    if (!file.IsOpenRegularFile())
        return std::nullopt;
    const auto size = static_cast<std::uint64_t>(file.Status().st_size);
    return IconFileFromSource(version::FileByteSource(file.Descriptor(), size));
}

std::optional<std::vector<std::uint8_t>> IconFileFromImage(std::span<const std::uint8_t> image)
{
    return IconFileFromSource(version::MemoryByteSource(image));
}

}  // namespace platform
