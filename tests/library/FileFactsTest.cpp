// File facts and version strings against real files and the PE fixtures:
// sizes beyond 32 bits, FIFOs, unreadable and missing files, the fixed
// version text, the first-translation rule of the string reader, and the
// row facts read in one look agreeing with the single readers.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"
#include "tests/platform/TempFolder.h"

using namespace VORN_STD_library;
using testing_support::TempFolder;

namespace {

std::string Fixture(const std::string& name)
{
    return std::string(LUMBREL_FIXTURES_DIR) + "/pe/" + name;
}

// The digest a coreutils command ("sha256sum") gives for the file.
std::string DigestByCommand(const std::string& command, const std::string& path)
{
    std::string digest;
    if (FILE* pipe = ::popen((command + " '" + path + "'").c_str(), "r")) {
        for (int c = std::fgetc(pipe); c != EOF && c != ' '; c = std::fgetc(pipe)) digest.push_back(static_cast<char>(c));
        ::pclose(pipe);
    }
    return digest;
}

std::string Iso(const platform::DateTime& value)
{
    return value.ToIsoText();
}

} // namespace

TEST(ReadFileSize, FullSizesAndZeroForWhatCannotBeRead)
{
    const TempFolder tmp;
    const std::string sparse = tmp.File("sparse.bin");
    ASSERT_EQ(::truncate(sparse.c_str(), 5LL << 30), 0);
    EXPECT_EQ(ReadFileSize(sparse), platform::FixedDecimal::FromWhole(5LL << 30));
    EXPECT_EQ(ReadFileSize(tmp.File("small.txt", 12)).Whole(), 12);
    EXPECT_TRUE(ReadFileSize(tmp.path() + "missing").IsZero());
    EXPECT_TRUE(ReadFileSize(tmp.path()).IsZero());
    const std::string pipe = tmp.path() + "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_TRUE(ReadFileSize(pipe).IsZero());
}

TEST(ReadFileDate, SelectorsAndFixedFallbackDates)
{
    const TempFolder tmp;
    const std::string file = tmp.File("dated.txt", 3);
    const struct timespec times[2] = {{946684800, 0}, {1234567890, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(Iso(ReadFileDate(file, 1)), "2009-02-13 23:31:30");
    EXPECT_EQ(Iso(ReadFileDate(file, 2)), "2000-01-01 00:00:00");
    EXPECT_GT(ReadFileDate(file, 0).Days(), platform::DateTime::FromFields({2000, 1, 1, 0, 0, 0}).Days());
    EXPECT_EQ(Iso(ReadFileDate(file, 3)), "1900-01-01 00:00:00");
    EXPECT_EQ(Iso(ReadFileDate(file, -1)), "1900-01-01 00:00:00");
    EXPECT_EQ(Iso(ReadFileDate(tmp.path() + "missing", 1)), "1601-01-01 00:00:00");
    EXPECT_EQ(Iso(ReadFileDate(tmp.path() + "missing", 3)), "1900-01-01 00:00:00");

    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    if (!testing_support::RunningAsRoot()) {
        EXPECT_EQ(Iso(ReadFileDate(file, 1)), "1601-01-01 00:00:00");
        EXPECT_TRUE(ReadFileSize(file).IsZero());
    }
    // The row's date needs no read access, only the file.
    EXPECT_TRUE(ReadLastModifiedLocal(file).has_value());
    EXPECT_FALSE(ReadLastModifiedLocal(tmp.path() + "missing").has_value());
}

TEST(ReadFileTypeName, FromTheNameAlone)
{
    EXPECT_EQ(ReadFileTypeName("/nowhere/setup.exe"), "EXE File");
    EXPECT_EQ(ReadFileTypeName("/nowhere/README"), "File");
}

TEST(ReadFixedFileVersion, TextForms)
{
    EXPECT_EQ(ReadFixedFileVersion(Fixture("plain64.dll")), "1.2.3.4");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("plain32.dll")), "1.2.3.4");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("zero_ls.dll")), "1.0.0000");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("big_build.dll")), "6.1.65535.40000");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("spanish.dll")), "6.1.7601.17514");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("no_version_strings.dll")), "");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("no_fixed.dll")), "");
    EXPECT_EQ(ReadFixedFileVersion(Fixture("text_file.dll")), "");
    EXPECT_EQ(ReadFixedFileVersion("/no/such/file.dll"), "");
    EXPECT_EQ(HighWord(0x8000FFFFu), 0x8000u);
    EXPECT_EQ(LowWord(0x8000FFFFu), 0xFFFFu);
}

TEST(ReadVersionString, InfotypesOfAnOrdinaryResource)
{
    const std::string plain = Fixture("plain64.dll");
    EXPECT_EQ(ReadVersionString(plain, 0), "Plain Company");
    EXPECT_EQ(ReadVersionString(plain, 1), "Plain Description");
    EXPECT_EQ(ReadVersionString(plain, 2), "plain");
    EXPECT_EQ(ReadVersionString(plain, 3), "Copyright 2024 Plain");
    EXPECT_EQ(ReadVersionString(plain, 4), "plain.dll");
    EXPECT_EQ(ReadVersionString(plain, 5), "Plain Product");
    EXPECT_EQ(ReadVersionString(plain, 6), "1.2");
    EXPECT_EQ(ReadVersionString(plain, 7), "");
    EXPECT_EQ(ReadVersionString(plain, -1), "");
    EXPECT_EQ(ReadVersionString("", 0), "");
}

TEST(ReadVersionString, OnlyTheFirstTranslationIsUsed)
{
    EXPECT_EQ(ReadVersionString(Fixture("two_translations.dll"), 0), "Deutsche Firma");
    EXPECT_EQ(ReadVersionString(Fixture("spanish.dll"), 1), "Descripción");
    EXPECT_EQ(ReadVersionString(Fixture("unicode.dll"), 0), "株式会社テスト");
    EXPECT_EQ(ReadVersionString(Fixture("unicode.dll"), 1), "Описание 😀");
    EXPECT_EQ(ReadVersionString(Fixture("zero_ls.dll"), 5), "");
    EXPECT_EQ(ReadVersionString(Fixture("no_version_strings.dll"), 0), "");
}

TEST(ReadVersionString, HostileFilesGiveEmptyText)
{
    for (const char* name : {"child_overrun.dll", "cycle_to_root.dll", "cycle_to_self.dll", "empty.dll",
                             "huge_size_claim.dll", "mz_only.dll", "root_overrun.dll", "trunc_dos_header.dll",
                             "trunc_pe_header.dll", "trunc_resource_directory.dll", "trunc_section_table.dll",
                             "trunc_version_block.dll", "zero_length_child.dll", "rva_outside_sections.dll"}) {
        EXPECT_NO_THROW(ReadVersionString(Fixture(name), 0)) << name;
        EXPECT_NO_THROW(ReadFixedFileVersion(Fixture(name))) << name;
    }
    EXPECT_EQ(ReadVersionString(Fixture("empty.dll"), 0), "");
}

TEST(StringHelpers, NeverReadPastTheBuffer)
{
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(StringFromAnsiPointer(unterminated, sizeof unterminated), "abcd");
    EXPECT_EQ(StringFromAnsiPointer("ab\0cd", 5), "ab");
    EXPECT_EQ(StringFromAnsiPointer(nullptr, 10), "");
    EXPECT_EQ(CopyBytesToString("\x09\x04\xB0\x04", 4), std::string("\x09\x04\xB0\x04", 4));
    EXPECT_EQ(CopyBytesToString("xyz", 0), "");
}

TEST(ReadFileRowFacts, AgreeWithTheSingleReadersForEveryKindOfEntry)
{
    const TempFolder tmp;
    const std::string pe = tmp.path() + "plain.dll";
    std::filesystem::copy_file(Fixture("plain64.dll"), pe);
    const std::string unreadable = tmp.File("locked.dll", 40);
    ASSERT_EQ(::chmod(unreadable.c_str(), 0), 0);
    const std::string pipe = tmp.path() + "pipe.dll";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string link = tmp.path() + "link.dll";
    ASSERT_EQ(::symlink(pe.c_str(), link.c_str()), 0);
    const std::string dangling = tmp.path() + "dangling.dll";
    ASSERT_EQ(::symlink((tmp.path() + "gone").c_str(), dangling.c_str()), 0);

    for (const std::string& path : {pe, unreadable, pipe, link, dangling, tmp.path(), tmp.path() + "missing.dll"}) {
        const FileRowFacts facts = ReadFileRowFacts(path);
        EXPECT_EQ(facts.size, ReadFileSize(path)) << path;
        EXPECT_EQ(facts.modified, ReadLastModifiedLocal(path)) << path;
        EXPECT_EQ(facts.version.has_value(), !ReadFixedFileVersion(path).empty()) << path;
    }
    const FileRowFacts viaLink = ReadFileRowFacts(link);
    ASSERT_TRUE(viaLink.version.has_value());
    EXPECT_EQ(FixedFileVersionText(*viaLink.version), "1.2.3.4");
    EXPECT_FALSE(ReadFileRowFacts(dangling).modified.has_value());
    EXPECT_TRUE(ReadFileRowFacts(pipe).modified.has_value());
}

TEST(ReadFileRowFacts, APathHoldingANulNamesNoFile)
{
    const TempFolder tmp;
    const std::string file = tmp.File("real.dll", 7);
    const std::string cut = file + std::string("\0.txt", 5);
    EXPECT_FALSE(ReadFileRowFacts(cut).modified.has_value());
    EXPECT_TRUE(ReadFileSize(cut).IsZero());
    EXPECT_FALSE(ReadLastModifiedLocal(cut).has_value());
}

TEST(ReadFileRowFacts, DigestsOnlyWhenAskedAndEqualToTheCommands)
{
    const TempFolder tmp;
    const std::string large = tmp.path() + "large.bin";
    {
        std::ofstream out(large, std::ios::binary);
        for (int i = 0; i < 700000; ++i) out.put(static_cast<char>(i * 7 % 251));
    }
    for (const std::string& path : {Fixture("plain64.dll"), Fixture("empty.dll"), large}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(ReadFileRowFacts(path).digests.has_value());
        const std::optional<FileDigests> digests = ReadFileRowFacts(path, {.digests = true}).digests;
        ASSERT_TRUE(digests.has_value());
        EXPECT_EQ(digests->md5, DigestByCommand("md5sum", path));
        EXPECT_EQ(digests->sha1, DigestByCommand("sha1sum", path));
        EXPECT_EQ(digests->sha256, DigestByCommand("sha256sum", path));
    }
    EXPECT_FALSE(ReadFileRowFacts(tmp.path() + "missing.bin", {.digests = true}).digests.has_value());
}
