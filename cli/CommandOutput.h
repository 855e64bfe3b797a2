// What the scan and its diff and versions subcommands share: messages on standard error
// and the output target (standard output, or -o FILE put in place only when
// the whole output is written).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cli/OutputFile.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/OutputFormat.h"

namespace cli {

// "lumbrel-scan: message" on standard error.
void ReportError(const std::string& message);
// A path or name inside a message: escaped on a terminal, exact otherwise.
std::string QuotedForMessage(const std::string& text);
// A message that holds names from files: escaped on a terminal, exact
// otherwise.
std::string ShownInMessage(const std::string& text);
// The warning for values cut to fit the cells of a workbook format.
std::string CutValuesWarning(std::uint64_t count, grid::formats::OutputFormat format);

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
