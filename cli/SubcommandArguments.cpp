// Subcommand arguments: own flags taken out, operands taken from the end,
// the rest through the scan's parser.
#include "cli/SubcommandArguments.h"

#include <algorithm>

namespace cli {

SubcommandArguments ParseSubcommandArguments(const std::vector<std::string>& arguments,
                                             const std::vector<std::string>& ownFlags, std::size_t operandCount)
{
    SubcommandArguments parsed;
    std::vector<std::string> rest;
    for (const std::string& argument : arguments) {
        if (argument == "-h" || argument == "--help") {
            parsed.help = true;
            return parsed;
        }
        if (std::find(ownFlags.begin(), ownFlags.end(), argument) != ownFlags.end()) parsed.flags.push_back(argument);
        else rest.push_back(argument);
    }
    if (rest.size() < operandCount) {
        parsed.usageError = "missing operand";
        return parsed;
    }
    parsed.operands.assign(rest.end() - static_cast<std::ptrdiff_t>(operandCount), rest.end());
    rest.resize(rest.size() - operandCount);
    const bool optionsEnded = !rest.empty() && rest.back() == "--";
    for (const std::string& operand : parsed.operands)
        if (!optionsEnded && operand.size() > 1 && operand[0] == '-') {
            parsed.usageError = "options come before the operands (found '" + operand + "' among them)";
            return parsed;
        }

    ParseOutcome scan = ParseCommandLine(rest);
    if (!scan.usageError.empty()) {
        parsed.usageError = scan.usageError;
        return parsed;
    }
    if (scan.options.mode != ScanMode::Files || scan.options.inventory)
        parsed.usageError = "--count, --folders, --list-columns, --version and --inventory do not apply here";
    else if (scan.options.startPath != ScanOptions{}.startPath)
        parsed.usageError = "unexpected argument '" + scan.options.startPath + "'";
    parsed.options = std::move(scan.options);
    return parsed;
}

} // namespace cli
