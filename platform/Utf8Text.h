// Well-formed UTF-8 and the JSON string encoding built on it: what every
// writer of JSON text uses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

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

} // namespace platform
