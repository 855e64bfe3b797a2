// Rows are encoded into the workbook as they come; End() writes the whole
// compound file into the sink.
#include "grid/formats/XlsRowWriter.h"

#include <cerrno>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "grid/xls/XlsWorkbook.h"

namespace grid::formats {
namespace {

// Lets the workbook writer's stream output go through the checked sink.
class SinkStreamBuffer : public std::streambuf {
public:
    explicit SinkStreamBuffer(OutputSink& out) : out_(out) {}

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        out_.Write(std::string_view(&byte, 1));
        return out_.Failed() ? traits_type::eof() : c;
    }

    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        out_.Write(std::string_view(data, static_cast<std::size_t>(size)));
        return out_.Failed() ? 0 : size;
    }

private:
    OutputSink& out_;
};

class XlsRowWriter : public RowWriter {
public:
    XlsRowWriter(OutputSink& out, const std::vector<grid::ResultColumn>& columns)
        : out_(out), workbook_(grid::ResultSheetColumns(columns)) {}

    void Begin() override {}

    void Row(std::span<const grid::CellValue> cells) override { workbook_.AddRow(cells); }

    void End() override
    {
        SinkStreamBuffer buffer(out_);
        std::ostream stream(&buffer);
        // A stream failure without a write error of our own (the workbook
        // writer gave up) still must not pass as success.
        if (!workbook_.Write(stream) || !stream.flush()) out_.Fail(EIO);
    }

    std::uint64_t CutValues() const override { return workbook_.CutCellCount(); }

private:
    OutputSink& out_;
    grid::xls::WorkbookWriter workbook_;
};

} // namespace

std::unique_ptr<RowWriter> MakeXlsRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns)
{
    return std::make_unique<XlsRowWriter>(out, columns);
}

} // namespace grid::formats
