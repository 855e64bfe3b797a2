// One column of the result table: its key, heading caption, width in twips,
// data type code, sort order, whether it is shown, and its two styles (cells
// and heading).
#pragma once

#include <string>

#include "grid/GridStyle.h"

namespace grid {

class ResultGrid;

// Data type codes a column can carry (the variant type codes of the values).
inline constexpr int kDataTypeInteger = 3;
inline constexpr int kDataTypeDateTime = 7;
inline constexpr int kDataTypeText = 8;

// Sort order values: 0 not sorted, 1 ascending, 2 descending.
inline constexpr int kSortNone = 0;
inline constexpr int kSortAscending = 1;
inline constexpr int kSortDescending = 2;

class GridColumn {
public:
    GridColumn(ResultGrid& grid, int cellColumn, std::string key);
    GridColumn(const GridColumn&) = delete;
    GridColumn& operator=(const GridColumn&) = delete;

    const std::string& Key() const { return key_; }
    // The column's cell index (0-based); its position is this plus one.
    int CellColumn() const { return cellColumn_; }
    int Position() const { return cellColumn_ + 1; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    float Width() const { return widthTwips_; }
    void SetWidth(float twips);

    int DataType() const { return dataType_; }
    void SetDataType(int code);

    int SortOrder() const { return sortOrder_; }
    void SetSortOrder(int order);

    // A hidden column keeps its cells but is neither shown nor exported.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    GridStyle& CellStyle() { return cellStyle_; }
    const GridStyle& CellStyle() const { return cellStyle_; }
    GridStyle& HeadingStyle() { return headingStyle_; }
    const GridStyle& HeadingStyle() const { return headingStyle_; }

private:
    friend class GridStyle;
    void StyleChanged(StyleTarget target);
    void HeadingChanged();

    ResultGrid& grid_;
    int cellColumn_;
    std::string key_;
    std::string caption_;
    float widthTwips_ = 1440.0f;
    int dataType_ = kDataTypeText;
    int sortOrder_ = kSortNone;
    bool visible_ = true;
    GridStyle cellStyle_{*this, StyleTarget::Cells};
    GridStyle headingStyle_{*this, StyleTarget::Heading};
};

} // namespace grid
