// Messages and the output target of the subcommands.
#include "cli/CommandOutput.h"

#include <cstring>
#include <unistd.h>

#include "grid/formats/TextEncoding.h"
#include "platform/TemporaryFile.h"

namespace cli {
namespace {

constexpr int kStdout = 1;
constexpr int kStderr = 2;

} // namespace

void ReportError(const std::string& message)
{
    grid::formats::FdWriter err(kStderr);
    err.Write("lumbrel-scan: " + message + "\n");
    err.Flush();
}

std::string ShownInMessage(const std::string& text)
{
    static const bool terminal = isatty(kStderr) != 0;
    if (!terminal) return text;
    std::string shown;
    grid::formats::AppendTerminalSafe(shown, text);
    return shown;
}

std::string QuotedForMessage(const std::string& text)
{
    return "'" + ShownInMessage(text) + "'";
}

std::string CutValuesWarning(std::uint64_t count, grid::formats::OutputFormat format)
{
    return "warning: " + std::to_string(count) + (count == 1 ? " value was" : " values were") +
           " longer than the 32,767 characters an " + std::string(grid::formats::InfoOf(format).key) +
           " cell holds and cut to fit";
}

CommandOutput::CommandOutput(const std::string& outputPath)
    : path_(outputPath), file_(outputPath.empty() ? nullptr : std::make_unique<OutputFile>(outputPath)),
      toTerminal_(outputPath.empty() && isatty(kStdout) != 0), writer_(file_ ? file_->Fd() : kStdout)
{
    if (file_) platform::RemoveTemporaryFilesOnSignals();
}

bool CommandOutput::Opened()
{
    if (!file_ || file_->Ok()) return true;
    ReportError("cannot open output file " + QuotedForMessage(path_) + ": " + std::strerror(file_->Error()));
    return false;
}

bool CommandOutput::Finish()
{
    if (writer_.Flush() && file_ && !file_->Finish()) writer_.Fail(file_->Error());
    if (!writer_.Failed() || (!file_ && writer_.ReaderGone())) return true;
    const std::string target = file_ ? QuotedForMessage(path_) : "standard output";
    ReportError("cannot write to " + target + ": " + std::strerror(writer_.Error()));
    return false;
}

} // namespace cli
