// The keys files are matched by when two inventories are compared: the
// path relative to the root, or the bare file name, ignoring case with the
// platform's folding unless told otherwise. Keys of a whole table are built
// once into one buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cDisk/RowTable.h"

struct MatchRules {
    // Names differing only in case are different files.
    bool caseSensitive = false;
    // Match by the bare file name, for trees whose folders were renamed or
    // moved.
    bool byName = false;
};

// The match key of every row of a table, from its relative-path column.
class MatchKeys {
public:
    MatchKeys(const RowTable& rows, std::size_t relativePathColumn, const MatchRules& rules);

    std::size_t Count() const { return ends_.size(); }
    std::string_view Key(std::size_t row) const
    {
        const std::uint64_t start = row == 0 ? 0 : ends_[row - 1];
        return std::string_view(text_).substr(start, ends_[row] - start);
    }

private:
    std::string text_;
    std::vector<std::uint64_t> ends_;
};

// The name part of a relative path: what follows its last "/".
std::string_view BareFileName(std::string_view relativePath);
