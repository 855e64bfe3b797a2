// lumbrel-scan with several jobs and its file filters: rows in the same order
// and bytes for any -j, early readers and failing rows under -j 4, the
// ordered builder stopped part way, its threads started ahead of their work,
// and --executables on renamed images and on files that must never be read
// (FIFOs).
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <sched.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "ScanProcess.h"
#include "cli/OrderedRowBuilder.h"
#include "cli/WaitingThreads.h"

namespace {

namespace fs = std::filesystem;
using clitest::ProcessResult;
using clitest::ProcessSetup;
using clitest::RunScan;

const fs::path kFixtures = fs::path(LUMBREL_FIXTURES_DIR) / "pe";

class ScanJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-jobs-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    // Every fixture (hostile ones included) in folders nested `depth` deep,
    // `copies` times over with names that sort differently from their
    // creation order. Copies, not hard links: an unprivileged user may not
    // link to files it does not own.
    void MakeTree(int depth, int copies)
    {
        fs::path folder = root_;
        for (int level = 0; level < depth; ++level) {
            folder /= "level" + std::to_string(level);
            fs::create_directories(folder);
            int n = 0;
            for (const fs::directory_entry& fixture : fs::directory_iterator(kFixtures)) {
                if (!fixture.is_regular_file()) continue;
                for (int copy = 0; copy < copies; ++copy)
                    fs::copy_file(fixture.path(), folder / (std::to_string((n * 7919 + copy) % 1000) + "_" +
                                                            std::to_string(copy) + "_" +
                                                            fixture.path().filename().string()));
                ++n;
            }
        }
    }

    // `count` folders named by number, each holding a.dll and b.dll.
    void MakeFolders(int count)
    {
        for (int i = 0; i < count; ++i) {
            fs::create_directory(fs::path(root_) / std::to_string(i));
            for (const char* name : {"a.dll", "b.dll"})
                fs::copy_file(kFixtures / "plain32.dll", fs::path(root_) / std::to_string(i) / name);
        }
    }

    std::string root_;
};

// Records the rows handed to it: names, and versions read.
class RowRecorder : public grid::formats::RowWriter {
public:
    std::vector<std::string> names;
    std::vector<std::string> versions;
    void Begin() override {}
    void Row(std::span<const grid::CellValue> cells) override
    {
        names.push_back(std::get<std::string>(cells[0]));
        versions.push_back(std::get<std::string>(cells[1]));
    }
    void End() override {}
};

} // namespace

TEST_F(ScanJobs, AnyJobCountGivesTheSingleThreadOutput)
{
    MakeTree(3, 8);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--format", "tsv"}, {"--format", "json", "--columns", "all"},
          {"--format", "csv", "-f", "*"}}) {
        std::vector<std::string> single = options;
        single.insert(single.end(), {"-j", "1", root_});
        const ProcessResult reference = RunScan(single);
        ASSERT_EQ(reference.exitStatus, 0) << reference.err;
        ASSERT_GT(reference.out.size(), 1000u);
        for (const char* jobs : {"2", "4", "13"}) {
            std::vector<std::string> parallel = options;
            parallel.insert(parallel.end(), {"-j", jobs, root_});
            const ProcessResult result = RunScan(parallel);
            EXPECT_EQ(result.exitStatus, 0) << jobs;
            EXPECT_TRUE(result.out == reference.out) << options[1] << " -j " << jobs;
        }
    }
}

// The descriptors of folders handed to the row builders stay few under a low
// limit, so every file is still read.
TEST_F(ScanJobs, ALowDescriptorLimitGivesTheSingleThreadRows)
{
    MakeFolders(200);
    ProcessSetup lowLimit;
    lowLimit.openFileLimit = 12;
    const ProcessResult reference = RunScan({"-j", "1", root_});
    ASSERT_EQ(reference.exitStatus, 0) << reference.err;
    for (const char* jobs : {"2", "4"}) {
        const ProcessResult result = RunScan({"-j", jobs, root_}, lowLimit);
        EXPECT_EQ(result.err, "") << jobs;
        EXPECT_TRUE(result.out == reference.out) << jobs;
    }
}

TEST_F(ScanJobs, AReaderThatStopsEarlyEndsAParallelScanQuietly)
{
    MakeTree(2, 60);
    for (const int lines : {0, 1}) {
        ProcessSetup setup;
        setup.stopReadingAfterLines = lines;
        const ProcessResult result = RunScan({"-j", "4", "-f", "*", root_}, setup);
        EXPECT_EQ(result.exitStatus, 0) << lines;
        EXPECT_EQ(result.err, "") << lines;
    }
}

TEST_F(ScanJobs, OrderedBuilderWritesInQueueOrderAndStopsPartWay)
{
    MakeTree(1, 3);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(root_) / "level0"))
        names.push_back(entry.path().filename().string());
    const std::string folder = root_ + "/level0/";
    {
        RowRecorder rows;
        cli::OrderedRowBuilder builder(4, DefaultFactSelection(), {}, rows, 8);
        for (const std::string& name : names) builder.Add(folder, name);
        builder.Finish();
        EXPECT_EQ(rows.names, names);
    }
    // Dropped with rows queued and being built: no wait for them, no crash.
    RowRecorder rows;
    {
        cli::OrderedRowBuilder builder(4, DefaultFactSelection(), {}, rows, 64);
        for (const std::string& name : names) builder.Add(folder, name);
    }
    EXPECT_LE(rows.names.size(), names.size());
}

// Folders are handed to the workers as descriptors that the last row of each
// folder lets go of; whichever thread lets go last, each descriptor is closed
// in the table it was opened in, so no row reads through a descriptor closed
// under it and none stays open.
TEST_F(ScanJobs, OrderedBuilderClosesEachFolderOnceInTheSharedTable)
{
    constexpr int kFolders = 300;
    MakeFolders(kFolders);
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openDescriptors();
    RowRecorder rows;
    {
        cli::OrderedRowBuilder builder(2, DefaultFactSelection(), {}, rows, 4);
        for (int i = 0; i < kFolders; ++i) {
            const std::string folder = root_ + "/" + std::to_string(i) + "/";
            auto handle = std::make_shared<const platform::UniqueFd>(
                ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            ASSERT_TRUE(*handle);
            for (const char* name : {"a.dll", "b.dll"}) builder.Add(folder, name, handle, true);
            builder.Flush();
        }
        builder.Finish();
    }
    EXPECT_EQ(rows.versions, std::vector<std::string>(2 * kFolders, "1.2.3.4"));
    EXPECT_EQ(openDescriptors(), before);
}

// Threads started ahead run their work once each, or none when dropped
// unstarted; their creator keeps one processor meanwhile and gets back every
// processor it had.
TEST(WaitingThreadsTest, RunWorkOnceAndGiveTheCreatorItsProcessorsBack)
{
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    { cli::WaitingThreads unstarted(3); }

    std::array<std::atomic<int>, 3> runs{};
    {
        cli::WaitingThreads threads(3);
        cpu_set_t during;
        ASSERT_EQ(sched_getaffinity(0, sizeof during, &during), 0);
        EXPECT_EQ(CPU_COUNT(&during), CPU_COUNT(&before) > 1 ? 1 : CPU_COUNT(&before));
        threads.Start([&runs](unsigned index) { ++runs[index]; });
        threads.Start([&runs](unsigned index) { runs[index] += 10; });
        threads.Join();
        cpu_set_t after;
        ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
        EXPECT_TRUE(CPU_EQUAL(&after, &before));
    }
    for (const std::atomic<int>& count : runs) EXPECT_EQ(count.load(), 1);
}

TEST_F(ScanJobs, ExecutablesAreFoundByContentWhateverTheirNames)
{
    struct Entry {
        const char* fixture;
        const char* name;
        bool image;
    };
    const std::vector<Entry> entries{
        {"plain32.dll", "readme.txt", true},     {"ne_plain.dll", "old.bin", true},
        {"plain64.dll", "plain.dll", true},      {"text_file.dll", "text.dll", false},
        {"mz_only.dll", "mz_only.exe", false},   {"trunc_dos_header.dll", "short.exe", false},
        {"trunc_pe_header.dll", "cut.exe", true}, {"empty.dll", "empty.exe", false},
    };
    for (const Entry& entry : entries) fs::copy_file(kFixtures / entry.fixture, fs::path(root_) / entry.name);
    // A FIFO nobody writes to: opening it for reading would wait for ever.
    ASSERT_EQ(mkfifo((root_ + "/pipe.exe").c_str(), 0600), 0);

    auto names = [this](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--format", "csv", "--columns", "filename", "-j", "1", root_});
        const ProcessResult result = RunScan(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        std::vector<std::string> found;
        std::size_t start = result.out.find("\r\n") + 2;
        while (start < result.out.size()) {
            const std::size_t end = result.out.find("\r\n", start);
            found.push_back(result.out.substr(start, end - start));
            start = end + 2;
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    std::vector<std::string> images;
    for (const Entry& entry : entries)
        if (entry.image) images.push_back(entry.name);
    std::sort(images.begin(), images.end());
    EXPECT_EQ(names({"--executables"}), images);
    EXPECT_EQ(names({"--executables", "-f", "*.txt;*.bin"}), (std::vector<std::string>{"old.bin", "readme.txt"}));
    const ProcessResult count = RunScan({"--count", "--executables", "--format", "csv", root_});
    EXPECT_EQ(count.out.substr(count.out.find("\r\n") + 2, 2), std::to_string(images.size()) + ",");
}
