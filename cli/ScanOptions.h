// The options of lumbrel-scan and their parser. Parsing only reads the
// argument list; it touches no file and prints nothing, so every usage error
// comes back as a message for the caller to print.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cDisk/ResultFacts.h"
#include "grid/formats/OutputFormat.h"
#include "platform/FixedDecimal.h"

namespace cli {

using grid::formats::OutputFormat;

enum class ScanMode {
    Files,   // one row per matching file
    Count,   // the count of matching files and their byte total
    Folders, // one line per matching folder
    Help,
    Version,
    ListColumns, // the keys and captions of every column
};

struct ScanOptions {
    static constexpr const char* kDefaultFileFilter = "*.exe;*.ocx;*.dll";
    // Folder names rarely end in ".exe", so listing folders takes every name
    // unless a filter is given.
    static constexpr const char* kDefaultFolderFilter = "*";

    ScanMode mode = ScanMode::Files;
    std::string startPath = ".";
    // Empty optional: no -f given; the mode's default applies.
    std::optional<std::string> includeSpec;
    std::string excludeSpec;
    bool recurse = true;
    // Zero means "no limit", as the engine reads its limits.
    platform::FixedDecimal minSize;
    platform::FixedDecimal maxSize;
    OutputFormat format = OutputFormat::Tsv;
    // Empty: standard output.
    std::string outputPath;
    bool quiet = false;
    // Enter folders whose names begin with "." too.
    bool hidden = false;
    // csv: write values exactly, even those a spreadsheet would run as
    // formulas.
    bool csvRaw = false;
    // The columns of a file row, in order.
    FactSelection columns = DefaultFactSelection();

    // The include list in effect for the chosen mode.
    std::string EffectiveIncludeSpec() const;
};

struct ParseOutcome {
    ScanOptions options;
    // Empty when the command line was understood.
    std::string usageError;
};

// Parses the arguments after the program name.
ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments);

// Reads a byte count such as "4096", "64K", "3M" or "2G" (binary multiples).
// Empty optional when the text is not a non-negative count or is larger than
// 2^63 - 1 bytes.
std::optional<platform::FixedDecimal> ParseByteCount(const std::string& text);

// The text printed by --help.
std::string UsageText();

} // namespace cli
