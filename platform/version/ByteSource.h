// Where the version reader gets the bytes of an image: an open regular file
// read through one cached window (never mapped), or a buffer in memory.
// ReadBytes, and ReadArray for small pieces of a fixed size, are the checked
// ways to fetch a piece.
#pragma once

#include <array>
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

// An open regular file of a known size, read with pread. Each read is served
// from a window read in one call: kFileReadBytes from the 4 KiB boundary at or
// before the piece (the headers come with the first, the resource directory
// entries near each other with one more), or the piece itself when it is
// larger, up to kFileWindowBytes; a larger piece is read on its own. So an
// image costs a few small preads and no more bytes than the reader asks for
// plus a few KiB. A file that shrinks while being
// read gives short reads, and reads of what is gone fail. The descriptor is borrowed and must stay open while the source lives.
class FileByteSource final : public ByteSource {
public:
    // The window's memory is the thread's spare buffer when it has one, and
    // goes back to it afterwards: a thread reading file after file allocates
    // (and faults in) one window, not one per file.
    FileByteSource(int fd, std::uint64_t size);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::uint64_t Size() const override { return size_; }
    bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    // Replaces the window with `count` bytes from start on, or as many as the
    // file still has.
    void LoadWindow(std::uint64_t start, std::size_t count) const;

    int fd_;
    std::uint64_t size_;
    // The window is the first windowBytes_ bytes of buffer_, read from
    // windowStart_ on; the buffer may be larger.
    mutable std::vector<std::uint8_t> buffer_;
    mutable std::size_t windowBytes_ = 0;
    mutable std::uint64_t windowStart_ = 0;
};

// How much one window of a FileByteSource holds at most and at least, and the
// boundary windows start on when they can.
inline constexpr std::size_t kFileWindowBytes = 64u << 10;
inline constexpr std::size_t kFileReadBytes = 4u << 10;
inline constexpr std::size_t kFileWindowAlignment = 4u << 10;

// The largest piece any caller may fetch at once.
inline constexpr std::size_t kMaxPieceBytes = 16u << 20;

// Whether count bytes from offset lie inside the source and are no more than
// kMaxPieceBytes: the one check every piece fetched from a source passes.
inline bool PieceFits(const ByteSource& source, std::uint64_t offset, std::uint64_t count)
{
    const std::uint64_t size = source.Size();
    return count <= kMaxPieceBytes && offset <= size && count <= size - offset;
}

// The N bytes at offset, held in place, with the same checks as ReadBytes.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> ReadArray(const ByteSource& source, std::uint64_t offset)
{
    std::array<std::uint8_t, N> bytes;
    if (!PieceFits(source, offset, N) || !source.ReadInto(offset, bytes))
        return std::nullopt;
    return bytes;
}

// The count bytes at offset, checked against the source's size and against
// kMaxPieceBytes; empty when they do not fit or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                                   std::size_t count);

}  // namespace platform::version
