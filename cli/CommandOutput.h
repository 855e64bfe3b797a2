// What the diff and versions subcommands share: messages on standard error
// and the output target (standard output, or -o FILE put in place only when
// the whole output is written).
#pragma once

#include <memory>
#include <string>

#include "cli/OutputFile.h"
#include "grid/formats/FdWriter.h"

namespace cli {

// "lumbrel-scan: message" on standard error.
void ReportError(const std::string& message);
// A path or name inside a message: escaped on a terminal, exact otherwise.
std::string QuotedForMessage(const std::string& text);
// A message that holds names from files: escaped on a terminal, exact
// otherwise.
std::string ShownInMessage(const std::string& text);

class CommandOutput {
public:
    // Empty path: standard output.
    explicit CommandOutput(const std::string& outputPath);

    // False (after a message) when the -o file could not be opened.
    bool Opened();
    grid::formats::FdWriter& Writer() { return writer_; }
    // Rows go to a terminal.
    bool ToTerminal() const { return toTerminal_; }
    // Flushes and puts the file in place. False (after a message) when the
    // output could not be written; a reader that stopped early is no failure.
    bool Finish();

private:
    std::string path_;
    std::unique_ptr<OutputFile> file_;
    bool toTerminal_;
    grid::formats::FdWriter writer_;
};

} // namespace cli
