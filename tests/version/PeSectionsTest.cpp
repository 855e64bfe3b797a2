// Reads by RVA: each RVA resolves to the first section in table order whose
// extent (the larger of raw and virtual size) holds it, whatever the order,
// overlaps and gaps of the section table.
#include "platform/version/ByteSource.h"
#include "platform/version/PeImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

using platform::version::MemoryByteSource;
using platform::version::PeImage;
using platform::version::Section;

namespace {

void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    PutU16(b, at, static_cast<std::uint16_t>(v));
    PutU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// A PE32+ image with the given sections; section i's raw data is filled with
// the byte 'a' + i.
std::vector<std::uint8_t> ImageWithSections(const std::vector<Section>& sections)
{
    constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kOptionalBytes = 240, kTable = kOptional + kOptionalBytes;
    std::vector<std::uint8_t> b(kTable + 40 * sections.size());
    PutU16(b, 0, 0x5A4D);
    PutU32(b, 0x3C, kPe);
    PutU32(b, kPe, 0x00004550);
    PutU16(b, kPe + 6, static_cast<std::uint16_t>(sections.size()));
    PutU16(b, kPe + 20, kOptionalBytes);
    PutU16(b, kOptional, 0x20B);
    PutU32(b, kOptional + 108, 16);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        const std::size_t at = kTable + 40 * i;
        PutU32(b, at + 8, s.virtualSize);
        PutU32(b, at + 12, s.virtualAddress);
        PutU32(b, at + 16, s.rawSize);
        PutU32(b, at + 20, s.rawOffset);
        if (b.size() < s.rawOffset + s.rawSize)
            b.resize(s.rawOffset + s.rawSize);
        std::fill(b.begin() + s.rawOffset, b.begin() + s.rawOffset + s.rawSize, static_cast<std::uint8_t>('a' + i));
    }
    return b;
}

}  // namespace

TEST(PeSections, AnRvaReadsFromTheFirstSectionHoldingIt)
{
    // a: 0x1000-0x1100 (raw 0x80, the rest zeros); b: 0x1080-0x1200, under a
    // where they overlap; c: 0x3000-0x3100 listed before d: 0x2F00-0x3200;
    // e: empty; f: 0x1040-0x1060, wholly inside a.
    const std::vector<Section> sections{
        {0x1000, 0x100, 0x80, 0x1000}, {0x1080, 0x180, 0x180, 0x1100}, {0x3000, 0x100, 0x100, 0x1300},
        {0x2F00, 0x300, 0x300, 0x1400}, {0x5000, 0, 0, 0x1800},          {0x1040, 0x20, 0x20, 0x1800},
    };
    const auto image = ImageWithSections(sections);
    const MemoryByteSource source(image);
    const auto pe = PeImage::Open(source);
    ASSERT_TRUE(pe);

    struct Probe {
        std::uint32_t rva;
        std::optional<char> byte;  // 0: inside a section, past its raw data
    };
    for (const Probe& p : {Probe{0x0FFF, std::nullopt}, Probe{0x1000, 'a'}, Probe{0x1050, 'a'}, Probe{0x107F, 'a'},
                           Probe{0x1080, '\0'}, Probe{0x10FF, '\0'}, Probe{0x1100, 'b'}, Probe{0x11FF, 'b'},
                           Probe{0x1200, std::nullopt}, Probe{0x2F00, 'd'}, Probe{0x2FFF, 'd'}, Probe{0x3000, 'c'},
                           Probe{0x30FF, 'c'}, Probe{0x3100, 'd'}, Probe{0x31FF, 'd'}, Probe{0x3200, std::nullopt},
                           Probe{0x5000, std::nullopt}}) {
        SCOPED_TRACE(p.rva);
        const auto read = pe->ReadRva(p.rva, 1);
        ASSERT_EQ(read.has_value(), p.byte.has_value());
        if (read) {
            EXPECT_EQ(static_cast<char>((*read)[0]), *p.byte);
        }
    }
    EXPECT_EQ(pe->BytesToSectionEnd(0x1050), 0xB0u);  // to a's end, not f's
    EXPECT_EQ(pe->FileBytesToSectionEnd(0x1050), 0x30u);
}

TEST(PeSections, SectionsInAddressOrderEachHoldTheirOwnRange)
{
    // a: 0x1000-0x1100, b touching it: 0x1100-0x1180, an empty one, then a
    // gap, d: 0x2000-0x2040.
    const std::vector<Section> sections{
        {0x1000, 0x100, 0x100, 0x1000}, {0x1100, 0x80, 0x80, 0x1100},
        {0x1800, 0, 0, 0x1180},         {0x2000, 0x40, 0x40, 0x1180}};
    const auto image = ImageWithSections(sections);
    const MemoryByteSource source(image);
    const auto pe = PeImage::Open(source);
    ASSERT_TRUE(pe);
    const std::pair<std::uint32_t, std::optional<char>> probes[] = {
        {0x0FFF, std::nullopt}, {0x10FF, 'a'}, {0x1100, 'b'}, {0x117F, 'b'}, {0x1180, std::nullopt},
        {0x1800, std::nullopt}, {0x1FFF, std::nullopt}, {0x2000, 'd'}, {0x203F, 'd'}, {0x2040, std::nullopt}};
    for (const auto& [rva, byte] : probes) {
        SCOPED_TRACE(rva);
        const auto read = pe->ReadRva(rva, 1);
        ASSERT_EQ(read.has_value(), byte.has_value());
        if (read) {
            EXPECT_EQ(static_cast<char>((*read)[0]), *byte);
        }
    }
    EXPECT_EQ(pe->BytesToSectionEnd(0x1100), 0x80u);
}
