// Path and name helpers: the normalised form of folder paths ("/" at the
// end), cutting fixed-size name fields, splitting a path into folder, name and
// extension, the next free numbered file name and the version text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace VORN_STD_library {

// Appends "/" when the text does not end in one; the empty text becomes "/".
std::string NormalizeFolderPath(std::string path);

// The characters in front of the first NUL, or the whole text.
std::string TrimAtNull(std::string_view text);

// Splits at the last "/": folder up to and including it, the extension from
// the last "." after it (dot included), the name in between. An output the
// split does not produce keeps the caller's value: a text without "/" writes
// only the name; a name without "." leaves the extension alone.
void SplitFilePath(const std::string& path, std::string& folder, std::string& name, std::string& extension);

// Why NextFreeFileName could not produce a name.
class NextFreeFileNameError : public std::runtime_error {
public:
    enum class Reason {
        NoStar,             // the name part of the pattern holds no "*"
        StarBeyondLength,   // the "*" stands more than one past the length
        NumberOverflow,     // an existing name's number does not fit in 16 bits
        CounterOverflow,    // the next counter would pass 32767
    };
    NextFreeFileNameError(Reason reason, const std::string& message)
        : std::runtime_error(message), reason_(reason) {}
    Reason reason() const { return reason_; }

private:
    Reason reason_;
};

// Attribute bits the directory search of NextFreeFileName understands.
inline constexpr std::int32_t kAttributeHidden = 0x2;
inline constexpr std::int32_t kAttributeDirectory = 0x10;

// The pattern holds one "*" in its name part, for example "zr2026-12-07#*".
// Looks at the names in the pattern's folder (the current directory when it
// has none) that match the pattern, takes the largest number that follows the
// "*" position, and returns the pattern with the "*" replaced by that number
// plus one, zero-padded so the name part is `length` characters (a length
// below 8 counts as 8). Attribute mask 0 looks at ordinary files only;
// kAttributeDirectory adds folders, kAttributeHidden names starting with ".".
// Throws NextFreeFileNameError.
std::string NextFreeFileName(const std::string& pattern, std::int16_t length, std::int32_t attributeMask);

// "major.minor.0.revision" of the program's own version, no leading zeros.
std::string AppVersionText();

} // namespace VORN_STD_library
