// Loads a saved inventory: checks its first line, then reads every row into
// a row table. Any fault (not JSON, not an inventory, a newer format, a row
// without one of the columns, a cut last line) gives one message naming the
// file and the line, and no rows: nothing is half-loaded.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "cDisk/InventoryFormat.h"
#include "cDisk/RowTable.h"

struct InventoryLoad {
    InventoryHeader header;
    // Columns in the header's order, one row per row line.
    RowTable rows;
    // "FILE:LINE: what is wrong"; empty when the whole file was read.
    std::string error;
};

// Whether a column is to be held; the others are checked but not kept.
using ColumnFilter = std::function<bool(std::string_view key)>;

// Without a filter every column is held.
InventoryLoad LoadInventory(const std::string& path, const ColumnFilter& keep = {});
