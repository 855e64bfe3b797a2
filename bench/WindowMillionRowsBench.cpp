// The real window (offscreen) with a million rows: fill the table as a search
// does (one row at a time, announced in batches), sort by file name through
// the heading click, fit the columns, scroll through the table, copy every
// row. Each time is reported (sorting and copying also as processor time);
// fitting and scrolling against the same work on a table of a thousand rows
// in the same run (sampling keeps fitting flat),
// sorting (wall and processor time) against the 1.5 s budget and against
// std::sort of the same names,
// copying against a budget of two seconds of processor time, memory per row
// against the 512-byte budget.
//
// Usage: bench_window_million [ROWS]
#include <QAbstractProxyModel>
#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "frmMain/WindowServices.h"
#include "frmMain/frmMain.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"

namespace {

constexpr int kSmallRows = 1000;
constexpr int kScrollSteps = 200;

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Wall time of the work; its processor time goes to `cpu` when given (on a
// shared machine the wall time also counts waiting for a core).
double SecondsOf(const std::function<void()>& work, double* cpu = nullptr)
{
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    if (cpu) *cpu = ThreadCpuSeconds() - cpuStart;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

grid::ResultGridModel* TableModel(frmMain& window)
{
    QAbstractItemModel* model = window.grd()->Model();
    while (auto* proxy = qobject_cast<QAbstractProxyModel*>(model)) model = proxy->sourceModel();
    return qobject_cast<grid::ResultGridModel*>(model);
}

// Fills the window's table with `count` rows as the progress handler does:
// each row is made, its cells moved into the table and its own vector freed
// before the next. Returns the seconds spent in the table, not in making the
// rows.
double Fill(frmMain& window, int count)
{
    grid::ResultGrid& table = window.Grid();
    grid::ResultGridModel* model = TableModel(window);
    double seconds = SecondsOf([&] {
        table.SetRowCount(0);
        model->SetInsertBatching(true, std::chrono::hours(1));
    });
    bench::RowMaker maker(20240607u);
    std::chrono::steady_clock::duration inTable{};
    for (int done = 0; done < count; ++done) {
        std::vector<grid::CellValue> row = maker.Next(static_cast<std::size_t>(done));
        const auto start = std::chrono::steady_clock::now();
        table.SetRowCount(done + 1);
        for (std::size_t column = 0; column < row.size(); ++column)
            table.SetCellValue(done, static_cast<int>(column), std::move(row[column]));
        inTable += std::chrono::steady_clock::now() - start;
    }
    seconds += std::chrono::duration<double>(inTable).count();
    return seconds + SecondsOf([&] { model->SetInsertBatching(false); });
}

double FitSeconds(frmMain& window)
{
    return SecondsOf([&] { window.Grid().ColumnRange(1, window.Grid().ColumnCount()); });
}

// Scrolls from the top to the bottom in even steps, painting each view.
double ScrollSeconds(frmMain& window)
{
    QTableView* table = window.grd()->Table();
    QScrollBar* bar = table->verticalScrollBar();
    return SecondsOf([&] {
        for (int step = 0; step <= kScrollSteps; ++step) {
            bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * step / kScrollSteps));
            table->viewport()->repaint();
        }
    });
}

} // namespace

int main(int argc, char* argv[])
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir configFolder;
    qputenv("XDG_CONFIG_HOME", configFolder.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    frmMain window(WindowServices::Desktop());
    window.resize(1400, 900);
    QApplication::processEvents();

    Fill(window, kSmallRows);
    const double smallFit = FitSeconds(window);
    const double smallScroll = ScrollSeconds(window);
    window.Grid().SetRowCount(0);

    // Freed memory the allocator still holds is handed back before each
    // reading, so only what the table holds counts.
    malloc_trim(0);
    const std::int64_t before = bench::ResidentBytes();
    const double fill = Fill(window, rows);
    QApplication::processEvents();
    malloc_trim(0);
    const std::int64_t after = bench::ResidentBytes();
    const double perRow = static_cast<double>(after - before) / rows;

    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) names.push_back(std::get<std::string>(window.Grid().CellValueAt(row, 0)));
    double plainSortCpu = 0;
    SecondsOf([&] { std::sort(names.begin(), names.end()); }, &plainSortCpu);
    names = {};
    double sortCpu = 0;
    const double sort = SecondsOf([&] { window.grd_ColumnNotification(1); }, &sortCpu);
    const double fit = FitSeconds(window);
    const double scroll = ScrollSeconds(window);
    window.grd()->Table()->selectAll();
    qsizetype copied = 0;
    double copyCpu = 0;
    const double copy = SecondsOf([&] { copied = window.SelectedRowsText().size(); }, &copyCpu);

    bench::PrintFigure("window_rows", rows, "rows");
    bench::PrintFigure("window_fill_seconds", fill, "s");
    bench::PrintFigure("window_sort_seconds", sort, "s");
    bench::PrintFigure("window_sort_cpu_seconds", sortCpu, "s");
    bench::PrintFigure("window_fit_seconds", fit, "s");
    bench::PrintFigure("window_scroll_seconds_per_step", scroll / (kScrollSteps + 1), "s");
    bench::PrintFigure("window_copy_all_seconds", copy, "s");
    bench::PrintFigure("window_copy_all_cpu_seconds", copyCpu, "s");
    bench::PrintFigure("window_resident_bytes_per_row", perRow, "B");
    bench::PrintRatio("window_sort_vs_1.5s", sort, 1.5, 1.0);
    bench::PrintRatio("window_sort_cpu_vs_1.5s", sortCpu, 1.5, 1.0);
    bench::PrintRatio("window_sort_cpu_vs_std_sort_of_names", sortCpu, plainSortCpu, 10.0);
    bench::PrintRatio("window_copy_all_cpu_vs_2s", copyCpu, 2.0, 1.0);
    bench::PrintRatio("window_fit_vs_1000_rows", fit, smallFit, 2.0);
    bench::PrintRatio("window_scroll_vs_1000_rows", scroll, smallScroll, 2.0);
    bench::PrintRatio("window_resident_per_row_vs_512B", perRow, 512.0, 1.0);
    return window.Grid().RowCount() == rows && copied > 0 ? 0 : 1;
}
