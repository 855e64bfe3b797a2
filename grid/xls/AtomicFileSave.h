// Saving a file so that its final name never shows partial content: the bytes
// go to a temporary file in the same folder, which is renamed to the final
// name only once it is complete and flushed to disk.
#pragma once

#include <functional>
#include <string>

#include "grid/xls/ByteSink.h"

namespace grid::xls {

// Calls write with a sink into a fresh temporary file next to path, then moves
// that file to path. With replaceExisting false an existing file at path is
// never replaced and the save fails. On any failure the temporary file is
// removed, false is returned and error reads `Cannot save "<path>": <cause>`.
// write returns false when the sink reported a failure.
bool SaveAtomically(const std::string& path, bool replaceExisting, const std::function<bool(ByteSink&)>& write,
                    std::string& error);

} // namespace grid::xls
