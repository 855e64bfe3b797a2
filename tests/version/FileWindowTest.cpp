// Reading an open file through windows: pieces anywhere in a file larger than
// a window, images whose resources lie far past the first window or across a
// window's end, and files that shrink after they were opened.
#include "FixtureFiles.h"
#include "platform/version/ByteSource.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using platform::VersionInfo;
using platform::version::FileByteSource;
using platform::version::kFileWindowBytes;

namespace {

class FileWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-window-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        if (fd_ >= 0)
            ::close(fd_);
        std::filesystem::remove_all(folder_);
    }

    // Writes bytes to a file in the folder, keeps it open for reading and
    // returns its path.
    std::string WriteAndOpen(const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = folder_ + "/image.dll";
        const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(out, 0);
        EXPECT_EQ(::write(out, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(out);
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = ::open(path.c_str(), O_RDONLY);
        EXPECT_GE(fd_, 0);
        return path;
    }

    std::string folder_;
    int fd_ = -1;
};

std::vector<std::uint8_t> PatternBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 9));
    return bytes;
}

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The image with the raw data of the section holding its resources copied to
// newRawOffset (zeros in between) and the section table pointed there.
std::vector<std::uint8_t> WithResourcesAt(std::vector<std::uint8_t> image, std::uint32_t newRawOffset)
{
    const std::uint32_t pe = U32At(image, 0x3C);
    const std::size_t sectionCount = image[pe + 6] | (image[pe + 7] << 8);
    const std::size_t optional = pe + 24;
    const std::size_t optionalBytes = image[pe + 20] | (image[pe + 21] << 8);
    const bool plus = image[optional] == 0x0B && image[optional + 1] == 0x02;
    const std::uint32_t resourceRva = U32At(image, optional + (plus ? 108 : 92) + 4 + 2 * 8);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t header = optional + optionalBytes + i * 40;
        const std::uint32_t va = U32At(image, header + 12);
        const std::uint32_t rawSize = U32At(image, header + 16);
        const std::uint32_t rawOffset = U32At(image, header + 20);
        if (resourceRva < va || resourceRva >= va + rawSize)
            continue;
        const std::vector<std::uint8_t> raw(image.begin() + rawOffset, image.begin() + rawOffset + rawSize);
        if (image.size() > newRawOffset)
            ADD_FAILURE() << "the new place overlaps the image";
        image.resize(newRawOffset, 0);
        image.insert(image.end(), raw.begin(), raw.end());
        for (int k = 0; k < 4; ++k)
            image[header + 20 + k] = static_cast<std::uint8_t>(newRawOffset >> (8 * k));
        return image;
    }
    ADD_FAILURE() << "no section holds the resources";
    return image;
}

}  // namespace

TEST_F(FileWindows, PiecesAnywhereReadTheFileBytes)
{
    const std::vector<std::uint8_t> bytes = PatternBytes(3 * kFileWindowBytes + 123);
    WriteAndOpen(bytes);
    const FileByteSource source(fd_, bytes.size());
    struct Piece {
        std::uint64_t offset;
        std::size_t count;
    };
    // In order and out of order: across window ends, the last byte, larger
    // than a window, back to the start, empty at the very end.
    const Piece pieces[] = {{0, 64},
                            {kFileWindowBytes - 10, 20},
                            {kFileWindowBytes - 1, 1},
                            {100, 8},
                            {kFileWindowBytes + 4000, kFileWindowBytes - 96},
                            {bytes.size() - 1, 1},
                            {5, kFileWindowBytes + 7},
                            {kFileWindowBytes + 3, 3},
                            {bytes.size(), 0},
                            {0, bytes.size()}};
    for (const Piece& piece : pieces) {
        std::vector<std::uint8_t> out(piece.count, 0xEE);
        ASSERT_TRUE(source.ReadInto(piece.offset, out)) << piece.offset << "+" << piece.count;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(piece.offset)))
            << piece.offset << "+" << piece.count;
    }
    std::vector<std::uint8_t> pastEnd(2);
    EXPECT_FALSE(source.ReadInto(bytes.size() - 1, pastEnd));
    EXPECT_FALSE(source.ReadInto(bytes.size() + 1, std::span<std::uint8_t>()));
}

TEST_F(FileWindows, ResourcesPastOrAcrossAWindowEndGiveTheSameAnswers)
{
    const std::vector<std::uint8_t> original = PeFixtureBytes("plain64.dll");
    const auto expected = VersionInfo::FromImage(original);
    ASSERT_TRUE(expected);
    // Every placement from just before the first window's end to just past
    // it puts some structure across the boundary; the last lies far beyond.
    std::vector<std::uint32_t> placements;
    for (std::uint32_t at = kFileWindowBytes - 2400; at < kFileWindowBytes + 200; at += 100)
        placements.push_back(at);
    placements.push_back(5 * kFileWindowBytes + 17);
    for (std::uint32_t at : placements) {
        const std::vector<std::uint8_t> image = WithResourcesAt(original, at);
        const std::string path = WriteAndOpen(image);
        const auto fromFile = VersionInfo::FromFile(path);
        ASSERT_TRUE(fromFile) << at;
        EXPECT_EQ(fromFile->Block(), expected->Block()) << at;
        const auto fromOpenFile = VersionInfo::FromOpenFile(fd_, image.size());
        ASSERT_TRUE(fromOpenFile) << at;
        EXPECT_EQ(fromOpenFile->Query("\\StringFileInfo\\040904B0\\CompanyName")->data, "Plain Company");
    }
}

TEST_F(FileWindows, AFileThatShrinksAfterOpeningFailsWhereItsBytesAreGone)
{
    const std::vector<std::uint8_t> bytes = PatternBytes(2 * kFileWindowBytes);
    const std::string path = WriteAndOpen(bytes);
    const FileByteSource source(fd_, bytes.size());
    std::vector<std::uint8_t> out(16);
    ASSERT_TRUE(source.ReadInto(0, out));
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    // Still inside the window read before the file shrank.
    EXPECT_TRUE(source.ReadInto(900, out));
    EXPECT_FALSE(source.ReadInto(kFileWindowBytes + 10, out));
    EXPECT_FALSE(source.ReadInto(bytes.size() - 16, out));

    // A source made with the size from before the cut reads what is left.
    const FileByteSource stale(fd_, bytes.size());
    EXPECT_TRUE(stale.ReadInto(984, out));
    EXPECT_EQ(0, std::memcmp(out.data(), bytes.data() + 984, out.size()));
    EXPECT_FALSE(stale.ReadInto(990, out));
    std::vector<std::uint8_t> large(kFileWindowBytes + 1);
    EXPECT_FALSE(stale.ReadInto(0, large));
}

TEST_F(FileWindows, AnImageCutAfterOpeningHasNoVersionInformation)
{
    const std::vector<std::uint8_t> image = WithResourcesAt(PeFixtureBytes("plain32.dll"), 3 * kFileWindowBytes);
    const std::string path = WriteAndOpen(image);
    // Cut inside the headers, inside the resource directory, inside the block.
    for (std::size_t keep : {std::size_t{200}, std::size_t{3 * kFileWindowBytes + 40}, image.size() - 30}) {
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(keep)), 0);
        EXPECT_FALSE(VersionInfo::FromOpenFile(fd_, image.size())) << keep;
    }
}
