// The icon a PE image carries for itself: its first icon group (RT_GROUP_ICON)
// with the icon images (RT_ICON) it names, put together as a .ico file that
// any image loader reads.
#pragma once

#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The bytes of a complete .ico file made from the image's first icon group;
// empty when the file is not a readable PE image or has no usable icon.
// Never opens non-regular files.
std::optional<std::vector<std::uint8_t>> ReadIconFile(const std::string& path);

// The same for an image held in memory.
std::optional<std::vector<std::uint8_t>> IconFileFromImage(std::span<const std::uint8_t> image);

// The same for an image read from any byte source. Looks at no more than the
// first 256 entries of the group, reads each resource directory table once.
std::optional<std::vector<std::uint8_t>> IconFileFromSource(const version::ByteSource& source);

}  // namespace platform
