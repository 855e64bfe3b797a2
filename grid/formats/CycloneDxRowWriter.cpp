// The document is streamed: Begin() writes everything up to the opening of
// the component list, each row one component on its own line, End() the
// closing brackets.
#include "grid/formats/CycloneDxRowWriter.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <sys/random.h>

#include "grid/formats/FieldText.h"
#include "platform/FixedDecimal.h"

namespace grid::formats {
namespace {

constexpr const char* kToolName = "VORN Lumbrel";
constexpr const char* kPropertyPrefix = "lumbrel:";

// How a column's value enters a component.
enum class Role { Name, Supplier, Hash, Property };

struct HashColumn {
    std::string_view key;
    const char* algorithm;
    std::size_t hexDigits;
};
constexpr HashColumn kHashColumns[] = {{"md5", "MD5", 32}, {"sha1", "SHA-1", 40}, {"sha256", "SHA-256", 64}};

const HashColumn* HashOf(std::string_view key)
{
    for (const HashColumn& hash : kHashColumns)
        if (hash.key == key) return &hash;
    return nullptr;
}

Role RoleOf(std::string_view key)
{
    if (key == "filename") return Role::Name;
    if (key == "company") return Role::Supplier;
    if (HashOf(key) != nullptr) return Role::Hash;
    return Role::Property;
}

// A random (version 4) UUID as a URN, or nothing when no random bytes are
// to be had.
std::optional<std::string> RandomUrnUuid()
{
    unsigned char bytes[16];
    // The kernel's random source; 16 bytes never come back short.
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return std::nullopt;
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string urn = "urn:uuid:";
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) urn.push_back('-');
        urn.push_back(kHex[bytes[i] >> 4]);
        urn.push_back(kHex[bytes[i] & 0x0F]);
    }
    return urn;
}

std::string UtcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    gmtime_r(&now, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &fields);
    return text;
}

bool IsHexDigest(const std::string& text, std::size_t digits)
{
    return text.size() == digits &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// A cell as a property value: texts as they are, sizes as whole bytes, dates
// in ISO form; empty for an empty cell.
std::string PlainText(const grid::CellValue& cell)
{
    if (const auto* text = std::get_if<std::string>(&cell)) return *text;
    if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) return size->ToText();
    if (const auto* date = std::get_if<platform::DateTime>(&cell)) return date->ToIsoText();
    return {};
}

class CycloneDxRowWriter : public RowWriter {
public:
    CycloneDxRowWriter(OutputSink& out, const WriterSettings& settings, const std::vector<grid::ResultColumn>& columns)
        : out_(out), settings_(settings)
    {
        for (const grid::ResultColumn& column : columns) {
            keys_.emplace_back(column.key);
            roles_.push_back(RoleOf(column.key));
        }
    }

    void Begin() override
    {
        std::string head = "{\"bomFormat\":\"CycloneDX\",\"specVersion\":\"1.5\",";
        if (const std::optional<std::string> serial = RandomUrnUuid()) head += "\"serialNumber\":\"" + *serial + "\",";
        head += "\"version\":1,\"metadata\":{\"timestamp\":\"" + UtcTimestamp() + "\",";
        head += "\"tools\":{\"components\":[{\"type\":\"application\",\"name\":";
        AppendJson(head, kToolName);
        if (!settings_.toolVersion.empty()) {
            head += ",\"version\":";
            AppendJson(head, settings_.toolVersion);
        }
        head += "}]},\"properties\":[{\"name\":\"lumbrel:root\",\"value\":";
        AppendJson(head, settings_.scanRoot);
        head += "}]},\n\"components\":[";
        out_.Write(head);
    }

    void Row(std::span<const grid::CellValue> cells) override
    {
        std::string name;
        std::string fileVersion;
        std::string fixedVersion;
        std::string supplier;
        std::string hashes;
        std::string properties;
        for (std::size_t i = 0; i < cells.size() && i < keys_.size(); ++i) {
            const std::string value = PlainText(cells[i]);
            switch (roles_[i]) {
            case Role::Name: name = value; break;
            case Role::Supplier: supplier = value; break;
            case Role::Hash:
                if (const HashColumn* hash = HashOf(keys_[i]); IsHexDigest(value, hash->hexDigits)) {
                    hashes += hashes.empty() ? "[" : ",";
                    hashes += "{\"alg\":\"" + std::string(hash->algorithm) + "\",\"content\":\"" + value + "\"}";
                }
                break;
            case Role::Property:
                if (keys_[i] == "fileversion") fileVersion = value;
                if (keys_[i] == "version") fixedVersion = value;
                if (value.empty()) break;
                properties += properties.empty() ? "[" : ",";
                properties += "{\"name\":";
                AppendJson(properties, kPropertyPrefix + keys_[i]);
                properties += ",\"value\":";
                AppendJson(properties, value);
                properties += "}";
                break;
            }
        }

        line_ = rowsWritten_ == 0 ? "\n" : ",\n";
        line_ += "{\"type\":\"file\",\"name\":";
        AppendJson(line_, name);
        if (const std::string& version = fileVersion.empty() ? fixedVersion : fileVersion; !version.empty()) {
            line_ += ",\"version\":";
            AppendJson(line_, version);
        }
        if (!supplier.empty()) {
            line_ += ",\"supplier\":{\"name\":";
            AppendJson(line_, supplier);
            line_ += "}";
        }
        if (!hashes.empty()) line_ += ",\"hashes\":" + hashes + "]";
        if (!properties.empty()) line_ += ",\"properties\":" + properties + "]";
        line_ += "}";
        out_.Write(line_);
        ++rowsWritten_;
    }

    void End() override { out_.Write("\n]}\n"); }

private:
    void AppendJson(std::string& out, std::string_view text) const
    {
        AppendField(OutputFormat::CycloneDx, settings_.rules, out, text);
    }

    OutputSink& out_;
    WriterSettings settings_;
    std::vector<std::string> keys_;
    std::vector<Role> roles_;
    std::uint64_t rowsWritten_ = 0;
    std::string line_;
};

} // namespace

std::unique_ptr<RowWriter> MakeCycloneDxRowWriter(OutputSink& out, const WriterSettings& settings,
                                                  std::vector<grid::ResultColumn> columns)
{
    return std::make_unique<CycloneDxRowWriter>(out, settings, columns);
}

} // namespace grid::formats
