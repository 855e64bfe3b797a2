// File icons from the desktop: the icon the theme shows for the file's type,
// encoded as PNG. Needs a running QApplication and the GUI thread.
#pragma once

#include "platform/FileIcons.h"

namespace desktop {

// Handles reported for icons, by where they came from.
inline constexpr std::int32_t kIconFromImage = 1;
inline constexpr std::int32_t kIconFromTheme = 2;

class DesktopFileIconSource final : public platform::FileIconSource {
public:
    platform::FileIconImage IconFor(const std::string& path, platform::IconSize size) override;
};

// Installs a DesktopFileIconSource as the process-wide icon source.
void InstallDesktopFileIcons();

} // namespace desktop
