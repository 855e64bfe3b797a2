// Certificate table reading and the Authenticode digest's ranges.
#include "platform/version/CertificateTable.h"

#include "platform/version/ByteReader.h"
#include "platform/version/PeImage.h"

#include <algorithm>

namespace platform::version {
namespace {

constexpr std::size_t kEntryHeaderBytes = 8;
constexpr std::uint16_t kRevision2 = 0x0200;
constexpr std::uint16_t kPkcsSignedData = 0x0002;
constexpr std::uint64_t kChecksumBytes = 4;
constexpr std::uint64_t kDirectoryEntryBytes = 8;

std::uint64_t AlignUp8(std::uint64_t value)
{
    return (value + 7) & ~std::uint64_t{7};
}

// The entries of a table read whole; false when one overruns it or there
// are too many.
bool ReadEntries(const std::vector<std::uint8_t>& bytes, CertificateTable& table)
{
    const ByteReader reader(bytes);
    std::uint64_t at = 0;
    std::size_t entries = 0;
    while (at < reader.Size()) {
        const auto length = reader.U32(at);
        const auto revision = reader.U16(at + 4);
        const auto type = reader.U16(at + 6);
        if (!length || !revision || !type || *length < kEntryHeaderBytes || ++entries > kMaxCertificateEntries)
            return false;
        const auto body = reader.Bytes(at + kEntryHeaderBytes, *length - kEntryHeaderBytes);
        if (!body)
            return false;
        if (*revision == kRevision2 && *type == kPkcsSignedData)
            table.signedData.emplace_back(body->begin(), body->end());
        at = AlignUp8(at + *length);
    }
    return true;
}

}  // namespace

std::optional<CertificateTable> ReadCertificateTable(const ByteSource& source)
{
    const std::optional<PeImage> image = PeImage::Open(source);
    if (!image)
        return std::nullopt;
    const PeHeaderFields& header = image->Header();
    const std::uint64_t fileSize = source.Size();
    CertificateTable table;

    std::uint64_t digestEnd = fileSize;
    if (header.certificateEntryOffset != 0 && header.certificateOffset != 0) {
        const std::uint64_t offset = header.certificateOffset;
        const std::uint64_t size = header.certificateSize;
        const bool placed = offset >= header.headersSize && offset >= header.certificateEntryOffset + kDirectoryEntryBytes
                         && offset <= fileSize && size <= fileSize - offset;
        table.state = CertificateTableState::Malformed;
        if (placed) {
            digestEnd = offset;
            if (size >= kEntryHeaderBytes && size <= kMaxCertificateTableBytes) {
                const auto bytes = ReadBytes(source, offset, static_cast<std::size_t>(size));
                if (bytes && ReadEntries(*bytes, table))
                    table.state = CertificateTableState::Present;
            }
        }
        if (table.state == CertificateTableState::Malformed)
            table.signedData.clear();
    } else {
        table.digestPadding = static_cast<std::uint32_t>(AlignUp8(fileSize) - fileSize);
    }

    // The checksum lies before the directory entry in every optional header.
    std::uint64_t at = 0;
    const auto cover = [&](std::uint64_t skipFrom, std::uint64_t skipBytes) {
        const std::uint64_t until = std::min(skipFrom, digestEnd);
        if (until > at)
            table.digestRanges.push_back({at, until - at});
        at = std::max(at, std::min(skipFrom + skipBytes, digestEnd));
    };
    cover(header.checksumOffset, kChecksumBytes);
    if (header.certificateEntryOffset != 0)
        cover(header.certificateEntryOffset, kDirectoryEntryBytes);
    cover(digestEnd, 0);
    return table;
}

}  // namespace platform::version
