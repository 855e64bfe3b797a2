// The one list of output formats that every front end picks from: the
// command line's --format, the window's Save as and the comparison report.
// Each entry gives the key, the usual file extension, a caption for a file
// dialog's filter and whether the bytes are binary.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace grid::formats {

enum class OutputFormat { Tsv, Csv, Json, Xls, Xlsx, CycloneDx };

struct FormatInfo {
    OutputFormat format;
    // As given to --format: "tsv", "xlsx", "cyclonedx".
    const char* key;
    // Without the dot: "tsv", "xlsx", "cdx.json".
    const char* extension;
    // For a file dialog's filter: "Excel workbook".
    const char* caption;
    // Binary output (a workbook) is never written to a terminal.
    bool binary;
    // The format holds file rows only, not the --count summary or the
    // --folders list.
    bool fileRowsOnly;
};

// Every format, in the order they are offered.
std::span<const FormatInfo> AllFormats();

// The format with the key, or nullptr.
const FormatInfo* FindFormat(std::string_view key);

// The entry of a format.
const FormatInfo& InfoOf(OutputFormat format);

// The keys for a message or help text: "tsv, csv, json or xls".
std::string FormatKeyList();

} // namespace grid::formats
