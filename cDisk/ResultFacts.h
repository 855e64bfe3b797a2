// The catalogue of facts a result row can show about a found file. Each fact
// has its stable key (the JSON key), its column's look (caption, width, data
// type, alignment, format) and how its cell is read from the facts gathered
// once per file. A row is the cells of a selection of facts, in selection
// order; the default selection is the result table's eight columns.
#pragma once

#include <string>
#include <string_view>
#include <span>
#include <vector>

#include "VORN_STD_library/FileFacts.h"
#include "grid/CellValue.h"
#include "grid/ResultColumns.h"

// What is known of one found file when its row is built: its folder (ending
// in "/"), its name, what one look at the file gave and the search's start
// folder (ending in "/"; empty when unknown), which relative paths start from.
struct FoundFileFacts {
    const std::string& folder;
    const std::string& name;
    VORN_STD_library::FileRowFacts file;
    std::string_view root = {};
};

struct ResultFact {
    // column.key is the fact's stable key.
    grid::ResultColumn column;
    grid::CellValue (*read)(const FoundFileFacts& found);
    // The fact needs the file's digests, which read the whole file.
    bool readsDigests = false;
    // The fact needs the image headers, which the default row does not read.
    bool readsHeaders = false;
    // The fact needs the image's signatures, which read the whole file.
    bool readsSignatures = false;
};

// The facts chosen for a row, in column order.
using FactSelection = std::vector<const ResultFact*>;

// Every fact, the default ones first in their column order.
std::span<const ResultFact> AllResultFacts();

// The fact with this key; null when there is none.
const ResultFact* FindResultFact(std::string_view key);

// The result table's columns: filename, version, size, date, path, desc,
// product, company.
const FactSelection& DefaultFactSelection();

// Every fact in catalogue order.
FactSelection EveryFact();

// The facts named by a comma-separated list of keys, in list order. On an
// unknown, empty or repeated key, `error` names it and the selection is empty.
struct FactListParse {
    FactSelection facts;
    std::string error;
};
FactListParse SelectFacts(std::string_view keyList);

// What the selected facts need read beyond the size, time and version block.
VORN_STD_library::ExtraRowReads ExtraReadsOf(const FactSelection& facts);

// The column descriptions of the selected facts, in order.
std::vector<grid::ResultColumn> ColumnsOf(const FactSelection& facts);
