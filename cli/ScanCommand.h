// The whole lumbrel-scan program behind main(): parses the arguments, runs the
// chosen search with the engine and writes the results, and returns the exit
// status.
#pragma once

#include <string>
#include <vector>

namespace cli {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitStartFolder = 1, // start folder missing or unreadable, or the scan failed
    kExitUsage = 2,
    kExitOutput = 3,      // the output could not be written
    kExitUnreadable = 4,  // finished, but some folders could not be read
};

// Writes results to file descriptor 1 (or the -o file) and messages and the
// progress line to descriptor 2. Ignores SIGPIPE for the rest of the process;
// SIGINT, SIGTERM and SIGHUP remove an unfinished -o file before ending it.
int RunLumbrelScan(const std::vector<std::string>& arguments);

} // namespace cli
