// 8-bit text of 16-bit version resources turned into UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform::version {

// Decodes Windows-1252 bytes: 0x80-0x9F by that code page's table (the five
// bytes it leaves undefined become U+FFFD), every other byte as the code point
// of the same value.
std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace platform::version
