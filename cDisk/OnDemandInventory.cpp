// Looks the entry point up once and then calls straight through.
#include "cDisk/OnDemandInventory.h"

#include "platform/OnDemandModule.h"

namespace on_demand {

InventoryLoad LoadInventory(const std::string& path, const ColumnFilter& keep)
{
    static auto* const entry =
        platform::OnDemandFunction<decltype(lumbrel_ondemand_load_inventory)>("lumbrel_ondemand_load_inventory");
    return entry(path, keep);
}

} // namespace on_demand
