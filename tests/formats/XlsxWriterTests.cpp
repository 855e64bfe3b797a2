// xlsx workbooks read back cell for cell by an independent reader (openpyxl):
// typed cells, the heading, sheets continued past the row limit, text that
// XML or a spreadsheet would otherwise change.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "grid/GridColumn.h"
#include "grid/GridStyle.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"
#include "grid/formats/SpreadsheetText.h"

namespace grid::formats {
namespace {

std::string ReadBack(const std::string& path)
{
    const std::string dump = path + ".txt";
    const std::string command = "/usr/bin/python3 " LUMBREL_SOURCE_DIR "/tests/formats/dump_xlsx.py " + path +
                                " > " + dump + " 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(dump);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(dump.c_str());
    return status == 0 ? text.str() : "read-back failed: " + text.str();
}

TEST(XlsxWriter, AnIndependentReaderSeesTypedCellsAndSheetsContinuedUnderTheHeading)
{
    const std::vector<grid::ResultColumn> columns{
        {"filename", "File name", 1500, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"size", "Size", 900, grid::kDataTypeInteger, grid::kAlignRightCenter, "#,0"},
        {"date", "Date", 1800, grid::kDataTypeDateTime, grid::kAlignGeneral, ""},
    };
    using platform::DateTime;
    using platform::FixedDecimal;
    const std::vector<std::vector<grid::CellValue>> rows{
        {std::string("Grüße 日本.dll"), FixedDecimal::FromWhole(1234567),
         DateTime::FromFields({2024, 2, 29, 13, 45, 30})},
        {std::string("old.exe"), FixedDecimal::FromWhole((std::int64_t{1} << 53) + 1),
         DateTime::FromFields({1899, 12, 31, 0, 0, 0})},
        {std::string("bad\xff_x0041_\xef\xbf\xbe"), std::monostate{}, DateTime::FromFields({1900, 1, 1, 0, 0, 0})},
    };

    char path[] = "/tmp/lumbrel-xlsx-test-XXXXXX.xlsx";
    const int fd = mkstemps(path, 5);
    ASSERT_GE(fd, 0);
    {
        FdWriter out(fd);
        WriterSettings settings;
        settings.rowsPerSheet = 2;
        const auto writer = MakeRowWriter(OutputFormat::Xlsx, settings, out, columns);
        writer->Begin();
        for (const auto& row : rows) writer->Row(row);
        writer->End();
        EXPECT_TRUE(out.Flush());
        EXPECT_EQ(writer->CutValues(), 0u);
    }
    close(fd);
    const std::string dump = ReadBack(path);
    std::remove(path);

    EXPECT_EQ(dump, "sheet Sheet1 freeze=A2 filter=A1:C3\n"
                    "Sheet1!A width=15.00\n"
                    "Sheet1!B width=9.29\n"
                    "Sheet1!C width=17.86\n"
                    "Sheet1!A1 str bold General 'File name'\n"
                    "Sheet1!B1 str bold General 'Size'\n"
                    "Sheet1!C1 str bold General 'Date'\n"
                    "Sheet1!A2 str - General 'Grüße 日本.dll'\n"
                    "Sheet1!B2 int - #,0 1234567\n"
                    "Sheet1!C2 datetime - yyyy-mm-dd hh:mm:ss 2024-02-29 13:45:30\n"
                    "Sheet1!A3 str - General 'old.exe'\n"
                    "Sheet1!B3 str - General '9007199254740993'\n"
                    "Sheet1!C3 str - General '1899-12-31 00:00:00'\n"
                    "sheet Sheet2 freeze=A2 filter=A1:C2\n"
                    "Sheet2!A width=15.00\n"
                    "Sheet2!B width=9.29\n"
                    "Sheet2!C width=17.86\n"
                    "Sheet2!A1 str bold General 'File name'\n"
                    "Sheet2!B1 str bold General 'Size'\n"
                    "Sheet2!C1 str bold General 'Date'\n"
                    "Sheet2!A2 str - General 'bad\xef\xbf\xbd_x005F_x0041_\xef\xbf\xbd'\n"
                    "Sheet2!C2 datetime - yyyy-mm-dd hh:mm:ss 1900-01-01 00:00:00\n");
}

TEST(XlsxWriter, AWorkingFolderThatCannotBeUsedFailsTheOutputWithItsName)
{
    class RecordingSink final : public OutputSink {
    public:
        void Write(std::string_view bytes) override { written += bytes.size(); }
        void Fail(int error) override { this->error = error; }
        bool Failed() const override { return error != 0; }
        std::size_t written = 0;
        int error = 0;
    } sink;
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("TMPDIR", "/nonexistent-lumbrel-folder", 1);
    const auto writer = MakeRowWriter(OutputFormat::Xlsx, {}, sink, {});
    if (saved != nullptr) setenv("TMPDIR", previous.c_str(), 1);
    else unsetenv("TMPDIR");
    writer->Begin();
    writer->End();
    EXPECT_EQ(sink.error, ENOENT);
    EXPECT_EQ(sink.written, 0u);
    EXPECT_EQ(writer->Problem(),
              "cannot create a working file in /nonexistent-lumbrel-folder: No such file or directory");
}

TEST(XlsxWriter, CellTextIsCutAtACharacterBoundaryWithinTheCellLimit)
{
    struct Case {
        std::string text;
        std::size_t keptBytes;
        bool cut;
    };
    const std::string limit(kMaxSpreadsheetTextUnits, 'a');
    const std::string astral = "\xf0\x9f\x98\x80"; // two UTF-16 units
    for (const Case& c : std::vector<Case>{
             {limit, limit.size(), false},
             {limit + "b", limit.size(), true},
             {limit.substr(1) + astral, limit.size() - 1, true},
             {limit.substr(2) + astral, limit.size() - 2 + 4, false},
         }) {
        std::string out;
        EXPECT_EQ(AppendSpreadsheetText(out, c.text), c.cut);
        EXPECT_EQ(out.size(), c.keptBytes);
    }
}

} // namespace
} // namespace grid::formats
