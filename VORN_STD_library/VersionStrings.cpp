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
    const std::string key = FirstTranslationKey(info);
    if (key.empty()) return {};
    std::string query = "\\StringFileInfo\\" + key + "\\";
    query.append(valueName);
    const std::optional<platform::VersionValue> value = info.Query(query);
    if (!value || value->length == 0) return {};
    return StringFromAnsiPointer(value->data.data(), value->data.size());
}

std::vector<TranslationEntry> TranslationEntries(const platform::VersionInfo& info)
{
    const std::optional<platform::VersionValue> table = info.Query("\\VarFileInfo\\Translation");
    if (!table || table->length == 0) return {};
    const std::string bytes = CopyBytesToString(table->data.data(), std::min<std::size_t>(table->length, table->data.size()));
    const auto byte = [&](std::size_t index) { return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[index])); };
    std::vector<TranslationEntry> entries;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4)
        entries.push_back({static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8)),
                           static_cast<std::uint16_t>(byte(at + 2) | (byte(at + 3) << 8))});
    return entries;
}

std::string TranslationKey(TranslationEntry entry)
{
    std::string key;
    for (const unsigned byte : {entry.language >> 8, entry.language & 0xFF, entry.codePage >> 8, entry.codePage & 0xFF})
        AppendHexByte(key, static_cast<unsigned char>(byte));
    return key;
}

std::string FirstTranslationKey(const platform::VersionInfo& info)
{
    const std::vector<TranslationEntry> entries = TranslationEntries(info);
    return entries.empty() ? std::string() : TranslationKey(entries.front());
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
