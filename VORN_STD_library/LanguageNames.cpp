// The table of common language identifiers and the primary-language fallback.
// A LANGID holds the primary language in its low 10 bits and the region
// (sublanguage) in its high 6 bits.
#include "VORN_STD_library/LanguageNames.h"

#include "VORN_STD_library/CodeNames.h"

#include <cstdio>

namespace VORN_STD_library {
namespace {

constexpr CodeName kLanguages[] = {
    {0x0401, "Arabic (Saudi Arabia)"},
    {0x0402, "Bulgarian (Bulgaria)"},
    {0x0403, "Catalan (Spain)"},
    {0x0404, "Chinese (Taiwan)"},
    {0x0804, "Chinese (China)"},
    {0x0C04, "Chinese (Hong Kong SAR)"},
    {0x1004, "Chinese (Singapore)"},
    {0x0405, "Czech (Czech Republic)"},
    {0x0406, "Danish (Denmark)"},
    {0x0407, "German (Germany)"},
    {0x0807, "German (Switzerland)"},
    {0x0C07, "German (Austria)"},
    {0x0408, "Greek (Greece)"},
    {0x0409, "English (United States)"},
    {0x0809, "English (United Kingdom)"},
    {0x0C09, "English (Australia)"},
    {0x1009, "English (Canada)"},
    {0x1409, "English (New Zealand)"},
    {0x1809, "English (Ireland)"},
    {0x4009, "English (India)"},
    {0x040A, "Spanish (Spain, Traditional Sort)"},
    {0x080A, "Spanish (Mexico)"},
    {0x0C0A, "Spanish (Spain)"},
    {0x040B, "Finnish (Finland)"},
    {0x040C, "French (France)"},
    {0x080C, "French (Belgium)"},
    {0x0C0C, "French (Canada)"},
    {0x100C, "French (Switzerland)"},
    {0x040D, "Hebrew (Israel)"},
    {0x040E, "Hungarian (Hungary)"},
    {0x040F, "Icelandic (Iceland)"},
    {0x0410, "Italian (Italy)"},
    {0x0810, "Italian (Switzerland)"},
    {0x0411, "Japanese (Japan)"},
    {0x0412, "Korean (Korea)"},
    {0x0413, "Dutch (Netherlands)"},
    {0x0813, "Dutch (Belgium)"},
    {0x0414, "Norwegian, Bokm\u00e5l (Norway)"},
    {0x0814, "Norwegian, Nynorsk (Norway)"},
    {0x0415, "Polish (Poland)"},
    {0x0416, "Portuguese (Brazil)"},
    {0x0816, "Portuguese (Portugal)"},
    {0x0418, "Romanian (Romania)"},
    {0x0419, "Russian (Russia)"},
    {0x041A, "Croatian (Croatia)"},
    {0x081A, "Serbian (Latin, Serbia)"},
    {0x0C1A, "Serbian (Cyrillic, Serbia)"},
    {0x041B, "Slovak (Slovakia)"},
    {0x041C, "Albanian (Albania)"},
    {0x041D, "Swedish (Sweden)"},
    {0x041E, "Thai (Thailand)"},
    {0x041F, "Turkish (Turkey)"},
    {0x0420, "Urdu (Pakistan)"},
    {0x0421, "Indonesian (Indonesia)"},
    {0x0422, "Ukrainian (Ukraine)"},
    {0x0423, "Belarusian (Belarus)"},
    {0x0424, "Slovenian (Slovenia)"},
    {0x0425, "Estonian (Estonia)"},
    {0x0426, "Latvian (Latvia)"},
    {0x0427, "Lithuanian (Lithuania)"},
    {0x0429, "Persian (Iran)"},
    {0x042A, "Vietnamese (Vietnam)"},
    {0x042D, "Basque (Spain)"},
    {0x0436, "Afrikaans (South Africa)"},
    {0x0439, "Hindi (India)"},
    {0x043E, "Malay (Malaysia)"},
    {0x0456, "Galician (Spain)"},
};

// Primary languages by their 10-bit id. 0x1A is left out: Croatian, Serbian
// and Bosnian share it, so it names no one language.
constexpr CodeName kPrimaryLanguages[] = {
    {0x00, "Language Neutral"},
    {0x01, "Arabic"},     {0x02, "Bulgarian"},  {0x03, "Catalan"},    {0x04, "Chinese"},   {0x05, "Czech"},
    {0x06, "Danish"},     {0x07, "German"},     {0x08, "Greek"},      {0x09, "English"},   {0x0A, "Spanish"},
    {0x0B, "Finnish"},    {0x0C, "French"},     {0x0D, "Hebrew"},     {0x0E, "Hungarian"}, {0x0F, "Icelandic"},
    {0x10, "Italian"},    {0x11, "Japanese"},   {0x12, "Korean"},     {0x13, "Dutch"},     {0x14, "Norwegian"},
    {0x15, "Polish"},     {0x16, "Portuguese"}, {0x18, "Romanian"},   {0x19, "Russian"},   {0x1B, "Slovak"},
    {0x1C, "Albanian"},   {0x1D, "Swedish"},    {0x1E, "Thai"},       {0x1F, "Turkish"},   {0x20, "Urdu"},
    {0x21, "Indonesian"}, {0x22, "Ukrainian"},  {0x23, "Belarusian"}, {0x24, "Slovenian"}, {0x25, "Estonian"},
    {0x26, "Latvian"},    {0x27, "Lithuanian"}, {0x29, "Persian"},    {0x2A, "Vietnamese"}, {0x2D, "Basque"},
    {0x36, "Afrikaans"},  {0x39, "Hindi"},      {0x3E, "Malay"},      {0x56, "Galician"},
};

constexpr std::uint16_t kPrimaryLanguageMask = 0x03FF;

} // namespace

std::string LanguageName(std::uint16_t langId)
{
    if (const char* name = NameOf(kLanguages, langId)) return name;
    if (const char* name = NameOf(kPrimaryLanguages, langId & kPrimaryLanguageMask)) return name;
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(langId));
    return text;
}

} // namespace VORN_STD_library
