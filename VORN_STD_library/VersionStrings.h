// Reads one named text value (company, description, product ...) from a
// file's version resource, chosen by a small code, through the first
// translation of the resource only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
class VersionInfo;
}

namespace VORN_STD_library {

// infotype: 0 CompanyName, 1 FileDescription, 2 InternalName,
// 3 LegalCopyright, 4 OriginalFileName, 5 ProductName, 6 ProductVersion.
// The empty text for an empty path, a file without version information or
// translation table, any other code, or a missing or empty value.
std::string ReadVersionString(const std::string& path, std::int32_t infotype);
// The same from an already loaded version block.
std::string VersionStringFrom(const platform::VersionInfo& info, std::int32_t infotype);
// The value named `valueName` ("Comments", "FileVersion" ...) under the first
// translation, by the same rules; names compare without regard to case.
std::string VersionStringNamed(const platform::VersionInfo& info, std::string_view valueName);

// One entry of the translation table.
struct TranslationEntry {
    std::uint16_t language;
    std::uint16_t codePage;
};

// The value named `valueName` in the string table of `translation`, by the
// rules of VersionStringNamed; for a row whose several values share the first
// translation, looked up once.
std::string VersionStringIn(const platform::VersionInfo& info, TranslationEntry translation,
                            std::string_view valueName);

// Every complete entry of the translation table, in table order.
std::vector<TranslationEntry> TranslationEntries(const platform::VersionInfo& info);

// The entry as eight upper-case hexadecimal digits, language then code page
// ("040904B0"): the name of its string table.
std::string TranslationKey(TranslationEntry entry);

// The first complete entry of the translation table, if it has one.
std::optional<TranslationEntry> FirstTranslation(const platform::VersionInfo& info);

// One translation and the values of its string table, in table order; a
// value name that repeats (without regard to case) counts once, as lookups
// find only the first, and names that no lookup can reach (empty, or holding
// a backslash) are left out.
struct TranslationTable {
    TranslationEntry entry;
    std::vector<std::pair<std::string, std::string>> strings;
};

// Every translation with its string table, in table order.
std::vector<TranslationTable> TranslationTables(const platform::VersionInfo& info);

// Every translation with its string table, as a JSON array of objects:
// [{"code":"040904B0","strings":{"CompanyName":"...",...}},...], in table
// order; a value name that repeats (without regard to case) counts once, as
// lookups find only the first, and names that no lookup can reach (empty, or
// holding a backslash) are left out. "[]" without a translation table.
std::string TranslationsJson(const platform::VersionInfo& info);

// `count` bytes from `bytes` as a string, one character per byte.
std::string CopyBytesToString(const void* bytes, std::size_t count);

// The NUL-terminated text at `text`, read no further than `bufferSize`
// bytes: without a NUL inside the buffer the whole buffer is the text.
std::string StringFromAnsiPointer(const char* text, std::size_t bufferSize);

} // namespace VORN_STD_library
