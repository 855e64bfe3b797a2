// A heading line of captions, then one line per row, each written at once.
#include "grid/formats/DelimitedRowWriter.h"

#include <string>
#include <string_view>
#include <utility>

#include "grid/formats/FieldText.h"

namespace grid::formats {
namespace {

class DelimitedRowWriter : public LineRowWriter {
public:
    DelimitedRowWriter(OutputSink& out, OutputFormat format, const TextRules& rules,
                       std::vector<grid::ResultColumn> columns)
        : LineRowWriter(out), format_(format), rules_(rules), columns_(std::move(columns)),
          separator_(format == OutputFormat::Csv ? ',' : '\t'), lineEnd_(format == OutputFormat::Csv ? "\r\n" : "\n") {}

    void Begin() override
    {
        std::string heading;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i != 0) heading.push_back(separator_);
            AppendField(format_, rules_, heading, columns_[i].caption);
        }
        heading.append(lineEnd_);
        WriteLine(heading);
    }

    void AppendLine(std::span<const grid::CellValue> cells, std::string& line) const override
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i != 0) line.push_back(separator_);
            AppendCell(format_, rules_, line, cells[i]);
        }
        line.append(lineEnd_);
    }

    void End() override {}

private:
    OutputFormat format_;
    TextRules rules_;
    std::vector<grid::ResultColumn> columns_;
    char separator_;
    std::string_view lineEnd_;
};

} // namespace

std::unique_ptr<RowWriter> MakeDelimitedRowWriter(OutputSink& out, OutputFormat format, const TextRules& rules,
                                                  std::vector<grid::ResultColumn> columns)
{
    return std::make_unique<DelimitedRowWriter>(out, format, rules, std::move(columns));
}

} // namespace grid::formats
