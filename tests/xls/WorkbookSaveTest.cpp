// Saving workbooks: the final name only ever holds a complete file, failures
// name the path and the cause and leave no temporary file behind, and an
// existing file is replaced only when asked.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

#include "grid/xls/XlsWorkbook.h"

using namespace grid::xls;
namespace fs = std::filesystem;

namespace {

class WorkbookSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("xls-save-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    static WorkbookWriter SampleWriter(int rows)
    {
        WorkbookWriter writer({{"Name", 1500, ColumnKind::Text, ""}});
        for (int row = 0; row < rows; ++row) writer.AddRow(std::vector<platform::CellValue>{"row " + std::to_string(row)});
        return writer;
    }

    fs::path folder_;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_F(WorkbookSave, SavedFileHoldsExactlyTheStreamBytes)
{
    WorkbookWriter writer = SampleWriter(10);
    std::string error;
    const fs::path path = folder_ / "book.xls";
    ASSERT_TRUE(writer.Save(path, false, error)) << error;
    std::ostringstream streamed;
    ASSERT_TRUE(writer.Write(streamed));
    EXPECT_EQ(ReadFile(path), streamed.str());
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"book.xls"});
}

TEST_F(WorkbookSave, ExistingFileIsKeptUnlessReplacingIsAsked)
{
    const fs::path path = folder_ / "book.xls";
    std::ofstream(path) << "earlier export";
    WorkbookWriter writer = SampleWriter(3);
    std::string error;
    EXPECT_FALSE(writer.Save(path, false, error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_NE(error.find("File exists"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(path), "earlier export");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"book.xls"});

    ASSERT_TRUE(writer.Save(path, true, error)) << error;
    EXPECT_EQ(ReadFile(path).substr(0, 4), "\xD0\xCF\x11\xE0");
}

TEST_F(WorkbookSave, UnwritableDestinationsFailWithTheirCause)
{
    std::ofstream(folder_ / "plain-file") << "x";
    const std::pair<fs::path, std::string> cases[] = {
        {folder_ / "missing" / "book.xls", "No such file or directory"},
        {folder_ / "plain-file" / "book.xls", "Not a directory"},
        {"/proc/book.xls", ""},
    };
    for (const auto& [path, cause] : cases) {
        WorkbookWriter writer = SampleWriter(3);
        std::string error;
        EXPECT_FALSE(writer.Save(path, false, error)) << path;
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
        EXPECT_NE(error.find(cause), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(path));
    }
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"plain-file"});
}

TEST_F(WorkbookSave, WriteFailureMidwayLeavesNoFileUnderEitherName)
{
    // A file size limit makes the writes fail part-way, as a full disk would.
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    WorkbookWriter writer = SampleWriter(20000);
    std::string error;
    const fs::path path = folder_ / "book.xls";
    const bool saved = writer.Save(path, false, error);

    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(WorkbookSave, MoreColumnsThanASheetHoldsIsRefusedNotTruncated)
{
    WorkbookWriter writer(std::vector<SheetColumn>(257, SheetColumn{"c", 1000, ColumnKind::Text, ""}));
    std::string error;
    EXPECT_FALSE(writer.Save(folder_ / "wide.xls", false, error));
    EXPECT_NE(error.find("256 columns"), std::string::npos) << error;
    EXPECT_TRUE(FolderEntries().empty());
}

TEST(WorkbookWrite, FailingStreamIsReported)
{
    WorkbookWriter writer({{"Name", 1500, ColumnKind::Text, ""}});
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(writer.Write(out));
}
