// The workbook's shared string table: every distinct cell text is stored once
// and cells refer to it by index. Texts are kept already encoded, in one
// contiguous buffer, so the table costs little more than the text itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "grid/xls/ByteWriter.h"

namespace grid::xls {

// The most characters (UTF-16 units) one cell holds; longer texts are cut.
constexpr std::size_t kMaxCellTextUnits = 32767;

class SharedStringTable {
public:
    SharedStringTable() = default;
    SharedStringTable(const SharedStringTable&) = delete;
    SharedStringTable& operator=(const SharedStringTable&) = delete;

    // The index of utf8's text, added when not yet present. Counts one cell
    // reference. Invalid UTF-8 becomes U+FFFD; text past the cell limit is cut.
    std::uint32_t Intern(std::string_view utf8);

    std::uint32_t UniqueCount() const { return static_cast<std::uint32_t>(starts_.size()); }
    // How many of the interned cell texts were cut at the cell limit.
    std::uint64_t CutCount() const { return cutTexts_; }

    // Appends the SST record (split into CONTINUE records as needed) and the
    // EXTSST record. Position 0 of out's buffer must be the start of the
    // workbook stream, since EXTSST holds absolute stream positions.
    void WriteRecords(ByteWriter& out) const;

private:
    std::string_view Entry(std::uint32_t index) const;
    // Returns whether the text was cut at the cell limit.
    bool AppendEncoded(std::string_view utf8);
    void GrowLookup();
    void Place(std::uint64_t slot);

    // Entries back to back: character count (2 bytes), option byte, characters.
    std::vector<std::uint8_t> arena_;
    std::vector<std::size_t> starts_;
    std::uint32_t references_ = 0;
    std::uint64_t cutTexts_ = 0;
    // Open-addressing index of the entries, at most half full. A slot holds
    // an entry's 32-bit hash in its upper half and the entry's index plus one
    // in its lower half; 0 marks a free slot.
    std::vector<std::uint64_t> slots_;
};

} // namespace grid::xls
