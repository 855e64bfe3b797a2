// lumbrel-scan diff [options] OLD NEW: what changed between two trees or
// saved inventories, one row per changed file, in any scan format.
#pragma once

#include <string>
#include <vector>

namespace cli {

enum DiffStatus : int {
    kDiffSame = 0,        // no differences
    kDiffDifferent = 1,   // differences found
    kDiffTrouble = 2,     // usage error, unreadable side or output failure
};

// The arguments after "diff".
int RunDiff(const std::vector<std::string>& arguments);

} // namespace cli
