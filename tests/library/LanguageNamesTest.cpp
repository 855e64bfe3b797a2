// Names of language identifiers, with the primary-language fallback.
#include <gtest/gtest.h>

#include "VORN_STD_library/LanguageNames.h"

TEST(LanguageNames, KnownRegionPrimaryFallbackNeutralAndUnknown)
{
    const struct {
        std::uint16_t id;
        const char* name;
    } cases[] = {
        {0x0409, "English (United States)"},
        {0x0407, "German (Germany)"},
        {0x0C0A, "Spanish (Spain)"},
        {0x0804, "Chinese (China)"},
        {0x0414, "Norwegian, Bokm\u00e5l (Norway)"},
        {0x7C09, "English"},
        {0x0000, "Language Neutral"},
        {0x0400, "Language Neutral"},
        {0x081A, "Serbian (Latin, Serbia)"},
        {0x141A, "0x141A"},
        {0x03FF, "0x03FF"},
    };
    for (const auto& c : cases) EXPECT_EQ(VORN_STD_library::LanguageName(c.id), c.name) << std::hex << c.id;
}
