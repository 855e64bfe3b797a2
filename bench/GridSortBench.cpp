// Sorting 100,000 result rows in the table model by the file-name, size and
// date columns, against std::stable_sort of the same keys in the same run.
#include <algorithm>
#include <numeric>
#include <string>
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

} // namespace

int main()
{
    const std::vector<FoundFileRow> rows = bench::MakeRows(kRows);
    grid::ResultGrid table;
    bench::AddResultColumns(table);
    bench::FillGrid(table, rows);

    std::vector<std::string> names;
    std::vector<std::int64_t> sizes;
    std::vector<double> dates;
    for (const FoundFileRow& row : rows) {
        names.push_back(row.fileName);
        sizes.push_back(row.size.Scaled());
        dates.push_back(row.modified->Days());
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
        // Start each run from the same (shuffled-by-name) order so every run
        // sorts the same input.
        const double ours = bench::MedianSeconds(
            kRuns, [&] { table.Sort(-1, -1, "company", grid::kSortAscending, grid::kSortKindText); },
            [&] { table.Sort(-1, -1, c.key, grid::kSortAscending, c.kind); });
        bench::PrintFigure(std::string("grid_sort_") + c.key + "_seconds", ours, "s");
        bench::PrintRatio(std::string("grid_sort_") + c.key + "_vs_std_stable_sort", ours, c.peerSeconds, 3.0);
    }
    return 0;
}
