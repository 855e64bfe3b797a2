// Facts about one file named by its path: size, one of its times, its type
// name and its fixed version number as text. Missing facts are answered with
// fixed values (size 0, fixed dates, empty text), never with a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "VORN_STD_library/FileDigests.h"
#include "VORN_STD_library/Signatures.h"
#include "VORN_STD_library/VersionStrings.h"
#include "platform/DateTime.h"
#include "platform/FixedDecimal.h"
#include "platform/LongPath.h"
#include "platform/version/ImageHeaders.h"
#include "platform/version/VersionInfo.h"

namespace VORN_STD_library {

// The size of a regular file in bytes; 0 for anything that cannot be opened
// for reading or is not a regular file. Never blocks (FIFOs give 0).
platform::FixedDecimal ReadFileSize(const std::string& path);

// FD 0: birth time where recorded, else last modification; 1: last
// modification; 2: last access. UTC, whole seconds. 1601-01-01 00:00:00 when
// the file cannot be opened; 1900-01-01 00:00:00 for any other FD.
platform::DateTime ReadFileDate(const std::string& path, std::int32_t FD);

// The file's last-modification time in local time; empty when the file
// cannot be found.
std::optional<platform::DateTime> ReadLastModifiedLocal(const std::string& path);

// What a result row shows of a file's own facts, from one look at it.
struct FileRowFacts {
    platform::FixedDecimal size;                    // as ReadFileSize
    std::optional<platform::DateTime> modified;     // as ReadLastModifiedLocal
    std::int64_t modifiedSeconds = 0;               // the same, seconds since 1970 UTC
    std::optional<platform::VersionInfo> version;   // as platform::VersionInfo::FromFile
    // FirstTranslation of the version block, looked up once for the row's
    // several string values; empty without a version block or translation.
    std::optional<TranslationEntry> firstTranslation;
    std::optional<FileDigests> digests;             // only when asked for
    std::optional<platform::version::ImageHeaders> headers;  // only when asked for
    std::optional<ImageSignatures> signatures;      // only when asked for; PE images only
};

// What ReadFileRowFacts reads beyond the size, time and version block.
struct ExtraRowReads {
    bool digests = false;  // the whole file, for its digests
    bool headers = false;  // the image headers
    bool signatures = false;  // the whole file, for its signatures (checked against TrustStoreInUse)
};

// The size, the last-modification time and the version block of one file,
// answered exactly as the three single readers answer them, but with the file
// opened once (only when it is a regular file) and its status taken once.
// The extra reads asked for go through the same descriptor; without them
// nothing beyond the version block is read.
FileRowFacts ReadFileRowFacts(const std::string& path, ExtraRowReads extra = {});
// The same for the entry `name` of the folder open at `folderFd`. With
// `seenRegular` the caller has just looked at the entry and found a regular
// file, so it is opened without a second look.
FileRowFacts ReadFileRowFactsAt(int folderFd, const std::string& name, ExtraRowReads extra = {},
                                bool seenRegular = false);
// The same from a look already taken.
FileRowFacts RowFactsOf(const platform::LookedUpFile& file, ExtraRowReads extra = {});

// The type name for the file's name ("DLL File"); the file need not exist.
std::string ReadFileTypeName(const std::string& path);

// "major.minor.build.revision", or "major.minor.0000" when build and revision
// are both 0; the empty text for a file without version information.
std::string ReadFixedFileVersion(const std::string& path);
// The same from an already loaded version block.
std::string FixedFileVersionText(const platform::VersionInfo& info);

std::uint32_t HighWord(std::uint32_t field);
std::uint32_t LowWord(std::uint32_t field);

} // namespace VORN_STD_library
