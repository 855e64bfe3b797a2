// Image headers through the PE and NE readers' own header parsing.
#include "platform/version/ImageHeaders.h"

#include "platform/version/NeImage.h"
#include "platform/version/PeImage.h"

namespace platform::version {

std::optional<ImageHeaders> ReadImageHeaders(const ByteSource& source)
{
    if (const auto pe = PeImage::Open(source)) {
        const PeHeaderFields& header = pe->Header();
        return ImageHeaders{.format = header.isPe32Plus ? ImageFormat::Pe32Plus : ImageFormat::Pe32,
                            .machine = header.machine,
                            .timeDateStamp = header.timeDateStamp,
                            .subsystem = header.subsystem,
                            .assembly = ReadAssemblyVersion(*pe)};
    }
    if (IsNeImage(source))
        return ImageHeaders{.format = ImageFormat::Ne};
    return std::nullopt;
}

}  // namespace platform::version
