// Export of the result table to an .xls file: the file is written with the
// table's captions and cells, an existing file is never replaced, and every
// failure is an ExportError.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "GridTestSupport.h"
#include "grid/ResultGrid.h"

namespace {

namespace fs = std::filesystem;

class ResultGridExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("grid-export-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        grid::testing::AddWindowColumns(grid_);
        grid_.SetRowCount(1);
        grid_.SetCellValue(0, 0, std::string("uniquely-named-file.dll"));
        grid_.SetCellValue(0, 2, platform::FixedDecimal::FromWhole(123456));
        grid_.SetCellValue(0, 3, platform::DateTime::FromFields({2023, 7, 1, 8, 30, 0}));
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string ReadAll(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder_;
    grid::ResultGrid grid_;
};

TEST_F(ResultGridExport, WritesACompoundFileHoldingCaptionsAndCells)
{
    std::string path = (folder_ / "zr2024-01-01#001.xls").string();
    const std::string requested = path;
    grid_.Export(path, grid::kExportFormatXls, grid::kExportFlagsDefault);

    EXPECT_EQ(path, requested);
    const std::string bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 512u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_NE(bytes.find("Description"), std::string::npos);
    EXPECT_NE(bytes.find("uniquely-named-file.dll"), std::string::npos);
}

TEST_F(ResultGridExport, HiddenColumnsAreLeftOut)
{
    grid_.Column(1).SetVisible(false);
    grid_.Column(6).SetVisible(false);
    std::string path = (folder_ / "hidden.xls").string();
    grid_.Export(path, grid::kExportFormatXls, grid::kExportFlagsDefault);
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.find("uniquely-named-file.dll"), std::string::npos);
    EXPECT_EQ(bytes.find("Description"), std::string::npos);
    EXPECT_NE(bytes.find("Company"), std::string::npos);
}

TEST_F(ResultGridExport, ChosenRowsAreWrittenInTheOrderGivenAndAnUnknownRowWritesNothing)
{
    grid_.SetRowCount(3);
    grid_.SetCellValue(1, 0, std::string("second-row-name.dll"));
    grid_.SetCellValue(2, 0, std::string("third-row-name.dll"));
    std::string path = (folder_ / "chosen.xls").string();
    const int rows[] = {2, 0};
    grid_.ExportRows(path, grid::kExportFormatXls, grid::kExportFlagsDefault, rows);
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.find("second-row-name.dll"), std::string::npos);
    EXPECT_LT(bytes.find("third-row-name.dll"), bytes.find("uniquely-named-file.dll"));

    std::string unknown = (folder_ / "unknown.xls").string();
    const int outside[] = {0, 3};
    EXPECT_THROW(grid_.ExportRows(unknown, grid::kExportFormatXls, grid::kExportFlagsDefault, outside),
                 std::out_of_range);
    EXPECT_FALSE(fs::exists(unknown));
}

TEST_F(ResultGridExport, AnExistingFileIsKeptAndTheFailureReported)
{
    const fs::path existing = folder_ / "taken.xls";
    std::ofstream(existing) << "earlier export";
    std::string path = existing.string();
    EXPECT_THROW(grid_.Export(path, grid::kExportFormatXls, grid::kExportFlagsDefault), grid::ExportError);
    EXPECT_EQ(ReadAll(existing), "earlier export");
}

TEST_F(ResultGridExport, OtherFormatsAndUnwritableFoldersFail)
{
    std::string path = (folder_ / "other.xls").string();
    EXPECT_THROW(grid_.Export(path, 4, grid::kExportFlagsDefault), grid::ExportError);
    EXPECT_FALSE(fs::exists(path));

    std::string missingFolder = (folder_ / "no-such-folder" / "a.xls").string();
    try {
        grid_.Export(missingFolder, grid::kExportFormatXls, grid::kExportFlagsDefault);
        FAIL() << "export into a missing folder succeeded";
    } catch (const grid::ExportError& error) {
        EXPECT_NE(std::string(error.what()), "");
    }
}

TEST_F(ResultGridExport, AnEmptyTableStillGivesAFile)
{
    grid_.SetRowCount(0);
    std::string path = (folder_ / "empty.xls").string();
    grid_.Export(path, grid::kExportFormatXls, grid::kExportFlagsDefault);
    EXPECT_TRUE(fs::exists(path));
}

} // namespace
