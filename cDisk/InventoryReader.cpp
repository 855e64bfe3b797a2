// Reads an inventory in blocks, so that only the rows, never the whole file,
// are held; each line is parsed by simdjson straight from the read buffer,
// whose room after the bytes read gives the parser its padding.
#include "cDisk/InventoryReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <simdjson.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "platform/LongPath.h"
#include "platform/UniqueFd.h"

namespace {

namespace dom = simdjson::dom;

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kSmallestReadBlock = 64 << 10;
// Far more facts than the catalogue has; a comparison numbers its columns
// in 16 bits.
constexpr std::size_t kMostColumns = 4096;
// Room reserved ahead for the rows of a large file; beyond it they grow.
constexpr off_t kMostReserved = off_t{1} << 30;

std::string NotJson(simdjson::error_code error)
{
    return std::string("not JSON (") + simdjson::error_message(error) + ")";
}

// A value as the row table holds it: strings as they are, whole numbers in
// decimal, booleans as true or false, null as empty, anything else as its
// JSON text. A string is seen in the parser's own buffer (valid until the
// next line is parsed); other values are written to `scratch`.
std::string_view ReadValue(dom::element value, std::string& scratch)
{
    switch (value.type()) {
    case dom::element_type::STRING: return std::string_view(value);
    case dom::element_type::INT64: scratch = std::to_string(std::int64_t(value)); break;
    case dom::element_type::UINT64: scratch = std::to_string(std::uint64_t(value)); break;
    case dom::element_type::BOOL: scratch = bool(value) ? "true" : "false"; break;
    case dom::element_type::NULL_VALUE: scratch.clear(); break;
    default: scratch = simdjson::minify(value); break;
    }
    return scratch;
}

class InventoryParser {
public:
    InventoryParser(InventoryLoad& load, const ColumnFilter& keep) : load_(load), keep_(keep) {}

    // One line (without its line end) inside a buffer with simdjson's
    // padding after it. Returns the problem, empty when the line was taken.
    std::string Line(const char* data, std::size_t length)
    {
        if (length != 0 && data[length - 1] == '\r') --length;
        if (!headerRead_) return Header(data, length);
        if (length == 0) return {};
        return Row(data, length);
    }

    bool HeaderRead() const { return headerRead_; }

private:
    std::string Header(const char* data, std::size_t length)
    {
        dom::element document;
        dom::object object;
        if (auto error = parser_.parse(data, length, false).get(document)) return NotJson(error);
        if (document.get_object().get(object) != simdjson::SUCCESS)
            return "not an inventory (the first line is not a JSON object)";
        InventoryHeader& header = load_.header;
        std::int64_t version = 0;
        if (object[kInventoryMarkerKey].get(version) != simdjson::SUCCESS || version < 1)
            return "not an inventory (the first line has no \"" + std::string(kInventoryMarkerKey) +
                   "\" format number; lumbrel-scan --inventory writes one)";
        if (version > kInventoryFormatVersion)
            return "inventory format version " + std::to_string(version) + " is newer than this program reads (" +
                   std::to_string(kInventoryFormatVersion) + "); use a newer lumbrel-scan";
        header.formatVersion = static_cast<int>(version);
        for (auto [key, target] : {std::pair{"root", &header.root}, std::pair{"program", &header.program},
                                   std::pair{"scanned", &header.scanned}}) {
            std::string_view text;
            if (object[key].get(text) != simdjson::SUCCESS) return "the header lacks the text \"" + std::string(key) + "\"";
            target->assign(text);
        }
        dom::array columns;
        if (object["columns"].get(columns) != simdjson::SUCCESS) return "the header lacks the list \"columns\"";
        for (dom::element column : columns) {
            std::string_view key;
            if (column.get(key) != simdjson::SUCCESS) return "a column name in the header is not a text";
            header.columns.emplace_back(key);
        }
        if (header.columns.size() > kMostColumns)
            return "more than " + std::to_string(kMostColumns) + " columns; not an inventory this program wrote";
        std::vector<std::string> sorted = header.columns;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return "a column is named twice";
        if (std::find(sorted.begin(), sorted.end(), kRelativePathKey) == sorted.end())
            return "the columns lack \"" + std::string(kRelativePathKey) + "\"";
        std::vector<std::string> kept;
        for (const std::string& key : header.columns) {
            if (keep_ && !keep_(key)) continue;
            columnOf_.emplace(key, kept.size());
            kept.push_back(key);
        }
        cells_.resize(kept.size());
        scratch_.resize(kept.size());
        seen_.resize(kept.size());
        load_.rows = RowTable(std::move(kept));
        headerRead_ = true;
        return {};
    }

    std::string Row(const char* data, std::size_t length)
    {
        dom::element document;
        dom::object object;
        if (auto error = parser_.parse(data, length, false).get(document)) return NotJson(error);
        if (document.get_object().get(object) != simdjson::SUCCESS) return "the row is not a JSON object";
        std::fill(seen_.begin(), seen_.end(), false);
        std::size_t expected = 0;
        for (auto [key, value] : object) {
            // Rows written by a scan hold their keys in column order; any
            // other order is looked up. Keys not held are left out.
            std::size_t column = expected;
            if (column >= seen_.size() || load_.rows.Columns()[column] != key) {
                const auto found = columnOf_.find(key);
                if (found == columnOf_.end()) continue;
                column = found->second;
            }
            cells_[column] = ReadValue(value, scratch_[column]);
            seen_[column] = true;
            expected = column + 1;
        }
        for (std::size_t i = 0; i < seen_.size(); ++i)
            if (!seen_[i]) return "the row lacks \"" + load_.rows.Columns()[i] + "\"";
        load_.rows.AddRow(cells_);
        return {};
    }

    InventoryLoad& load_;
    const ColumnFilter& keep_;
    dom::parser parser_;
    bool headerRead_ = false;
    std::unordered_map<std::string_view, std::size_t> columnOf_;
    std::vector<std::string_view> cells_;
    std::vector<std::string> scratch_;
    std::vector<bool> seen_;
};

// The file's name and line before a message.
std::string Where(const std::string& path, std::uint64_t line)
{
    return path + ":" + std::to_string(line) + ": ";
}

} // namespace

InventoryLoad LoadInventory(const std::string& path, const ColumnFilter& keep)
{
    InventoryLoad load;
    auto fail = [&](std::uint64_t line, const std::string& message) {
        InventoryLoad failed;
        failed.error = line == 0 ? path + ": " + message : Where(path, line) + message;
        return failed;
    };

    const platform::UniqueFd file(platform::OpenLongPath(path, O_RDONLY | O_CLOEXEC));
    if (!file) return fail(0, std::strerror(errno));
    struct stat facts {};
    if (fstat(file.Get(), &facts) != 0) return fail(0, std::strerror(errno));
    if (S_ISDIR(facts.st_mode)) return fail(0, "is a folder, not an inventory");

    InventoryParser parser(load, keep);
    // Blocks no larger than the file needs (plus one byte to see its end in
    // the same read): a small inventory gets a small buffer.
    const std::size_t readBlock = static_cast<std::size_t>(
        std::clamp<off_t>(facts.st_size + 1, off_t{kSmallestReadBlock}, off_t{kReadBlock}));
    // Unread bytes of the file, followed by room for simdjson's padding.
    std::vector<char> buffer;
    std::size_t held = 0;
    std::size_t parsedUpTo = 0;
    std::uint64_t line = 0;
    bool atEnd = false;
    bool reservedRows = false;
    while (!atEnd) {
        // Keep the unparsed tail, then read the next block behind it.
        if (parsedUpTo != 0) std::memmove(buffer.data(), buffer.data() + parsedUpTo, held - parsedUpTo);
        held -= parsedUpTo;
        parsedUpTo = 0;
        buffer.resize(std::max(buffer.size(), held + readBlock + simdjson::SIMDJSON_PADDING));
        const ssize_t got = read(file.Get(), buffer.data() + held, readBlock);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(0, std::strerror(errno));
        }
        held += static_cast<std::size_t>(got);
        atEnd = got == 0;

        while (parsedUpTo < held) {
            const char* start = buffer.data() + parsedUpTo;
            const auto* newline = static_cast<const char*>(std::memchr(start, '\n', held - parsedUpTo));
            if (newline == nullptr && !atEnd) break;
            const std::size_t length = newline != nullptr ? static_cast<std::size_t>(newline - start) : held - parsedUpTo;
            ++line;
            const std::string problem = parser.Line(start, length);
            if (!problem.empty()) {
                if (newline == nullptr) return fail(line, problem + "; the last line is cut short");
                return fail(line, problem);
            }
            parsedUpTo += length + (newline != nullptr ? 1 : 0);
            if (!reservedRows && parser.HeaderRead()) {
                // Cell texts are shorter than the file's lines; reserved room
                // that stays unused is never touched.
                const auto fileBytes = static_cast<std::size_t>(std::clamp<off_t>(facts.st_size, 0, kMostReserved));
                load.rows.Reserve(fileBytes, fileBytes / 64);
                reservedRows = true;
            }
        }
    }
    if (line == 0) return fail(1, "empty file, not an inventory");
    return load;
}
