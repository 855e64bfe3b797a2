// Names of the image header codes and the link time stamp rule.
#include "VORN_STD_library/ImageFacts.h"

#include <cstdio>

namespace VORN_STD_library {
namespace {

using platform::version::ImageFormat;
using platform::version::ImageHeaders;

struct CodeName {
    std::uint16_t code;
    const char* name;
};

constexpr CodeName kMachines[] = {
    {0x014C, "x86"},           {0x8664, "x64"},   {0xAA64, "ARM64"},     {0xA641, "ARM64EC"},
    {0x01C0, "ARM"},           {0x01C2, "Thumb"}, {0x01C4, "ARM (Thumb-2)"}, {0x0200, "IA64"},
    {0x5032, "RISC-V 32-bit"}, {0x5064, "RISC-V 64-bit"},
};

constexpr CodeName kSubsystems[] = {
    {1, "Native"},
    {2, "GUI"},
    {3, "Console"},
    {5, "OS/2 console"},
    {7, "POSIX"},
    {8, "Native Windows 9x driver"},
    {9, "Windows CE GUI"},
    {10, "EFI application"},
    {11, "EFI boot service driver"},
    {12, "EFI runtime driver"},
    {13, "EFI ROM"},
    {14, "Xbox"},
    {16, "Windows boot application"},
};

std::string HexText(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

template <std::size_t N>
std::string NameOrHex(const CodeName (&names)[N], std::uint16_t code)
{
    for (const CodeName& entry : names)
        if (entry.code == code) return entry.name;
    return HexText(code, 4);
}

} // namespace

std::string ImageFormatText(const ImageHeaders& headers)
{
    switch (headers.format) {
    case ImageFormat::Pe32: return "PE32";
    case ImageFormat::Pe32Plus: return "PE32+";
    case ImageFormat::Ne: return "NE";
    }
    return {};
}

std::string MachineText(const ImageHeaders& headers)
{
    return headers.format == ImageFormat::Ne ? std::string() : NameOrHex(kMachines, headers.machine);
}

std::string SubsystemText(const ImageHeaders& headers)
{
    return headers.format == ImageFormat::Ne ? std::string() : NameOrHex(kSubsystems, headers.subsystem);
}

std::string AssemblyVersionText(const ImageHeaders& headers)
{
    if (!headers.assembly) return {};
    const platform::version::AssemblyVersion& v = *headers.assembly;
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + "." +
           std::to_string(v.revision);
}

std::optional<platform::DateTime> PlausibleLinkTime(const ImageHeaders& headers, std::int64_t fileModifiedSeconds)
{
    const std::int64_t stamp = headers.timeDateStamp;
    if (headers.format == ImageFormat::Ne || stamp < kEarliestLinkTime ||
        stamp > fileModifiedSeconds + kLinkTimeSlackSeconds)
        return std::nullopt;
    return platform::DateTime::FromUnixUtc(stamp);
}

std::string LinkTimeStampText(const ImageHeaders& headers)
{
    return headers.format == ImageFormat::Ne ? std::string() : HexText(headers.timeDateStamp, 8);
}

} // namespace VORN_STD_library
