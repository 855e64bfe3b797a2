// Export in a build without the spreadsheet writer: every export fails with a
// message saying so, and nothing is written.
#include "grid/ResultGrid.h"

namespace grid {

void ResultGrid::Export(std::string& /*path*/, int /*format*/, int /*flags*/) const
{
    throw ExportError("this build has no spreadsheet writer");
}

} // namespace grid
