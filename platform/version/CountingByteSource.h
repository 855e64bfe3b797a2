// A byte source that passes reads on to another and counts them: how many
// reads and how many bytes the reader asked for. The tests and the fuzz
// targets bound the work of a read by these counts.
#pragma once

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <span>

namespace platform::version {

class CountingByteSource final : public ByteSource {
public:
    // The inner source must outlive this one.
    explicit CountingByteSource(const ByteSource& inner) : inner_(inner) {}

    std::uint64_t Size() const override { return inner_.Size(); }
    bool ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        ++reads_;
        bytes_ += out.size();
        return inner_.ReadInto(offset, out);
    }

    std::uint64_t Reads() const { return reads_; }
    std::uint64_t Bytes() const { return bytes_; }

private:
    const ByteSource& inner_;
    mutable std::uint64_t reads_ = 0;
    mutable std::uint64_t bytes_ = 0;
};

}  // namespace platform::version
