// Destination of the bytes of a written workbook: an output stream or a file.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>

namespace grid::xls {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes; false once writing has failed.
    virtual bool Put(std::span<const std::uint8_t> bytes) = 0;
};

class OstreamSink final : public ByteSink {
public:
    explicit OstreamSink(std::ostream& out) : out_(out) {}
    bool Put(std::span<const std::uint8_t> bytes) override
    {
        out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return !out_.fail();
    }

private:
    std::ostream& out_;
};

} // namespace grid::xls
