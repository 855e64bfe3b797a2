// Decoding of the fixed record's codes and the two findings.
#include "VORN_STD_library/VersionFacts.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "VORN_STD_library/CodeNames.h"
#include "VORN_STD_library/FileFacts.h"
#include "platform/WildcardMatch.h"

namespace VORN_STD_library {
namespace {

constexpr CodeName kFileFlags[] = {
    {0x01, "Debug"},        {0x02, "Prerelease"},   {0x04, "Patched"},
    {0x08, "PrivateBuild"}, {0x10, "InfoInferred"}, {0x20, "SpecialBuild"},
};

// The high word of the OS code names the base system, the low word the
// window system on top of it.
constexpr CodeName kOsBases[] = {
    {0x1, "DOS"}, {0x2, "OS/2 16-bit"}, {0x3, "OS/2 32-bit"}, {0x4, "NT"}, {0x5, "Windows CE"},
};
constexpr CodeName kOsWindowSystems[] = {
    {0x1, "Windows16"}, {0x2, "Presentation Manager 16-bit"}, {0x3, "Presentation Manager 32-bit"}, {0x4, "Windows32"},
};

constexpr CodeName kFileTypes[] = {
    {1, "Application"}, {2, "DLL"}, {3, "Driver"}, {4, "Font"}, {5, "VXD"}, {7, "Static library"},
};
constexpr std::uint32_t kTypeDriver = 3;
constexpr std::uint32_t kTypeFont = 4;
constexpr CodeName kDriverSubtypes[] = {
    {0x1, "Printer"}, {0x2, "Keyboard"}, {0x3, "Language"},     {0x4, "Display"},
    {0x5, "Mouse"},   {0x6, "Network"},  {0x7, "System"},       {0x8, "Installable"},
    {0x9, "Sound"},   {0xA, "Comm"},     {0xB, "Input method"}, {0xC, "Versioned printer"},
};
constexpr CodeName kFontSubtypes[] = {
    {0x1, "Raster"}, {0x2, "Vector"}, {0x3, "TrueType"},
};

std::string HexText(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// The leading numbers of a version text; empty optional when it does not
// begin with a number or a number is larger than a version part can be.
std::optional<std::vector<std::uint32_t>> LeadingNumbers(std::string_view text)
{
    std::vector<std::uint32_t> numbers;
    std::size_t at = 0;
    while (true) {
        if (at == text.size() || text[at] < '0' || text[at] > '9') return numbers.empty() ? std::nullopt : std::optional(numbers);
        std::uint32_t number = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
            number = number * 10 + static_cast<std::uint32_t>(text[at] - '0');
            if (number > 0xFFFF) return std::nullopt;
        }
        numbers.push_back(number);
        if (at == text.size() || (text[at] != '.' && text[at] != ',')) return numbers;
        const bool comma = text[at] == ',';
        ++at;
        if (comma)
            while (at < text.size() && text[at] == ' ') ++at;
    }
}

// The name without a trailing ".mui" (any case), the suffix of language
// resource files that keep their original name.
std::string_view WithoutMui(std::string_view name)
{
    if (name.size() >= 4 && platform::EqualsIgnoringCase(name.substr(name.size() - 4), ".mui"))
        name.remove_suffix(4);
    return name;
}

} // namespace

std::string FixedProductVersionText(const platform::FixedFileInfo& fixed)
{
    return std::to_string(HighWord(fixed.productVersionMS)) + "." + std::to_string(LowWord(fixed.productVersionMS)) +
           "." + std::to_string(HighWord(fixed.productVersionLS)) + "." +
           std::to_string(LowWord(fixed.productVersionLS));
}

std::string FileFlagsText(const platform::FixedFileInfo& fixed)
{
    const std::uint32_t set = fixed.fileFlags & fixed.fileFlagsMask;
    std::string text;
    for (const CodeName& flag : kFileFlags) {
        if ((set & flag.code) == 0) continue;
        if (!text.empty()) text.push_back('|');
        text.append(flag.name);
    }
    return text;
}

std::string FileOsText(const platform::FixedFileInfo& fixed)
{
    const std::uint32_t base = HighWord(fixed.fileOS);
    const std::uint32_t windowSystem = LowWord(fixed.fileOS);
    const char* baseName = NameOf(kOsBases, base);
    const char* windowSystemName = NameOf(kOsWindowSystems, windowSystem);
    if ((base != 0 && baseName == nullptr) || (windowSystem != 0 && windowSystemName == nullptr))
        return HexText(fixed.fileOS);
    if (baseName == nullptr) return windowSystemName == nullptr ? std::string() : windowSystemName;
    if (windowSystemName == nullptr) return baseName;
    return std::string(baseName) + " (" + windowSystemName + ")";
}

std::string FileTypeText(const platform::FixedFileInfo& fixed)
{
    if (fixed.fileType == 0) return {};
    const char* typeName = NameOf(kFileTypes, fixed.fileType);
    if (typeName == nullptr) return HexText(fixed.fileType);
    std::string text = typeName;
    if (fixed.fileSubtype == 0 || (fixed.fileType != kTypeDriver && fixed.fileType != kTypeFont)) return text;
    const char* subtypeName = fixed.fileType == kTypeDriver ? NameOf(kDriverSubtypes, fixed.fileSubtype)
                                                            : NameOf(kFontSubtypes, fixed.fileSubtype);
    return text + " (" + (subtypeName == nullptr ? HexText(fixed.fileSubtype) : std::string(subtypeName)) + ")";
}

std::string VersionMismatchText(std::string_view fileVersionText, const platform::FixedFileInfo& fixed)
{
    if (fileVersionText.empty()) return {};
    const std::optional<std::vector<std::uint32_t>> named = LeadingNumbers(fileVersionText);
    const std::array<std::uint32_t, 4> actual = {HighWord(fixed.fileVersionMS), LowWord(fixed.fileVersionMS),
                                                 HighWord(fixed.fileVersionLS), LowWord(fixed.fileVersionLS)};
    if (!named || named->size() > actual.size()) return "yes";
    for (std::size_t i = 0; i < actual.size(); ++i)
        if ((i < named->size() ? (*named)[i] : 0) != actual[i]) return "yes";
    return "no";
}

std::string RenamedText(std::string_view originalName, std::string_view fileName)
{
    if (originalName.empty()) return {};
    return platform::EqualsIgnoringCase(WithoutMui(originalName), WithoutMui(fileName)) ? "no" : "yes";
}

} // namespace VORN_STD_library
