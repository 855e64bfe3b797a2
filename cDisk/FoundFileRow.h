// One result row for a found file: the eight values the result table shows.
// The window and the command line both build their rows here, so both show
// exactly the same facts.
#pragma once

#include <optional>
#include <string>

#include "platform/DateTime.h"
#include "platform/FixedDecimal.h"

struct FoundFileRow {
    std::string fileName;
    std::string version;
    platform::FixedDecimal size;
    // Last modification in local time; empty when the file has vanished.
    std::optional<platform::DateTime> modified;
    // The folder, ending in "/".
    std::string path;
    std::string desc;
    std::string product;
    std::string company;
};

// The row for the file CurrentPath + CurrentFile (CurrentPath ends in "/"):
// version as GetFileVersion, size as ReadFileSize, the last-modified time in
// local time, and description, product and company as GetFileInfo with
// infotype 1, 5 and 0. The version block is read once for the whole row. A
// file that has vanished gets empty values for what can no longer be read.
FoundFileRow BuildFoundFileRow(const std::string& CurrentPath, const std::string& CurrentFile);
