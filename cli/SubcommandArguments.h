// Splits a subcommand's arguments into its own flags, its operands (the last
// arguments) and the scan options before them, parsed as a scan parses them.
#pragma once

#include <string>
#include <vector>

#include "cli/ScanOptions.h"

namespace cli {

struct SubcommandArguments {
    ScanOptions options;
    std::vector<std::string> operands;
    // The subcommand's own flags that were given.
    std::vector<std::string> flags;
    bool help = false;
    // Empty when the arguments were understood.
    std::string usageError;
};

// `ownFlags` are flags without values the subcommand takes anywhere;
// `operandCount` operands must end the arguments. Scan options that make no
// sense for a subcommand (--count, --folders, --inventory, a start folder)
// are usage errors.
SubcommandArguments ParseSubcommandArguments(const std::vector<std::string>& arguments,
                                             const std::vector<std::string>& ownFlags, std::size_t operandCount);

} // namespace cli
