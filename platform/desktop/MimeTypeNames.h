// Type names from the desktop's MIME database: the description of the type
// that the file name's extension maps to, else the built-in "EXT File" rule.
#pragma once

#include "platform/TypeNames.h"

namespace desktop {

class MimeTypeNameProvider final : public platform::TypeNameProvider {
public:
    std::string TypeNameFor(std::string_view fileName) override;
};

// Installs a MimeTypeNameProvider as the process-wide provider.
void InstallMimeTypeNames();

} // namespace desktop
