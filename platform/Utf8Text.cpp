// UTF-8 decoding, encoding and case folding, and JSON string escaping.
#include "platform/Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

constexpr char kHex[] = "0123456789abcdef";

} // namespace

bool IsC1Control(std::string_view sequence)
{
    return sequence.size() == 2 && static_cast<unsigned char>(sequence[0]) == 0xC2 &&
           static_cast<unsigned char>(sequence[1]) < 0xA0;
}

Utf8Step DecodeUtf8Step(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1, true};

    // Allowed range of the second byte per lead byte (Unicode table 3-7);
    // later continuation bytes are always 0x80..0xBF.
    std::size_t need = 0;
    char32_t value = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) lowest = 0xA0;  // overlong
        if (lead == 0xED) highest = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0) lowest = 0x90;  // overlong
        if (lead == 0xF4) highest = 0x8F; // past U+10FFFF
    } else {
        return {kReplacementCharacter, 1, false};
    }

    std::size_t consumed = 1;
    for (std::size_t i = 0; i < need; ++i) {
        if (consumed >= text.size()) return {kReplacementCharacter, consumed, false};
        const auto next = static_cast<unsigned char>(text[consumed]);
        const bool inRange = i == 0 ? (next >= lowest && next <= highest) : (next & 0xC0) == 0x80;
        if (!inRange) return {kReplacementCharacter, consumed, false};
        value = (value << 6) | (next & 0x3F);
        ++consumed;
    }
    return {value, consumed, true};
}

bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::size_t WellFormedUtf8Length(std::string_view text)
{
    if (text.empty()) return 0;
    const Utf8Step step = DecodeUtf8Step(text);
    return step.wellFormed ? step.length : 0;
}

std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint)
{
    if (text.empty()) return 0;
    const Utf8Step step = DecodeUtf8Step(text);
    if (!step.wellFormed) return 0;
    codePoint = step.codePoint;
    return step.length;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t FoldCase(char32_t c)
{
    if (c < 0xC0) return FoldAsciiCase(c);
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
    return c;
}

void AppendFoldedText(std::string& out, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out.push_back(static_cast<char>(FoldAsciiCase(byte)));
            ++pos;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text.substr(pos), codePoint);
        if (length == 0) {
            out.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        AppendUtf8(out, FoldCase(codePoint));
        pos += length;
    }
}

char32_t FoldCaseAndAccents(char32_t c)
{
    // Base letters of U+00E0..U+00FF and U+0100..U+017F after folding; '\0'
    // where a character has no base letter of its own.
    static constexpr char kLatin1Bases[] = "aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0y";
    static constexpr char kExtendedABases[] =
        "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii\0\0jjkkkllllllllllnnnnnnn\0\0oooooo\0\0rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    c = FoldCase(c);
    if (c >= 0xE0 && c <= 0xFF) {
        const char base = kLatin1Bases[c - 0xE0];
        return base ? static_cast<char32_t>(base) : c;
    }
    if (c >= 0x100 && c <= 0x17F) {
        const char base = kExtendedABases[c - 0x100];
        return base ? static_cast<char32_t>(base) : c;
    }
    return c;
}

void AppendFoldedForSearch(std::string& out, std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // A run of ASCII is found eight bytes at a time, copied whole and
        // folded in place: the quick filter folds every cell of a million rows.
        std::size_t end = i;
        for (std::uint64_t eight = 0; end + 8 <= text.size(); end += 8) {
            std::memcpy(&eight, text.data() + end, 8);
            if (eight & 0x8080808080808080u) break;
        }
        while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
        if (end != i) {
            const std::size_t at = out.size();
            out.append(text.data() + i, end - i);
            for (char* c = out.data() + at; c != out.data() + out.size(); ++c)
                *c = static_cast<char>(*c | (static_cast<unsigned char>(*c - 'A') < 26 ? 0x20 : 0));
            i = end;
            continue;
        }
        const Utf8Step step = DecodeUtf8Step(text.substr(i));
        i += step.length;
        if (step.codePoint >= 0x300 && step.codePoint <= 0x36F) continue;
        AppendUtf8(out, FoldCaseAndAccents(step.codePoint));
    }
}

void AppendJsonString(std::string& out, std::string_view text, bool escapeC1)
{
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c < 0x20) {
            out.append("\\u00");
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
            ++i;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = WellFormedUtf8Length(text.substr(i)); length != 0) {
            if (escapeC1 && IsC1Control(text.substr(i, length))) {
                out.append("\\u00");
                out.push_back(kHex[static_cast<unsigned char>(text[i + 1]) >> 4]);
                out.push_back(kHex[static_cast<unsigned char>(text[i + 1]) & 0x0F]);
            } else {
                out.append(text.substr(i, length));
            }
            i += length;
        } else {
            out.append("\xEF\xBF\xBD");
            ++i;
        }
    }
    out.push_back('"');
}

} // namespace platform
