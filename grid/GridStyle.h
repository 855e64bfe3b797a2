// The look of a column's cells or of its heading: text alignment, number
// format, text colour and the font's underline flag. Every change is reported
// to the grid's observers so a view can repaint exactly what changed.
#pragma once

#include <cstdint>
#include <string>

namespace grid {

class GridColumn;

// Colours use the 0x00BBGGRR form for plain colours and 0x80000000 plus a
// system colour index for the desktop's own colours.
using GridColor = std::uint32_t;

inline constexpr GridColor kSystemColorFlag = 0x80000000u;
inline constexpr GridColor kColorWindowText = kSystemColorFlag | 8u;
inline constexpr GridColor kColorWindow = kSystemColorFlag | 5u;
inline constexpr GridColor kColorButtonShadow = kSystemColorFlag | 16u;
inline constexpr GridColor kColorBlue = 0x00FF0000u;

// Text alignment codes. Only "right, vertically centred" is given a meaning
// of its own; every other code shows text left-aligned and vertically centred.
inline constexpr int kAlignGeneral = 0;
inline constexpr int kAlignRightCenter = 6;

enum class StyleTarget { Cells, Heading };

class GridStyle {
public:
    GridStyle(GridColumn& owner, StyleTarget target) : owner_(owner), target_(target) {}
    GridStyle(const GridStyle&) = delete;
    GridStyle& operator=(const GridStyle&) = delete;

    StyleTarget Target() const { return target_; }

    int TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(int code);

    // Number-format text such as "#,0"; empty means the plain form.
    const std::string& Format() const { return format_; }
    void SetFormat(const std::string& format);

    GridColor ForeColor() const { return foreColor_; }
    void SetForeColor(GridColor color);

    // The underline flag of the style's font.
    bool Underline() const { return underline_; }
    void SetUnderline(bool underline);

private:
    void Changed();

    GridColumn& owner_;
    StyleTarget target_;
    int textAlignment_ = kAlignGeneral;
    std::string format_;
    GridColor foreColor_ = kColorWindowText;
    bool underline_ = false;
};

} // namespace grid
