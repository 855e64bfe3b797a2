// Text rules of the tsv, csv and json outputs.
#include "grid/formats/TextEncoding.h"

#include <array>
#include <cstdint>

namespace grid::formats {

namespace {

constexpr char kHex[] = "0123456789abcdef";

// The escape of a byte that tab-separated text cannot hold as it is, or
// nullptr.
const char* TsvEscape(char c)
{
    switch (c) {
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    default: return nullptr;
    }
}

// Which bytes TsvEscape changes, looked up per byte of every copied cell.
constexpr std::array<bool, 256> kTsvEscaped = [] {
    std::array<bool, 256> escaped{};
    for (const char c : {'\\', '\t', '\n', '\r'}) escaped[static_cast<unsigned char>(c)] = true;
    return escaped;
}();

void AppendHexEscape(std::string& out, unsigned char c)
{
    out.append("\\x");
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0x0F]);
}

} // namespace

void AppendTsvField(std::string& out, std::string_view text)
{
    // Runs without a byte to escape go in whole: a copy of a million rows
    // appends tens of millions of bytes.
    while (!text.empty()) {
        std::size_t plain = 0;
        while (plain < text.size() && !kTsvEscaped[static_cast<unsigned char>(text[plain])]) ++plain;
        out.append(text.substr(0, plain));
        if (plain == text.size()) return;
        out.append(TsvEscape(text[plain]));
        text.remove_prefix(plain + 1);
    }
}

void AppendTerminalSafe(std::string& out, std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (const char* escape = TsvEscape(text[i])) {
            out.append(escape);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendHexEscape(out, c);
            ++i;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = WellFormedUtf8Length(text.substr(i));
                   length != 0 && !IsC1Control(text.substr(i, length))) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            // An ill-formed byte, or each byte of a C1 control.
            const std::size_t count = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < count; ++k) AppendHexEscape(out, static_cast<unsigned char>(text[i + k]));
            i += count;
        }
    }
}

bool StartsSpreadsheetFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

void AppendCsvField(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace grid::formats
