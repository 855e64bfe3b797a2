// lumbrel-scan's run: option checks, the start-folder check, opening the
// output, the search through a fresh engine (rows built exactly as the
// window builds them) and the final flush, with one exit status per outcome.
#include "cli/ScanCommand.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "VORN_STD_library/PathHelpers.h"
#include "cDisk/FoundFileRow.h"
#include "cDisk/cDisk.h"
#include "cli/FdWriter.h"
#include "cli/ProgressLine.h"
#include "cli/RowWriters.h"
#include "cli/ScanOptions.h"

namespace cli {
namespace {

constexpr int kStdout = 1;
constexpr int kStderr = 2;

void PrintError(const std::string& message)
{
    FdWriter err(kStderr);
    err.Write("lumbrel-scan: " + message + "\n");
    err.Flush();
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

// Passes each found file to the row writer and keeps the progress line
// current; stops the walk as soon as the output fails.
class ScanListener : public cDiskEvents {
public:
    ScanListener(cDisk& disk, RowWriter* rows, FdWriter& out, ProgressLine& progress)
        : disk_(disk), rows_(rows), out_(out), progress_(progress) {}

    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound,
                  double& /*ByteFound*/, bool& Cancel) override
    {
        if (rows_ != nullptr) rows_->Row(BuildFoundFileRow(CurrentPath, CurrentFile));
        progress_.Update(FileFound, CurrentPath);
        if (out_.Failed()) Cancel = true;
    }

    void PathChange(std::string& CurrentPath) override
    {
        progress_.Update(disk_.FoundFilesCount() < 0 ? 0 : disk_.FoundFilesCount(), CurrentPath);
    }

private:
    cDisk& disk_;
    RowWriter* rows_;
    FdWriter& out_;
    ProgressLine& progress_;
};

void RunSearch(const ScanOptions& options, FdWriter& out, ProgressLine& progress)
{
    cDisk disk;
    std::string startPath = options.startPath;
    const std::string include = options.EffectiveIncludeSpec();

    switch (options.mode) {
    case ScanMode::Files: {
        const std::unique_ptr<RowWriter> rows = MakeRowWriter(options.format, out);
        ScanListener listener(disk, rows.get(), out, progress);
        disk.SetEvents(&listener);
        rows->Begin();
        disk.SearchFiles(startPath, options.recurse, include, options.excludeSpec, options.minSize,
                         options.maxSize);
        disk.SetEvents(nullptr);
        if (!out.Failed()) rows->End();
        break;
    }
    case ScanMode::Count: {
        ScanListener listener(disk, nullptr, out, progress);
        disk.SetEvents(&listener);
        const std::int32_t count = disk.CountFiles(startPath, options.recurse, include, options.excludeSpec,
                                                   options.minSize, options.maxSize);
        disk.SetEvents(nullptr);
        progress.Clear();
        WriteCountSummary(options.format, out, count, disk.FoundFilesSize());
        break;
    }
    case ScanMode::Folders: {
        ScanListener listener(disk, nullptr, out, progress);
        disk.SetEvents(&listener);
        const std::int32_t count = disk.SearchFolders(VORN_STD_library::NormalizeFolderPath(startPath),
                                                      options.recurse, include, options.excludeSpec);
        disk.SetEvents(nullptr);
        progress.Clear();
        const std::vector<std::string> folders = disk.ListFound();
        for (std::int32_t i = 1; i <= count && static_cast<std::size_t>(i) < folders.size() && !out.Failed(); ++i)
            WriteFolderLine(options.format, out, folders[static_cast<std::size_t>(i)]);
        break;
    }
    case ScanMode::Help:
    case ScanMode::Version:
        break;
    }
    progress.Clear();
}

int Run(const ScanOptions& options)
{
    if (options.mode == ScanMode::Help) return PrintToStdout(UsageText());
    if (options.mode == ScanMode::Version)
        return PrintToStdout("VORN Lumbrel " + VORN_STD_library::AppVersionText() + "\n");

    // A closed pipe shows as EPIPE from write(2) instead of a fatal signal.
    std::signal(SIGPIPE, SIG_IGN);

    if (options.format == OutputFormat::Xls && options.outputPath.empty() && isatty(kStdout))
        return UsageError("refusing to write an xls workbook to a terminal; use -o FILE");

    // The engine passes over a start folder it cannot open without a word, so
    // the check comes first.
    const int folder = open(options.startPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        PrintError("cannot read folder '" + options.startPath + "': " + std::strerror(errno));
        return kExitStartFolder;
    }
    close(folder);

    const bool toFile = !options.outputPath.empty();
    const int outputFd =
        toFile ? open(options.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666) : kStdout;
    if (outputFd < 0) {
        PrintError("cannot open output file '" + options.outputPath + "': " + std::strerror(errno));
        return kExitOutput;
    }

    // Rows streaming to the terminal would be torn up by the progress line,
    // and show the progress themselves.
    const bool rowsOnTerminal = options.mode == ScanMode::Files && !toFile && isatty(kStdout);
    const bool showProgress = !options.quiet && !rowsOnTerminal && isatty(kStderr);

    FdWriter out(outputFd);
    {
        ProgressLine progress(kStderr, showProgress, ProgressLine::TerminalWidth(kStderr));
        RunSearch(options, out, progress);
    }
    if (toFile) out.Close();
    else out.Flush();

    if (!out.Failed()) return kExitSuccess;
    // A reader that stopped early (`| head`) ends the run quietly.
    if (!toFile && out.ReaderGone()) return kExitSuccess;
    const std::string target = toFile ? "'" + options.outputPath + "'" : "standard output";
    PrintError("cannot write to " + target + ": " + std::strerror(out.Error()));
    return kExitOutput;
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
