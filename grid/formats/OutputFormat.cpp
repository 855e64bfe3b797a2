// The format table and its look-ups.
#include "grid/formats/OutputFormat.h"

#include <algorithm>
#include <array>

namespace grid::formats {
namespace {

constexpr std::array kFormats{
    FormatInfo{OutputFormat::Tsv, "tsv", "tsv", "Tab-separated values", false, false},
    FormatInfo{OutputFormat::Csv, "csv", "csv", "Comma-separated values", false, false},
    FormatInfo{OutputFormat::Json, "json", "jsonl", "JSON Lines", false, false},
    FormatInfo{OutputFormat::Xls, "xls", "xls", "Excel 97-2003 workbook", true, true},
};

} // namespace

std::span<const FormatInfo> AllFormats()
{
    return kFormats;
}

const FormatInfo* FindFormat(std::string_view key)
{
    const auto found = std::find_if(kFormats.begin(), kFormats.end(),
                                    [key](const FormatInfo& info) { return key == info.key; });
    return found == kFormats.end() ? nullptr : &*found;
}

const FormatInfo& InfoOf(OutputFormat format)
{
    const auto found = std::find_if(kFormats.begin(), kFormats.end(),
                                    [format](const FormatInfo& info) { return info.format == format; });
    return found == kFormats.end() ? kFormats.front() : *found;
}

std::string FormatKeyList()
{
    std::string list;
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        if (i != 0) list += i + 1 == kFormats.size() ? " or " : ", ";
        list += kFormats[i].key;
    }
    return list;
}

} // namespace grid::formats
