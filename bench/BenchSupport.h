// Shared pieces of the benchmark programs: a reproducible set of result rows,
// the median of repeated timings, the resident memory of the process, and the
// one output line format scripts/bench collects ("RATIO <name> <value>
// <goal>" and "FIGURE <name> <value> <unit>").
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "grid/CellValue.h"
#include "platform/DateTime.h"
#include "platform/FixedDecimal.h"

namespace bench {

// Rows that look like a real inventory: names with digits (natural order
// matters), repeated versions and companies, sizes up to 64 MiB, dates over
// twenty years, a few hundred folders. Each row holds the cells of the
// default columns, in their order.
// Makes the rows of MakeRows one at a time, as a search finds them.
class RowMaker {
public:
    explicit RowMaker(std::uint32_t seed = 20240607) : random_(seed) {}

    // The cells of row `i`.
    std::vector<grid::CellValue> Next(std::size_t i)
    {
        static const char* const extensions[] = {".dll", ".exe", ".ocx"};
        static const char* const companies[] = {"Example Software", "Widget Works Ltd.", "Northwind Tools", ""};
        std::vector<grid::CellValue> row;
        row.reserve(8);
        row.emplace_back("component" + std::to_string(random_() % 100000) + "_" + std::to_string(i % 7) +
                         extensions[random_() % 3]);
        row.emplace_back(std::to_string(random_() % 12) + "." + std::to_string(random_() % 10) + ".0." +
                         std::to_string(random_() % 4000));
        row.emplace_back(platform::FixedDecimal::FromWhole(static_cast<std::int64_t>(random_() % (64u << 20))));
        row.emplace_back(
            platform::DateTime::FromUnixUtc(946684800 + static_cast<std::int64_t>(random_() % 631152000)));
        row.emplace_back("/srv/inventory/folder" + std::to_string(random_() % 400) + "/sub" + std::to_string(i % 5) +
                         "/");
        row.emplace_back("Component " + std::to_string(i % 977) + " of the suite");
        row.emplace_back("Product line " + std::to_string(i % 31));
        row.emplace_back(std::string(companies[random_() % 4]));
        return row;
    }

private:
    std::mt19937 random_;
};

inline std::vector<std::vector<grid::CellValue>> MakeRows(std::size_t count, std::uint32_t seed = 20240607)
{
    RowMaker maker(seed);
    std::vector<std::vector<grid::CellValue>> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) rows.push_back(maker.Next(i));
    return rows;
}

// Median wall time in seconds of `runs` calls; setup runs before each call
// and is not timed.
inline double MedianSeconds(int runs, const std::function<void()>& setup, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup) setup();
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// CPU seconds the process has used (user and system), from
// CLOCK_PROCESS_CPUTIME_ID.
inline double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Resident set size in bytes, from /proc/self/statm.
inline std::int64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::int64_t totalPages = 0, residentPages = 0;
    statm >> totalPages >> residentPages;
    return residentPages * 4096;
}

inline void PrintFigure(const std::string& name, double value, const std::string& unit)
{
    std::printf("FIGURE %s %.4g %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

// ratio = ours / peer for times; the goal is the largest acceptable ratio.
inline void PrintRatio(const std::string& name, double ours, double peer, double goal)
{
    std::printf("RATIO %s %.3f %.3f\n", name.c_str(), ours / peer, goal);
    std::fflush(stdout);
}

} // namespace bench
