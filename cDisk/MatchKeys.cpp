// Builds the match keys of a table: the relative path or the bare name,
// folded by the shared case folding unless matching is case-sensitive.
#include "cDisk/MatchKeys.h"

#include "platform/Utf8Text.h"

std::string_view BareFileName(std::string_view relativePath)
{
    const std::size_t slash = relativePath.rfind('/');
    return slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
}

MatchKeys::MatchKeys(const RowTable& rows, std::size_t relativePathColumn, const MatchRules& rules)
{
    ends_.reserve(rows.RowCount());
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        std::string_view key = rows.Cell(row, relativePathColumn);
        if (rules.byName) key = BareFileName(key);
        if (rules.caseSensitive) text_.append(key);
        else platform::AppendFoldedText(text_, key);
        ends_.push_back(text_.size());
    }
}
