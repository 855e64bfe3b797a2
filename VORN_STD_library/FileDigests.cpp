// The three digests through libcrypto's EVP interface: every chunk read is
// fed to all three, so the file is read once however many are wanted.
#include "VORN_STD_library/FileDigests.h"

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

#include <openssl/evp.h>
#include <fcntl.h>
#include <unistd.h>

namespace VORN_STD_library {
namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

std::string LowerHex(const unsigned char* bytes, unsigned int count)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (unsigned int i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

} // namespace

std::optional<FileDigests> DigestOpenFile(int fd)
{
    const std::array<const EVP_MD*, 3> algorithms = {EVP_md5(), EVP_sha1(), EVP_sha256()};
    std::array<DigestContext, 3> contexts;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        contexts[i].reset(EVP_MD_CTX_new());
        if (!contexts[i] || EVP_DigestInit_ex(contexts[i].get(), algorithms[i], nullptr) != 1) return std::nullopt;
    }

    // The whole file is read front to back: the kernel may read further
    // ahead than it would for a reader of scattered pieces.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<unsigned char> chunk(kChunkBytes);
    off_t offset = 0;
    while (true) {
        const ssize_t got = ::pread(fd, chunk.data(), chunk.size(), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        for (const DigestContext& context : contexts)
            if (EVP_DigestUpdate(context.get(), chunk.data(), static_cast<std::size_t>(got)) != 1) return std::nullopt;
        offset += got;
    }

    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(contexts[i].get(), digest, &length) != 1) return std::nullopt;
        texts[i] = LowerHex(digest, length);
    }
    return FileDigests{std::move(texts[0]), std::move(texts[1]), std::move(texts[2])};
}

} // namespace VORN_STD_library
