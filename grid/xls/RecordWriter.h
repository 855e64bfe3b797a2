// Writes one BIFF record at a time into a byte buffer: the four-byte header
// (identifier and payload length) followed by the payload, whose length is
// filled in when the record is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/ByteWriter.h"

namespace grid::xls {

class RecordWriter {
public:
    RecordWriter(ByteWriter& out, std::uint16_t id) : out_(out), start_(out.Size())
    {
        out_.U16(id);
        out_.U16(0);
    }
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    std::size_t Start() const { return start_; }
    std::size_t PayloadSize() const { return out_.Size() - start_ - 4; }

    // Fills in the payload length. Callers bound every payload they compose,
    // so an over-long record is a programming error.
    void Close()
    {
        const std::size_t length = PayloadSize();
        if (length > biff::kMaxRecordPayload) throw std::logic_error("BIFF record payload too long");
        out_.PatchU16(start_ + 2, static_cast<std::uint16_t>(length));
    }

private:
    ByteWriter& out_;
    std::size_t start_;
};

} // namespace grid::xls
