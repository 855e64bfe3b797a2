// What the headers of an image say about the image as a whole: its format,
// and for a PE image the machine it runs on, its subsystem and its link time
// stamp, and for a managed image its assembly version. Hostile or truncated
// files give nothing; beyond the headers only the metadata of a managed
// image is read, as far as the Assembly table.
#pragma once

#include "platform/version/ByteSource.h"
#include "platform/version/CliMetadata.h"

#include <cstdint>
#include <optional>

namespace platform::version {

enum class ImageFormat { Pe32, Pe32Plus, Ne };

struct ImageHeaders {
    ImageFormat format;
    // The COFF header's fields and the optional header's subsystem; all 0
    // for an NE image, which has none of them.
    std::uint16_t machine = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t subsystem = 0;
    // The assembly version of a managed PE image; empty for a native image
    // and when its metadata cannot be read.
    std::optional<AssemblyVersion> assembly = std::nullopt;
};

// The headers of the PE or NE image in source; empty when it is neither or
// its headers cannot be read whole.
std::optional<ImageHeaders> ReadImageHeaders(const ByteSource& source);

}  // namespace platform::version
