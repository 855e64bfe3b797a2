// lumbrel-scan's run: option checks, the start-folder check, opening the
// output, the search through a fresh engine (rows built exactly as the
// window builds them) and the final flush, with one exit status per outcome.
#include "cli/ScanCommand.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

#include "VORN_STD_library/PathHelpers.h"
#include "VORN_STD_library/OnDemandCrypto.h"
#include "cDisk/InventoryFormat.h"
#include "cDisk/ResultFacts.h"
#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "cli/CommandOutput.h"
#include "cli/DiffCommand.h"
#include "cli/OrderedRowBuilder.h"
#include "cli/OutputFile.h"
#include "cli/ProgressLine.h"
#include "cli/ScanOptions.h"
#include "cli/VersionsCommand.h"
#include "cli/WaitingThreads.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"
#include "grid/formats/SummaryLines.h"
#include "grid/formats/TextEncoding.h"
#include "platform/LongPath.h"
#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

namespace cli {
namespace {

using grid::formats::FdWriter;
using grid::formats::RowWriter;
using grid::formats::TextRules;

constexpr int kStdout = 1;
constexpr int kStderr = 2;

int UsageError(const std::string& message)
{
    ReportError(message + "\nTry 'lumbrel-scan --help'.");
    return kExitUsage;
}

// Writes a short text to standard output (help, version).
int PrintToStdout(const std::string& text)
{
    FdWriter out(kStdout);
    out.Write(text);
    if (out.Flush() || out.ReaderGone()) return kExitSuccess;
    ReportError(std::string("cannot write to standard output: ") + std::strerror(out.Error()));
    return kExitOutput;
}

// --list-columns: each column's key, padded, then its caption, marked when
// only json output offers it.
std::string ColumnListText()
{
    std::string text;
    for (const ResultFact& fact : AllResultFacts()) {
        std::string key = fact.column.key;
        key.resize(std::max<std::size_t>(key.size() + 2, 21), ' ');
        text += key + fact.column.caption + (fact.column.jsonDocument ? " (json only)" : "") + "\n";
    }
    return text;
}

// The start folder as an absolute path, for a bill of materials' metadata;
// as given when the current folder cannot be named.
std::string AbsoluteStartPath(const std::string& startPath)
{
    if (startPath.starts_with('/')) return startPath;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? startPath : (current / startPath).lexically_normal().string();
}

// Passes each found file to the row writer and keeps the progress line
// current; names each folder that cannot be read; stops the walk as soon as
// the output fails.
class ScanListener : public cDiskEvents {
public:
    ScanListener(cDisk& disk, RowWriter* rows, FactSelection facts, FdWriter& out, ProgressLine& progress,
                 std::string root = {}, OrderedRowBuilder* builder = nullptr)
        : disk_(disk), rows_(rows), facts_(std::move(facts)), out_(out), progress_(progress), root_(std::move(root)),
          builder_(builder) {}

    bool AnyFolderUnreadable() const { return unreadable_; }

    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound,
                  double& /*ByteFound*/, bool& Cancel) override
    {
        if (builder_ != nullptr)
            builder_->Add(CurrentPath, CurrentFile, FolderHandle(), disk_.CurrentFileSeenRegular());
        else if (const int folderFd = disk_.CurrentFolderDescriptor(); rows_ != nullptr && folderFd >= 0)
            rows_->Row(
                BuildResultRowAt(folderFd, CurrentPath, CurrentFile, facts_, root_, disk_.CurrentFileSeenRegular()));
        else if (rows_ != nullptr)
            rows_->Row(BuildResultRow(CurrentPath, CurrentFile, facts_, root_));
        progress_.Update(FileFound, CurrentPath);
        if (out_.Failed()) Cancel = true;
    }

    void PathChange(std::string& CurrentPath) override
    {
        // The rows found so far are built before the walk goes on into
        // folders that may hold nothing for a long time.
        if (builder_ != nullptr) builder_->Flush();
        progress_.Update(disk_.FoundFilesCount() < 0 ? 0 : disk_.FoundFilesCount(), CurrentPath);
    }

    void FolderUnreadable(const std::string& FolderPath, int ErrorNumber) override
    {
        unreadable_ = true;
        progress_.Clear();
        ReportError("cannot read folder " + QuotedForMessage(FolderPath) + ": " + std::strerror(ErrorNumber));
    }

private:
    // Folder descriptors shared with the row builders at most: 64, and no
    // more than an eighth of the descriptors the process may open. Beyond
    // them rows are read by path, so neither the walk nor the files being
    // read run short of descriptors under a low limit.
    static int MostSharedFolders()
    {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 64;
        return static_cast<int>(std::min<rlim_t>(64, limit.rlim_cur / 8));
    }

    // The walk's descriptor of the current folder, held for the rows built
    // on other threads, one hold per folder, let go when its last row is
    // built; null when the walk holds none or too many are held.
    std::shared_ptr<const platform::UniqueFd> FolderHandle()
    {
        const int fd = disk_.CurrentFolderDescriptor();
        if (fd < 0) return nullptr;
        // A held descriptor stays open, so no other folder can have its
        // number: the same number is the same folder.
        if (folderHandle_ && folderHandle_->Get() == fd) return folderHandle_;
        folderHandle_.reset();
        if (openHandles_->load() >= mostSharedFolders_) return nullptr;
        std::shared_ptr<const platform::UniqueFd> folder = disk_.ShareCurrentFolderDescriptor();
        if (!folder) return nullptr;
        // The hold counts itself among the folders held open until it ends.
        ++*openHandles_;
        const platform::UniqueFd* const descriptor = folder.get();
        folderHandle_ = std::shared_ptr<const platform::UniqueFd>(
            descriptor, [held = std::move(folder), count = openHandles_](const platform::UniqueFd*) { --*count; });
        return folderHandle_;
    }

    cDisk& disk_;
    RowWriter* rows_;
    FactSelection facts_;
    FdWriter& out_;
    ProgressLine& progress_;
    // The start folder relative paths start from, ending in "/".
    std::string root_;
    OrderedRowBuilder* builder_;
    std::shared_ptr<const platform::UniqueFd> folderHandle_;
    std::shared_ptr<std::atomic<int>> openHandles_ = std::make_shared<std::atomic<int>>(0);
    const int mostSharedFolders_ = MostSharedFolders();
    bool unreadable_ = false;
};

// -j as given, else one job per online processor.
unsigned JobCount(const ScanOptions& options)
{
    if (options.jobs != 0) return options.jobs;
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 1 ? static_cast<unsigned>(std::min(online, 64L)) : 1;
}

// The first line of an inventory written by this scan.
InventoryHeader ScanInventoryHeader(const ScanOptions& options)
{
    InventoryHeader header;
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(options.startPath, failed);
    header.root = failed ? options.startPath : absolute.lexically_normal().string();
    for (const ResultFact* fact : options.columns) header.columns.emplace_back(fact->column.key);
    header.program = VORN_STD_library::AppVersionText();
    header.scanned = InventoryTimeText(std::time(nullptr));
    return header;
}

// What a search ended with, beyond what the output writer holds.
struct SearchOutcome {
    bool anyFolderUnreadable = false;
    std::uint64_t cutValues = 0;
    // The writer's own account of a failed output, when it has one.
    std::string writerProblem;
};

// `workers`: threads for the rows beside this one, when there are more jobs
// than one.
SearchOutcome RunSearch(const ScanOptions& options, const TextRules& rules, FdWriter& out, ProgressLine& progress,
                        std::unique_ptr<WaitingThreads> workers)
{
    cDisk disk;
    // Rows stream out as they are found; the engine's lists would only grow
    // with the tree.
    disk.SetKeepFoundLists(false);
    disk.SetIncludeHidden(options.hidden);
    disk.SetOneFileSystem(options.oneFileSystem);
    disk.SetExecutablesOnly(options.executables);
    // Each row's reader looks at its file; the walk need not look first.
    disk.SetFileSizesWanted(options.mode != ScanMode::Files);
    std::string startPath = options.startPath;
    const std::string include = options.EffectiveIncludeSpec();
    SearchOutcome outcome;

    switch (options.mode) {
    case ScanMode::Files: {
        const grid::formats::WriterSettings settings{rules, AbsoluteStartPath(options.startPath),
                                                     VORN_STD_library::AppVersionText()};
        const std::unique_ptr<RowWriter> rows =
            grid::formats::MakeRowWriter(options.format, settings, out, ColumnsOf(options.columns));
        const std::string root = VORN_STD_library::NormalizeFolderPath(startPath);
        // One job is the engine alone: each row is built as its file is found.
        // With more, this thread walks, writes and builds rows too, beside
        // one worker per further job.
        const std::unique_ptr<OrderedRowBuilder> builder =
            workers ? std::make_unique<OrderedRowBuilder>(std::move(workers), options.columns, root, *rows) : nullptr;
        ScanListener listener(disk, rows.get(), options.columns, out, progress, root, builder.get());
        disk.SetEvents(&listener);
        if (options.inventory) out.Write(InventoryHeaderLine(ScanInventoryHeader(options)));
        rows->Begin();
        disk.SearchFiles(startPath, options.recurse, include, options.excludeSpec, options.minSize,
                         options.maxSize);
        disk.SetEvents(nullptr);
        if (builder && !out.Failed()) builder->Finish();
        if (!out.Failed()) rows->End();
        outcome = {listener.AnyFolderUnreadable(), rows->CutValues(), rows->Problem()};
        break;
    }
    case ScanMode::Count: {
        ScanListener listener(disk, nullptr, {}, out, progress);
        disk.SetEvents(&listener);
        const std::int32_t count = disk.CountFiles(startPath, options.recurse, include, options.excludeSpec,
                                                   options.minSize, options.maxSize);
        disk.SetEvents(nullptr);
        progress.Clear();
        grid::formats::WriteCountSummary(options.format, out, count, disk.FoundFilesSize());
        outcome.anyFolderUnreadable = listener.AnyFolderUnreadable();
        break;
    }
    case ScanMode::Folders: {
        // The folder list is the result here, so the engine keeps it.
        disk.SetKeepFoundLists(true);
        ScanListener listener(disk, nullptr, {}, out, progress);
        disk.SetEvents(&listener);
        const std::int32_t count = disk.SearchFolders(VORN_STD_library::NormalizeFolderPath(startPath),
                                                      options.recurse, include, options.excludeSpec);
        disk.SetEvents(nullptr);
        progress.Clear();
        const std::vector<std::string> folders = disk.ListFound();
        for (std::int32_t i = 1; i <= count && static_cast<std::size_t>(i) < folders.size() && !out.Failed(); ++i)
            grid::formats::WriteFolderLine(options.format, rules, out, folders[static_cast<std::size_t>(i)]);
        outcome.anyFolderUnreadable = listener.AnyFolderUnreadable();
        break;
    }
    case ScanMode::Help:
    case ScanMode::Version:
    case ScanMode::ListColumns:
        break;
    }
    progress.Clear();
    return outcome;
}

int Run(const ScanOptions& options)
{
    if (options.mode == ScanMode::Help) return PrintToStdout(UsageText());
    if (options.mode == ScanMode::Version)
        return PrintToStdout("VORN Lumbrel " + VORN_STD_library::AppVersionText() + "\n");
    if (options.mode == ScanMode::ListColumns) return PrintToStdout(ColumnListText());

    // The row builders' threads start first: a new thread can take
    // milliseconds to be first scheduled, time the set-up below can use.
    std::unique_ptr<WaitingThreads> workers;
    if (const unsigned jobs = JobCount(options); options.mode == ScanMode::Files && jobs > 1)
        workers = std::make_unique<WaitingThreads>(jobs - 1);

    // A closed pipe shows as EPIPE from write(2) instead of a fatal signal.
    std::signal(SIGPIPE, SIG_IGN);

    if (const grid::formats::FormatInfo& format = grid::formats::InfoOf(options.format);
        format.binary && options.outputPath.empty() && isatty(kStdout))
        return UsageError("refusing to write an " + std::string(format.key) + " workbook to a terminal; use -o FILE");

    if (!options.trustPath.empty()) {
        std::string error;
        std::shared_ptr<const VORN_STD_library::TrustStore> trust =
            VORN_STD_library::on_demand::LoadTrustStore(options.trustPath, error);
        if (!trust) return UsageError("--trust: " + error);
        VORN_STD_library::UseTrustStore(std::move(trust));
    }

    // A start folder that cannot be read at all is a failure of the whole
    // run, not one of the folders passed over, so it is checked first.
    if (const platform::UniqueFd folder(platform::OpenLongPath(options.startPath, O_RDONLY | O_DIRECTORY)); !folder) {
        ReportError("cannot read folder " + QuotedForMessage(options.startPath) + ": " + std::strerror(errno));
        return kExitStartFolder;
    }

    const bool toFile = !options.outputPath.empty();
    std::unique_ptr<OutputFile> file;
    if (toFile) {
        platform::RemoveTemporaryFilesOnSignals();
        file = std::make_unique<OutputFile>(options.outputPath);
        if (!file->Ok()) {
            ReportError("cannot open output file " + QuotedForMessage(options.outputPath) + ": " + std::strerror(file->Error()));
            return kExitOutput;
        }
    }

    // Rows streaming to the terminal would be torn up by the progress line,
    // and show the progress themselves.
    const bool rowsOnTerminal = !toFile && isatty(kStdout);
    const bool showProgress = !options.quiet && !(rowsOnTerminal && options.mode == ScanMode::Files) && isatty(kStderr);
    const TextRules rules{rowsOnTerminal, options.csvRaw};

    FdWriter out(toFile ? file->Fd() : kStdout);
    SearchOutcome outcome;
    {
        ProgressLine progress(kStderr, showProgress, ProgressLine::TerminalWidth(kStderr));
        outcome = RunSearch(options, rules, out, progress, std::move(workers));
    }
    if (out.Flush() && toFile && !file->Finish()) out.Fail(file->Error());

    if (out.Failed()) {
        // A reader that stopped early (`| head`) ends the run quietly.
        if (!toFile && out.ReaderGone()) return kExitSuccess;
        const std::string target = toFile ? QuotedForMessage(options.outputPath) : "standard output";
        ReportError("cannot write to " + target + ": " +
                   (outcome.writerProblem.empty() ? std::strerror(out.Error()) : outcome.writerProblem));
        return kExitOutput;
    }
    if (outcome.cutValues != 0) ReportError(CutValuesWarning(outcome.cutValues, options.format));
    return outcome.anyFolderUnreadable ? kExitUnreadable : kExitSuccess;
}

} // namespace

int RunLumbrelScan(const std::vector<std::string>& arguments)
{
    if (!arguments.empty() && (arguments[0] == "diff" || arguments[0] == "versions")) {
        const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        return arguments[0] == "diff" ? RunDiff(rest) : RunVersions(rest);
    }
    const ParseOutcome parsed = ParseCommandLine(arguments);
    if (!parsed.usageError.empty()) return UsageError(parsed.usageError);
    try {
        return Run(parsed.options);
    } catch (const std::exception& failure) {
        ReportError(std::string("the scan failed: ") + failure.what());
        return kExitStartFolder;
    }
}

} // namespace cli
