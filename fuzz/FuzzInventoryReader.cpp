// Fuzz entry for the inventory reader: the input as a saved inventory file
// (through a memory file, so the reader's own file reading is exercised),
// loaded once keeping every column and once keeping only the first. A load
// either fails with a message and holds no rows, or holds rows whose every
// cell can be read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#include "cDisk/InventoryReader.h"
#include "platform/UniqueFd.h"

namespace {

void Check(const InventoryLoad& load)
{
    if (!load.error.empty()) {
        if (load.rows.RowCount() != 0) __builtin_trap();
        return;
    }
    for (std::size_t row = 0; row < load.rows.RowCount(); ++row)
        for (std::size_t column = 0; column < load.rows.Columns().size(); ++column)
            (void)load.rows.Cell(row, column);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const platform::UniqueFd file(::memfd_create("inventory", MFD_CLOEXEC));
    if (!file || ::write(file.Get(), data, size) != static_cast<ssize_t>(size))
        return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(file.Get());
    Check(LoadInventory(path));
    bool first = true;
    Check(LoadInventory(path, [&first](std::string_view) { return std::exchange(first, false); }));
    return 0;
}
