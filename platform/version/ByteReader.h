// Checked little-endian reads from a byte buffer. Every decode of a field in
// the version reader goes through Bytes(), which checks offset and size against
// the buffer; a read that does not fit is an empty answer, never an overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform::version {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }

    // The count bytes at offset, or nothing when they do not all lie inside.
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t offset, std::size_t count) const
    {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return std::nullopt;
        return bytes_.subspan(offset, count);
    }

    std::optional<std::uint8_t> U8(std::size_t offset) const
    {
        auto b = Bytes(offset, 1);
        if (!b)
            return std::nullopt;
        return (*b)[0];
    }

    std::optional<std::uint16_t> U16(std::size_t offset) const
    {
        auto b = Bytes(offset, 2);
        if (!b)
            return std::nullopt;
        return static_cast<std::uint16_t>((*b)[0] | ((*b)[1] << 8));
    }

    std::optional<std::uint32_t> U32(std::size_t offset) const
    {
        auto b = Bytes(offset, 4);
        if (!b)
            return std::nullopt;
        return static_cast<std::uint32_t>((*b)[0]) | (static_cast<std::uint32_t>((*b)[1]) << 8)
            | (static_cast<std::uint32_t>((*b)[2]) << 16) | (static_cast<std::uint32_t>((*b)[3]) << 24);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace platform::version
