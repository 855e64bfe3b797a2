// MD5, SHA-1 and SHA-256 of a whole file, computed in one pass over an open
// descriptor, as lower-case hexadecimal.
#pragma once

#include <optional>
#include <string>

namespace VORN_STD_library {

struct FileDigests {
    std::string md5;
    std::string sha1;
    std::string sha256;
};

// The digests of everything the descriptor's file holds, read from its start
// in chunks (the descriptor's own position is left alone); empty when the
// file cannot be read to its end.
std::optional<FileDigests> DigestOpenFile(int fd);

} // namespace VORN_STD_library
