// Fuzz entry for the signature reader: the input as a PE image whose
// certificate table, PKCS#7 signatures, nested signatures and time stamps
// are parsed and checked, and whose Authenticode digest is computed.
//
// Every input must also stay within a fixed amount of work: the reader may
// ask its source for no more than kMaxReads reads and kMaxBytes bytes (the
// headers, the table once and the digest's single pass over the file). An
// input past either bound traps like a crash.
#include "VORN_STD_library/Signatures.h"
#include "platform/version/ByteSource.h"
#include "platform/version/CountingByteSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

namespace {

constexpr std::uint64_t kMaxReads = 4096;
constexpr std::uint64_t kMaxBytes = 4 * 70000 + (1u << 20);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const platform::version::MemoryByteSource memory(std::span<const std::uint8_t>(data, size));
    const platform::version::CountingByteSource counted(memory);
    if (const auto signatures = VORN_STD_library::ReadImageSignatures(counted, nullptr))
        (void)VORN_STD_library::SignaturesJson(*signatures);
    if (counted.Reads() > kMaxReads || counted.Bytes() > kMaxBytes + 2 * size) {
        std::fprintf(stderr, "work bound exceeded: %llu reads, %llu bytes\n",
                     static_cast<unsigned long long>(counted.Reads()),
                     static_cast<unsigned long long>(counted.Bytes()));
        __builtin_trap();
    }
    return 0;
}
