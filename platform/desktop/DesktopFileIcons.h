// File icons from the desktop: a PE image's own icon, else the icon the theme
// shows for the file's type; either encoded as PNG at 16 or 32 pixels. Needs a running QApplication and the GUI thread.
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
