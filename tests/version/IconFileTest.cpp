// The .ico file built from a PE image's icon group.
#include "FixtureFiles.h"
#include "platform/version/CountingByteSource.h"
#include "platform/version/PeIcons.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace

TEST(IconFile, RebuildsTheIconTheImageWasMadeFrom)
{
    auto ico = platform::ReadIconFile(PeFixture("no_version_icon.dll"));
    ASSERT_TRUE(ico);
    // The resource compiler split icon.ico into a group and its images; put
    // back together, the file is the original again.
    const auto original = PeFixtureBytes("icon.ico");
    ASSERT_FALSE(original.empty());
    EXPECT_EQ(*ico, original);
    ASSERT_GE(ico->size(), 6u + 2 * 16u);
    EXPECT_EQ((*ico)[4], 2);  // two images
    EXPECT_EQ(U32(*ico, 6 + 12), 6u + 2 * 16u);  // the first right after the directory
}

TEST(IconFile, ImagesWithoutIconsOrDamagedGiveNothing)
{
    for (const char* file : {"plain64.dll", "no_version_strings.dll", "text_file.dll", "empty.dll",
                             "trunc_resource_directory.dll", "cycle_to_root.dll"}) {
        EXPECT_FALSE(platform::ReadIconFile(PeFixture(file))) << file;
    }
}

TEST(IconFile, HostileGroupsCostAFewReadsNotAWalkPerEntry)
{
    // Both found by fuzzing, both with a resource section far larger than the
    // file. icon-group-slow: a group of 2056 entries whose images the
    // directory does not resolve, under a names directory claiming 65774
    // entries that mostly lie past the file's data; each directory is read
    // once, and only the part the file holds. icon-images-zero-filled-slow:
    // 256 entries whose images' file data lies past the end of the file.
    for (const char* name : {"icon-group-slow", "icon-images-zero-filled-slow"}) {
        SCOPED_TRACE(name);
        std::ifstream in(std::string(LUMBREL_SOURCE_DIR) + "/fuzz/regressions/version/" + name, std::ios::binary);
        const std::vector<std::uint8_t> image(std::istreambuf_iterator<char>(in), {});
        ASSERT_FALSE(image.empty());
        const platform::version::MemoryByteSource memory(image);
        const platform::version::CountingByteSource counted(memory);
        EXPECT_FALSE(platform::IconFileFromSource(counted));
        EXPECT_LE(counted.Reads(), 32u);
        EXPECT_LE(counted.Bytes(), 2 * image.size());
    }
}
