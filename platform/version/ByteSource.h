// Where the version reader gets the bytes of an image: an open regular file
// read through one cached window (never mapped), or a buffer in memory.
// ReadBytes is the one checked way to fetch a piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::version {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The number of bytes the source holds.
    virtual std::uint64_t Size() const = 0;
    // Fills out from offset; false when the bytes cannot all be read.
    virtual bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> bytes_;
};

// An open regular file of a known size, read with pread. The headers, the
// resource directory and the version block of an image usually lie close
// together, so each read is served from a window of up to kFileWindowBytes
// read in one call: a small image costs one pread, a large one a few; a piece
// larger than a window is read on its own. A file that shrinks while being
// read gives short reads, and reads of what is gone fail. The descriptor is borrowed and must stay open while the source lives.
class FileByteSource final : public ByteSource {
public:
    FileByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    std::uint64_t Size() const override { return size_; }
    bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    // Replaces the window with the bytes from start on, as many as one window
    // holds and the file still has.
    void LoadWindow(std::uint64_t start) const;

    int fd_;
    std::uint64_t size_;
    mutable std::vector<std::uint8_t> window_;
    mutable std::uint64_t windowStart_ = 0;
};

// How much one window of a FileByteSource holds, and the boundary windows
// start on when they can.
inline constexpr std::size_t kFileWindowBytes = 64u << 10;
inline constexpr std::size_t kFileWindowAlignment = 4u << 10;

// The largest piece any caller may fetch at once.
inline constexpr std::size_t kMaxPieceBytes = 16u << 20;

// The count bytes at offset, checked against the source's size and against
// kMaxPieceBytes; empty when they do not fit or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                                   std::size_t count);

}  // namespace platform::version
