// UTF-16LE text of version resources turned into UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform::version {

// Decodes UTF-16LE units (an odd trailing byte is ignored); unpaired
// surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace platform::version
