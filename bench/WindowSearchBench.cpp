// A search through the real window (offscreen): path and filter boxes set, the
// "search" button clicked, timed until the click returns with the table full.
// The peer is the engine alone over the same tree in the same run: a fresh
// cDisk, SearchFiles, and BuildResultRow of the default columns for every file.
// The window shows file icons (read for the rows it paints) as it does for
// the user.
//
// Usage: bench_window_search TREE [RUNS]
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "frmMain/WindowServices.h"
#include "frmMain/frmMain.h"
#include "platform/desktop/DesktopFileIcons.h"
#include "platform/desktop/MimeTypeNames.h"

namespace {

constexpr const char* kFilter = "*.exe;*.ocx;*.dll";

class RowCollector : public cDiskEvents {
public:
    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t&, double&, bool&) override
    {
        rows.push_back(BuildResultRow(CurrentPath, CurrentFile, DefaultFactSelection()));
    }
    std::vector<std::vector<grid::CellValue>> rows;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_window_search TREE [RUNS]\n");
        return 2;
    }
    const std::string tree = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    // The window remembers its settings; keep them out of the user's own.
    QTemporaryDir configFolder;
    qputenv("XDG_CONFIG_HOME", configFolder.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    desktop::InstallMimeTypeNames();
    desktop::InstallDesktopFileIcons();
    frmMain window(WindowServices::Desktop());

    std::size_t engineRows = 0;
    double cpuStart = bench::CpuSeconds();
    const double engineSeconds = bench::MedianSeconds(runs, nullptr, [&] {
        RowCollector collector;
        cDisk disk;
        disk.SetEvents(&collector);
        std::string start = tree;
        disk.SearchFiles(start, true, kFilter, "", {}, {});
        engineRows = collector.rows.size();
    });
    const double engineCpuSeconds = (bench::CpuSeconds() - cpuStart) / runs;
    cpuStart = bench::CpuSeconds();

    const double windowSeconds = bench::MedianSeconds(runs, nullptr, [&] {
        window.txt(1)->setText(QString::fromStdString(tree));
        window.txt(0)->setText(kFilter);
        window.chk()->setChecked(true);
        window.cmd(frmMain::kSearch)->click();
    });
    const double windowCpuSeconds = (bench::CpuSeconds() - cpuStart) / runs;
    const auto windowRows = static_cast<std::size_t>(window.Grid().RowCount());

    bench::PrintFigure("window_search_rows", static_cast<double>(windowRows), "rows");
    bench::PrintFigure("window_search_seconds", windowSeconds, "s");
    bench::PrintFigure("engine_search_seconds", engineSeconds, "s");
    bench::PrintRatio("window_search_vs_engine", windowSeconds, engineSeconds, 1.3);
    // CPU time (mean per run) does not grow with other work on the machine.
    bench::PrintFigure("window_search_cpu_seconds", windowCpuSeconds, "s");
    bench::PrintFigure("engine_search_cpu_seconds", engineCpuSeconds, "s");
    bench::PrintRatio("window_search_vs_engine_cpu", windowCpuSeconds, engineCpuSeconds, 1.3);
    if (windowRows != engineRows) {
        std::fprintf(stderr, "window found %zu rows, engine %zu\n", windowRows, engineRows);
        return 1;
    }
    return 0;
}
