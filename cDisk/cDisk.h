// The file search engine: walks a folder tree depth-first, picks the files
// whose names match an include list and no exclude list (and pass the size
// limits), keeps their names, counts them and totals their sizes, and reports
// each folder it enters and each file it accepts to a listener while it runs.
// Also answers per-file questions (version, version strings, type, dates,
// icon) by forwarding to the file information library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/FileIcons.h"
#include "platform/FileSystemKind.h"
#include "platform/FixedDecimal.h"
#include "platform/UniqueFd.h"

// The listener of a cDisk. The parameters are references to the engine's own
// state: setting Cancel stops the search, changing the path given to
// PathChange changes the folder that is entered.
class cDiskEvents {
public:
    virtual ~cDiskEvents() = default;
    virtual void Progress([[maybe_unused]] std::string& CurrentPath, [[maybe_unused]] std::string& CurrentFile,
                          [[maybe_unused]] std::int32_t& FileFound, [[maybe_unused]] double& ByteFound,
                          [[maybe_unused]] bool& Cancel) {}
    virtual void PathChange([[maybe_unused]] std::string& CurrentPath) {}
    virtual void OnAbortSearch() {}
    // A folder the walk tried to open or read (the start folder included)
    // could not be, or not to its end; ErrorNumber is the errno. The walk
    // passes over what it could not read and goes on.
    virtual void FolderUnreadable([[maybe_unused]] const std::string& FolderPath,
                                  [[maybe_unused]] int ErrorNumber) {}
};

class cDisk {
public:
    // The value FoundFilesCount takes when a stop is noticed right after a
    // Progress event.
    static constexpr std::int32_t kStoppedAfterProgress = -32000;

    // nullptr: no listener. The listener must outlive any search it hears.
    void SetEvents(cDiskEvents* listener);
    // Whether SearchFiles keeps the names and paths of the files it finds
    // (ListFound, FoundFilesNames). Without them both hold only the empty
    // entry 0; counts, totals and events stay the same. On by default.
    void SetKeepFoundLists(bool keep);
    // Whether SearchFiles and CountFiles enter folders whose names begin with
    // "." ("." and ".." never). Off by default.
    void SetIncludeHidden(bool include);
    // Whether SearchFiles takes the size of every file it accepts. Off, a
    // file its folder's listing already shows to be a regular file is not
    // looked at unless a size limit needs its size (its reader looks at it
    // anyway), and such sizes are left out of ByteFound and FoundFilesSize.
    // CountFiles always takes sizes. On by default.
    void SetFileSizesWanted(bool wanted);
    // Whether SearchFiles and CountFiles accept only regular files that start
    // as PE or NE images (besides matching the name patterns). Off by
    // default.
    void SetExecutablesOnly(bool only);
    // Whether the file walks stay on the start folder's file system (device).
    // Off by default.
    void SetOneFileSystem(bool stay);
    // Decides, for a folder open at the descriptor whose device differs from
    // its parent's, whether it lies on a kernel pseudo file system; such a
    // folder is not entered unless the start folder lies on one too. By
    // default platform::IsOnPseudoFileSystem; an empty test enters every
    // file system.
    void SetPseudoFileSystemTest(std::function<bool(int folderFd)> test);

    // Counts and totals the files SearchFiles would accept, without storing
    // them and without Progress. StartPath receives its normalised form.
    std::int32_t CountFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                            const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                            platform::FixedDecimal MaxSize);
    std::string CurrentPath() const;
    std::string CurrentFile() const;
    // During Progress: a descriptor of the folder holding the current file,
    // to look the file up by its name alone; -1 when the walk holds none that
    // surely is the folder the path names (then use the path). Owned by the
    // walk and valid only until Progress returns.
    int CurrentFolderDescriptor() const;
    // During Progress: that descriptor held jointly with the walk, so that it
    // stays open, naming the same folder, as long as the caller holds it;
    // null when there is none. Let go of it on the walking thread.
    std::shared_ptr<const platform::UniqueFd> ShareCurrentFolderDescriptor() const;
    // During Progress: whether the walk's own look at the current file (links
    // followed), taken while listing its folder, found a regular file, so a
    // reader may open it by name without looking again.
    bool CurrentFileSeenRegular() const;
    std::int32_t FoundFilesCount() const;
    // Paths of the found files relative to the start folder; index 0 empty.
    std::vector<std::string> FoundFilesNames() const;
    double FoundFilesSize() const;
    // iconsize 0: small icon in a 240x240 twips box; 1: large icon in a
    // 480x480 twips box; anything else draws nothing. Returns the icon
    // source's handle, or 0.
    std::int32_t GetFileIcon(const std::string& FileName, std::int32_t iconsize,
                             platform::IconPaintTarget& dstPictureBox);
    std::string GetFileInfo(const std::string& FileName, std::int32_t infotype);
    std::string GetFileType(const std::string& FileName);
    std::string GetFileVersion(const std::string& FileName);
    platform::DateTime GetFileDate(const std::string& FileName, std::int32_t FD);
    // Bare names of the found files (folders after SearchFolders); index 0 empty.
    std::vector<std::string> ListFound() const;
    // Returns the number of files accepted, or kStoppedAfterProgress.
    // StartPath receives its normalised form.
    std::int32_t SearchFiles(std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                             const std::string& ExcludeSpec, platform::FixedDecimal MinSize,
                             platform::FixedDecimal MaxSize);
    // Lists folders whose names match; StartPath must end in "/". Cannot be
    // stopped.
    std::int32_t SearchFolders(const std::string& StartPath, bool RecurseFolder, const std::string& IncludeSpec,
                               const std::string& ExcludeSpec);
    // Asks a running search to stop, then raises OnAbortSearch.
    void StopSearch();

private:
    // What the file walk does with each file it accepts.
    enum class FoundFileUse { Count, Report, StoreAndReport };

    static bool MatchSpec(std::string_view Name, std::string_view Spec);
    bool IsFolderToEnter(std::string_view Name) const;
    void ScanFiles(std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                   const std::string& ExcludeSpec, FoundFileUse Use, platform::FixedDecimal MinSize,
                   platform::FixedDecimal MaxSize);
    void ScanFolders(const std::string& FolderPath, bool RecurseFolder, const std::string& IncludeSpec,
                     const std::string& ExcludeSpec);
    void StoreFound(std::string_view Name, std::string_view FolderPath);
    void ReportUnreadable(const std::string& FolderPath, int ErrorNumber);
    void ResetLists(bool keep);
    void CutListsToCount(bool kept);

    cDiskEvents* events_ = nullptr;
    double TotalBytes_ = 0.0;
    std::int32_t FoundCount_ = 0;
    // Entries 1..FoundCount_ are used; index 0 stays empty. Empty vectors
    // before the first search.
    std::vector<std::string> NameList_;
    std::vector<std::string> PathList_;
    std::string RootPath_;
    bool StopRequested_ = false;
    bool KeepFoundLists_ = true;
    bool IncludeHidden_ = false;
    bool OneFileSystem_ = false;
    bool ExecutablesOnly_ = false;
    bool FileSizesWanted_ = true;
    std::function<bool(int)> IsPseudoFileSystem_ = platform::IsOnPseudoFileSystem;
    std::string CurrentPath_;
    std::string CurrentFile_;
    // During Progress: the walk's descriptor of the current file's folder,
    // where the walk keeps it; null when there is none.
    const std::shared_ptr<platform::UniqueFd>* CurrentFolder_ = nullptr;
    bool CurrentFileSeenRegular_ = false;
};
