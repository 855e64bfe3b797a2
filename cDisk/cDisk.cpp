// The walks of cDisk: SearchFiles and CountFiles over the recursive file
// walker ScanFiles, SearchFolders over ScanFolders, and stopping. Each folder
// is read whole and closed before its entries are handled, so the depth of a
// walk does not depend on free descriptors.
#include "cDisk/cDisk.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "VORN_STD_library/PathHelpers.h"
#include "platform/DirectoryListing.h"
#include "platform/EventLoopYield.h"
#include "platform/WildcardMatch.h"

namespace {

// The lists grow in steps of this many entries.
constexpr std::int32_t kListStep = 200;

// True when `folderPath` (ending in "/") equals one entry of the
// ";"-separated list, ignoring case and the entry's leading spaces.
bool IsExcludedFolder(std::string_view folderPath, std::string_view excludeSpec)
{
    std::size_t start = 0;
    while (start < excludeSpec.size()) {
        std::size_t end = excludeSpec.find(';', start);
        if (end == std::string_view::npos) end = excludeSpec.size();
        std::string_view entry = excludeSpec.substr(start, end - start);
        while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
        if (platform::EqualsIgnoringCase(folderPath, entry)) return true;
        start = end + 1;
    }
    return false;
}

void IncrementCount(std::int32_t& count)
{
    if (count == std::numeric_limits<std::int32_t>::max()) throw std::overflow_error("too many entries found");
    ++count;
}

// Makes sure `index` is a valid entry; at each multiple of the step the list
// grows to index + step, as the lists grow while a walk runs.
void GrowForIndex(std::vector<std::string>& list, std::int32_t index)
{
    const auto needed = static_cast<std::size_t>(index);
    if (index % kListStep == 0 || needed >= list.size())
        list.resize(std::max(list.size(), needed + kListStep + 1));
}

bool PassesSizeLimits(platform::FixedDecimal size, platform::FixedDecimal minSize, platform::FixedDecimal maxSize)
{
    if (!minSize.IsZero() && size < minSize) return false;
    if (!maxSize.IsZero() && size > maxSize) return false;
    return true;
}

} // namespace

void cDisk::SetEvents(cDiskEvents* listener)
{
    events_ = listener;
}

void cDisk::SetKeepFoundLists(bool keep)
{
    keepFoundLists_ = keep;
}

void cDisk::SetIncludeHidden(bool include)
{
    includeHidden_ = include;
}

std::int32_t cDisk::CountFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                               const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                               platform::FixedDecimal MaxSize)
{
    TotalBytes_ = 0.0;
    StopRequested_ = false;
    FoundCount_ = 0;
    StartPath = VORN_STD_library::NormalizeFolderPath(StartPath);
    ScanFiles(StartPath, RecurseFolder, IncludeSpec, ExcludeSpec, true, MinSize, MaxSize);
    return FoundCount_;
}

std::int32_t cDisk::SearchFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                                const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                                platform::FixedDecimal MaxSize)
{
    ResetLists();
    TotalBytes_ = 0.0;
    StopRequested_ = false;
    FoundCount_ = 0;
    StartPath = VORN_STD_library::NormalizeFolderPath(StartPath);
    RootPath_ = VORN_STD_library::NormalizeFolderPath(StartPath);
    ScanFiles(StartPath, RecurseFolder, IncludeSpec, ExcludeSpec, false, MinSize, MaxSize);
    CutListsToCount();
    return FoundCount_;
}

std::int32_t cDisk::SearchFolders(const std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                                  const std::string& ExcludeSpec)
{
    ResetLists();
    FoundCount_ = 0;
    // A start path without its trailing "/" still lists that folder; the
    // empty path names no folder.
    const std::string folderPath = StartPath.empty() ? StartPath : VORN_STD_library::NormalizeFolderPath(StartPath);
    ScanFolders(folderPath, RecurseFolder, IncludeSpec, ExcludeSpec);
    CutListsToCount();
    return FoundCount_;
}

void cDisk::StopSearch()
{
    StopRequested_ = true;
    if (events_) events_->OnAbortSearch();
}

bool cDisk::MatchSpec(std::string_view Name, std::string_view Spec)
{
    return !Spec.empty() && platform::MatchSpec(Name, Spec);
}

void cDisk::ScanFiles(std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                      const std::string& ExcludeSpec, bool CountOnly, platform::FixedDecimal MinSize,
                      platform::FixedDecimal MaxSize)
{
    platform::DirectoryListing listing;
    const auto isCandidate = [&IncludeSpec, &ExcludeSpec](std::string_view name) {
        return MatchSpec(name, IncludeSpec) && !MatchSpec(name, ExcludeSpec);
    };
    if (!listing.Read(FolderPath, isCandidate)) return;

    for (std::size_t index = 0; index < listing.Count(); ++index) {
        if (StopRequested_) break;
        platform::YieldToEventLoop();
        const std::string_view entryName = listing.Name(index);

        if (listing.IsFolder(index)) {
            if (entryName == "." || entryName == ".." || (entryName.front() == '.' && !includeHidden_)) continue;
            std::string SubPath = FolderPath;
            SubPath.append(entryName).push_back('/');
            CurrentPath_ = SubPath;
            if (RecurseFolder && !IsExcludedFolder(SubPath, ExcludeSpec)) {
                if (events_) events_->PathChange(SubPath);
                ScanFiles(SubPath, RecurseFolder, IncludeSpec, ExcludeSpec, CountOnly, MinSize, MaxSize);
            }
            continue;
        }

        if (!listing.SizeTaken(index)) continue;
        const std::int64_t size = listing.Size(index);
        if (!PassesSizeLimits(platform::FixedDecimal::FromWhole(size), MinSize, MaxSize)) continue;
        TotalBytes_ += static_cast<double>(size);
        IncrementCount(FoundCount_);
        if (CountOnly) continue;

        std::string Name(entryName);
        if (FoundCount_ > 0 && keepFoundLists_) {
            GrowForIndex(NameList_, FoundCount_);
            GrowForIndex(PathList_, FoundCount_);
            NameList_[static_cast<std::size_t>(FoundCount_)] = Name;
            PathList_[static_cast<std::size_t>(FoundCount_)] =
                FolderPath.substr(std::min(RootPath_.size(), FolderPath.size())) + Name;
        }
        CurrentPath_ = FolderPath;
        CurrentFile_ = Name;
        if (events_) events_->Progress(FolderPath, Name, FoundCount_, TotalBytes_, StopRequested_);
        if (StopRequested_) {
            FoundCount_ = kStoppedAfterProgress;
            break;
        }
    }
}

void cDisk::ScanFolders(const std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                        const std::string& ExcludeSpec)
{
    platform::DirectoryListing listing;
    if (!listing.Read(FolderPath, nullptr)) return;

    for (std::size_t index = 0; index < listing.Count(); ++index) {
        const std::string_view Name = listing.Name(index);
        if (Name == "." || Name == ".." || !listing.IsFolder(index)) continue;
        if (!MatchSpec(Name, IncludeSpec) || MatchSpec(Name, ExcludeSpec)) continue;
        IncrementCount(FoundCount_);
        if (FoundCount_ <= 0) continue;
        GrowForIndex(NameList_, FoundCount_);
        std::string& stored = NameList_[static_cast<std::size_t>(FoundCount_)];
        if (!RecurseFolder) {
            stored = Name;
            continue;
        }
        std::string SubPath = FolderPath;
        SubPath.append(Name);
        std::string announced = SubPath;
        SubPath.push_back('/');
        stored = SubPath;
        if (events_) events_->PathChange(announced);
        ScanFolders(SubPath, RecurseFolder, IncludeSpec, ExcludeSpec);
    }
}

void cDisk::ResetLists()
{
    NameList_.assign(kListStep + 1, std::string());
    PathList_.assign(kListStep + 1, std::string());
}

void cDisk::CutListsToCount()
{
    const std::size_t size = FoundCount_ > 0 ? static_cast<std::size_t>(FoundCount_) + 1 : 1;
    NameList_.resize(size);
    PathList_.resize(size);
    NameList_.shrink_to_fit();
    PathList_.shrink_to_fit();
}
