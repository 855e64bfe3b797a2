// The certificate table of a PE image (PE32 or PE32+) and the parts of the
// file its Authenticode digest covers. The table is found through its data
// directory entry, which holds a file offset (not an RVA); it lists
// WIN_CERTIFICATE entries, each 8-byte aligned, of which those of revision
// 2.0 and type PKCS_SIGNED_DATA hold a signature. Every bound is checked; a
// table larger than kMaxCertificateTableBytes, with more than
// kMaxCertificateEntries entries, inside the headers, past the end of the
// file or with an entry that overruns it is malformed.
#pragma once

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::version {

inline constexpr std::uint32_t kMaxCertificateTableBytes = 4u << 20;
inline constexpr std::size_t kMaxCertificateEntries = 64;

struct FileRange {
    std::uint64_t offset;
    std::uint64_t size;
};

enum class CertificateTableState { Absent, Present, Malformed };

struct CertificateTable {
    CertificateTableState state = CertificateTableState::Absent;
    // The DER bytes of each signature entry, in table order.
    std::vector<std::vector<std::uint8_t>> signedData;
    // What the Authenticode digest reads: these ranges in file order (the
    // file without the checksum field, the certificate table's directory
    // entry and the table itself), then digestPadding zero bytes. A file
    // without a table is padded to a multiple of 8 bytes, as a signing tool
    // pads it before appending the table.
    std::vector<FileRange> digestRanges;
    std::uint32_t digestPadding = 0;
};

// The table of the PE image in source; empty when source is no PE image.
std::optional<CertificateTable> ReadCertificateTable(const ByteSource& source);

}  // namespace platform::version
