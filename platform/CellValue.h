// The value of one cell of a result row: empty, text (UTF-8), a size in the
// fixed-point byte form, or a date-time in the day-count form. The result
// table holds it and every output format writes it.
#pragma once

#include <string>
#include <variant>

#include "platform/DateTime.h"
#include "platform/FixedDecimal.h"

namespace platform {

using CellValue = std::variant<std::monostate, std::string, FixedDecimal, DateTime>;

} // namespace platform
