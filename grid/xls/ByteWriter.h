// Appends little-endian integers and raw bytes to a growing byte
// buffer, and patches fixed-size fields written earlier. All multi-byte values
// are laid out byte by byte, independent of the host's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace grid::xls {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }

    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value)
    {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value)
    {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void U64(std::uint64_t value)
    {
        U32(static_cast<std::uint32_t>(value));
        U32(static_cast<std::uint32_t>(value >> 32));
    }
    void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    // Overwrites a field written earlier at offset.
    void PatchU16(std::size_t offset, std::uint16_t value)
    {
        bytes_.at(offset) = static_cast<std::uint8_t>(value);
        bytes_.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
    }
    void PatchU32(std::size_t offset, std::uint32_t value)
    {
        PatchU16(offset, static_cast<std::uint16_t>(value));
        PatchU16(offset + 2, static_cast<std::uint16_t>(value >> 16));
    }

private:
    std::vector<std::uint8_t>& bytes_;
};

} // namespace grid::xls
