// The version API: reads the version resource (RT_VERSION) of a PE image or of
// a 16-bit NE image and answers queries on its VS_VERSIONINFO tree by path,
// the way programs that inventory files expect ("\", "\VarFileInfo\Translation",
// "\StringFileInfo\040904B0\CompanyName"). Hostile or truncated files give
// empty answers; nothing here throws, blocks or allocates without bound.
#pragma once

#include "platform/version/BlockFormat.h"
#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The 52-byte fixed record (VS_FIXEDFILEINFO), fields in file order.
struct FixedFileInfo {
    std::uint32_t signature, structVersion, fileVersionMS, fileVersionLS, productVersionMS,
        productVersionLS, fileFlagsMask, fileFlags, fileOS, fileType, fileSubtype, fileDateMS,
        fileDateLS;
};

// One answer of a version query.
struct VersionValue {
    std::string data;      // text values: UTF-8 text up to the first NUL; binary values (the fixed record, Var values): the raw bytes
    std::uint32_t length;  // text: UTF-16 units (8-bit characters in a 16-bit block) before the NUL
                           // (0 = empty value, still found); binary: byte count
    bool isText;
};

class VersionInfo {
public:
    // The RT_VERSION block (type 16, name 1) of the PE or NE image at path;
    // empty when there is none or the file is not a readable image. Never opens
    // non-regular files, never reads more than a few windows around the
    // pieces it needs.
    static std::optional<VersionInfo> FromFile(const std::string& path);
    // The same for a regular file the caller has open for reading (fd, which
    // stays the caller's) and whose size it knows.
    static std::optional<VersionInfo> FromOpenFile(int fd, std::uint64_t size);
    // The same for an image held in memory.
    static std::optional<VersionInfo> FromImage(std::span<const std::uint8_t> image);
    // The same for an image read from any byte source.
    static std::optional<VersionInfo> FromSource(const version::ByteSource& source);
    // A raw VS_VERSIONINFO block in the 32-bit layout of PE images; empty
    // when it is not one.
    static std::optional<VersionInfo> FromBlock(std::vector<std::uint8_t> block);
    // A raw block in the 16-bit layout of NE images (no type field, 8-bit
    // Windows-1252 keys and text); empty when it is not one.
    static std::optional<VersionInfo> FromBlock16(std::vector<std::uint8_t> block);

    // The size of the version block in bytes (the bytes held).
    std::uint32_t Size() const;

    // Looks a value up by path: "\" gives the fixed record (absent when the
    // block has none), "\VarFileInfo\Translation" its raw bytes,
    // "\StringFileInfo\040904B0\CompanyName" a text value. Keys compare
    // without regard to case.
    std::optional<VersionValue> Query(std::string_view subBlock) const;
    // The keys of the blocks under the block at subBlock, in block order, as
    // UTF-8; empty when there is no such block. "\StringFileInfo\040904B0"
    // gives the names of that string table's values.
    std::vector<std::string> ChildKeys(std::string_view subBlock) const;
    // The fixed record, decoded; absent when the block has none.
    std::optional<FixedFileInfo> Fixed() const;

    // The raw block.
    const std::vector<std::uint8_t>& Block() const { return block_; }

private:
    VersionInfo(std::vector<std::uint8_t> block, version::BlockFormat format)
        : block_(std::move(block)), format_(format)
    {
    }
    static std::optional<VersionInfo> FromBlockIn(std::vector<std::uint8_t> block, version::BlockFormat format);

    std::vector<std::uint8_t> block_;
    version::BlockFormat format_;
};

}  // namespace platform
