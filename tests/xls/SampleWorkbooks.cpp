// Writes the sample workbooks that read_back_with_xlrd.py opens with an
// independent reader. Usage: xls_sample_workbooks <folder>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "grid/xls/XlsWorkbook.h"

using namespace grid::xls;
using platform::CellValue;
using platform::DateTime;
using platform::FixedDecimal;

namespace {

std::string Repeat(const std::string& piece, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += piece;
    return text;
}

bool Save(WorkbookWriter& writer, const std::string& path)
{
    std::string error;
    if (writer.Save(path, true, error)) return true;
    std::cerr << error << '\n';
    return false;
}

bool WriteBasic(const std::string& folder)
{
    WorkbookWriter writer({{"Name", 2400, ColumnKind::Text, ""},
                           {"Size", 1500, ColumnKind::Number, "#,0"},
                           {"Date", 2835, ColumnKind::DateTime, ""},
                           {"Note", 0, ColumnKind::Text, ""}});
    writer.AddRow(std::vector<CellValue>{std::string("plain.dll"), FixedDecimal::FromWhole(12345),
                                         DateTime::FromFields({2024, 5, 6, 7, 8, 9}),
                                         std::string("\xC3\x9Cn\xC3\xAF ✓ 日本語 😀")});
    writer.AddRow(std::vector<CellValue>{std::monostate{}, FixedDecimal::FromWhole(0),
                                         DateTime::FromFields({1900, 1, 1, 0, 0, 0}), std::string()});
    writer.AddRow(std::vector<CellValue>{std::string("bad\xFF\xC3(utf8"), FixedDecimal::FromScaled(12345678),
                                         DateTime::FromFields({1601, 1, 1, 0, 0, 0}), Repeat("ж", 40000)});
    writer.AddRow(std::vector<CellValue>{"a" + Repeat("😀", 16384), FixedDecimal::FromWhole(5'000'000'000'000),
                                         DateTime::FromFields({2038, 1, 19, 3, 14, 7}), std::monostate{}});
    writer.AddRow(std::vector<CellValue>{std::string("short")});
    return Save(writer, folder + "/basic.xls");
}

// Distinct texts of many lengths in three scripts, enough to span many
// CONTINUE records; read_back_with_xlrd.py builds the same texts.
bool WriteManyStrings(const std::string& folder)
{
    WorkbookWriter writer({{"Text", 3000, ColumnKind::Text, ""}});
    const char* pieces[] = {"ж", "é", "x"};
    for (std::size_t i = 0; i < 3000; ++i) {
        writer.AddRow(std::vector<CellValue>{std::to_string(i) + ":" + Repeat(pieces[i % 3], i * 53 % 700)});
    }
    return Save(writer, folder + "/many.xls");
}

bool WriteSpill(const std::string& folder)
{
    WorkbookWriter writer({{"Name", 1500, ColumnKind::Text, ""}, {"Size", 1500, ColumnKind::Number, "#,0"}});
    for (int i = 0; i < 70000; ++i) {
        writer.AddRow(std::vector<CellValue>{"row " + std::to_string(i), FixedDecimal::FromWhole(i)});
    }
    return Save(writer, folder + "/spill.xls");
}

// Sizes around the largest whole number a spreadsheet number holds exactly,
// and the largest file size.
bool WriteHugeSizes(const std::string& folder)
{
    WorkbookWriter writer({{"Size", 3000, ColumnKind::Number, "#,0"}});
    for (const std::int64_t size : {std::int64_t{1} << 50, std::int64_t{1} << 53, (std::int64_t{1} << 53) + 1,
                                    std::numeric_limits<std::int64_t>::max()})
        writer.AddRow(std::vector<CellValue>{FixedDecimal::FromWhole(size)});
    return Save(writer, folder + "/huge.xls");
}

bool WriteEmpty(const std::string& folder)
{
    WorkbookWriter writer({{"Name", 1500, ColumnKind::Text, ""}, {"Size", 1500, ColumnKind::Number, "#,0"}});
    return Save(writer, folder + "/empty.xls");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: xls_sample_workbooks <folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = WriteBasic(folder) && WriteManyStrings(folder) && WriteSpill(folder) && WriteHugeSizes(folder) &&
                         WriteEmpty(folder);
    return written ? 0 : 1;
}
