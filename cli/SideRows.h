// One side of a comparison (or the subject of the versions report): a folder,
// scanned now with the scan's filter options into a compact row table, or a
// saved inventory, loaded and checked.
#pragma once

#include <string>

#include "cDisk/InventoryReader.h"
#include "cDisk/ResultFacts.h"
#include "cDisk/RowTable.h"
#include "cli/ScanOptions.h"

namespace cli {

struct SideRows {
    RowTable rows;
    // Nothing could be loaded; a message has been printed.
    bool failed = false;
    // A folder scan passed over folders it could not read (each named on
    // standard error); the rows are incomplete.
    bool someFoldersUnreadable = false;
};

// `operand` is a folder or an inventory file. A folder is scanned with the
// options' filters for `facts` (the relative path is added when missing);
// each row goes into the table as it is found, so the rows are held once.
// Only the columns `keep` accepts (and the relative path) are held. The
// progress line is shown on a terminal unless the options say quiet.
SideRows LoadSideRows(const std::string& operand, const ScanOptions& options, FactSelection facts,
                      const ColumnFilter& keep);

// Whether the operand names a folder (else it is taken for an inventory).
bool IsFolderOperand(const std::string& operand);

} // namespace cli
