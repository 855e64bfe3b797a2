// Comparing two saved inventories of a million rows each: writes them (the
// newer one with upgrades, rebuilt sizes, removed and added files), then
// times `lumbrel-scan diff` on them and reads its peak memory, against the
// floor of reading both files once (`wc -l`) in the same run.
//
// Usage: bench_inventory_diff LUMBREL_SCAN WORK_FOLDER [ROWS] [RUNS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "cDisk/InventoryFormat.h"
#include "cDisk/ResultFacts.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"

extern char** environ;

namespace {

// Writes an inventory of the default columns plus relpath; `older` false
// gives the changed copy.
void WriteInventory(const std::string& path, const std::vector<std::vector<grid::CellValue>>& rows, bool older)
{
    FactSelection facts = DefaultFactSelection();
    facts.insert(facts.begin(), FindResultFact(kRelativePathKey));
    InventoryHeader header;
    header.root = "/srv/inventory";
    header.program = "bench";
    header.scanned = "2024-01-02T03:04:05Z";
    for (const ResultFact* fact : facts) header.columns.emplace_back(fact->column.key);

    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    grid::formats::FdWriter out(fd);
    out.Write(InventoryHeaderLine(header));
    const auto writer = grid::formats::MakeRowWriter(grid::formats::OutputFormat::Json, {}, out, ColumnsOf(facts));
    std::vector<grid::CellValue> cells;
    auto write = [&](std::size_t i, const std::vector<grid::CellValue>& row, const std::string& name) {
        cells.assign(1, "folder" + std::to_string(i % 400) + "/sub" + std::to_string(i % 5) + "/" + name);
        cells.insert(cells.end(), row.begin(), row.end());
        cells[1] = name;
        writer->Row(cells);
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string name = "component" + std::to_string(i) + ".dll";
        if (older) {
            write(i, rows[i], name);
            continue;
        }
        if (i % 101 == 0) continue; // removed
        std::vector<grid::CellValue> row = rows[i];
        if (i % 50 == 0) row[1] = "13.0.0." + std::to_string(i % 4000); // upgraded
        if (i % 97 == 0) row[2] = platform::FixedDecimal::FromWhole(std::get<platform::FixedDecimal>(row[2]).Whole() + 1);
        write(i, row, name);
    }
    if (!older)
        for (std::size_t i = 0; i < rows.size() / 100; ++i)
            write(i, rows[i], "added" + std::to_string(i) + ".dll");
    out.Flush();
    close(fd);
}

// Runs the command with standard output to /dev/null; returns its processor
// time (user and system), which on a busy machine tells more than the wall
// time.
double RunQuietly(const std::vector<std::string>& command)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The command's peak resident memory, as GNU time reports it into `report`.
// The spawned child's own ru_maxrss cannot be used: posix_spawn starts it in
// this program's memory, and Linux carries that memory's resident peak (the
// rows written above) over exec into the new program's.
std::int64_t PeakBytes(const std::vector<std::string>& command, const std::string& report)
{
    const std::string gnuTime = "/usr/bin/time";
    if (access(gnuTime.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_inventory_diff: GNU time (%s) is needed to read peak memory\n", gnuTime.c_str());
        std::exit(1);
    }
    std::vector<std::string> timed{gnuTime, "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    RunQuietly(timed);
    // The figure is the last word: a failing status is reported before it.
    std::ifstream in(report);
    std::string word;
    for (std::string next; in >> next;) word = next;
    return std::stoll(word) * 1024;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LUMBREL_SCAN WORK_FOLDER [ROWS] [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string scan = argv[1];
    const std::string work = argv[2];
    const std::size_t rowCount = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1000000;
    const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
    std::filesystem::create_directories(work);
    const std::string older = work + "/older.inventory";
    const std::string newer = work + "/newer.inventory";
    {
        const auto rows = bench::MakeRows(rowCount);
        WriteInventory(older, rows, true);
        WriteInventory(newer, rows, false);
    }

    const std::vector<std::string> diff{scan, "diff", "-q", older, newer};
    std::vector<double> cpuSeconds;
    const double diffSeconds =
        bench::MedianSeconds(runs, nullptr, [&] { cpuSeconds.push_back(RunQuietly(diff)); });
    const std::int64_t peakBytes = PeakBytes(diff, work + "/peak.txt");
    std::sort(cpuSeconds.begin(), cpuSeconds.end());
    const double floorSeconds =
        bench::MedianSeconds(runs, nullptr, [&] { RunQuietly({"/usr/bin/wc", "-l", older, newer}); });
    const std::string rows = std::to_string(rowCount);
    bench::PrintFigure("inventory_diff_" + rows + "_rows_seconds", diffSeconds, "s");
    bench::PrintFigure("inventory_diff_" + rows + "_rows_peak_memory", static_cast<double>(peakBytes) / (1 << 20),
                       "MiB");
    bench::PrintFigure("inventory_diff_" + rows + "_rows_cpu_seconds", cpuSeconds[cpuSeconds.size() / 2], "s");
    bench::PrintFigure("inventory_diff_floor_wc_seconds", floorSeconds, "s");
    // Goals: under 5 s and under 1 GiB for a million rows per side.
    bench::PrintRatio("inventory_diff_seconds_over_5s_goal", diffSeconds, 5.0, 1.0);
    bench::PrintRatio("inventory_diff_peak_memory_over_1GiB_goal", static_cast<double>(peakBytes), 1 << 30, 1.0);
    bench::PrintRatio("inventory_diff_time_over_wc_floor", diffSeconds, floorSeconds, 60.0);
    return 0;
}
