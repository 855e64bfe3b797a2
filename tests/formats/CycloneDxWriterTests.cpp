// The bill of materials must pass the official CycloneDX 1.5 JSON schema and
// map the facts as documented: the FileVersion text before the fixed version,
// hashes only when they are digests, everything else as properties.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "grid/GridColumn.h"
#include "grid/GridStyle.h"
#include "grid/formats/RowWriter.h"

namespace grid::formats {
namespace {

class StringSink final : public OutputSink {
public:
    void Write(std::string_view bytes) override { text += bytes; }
    void Fail(int) override {}
    bool Failed() const override { return false; }
    std::string text;
};

// Runs a command and returns what it printed, or the empty text and a test
// failure when it failed.
std::string Output(const std::string& command)
{
    const std::string printed = "/tmp/lumbrel-cdx-output-" + std::to_string(getpid());
    const int status = std::system((command + " > " + printed + " 2>&1").c_str());
    std::ifstream in(printed);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(printed.c_str());
    EXPECT_EQ(status, 0) << command << "\n" << text.str();
    return text.str();
}

TEST(CycloneDxWriter, DocumentsPassTheSchemaAndMapEachFact)
{
    if (std::system("command -v node > /dev/null 2>&1") != 0) GTEST_SKIP() << "node is not installed";
    const std::string modules = LUMBREL_SOURCE_DIR "/.test-tools/node_modules";
    ASSERT_EQ(access((modules + "/ajv").c_str(), F_OK), 0) << "run scripts/setup to install the schema validator";

    const std::vector<grid::ResultColumn> columns{
        {"filename", "File name", 1500, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"version", "Version", 900, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"fileversion", "File version", 900, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"company", "Company", 900, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"md5", "MD5", 900, grid::kDataTypeText, grid::kAlignGeneral, ""},
        {"size", "Size", 900, grid::kDataTypeInteger, grid::kAlignRightCenter, "#,0"},
    };
    const std::string md5 = "0123456789abcdef0123456789abcdef";
    const std::vector<std::vector<grid::CellValue>> rows{
        {std::string("a.dll"), std::string("2.0.0.0"), std::string("2.0 beta"), std::string("Société \"X\""), md5,
         platform::FixedDecimal::FromWhole(42)},
        {std::string("b\xff.dll"), std::string("1.0.0.0"), std::string(), std::string(), std::string(),
         std::monostate{}},
    };
    WriterSettings settings;
    settings.scanRoot = "/opt/app";
    settings.toolVersion = "1.0.0.1";
    const std::string path = "/tmp/lumbrel-cdx-test-" + std::to_string(getpid()) + ".json";
    for (const std::size_t rowCount : {rows.size(), std::size_t{0}}) {
        StringSink sink;
        const auto writer = MakeRowWriter(OutputFormat::CycloneDx, settings, sink, columns);
        writer->Begin();
        for (std::size_t i = 0; i < rowCount; ++i) writer->Row(rows[i]);
        writer->End();
        std::ofstream(path) << sink.text;
        EXPECT_EQ(Output("node " LUMBREL_SOURCE_DIR "/tests/formats/validate_cyclonedx.js " + modules + " " + path),
                  "valid\n");
    }
    StringSink sink;
    const auto writer = MakeRowWriter(OutputFormat::CycloneDx, settings, sink, columns);
    writer->Begin();
    for (const auto& row : rows) writer->Row(row);
    writer->End();
    std::ofstream(path) << sink.text;
    const std::string summary = Output(
        "/usr/bin/python3 -c \"import json, sys\n"
        "bom = json.load(open(sys.argv[1]))\n"
        "print(bom['metadata']['tools']['components'][0]['version'], bom['metadata']['properties'])\n"
        "for c in bom['components']:\n"
        "    print(c['name'], c.get('version'), c.get('supplier'), c.get('hashes'), c.get('properties'))\n\" " +
        path);
    std::remove(path.c_str());
    EXPECT_EQ(summary,
              "1.0.0.1 [{'name': 'lumbrel:root', 'value': '/opt/app'}]\n"
              "a.dll 2.0 beta {'name': 'Société \"X\"'} [{'alg': 'MD5', 'content': '" + md5 + "'}] "
              "[{'name': 'lumbrel:version', 'value': '2.0.0.0'}, {'name': 'lumbrel:fileversion', 'value': '2.0 beta'}, "
              "{'name': 'lumbrel:size', 'value': '42'}]\n"
              "b\xef\xbf\xbd.dll 1.0.0.0 None None [{'name': 'lumbrel:version', 'value': '1.0.0.0'}]\n");
}

} // namespace
} // namespace grid::formats
