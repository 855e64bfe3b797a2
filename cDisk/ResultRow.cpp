// Builds one result row from one look at the file: its size, date, version
// block and (only when a chosen fact needs them) digests and image headers
// come from one descriptor, and every cell is read from those.
#include "cDisk/ResultRow.h"

std::vector<grid::CellValue> BuildResultRow(const std::string& folder, const std::string& name,
                                            const FactSelection& facts, std::string_view root)
{
    const FoundFileFacts found{folder, name,
                               VORN_STD_library::ReadFileRowFacts(folder + name, ExtraReadsOf(facts)), root};
    std::vector<grid::CellValue> cells;
    cells.reserve(facts.size());
    for (const ResultFact* fact : facts) cells.push_back(fact->read(found));
    return cells;
}
