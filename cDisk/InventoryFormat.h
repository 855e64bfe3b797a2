// A saved inventory: the JSON Lines a json scan writes, every row carrying
// its path relative to the scan's root ("relpath"), after one first line that
// says what the file is: {"lumbrel-inventory":1,"root":...,"columns":[...],
// "program":...,"scanned":...}. Tools that read the rows skip that line by
// its key.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// The format version this program writes and the newest it reads.
inline constexpr int kInventoryFormatVersion = 1;
// The key that marks the first line.
inline constexpr std::string_view kInventoryMarkerKey = "lumbrel-inventory";
// The key of the relative path every row carries.
inline constexpr std::string_view kRelativePathKey = "relpath";

struct InventoryHeader {
    int formatVersion = kInventoryFormatVersion;
    // The folder the scan started from, as it was given.
    std::string root;
    // The key of each row's values, in row order.
    std::vector<std::string> columns;
    // The version of the program that wrote the file.
    std::string program;
    // When the scan started, UTC, "2024-01-02T03:04:05Z".
    std::string scanned;
};

// The first line of an inventory, with its line end.
std::string InventoryHeaderLine(const InventoryHeader& header);

// A time as the "scanned" value: UTC, ISO 8601 with a trailing Z.
std::string InventoryTimeText(std::time_t time);
