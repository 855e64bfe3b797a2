// Loads a saved inventory: checks its first line, then reads every row into
// a row table. Any fault (not JSON, not an inventory, a newer format, a row
// without one of the columns, a cut last line) gives one message naming the
// file and the line, and no rows: nothing is half-loaded.
#pragma once

#include <string>

#include "cDisk/InventoryFormat.h"
#include "cDisk/RowTable.h"

struct InventoryLoad {
    InventoryHeader header;
    // Columns in the header's order, one row per row line.
    RowTable rows;
    // "FILE:LINE: what is wrong"; empty when the whole file was read.
    std::string error;
};

InventoryLoad LoadInventory(const std::string& path);
