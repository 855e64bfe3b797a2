// Builds one result row. The version block is loaded once and the version
// number and the three strings are all answered from it.
#include "cDisk/FoundFileRow.h"

#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"
#include "platform/version/VersionInfo.h"

namespace {

constexpr std::int32_t kCompanyName = 0;
constexpr std::int32_t kFileDescription = 1;
constexpr std::int32_t kProductName = 5;

} // namespace

FoundFileRow BuildFoundFileRow(const std::string& CurrentPath, const std::string& CurrentFile)
{
    const std::string fullName = CurrentPath + CurrentFile;
    FoundFileRow row;
    row.fileName = CurrentFile;
    row.path = CurrentPath;
    if (const std::optional<platform::VersionInfo> info = platform::VersionInfo::FromFile(fullName)) {
        row.version = VORN_STD_library::FixedFileVersionText(*info);
        row.desc = VORN_STD_library::VersionStringFrom(*info, kFileDescription);
        row.product = VORN_STD_library::VersionStringFrom(*info, kProductName);
        row.company = VORN_STD_library::VersionStringFrom(*info, kCompanyName);
    }
    row.size = VORN_STD_library::ReadFileSize(fullName);
    row.modified = VORN_STD_library::ReadLastModifiedLocal(fullName);
    return row;
}
