// The per-format text rules of the row writers: tab-separated escaping, CSV
// quoting and its guard against spreadsheet formulas, JSON string escaping
// with UTF-8 repair, and the visible escaping of control characters for a
// terminal.
#pragma once

#include <string>
#include <string_view>

namespace cli {

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

// Appends the text as a JSON string, quotes included. Quote and backslash are
// escaped, control characters become \u00XX, and every byte that does not
// belong to a well-formed UTF-8 sequence becomes U+FFFD, so the result is
// always valid UTF-8. With escapeC1 the C1 controls U+0080..U+009F are
// written as \u00XX too (for a terminal).
void AppendJsonString(std::string& out, std::string_view text, bool escapeC1 = false);

// Length of the well-formed UTF-8 sequence starting at text[0] (1 to 4), or 0
// when the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF are not well formed).
std::size_t WellFormedUtf8Length(std::string_view text);

// Whether a well-formed sequence is one of the C1 controls U+0080..U+009F.
bool IsC1Control(std::string_view sequence);

} // namespace cli
