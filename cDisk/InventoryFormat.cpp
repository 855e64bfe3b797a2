// Writes the first line of a saved inventory.
#include "cDisk/InventoryFormat.h"

#include "platform/Utf8Text.h"

std::string InventoryHeaderLine(const InventoryHeader& header)
{
    std::string line = "{\"";
    line.append(kInventoryMarkerKey);
    line.append("\":" + std::to_string(header.formatVersion) + ",\"root\":");
    platform::AppendJsonString(line, header.root);
    line.append(",\"columns\":[");
    for (std::size_t i = 0; i < header.columns.size(); ++i) {
        if (i != 0) line.push_back(',');
        platform::AppendJsonString(line, header.columns[i]);
    }
    line.append("],\"program\":");
    platform::AppendJsonString(line, header.program);
    line.append(",\"scanned\":");
    platform::AppendJsonString(line, header.scanned);
    line.append("}\n");
    return line;
}

std::string InventoryTimeText(std::time_t time)
{
    std::tm fields{};
    gmtime_r(&time, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &fields);
    return text;
}
