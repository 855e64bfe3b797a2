// Cleaning and cutting cell text for xlsx.
#include "grid/formats/SpreadsheetText.h"

#include <cctype>

#include "platform/Utf8Text.h"

namespace grid::formats {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Whether text starts with "_xHHHH_", the form spreadsheets read as one
// escaped character.
bool StartsCharacterEscape(std::string_view text)
{
    if (text.size() < 7 || text[0] != '_' || text[1] != 'x' || text[6] != '_') return false;
    for (std::size_t i = 2; i < 6; ++i)
        if (std::isxdigit(static_cast<unsigned char>(text[i])) == 0) return false;
    return true;
}

} // namespace

bool AppendSpreadsheetText(std::string& out, std::string_view text)
{
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const platform::Utf8Step step = platform::DecodeUtf8Step(text.substr(i));
        char32_t codePoint = step.codePoint;
        if (codePoint == 0xFFFE || codePoint == 0xFFFF) codePoint = kReplacement;
        const std::size_t width = codePoint > 0xFFFF ? 2 : 1;
        if (units + width > kMaxSpreadsheetTextUnits) return true;
        units += width;
        if (codePoint == '_' && StartsCharacterEscape(text.substr(i))) out.append("_x005F_");
        else platform::AppendUtf8(out, codePoint);
        i += step.length;
    }
    return false;
}

} // namespace grid::formats
