// The value of one result-table cell: empty, text (UTF-8), a size in the
// fixed-point byte form, or a date-time in the day-count form.
#pragma once

#include <string>
#include <variant>

#include "platform/DateTime.h"
#include "platform/FixedDecimal.h"

namespace grid {

using CellValue = std::variant<std::monostate, std::string, platform::FixedDecimal, platform::DateTime>;

} // namespace grid
