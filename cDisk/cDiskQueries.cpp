// What a cDisk found (counts, totals, the two lists) and the per-file
// queries, which forward to the file information library unchanged.
#include "cDisk/cDisk.h"

#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"

namespace {

// 1/1440 inch: the sizes of the small and the large icon box.
constexpr int kSmallIconTwips = 240;
constexpr int kLargeIconTwips = 480;

} // namespace

std::string cDisk::CurrentPath() const
{
    return CurrentPath_;
}

std::string cDisk::CurrentFile() const
{
    return CurrentFile_;
}

std::int32_t cDisk::FoundFilesCount() const
{
    return FoundCount_;
}

std::vector<std::string> cDisk::FoundFilesNames() const
{
    return PathList_;
}

double cDisk::FoundFilesSize() const
{
    return TotalBytes_;
}

std::vector<std::string> cDisk::ListFound() const
{
    return NameList_;
}

std::int32_t cDisk::GetFileIcon(const std::string& FileName, std::int32_t iconsize,
                                platform::IconPaintTarget& dstPictureBox)
{
    dstPictureBox.SetAutoRedraw(true);
    platform::FileIconImage icon;
    if (iconsize == 0 || iconsize == 1) {
        const bool small = iconsize == 0;
        icon = platform::FindFileIcon(FileName, small ? platform::IconSize::Small : platform::IconSize::Large);
        dstPictureBox.SetWidthTwips(small ? kSmallIconTwips : kLargeIconTwips);
        dstPictureBox.SetHeightTwips(small ? kSmallIconTwips : kLargeIconTwips);
    }
    if (icon.sourceHandle != 0) dstPictureBox.DrawIcon(icon, 0, 0);
    return icon.sourceHandle;
}

std::string cDisk::GetFileInfo(const std::string& FileName, std::int32_t infotype)
{
    return VORN_STD_library::ReadVersionString(FileName, infotype);
}

std::string cDisk::GetFileType(const std::string& FileName)
{
    return VORN_STD_library::ReadFileTypeName(FileName);
}

std::string cDisk::GetFileVersion(const std::string& FileName)
{
    return VORN_STD_library::ReadFixedFileVersion(FileName);
}

platform::DateTime cDisk::GetFileDate(const std::string& FileName, std::int32_t FD)
{
    return VORN_STD_library::ReadFileDate(FileName, FD);
}
