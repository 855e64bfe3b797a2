// The per-format text rules of the row writers: tab-separated cleaning, CSV
// quoting, JSON string escaping with UTF-8 repair.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// Appends the text with tabs, CR and LF replaced by spaces; other bytes are
// kept exactly, valid UTF-8 or not.
void AppendTsvField(std::string& out, std::string_view text);

// Appends the text as one RFC 4180 field: quoted (with quotes doubled) when it
// holds a comma, a quote, CR or LF; bytes otherwise kept exactly.
void AppendCsvField(std::string& out, std::string_view text);

// Appends the text as a JSON string, quotes included. Quote and backslash are
// escaped, control characters become \u00XX, and every byte that does not
// belong to a well-formed UTF-8 sequence becomes U+FFFD, so the result is
// always valid UTF-8.
void AppendJsonString(std::string& out, std::string_view text);

// Length of the well-formed UTF-8 sequence starting at text[0] (1 to 4), or 0
// when the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF are not well formed).
std::size_t WellFormedUtf8Length(std::string_view text);

} // namespace cli
