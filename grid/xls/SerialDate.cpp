// Day count to 1900-system serial date.
#include "grid/xls/SerialDate.h"

namespace grid::xls {
namespace {

constexpr double kFirstDay = 2.0;              // 1900-01-01
constexpr double kFirstAlignedDay = 61.0;      // 1900-03-01
constexpr double kEndOfLastDay = 2958466.0;    // 10000-01-01

} // namespace

std::optional<double> SpreadsheetSerial(double dayCount)
{
    if (!(dayCount >= kFirstDay && dayCount < kEndOfLastDay)) return std::nullopt;
    return dayCount < kFirstAlignedDay ? dayCount - 1.0 : dayCount;
}

} // namespace grid::xls
