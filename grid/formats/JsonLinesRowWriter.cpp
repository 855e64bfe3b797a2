// One JSON object per line, written at once; JSON-document columns are
// copied in as they are.
#include "grid/formats/JsonLinesRowWriter.h"

#include <string>
#include <utility>

#include "grid/formats/FieldText.h"

namespace grid::formats {
namespace {

class JsonLinesRowWriter : public LineRowWriter {
public:
    JsonLinesRowWriter(OutputSink& out, const TextRules& rules, const std::vector<grid::ResultColumn>& columns)
        : LineRowWriter(out), rules_(rules)
    {
        // Each cell's lead-in, "{\"key\":" or ",\"key\":"; keys are plain ASCII.
        for (const grid::ResultColumn& column : columns) {
            leadIns_.push_back((leadIns_.empty() ? "{\"" : ",\"") + std::string(column.key) + "\":");
            isDocument_.push_back(column.jsonDocument);
        }
    }

    void Begin() override {}

    void AppendLine(std::span<const grid::CellValue> cells, std::string& line) const override
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            line.append(leadIns_[i]);
            const auto* document = isDocument_[i] ? std::get_if<std::string>(&cells[i]) : nullptr;
            if (document) line.append(*document);
            else AppendCell(OutputFormat::Json, rules_, line, cells[i]);
        }
        line.append(cells.empty() ? "{}\n" : "}\n");
    }

    void End() override {}

private:
    TextRules rules_;
    std::vector<std::string> leadIns_;
    std::vector<bool> isDocument_;
};

} // namespace

std::unique_ptr<RowWriter> MakeJsonLinesRowWriter(OutputSink& out, const TextRules& rules,
                                                  std::vector<grid::ResultColumn> columns)
{
    return std::make_unique<JsonLinesRowWriter>(out, rules, columns);
}

} // namespace grid::formats
