// Writer of a compound file (version 3, 512-byte sectors) that holds a single
// stream in regular sectors: header, stream, directory, allocation table and,
// when the table needs more than 109 sectors, the extra table-location
// sectors. Streams shorter than 4,096 bytes are padded to that size so that
// no mini stream is needed.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "grid/xls/ByteSink.h"

namespace grid::xls {

// Largest stream this writer accepts; readers commonly treat sizes as signed
// 32-bit numbers.
constexpr std::uint64_t kMaxCompoundStreamSize = 0x7FFFFFFF;

// Writes a compound file whose one stream, named streamName (at most 31
// characters), holds the concatenated parts. False when the sink fails or the
// stream is larger than kMaxCompoundStreamSize.
bool WriteSingleStreamCompoundFile(ByteSink& sink, std::u16string_view streamName,
                                   std::span<const std::span<const std::uint8_t>> parts);

} // namespace grid::xls
