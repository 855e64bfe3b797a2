// UTF-16LE text of version resources turned into UTF-8, and the UTF-8
// encoder the other text decoders of the version reader share.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform::version {

// Decodes UTF-16LE units (an odd trailing byte is ignored); unpaired
// surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

// Appends the UTF-8 form of the code point c (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace platform::version
