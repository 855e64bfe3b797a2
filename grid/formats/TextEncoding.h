// The per-format text rules of the row writers: tab-separated escaping, CSV
// quoting and its guard against spreadsheet formulas, and the visible escaping of control characters for a
// terminal.
#pragma once

#include <string>
#include <string_view>

#include "platform/Utf8Text.h"

namespace grid::formats {

// Appends the text with backslash, tab, CR and LF written as \\, \t, \r and
// \n; other bytes are kept exactly, valid UTF-8 or not, so every value can be
// turned back into its exact bytes.
void AppendTsvField(std::string& out, std::string_view text);

// Appends the text as AppendTsvField does, and further writes every other
// control character (C0, DEL and the C1 range U+0080..U+009F) and every byte
// that is not part of well-formed UTF-8 as \xNN, so that nothing in it can
// act on a terminal.
void AppendTerminalSafe(std::string& out, std::string_view text);

// Whether a spreadsheet would read the text as the start of a formula: it
// begins with "=", "+", "-", "@", a tab or a CR.
bool StartsSpreadsheetFormula(std::string_view text);

// Appends the text as one RFC 4180 field: quoted (with quotes doubled) when it
// holds a comma, a quote, CR or LF; bytes otherwise kept exactly.
void AppendCsvField(std::string& out, std::string_view text);

// JSON strings and the UTF-8 checks, shared with the fact catalogue.
using platform::AppendJsonString;
using platform::IsC1Control;
using platform::WellFormedUtf8Length;

} // namespace grid::formats
