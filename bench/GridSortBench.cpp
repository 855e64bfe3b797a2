// Sorting 100,000 result rows in the table model by the file-name, size and
// date columns, against std::stable_sort of the same keys in the same run.
#include <algorithm>
#include <numeric>
#include <string>
#include <variant>
#include <vector>

#include "BenchSupport.h"
#include "BenchGrid.h"

namespace {

constexpr std::size_t kRows = 100000;
constexpr int kRuns = 5;

// The peer: row indices stable-sorted by a copy of one key per row.
template <typename Key>
double PlainStableSortSeconds(const std::vector<Key>& keys)
{
    std::vector<int> order(keys.size());
    return bench::MedianSeconds(
        kRuns, [&] { std::iota(order.begin(), order.end(), 0); },
        [&] { std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; }); });
}

// The table's rows in the order every timed sort starts from: sorted by
// company, which leaves the other columns in no useful order.
void ResetStartOrder(grid::ResultGrid& table)
{
    table.Sort(-1, -1, "company", grid::kSortAscending, grid::kSortKindText);
}

} // namespace

int main()
{
    const std::vector<std::vector<grid::CellValue>> rows = bench::MakeRows(kRows);
    grid::ResultGrid table;
    bench::AddDefaultColumns(table);
    bench::FillGrid(table, rows);

    // The peer's keys are read from the table in the same start order, so
    // both sides sort exactly the same input.
    ResetStartOrder(table);
    std::vector<std::string> names;
    std::vector<std::int64_t> sizes;
    std::vector<double> dates;
    for (int row = 0; row < table.RowCount(); ++row) {
        names.push_back(std::get<std::string>(table.CellValueAt(row, 0)));
        sizes.push_back(std::get<platform::FixedDecimal>(table.CellValueAt(row, 2)).Whole());
        dates.push_back(std::get<platform::DateTime>(table.CellValueAt(row, 3)).Days());
    }

    struct Case {
        const char* key;
        int kind;
        double peerSeconds;
    };
    const Case cases[] = {
        {"filename", grid::kSortKindText, PlainStableSortSeconds(names)},
        {"size", grid::kSortKindNumber, PlainStableSortSeconds(sizes)},
        {"date", grid::kSortKindDateTime, PlainStableSortSeconds(dates)},
    };
    for (const Case& c : cases) {
        const double ours = bench::MedianSeconds(
            kRuns, [&] { ResetStartOrder(table); },
            [&] { table.Sort(-1, -1, c.key, grid::kSortAscending, c.kind); });
        bench::PrintFigure(std::string("grid_sort_") + c.key + "_seconds", ours, "s");
        bench::PrintRatio(std::string("grid_sort_") + c.key + "_vs_std_stable_sort", ours, c.peerSeconds, 3.0);
    }
    return 0;
}
