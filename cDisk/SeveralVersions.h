// Which copy of a file wins: every file name (ignoring case) that occurs more
// than once in one table with different versions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cDisk/RowTable.h"

struct SeveralVersionsReport {
    // The rows of those files, grouped by name in name order; in a group the
    // highest version first, then by relative path.
    std::vector<std::uint32_t> rows;
    // Without a relative-path column there are no names to group by.
    std::string error;
};

// A file's version is its fixed version, else its FileVersion text when the
// table has that column; a file without either counts as the lowest version.
SeveralVersionsReport FilesWithSeveralVersions(const RowTable& table);
