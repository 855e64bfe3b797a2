// Readable names of the language identifiers (LANGIDs) that translation
// tables carry: "English (United States)", "German (Germany)".
#pragma once

#include <cstdint>
#include <string>

namespace VORN_STD_library {

// The language's name with its region; for a region not in the table, the
// name of its primary language alone ("English" for 0x7C09); "Language
// Neutral" for the neutral primary language; "0xNNNN" when the primary
// language is not a known one either.
std::string LanguageName(std::uint16_t langId);

} // namespace VORN_STD_library
