// A small, independent reader of version-3 compound files for the tests: it
// follows the header, the DIFAT chain, the allocation table and the directory
// and returns a named stream, checking every structure it walks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xls_test {

struct CompoundFileContents {
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    std::vector<std::u16string> entryNames;       // directory order, unused entries empty
    std::vector<std::vector<std::uint8_t>> entryRaw; // each 128 bytes
    std::vector<std::uint8_t> workbook;          // the "Workbook" stream, exact size
};

// Empty, with problem set, when the file is not a well-formed compound file.
std::optional<CompoundFileContents> ReadCompoundFile(const std::vector<std::uint8_t>& file, std::string& problem);

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

struct BiffRecord {
    std::uint16_t id;
    std::size_t offset; // of the record header in the stream
    std::vector<std::uint8_t> payload;
};

// The records of the substream starting at offset, up to and including EOF.
std::vector<BiffRecord> ReadSubstream(const std::vector<std::uint8_t>& stream, std::size_t offset);

} // namespace xls_test
