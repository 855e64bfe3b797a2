// The folder-browse dialog: shows the installed folder picker modal to its
// owner and returns the chosen folder's file-system path, or the empty text
// when the user cancels.
#pragma once

#include <cstdint>
#include <string>

class QWidget;

namespace VORN_STD_library {

// option 0: the dialog offers no way to create a folder; any other value
// allows it. A non-empty initialFolder is where the dialog opens. The result
// has no trailing "/", except for the root "/".
std::string BrowseForFolderPath(QWidget* owner, const std::string& title, std::int16_t option,
                                const std::string& initialFolder);

} // namespace VORN_STD_library
