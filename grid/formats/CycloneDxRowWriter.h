// A CycloneDX 1.5 JSON software bill of materials: one component of type
// "file" per row. The name is the filename column, the version the
// FileVersion text (fileversion) or else the fixed version (version), the
// supplier the company, md5/sha1/sha256 become hashes, and every other
// chosen column a property "lumbrel:<key>" (the versions are kept as
// properties too). The metadata names the tool, the time and the scanned
// folder ("lumbrel:root").
#pragma once

#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats {

std::unique_ptr<RowWriter> MakeCycloneDxRowWriter(OutputSink& out, const WriterSettings& settings,
                                                  std::vector<grid::ResultColumn> columns);

} // namespace grid::formats
