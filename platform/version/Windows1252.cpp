// Windows-1252 to UTF-8 conversion.
#include "platform/version/Windows1252.h"

#include "platform/Utf8Text.h"

namespace platform::version {
namespace {

constexpr char32_t kUndefined = 0xFFFD;

// The code points of bytes 0x80-0x9F, where the code page differs from Latin-1.
constexpr char32_t kHighControlRange[32] = {
    0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,  // 0x88
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178,  // 0x98
};

}  // namespace

std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const std::uint8_t byte : bytes) {
        if (byte < 0x80)
            out += static_cast<char>(byte);
        else if (byte < 0xA0)
            platform::AppendUtf8(out, kHighControlRange[byte - 0x80]);
        else
            platform::AppendUtf8(out, byte);
    }
    return out;
}

}  // namespace platform::version
