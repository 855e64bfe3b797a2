// Loads a side: a folder through a fresh engine (rows built as a scan builds
// them, converted to text at once) or an inventory through the checked
// reader.
#include "cli/SideRows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "VORN_STD_library/PathHelpers.h"
#include "cDisk/InventoryFormat.h"
#include "cDisk/OnDemandInventory.h"
#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "cli/CommandOutput.h"
#include "cli/ProgressLine.h"
#include "platform/LongPath.h"
#include "platform/UniqueFd.h"

namespace cli {
namespace {

constexpr int kStderr = 2;

SideRows Failed()
{
    SideRows side;
    side.failed = true;
    return side;
}

// Adds each found file's row to the table and keeps the progress line
// current; names each folder that cannot be read.
class RowCollector : public cDiskEvents {
public:
    RowCollector(cDisk& disk, RowTable& rows, const FactSelection& facts, std::string root, ProgressLine& progress)
        : disk_(disk), rows_(rows), facts_(facts), root_(std::move(root)), progress_(progress) {}

    bool AnyFolderUnreadable() const { return unreadable_; }

    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound,
                  double& /*ByteFound*/, bool& /*Cancel*/) override
    {
        rows_.AddRow(BuildResultRow(CurrentPath, CurrentFile, facts_, root_));
        progress_.Update(FileFound, CurrentPath);
    }

    void PathChange(std::string& CurrentPath) override
    {
        progress_.Update(std::max(disk_.FoundFilesCount(), 0), CurrentPath);
    }

    void FolderUnreadable(const std::string& FolderPath, int ErrorNumber) override
    {
        unreadable_ = true;
        progress_.Clear();
        ReportError("cannot read folder " + QuotedForMessage(FolderPath) + ": " + std::strerror(ErrorNumber));
    }

private:
    cDisk& disk_;
    RowTable& rows_;
    const FactSelection& facts_;
    std::string root_;
    ProgressLine& progress_;
    bool unreadable_ = false;
};

SideRows ScanFolder(const std::string& folder, const ScanOptions& options, FactSelection facts,
                    const ColumnFilter& keep)
{
    const ResultFact* relativePath = FindResultFact(kRelativePathKey);
    std::erase_if(facts, [&](const ResultFact* fact) { return fact != relativePath && !keep(fact->column.key); });
    if (std::find(facts.begin(), facts.end(), relativePath) == facts.end()) facts.insert(facts.begin(), relativePath);
    std::vector<std::string> keys;
    for (const ResultFact* fact : facts) keys.emplace_back(fact->column.key);

    SideRows side;
    side.rows = RowTable(std::move(keys));
    cDisk disk;
    disk.SetKeepFoundLists(false);
    disk.SetIncludeHidden(options.hidden);
    ProgressLine progress(kStderr, !options.quiet && isatty(kStderr), ProgressLine::TerminalWidth(kStderr));
    RowCollector collector(disk, side.rows, facts, VORN_STD_library::NormalizeFolderPath(folder), progress);
    disk.SetEvents(&collector);
    std::string start = folder;
    disk.SearchFiles(start, options.recurse, options.EffectiveIncludeSpec(), options.excludeSpec, options.minSize,
                     options.maxSize);
    disk.SetEvents(nullptr);
    progress.Clear();
    side.someFoldersUnreadable = collector.AnyFolderUnreadable();
    return side;
}

} // namespace

bool IsFolderOperand(const std::string& operand)
{
    return static_cast<bool>(platform::UniqueFd(platform::OpenLongPath(operand, O_RDONLY | O_DIRECTORY)));
}

SideRows LoadSideRows(const std::string& operand, const ScanOptions& options, FactSelection facts,
                      const ColumnFilter& keep)
{
    if (const platform::UniqueFd folder(platform::OpenLongPath(operand, O_RDONLY | O_DIRECTORY)); folder)
        return ScanFolder(operand, options, std::move(facts), keep);
    if (errno != ENOTDIR) {
        ReportError("cannot read " + QuotedForMessage(operand) + ": " + std::strerror(errno));
        return Failed();
    }
    InventoryLoad load = on_demand::LoadInventory(
        operand, [&](std::string_view key) { return key == kRelativePathKey || keep(key); });
    if (!load.error.empty()) {
        ReportError(ShownInMessage(load.error));
        return Failed();
    }
    return {.rows = std::move(load.rows)};
}

} // namespace cli
