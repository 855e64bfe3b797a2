// The assembly version of a managed image: its CLI header (data directory 14)
// names the metadata, whose #~ stream holds the metadata tables; the first
// row of the Assembly table carries the version. Every read is checked: a
// damaged or truncated chain gives nothing.
#pragma once

#include "platform/version/PeImage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platform::version {

struct AssemblyVersion {
    std::uint16_t major;
    std::uint16_t minor;
    std::uint16_t build;
    std::uint16_t revision;
    bool operator==(const AssemblyVersion&) const = default;
};

// Reads count bytes at an offset from the metadata root; empty when they are
// not all inside the metadata or cannot be read.
using MetadataReader = std::function<std::optional<std::vector<std::uint8_t>>(std::uint64_t, std::size_t)>;

// The version from the metadata that read serves; empty when the metadata
// has no Assembly row or any part of the way to it is damaged.
std::optional<AssemblyVersion> ReadAssemblyVersion(const MetadataReader& read);

// The same for the image's metadata; empty for a native image.
std::optional<AssemblyVersion> ReadAssemblyVersion(const PeImage& image);

}  // namespace platform::version
