// The order of versions: a fixed version ("6.1.7601.17514", "1.0.0000") is
// compared number by number, never as text, so 6.1.65535 is above 6.1.7601;
// a version text (a FileVersion string such as "5.2 beta 3") compares its
// runs of digits by value and the rest ignoring case.
#pragma once

#include <string_view>

// Negative, zero or positive. Missing trailing numbers count as 0, so
// "1.2" equals "1.2.0.0". Texts that are not dot-separated numbers compare
// as version texts.
int CompareVersions(std::string_view left, std::string_view right);

// Negative, zero or positive: runs of digits by value, other characters
// ignoring case; zero for texts that differ only in case or leading zeros.
int CompareVersionTexts(std::string_view left, std::string_view right);
