// lumbrel-scan diff: loads both sides (folders are scanned with the scan's
// filter and column options), compares them in one hash join, writes the
// changes through the scan's row writers and, on a terminal, a count per
// change kind.
#include "cli/DiffCommand.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <future>
#include <unistd.h>

#include "VORN_STD_library/PathHelpers.h"
#include "cDisk/Comparison.h"
#include "cli/ChangeRows.h"
#include "cli/CommandOutput.h"
#include "cli/SideRows.h"
#include "cli/SubcommandArguments.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"

namespace cli {
namespace {

constexpr int kStderr = 2;

std::string DiffUsageText()
{
    return "Usage: lumbrel-scan diff [options] OLD NEW\n"
           "Compares two folders or saved inventories (lumbrel-scan --inventory) file by\n"
           "file. Files are matched by their path relative to each side's root, ignoring\n"
           "case, and each gets a change: Added, Removed, Upgraded, Downgraded (fixed\n"
           "version compared number by number; without one, the FileVersion text),\n"
           "Rebuilt (same version, other hash, else other size), Changed (other facts\n"
           "differ; the folder and the date are not compared) or Same.\n"
           "\n"
           "      --case-sensitive  names differing in case are different files\n"
           "      --by-name         match by file name alone (for trees whose folders moved)\n"
           "      --all             also list unchanged files\n"
           "A folder side is scanned with the scan's -f, -x, --no-subfolders, --hidden,\n"
           "--min-size, --max-size and --columns; --format, --csv-raw, -o and -q work as\n"
           "for a scan.\n"
           "\n"
           "Exit status: 0 no differences, 1 differences, 2 trouble.\n";
}

// One line per change kind, for a person at a terminal.
void WriteSummary(const Comparison& comparison)
{
    grid::formats::FdWriter err(kStderr);
    for (std::size_t kind = 0; kind < kChangeKindCount; ++kind)
        err.Write(std::string(ChangeKindName(static_cast<ChangeKind>(kind))) + ": " +
                  std::to_string(comparison.counts[kind]) + "\n");
    err.Flush();
}

int Diff(const std::vector<std::string>& arguments)
{
    const SubcommandArguments parsed =
        ParseSubcommandArguments(arguments, {"--case-sensitive", "--by-name", "--all"}, 2);
    if (parsed.help) {
        grid::formats::FdWriter out(1);
        out.Write(DiffUsageText());
        return out.Flush() ? kDiffSame : kDiffTrouble;
    }
    if (!parsed.usageError.empty()) {
        ReportError("diff: " + parsed.usageError + "\nTry 'lumbrel-scan diff --help'.");
        return kDiffTrouble;
    }
    auto given = [&](const char* flag) {
        return std::find(parsed.flags.begin(), parsed.flags.end(), flag) != parsed.flags.end();
    };
    const ScanOptions& options = parsed.options;
    const MatchRules rules{.caseSensitive = given("--case-sensitive"), .byName = given("--by-name")};

    std::signal(SIGPIPE, SIG_IGN);
    CommandOutput output(options.outputPath);
    if (options.format == OutputFormat::CycloneDx) {
        ReportError("diff: a bill of materials lists files, not changes; use another --format");
        return kDiffTrouble;
    }
    if (grid::formats::InfoOf(options.format).binary && output.ToTerminal()) {
        ReportError("refusing to write a workbook to a terminal; use -o FILE");
        return kDiffTrouble;
    }
    if (!output.Opened()) return kDiffTrouble;

    // Only compared columns are held. An inventory side loads on a thread of
    // its own while the other side loads; two folder scans run one after the
    // other, so that their progress and messages do not mix.
    const ColumnFilter keep = [&](std::string_view key) { return IsComparedColumn(key, rules); };
    auto load = [&](const std::string& operand) { return LoadSideRows(operand, options, options.columns, keep); };
    std::future<SideRows> olderLoading;
    if (!IsFolderOperand(parsed.operands[0]))
        olderLoading = std::async(std::launch::async, load, parsed.operands[0]);
    const SideRows newer = load(parsed.operands[1]);
    const SideRows older = olderLoading.valid() ? olderLoading.get() : load(parsed.operands[0]);
    if (older.failed || newer.failed) return kDiffTrouble;

    const Comparison comparison = CompareRowTables(older.rows, newer.rows, rules, given("--all"));
    if (!comparison.error.empty()) {
        ReportError("diff: " + comparison.error);
        return kDiffTrouble;
    }

    const ChangeRows changeRows(comparison, older.rows, newer.rows);
    const grid::formats::WriterSettings settings{{output.ToTerminal(), options.csvRaw}, parsed.operands.back(),
                                                 VORN_STD_library::AppVersionText()};
    const std::unique_ptr<grid::formats::RowWriter> writer =
        grid::formats::MakeRowWriter(options.format, settings, output.Writer(), changeRows.Columns());
    if (!writer) {
        ReportError("the " + std::string(grid::formats::InfoOf(options.format).key) + " format is not available here");
        return kDiffTrouble;
    }
    writer->Begin();
    for (const RowChange& change : comparison.changes) {
        if (output.Writer().Failed()) break;
        writer->Row(changeRows.Row(change));
    }
    if (!output.Writer().Failed()) writer->End();
    if (!output.Finish()) return kDiffTrouble;
    if (writer->CutValues() != 0) ReportError(CutValuesWarning(writer->CutValues(), options.format));
    if (isatty(kStderr) && !options.quiet) WriteSummary(comparison);

    if (older.someFoldersUnreadable || newer.someFoldersUnreadable) return kDiffTrouble;
    return comparison.AnyDifference() ? kDiffDifferent : kDiffSame;
}

} // namespace

int RunDiff(const std::vector<std::string>& arguments)
{
    try {
        return Diff(arguments);
    } catch (const std::exception& failure) {
        ReportError(std::string("diff failed: ") + failure.what());
        return kDiffTrouble;
    }
}

} // namespace cli
