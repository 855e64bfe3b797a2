// Feeds every file of a fuzz target's seed corpus and of its kept crash
// inputs through the target's entry function. A fault shows as a crash, a
// trap or a sanitizer report of this test.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::size_t ReplayFolder(const std::filesystem::path& folder)
{
    std::size_t count = 0;
    if (!std::filesystem::is_directory(folder))
        return count;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++count;
    }
    return count;
}

}  // namespace

TEST(FuzzReplay, SeedCorpusAndRegressionsRunCleanly)
{
    const std::filesystem::path fuzz = std::filesystem::path(LUMBREL_SOURCE_DIR) / "fuzz";
    EXPECT_GT(ReplayFolder(fuzz / "corpus" / FUZZ_TARGET), 0u) << "the seed corpus is missing";
    ReplayFolder(fuzz / "regressions" / FUZZ_TARGET);
}
