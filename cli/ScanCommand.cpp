// lumbrel-scan's run: option checks, the start-folder check, opening the
// output, the search through a fresh engine (rows built exactly as the
// window builds them) and the final flush, with one exit status per outcome.
#include "cli/ScanCommand.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <utility>

#include "VORN_STD_library/PathHelpers.h"
#include "cDisk/ResultFacts.h"
#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "cli/OutputFile.h"
#include "cli/ProgressLine.h"
#include "cli/ScanOptions.h"
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

void PrintError(const std::string& message)
{
    FdWriter err(kStderr);
    err.Write("lumbrel-scan: " + message + "\n");
    err.Flush();
}

// A path or name inside a message: shown escaped on a terminal, exact
// otherwise.
std::string Quoted(const std::string& text)
{
    static const bool terminal = isatty(kStderr) != 0;
    if (!terminal) return "'" + text + "'";
    std::string shown = "'";
    grid::formats::AppendTerminalSafe(shown, text);
    return shown + "'";
}

int UsageError(const std::string& message)
{
    PrintError(message + "\nTry 'lumbrel-scan --help'.");
    return kExitUsage;
}

// Writes a short text to standard output (help, version).
int PrintToStdout(const std::string& text)
{
    FdWriter out(kStdout);
    out.Write(text);
    if (out.Flush() || out.ReaderGone()) return kExitSuccess;
    PrintError(std::string("cannot write to standard output: ") + std::strerror(out.Error()));
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

// Passes each found file to the row writer and keeps the progress line
// current; names each folder that cannot be read; stops the walk as soon as
// the output fails.
class ScanListener : public cDiskEvents {
public:
    ScanListener(cDisk& disk, RowWriter* rows, FactSelection facts, FdWriter& out, ProgressLine& progress)
        : disk_(disk), rows_(rows), facts_(std::move(facts)), out_(out), progress_(progress) {}

    bool AnyFolderUnreadable() const { return unreadable_; }

    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound,
                  double& /*ByteFound*/, bool& Cancel) override
    {
        if (rows_ != nullptr) rows_->Row(BuildResultRow(CurrentPath, CurrentFile, facts_));
        progress_.Update(FileFound, CurrentPath);
        if (out_.Failed()) Cancel = true;
    }

    void PathChange(std::string& CurrentPath) override
    {
        progress_.Update(disk_.FoundFilesCount() < 0 ? 0 : disk_.FoundFilesCount(), CurrentPath);
    }

    void FolderUnreadable(const std::string& FolderPath, int ErrorNumber) override
    {
        unreadable_ = true;
        progress_.Clear();
        PrintError("cannot read folder " + Quoted(FolderPath) + ": " + std::strerror(ErrorNumber));
    }

private:
    cDisk& disk_;
    RowWriter* rows_;
    FactSelection facts_;
    FdWriter& out_;
    ProgressLine& progress_;
    bool unreadable_ = false;
};

// What a search ended with, beyond what the output writer holds.
struct SearchOutcome {
    bool anyFolderUnreadable = false;
    std::uint64_t cutValues = 0;
};

SearchOutcome RunSearch(const ScanOptions& options, const TextRules& rules, FdWriter& out, ProgressLine& progress)
{
    cDisk disk;
    // Rows stream out as they are found; the engine's lists would only grow
    // with the tree.
    disk.SetKeepFoundLists(false);
    disk.SetIncludeHidden(options.hidden);
    std::string startPath = options.startPath;
    const std::string include = options.EffectiveIncludeSpec();
    SearchOutcome outcome;

    switch (options.mode) {
    case ScanMode::Files: {
        const grid::formats::WriterSettings settings{rules, options.startPath};
        const std::unique_ptr<RowWriter> rows =
            grid::formats::MakeRowWriter(options.format, settings, out, ColumnsOf(options.columns));
        ScanListener listener(disk, rows.get(), options.columns, out, progress);
        disk.SetEvents(&listener);
        rows->Begin();
        disk.SearchFiles(startPath, options.recurse, include, options.excludeSpec, options.minSize,
                         options.maxSize);
        disk.SetEvents(nullptr);
        if (!out.Failed()) rows->End();
        outcome = {listener.AnyFolderUnreadable(), rows->CutValues()};
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

    // A closed pipe shows as EPIPE from write(2) instead of a fatal signal.
    std::signal(SIGPIPE, SIG_IGN);

    if (const grid::formats::FormatInfo& format = grid::formats::InfoOf(options.format);
        format.binary && options.outputPath.empty() && isatty(kStdout))
        return UsageError("refusing to write an " + std::string(format.key) + " workbook to a terminal; use -o FILE");

    // A start folder that cannot be read at all is a failure of the whole
    // run, not one of the folders passed over, so it is checked first.
    if (const platform::UniqueFd folder(platform::OpenLongPath(options.startPath, O_RDONLY | O_DIRECTORY)); !folder) {
        PrintError("cannot read folder " + Quoted(options.startPath) + ": " + std::strerror(errno));
        return kExitStartFolder;
    }

    const bool toFile = !options.outputPath.empty();
    std::unique_ptr<OutputFile> file;
    if (toFile) {
        platform::RemoveTemporaryFilesOnSignals();
        file = std::make_unique<OutputFile>(options.outputPath);
        if (!file->Ok()) {
            PrintError("cannot open output file " + Quoted(options.outputPath) + ": " + std::strerror(file->Error()));
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
        outcome = RunSearch(options, rules, out, progress);
    }
    if (out.Flush() && toFile && !file->Finish()) out.Fail(file->Error());

    if (out.Failed()) {
        // A reader that stopped early (`| head`) ends the run quietly.
        if (!toFile && out.ReaderGone()) return kExitSuccess;
        const std::string target = toFile ? Quoted(options.outputPath) : "standard output";
        PrintError("cannot write to " + target + ": " + std::strerror(out.Error()));
        return kExitOutput;
    }
    if (outcome.cutValues != 0)
        PrintError("warning: " + std::to_string(outcome.cutValues) +
                   (outcome.cutValues == 1 ? " value was" : " values were") +
                   " longer than the 32,767 characters an xls cell holds and cut to fit");
    return outcome.anyFolderUnreadable ? kExitUnreadable : kExitSuccess;
}

} // namespace

int RunLumbrelScan(const std::vector<std::string>& arguments)
{
    const ParseOutcome parsed = ParseCommandLine(arguments);
    if (!parsed.usageError.empty()) return UsageError(parsed.usageError);
    try {
        return Run(parsed.options);
    } catch (const std::exception& failure) {
        PrintError(std::string("the scan failed: ") + failure.what());
        return kExitStartFolder;
    }
}

} // namespace cli
