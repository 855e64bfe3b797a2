// The result table's cell value: the platform's value type, by the table's name.
#pragma once

#include "platform/CellValue.h"

namespace grid {

using platform::CellValue;

} // namespace grid
