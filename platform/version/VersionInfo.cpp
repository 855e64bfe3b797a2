// The version API over our own PE and NE readers: find the version resource,
// keep its block, answer queries by path.
#include "platform/version/VersionInfo.h"

#include "platform/LongPath.h"
#include "platform/WildcardMatch.h"
#include "platform/version/ByteReader.h"
#include "platform/version/ByteSource.h"
#include "platform/version/NeImage.h"
#include "platform/version/PeImage.h"
#include "platform/version/ResourceDirectory.h"
#include "platform/version/Utf16.h"
#include "platform/version/VersionBlock.h"
#include "platform/version/Windows1252.h"

#include <algorithm>
#include <array>
#include <span>

namespace platform {
namespace {

using version::BlockFormat;
using version::BlockNode;
using version::ByteReader;

// The most a version block can be: its length field has 16 bits.
constexpr std::uint32_t kMaxVersionBlockBytes = 64 * 1024;
constexpr std::size_t kFixedRecordBytes = 52;
constexpr std::uint16_t kVersionResourceName = 1;

// The keys of a query path, split at its backslashes (empty keys dropped),
// held in place for the few a path usually has: a lookup per row should not
// allocate.
class QueryKeys {
public:
    explicit QueryKeys(std::string_view path)
    {
        while (!path.empty()) {
            const std::size_t slash = path.find('\\');
            const std::string_view key = path.substr(0, slash);
            if (!key.empty())
                Add(key);
            if (slash == std::string_view::npos)
                break;
            path.remove_prefix(slash + 1);
        }
    }

    std::span<const std::string_view> Keys() const
    {
        return more_.empty() ? std::span<const std::string_view>(few_.data(), count_)
                             : std::span<const std::string_view>(more_);
    }

private:
    void Add(std::string_view key)
    {
        if (count_ < few_.size() && more_.empty()) {
            few_[count_++] = key;
            return;
        }
        if (more_.empty())
            more_.assign(few_.begin(), few_.end());
        more_.push_back(key);
    }

    std::array<std::string_view, 4> few_;
    std::size_t count_ = 0;
    std::vector<std::string_view> more_;
};

// Text up to the first NUL inside the block, whatever unit the stored value
// length uses; a stored length of 0 is an empty value.
VersionValue TextValue(const ByteReader& buffer, const BlockNode& node)
{
    if (node.valueLength == 0)
        return VersionValue{{}, 0, true};
    std::size_t stop = node.valueStart;
    while (stop + 2 <= node.end && buffer.U16(stop) != 0)
        stop += 2;
    auto bytes = buffer.Bytes(node.valueStart, stop - node.valueStart);
    if (!bytes)
        return VersionValue{{}, 0, true};
    return VersionValue{version::Utf16LeToUtf8(*bytes), static_cast<std::uint32_t>(bytes->size() / 2), true};
}

// The same for the 8-bit text of a 16-bit block.
VersionValue TextValue16(const ByteReader& buffer, const BlockNode& node)
{
    if (node.valueLength == 0)
        return VersionValue{{}, 0, true};
    std::size_t stop = node.valueStart;
    while (stop < node.end && buffer.U8(stop) != 0)
        ++stop;
    auto bytes = buffer.Bytes(node.valueStart, stop - node.valueStart);
    if (!bytes)
        return VersionValue{{}, 0, true};
    return VersionValue{version::Windows1252ToUtf8(*bytes), static_cast<std::uint32_t>(bytes->size()), true};
}

// Raw value bytes: the stored byte count, cut at the block's end.
VersionValue BinaryValue(const ByteReader& buffer, const BlockNode& node)
{
    const std::size_t count = std::min<std::size_t>(node.valueLength, node.end - node.valueStart);
    auto bytes = buffer.Bytes(node.valueStart, count);
    if (!bytes)
        return VersionValue{{}, 0, false};
    return VersionValue{std::string(bytes->begin(), bytes->end()), static_cast<std::uint32_t>(count), false};
}

std::optional<VersionInfo> FromNeSource(const version::ByteSource& source)
{
    auto block = version::ReadNeResource(source, version::kNeResourceTypeVersion, kVersionResourceName,
                                         kMaxVersionBlockBytes);
    if (!block)
        return std::nullopt;
    return VersionInfo::FromBlock16(std::move(*block));
}

}  // namespace

std::optional<VersionInfo> VersionInfo::FromSource(const version::ByteSource& source)
{
    auto image = version::PeImage::Open(source);
    if (!image)
        return FromNeSource(source);
    auto where = version::ResourceDirectory(*image).Find(version::kResourceTypeVersion, kVersionResourceName);
    if (!where)
        return std::nullopt;
    auto block = version::ReadResource(*image, *where, kMaxVersionBlockBytes);
    if (!block)
        return std::nullopt;
    return VersionInfo::FromBlock(std::move(*block));
}

std::optional<VersionInfo> VersionInfo::FromFile(const std::string& path)
{
    const LookedUpFile file(path);
    if (!file.IsOpenRegularFile())
        return std::nullopt;
    return FromOpenFile(file.Descriptor(), static_cast<std::uint64_t>(file.Status().st_size));
}

std::optional<VersionInfo> VersionInfo::FromOpenFile(int fd, std::uint64_t size)
{
    return FromSource(version::FileByteSource(fd, size));
}

std::optional<VersionInfo> VersionInfo::FromImage(std::span<const std::uint8_t> image)
{
    return FromSource(version::MemoryByteSource(image));
}

std::optional<VersionInfo> VersionInfo::FromBlock(std::vector<std::uint8_t> block)
{
    return FromBlockIn(std::move(block), BlockFormat::Win32);
}

std::optional<VersionInfo> VersionInfo::FromBlock16(std::vector<std::uint8_t> block)
{
    return FromBlockIn(std::move(block), BlockFormat::Win16);
}

std::optional<VersionInfo> VersionInfo::FromBlockIn(std::vector<std::uint8_t> block, BlockFormat format)
{
    if (block.size() > kMaxVersionBlockBytes)
        block.resize(kMaxVersionBlockBytes);
    if (!version::ReadBlockNode(ByteReader(block), 0, block.size(), format))
        return std::nullopt;
    return VersionInfo(std::move(block), format);
}

std::uint32_t VersionInfo::Size() const
{
    return static_cast<std::uint32_t>(block_.size());
}

std::optional<VersionValue> VersionInfo::Query(std::string_view subBlock) const
{
    const ByteReader buffer(block_);
    const QueryKeys split(subBlock);
    const std::span<const std::string_view> keys = split.Keys();
    auto node = version::FindBlock(buffer, keys, format_);
    if (!node)
        return std::nullopt;

    if (keys.empty()) {
        if (node->valueLength < kFixedRecordBytes)
            return std::nullopt;
        auto record = buffer.Bytes(node->valueStart, kFixedRecordBytes);
        if (!record || node->valueStart + kFixedRecordBytes > node->end)
            return std::nullopt;
        return VersionValue{std::string(record->begin(), record->end()), kFixedRecordBytes, false};
    }
    // The entries of a string table are text whatever their type field says;
    // the entries of VarFileInfo are raw bytes whatever it says. The 16-bit
    // layout has no type field: only string-table entries are text there.
    const bool inStringTable = keys.size() == 3 && EqualsIgnoringCase(keys[0], "StringFileInfo");
    const bool inVarFileInfo = EqualsIgnoringCase(keys[0], "VarFileInfo");
    if (format_ == BlockFormat::Win16)
        return inStringTable ? TextValue16(buffer, *node) : BinaryValue(buffer, *node);
    if (inStringTable || (!inVarFileInfo && node->type == 1))
        return TextValue(buffer, *node);
    return BinaryValue(buffer, *node);
}

std::vector<std::string> VersionInfo::ChildKeys(std::string_view subBlock) const
{
    const ByteReader buffer(block_);
    auto node = version::FindBlock(buffer, QueryKeys(subBlock).Keys(), format_);
    if (!node)
        return {};
    std::vector<std::string> keys;
    for (const BlockNode& child : version::ChildBlocks(buffer, *node, format_)) {
        auto key = buffer.Bytes(child.keyStart, child.keyEnd - child.keyStart);
        if (!key)
            break;
        keys.push_back(format_ == BlockFormat::Win16 ? version::Windows1252ToUtf8(*key) : version::Utf16LeToUtf8(*key));
    }
    return keys;
}

std::optional<FixedFileInfo> VersionInfo::Fixed() const
{
    auto value = Query("\\");
    if (!value)
        return std::nullopt;
    const ByteReader record(std::span(reinterpret_cast<const std::uint8_t*>(value->data.data()), value->data.size()));
    std::uint32_t fields[13] = {};
    for (std::size_t i = 0; i < 13; ++i) {
        auto field = record.U32(i * 4);
        if (!field)
            return std::nullopt;
        fields[i] = *field;
    }
    return FixedFileInfo{fields[0], fields[1], fields[2],  fields[3],  fields[4], fields[5], fields[6],
                         fields[7], fields[8], fields[9], fields[10], fields[11], fields[12]};
}

}  // namespace platform
