// Test-side compound file and BIFF record reader.
#include "CompoundFileReader.h"

#include <set>
#include <stdexcept>

namespace xls_test {
namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;

struct Bad : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::size_t SectorOffset(const std::vector<std::uint8_t>& file, std::uint32_t sector)
{
    const std::size_t offset = kSector + std::size_t{sector} * kSector;
    if (offset + kSector > file.size()) throw Bad("sector " + std::to_string(sector) + " past end of file");
    return offset;
}

std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& fat, std::uint32_t start)
{
    std::vector<std::uint32_t> chain;
    std::set<std::uint32_t> seen;
    for (std::uint32_t sector = start; sector != kEndOfChain; sector = fat.at(sector)) {
        if (sector >= fat.size() || !seen.insert(sector).second) throw Bad("broken chain");
        chain.push_back(sector);
    }
    return chain;
}

} // namespace

std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t o)
{
    if (o + 2 > b.size()) throw Bad("read past end");
    return static_cast<std::uint16_t>(b[o] | b[o + 1] << 8);
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t o)
{
    return Le16(b, o) | static_cast<std::uint32_t>(Le16(b, o + 2)) << 16;
}

std::optional<CompoundFileContents> ReadCompoundFile(const std::vector<std::uint8_t>& file, std::string& problem)
try {
    if (file.size() < kSector || (file.size() - kSector) % kSector != 0) throw Bad("size not whole sectors");
    if (Le32(file, 0) != 0xE011CFD0 || Le16(file, 26) != 3 || Le16(file, 30) != 9) throw Bad("header");
    CompoundFileContents contents;
    contents.fatSectors = Le32(file, 44);
    contents.difatSectors = Le32(file, 72);

    std::vector<std::uint32_t> fatLocations;
    for (std::uint32_t i = 0; i < 109 && fatLocations.size() < contents.fatSectors; ++i)
        fatLocations.push_back(Le32(file, 76 + 4 * i));
    std::uint32_t difat = Le32(file, 68);
    std::vector<std::uint32_t> difatLocations;
    while (fatLocations.size() < contents.fatSectors) {
        const std::size_t at = SectorOffset(file, difat);
        difatLocations.push_back(difat);
        for (std::uint32_t i = 0; i < 127 && fatLocations.size() < contents.fatSectors; ++i)
            fatLocations.push_back(Le32(file, at + 4 * i));
        difat = Le32(file, at + 508);
    }
    if (difatLocations.size() != contents.difatSectors) throw Bad("DIFAT sector count");

    std::vector<std::uint32_t> fat;
    for (const std::uint32_t location : fatLocations) {
        const std::size_t at = SectorOffset(file, location);
        for (std::uint32_t i = 0; i < 128; ++i) fat.push_back(Le32(file, at + 4 * i));
    }
    for (const std::uint32_t location : fatLocations)
        if (fat.at(location) != kFatSector) throw Bad("FAT sector not marked");
    for (const std::uint32_t location : difatLocations)
        if (fat.at(location) != kDifatSector) throw Bad("DIFAT sector not marked");

    std::vector<std::uint8_t> directory;
    for (const std::uint32_t sector : Chain(fat, Le32(file, 48))) {
        const std::size_t at = SectorOffset(file, sector);
        directory.insert(directory.end(), file.begin() + at, file.begin() + at + kSector);
    }
    for (std::size_t at = 0; at + 128 <= directory.size(); at += 128) {
        std::vector<std::uint8_t> raw(directory.begin() + at, directory.begin() + at + 128);
        std::u16string name;
        const std::uint16_t nameBytes = Le16(raw, 64);
        for (std::size_t i = 0; i + 2 < nameBytes && i < 62; i += 2) name.push_back(static_cast<char16_t>(Le16(raw, i)));
        contents.entryNames.push_back(name);
        contents.entryRaw.push_back(raw);
        if (name != u"Workbook") continue;
        const std::uint32_t size = Le32(raw, 120);
        for (const std::uint32_t sector : Chain(fat, Le32(raw, 116))) {
            const std::size_t from = SectorOffset(file, sector);
            contents.workbook.insert(contents.workbook.end(), file.begin() + from, file.begin() + from + kSector);
        }
        if (contents.workbook.size() < size) throw Bad("stream chain shorter than its size");
        contents.workbook.resize(size);
    }
    return contents;
} catch (const std::exception& failure) {
    problem = failure.what();
    return std::nullopt;
}

std::vector<BiffRecord> ReadSubstream(const std::vector<std::uint8_t>& stream, std::size_t offset)
{
    std::vector<BiffRecord> records;
    while (offset + 4 <= stream.size()) {
        const std::uint16_t id = Le16(stream, offset);
        const std::uint16_t length = Le16(stream, offset + 2);
        if (offset + 4 + length > stream.size()) throw Bad("record past end of stream");
        records.push_back({id, offset, {stream.begin() + offset + 4, stream.begin() + offset + 4 + length}});
        offset += 4 + length;
        if (id == 0x000A) break;
    }
    return records;
}

} // namespace xls_test
