// The two layouts of a VS_VERSIONINFO block. Which one a block has follows
// from the image it came from: PE images hold the 32-bit layout, 16-bit NE
// images the older one.
#pragma once

namespace platform::version {

enum class BlockFormat {
    // Length, value length and type fields, UTF-16 keys and text.
    Win32,
    // Length and value length fields only, 8-bit keys and text in the
    // Windows-1252 code page, value lengths always in bytes.
    Win16,
};

}  // namespace platform::version
