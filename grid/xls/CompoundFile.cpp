// Compound file layout: sector 0 onward holds the stream, then one directory
// sector, then the allocation-table (FAT) sectors, then the DIFAT sectors.
// Every number is written little-endian through ByteWriter.
#include "grid/xls/CompoundFile.h"

#include <algorithm>
#include <vector>

#include "grid/xls/ByteWriter.h"

namespace grid::xls {
namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kEntriesPerDifatSector = kEntriesPerFatSector - 1;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kDirectoryEntrySize = 128;

constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

constexpr std::uint8_t kStorageRoot = 5;
constexpr std::uint8_t kStreamObject = 2;
constexpr std::uint8_t kBlack = 1;

std::uint32_t CeilDiv(std::uint64_t value, std::uint32_t divisor)
{
    return static_cast<std::uint32_t>((value + divisor - 1) / divisor);
}

struct Layout {
    std::uint64_t streamSize = 0;
    std::uint32_t streamSectors = 0;
    std::uint32_t directorySector = 0;
    std::uint32_t firstFatSector = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t firstDifatSector = 0;
    std::uint32_t difatSectors = 0;

    std::uint32_t TotalSectors() const { return streamSectors + 1 + fatSectors + difatSectors; }

    // The allocation-table entry of one sector.
    std::uint32_t FatEntry(std::uint32_t sector) const
    {
        if (sector < streamSectors) return sector + 1 == streamSectors ? kEndOfChain : sector + 1;
        if (sector == directorySector) return kEndOfChain;
        if (sector >= firstFatSector && sector < firstFatSector + fatSectors) return kFatSector;
        if (sector >= firstDifatSector && sector < firstDifatSector + difatSectors) return kDifatSector;
        return kFreeSector;
    }
};

Layout PlanLayout(std::uint64_t contentSize)
{
    Layout layout;
    layout.streamSize = std::max<std::uint64_t>(contentSize, kMiniStreamCutoff);
    layout.streamSectors = CeilDiv(layout.streamSize, kSectorSize);
    // The table must also cover its own sectors and the DIFAT sectors, which
    // in turn depend on the table's size: grow both until they settle.
    for (;;) {
        const std::uint32_t fat = CeilDiv(layout.TotalSectors(), kEntriesPerFatSector);
        const std::uint32_t difat =
            fat > kHeaderDifatEntries ? CeilDiv(fat - kHeaderDifatEntries, kEntriesPerDifatSector) : 0;
        if (fat == layout.fatSectors && difat == layout.difatSectors) break;
        layout.fatSectors = fat;
        layout.difatSectors = difat;
    }
    layout.directorySector = layout.streamSectors;
    layout.firstFatSector = layout.directorySector + 1;
    layout.firstDifatSector = layout.firstFatSector + layout.fatSectors;
    return layout;
}

void WriteHeader(ByteWriter& out, const Layout& layout)
{
    out.U32(0xE011CFD0); // signature D0 CF 11 E0 A1 B1 1A E1
    out.U32(0xE11AB1A1);
    out.Zeros(16);   // class identifier
    out.U16(0x003E); // minor version
    out.U16(0x0003); // major version 3
    out.U16(0xFFFE); // little-endian byte order mark
    out.U16(9);      // sector size 2^9
    out.U16(6);      // mini sector size 2^6
    out.Zeros(6);
    out.U32(0); // directory sector count, always 0 in version 3
    out.U32(layout.fatSectors);
    out.U32(layout.directorySector);
    out.U32(0); // transaction signature
    out.U32(kMiniStreamCutoff);
    out.U32(kEndOfChain); // no mini allocation table
    out.U32(0);
    out.U32(layout.difatSectors == 0 ? kEndOfChain : layout.firstDifatSector);
    out.U32(layout.difatSectors);
    for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
        out.U32(i < layout.fatSectors ? layout.firstFatSector + i : kFreeSector);
    }
}

void WriteDirectoryEntry(ByteWriter& out, std::u16string_view name, std::uint8_t type, std::uint32_t child,
                         std::uint32_t startSector, std::uint64_t size)
{
    const std::size_t start = out.Size();
    for (const char16_t unit : name) out.U16(static_cast<std::uint16_t>(unit));
    out.Zeros(64 - name.size() * 2);
    out.U16(static_cast<std::uint16_t>((name.size() + 1) * 2));
    out.U8(type);
    out.U8(kBlack);
    out.U32(kNoStream); // left sibling
    out.U32(kNoStream); // right sibling
    out.U32(child);
    out.Zeros(16); // class identifier
    out.U32(0);    // state bits
    out.U64(0);    // creation time
    out.U64(0);    // modification time
    out.U32(startSector);
    out.U64(size);
    out.Zeros(kDirectoryEntrySize - (out.Size() - start));
}

void WriteEmptyDirectoryEntry(ByteWriter& out)
{
    out.Zeros(66);
    out.U16(0); // unknown type, colour 0
    out.U32(kNoStream);
    out.U32(kNoStream);
    out.U32(kNoStream);
    out.Zeros(kDirectoryEntrySize - 80);
}

} // namespace

bool WriteSingleStreamCompoundFile(ByteSink& sink, std::u16string_view streamName,
                                   std::span<const std::span<const std::uint8_t>> parts)
{
    std::uint64_t contentSize = 0;
    for (const auto part : parts) contentSize += part.size();
    if (contentSize > kMaxCompoundStreamSize || streamName.size() > 31) return false;
    const Layout layout = PlanLayout(contentSize);

    std::vector<std::uint8_t> sector;
    ByteWriter out(sector);
    WriteHeader(out, layout);
    if (!sink.Put(sector)) return false;

    for (const auto part : parts) {
        if (!part.empty() && !sink.Put(part)) return false;
    }
    sector.assign(std::size_t{layout.streamSectors} * kSectorSize - contentSize, 0);
    if (!sink.Put(sector)) return false;

    sector.clear();
    WriteDirectoryEntry(out, u"Root Entry", kStorageRoot, 1, kEndOfChain, 0);
    WriteDirectoryEntry(out, streamName, kStreamObject, kNoStream, 0, layout.streamSize);
    WriteEmptyDirectoryEntry(out);
    WriteEmptyDirectoryEntry(out);
    if (!sink.Put(sector)) return false;

    const std::uint32_t fatEntries = layout.fatSectors * kEntriesPerFatSector;
    for (std::uint32_t first = 0; first < fatEntries; first += kEntriesPerFatSector) {
        sector.clear();
        for (std::uint32_t i = first; i < first + kEntriesPerFatSector; ++i) out.U32(layout.FatEntry(i));
        if (!sink.Put(sector)) return false;
    }

    for (std::uint32_t difat = 0; difat < layout.difatSectors; ++difat) {
        sector.clear();
        const std::uint32_t firstListed = kHeaderDifatEntries + difat * kEntriesPerDifatSector;
        for (std::uint32_t i = 0; i < kEntriesPerDifatSector; ++i) {
            const std::uint32_t fatIndex = firstListed + i;
            out.U32(fatIndex < layout.fatSectors ? layout.firstFatSector + fatIndex : kFreeSector);
        }
        out.U32(difat + 1 < layout.difatSectors ? layout.firstDifatSector + difat + 1 : kEndOfChain);
        if (!sink.Put(sector)) return false;
    }
    return true;
}

} // namespace grid::xls
