// Sorts the rows by folded file name and version, then keeps each name's
// rows when their versions are not all the same.
#include "cDisk/SeveralVersions.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "cDisk/InventoryFormat.h"
#include "cDisk/MatchKeys.h"
#include "cDisk/VersionOrder.h"

SeveralVersionsReport FilesWithSeveralVersions(const RowTable& table)
{
    SeveralVersionsReport report;
    const auto relativePath = table.ColumnIndex(kRelativePathKey);
    if (!relativePath) {
        report.error = "the rows have no \"" + std::string(kRelativePathKey) + "\" column";
        return report;
    }
    const std::optional<std::size_t> fixed = table.ColumnIndex("version");
    const std::optional<std::size_t> text = table.ColumnIndex("fileversion");
    auto versionOf = [&](std::uint32_t row) -> std::string_view {
        std::string_view version = fixed ? table.Cell(row, *fixed) : std::string_view();
        if (version.empty() && text) version = table.Cell(row, *text);
        return version;
    };

    const MatchKeys names(table, *relativePath, MatchRules{.caseSensitive = false, .byName = true});
    std::vector<std::uint32_t> order(table.RowCount());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t left, std::uint32_t right) {
        if (const int byName = names.Key(left).compare(names.Key(right)); byName != 0) return byName < 0;
        if (const int byVersion = CompareVersions(versionOf(left), versionOf(right)); byVersion != 0)
            return byVersion > 0;
        return table.Cell(left, *relativePath) < table.Cell(right, *relativePath);
    });

    for (std::size_t first = 0; first < order.size();) {
        std::size_t end = first + 1;
        while (end < order.size() && names.Key(order[end]) == names.Key(order[first])) ++end;
        // Sorted highest first: the versions differ when the first and last do.
        if (CompareVersions(versionOf(order[first]), versionOf(order[end - 1])) != 0)
            report.rows.insert(report.rows.end(), order.begin() + static_cast<std::ptrdiff_t>(first),
                               order.begin() + static_cast<std::ptrdiff_t>(end));
        first = end;
    }
    return report;
}
