// Builds one result row from one look at the file: its size, date, version
// block and (only when a chosen fact needs them) digests and image headers
// come from one descriptor, and every cell is read from those.
#include "cDisk/ResultRow.h"

namespace {

std::vector<grid::CellValue> CellsOf(const FoundFileFacts& found, const FactSelection& facts)
{
    std::vector<grid::CellValue> cells;
    cells.reserve(facts.size());
    for (const ResultFact* fact : facts) cells.push_back(fact->read(found));
    return cells;
}

} // namespace

std::vector<grid::CellValue> BuildResultRow(const std::string& folder, const std::string& name,
                                            const FactSelection& facts, std::string_view root)
{
    return CellsOf(
        {folder, name, VORN_STD_library::ReadFileRowFacts(folder + name, ExtraReadsOf(facts)), root}, facts);
}

std::vector<grid::CellValue> BuildResultRowAt(int folderFd, const std::string& folder, const std::string& name,
                                              const FactSelection& facts, std::string_view root, bool seenRegular)
{
    return CellsOf(
        {folder, name, VORN_STD_library::ReadFileRowFactsAt(folderFd, name, ExtraReadsOf(facts), seenRegular), root},
        facts);
}

FileProperties ReadFileProperties(const std::string& folder, const std::string& name)
{
    FileProperties properties;
    for (const ResultFact& fact : AllResultFacts())
        if (!fact.column.jsonDocument) properties.facts.push_back(&fact);
    const FoundFileFacts found{folder, name,
                               VORN_STD_library::ReadFileRowFacts(folder + name, ExtraReadsOf(properties.facts))};
    properties.cells.reserve(properties.facts.size());
    for (const ResultFact* fact : properties.facts) properties.cells.push_back(fact->read(found));
    if (found.file.version) properties.translations = VORN_STD_library::TranslationTables(*found.file.version);
    return properties;
}
