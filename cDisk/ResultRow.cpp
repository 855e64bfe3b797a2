// Builds one result row from one look at the file: its size, date, version
// block and (only when a chosen fact needs them) digests and image headers
// come from one descriptor, and every cell is read from those.
#include "cDisk/ResultRow.h"

std::vector<grid::CellValue> BuildResultRow(const std::string& folder, const std::string& name,
                                            const FactSelection& facts)
{
    const FoundFileFacts found{folder, name,
                               VORN_STD_library::ReadFileRowFacts(folder + name, ExtraReadsOf(facts))};
    std::vector<grid::CellValue> cells;
    cells.reserve(facts.size());
    for (const ResultFact* fact : facts) cells.push_back(fact->read(found));
    return cells;
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
