// Resident memory per row while the table model holds 100,000 result rows:
// /proc/self/statm before the rows are built and after the table is filled.
// The source rows are made first and counted out, so only the table's own
// memory is measured.
#include "BenchGrid.h"
#include "BenchSupport.h"

int main()
{
    constexpr std::size_t kRows = 100000;
    const std::vector<std::vector<grid::CellValue>> rows = bench::MakeRows(kRows);

    const std::int64_t before = bench::ResidentBytes();
    grid::ResultGrid table;
    bench::AddDefaultColumns(table);
    bench::FillGrid(table, rows);
    const std::int64_t after = bench::ResidentBytes();

    const double perRow = static_cast<double>(after - before) / kRows;
    bench::PrintFigure("grid_resident_bytes_per_row", perRow, "B");
    // Goal: under 1 KiB per row; the ratio is against that budget.
    bench::PrintRatio("grid_resident_per_row_vs_1KiB", perRow, 1024.0, 1.0);
    return table.RowCount() == static_cast<int>(kRows) ? 0 : 1;
}
