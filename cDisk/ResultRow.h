// The one builder of a result row: the window and the command line both build
// their rows here, so both show exactly the same facts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "VORN_STD_library/VersionStrings.h"
#include "cDisk/ResultFacts.h"
#include "grid/CellValue.h"

// The cells of the selected facts, in selection order, for the file
// folder + name (folder ends in "/"). The file is looked at and opened once
// for the whole row; a file that has vanished gets empty cells for what can
// no longer be read. `root` is the search's start folder (ending in "/") that
// relative paths start from.
std::vector<grid::CellValue> BuildResultRow(const std::string& folder, const std::string& name,
                                            const FactSelection& facts, std::string_view root = {});
// The same, with the file looked up by its name in the folder open at
// `folderFd` (the folder whose path is `folder`) instead of by its whole path;
// `seenRegular` as for VORN_STD_library::ReadFileRowFactsAt.
std::vector<grid::CellValue> BuildResultRowAt(int folderFd, const std::string& folder, const std::string& name,
                                              const FactSelection& facts, std::string_view root = {},
                                              bool seenRegular = false);

// Everything known of one file, from one look at it: every fact of the
// catalogue that makes a cell, in catalogue order, and every translation's
// string table.
struct FileProperties {
    FactSelection facts;
    std::vector<grid::CellValue> cells;
    std::vector<VORN_STD_library::TranslationTable> translations;
};
FileProperties ReadFileProperties(const std::string& folder, const std::string& name);
