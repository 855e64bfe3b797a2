// The parts of a PE image (PE32 or PE32+) that resource lookup needs: the
// section table and the resource directory's place. Reads by relative virtual
// address go through the section table the way the loader maps the image: a
// section is as long as the larger of its raw and virtual sizes, and the part
// past its raw data reads as zeros.
#pragma once

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::version {

// The fields of the COFF and optional headers that describe the image as a
// whole.
struct PeHeaderFields {
    bool isPe32Plus = false;
    std::uint16_t machine = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t subsystem = 0;
    // The CLI header's data directory entry (index 14); an RVA of 0 means a
    // native image.
    std::uint32_t cliRva = 0;
    std::uint32_t cliSize = 0;
    // File offsets of the optional header's checksum field and of the
    // certificate table's data directory entry (index 4; 0 when the header
    // lists fewer entries), and that entry, which holds a file offset, not
    // an RVA. The Authenticode digest leaves these out.
    std::uint64_t checksumOffset = 0;
    std::uint64_t certificateEntryOffset = 0;
    std::uint32_t certificateOffset = 0;
    std::uint32_t certificateSize = 0;
    // SizeOfHeaders: the headers and section table, rounded up.
    std::uint32_t headersSize = 0;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    // Empty when the source is not a PE image whose headers can be read.
    static std::optional<PeImage> Open(const ByteSource& source);

    // The RVA and size of the resource directory (data directory entry 2);
    // an RVA of 0 means the image has no resources.
    std::uint32_t ResourceRva() const { return resourceRva_; }
    std::uint32_t ResourceSize() const { return resourceSize_; }
    const PeHeaderFields& Header() const { return header_; }

    // The count bytes at rva; empty unless they all lie inside one section
    // whose raw part can be read from the source.
    std::optional<std::vector<std::uint8_t>> ReadRva(std::uint32_t rva, std::size_t count) const;
    // The same into `out` (all of it); false, with `out` in any state, where
    // ReadRva gives nothing.
    bool ReadRvaInto(std::uint32_t rva, std::span<std::uint8_t> out) const;
    // How many bytes from rva up to the end of the section holding it; 0 when
    // no section holds rva.
    std::uint32_t BytesToSectionEnd(std::uint32_t rva) const;
    // How many of those come from the file (the section's raw data); the
    // rest read as zeros.
    std::uint32_t FileBytesToSectionEnd(std::uint32_t rva) const;

private:
    // RVAs from start up to end resolve to sections_[section].
    struct SectionRange {
        std::uint64_t start;
        std::uint64_t end;
        std::uint32_t section;
    };

    PeImage(const ByteSource& source, std::vector<Section> sections, std::uint32_t resourceRva,
            std::uint32_t resourceSize, const PeHeaderFields& header);
    // The section an RVA lies in: of the sections holding it, the first in
    // table order; null when none does.
    const Section* SectionFor(std::uint32_t rva) const;
    // Where the count bytes at rva come from: the first fileBytes from the
    // source at fileOffset, the rest zeros. Empty unless they lie inside one
    // section, count is a piece size any caller may fetch, and the source
    // holds the file part.
    struct Piece {
        std::uint64_t fileOffset;
        std::size_t fileBytes;
    };
    std::optional<Piece> PlacePiece(std::uint32_t rva, std::size_t count) const;
    // Reads a placed piece into `out`, which is as long as the piece.
    bool FillPiece(const Piece& piece, std::span<std::uint8_t> out) const;

    const ByteSource* source_;
    std::vector<Section> sections_;
    // The address space as SectionFor resolves it, in disjoint ranges sorted
    // by start, so that a lookup is a binary search however many sections
    // (up to 65535) the table lists.
    std::vector<SectionRange> ranges_;
    std::uint32_t resourceRva_;
    std::uint32_t resourceSize_;
    PeHeaderFields header_;
};

}  // namespace platform::version
