// How the result table's values look on screen: cell text through the
// column's number format and the user's locale, grid colours as Qt colours,
// and the table's font.
#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QPalette>
#include <QString>

#include "grid/CellValue.h"
#include "grid/GridStyle.h"

namespace grid {

// The text of a cell. Sizes follow numberFormat: a "," asks for digit
// grouping, the "0"/"#" after a "." give the number of decimals ("#,0" is a
// grouped whole number, rounded half away from zero); an empty format shows
// the value as stored, without grouping. Date-times use the locale's short
// date and time format; text is UTF-8 with invalid bytes shown as U+FFFD.
QString CellDisplayText(const CellValue& cell, const std::string& numberFormat, const QLocale& locale);

// A plain 0x00BBGGRR colour, or the palette's colour for a system colour
// index (8 window text, 5 window, 16 button shadow and a few more; unknown
// indexes give the window text colour).
QColor ToQColor(GridColor color, const QPalette& palette);

// Alignment for a TextAlignment code: 6 is right and vertically centred,
// everything else left and vertically centred.
Qt::Alignment ToQtAlignment(int textAlignment);

// "Segoe UI" 8.25 pt; Qt substitutes a similar family where it is missing.
QFont GridFont();

} // namespace grid
