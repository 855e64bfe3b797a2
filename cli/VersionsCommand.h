// lumbrel-scan versions [options] PATH|INVENTORY: every file name that occurs
// more than once with different versions in one tree, highest version first.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The arguments after "versions". Exit status as a scan's: 0 done, 1 the
// folder or inventory could not be read, 2 usage error, 3 output failure,
// 4 some folders could not be read.
int RunVersions(const std::vector<std::string>& arguments);

} // namespace cli
