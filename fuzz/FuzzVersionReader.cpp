// Fuzz entry for the version reader: the input as a PE image, then the queries
// a caller makes (fixed record, translation, a string of the first
// translation), and the same bytes as a raw version block of either layout.
#include "platform/version/PeIcons.h"
#include "platform/version/VersionInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace {

void Exercise(const platform::VersionInfo& info)
{
    (void)info.Size();
    (void)info.Fixed();
    auto translation = info.Query("\\VarFileInfo\\Translation");
    if (!translation || translation->data.size() < 4)
        return;
    const auto byte = [&](int i) { return static_cast<unsigned char>(translation->data[i]); };
    char key[9];
    std::snprintf(key, sizeof key, "%02X%02X%02X%02X", byte(1), byte(0), byte(3), byte(2));
    for (const char* name : {"CompanyName", "FileDescription", "ProductName"})
        (void)info.Query(std::string("\\StringFileInfo\\") + key + "\\" + name);
    (void)info.Query("\\StringFileInfo");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    if (auto info = platform::VersionInfo::FromImage(bytes))
        Exercise(*info);
    (void)platform::IconFileFromImage(bytes);
    if (auto info = platform::VersionInfo::FromBlock(std::vector<std::uint8_t>(bytes.begin(), bytes.end())))
        Exercise(*info);
    if (auto info = platform::VersionInfo::FromBlock16(std::vector<std::uint8_t>(bytes.begin(), bytes.end())))
        Exercise(*info);
    return 0;
}
