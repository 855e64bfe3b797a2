// The order people expect in a file list: case is ignored, runs of digits
// compare by their value ("file2" before "file10", "6.1.7601" before
// "10.0.1"), and texts equal that way are ordered by their plain bytes, so the
// order is total. Text is UTF-8; invalid bytes are kept as they are and never
// read past the end.
#pragma once

#include <string>
#include <string_view>

namespace grid {

// A key whose plain byte order is the natural order of the texts (before the
// tie-break). Sorting many texts compares precomputed keys instead of
// re-reading the texts.
std::string NaturalSortKey(std::string_view text);
// The same key, appended to out (lets many keys share one buffer).
void AppendNaturalSortKey(std::string& out, std::string_view text);

// Negative, zero or positive; zero only for identical texts.
int CompareNatural(std::string_view left, std::string_view right);

} // namespace grid
