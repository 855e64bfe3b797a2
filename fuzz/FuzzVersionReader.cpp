// Fuzz entry for the version reader: the input as a PE image, then the queries
// a caller makes (fixed record, translation, a string of the first
// translation), the icon built from the same image, the image headers, and the
// same bytes as a raw version block of either layout.
//
// Every input must also stay within a fixed amount of work, whatever it
// claims: the version, icon and header reads of one image may ask their source
// for no more than kMaxReads reads and kMaxBytes bytes. An input past either bound
// traps like a crash, so the fuzzer keeps it and the replay test fails on it.
// (What the readers make without reading, the zeros of a section past its
// file data, is bounded by their caps on each resource's size; the replay
// test also bounds what an input makes them allocate.)
#include "platform/version/ByteSource.h"
#include "platform/version/CountingByteSource.h"
#include "platform/version/ImageHeaders.h"
#include "platform/version/PeIcons.h"
#include "platform/version/VersionInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace {

// The version lookup reads a few directories and one block; the icon reads a
// few directories, then a language directory, a data entry and an image for
// each of at most 256 group entries (about 1050 reads). The images come to at
// most 2 MiB; directories at most 32768 entries of 8 bytes; the section table
// at most 65535 headers of 40 bytes.
constexpr std::uint64_t kMaxReads = 2048;
constexpr std::uint64_t kMaxBytes = 16u << 20;

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
    const platform::version::MemoryByteSource memory(bytes);
    const platform::version::CountingByteSource counted(memory);
    if (auto info = platform::VersionInfo::FromSource(counted))
        Exercise(*info);
    (void)platform::IconFileFromSource(counted);
    (void)platform::version::ReadImageHeaders(counted);
    if (counted.Reads() > kMaxReads || counted.Bytes() > kMaxBytes) {
        std::fprintf(stderr, "work bound exceeded: %llu reads, %llu bytes\n",
                     static_cast<unsigned long long>(counted.Reads()),
                     static_cast<unsigned long long>(counted.Bytes()));
        __builtin_trap();
    }
    if (auto info = platform::VersionInfo::FromBlock(std::vector<std::uint8_t>(bytes.begin(), bytes.end())))
        Exercise(*info);
    if (auto info = platform::VersionInfo::FromBlock16(std::vector<std::uint8_t>(bytes.begin(), bytes.end())))
        Exercise(*info);
    return 0;
}
