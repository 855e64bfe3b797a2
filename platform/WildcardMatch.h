// Tests a file name against a ";"-separated list of wildcard patterns:
// "*" any run of characters, "?" one character, case ignored, "*.*" matches
// every name, an empty list matches nothing. Linear-time, no allocation.
#pragma once

#include <string_view>

namespace platform {

bool MatchSpec(std::string_view name, std::string_view spec);

} // namespace platform
