// The bytes of written workbooks, read back with the test-side compound file
// reader: container structure, sheet directory, shared strings split over
// CONTINUE records and their EXTSST index.
#include <gtest/gtest.h>

#include <sstream>

#include "CompoundFileReader.h"
#include "grid/xls/CompoundFile.h"
#include "grid/xls/XlsWorkbook.h"

using namespace grid::xls;
using xls_test::Le16;
using xls_test::Le32;

namespace {

std::vector<std::uint8_t> WriteToBytes(WorkbookWriter& writer)
{
    std::ostringstream out;
    EXPECT_TRUE(writer.Write(out));
    const std::string text = out.str();
    return {text.begin(), text.end()};
}

xls_test::CompoundFileContents ReadBack(const std::vector<std::uint8_t>& file)
{
    std::string problem;
    auto contents = xls_test::ReadCompoundFile(file, problem);
    EXPECT_TRUE(contents) << problem;
    return contents ? *contents : xls_test::CompoundFileContents{};
}

// Strings of the SST record and its CONTINUE records, with the stream
// position at which each string starts.
struct SharedStrings {
    std::vector<std::u16string> texts;
    std::vector<std::size_t> starts;
};

SharedStrings DecodeSst(const std::vector<xls_test::BiffRecord>& globals)
{
    std::vector<const xls_test::BiffRecord*> segments;
    for (const auto& record : globals) {
        if (record.id == 0x00FC || (!segments.empty() && record.id == 0x003C)) segments.push_back(&record);
        else if (!segments.empty()) break;
    }
    SharedStrings result;
    if (segments.empty()) return ADD_FAILURE() << "no SST", result;
    std::size_t segment = 0;
    std::size_t pos = 8;
    const std::uint32_t unique = Le32(segments[0]->payload, 4);
    for (std::uint32_t index = 0; index < unique; ++index) {
        if (pos == segments[segment]->payload.size()) ++segment, pos = 0;
        const auto& payload = segments.at(segment)->payload;
        if (pos + 3 > payload.size()) return ADD_FAILURE() << "string header split", result;
        result.starts.push_back(segments[segment]->offset + 4 + pos);
        std::size_t remaining = Le16(payload, pos);
        bool wide = payload[pos + 2] & 1;
        pos += 3;
        std::u16string text;
        while (remaining > 0) {
            if (pos == segments[segment]->payload.size()) {
                if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) ADD_FAILURE() << "surrogate pair split";
                ++segment, pos = 0;
                wide = segments.at(segment)->payload.at(pos++) & 1; // option byte restarts the piece
            }
            const auto& bytes = segments[segment]->payload;
            text.push_back(wide ? static_cast<char16_t>(Le16(bytes, pos)) : static_cast<char16_t>(bytes.at(pos)));
            pos += wide ? 2 : 1;
            --remaining;
        }
        result.texts.push_back(text);
    }
    return result;
}

} // namespace

TEST(CompoundFile, SmallStreamIsPaddedAndDirectoryIsWellFormed)
{
    const std::vector<std::uint8_t> content{1, 2, 3, 4, 5};
    std::ostringstream out;
    OstreamSink sink(out);
    const std::span<const std::uint8_t> parts[] = {content};
    ASSERT_TRUE(WriteSingleStreamCompoundFile(sink, u"Workbook", parts));
    const std::string text = out.str();
    const auto contents = ReadBack({text.begin(), text.end()});

    ASSERT_EQ(contents.entryNames.size(), 4u);
    EXPECT_EQ(contents.entryNames[0], u"Root Entry");
    EXPECT_EQ(contents.entryNames[1], u"Workbook");
    ASSERT_EQ(contents.workbook.size(), 4096u);
    EXPECT_TRUE(std::equal(content.begin(), content.end(), contents.workbook.begin()));
    for (std::size_t unused = 2; unused < 4; ++unused) {
        const auto& raw = contents.entryRaw[unused];
        EXPECT_EQ(raw[66], 0) << "unused entry type";
        for (std::size_t link = 68; link < 80; link += 4) EXPECT_EQ(Le32(raw, link), 0xFFFFFFFFu);
    }
    EXPECT_EQ(contents.entryRaw[0][67], 1) << "root is black";
    EXPECT_EQ(contents.entryRaw[1][67], 1) << "stream is black";
}

TEST(CompoundFile, LargeStreamNeedsDifatSectorsAndSurvivesIntact)
{
    std::vector<std::uint8_t> first(6'000'000), second(3'000'001);
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<std::uint8_t>(i * 13 + 1);
    std::ostringstream out;
    OstreamSink sink(out);
    const std::span<const std::uint8_t> parts[] = {first, second};
    ASSERT_TRUE(WriteSingleStreamCompoundFile(sink, u"Workbook", parts));
    const std::string text = out.str();
    const auto contents = ReadBack({text.begin(), text.end()});

    EXPECT_GT(contents.fatSectors, 109u);
    EXPECT_GE(contents.difatSectors, 1u);
    ASSERT_EQ(contents.workbook.size(), first.size() + second.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), contents.workbook.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), contents.workbook.begin() + first.size()));
}

TEST(Workbook, LongAndNonLatinStringsSurviveContinueBoundariesAndExtSstPointsAtThem)
{
    WorkbookWriter writer({{"Text", 2000, ColumnKind::Text, ""}});
    std::vector<std::u16string> expected{u"Text"};
    for (int i = 0; i < 400; ++i) {
        // Latin-1, Cyrillic and surrogate-pair texts of odd and even lengths.
        const std::size_t length = 50 + static_cast<std::size_t>(i) * 37 % 900;
        std::string utf8 = std::to_string(i) + ":";
        std::u16string units(utf8.begin(), utf8.end());
        for (std::size_t c = 0; c < length; ++c) {
            utf8 += i % 3 == 0 ? "\xC3\xA9" : i % 3 == 1 ? "\xD0\xB6" : "\xF0\x9F\x98\x80";
            units += i % 3 == 0 ? u"\u00E9" : i % 3 == 1 ? u"\u0436" : u"\U0001F600";
        }
        writer.AddRow(std::vector<platform::CellValue>{utf8});
        expected.push_back(units);
    }
    writer.AddRow(std::vector<platform::CellValue>{std::string(40000, 'x')});
    expected.push_back(std::u16string(32767, u'x'));

    const auto stream = ReadBack(WriteToBytes(writer)).workbook;
    const auto globals = xls_test::ReadSubstream(stream, 0);
    const SharedStrings strings = DecodeSst(globals);
    EXPECT_EQ(strings.texts, expected);

    const auto extSst = std::find_if(globals.begin(), globals.end(), [](auto& r) { return r.id == 0x00FF; });
    ASSERT_NE(extSst, globals.end());
    const std::uint16_t perBucket = Le16(extSst->payload, 0);
    ASSERT_GE(perBucket, 8);
    const std::size_t buckets = (extSst->payload.size() - 2) / 8;
    EXPECT_EQ(buckets, (expected.size() + perBucket - 1) / perBucket);
    for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::uint32_t position = Le32(extSst->payload, 2 + bucket * 8);
        const std::uint16_t offsetInRecord = Le16(extSst->payload, 6 + bucket * 8);
        EXPECT_EQ(position, strings.starts.at(bucket * perBucket));
        const std::uint16_t recordId = Le16(stream, position - offsetInRecord);
        EXPECT_TRUE(recordId == 0x00FC || recordId == 0x003C);
    }
}

TEST(Workbook, TwoHundredThousandRowsFillFourSheetsThatTheDirectoryLocates)
{
    WorkbookWriter writer({{"Name", 2000, ColumnKind::Text, ""}, {"Size", 1500, ColumnKind::Number, "#,0"}});
    for (int row = 0; row < 200'000; ++row) {
        writer.AddRow(std::vector<platform::CellValue>{"f" + std::to_string(row), platform::FixedDecimal::FromWhole(row)});
    }
    const auto contents = ReadBack(WriteToBytes(writer));
    EXPECT_GE(contents.difatSectors, 1u);
    const auto globals = xls_test::ReadSubstream(contents.workbook, 0);
    ASSERT_EQ(globals.back().id, 0x000A);

    std::vector<std::uint32_t> dataRows;
    for (const auto& record : globals) {
        if (record.id != 0x0085) continue;
        const auto sheet = xls_test::ReadSubstream(contents.workbook, Le32(record.payload, 0));
        ASSERT_FALSE(sheet.empty());
        EXPECT_EQ(sheet.front().id, 0x0809);
        EXPECT_EQ(Le16(sheet.front().payload, 2), 0x0010) << "worksheet BOF";
        EXPECT_EQ(sheet.back().id, 0x000A);
        std::uint32_t numbers = 0;
        for (const auto& cell : sheet) numbers += cell.id == 0x0203;
        dataRows.push_back(numbers);
    }
    EXPECT_EQ(dataRows, (std::vector<std::uint32_t>{65535, 65535, 65535, 3395}));
}
