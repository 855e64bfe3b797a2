// Spreadsheet serial dates of the 1900 date system from day counts since
// 1899-12-30.
#pragma once

#include <optional>

namespace grid::xls {

// The serial number a spreadsheet shows as the same date and time. From
// 1900-03-01 on the two agree; before it the spreadsheet counts a
// non-existent 1900-02-29, so earlier dates are one less. Dates before
// 1900-01-01 or after 9999-12-31 (and non-finite values) have no serial.
std::optional<double> SpreadsheetSerial(double dayCount);

} // namespace grid::xls
