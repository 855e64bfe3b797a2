// The image headers' facts as a result row shows them: the format, machine
// and subsystem by name, and the link time stamp as a date when it is one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/DateTime.h"
#include "platform/version/ImageHeaders.h"

namespace VORN_STD_library {

// "PE32", "PE32+" or "NE".
std::string ImageFormatText(const platform::version::ImageHeaders& headers);

// The machine by name ("x86", "x64", "ARM64", "ARM (Thumb-2)" ...), "0xNNNN"
// when it is not a known one; empty for an NE image, which names none.
std::string MachineText(const platform::version::ImageHeaders& headers);

// The subsystem by name ("GUI", "Console", "EFI application" ...), "0xNNNN"
// when it is not a known one; empty for an NE image, which names none.
std::string SubsystemText(const platform::version::ImageHeaders& headers);

// The assembly version of a managed image, "major.minor.build.revision";
// empty for a native image.
std::string AssemblyVersionText(const platform::version::ImageHeaders& headers);

// The earliest link time stamp taken for a time: 1990-01-01 00:00:00 UTC.
inline constexpr std::int64_t kEarliestLinkTime = 631152000;
// How far past the file's own modification time a link time may lie (clocks
// of the building and the copying machine disagree): one day.
inline constexpr std::int64_t kLinkTimeSlackSeconds = 24 * 60 * 60;

// The COFF link time stamp as a UTC date-time when it is a plausible time:
// not before kEarliestLinkTime and not more than kLinkTimeSlackSeconds past
// the file's modification time (seconds since 1970 UTC). Anything else, such
// as the 0 or the hash that reproducible builds write, is no time: empty.
// Always empty for an NE image.
std::optional<platform::DateTime> PlausibleLinkTime(const platform::version::ImageHeaders& headers,
                                                    std::int64_t fileModifiedSeconds);

// The link time stamp as its number, "0x1A2B3C4D"; empty for an NE image.
std::string LinkTimeStampText(const platform::version::ImageHeaders& headers);

} // namespace VORN_STD_library
