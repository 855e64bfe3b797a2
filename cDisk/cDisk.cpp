// The walks of cDisk: SearchFiles and CountFiles over the file walk
// ScanFiles, SearchFolders over ScanFolders, and stopping. Both walks are
// loops over an explicit chain of folders, so no depth exhausts the stack,
// and their cost follows the size of the tree, not the square of its depth:
// a subfolder is opened by name relative to its parent's descriptor, and the
// path text is one buffer that grows and shrinks as the walk goes down and
// up. Only the deepest few folders keep a descriptor, so the depth does not
// depend on free descriptors either.
#include "cDisk/cDisk.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <limits>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>

#include "VORN_STD_library/PathHelpers.h"
#include "platform/CloseBatch.h"
#include "platform/LocalOffsets.h"
#include "platform/DirectoryListing.h"
#include "platform/EventLoopYield.h"
#include "platform/FileSystemKind.h"
#include "platform/LongPath.h"
#include "platform/UniqueFd.h"
#include "platform/WildcardMatch.h"
#include "platform/version/ImageSignature.h"

namespace {

using platform::DirectoryListing;
using platform::UniqueFd;

// The lists grow in steps of this many entries.
constexpr std::int32_t kListStep = 200;

// Only the deepest this many folders of a walk keep their descriptors.
constexpr std::size_t kOpenFolderWindow = 8;

constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

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
        // A character takes one to four bytes and case folding keeps the
        // number of characters, so texts more than four times as long as each
        // other never match; a deep path is not read for every short entry.
        const bool lengthsCanMatch = folderPath.size() / 4 <= entry.size() && entry.size() / 4 <= folderPath.size();
        if (lengthsCanMatch && platform::EqualsIgnoringCase(folderPath, entry)) return true;
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

std::size_t CommonPrefixLength(std::string_view left, std::string_view right)
{
    const auto ends = std::mismatch(left.begin(), left.end(), right.begin(), right.end());
    return static_cast<std::size_t>(ends.first - left.begin());
}

// One folder on the way from the start folder down to the folder being read.
struct WalkFolder {
    DirectoryListing listing;
    // The next entry to handle.
    std::size_t next = 0;
    // Entries from here on hold no subfolder.
    std::size_t foldersEnd = 0;
    // Some folder above this one still has subfolders to enter.
    bool foldersLeftAbove = false;
    // The folder's path is the first pathLength bytes of the walk's path.
    std::size_t pathLength = 0;
    // The parent's path, kept when a listener replaced this folder's path,
    // to put back when the walk returns to the parent.
    std::unique_ptr<std::string> parentPath;
    // Open while the folder is among the deepest few. Held jointly, so that
    // a listener may keep it open after the walk has left the folder.
    std::shared_ptr<UniqueFd> fd;
    // Opened by name relative to its parent, so its ".." is the parent.
    bool openedInParent = false;
    // A listener replaced its path after it was opened: its subfolders are
    // opened by their paths, as the path now names them.
    bool subfoldersByPath = false;
    // Taken when the folder is opened: to compare its device with its
    // subfolders', and to recognise it when it is reopened through "..".
    bool identityKnown = false;
    dev_t device = 0;
    ino_t inode = 0;

    // The folder's descriptor, or -1 when the walk holds none.
    int Descriptor() const { return fd ? fd->Get() : -1; }
};

// A descriptor in joint ownership; null when it is not open.
std::shared_ptr<UniqueFd> Held(UniqueFd fd)
{
    return fd ? std::make_shared<UniqueFd>(std::move(fd)) : nullptr;
}

// Which folders below the start folder a walk leaves out, by the file system
// they lie on.
struct FileSystemBounds {
    // Stay on the start folder's device.
    bool oneFileSystem = false;
    // Whether a folder open at the descriptor lies on a pseudo file system.
    std::function<bool(int)> isPseudo;
};

// The folders from the start folder down to the one being read. A folder is
// added even when it cannot be opened (then with no entries), so leaving it
// is the same in every case. A folder whose descriptor was
// dropped gets it back when the walk returns to it and it, or a folder above
// it, has subfolders left: through ".." of the child it returns from when
// that is still the same folder, else by path.
class FolderChain {
public:
    // `regularFileSizes` as for DirectoryListing::Read.
    explicit FolderChain(const FileSystemBounds& bounds, bool regularFileSizes = true)
        : bounds_(bounds), regularFileSizes_(regularFileSizes) {}

    bool Empty() const { return folders_.empty(); }
    std::size_t Depth() const { return folders_.size(); }
    WalkFolder& Deepest() { return folders_.back(); }
    // The parent of the deepest folder; only when Depth() > 1.
    WalkFolder& Parent() { return folders_[folders_.size() - 2]; }

    // Opens the folder at `path`. Returns 0, or the errno of the failure to
    // open or read it.
    int EnterByPath(const std::string& path, const DirectoryListing::SizeWanted& sizeWanted)
    {
        return Add(UniqueFd(platform::OpenLongPath(path, kFolderOpenFlags)), false, sizeWanted);
    }

    // Opens the subfolder `name` of the deepest folder, whose own path is
    // `path`: relative to the deepest folder's descriptor, or by `path` when
    // that is not at hand. A link put in the subfolder's place since the
    // listing is not followed.
    int EnterSubfolder(std::string_view name, const std::string& path, const DirectoryListing::SizeWanted& sizeWanted)
    {
        const WalkFolder& parent = folders_.back();
        if (!parent.fd || parent.subfoldersByPath) return EnterByPath(path, sizeWanted);
        name_.assign(name);
        return Add(UniqueFd(::openat(parent.Descriptor(), name_.c_str(), kFolderOpenFlags | O_NOFOLLOW)), true,
                   sizeWanted);
    }

    // Drops the deepest folder. With `walkGoesOn` the parent, whose path is
    // `parentPath`, gets back a dropped descriptor if subfolders are left.
    void Leave(const std::string& parentPath, bool walkGoesOn)
    {
        if (walkGoesOn && folders_.size() > 1) {
            WalkFolder& parent = Parent();
            if (FoldersLeft(parent) && !parent.fd && !parent.subfoldersByPath)
                parent.fd = Held(Reopen(parent, folders_.back(), parentPath));
        }
        // A descriptor a listener still holds is closed when it lets go.
        std::shared_ptr<UniqueFd>& fd = folders_.back().fd;
        if (fd && fd.use_count() == 1) platform::CloseSoon(std::move(*fd));
        folders_.pop_back();
    }

private:
    int Add(UniqueFd fd, bool openedInParent, const DirectoryListing::SizeWanted& sizeWanted)
    {
        const int openError = fd ? 0 : errno;
        struct stat status {};
        const bool identityKnown = fd && ::fstat(fd.Get(), &status) == 0;
        if (fd && !IsWithinBounds(fd.Get(), identityKnown, status.st_dev)) fd.Reset();
        const bool foldersLeftAbove = !folders_.empty() && FoldersLeft(folders_.back());
        folders_.emplace_back();
        WalkFolder& folder = folders_.back();
        folder.foldersLeftAbove = foldersLeftAbove;
        folder.identityKnown = identityKnown;
        folder.device = status.st_dev;
        folder.inode = status.st_ino;
        DropDescriptorLeavingWindow();
        if (!fd) return openError;
        folder.listing.ReadNewFolder(fd.Get(), sizeWanted, regularFileSizes_);
        folder.fd = Held(std::move(fd));
        folder.openedInParent = openedInParent;
        folder.foldersEnd = FoldersEnd(folder.listing);
        return folder.listing.Error();
    }

    // Whether the folder just opened, on device `device`, is one to read. The
    // start folder always is, and sets the bounds. The file-system type is
    // asked only where the device changes, so the check costs one fstat per
    // folder and one fstatfs per mount crossed.
    bool IsWithinBounds(int fd, bool identityKnown, dev_t device)
    {
        if (folders_.empty()) {
            startDevice_ = device;
            startOnPseudo_ = bounds_.isPseudo && bounds_.isPseudo(fd);
            return true;
        }
        if (bounds_.oneFileSystem && (!identityKnown || device != startDevice_)) return false;
        const WalkFolder& parent = folders_.back();
        if (identityKnown && parent.identityKnown && device == parent.device) return true;
        return startOnPseudo_ || !bounds_.isPseudo || !bounds_.isPseudo(fd);
    }

    // Whether the walk may still enter a subfolder of `folder` or of a folder
    // above it.
    static bool FoldersLeft(const WalkFolder& folder)
    {
        return folder.next < folder.foldersEnd || folder.foldersLeftAbove;
    }

    // The index after the listing's last subfolder ("." and ".." are none).
    static std::size_t FoldersEnd(const DirectoryListing& listing)
    {
        for (std::size_t end = listing.Count(); end > 0; --end) {
            const std::string_view name = listing.Name(end - 1);
            if (listing.IsFolder(end - 1) && name != "." && name != "..") return end;
        }
        return 0;
    }

    void DropDescriptorLeavingWindow()
    {
        if (folders_.size() <= kOpenFolderWindow) return;
        WalkFolder& folder = folders_[folders_.size() - 1 - kOpenFolderWindow];
        folder.fd.reset();
    }

    static UniqueFd Reopen(const WalkFolder& folder, const WalkFolder& child, const std::string& path)
    {
        if (child.fd && child.openedInParent && folder.identityKnown) {
            UniqueFd up(::openat(child.Descriptor(), "..", kFolderOpenFlags));
            struct stat status {};
            if (up && ::fstat(up.Get(), &status) == 0 && status.st_dev == folder.device &&
                status.st_ino == folder.inode)
                return up;
        }
        return UniqueFd(platform::OpenLongPath(path, kFolderOpenFlags));
    }

    const FileSystemBounds& bounds_;
    const bool regularFileSizes_;
    dev_t startDevice_ = 0;
    bool startOnPseudo_ = false;
    // A deque: adding a folder never moves the others.
    std::deque<WalkFolder> folders_;
    // The NUL-terminated name of the subfolder being opened.
    std::string name_;
};

// The path text of a file walk: the path of the folder being read, or of the
// subfolder about to be entered, in one buffer that listeners get as it is.
// `shown` (the engine's current path) is set to the text at the moments the
// engine shows it, copying only the bytes that changed since; it also tells
// whether a listener changed the text it was given.
class WalkPath {
public:
    WalkPath(const std::string& start, std::string& shown) : text_(start), shown_(shown) {}

    std::string& Text() { return text_; }
    void Cut(std::size_t length)
    {
        text_.resize(length);
        sharedLength_ = std::min(sharedLength_, length);
    }
    void AppendFolder(std::string_view name) { text_.append(name).push_back('/'); }
    void Replace(std::string text)
    {
        text_ = std::move(text);
        sharedLength_ = 0;
    }
    void Show()
    {
        shown_.resize(sharedLength_);
        shown_.append(text_, sharedLength_);
        sharedLength_ = text_.size();
    }
    // Whether a listener changed the text since it was last shown.
    bool ChangedSinceShown()
    {
        if (text_ == shown_) return false;
        sharedLength_ = CommonPrefixLength(text_, shown_);
        return true;
    }
    // The first `length` bytes of the text as last shown.
    std::string ShownBeginning(std::size_t length) const { return shown_.substr(0, length); }

private:
    std::string text_;
    std::string& shown_;
    // text_ and shown_ agree on this many first bytes.
    std::size_t sharedLength_ = 0;
};

// Leaves the deepest folder of a file walk and puts the path back to its
// parent's.
void LeaveFolder(FolderChain& folders, WalkPath& path, bool walkGoesOn)
{
    WalkFolder& folder = folders.Deepest();
    if (folder.parentPath)
        path.Replace(std::move(*folder.parentPath));
    else
        path.Cut(folders.Depth() > 1 ? folders.Parent().pathLength : folder.pathLength);
    folders.Leave(path.Text(), walkGoesOn);
}

// Descends into the subfolder `name` of the deepest folder; the path holds
// the subfolder's path. When a listener replaced that path (`replaced`) the
// folder it names now is opened instead, and the parent's path is kept to
// return to. Returns 0 or the errno of the failure.
int Descend(FolderChain& folders, WalkPath& path, std::string_view name, bool replaced,
            const DirectoryListing::SizeWanted& sizeWanted)
{
    std::unique_ptr<std::string> parentPath;
    if (replaced) parentPath = std::make_unique<std::string>(path.ShownBeginning(folders.Deepest().pathLength));
    const int error = replaced ? folders.EnterByPath(path.Text(), sizeWanted)
                               : folders.EnterSubfolder(name, path.Text(), sizeWanted);
    WalkFolder& entered = folders.Deepest();
    entered.pathLength = path.Text().size();
    entered.parentPath = std::move(parentPath);
    return error;
}

// A listener replaced the path of the folder being read: the rest of the
// folder goes by the new path, and the parent's path is kept to return to.
void AdoptReplacedPath(FolderChain& folders, WalkPath& path)
{
    WalkFolder& folder = folders.Deepest();
    if (!folder.parentPath && folders.Depth() > 1)
        folder.parentPath = std::make_unique<std::string>(path.ShownBeginning(folders.Parent().pathLength));
    folder.pathLength = path.Text().size();
    folder.subfoldersByPath = true;
}

} // namespace

void cDisk::SetEvents(cDiskEvents* listener)
{
    events_ = listener;
}

void cDisk::SetKeepFoundLists(bool keep)
{
    KeepFoundLists_ = keep;
}

void cDisk::SetIncludeHidden(bool include)
{
    IncludeHidden_ = include;
}

int cDisk::CurrentFolderDescriptor() const
{
    return CurrentFolder_ ? (*CurrentFolder_)->Get() : -1;
}

std::shared_ptr<const UniqueFd> cDisk::ShareCurrentFolderDescriptor() const
{
    return CurrentFolder_ ? *CurrentFolder_ : nullptr;
}

bool cDisk::CurrentFileSeenRegular() const
{
    return CurrentFileSeenRegular_;
}

void cDisk::SetFileSizesWanted(bool wanted)
{
    FileSizesWanted_ = wanted;
}

void cDisk::SetExecutablesOnly(bool only)
{
    ExecutablesOnly_ = only;
}

void cDisk::SetOneFileSystem(bool stay)
{
    OneFileSystem_ = stay;
}

void cDisk::SetPseudoFileSystemTest(std::function<bool(int folderFd)> test)
{
    IsPseudoFileSystem_ = std::move(test);
}

std::int32_t cDisk::CountFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                               const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                               platform::FixedDecimal MaxSize)
{
    TotalBytes_ = 0.0;
    StopRequested_ = false;
    FoundCount_ = 0;
    StartPath = VORN_STD_library::NormalizeFolderPath(StartPath);
    ScanFiles(StartPath, RecurseFolder, IncludeSpec, ExcludeSpec, FoundFileUse::Count, MinSize, MaxSize);
    return FoundCount_;
}

std::int32_t cDisk::SearchFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                                const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                                platform::FixedDecimal MaxSize)
{
    const bool keep = KeepFoundLists_;
    ResetLists(keep);
    TotalBytes_ = 0.0;
    StopRequested_ = false;
    FoundCount_ = 0;
    StartPath = VORN_STD_library::NormalizeFolderPath(StartPath);
    RootPath_ = StartPath;
    ScanFiles(StartPath, RecurseFolder, IncludeSpec, ExcludeSpec,
              keep ? FoundFileUse::StoreAndReport : FoundFileUse::Report, MinSize, MaxSize);
    CutListsToCount(keep);
    return FoundCount_;
}

std::int32_t cDisk::SearchFolders(const std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                                  const std::string& ExcludeSpec)
{
    ResetLists(true);
    FoundCount_ = 0;
    // A start path without its trailing "/" still lists that folder; the
    // empty path names no folder.
    const std::string folderPath = StartPath.empty() ? StartPath : VORN_STD_library::NormalizeFolderPath(StartPath);
    ScanFolders(folderPath, RecurseFolder, IncludeSpec, ExcludeSpec);
    CutListsToCount(true);
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

bool cDisk::IsFolderToEnter(std::string_view Name) const
{
    if (Name == "." || Name == "..") return false;
    return IncludeHidden_ || Name.front() != '.';
}

// Stop requests are read at the top of each entry and right after each
// Progress, and the walk then leaves folder after folder without reading
// more entries. The path a listener holds in PathChange is the folder
// entered; a path changed in Progress is the folder's path for its remaining
// entries.
void cDisk::ScanFiles(std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                      const std::string& ExcludeSpec, FoundFileUse Use, platform::FixedDecimal MinSize,
                      platform::FixedDecimal MaxSize)
{
    const DirectoryListing::SizeWanted isCandidate = [&IncludeSpec, &ExcludeSpec](std::string_view name) {
        return MatchSpec(name, IncludeSpec) && !MatchSpec(name, ExcludeSpec);
    };
    WalkPath path(FolderPath, CurrentPath_);
    // The files that rows are read from on this thread are closed a few at a
    // time; the last of them when the walk ends.
    platform::CloseBatch closing;
    // Rows' dates, converted on this thread, look the time zone up once per
    // quarter hour.
    const platform::LocalOffsetMemo offsets;
    const FileSystemBounds bounds{OneFileSystem_, IsPseudoFileSystem_};
    const bool sizesNeeded = FileSizesWanted_ || Use == FoundFileUse::Count || !MinSize.IsZero() || !MaxSize.IsZero();
    FolderChain folders(bounds, sizesNeeded);
    ReportUnreadable(path.Text(), folders.EnterByPath(path.Text(), isCandidate));
    folders.Deepest().pathLength = path.Text().size();
    bool startPathReplaced = false;
    std::string fileName;

    while (!folders.Empty()) {
        WalkFolder& folder = folders.Deepest();
        if (folder.next == folder.listing.Count() || StopRequested_) {
            LeaveFolder(folders, path, !StopRequested_);
            continue;
        }
        platform::YieldToEventLoop();
        const std::size_t index = folder.next++;
        const std::string_view entryName = folder.listing.Name(index);

        if (folder.listing.IsFolder(index)) {
            if (!IsFolderToEnter(entryName)) continue;
            path.Cut(folder.pathLength);
            path.AppendFolder(entryName);
            path.Show();
            if (!RecurseFolder || IsExcludedFolder(path.Text(), ExcludeSpec)) continue;
            bool replaced = false;
            if (events_) {
                events_->PathChange(path.Text());
                replaced = path.ChangedSinceShown();
            }
            ReportUnreadable(path.Text(), Descend(folders, path, entryName, replaced, isCandidate));
            continue;
        }

        if (!folder.listing.SizeTaken(index)) continue;
        const std::int64_t size = folder.listing.Size(index);
        if (!PassesSizeLimits(platform::FixedDecimal::FromWhole(size), MinSize, MaxSize)) continue;
        if (ExecutablesOnly_) {
            fileName.assign(entryName);
            if (!folder.fd || !platform::version::IsImageFile(folder.Descriptor(), fileName.c_str())) continue;
        }
        TotalBytes_ += static_cast<double>(size);
        IncrementCount(FoundCount_);
        if (Use == FoundFileUse::Count) continue;

        path.Cut(folder.pathLength);
        if (Use == FoundFileUse::StoreAndReport && FoundCount_ > 0) StoreFound(entryName, path.Text());
        path.Show();
        CurrentFile_.assign(entryName);
        if (events_) {
            fileName.assign(entryName);
            CurrentFolder_ = folder.subfoldersByPath || !folder.fd ? nullptr : &folder.fd;
            CurrentFileSeenRegular_ = folder.listing.IsRegularFile(index);
            events_->Progress(path.Text(), fileName, FoundCount_, TotalBytes_, StopRequested_);
            CurrentFolder_ = nullptr;
            CurrentFileSeenRegular_ = false;
            if (path.ChangedSinceShown()) {
                AdoptReplacedPath(folders, path);
                startPathReplaced = startPathReplaced || folders.Depth() == 1;
            }
        }
        if (StopRequested_) FoundCount_ = kStoppedAfterProgress;
    }
    if (startPathReplaced) FolderPath = path.Text();
}

// SearchFolders cannot be stopped, and the path PathChange gets is a copy:
// changing it changes nothing.
void cDisk::ScanFolders(const std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                        const std::string& ExcludeSpec)
{
    std::string path = FolderPath;
    std::string announced;
    const FileSystemBounds bounds{OneFileSystem_, IsPseudoFileSystem_};
    FolderChain folders(bounds);
    ReportUnreadable(path, folders.EnterByPath(path, nullptr));
    folders.Deepest().pathLength = path.size();

    while (!folders.Empty()) {
        WalkFolder& folder = folders.Deepest();
        if (folder.next == folder.listing.Count()) {
            if (folders.Depth() > 1) path.resize(folders.Parent().pathLength);
            folders.Leave(path, true);
            continue;
        }
        const std::size_t index = folder.next++;
        const std::string_view Name = folder.listing.Name(index);
        if (Name == "." || Name == ".." || !folder.listing.IsFolder(index)) continue;
        if (!MatchSpec(Name, IncludeSpec) || MatchSpec(Name, ExcludeSpec)) continue;
        IncrementCount(FoundCount_);
        if (FoundCount_ <= 0) continue;
        GrowForIndex(NameList_, FoundCount_);
        std::string& stored = NameList_[static_cast<std::size_t>(FoundCount_)];
        if (!RecurseFolder) {
            stored = Name;
            continue;
        }
        path.resize(folder.pathLength);
        path.append(Name).push_back('/');
        stored = path;
        if (events_) {
            announced.assign(path, 0, path.size() - 1);
            events_->PathChange(announced);
        }
        ReportUnreadable(path, folders.EnterSubfolder(Name, path, nullptr));
        folders.Deepest().pathLength = path.size();
    }
}

void cDisk::StoreFound(std::string_view Name, std::string_view FolderPath)
{
    const auto index = static_cast<std::size_t>(FoundCount_);
    GrowForIndex(NameList_, FoundCount_);
    GrowForIndex(PathList_, FoundCount_);
    NameList_[index].assign(Name);
    std::string& relative = PathList_[index];
    relative.assign(FolderPath.substr(std::min(RootPath_.size(), FolderPath.size())));
    relative.append(Name);
}

void cDisk::ReportUnreadable(const std::string& FolderPath, int ErrorNumber)
{
    if (ErrorNumber != 0 && events_) events_->FolderUnreadable(FolderPath, ErrorNumber);
}

void cDisk::ResetLists(bool keep)
{
    const std::size_t size = keep ? kListStep + 1 : 1;
    NameList_.assign(size, std::string());
    PathList_.assign(size, std::string());
}

void cDisk::CutListsToCount(bool kept)
{
    const std::size_t size = kept && FoundCount_ > 0 ? static_cast<std::size_t>(FoundCount_) + 1 : 1;
    NameList_.resize(size);
    PathList_.resize(size);
    NameList_.shrink_to_fit();
    PathList_.shrink_to_fit();
}
