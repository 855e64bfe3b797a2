// Helpers shared by the result-table tests: an observer that records what it
// was told, and the window's eight-column table.
#pragma once

#include <string>
#include <vector>

#include "grid/ResultGrid.h"

namespace grid::testing {

class RecordingObserver : public ResultGridObserver {
public:
    std::vector<std::string> events;

    void RowsAboutToBeInserted(int first, int last) override { Add("insert rows", first, last); }
    void RowsAboutToBeRemoved(int first, int last) override { Add("remove rows", first, last); }
    void ColumnsAboutToBeInserted(int first, int last) override { Add("insert columns", first, last); }
    void ColumnsAboutToBeRemoved(int first, int last) override { Add("remove columns", first, last); }
    void AboutToReset() override { events.push_back("reset"); }
    void CellChanged(int row, int cellColumn) override { Add("cell", row, cellColumn); }
    void HeadingChanged(int cellColumn) override { Add("heading", cellColumn); }
    void CellStyleChanged(int cellColumn) override { Add("cell style", cellColumn); }
    void LayoutAboutToChange() override { events.push_back("layout"); }
    void Refreshed() override { events.push_back("refresh"); }

private:
    void Add(const std::string& what, int a) { events.push_back(what + " " + std::to_string(a)); }
    void Add(const std::string& what, int a, int b)
    {
        events.push_back(what + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

// The columns the main window creates, in its order.
inline void AddWindowColumns(ResultGrid& grid)
{
    struct Spec {
        const char* key;
        const char* caption;
        float width;
        int dataType;
    };
    static const Spec specs[] = {
        {"filename", "Filename", 1500, kDataTypeText}, {"version", "Version", 1200, kDataTypeText},
        {"size", "Size", 900, kDataTypeInteger},       {"date", "Date", 1800, kDataTypeDateTime},
        {"path", "Path", 1800, kDataTypeText},         {"desc", "Description", 1800, kDataTypeText},
        {"product", "Product", 1800, kDataTypeText},   {"company", "Company", 1800, kDataTypeText},
    };
    for (const Spec& spec : specs) {
        GridColumn& column = grid.AddColumn(spec.key);
        column.SetCaption(spec.caption);
        if (column.Key() == "version" || column.Key() == "size") column.CellStyle().SetTextAlignment(kAlignRightCenter);
        if (column.Key() == "size") column.CellStyle().SetFormat("#,0");
        column.SetWidth(spec.width);
        column.SetDataType(spec.dataType);
    }
}

// Text of cell column 0 of every row, top to bottom.
inline std::vector<std::string> FirstColumnTexts(const ResultGrid& grid)
{
    std::vector<std::string> texts;
    for (int row = 0; row < grid.RowCount(); ++row) {
        const CellValue& cell = grid.CellValueAt(row, 0);
        texts.push_back(std::holds_alternative<std::string>(cell) ? std::get<std::string>(cell) : "");
    }
    return texts;
}

} // namespace grid::testing
