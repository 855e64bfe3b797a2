// Exporting 100,000 result rows: the table's .xls export against writing the
// same rows in lumbrel-scan's csv format, both into files in the same folder.
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "BenchGrid.h"
#include "BenchSupport.h"
#include "cli/OutputFile.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"

int main()
{
    constexpr std::size_t kRows = 100000;
    constexpr int kRuns = 5;
    const std::vector<std::vector<grid::CellValue>> rows = bench::MakeRows(kRows);
    grid::ResultGrid table;
    bench::AddDefaultColumns(table);
    bench::FillGrid(table, rows);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("lumbrel-export-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string xlsPath = (folder / "rows.xls").string();
    const std::string csvPath = (folder / "rows.csv").string();

    const double xlsSeconds = bench::MedianSeconds(
        kRuns, [&] { std::filesystem::remove(xlsPath); },
        [&] {
            std::string path = xlsPath;
            table.Export(path, grid::kExportFormatXls, grid::kExportFlagsDefault);
        });

    bool csvWritten = true;
    const double csvSeconds = bench::MedianSeconds(kRuns, nullptr, [&] {
        cli::OutputFile file(csvPath);
        grid::formats::FdWriter out(file.Fd());
        const std::unique_ptr<grid::formats::RowWriter> writer = grid::formats::MakeRowWriter(
            grid::formats::OutputFormat::Csv, {}, out, ColumnsOf(DefaultFactSelection()));
        writer->Begin();
        for (const std::vector<grid::CellValue>& row : rows) writer->Row(row);
        writer->End();
        csvWritten = out.Flush() && file.Finish() && csvWritten;
    });

    bench::PrintFigure("export_xls_seconds", xlsSeconds, "s");
    bench::PrintFigure("export_csv_seconds", csvSeconds, "s");
    bench::PrintFigure("export_xls_bytes", static_cast<double>(std::filesystem::file_size(xlsPath)), "B");
    bench::PrintRatio("export_xls_vs_cli_csv", xlsSeconds, csvSeconds, 3.0);
    std::filesystem::remove_all(folder);
    return csvWritten ? 0 : 1;
}
