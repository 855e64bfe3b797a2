// Where the version reader gets the bytes of an image: a regular file read
// piece by piece with pread (never mapped, never read whole), or a buffer in
// memory. ReadBytes is the one checked way to fetch a piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
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

// A regular file, opened without blocking on FIFOs or devices; it stays open
// for the object's life.
class FileByteSource final : public ByteSource {
public:
    // Empty when the path cannot be opened or is not a regular file.
    static std::optional<FileByteSource> Open(const std::string& path);
    FileByteSource(FileByteSource&& other) noexcept;
    FileByteSource& operator=(FileByteSource&&) = delete;
    FileByteSource(const FileByteSource&) = delete;
    ~FileByteSource() override;

    std::uint64_t Size() const override { return size_; }
    bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    FileByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_;
    std::uint64_t size_;
};

// The largest piece any caller may fetch at once.
inline constexpr std::size_t kMaxPieceBytes = 16u << 20;

// The count bytes at offset, checked against the source's size and against
// kMaxPieceBytes; empty when they do not fit or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                                   std::size_t count);

}  // namespace platform::version
