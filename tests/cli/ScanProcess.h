// Runs the built lumbrel-scan as a child process with chosen standard
// descriptors and environment, and collects what it wrote.
#pragma once

#include <string>
#include <vector>

namespace clitest {

struct ProcessResult {
    int exitStatus = -1; // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

struct ProcessSetup {
    // TZ of the child; LC_ALL is always C.
    std::string timeZone = "UTC";
    // When >= 0, the child's standard output (or error) is this descriptor and
    // nothing is collected from it.
    int stdoutFd = -1;
    int stderrFd = -1;
    // The child starts with standard output closed.
    bool closeStdout = false;
    // Collect only this many lines of standard output, then close the read
    // end while the child may still be writing (a reader that stops early);
    // 0 closes it before the child starts.
    int stopReadingAfterLines = -1;
    // When > 0, the most descriptors the child may have open.
    unsigned openFileLimit = 0;
};

ProcessResult RunScan(const std::vector<std::string>& arguments, const ProcessSetup& setup = {});

// A pseudo-terminal: the child gets `terminal` as a descriptor, the test reads
// what arrived from `controller`.
struct PseudoTerminal {
    PseudoTerminal();
    ~PseudoTerminal();
    // Everything written to the terminal so far.
    std::string Drain();
    int controller = -1;
    int terminal = -1;
};

} // namespace clitest
