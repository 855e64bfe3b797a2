// Builds the columns and cells of a comparison's output; column looks come
// from the fact catalogue, so sizes stay numbers in every format.
#include "cli/ChangeRows.h"

#include <algorithm>
#include <charconv>

#include "cDisk/InventoryFormat.h"
#include "cDisk/ResultFacts.h"
#include "grid/GridColumn.h"
#include "grid/GridStyle.h"

namespace cli {
namespace {

constexpr grid::ResultColumn kTextLook{"", "", 1500, grid::kDataTypeText, grid::kAlignGeneral, ""};

// The column look of a fact; a plain text column for a key this program
// does not know (an inventory written by a newer one).
grid::ResultColumn LookOf(std::string_view key)
{
    const ResultFact* fact = FindResultFact(key);
    return fact != nullptr ? fact->column : kTextLook;
}

bool IsShownApart(std::string_view key)
{
    return key == "version" || key == "size";
}

} // namespace

ChangeRows::ChangeRows(const Comparison& comparison, const RowTable& older, const RowTable& newer)
    : comparison_(comparison), older_(older), newer_(newer)
{
    AddColumn("change", "Change", kTextLook);
    AddColumn(std::string(kRelativePathKey), LookOf(kRelativePathKey).caption, LookOf(kRelativePathKey));
    for (const char* side : {"old", "new"})
        AddColumn(std::string(side) + "version", std::string(side == std::string("old") ? "Old" : "New") + " version",
                  LookOf("version"));
    for (const char* side : {"old", "new"})
        AddColumn(std::string(side) + "size", std::string(side == std::string("old") ? "Old" : "New") + " size",
                  LookOf("size"));
    AddColumn("differs", "Differs", kTextLook);

    std::vector<bool> differs(comparison.columns.size(), false);
    for (const RowChange& change : comparison.changes)
        for (std::uint16_t column : comparison.Differing(change)) differs[column] = true;
    for (std::size_t column = 0; column < comparison.columns.size(); ++column) {
        const std::string& key = comparison.columns[column].key;
        if (!differs[column] || IsShownApart(key)) continue;
        shown_.push_back(column);
        const grid::ResultColumn look = LookOf(key);
        const std::string caption = look.caption[0] != '\0' ? look.caption : key;
        AddColumn("old" + key, "Old " + caption, look);
        AddColumn("new" + key, "New " + caption, look);
    }
}

void ChangeRows::AddColumn(std::string key, std::string caption, const grid::ResultColumn& look)
{
    grid::ResultColumn column = look;
    column.key = names_.emplace_back(std::move(key)).c_str();
    column.caption = names_.emplace_back(std::move(caption)).c_str();
    column.jsonDocument = false;
    columns_.push_back(column);
}

grid::CellValue ChangeRows::SideCell(const RowTable& table, std::uint32_t row, std::optional<std::size_t> column,
                                     const grid::ResultColumn& look) const
{
    if (row == kNoRow || !column) return {};
    const std::string_view text = table.Cell(row, *column);
    if (look.dataType == grid::kDataTypeInteger) {
        std::int64_t whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
        if (error == std::errc() && end == text.data() + text.size() && whole >= 0)
            return platform::FixedDecimal::FromWhole(whole);
        if (text.empty()) return {};
    }
    return std::string(text);
}

std::vector<grid::CellValue> ChangeRows::Row(const RowChange& change) const
{
    std::vector<grid::CellValue> cells;
    cells.reserve(columns_.size());
    cells.emplace_back(std::string(ChangeKindName(change.kind)));
    const bool inNewer = change.newer != kNoRow;
    const RowTable& table = inNewer ? newer_ : older_;
    cells.emplace_back(std::string(table.Cell(inNewer ? change.newer : change.older,
                                              *table.ColumnIndex(kRelativePathKey))));
    for (std::string_view key : {"version", "size"}) {
        const grid::ResultColumn look = LookOf(key);
        cells.push_back(SideCell(older_, change.older, older_.ColumnIndex(key), look));
        cells.push_back(SideCell(newer_, change.newer, newer_.ColumnIndex(key), look));
    }
    std::string differing;
    for (std::uint16_t column : comparison_.Differing(change)) {
        if (!differing.empty()) differing.push_back(',');
        differing.append(comparison_.columns[column].key);
    }
    cells.emplace_back(std::move(differing));
    for (std::size_t column : shown_) {
        const ComparedColumn& compared = comparison_.columns[column];
        const grid::ResultColumn look = LookOf(compared.key);
        cells.push_back(SideCell(older_, change.older, compared.older, look));
        cells.push_back(SideCell(newer_, change.newer, compared.newer, look));
    }
    return cells;
}

} // namespace cli
