// The image test behind --executables and the window's executables box.
#include "platform/version/ImageSignature.h"

#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CloseBatch.h"
#include "platform/UniqueFd.h"
#include "platform/version/ByteReader.h"

namespace platform::version {
namespace {

constexpr std::size_t kDosHeaderBytes = 0x40;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;

} // namespace

bool StartsAsImage(const std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>& readAt)
{
    std::array<std::uint8_t, kDosHeaderBytes> dosHeader{};
    if (!readAt(0, dosHeader)) return false;
    const ByteReader dos(dosHeader);
    if (dos.U16(0) != std::optional<std::uint16_t>(0x5A4D)) return false; // "MZ"
    const std::optional<std::uint32_t> newHeader = dos.U32(kNewHeaderOffsetField);
    // Offset 0 would point back at "MZ".
    if (!newHeader || *newHeader == 0) return false;
    std::array<std::uint8_t, 4> signature{};
    if (!readAt(*newHeader, signature)) {
        // An NE signature is two bytes and may end the file.
        std::array<std::uint8_t, 2> shortSignature{};
        return readAt(*newHeader, shortSignature) && shortSignature[0] == 'N' && shortSignature[1] == 'E';
    }
    const bool pe = signature == std::array<std::uint8_t, 4>{'P', 'E', 0, 0};
    const bool ne = signature[0] == 'N' && signature[1] == 'E';
    return pe || ne;
}

bool IsImageFile(int folderFd, const char* name)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, 0) != 0 || !S_ISREG(status.st_mode)) return false;
    UniqueFd fd(::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const bool image = fd && ::fstat(fd.Get(), &status) == 0 && S_ISREG(status.st_mode) &&
                       StartsAsImage([&fd](std::uint64_t offset, std::span<std::uint8_t> out) {
                           const ssize_t got = ::pread(fd.Get(), out.data(), out.size(), static_cast<off_t>(offset));
                           return got >= 0 && static_cast<std::size_t>(got) == out.size();
                       });
    CloseSoon(std::move(fd));
    return image;
}

} // namespace platform::version
