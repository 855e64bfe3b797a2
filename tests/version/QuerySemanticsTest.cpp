// Query paths and values on raw version blocks.
#include "FixtureFiles.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <utility>

using platform::VersionInfo;

namespace {

// A block with a two-byte-aligned header: length, value length, type, key.
std::vector<std::uint8_t> Header(std::uint16_t length, std::uint16_t valueLength, std::uint16_t type,
                                 const std::u16string& key)
{
    std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                     static_cast<std::uint8_t>(valueLength),
                                     static_cast<std::uint8_t>(valueLength >> 8), static_cast<std::uint8_t>(type),
                                     0};
    for (char16_t c : key) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    while (out.size() % 4)
        out.push_back(0);
    return out;
}

}  // namespace

TEST(VersionQuery, PathsSplitAtBackslashesIgnoringEmptyParts)
{
    auto info = VersionInfo::FromFile(PeFixture("plain64.dll"));
    ASSERT_TRUE(info);
    for (const char* path : {"\\StringFileInfo\\040904B0\\ProductName", "StringFileInfo\\040904B0\\ProductName",
                             "\\\\StringFileInfo\\\\040904b0\\productname\\"}) {
        auto value = info->Query(path);
        ASSERT_TRUE(value) << path;
        EXPECT_EQ(value->data, "Plain Product");
    }
    EXPECT_EQ(info->Query("")->length, 52u);
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904B0\\ProductName\\More"));
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904B0\\Product"));
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904B0\\ProductNameX"));
}

TEST(VersionQuery, BlockFromAnImageAnswersLikeTheImage)
{
    auto fromFile = VersionInfo::FromFile(PeFixture("two_translations.dll"));
    ASSERT_TRUE(fromFile);
    auto fromBlock = VersionInfo::FromBlock(fromFile->Block());
    ASSERT_TRUE(fromBlock);
    EXPECT_EQ(fromBlock->Size(), fromFile->Size());
    EXPECT_EQ(fromBlock->Query("\\StringFileInfo\\040704E4\\FileDescription")->data, "Deutsche Beschreibung");
    EXPECT_EQ(fromBlock->Query("\\")->data, fromFile->Query("\\")->data);
}

TEST(VersionQuery, RawBlocksThatAreNotVersionBlocks)
{
    EXPECT_FALSE(VersionInfo::FromBlock({}));
    EXPECT_FALSE(VersionInfo::FromBlock({0x04, 0x00, 0x00, 0x00, 0x00, 0x00}));  // shorter than a header
    EXPECT_FALSE(VersionInfo::FromBlock({0x40, 0x00, 0x00, 0x00, 0x00, 0x00}));  // longer than the buffer
}

TEST(VersionQuery, KeyWithoutNulAndValuePastTheBlock)
{
    // Root whose key runs to the end of the block: it has neither a value nor
    // children, and a query must not read beyond it.
    std::vector<std::uint8_t> block = {12, 0, 52, 0, 0, 0, 'V', 0, 'S', 0, '_', 0, 0xEE, 0xEE};
    auto info = VersionInfo::FromBlock(block);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->Query("\\"));
    EXPECT_FALSE(info->Query("\\VarFileInfo"));

    // A Var claiming more bytes than its block holds gives what the block holds.
    auto var = Header(0, 200, 0, u"Translation");
    var.insert(var.end(), {0x09, 0x04, 0xB0, 0x04});
    var[0] = static_cast<std::uint8_t>(var.size());
    auto varFileInfo = Header(0, 0, 1, u"VarFileInfo");
    varFileInfo.insert(varFileInfo.end(), var.begin(), var.end());
    varFileInfo[0] = static_cast<std::uint8_t>(varFileInfo.size());
    auto root = Header(0, 0, 0, u"VS_VERSION_INFO");
    root.insert(root.end(), varFileInfo.begin(), varFileInfo.end());
    root[0] = static_cast<std::uint8_t>(root.size());
    root.insert(root.end(), {0xAA, 0xBB, 0xCC, 0xDD});  // bytes after the root belong to no block

    auto rooted = VersionInfo::FromBlock(root);
    ASSERT_TRUE(rooted);
    auto translation = rooted->Query("\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_FALSE(translation->isText);
    EXPECT_EQ(translation->length, 4u);
    EXPECT_EQ(translation->data, std::string("\x09\x04\xB0\x04", 4));
    EXPECT_FALSE(rooted->Query("\\"));
}

TEST(VersionQuery, KeysOutsideAsciiCompareWithoutRegardToCase)
{
    auto entry = Header(0, 3, 1, u"Компания");
    entry.insert(entry.end(), {'O', 0, 'O', 0, 'O', 0, 0, 0});
    entry[0] = static_cast<std::uint8_t>(entry.size());
    auto root = Header(0, 0, 0, u"VS_VERSION_INFO");
    root.insert(root.end(), entry.begin(), entry.end());
    root[0] = static_cast<std::uint8_t>(root.size());

    auto info = VersionInfo::FromBlock(root);
    ASSERT_TRUE(info);
    auto value = info->Query("\\КОМПАНИЯ");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, "OOO");
    EXPECT_FALSE(info->Query("\\Компани"));
}

TEST(VersionQuery, AsciiKeysNeverMatchKeysWithCharactersOutsideAscii)
{
    auto root = Header(0, 0, 0, u"VS_VERSION_INFO");
    // The Kelvin sign folds to "k" in full Unicode folding; U+016B ends in
    // the byte of "k".
    const std::pair<std::u16string, char> children[] = {
        {u"\u212Aey", '1'}, {u"\u016Bey", '2'}, {u"Caf\u00E9", 'c'}, {u"KEY", 'K'}};
    for (const auto& [key, letter] : children) {
        auto entry = Header(0, 2, 1, key);
        entry.insert(entry.end(), {static_cast<std::uint8_t>(letter), 0, 0, 0});
        entry[0] = static_cast<std::uint8_t>(entry.size());
        root.insert(root.end(), entry.begin(), entry.end());
    }
    root[0] = static_cast<std::uint8_t>(root.size());

    auto info = VersionInfo::FromBlock(root);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Query("\\key")->data, "K");
    EXPECT_FALSE(info->Query("\\Cafe"));
    EXPECT_FALSE(info->Query("\\Caf"));
    EXPECT_EQ(info->Query("\\CAF\xC3\x89")->data, "c");
}

TEST(VersionQuery, PathsOfManyKeysReachDeepBlocks)
{
    // Six levels below the root; the deepest holds "Z".
    auto block = Header(0, 2, 1, u"k6");
    block.insert(block.end(), {'Z', 0, 0, 0});
    block[0] = static_cast<std::uint8_t>(block.size());
    for (const char16_t* key : {u"k5", u"k4", u"k3", u"k2", u"k1", u"VS_VERSION_INFO"}) {
        auto parent = Header(0, 0, 1, key);
        parent.insert(parent.end(), block.begin(), block.end());
        parent[0] = static_cast<std::uint8_t>(parent.size());
        block = std::move(parent);
    }
    auto info = VersionInfo::FromBlock(block);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Query("\\k1\\k2\\k3\\k4\\k5\\k6")->data, "Z");
    EXPECT_EQ(info->Query("k1\\\\k2\\k3\\k4\\k5\\K6\\")->data, "Z");
    EXPECT_FALSE(info->Query("\\k1\\k2\\k3\\k4\\k5\\k6\\k7"));
    EXPECT_FALSE(info->Query("\\k1\\k2\\k3\\k4\\k6"));
}

TEST(VersionQuery, KeysAreWholeUpToTheirNulOrTheirBlocksEnd)
{
    // "Name" (value "1"); "Tail", a key without a NUL that ends its block;
    // "Odd" and one stray byte, also ending its block.
    auto named = Header(0, 2, 1, u"Name");
    named.insert(named.end(), {'1', 0, 0, 0});
    named[0] = static_cast<std::uint8_t>(named.size());
    std::vector<std::uint8_t> tail = {14, 0, 0, 0, 1, 0, 'T', 0, 'a', 0, 'i', 0, 'l', 0, 0, 0};
    std::vector<std::uint8_t> odd = {13, 0, 0, 0, 1, 0, 'O', 0, 'd', 0, 'd', 0, 'x', 0, 0, 0};
    auto root = Header(0, 0, 0, u"VS_VERSION_INFO");
    for (const std::vector<std::uint8_t>* child : {&named, &tail, &odd})
        root.insert(root.end(), child->begin(), child->end());
    root[0] = static_cast<std::uint8_t>(root.size());
    auto info = VersionInfo::FromBlock(root);
    ASSERT_TRUE(info);

    const std::pair<const char*, bool> cases[] = {
        {"\\NAME", true}, {"\\Nam", false}, {"\\Names", false}, {"\\Tail", true}, {"\\tai", false},
        {"\\Tails", false}, {"\\Odd", false}, {"\\Oddx", false}, {"\\Name\\", true}};
    for (const auto& [path, found] : cases) EXPECT_EQ(info->Query(path).has_value(), found) << path;
    EXPECT_FALSE(info->Query(std::string_view("\\Name\0", 6)));
}
