// Feeds every file of a fuzz target's seed corpus and of its kept crash
// inputs through the target's entry function. A fault shows as a crash, a
// trap or a sanitizer report of this test. An input that makes the target
// allocate more than kMaxAllocatedBytes in all fails too: that much memory
// filled and copied is work no input of a few kilobytes may cause.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr std::uint64_t kMaxAllocatedBytes = 64u << 20;

std::atomic<std::uint64_t> allocatedBytes{0};

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
        const std::uint64_t before = allocatedBytes;
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        EXPECT_LE(allocatedBytes - before, kMaxAllocatedBytes);
        ++count;
    }
    return count;
}

}  // namespace

// Every allocation of this test counts towards allocatedBytes. All forms of
// the plain operators are replaced together, so whatever one of them
// allocates, the matching one frees with the same allocator.
namespace {

void* CountedAllocation(std::size_t size) noexcept
{
    allocatedBytes += size;
    return std::malloc(size == 0 ? 1 : size);
}

void* CountedAllocationOrThrow(std::size_t size)
{
    if (void* p = CountedAllocation(size))
        return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocationOrThrow(size); }
void* operator new[](std::size_t size) { return CountedAllocationOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(FuzzReplay, SeedCorpusAndRegressionsRunCleanly)
{
    const std::filesystem::path fuzz = std::filesystem::path(LUMBREL_SOURCE_DIR) / "fuzz";
    EXPECT_GT(ReplayFolder(fuzz / "corpus" / FUZZ_TARGET), 0u) << "the seed corpus is missing";
    ReplayFolder(fuzz / "regressions" / FUZZ_TARGET);
}
