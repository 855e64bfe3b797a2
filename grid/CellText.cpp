// Formatting of cell values, colours and alignments for display.
#include "grid/CellText.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstdint>
#include <string>

namespace grid {
namespace {

struct NumberFormat {
    bool grouping = false;
    int decimals = 0;
    bool asStored = false;
};

NumberFormat ParseNumberFormat(const std::string& format)
{
    NumberFormat parsed;
    if (format.empty()) {
        parsed.asStored = true;
        return parsed;
    }
    const std::size_t point = format.find('.');
    parsed.grouping = format.find(',') < point;
    if (point != std::string::npos) {
        for (std::size_t i = point + 1; i < format.size() && (format[i] == '0' || format[i] == '#'); ++i)
            ++parsed.decimals;
    }
    if (parsed.decimals > 4) parsed.decimals = 4;
    return parsed;
}

// Scaled fixed-point value shown with the given number of decimals.
QString FixedDecimalText(platform::FixedDecimal value, const NumberFormat& format, const QLocale& locale)
{
    const __int128 scaled = value.Scaled();
    const bool negative = scaled < 0;
    const auto magnitude = static_cast<unsigned __int128>(negative ? -scaled : scaled);
    int decimals = format.asStored ? 4 : format.decimals;
    std::uint64_t unit = 1;
    for (int i = decimals; i < 4; ++i) unit *= 10;
    // Round half away from zero to the shown number of decimals.
    const unsigned __int128 rounded = (magnitude / unit) + ((magnitude % unit) * 2 >= unit ? 1 : 0);
    std::uint64_t divisor = 1;
    for (int i = 0; i < decimals; ++i) divisor *= 10;
    // At most 2^63 after rounding: the whole part fits 64 bits.
    const auto whole = static_cast<std::uint64_t>(rounded / divisor);
    auto fraction = static_cast<std::uint64_t>(rounded % divisor);

    QLocale shown = locale;
    shown.setNumberOptions(format.grouping ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString text = shown.toString(static_cast<qulonglong>(whole));
    if (format.asStored) {
        while (decimals > 0 && fraction % 10 == 0) {
            fraction /= 10;
            --decimals;
        }
    }
    if (decimals > 0)
        text += locale.decimalPoint() + QString::number(fraction).rightJustified(decimals, QLatin1Char('0'));
    if (negative && (whole != 0 || fraction != 0)) text.prepend(locale.negativeSign());
    return text;
}

QString DateTimeText(const platform::DateTime& value, const QLocale& locale)
{
    // The fields are shown as they are: as UTC, Qt neither moves a time that
    // falls in a daylight-saving gap nor asks the time-zone database for every
    // cell.
    const platform::CalendarFields fields = value.Fields();
    const QDateTime shown(QDate(fields.year, fields.month, fields.day),
                          QTime(fields.hour, fields.minute, fields.second), Qt::UTC);
    return locale.toString(shown, QLocale::ShortFormat);
}

} // namespace

QString CellDisplayText(const CellValue& cell, const std::string& numberFormat, const QLocale& locale)
{
    if (const auto* text = std::get_if<std::string>(&cell))
        return QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()));
    if (const auto* size = std::get_if<platform::FixedDecimal>(&cell))
        return FixedDecimalText(*size, ParseNumberFormat(numberFormat), locale);
    if (const auto* date = std::get_if<platform::DateTime>(&cell)) return DateTimeText(*date, locale);
    return QString();
}

QColor ToQColor(GridColor color, const QPalette& palette)
{
    if ((color & kSystemColorFlag) == 0)
        return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                      static_cast<int>((color >> 16) & 0xFF));
    switch (color & ~kSystemColorFlag) {
    case 5:
        return palette.color(QPalette::Window);
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Button);
    case 16:
        return palette.color(QPalette::Dark);
    case 18:
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::WindowText);
    }
}

Qt::Alignment ToQtAlignment(int textAlignment)
{
    if (textAlignment == kAlignRightCenter) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QFont GridFont()
{
    QFont font(QStringLiteral("Segoe UI"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace grid
