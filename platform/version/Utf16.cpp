// UTF-16LE to UTF-8 conversion.
#include "platform/version/Utf16.h"

#include "platform/Utf8Text.h"

namespace platform::version {

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes)
{
    constexpr char32_t kReplacement = 0xFFFD;
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) { return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };

    std::string out;
    out.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char16_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{low} - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : char32_t{u});
    }
    return out;
}

}  // namespace platform::version
