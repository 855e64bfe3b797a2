// Tests a file name against a ";"-separated list of wildcard patterns:
// "*" any run of characters, "?" one character, case ignored, "*.*" matches
// every name, an empty list matches nothing. Linear-time, no allocation.
#pragma once

#include <string_view>

namespace platform {

// Leading spaces of each pattern are skipped; a name matches when any
// pattern matches it. When name and pattern are valid UTF-8, "?" stands for
// one character and case folding covers Latin, Greek and Cyrillic letters;
// otherwise they are compared byte by byte with ASCII case folding.
bool MatchSpec(std::string_view name, std::string_view spec);

// Equality of two texts under the same case folding as MatchSpec.
bool EqualsIgnoringCase(std::string_view left, std::string_view right);

} // namespace platform
