// Lookup in a PE image's resource directory: type, then name, then language,
// the way the platform's resource finder chooses. Directory cycles and
// malformed entries end the search with nothing found.
#pragma once

#include "platform/version/PeImage.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::version {

// Where a resource's bytes lie: an RVA and the size the directory claims.
struct ResourceLocation {
    std::uint32_t rva;
    std::uint32_t size;
};

// Well-known numeric resource types.
inline constexpr std::uint16_t kResourceTypeIcon = 3;
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;
inline constexpr std::uint16_t kResourceTypeVersion = 16;

// The resource of numeric type and numeric name; of its languages the
// language-neutral one first, then U.S. English (0x0409), then the first listed.
std::optional<ResourceLocation> FindResource(const PeImage& image, std::uint16_t type, std::uint16_t name);

// The first resource listed under a numeric type, whatever its name (named
// entries come first in the directory), with the same choice of language.
std::optional<ResourceLocation> FindFirstResourceOfType(const PeImage& image, std::uint16_t type);

// The resource's bytes, at most maxBytes of them and never past the end of the
// section that holds it; empty when its start cannot be read.
std::optional<std::vector<std::uint8_t>> ReadResource(const PeImage& image, const ResourceLocation& where,
                                                      std::uint32_t maxBytes);

}  // namespace platform::version
