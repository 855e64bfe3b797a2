// The version-resource string reader. It knows the query paths: the
// translation table names the language and code page under which the string
// table is looked up, and only its first entry is ever used.
#include "VORN_STD_library/VersionStrings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/Utf8Text.h"
#include "platform/WildcardMatch.h"
#include "platform/version/VersionInfo.h"

namespace VORN_STD_library {
namespace {

// The value names by infotype.
constexpr std::array<std::string_view, 7> kValueNames = {
    "CompanyName",    "FileDescription", "InternalName",   "LegalCopyright",
    "OriginalFileName", "ProductName",   "ProductVersion",
};

void AppendHexByte(std::string& text, unsigned char byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
}

// The translation table's bytes, cut to its stated length; empty without
// one.
std::string TranslationBytes(const platform::VersionInfo& info)
{
    std::optional<platform::VersionValue> table = info.Query("\\VarFileInfo\\Translation");
    if (!table || table->length == 0) return {};
    table->data.resize(std::min<std::size_t>(table->length, table->data.size()));
    return std::move(table->data);
}

// The entry at `at`: two little-endian 16-bit words.
TranslationEntry TranslationEntryAt(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t index) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[index]));
    };
    return {static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8)),
            static_cast<std::uint16_t>(byte(at + 2) | (byte(at + 3) << 8))};
}

} // namespace

std::string ReadVersionString(const std::string& path, std::int32_t infotype)
{
    if (path.empty()) return {};
    const std::optional<platform::VersionInfo> info = platform::VersionInfo::FromFile(path);
    return info ? VersionStringFrom(*info, infotype) : std::string();
}

std::string VersionStringFrom(const platform::VersionInfo& info, std::int32_t infotype)
{
    if (infotype < 0 || infotype >= static_cast<std::int32_t>(kValueNames.size())) return {};
    return VersionStringNamed(info, kValueNames[static_cast<std::size_t>(infotype)]);
}

std::string VersionStringNamed(const platform::VersionInfo& info, std::string_view valueName)
{
    if (info.Size() == 0) return {};
    const std::optional<TranslationEntry> first = FirstTranslation(info);
    if (!first) return {};
    return VersionStringIn(info, *first, valueName);
}

std::string VersionStringIn(const platform::VersionInfo& info, TranslationEntry translation,
                            std::string_view valueName)
{
    // The query, built in place when it fits: this runs for several columns
    // of every row.
    constexpr std::string_view kStringTables = "\\StringFileInfo\\";
    const std::string key = TranslationKey(translation);
    const std::size_t length = kStringTables.size() + key.size() + 1 + valueName.size();
    std::array<char, 128> inPlace;
    std::string longer;
    char* const query = length <= inPlace.size() ? inPlace.data() : (longer.resize(length), longer.data());
    char* at = std::copy(kStringTables.begin(), kStringTables.end(), query);
    at = std::copy(key.begin(), key.end(), at);
    *at++ = '\\';
    std::copy(valueName.begin(), valueName.end(), at);
    std::optional<platform::VersionValue> value = info.Query(std::string_view(query, length));
    if (!value || value->length == 0) return {};
    // The text up to its first NUL, as StringFromAnsiPointer reads it.
    std::string text = std::move(value->data);
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

std::vector<TranslationEntry> TranslationEntries(const platform::VersionInfo& info)
{
    const std::string bytes = TranslationBytes(info);
    std::vector<TranslationEntry> entries;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) entries.push_back(TranslationEntryAt(bytes, at));
    return entries;
}

std::optional<TranslationEntry> FirstTranslation(const platform::VersionInfo& info)
{
    const std::string bytes = TranslationBytes(info);
    if (bytes.size() < 4) return std::nullopt;
    return TranslationEntryAt(bytes, 0);
}

std::string TranslationKey(TranslationEntry entry)
{
    std::string key;
    for (const unsigned byte : {entry.language >> 8, entry.language & 0xFF, entry.codePage >> 8, entry.codePage & 0xFF})
        AppendHexByte(key, static_cast<unsigned char>(byte));
    return key;
}

std::vector<TranslationTable> TranslationTables(const platform::VersionInfo& info)
{
    std::vector<TranslationTable> tables;
    for (const TranslationEntry& entry : TranslationEntries(info)) {
        TranslationTable& table = tables.emplace_back(TranslationTable{entry, {}});
        const std::string tablePath = "\\StringFileInfo\\" + TranslationKey(entry);
        for (const std::string& name : info.ChildKeys(tablePath)) {
            const bool repeated = std::any_of(table.strings.begin(), table.strings.end(), [&](const auto& earlier) {
                return platform::EqualsIgnoringCase(earlier.first, name);
            });
            if (repeated || name.empty() || name.find('\\') != std::string::npos) continue;
            const std::optional<platform::VersionValue> value = info.Query(tablePath + "\\" + name);
            if (value) table.strings.emplace_back(name, value->data);
        }
    }
    return tables;
}

std::string TranslationsJson(const platform::VersionInfo& info)
{
    // C1 controls are escaped too: the text may be shown on a terminal as it is.
    constexpr bool kEscapeC1 = true;
    std::string json = "[";
    for (const TranslationTable& table : TranslationTables(info)) {
        if (json.size() > 1) json += ',';
        json += "{\"code\":";
        platform::AppendJsonString(json, TranslationKey(table.entry), kEscapeC1);
        json += ",\"strings\":{";
        bool first = true;
        for (const auto& [name, value] : table.strings) {
            if (!first) json += ',';
            first = false;
            platform::AppendJsonString(json, name, kEscapeC1);
            json += ':';
            platform::AppendJsonString(json, value, kEscapeC1);
        }
        json += "}}";
    }
    return json + "]";
}

std::string CopyBytesToString(const void* bytes, std::size_t count)
{
    if (count == 0) return {};
    return std::string(static_cast<const char*>(bytes), count);
}

std::string StringFromAnsiPointer(const char* text, std::size_t bufferSize)
{
    if (text == nullptr || bufferSize == 0) return {};
    const void* nul = std::memchr(text, '\0', bufferSize);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : bufferSize;
    return std::string(text, length);
}

} // namespace VORN_STD_library
