// Path and name helpers in their POSIX form: "/" separates folders and there
// are no drive letters, so an absolute path is simply one beginning with "/".
#include "VORN_STD_library/PathHelpers.h"

#include <cmath>
#include <string_view>

#include "platform/DirectoryListing.h"
#include "platform/WildcardMatch.h"

namespace VORN_STD_library {
namespace {

constexpr std::int32_t kLargestCounter = 32767;

// The number a piece of text begins with: digits, optionally a "." and more
// digits. No leading digit reads as 0. Only as many digits are taken as can
// matter for the 16-bit check, so a very long digit run cannot overflow.
double LeadingNumber(std::string_view text)
{
    double value = 0.0;
    std::size_t pos = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        if (value < 1e9) value = value * 10.0 + (text[pos] - '0');
    if (pos < text.size() && text[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10.0)
            value += (text[pos] - '0') * scale;
    }
    return value;
}

// Nearest whole number, halves to even, as the 16-bit conversion rounds.
std::int32_t ToCounter(double value, std::string_view sourceName)
{
    const double rounded = std::nearbyint(value);
    if (rounded > kLargestCounter)
        throw NextFreeFileNameError(NextFreeFileNameError::Reason::NumberOverflow,
                                    "the number in \"" + std::string(sourceName) + "\" does not fit in 16 bits");
    return static_cast<std::int32_t>(rounded);
}

bool IsWanted(const platform::DirectoryListing& listing, std::size_t index, std::int32_t attributeMask)
{
    const std::string_view name = listing.Name(index);
    if (name == "." || name == "..") return false;
    if (listing.IsFolder(index) && !(attributeMask & kAttributeDirectory)) return false;
    if (name.front() == '.' && !(attributeMask & kAttributeHidden)) return false;
    return true;
}

std::string ZeroPadded(std::int32_t counter, std::size_t digits)
{
    std::string text = std::to_string(counter);
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    return text;
}

} // namespace

std::string NormalizeFolderPath(std::string path)
{
    if (path.empty() || path.back() != '/') path.push_back('/');
    return path;
}

std::string TrimAtNull(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

void SplitFilePath(const std::string& path, std::string& folder, std::string& name, std::string& extension)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        name = path;
        return;
    }
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > slash;
    if (hasExtension) extension = path.substr(dot);
    folder = path.substr(0, slash + 1);
    name = path.substr(slash + 1, (hasExtension ? dot : path.size()) - slash - 1);
}

std::string NextFreeFileName(const std::string& pattern, std::int16_t length, std::int32_t attributeMask)
{
    const std::size_t nameLength = length < 8 ? 8 : static_cast<std::size_t>(length);
    std::string folder, name, extension;
    SplitFilePath(pattern, folder, name, extension);

    const std::size_t star = name.find('*');
    if (star == std::string::npos)
        throw NextFreeFileNameError(NextFreeFileNameError::Reason::NoStar,
                                    "the file name pattern \"" + pattern + "\" has no \"*\"");
    const std::size_t starPosition = star + 1;
    if (starPosition > nameLength + 1)
        throw NextFreeFileNameError(NextFreeFileNameError::Reason::StarBeyondLength,
                                    "the \"*\" of \"" + pattern + "\" stands beyond the name length");

    std::int32_t largest = 0;
    platform::DirectoryListing listing;
    const std::string searchSpec = name + extension;
    if (listing.Read(folder.empty() ? std::string(".") : folder, nullptr)) {
        for (std::size_t i = 0; i < listing.Count(); ++i) {
            if (!IsWanted(listing, i, attributeMask) || !platform::MatchSpec(listing.Name(i), searchSpec)) continue;
            const std::string_view found = listing.Name(i);
            const std::string_view afterStar = star < found.size() ? found.substr(star) : std::string_view();
            const std::int32_t number = ToCounter(LeadingNumber(afterStar), found);
            if (number > largest) largest = number;
        }
    }
    if (largest >= kLargestCounter)
        throw NextFreeFileNameError(NextFreeFileNameError::Reason::CounterOverflow,
                                    "no counter above 32767 is left for \"" + pattern + "\"");
    return folder + name.substr(0, star) + ZeroPadded(largest + 1, nameLength + 1 - starPosition) + extension;
}

std::string AppVersionText()
{
    return std::to_string(LUMBREL_VERSION_MAJOR) + "." + std::to_string(LUMBREL_VERSION_MINOR) + ".0." +
           std::to_string(LUMBREL_VERSION_REVISION);
}

} // namespace VORN_STD_library
