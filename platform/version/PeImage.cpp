// PE header parsing and reads by relative virtual address.
#include "platform/version/PeImage.h"

#include "platform/version/ByteReader.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <span>
#include <utility>

namespace platform::version {
namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kCoffHeaderBytes = 20;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kCliHeaderDirectoryIndex = 14;
constexpr std::uint32_t kCertificateDirectoryIndex = 4;
constexpr std::size_t kHeadersSizeOffset = 60;
constexpr std::size_t kChecksumOffset = 64;
constexpr std::size_t kSubsystemOffset = 68;
constexpr std::size_t kDataDirectoryBytes = 8;

std::uint64_t SectionExtent(const Section& s)
{
    return std::max(s.virtualSize, s.rawSize);
}

std::uint64_t SectionEnd(const Section& s)
{
    return s.virtualAddress + SectionExtent(s);
}

}  // namespace

PeImage::PeImage(const ByteSource& source, std::vector<Section> sections, std::uint32_t resourceRva,
                 std::uint32_t resourceSize, const PeHeaderFields& header)
    : source_(&source),
      sections_(std::move(sections)),
      resourceRva_(resourceRva),
      resourceSize_(resourceSize),
      header_(header)
{
    // Most tables list their sections in address order without overlaps:
    // then each section is one range.
    std::uint64_t lastEnd = 0;
    const bool ordered = std::all_of(sections_.begin(), sections_.end(), [&](const Section& s) {
        if (SectionExtent(s) == 0)
            return true;
        const bool after = s.virtualAddress >= lastEnd;
        lastEnd = SectionEnd(s);
        return after;
    });
    if (ordered) {
        ranges_.reserve(sections_.size());
        for (std::uint32_t i = 0; i < sections_.size(); ++i)
            if (SectionExtent(sections_[i]) != 0)
                ranges_.push_back(SectionRange{sections_[i].virtualAddress, SectionEnd(sections_[i]), i});
        return;
    }

    // Otherwise sweep the section starts and ends in address order; between two
    // neighbouring ones the same sections are open, and the first of them in
    // table order is the one an RVA there resolves to.
    std::vector<std::uint64_t> bounds;
    std::vector<std::uint32_t> byStart;
    bounds.reserve(2 * sections_.size());
    byStart.reserve(sections_.size());
    for (std::uint32_t i = 0; i < sections_.size(); ++i) {
        if (SectionExtent(sections_[i]) == 0)
            continue;
        bounds.push_back(sections_[i].virtualAddress);
        bounds.push_back(SectionEnd(sections_[i]));
        byStart.push_back(i);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    std::stable_sort(byStart.begin(), byStart.end(), [&](std::uint32_t a, std::uint32_t b) {
        return sections_[a].virtualAddress < sections_[b].virtualAddress;
    });

    std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> open;
    std::size_t next = 0;
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        const std::uint64_t from = bounds[k];
        while (next < byStart.size() && sections_[byStart[next]].virtualAddress <= from)
            open.push(byStart[next++]);
        while (!open.empty() && SectionEnd(sections_[open.top()]) <= from)
            open.pop();
        if (open.empty())
            continue;
        if (!ranges_.empty() && ranges_.back().end == from && ranges_.back().section == open.top())
            ranges_.back().end = bounds[k + 1];
        else
            ranges_.push_back(SectionRange{from, bounds[k + 1], open.top()});
    }
}

std::optional<PeImage> PeImage::Open(const ByteSource& source)
{
    const auto dosHeader = ReadArray<64>(source, 0);
    if (!dosHeader)
        return std::nullopt;
    ByteReader dos(*dosHeader);
    if (dos.U16(0) != 0x5A4D)  // "MZ"
        return std::nullopt;
    const std::uint32_t peOffset = *dos.U32(0x3C);

    const auto ntHeaders = ReadArray<4 + kCoffHeaderBytes>(source, peOffset);
    if (!ntHeaders)
        return std::nullopt;
    ByteReader nt(*ntHeaders);
    if (nt.U32(0) != 0x00004550)  // "PE\0\0"
        return std::nullopt;
    const std::uint16_t sectionCount = *nt.U16(4 + 2);
    const std::uint16_t optionalHeaderBytes = *nt.U16(4 + 16);

    // The optional header and the section table after it, in one read.
    const std::uint64_t optionalOffset = std::uint64_t{peOffset} + 4 + kCoffHeaderBytes;
    const auto headers = ReadBytes(source, optionalOffset,
                                   std::size_t{optionalHeaderBytes} + sectionCount * kSectionHeaderBytes);
    if (!headers)
        return std::nullopt;
    const std::span<const std::uint8_t> allHeaders(*headers);
    ByteReader opt(allHeaders.first(optionalHeaderBytes));
    const auto magic = opt.U16(0);
    std::size_t rvaCountOffset;
    if (magic == kPe32Magic)
        rvaCountOffset = 92;
    else if (magic == kPe32PlusMagic)
        rvaCountOffset = 108;
    else
        return std::nullopt;
    const auto rvaCount = opt.U32(rvaCountOffset);
    if (!rvaCount)
        return std::nullopt;

    // A data directory entry the header lists and holds; zeros otherwise.
    const auto directory = [&](std::uint32_t index) -> std::pair<std::uint32_t, std::uint32_t> {
        if (*rvaCount <= index)
            return {0, 0};
        const std::size_t entry = rvaCountOffset + 4 + index * kDataDirectoryBytes;
        const auto rva = opt.U32(entry);
        const auto size = opt.U32(entry + 4);
        if (!rva || !size)
            return {0, 0};
        return {*rva, *size};
    };
    const auto [resourceRva, resourceSize] = directory(kResourceDirectoryIndex);
    const auto [cliRva, cliSize] = directory(kCliHeaderDirectoryIndex);
    const auto [certificateOffset, certificateSize] = directory(kCertificateDirectoryIndex);
    const std::size_t certificateEntry = rvaCountOffset + 4 + kCertificateDirectoryIndex * kDataDirectoryBytes;
    const std::uint64_t certificateEntryOffset =
        *rvaCount > kCertificateDirectoryIndex && opt.Bytes(certificateEntry, kDataDirectoryBytes)
            ? optionalOffset + certificateEntry
            : 0;
    const PeHeaderFields header{.isPe32Plus = magic == kPe32PlusMagic,
                                .machine = *nt.U16(4),
                                .timeDateStamp = *nt.U32(4 + 4),
                                .subsystem = *opt.U16(kSubsystemOffset),
                                .cliRva = cliRva,
                                .cliSize = cliSize,
                                .checksumOffset = optionalOffset + kChecksumOffset,
                                .certificateEntryOffset = certificateEntryOffset,
                                .certificateOffset = certificateOffset,
                                .certificateSize = certificateSize,
                                .headersSize = opt.U32(kHeadersSizeOffset).value_or(0)};

    ByteReader sectionTable(allHeaders.subspan(optionalHeaderBytes));
    std::vector<Section> sections;
    sections.reserve(sectionCount);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = i * kSectionHeaderBytes;
        sections.push_back(Section{.virtualAddress = *sectionTable.U32(at + 12),
                                   .virtualSize = *sectionTable.U32(at + 8),
                                   .rawSize = *sectionTable.U32(at + 16),
                                   .rawOffset = *sectionTable.U32(at + 20)});
    }
    return PeImage(source, std::move(sections), resourceRva, resourceSize, header);
}

const Section* PeImage::SectionFor(std::uint32_t rva) const
{
    const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), rva,
                                        [](std::uint64_t value, const SectionRange& r) { return value < r.start; });
    if (after == ranges_.begin() || rva >= std::prev(after)->end)
        return nullptr;
    return &sections_[std::prev(after)->section];
}

std::uint32_t PeImage::BytesToSectionEnd(std::uint32_t rva) const
{
    const Section* s = SectionFor(rva);
    if (!s)
        return 0;
    return static_cast<std::uint32_t>(SectionExtent(*s) - (rva - s->virtualAddress));
}

std::uint32_t PeImage::FileBytesToSectionEnd(std::uint32_t rva) const
{
    const Section* s = SectionFor(rva);
    if (!s || rva - s->virtualAddress >= s->rawSize)
        return 0;
    return s->rawSize - (rva - s->virtualAddress);
}

std::optional<PeImage::Piece> PeImage::PlacePiece(std::uint32_t rva, std::size_t count) const
{
    const Section* s = SectionFor(rva);
    if (!s || count > kMaxPieceBytes)
        return std::nullopt;
    const std::uint64_t inSection = rva - s->virtualAddress;
    if (count > SectionExtent(*s) - inSection)
        return std::nullopt;
    Piece piece{std::uint64_t{s->rawOffset} + inSection, 0};
    if (count > 0 && inSection < s->rawSize)
        piece.fileBytes = static_cast<std::size_t>(std::min<std::uint64_t>(count, s->rawSize - inSection));
    if (piece.fileBytes > 0 && !PieceFits(*source_, piece.fileOffset, piece.fileBytes))
        return std::nullopt;
    return piece;
}

bool PeImage::FillPiece(const Piece& piece, std::span<std::uint8_t> out) const
{
    if (piece.fileBytes > 0 && !source_->ReadInto(piece.fileOffset, out.first(piece.fileBytes)))
        return false;
    // Past the raw data, zeros.
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(piece.fileBytes), out.end(), std::uint8_t{0});
    return true;
}

bool PeImage::ReadRvaInto(std::uint32_t rva, std::span<std::uint8_t> out) const
{
    const std::optional<Piece> piece = PlacePiece(rva, out.size());
    return piece && FillPiece(*piece, out);
}

std::optional<std::vector<std::uint8_t>> PeImage::ReadRva(std::uint32_t rva, std::size_t count) const
{
    // Placed before the bytes are allocated: a piece the file cannot serve
    // fails before any memory is spent on it.
    const std::optional<Piece> piece = PlacePiece(rva, count);
    if (!piece)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    if (!FillPiece(*piece, bytes))
        return std::nullopt;
    return bytes;
}

}  // namespace platform::version
