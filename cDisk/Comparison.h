// Compares two row tables (a saved inventory, a fresh scan) file by file:
// rows are matched by their match key (see MatchKeys.h) in one hash join,
// and each file gets one change kind. Holds no copy of either table: the
// result refers to rows by their index.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cDisk/MatchKeys.h"
#include "cDisk/RowTable.h"

enum class ChangeKind : std::uint8_t {
    Added,      // only in the newer table
    Removed,    // only in the older table
    Upgraded,   // higher version
    Downgraded, // lower version
    Rebuilt,    // same version, other content (hash, else size)
    Changed,    // same version and content, other facts differ
    Same,
};
inline constexpr std::size_t kChangeKindCount = 7;

// "Added", "Removed", ... as shown to users.
std::string_view ChangeKindName(ChangeKind kind);

inline constexpr std::uint32_t kNoRow = UINT32_MAX;

// A column both tables carry and that is compared: every common column but
// the folder and the date, which a copy or a fresh build changes without
// changing the file, and, when matching by name, the relative path.
struct ComparedColumn {
    std::string key;
    std::size_t older;
    std::size_t newer;
};

// Whether a column of this key is compared under the rules.
bool IsComparedColumn(std::string_view key, const MatchRules& rules);

struct RowChange {
    ChangeKind kind;
    std::uint32_t older = kNoRow; // row of the older table; kNoRow when added
    std::uint32_t newer = kNoRow; // row of the newer table; kNoRow when removed
    // Where this change's differing columns lie in Comparison::differing.
    std::uint32_t differingStart = 0;
    std::uint32_t differingCount = 0;
};

struct Comparison {
    std::vector<ComparedColumn> columns;
    // In the order of their match keys.
    std::vector<RowChange> changes;
    // Indexes into `columns` of the columns whose values differ, per change.
    std::vector<std::uint16_t> differing;
    // The number of files of each kind, Same included even when its rows
    // were not kept.
    std::array<std::uint64_t, kChangeKindCount> counts{};
    // A table without the relative-path column cannot be compared; this says
    // which one. Empty when the comparison was made.
    std::string error;

    std::span<const std::uint16_t> Differing(const RowChange& change) const
    {
        return std::span(differing).subspan(change.differingStart, change.differingCount);
    }
    // Any file that is not Same.
    bool AnyDifference() const;
};

// Matches the rows of `older` and `newer` and names each change. Rows of
// unchanged files are kept only with keepSame. Where several rows share a
// key (the same name in several folders with byName), they pair up in table
// order.
Comparison CompareRowTables(const RowTable& older, const RowTable& newer, const MatchRules& rules, bool keepSame);
