// One value as the text formats write it: a text under the format's field
// encoding, a size as its whole bytes, a date in ISO form.
#pragma once

#include <string>
#include <string_view>

#include "grid/CellValue.h"
#include "grid/formats/OutputFormat.h"
#include "grid/formats/RowWriter.h"

namespace grid::formats {

// Appends one text in the format's field encoding under the rules (tsv
// escaping for the formats that have no field encoding of their own).
void AppendField(OutputFormat format, const TextRules& rules, std::string& out, std::string_view text);

// Appends one cell; an empty cell is the empty text, or null in json, where
// sizes are numbers.
void AppendCell(OutputFormat format, const TextRules& rules, std::string& out, const grid::CellValue& cell);

} // namespace grid::formats
