// A heading line of captions, then one line per row, each written at once.
#include "grid/formats/DelimitedRowWriter.h"

#include <string>
#include <string_view>
#include <utility>

#include "grid/formats/FieldText.h"

namespace grid::formats {
namespace {

class DelimitedRowWriter : public RowWriter {
public:
    DelimitedRowWriter(OutputSink& out, OutputFormat format, const TextRules& rules,
                       std::vector<grid::ResultColumn> columns)
        : out_(out), format_(format), rules_(rules), columns_(std::move(columns)),
          separator_(format == OutputFormat::Csv ? ',' : '\t'), lineEnd_(format == OutputFormat::Csv ? "\r\n" : "\n") {}

    void Begin() override
    {
        line_.clear();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i != 0) line_.push_back(separator_);
            AppendField(format_, rules_, line_, columns_[i].caption);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void Row(std::span<const grid::CellValue> cells) override
    {
        line_.clear();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i != 0) line_.push_back(separator_);
            AppendCell(format_, rules_, line_, cells[i]);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void End() override {}

private:
    OutputSink& out_;
    OutputFormat format_;
    TextRules rules_;
    std::vector<grid::ResultColumn> columns_;
    char separator_;
    std::string_view lineEnd_;
    std::string line_;
};

} // namespace

std::unique_ptr<RowWriter> MakeDelimitedRowWriter(OutputSink& out, OutputFormat format, const TextRules& rules,
                                                  std::vector<grid::ResultColumn> columns)
{
    return std::make_unique<DelimitedRowWriter>(out, format, rules, std::move(columns));
}

} // namespace grid::formats
