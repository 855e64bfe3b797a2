// File facts for the result table and the engine's per-file queries.
#include "VORN_STD_library/FileFacts.h"

#include "VORN_STD_library/OnDemandCrypto.h"
#include "VORN_STD_library/PathHelpers.h"
#include "VORN_STD_library/SignatureTrust.h"
#include "platform/FileStatus.h"
#include "platform/LongPath.h"
#include "platform/TypeNames.h"
#include "platform/version/VersionInfo.h"

namespace VORN_STD_library {
namespace {

// The value a file that cannot be opened gets: the zero file time.
platform::DateTime UnopenableFileDate()
{
    return platform::DateTime::FromFields({1601, 1, 1, 0, 0, 0});
}

// The value for a selector that names no file time.
platform::DateTime NoSuchTimeDate()
{
    return platform::DateTime::FromFields({1900, 1, 1, 0, 0, 0});
}

} // namespace

platform::FixedDecimal ReadFileSize(const std::string& path)
{
    return platform::FixedDecimal::FromWhole(platform::ReadableRegularFileSize(path));
}

platform::DateTime ReadFileDate(const std::string& path, std::int32_t FD)
{
    if (FD < 0 || FD > 2) return NoSuchTimeDate();
    const std::optional<platform::FileTimes> times = platform::ReadOpenableFileTimes(path);
    if (!times) return UnopenableFileDate();
    switch (FD) {
    case 0: return platform::DateTime::FromUnixUtc(times->birth.value_or(times->modified));
    case 1: return platform::DateTime::FromUnixUtc(times->modified);
    default: return platform::DateTime::FromUnixUtc(times->accessed);
    }
}

std::optional<platform::DateTime> ReadLastModifiedLocal(const std::string& path)
{
    const std::optional<std::int64_t> modified = platform::ReadLastModified(path);
    if (!modified) return std::nullopt;
    return platform::DateTime::FromUnixLocal(*modified);
}

FileRowFacts ReadFileRowFacts(const std::string& path, ExtraRowReads extra)
{
    return RowFactsOf(platform::LookedUpFile(path), extra);
}

FileRowFacts ReadFileRowFactsAt(int folderFd, const std::string& name, ExtraRowReads extra, bool seenRegular)
{
    if (seenRegular)
        return RowFactsOf(platform::LookedUpFile(folderFd, name, platform::LookedUpFile::SeenRegularFile{}), extra);
    return RowFactsOf(platform::LookedUpFile(folderFd, name), extra);
}

FileRowFacts RowFactsOf(const platform::LookedUpFile& file, ExtraRowReads extra)
{
    FileRowFacts facts;
    if (!file.Exists()) return facts;
    facts.modifiedSeconds = file.Status().st_mtim.tv_sec;
    facts.modified = platform::DateTime::FromUnixLocal(facts.modifiedSeconds);
    if (!file.IsOpenRegularFile()) return facts;
    const auto size = static_cast<std::uint64_t>(file.Status().st_size);
    facts.size = platform::FixedDecimal::FromWhole(file.Status().st_size);
    facts.version = platform::VersionInfo::FromOpenFile(file.Descriptor(), size);
    if (facts.version && facts.version->Size() != 0) facts.firstTranslation = FirstTranslation(*facts.version);
    if (extra.headers)
        facts.headers = platform::version::ReadImageHeaders(platform::version::FileByteSource(file.Descriptor(), size));
    if (extra.digests) facts.digests = on_demand::DigestOpenFile(file.Descriptor());
    if (extra.signatures)
        facts.signatures = on_demand::ReadImageSignatures(platform::version::FileByteSource(file.Descriptor(), size),
                                               TrustStoreInUse().get());
    return facts;
}

std::string ReadFileTypeName(const std::string& path)
{
    return TrimAtNull(platform::TypeNameFor(path));
}

std::string ReadFixedFileVersion(const std::string& path)
{
    const std::optional<platform::VersionInfo> info = platform::VersionInfo::FromFile(path);
    return info ? FixedFileVersionText(*info) : std::string();
}

std::string FixedFileVersionText(const platform::VersionInfo& info)
{
    if (info.Size() == 0) return {};
    const std::optional<platform::FixedFileInfo> fixed = info.Fixed();
    if (!fixed) return {};
    std::string text = std::to_string(HighWord(fixed->fileVersionMS)) + "." +
                       std::to_string(LowWord(fixed->fileVersionMS)) + ".";
    if (fixed->fileVersionLS == 0)
        text += "0000";
    else
        text += std::to_string(HighWord(fixed->fileVersionLS)) + "." + std::to_string(LowWord(fixed->fileVersionLS));
    return text;
}

std::uint32_t HighWord(std::uint32_t field)
{
    return field >> 16;
}

std::uint32_t LowWord(std::uint32_t field)
{
    return field & 0xFFFFu;
}

} // namespace VORN_STD_library
