// lumbrel-scan versions: loads one side, keeps the names found with several
// versions and writes them, grouped by name, through the scan's row writers.
#include "cli/VersionsCommand.h"

#include <charconv>
#include <csignal>
#include <exception>

#include "VORN_STD_library/PathHelpers.h"
#include "cDisk/InventoryFormat.h"
#include "cDisk/MatchKeys.h"
#include "cDisk/ResultFacts.h"
#include "cDisk/SeveralVersions.h"
#include "cli/CommandOutput.h"
#include "cli/ScanCommand.h"
#include "cli/SideRows.h"
#include "cli/SubcommandArguments.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"

namespace cli {
namespace {

std::string VersionsUsageText()
{
    return "Usage: lumbrel-scan versions [options] PATH|INVENTORY\n"
           "Lists every file name (ignoring case) found more than once with different\n"
           "versions below PATH or in a saved inventory: one row per copy, grouped by\n"
           "name, highest version first (the fixed version, else the FileVersion text).\n"
           "A folder is scanned with the scan's -f, -x, --no-subfolders, --hidden,\n"
           "--min-size and --max-size; --format, --csv-raw, -o and -q work as for a scan.\n";
}

// What a versions row shows of a file.
const FactSelection& ReportFacts()
{
    static const FactSelection facts = SelectFacts("relpath,filename,version,fileversion,size").facts;
    return facts;
}

std::vector<grid::ResultColumn> ReportColumns()
{
    return ColumnsOf(SelectFacts("filename,version,size,relpath").facts);
}

// A cell of the table, or empty when the table lacks the column.
std::string_view CellOf(const RowTable& table, std::uint32_t row, std::string_view key)
{
    const auto column = table.ColumnIndex(key);
    return column ? table.Cell(row, *column) : std::string_view();
}

std::vector<grid::CellValue> ReportRow(const RowTable& table, std::uint32_t row)
{
    const std::string_view relativePath = CellOf(table, row, kRelativePathKey);
    std::string_view name = CellOf(table, row, "filename");
    if (name.empty()) name = BareFileName(relativePath);
    std::string_view version = CellOf(table, row, "version");
    if (version.empty()) version = CellOf(table, row, "fileversion");
    grid::CellValue size;
    const std::string_view sizeText = CellOf(table, row, "size");
    std::int64_t whole = 0;
    const auto [end, error] = std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), whole);
    if (!sizeText.empty() && error == std::errc() && end == sizeText.data() + sizeText.size())
        size = platform::FixedDecimal::FromWhole(whole);
    return {std::string(name), std::string(version), size, std::string(relativePath)};
}

int Versions(const std::vector<std::string>& arguments)
{
    const SubcommandArguments parsed = ParseSubcommandArguments(arguments, {}, 1);
    if (parsed.help) {
        grid::formats::FdWriter out(1);
        out.Write(VersionsUsageText());
        return out.Flush() ? kExitSuccess : kExitOutput;
    }
    if (!parsed.usageError.empty()) {
        ReportError("versions: " + parsed.usageError + "\nTry 'lumbrel-scan versions --help'.");
        return kExitUsage;
    }
    const ScanOptions& options = parsed.options;
    std::signal(SIGPIPE, SIG_IGN);
    CommandOutput output(options.outputPath);
    if (grid::formats::InfoOf(options.format).binary && output.ToTerminal()) {
        ReportError("refusing to write a workbook to a terminal; use -o FILE");
        return kExitUsage;
    }
    if (!output.Opened()) return kExitOutput;

    const SideRows side = LoadSideRows(parsed.operands[0], options, ReportFacts(), [](std::string_view key) {
        return key == "filename" || key == "version" || key == "fileversion" || key == "size";
    });
    if (side.failed) return kExitStartFolder;
    const SeveralVersionsReport report = FilesWithSeveralVersions(side.rows);
    if (!report.error.empty()) {
        ReportError("versions: " + report.error);
        return kExitStartFolder;
    }

    const grid::formats::WriterSettings settings{{output.ToTerminal(), options.csvRaw}, parsed.operands.back(),
                                                 VORN_STD_library::AppVersionText()};
    const std::unique_ptr<grid::formats::RowWriter> writer =
        grid::formats::MakeRowWriter(options.format, settings, output.Writer(), ReportColumns());
    if (!writer) {
        ReportError("the " + std::string(grid::formats::InfoOf(options.format).key) + " format is not available here");
        return kExitUsage;
    }
    writer->Begin();
    for (std::uint32_t row : report.rows) {
        if (output.Writer().Failed()) break;
        writer->Row(ReportRow(side.rows, row));
    }
    if (!output.Writer().Failed()) writer->End();
    if (!output.Finish()) return kExitOutput;
    return side.someFoldersUnreadable ? kExitUnreadable : kExitSuccess;
}

} // namespace

int RunVersions(const std::vector<std::string>& arguments)
{
    try {
        return Versions(arguments);
    } catch (const std::exception& failure) {
        ReportError(std::string("versions failed: ") + failure.what());
        return kExitStartFolder;
    }
}

} // namespace cli
