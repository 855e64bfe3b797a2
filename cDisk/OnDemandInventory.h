// Inventory loading reached through the on-demand module
// (platform/OnDemandModule.h), which holds LoadInventory and its JSON parser,
// so that parser is loaded only when an inventory is read.
#pragma once

#include <string>

#include "cDisk/InventoryReader.h"

namespace on_demand {

InventoryLoad LoadInventory(const std::string& path, const ColumnFilter& keep = {});

} // namespace on_demand

// The module's entry point, declared once for both sides.
extern "C" InventoryLoad lumbrel_ondemand_load_inventory(const std::string& path, const ColumnFilter& keep);
