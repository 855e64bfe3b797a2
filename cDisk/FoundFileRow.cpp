// Builds one result row. The file is looked at and opened once: its size,
// date and version block come from that one descriptor, and the version
// number and the three strings are all answered from the one block.
#include "cDisk/FoundFileRow.h"

#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"

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
    VORN_STD_library::FileRowFacts facts = VORN_STD_library::ReadFileRowFacts(fullName);
    if (const std::optional<platform::VersionInfo>& info = facts.version) {
        row.version = VORN_STD_library::FixedFileVersionText(*info);
        row.desc = VORN_STD_library::VersionStringFrom(*info, kFileDescription);
        row.product = VORN_STD_library::VersionStringFrom(*info, kProductName);
        row.company = VORN_STD_library::VersionStringFrom(*info, kCompanyName);
    }
    row.size = facts.size;
    row.modified = facts.modified;
    return row;
}
