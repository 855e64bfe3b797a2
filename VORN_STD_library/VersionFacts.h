// Facts of a version resource beyond its plain strings, as short texts: the
// fixed record's product version, flags, target system and file type decoded
// by name, and two findings that compare the resource with itself and with
// the file. Each is the empty text when the resource lacks what it needs.
#pragma once

#include <string>
#include <string_view>

#include "platform/version/VersionInfo.h"

namespace VORN_STD_library {

// "major.minor.build.revision" of the fixed product version, always four
// numbers.
std::string FixedProductVersionText(const platform::FixedFileInfo& fixed);

// The flags set and not masked out, by name, joined with "|": Debug,
// Prerelease, Patched, PrivateBuild, InfoInferred, SpecialBuild.
std::string FileFlagsText(const platform::FixedFileInfo& fixed);

// The system the file was made for: "NT (Windows32)", "Windows32",
// "DOS (Windows16)"; the value in hexadecimal when a part is not a known one.
std::string FileOsText(const platform::FixedFileInfo& fixed);

// The file type with its driver or font subtype: "DLL", "Driver (Printer)";
// the value in hexadecimal when it is not a known one.
std::string FileTypeText(const platform::FixedFileInfo& fixed);

// "yes" when the FileVersion text does not name the fixed file version, "no"
// when it does: its leading numbers, separated by "." or "," (spaces after a
// comma allowed), equal the four fixed numbers, missing trailing numbers
// counting as 0; whatever follows the numbers is ignored. Empty when the text
// is empty.
std::string VersionMismatchText(std::string_view fileVersionText, const platform::FixedFileInfo& fixed);

// "yes" when the original file name differs from the file's name, "no" when
// not, comparing without regard to ASCII case and a trailing ".mui"; empty
// when there is no original name.
std::string RenamedText(std::string_view originalName, std::string_view fileName);

} // namespace VORN_STD_library
