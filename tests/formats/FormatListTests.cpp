// The format list is what every front end offers: each key must find its own
// entry, and every listed format must have a writer.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "grid/formats/OutputFormat.h"
#include "grid/formats/RowWriter.h"

namespace grid::formats {
namespace {

class NullSink final : public OutputSink {
public:
    void Write(std::string_view) override {}
    void Fail(int) override {}
    bool Failed() const override { return false; }
};

TEST(FormatList, EveryKeyFindsItsEntryAndEveryEntryHasAWriter)
{
    std::set<std::string> keys;
    NullSink sink;
    for (const FormatInfo& info : AllFormats()) {
        EXPECT_TRUE(keys.insert(info.key).second) << info.key;
        EXPECT_EQ(FindFormat(info.key), &info);
        EXPECT_EQ(&InfoOf(info.format), &info);
        EXPECT_NE(std::string(info.extension), "");
        EXPECT_NE(std::string(info.caption), "");
        EXPECT_NE(MakeRowWriter(info.format, {}, sink, {}), nullptr) << info.key;
    }
    EXPECT_EQ(FindFormat("XLS"), nullptr);
    EXPECT_EQ(FindFormat(""), nullptr);
    EXPECT_EQ(FormatKeyList().find("tsv, csv"), 0u);
}

} // namespace
} // namespace grid::formats
