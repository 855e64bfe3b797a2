// Asks the installed folder picker and brings its answer into the path form
// of the rest of the program.
#include "VORN_STD_library/BrowseForFolderPath.h"

#include <filesystem>

#include "platform/FolderPicker.h"

namespace VORN_STD_library {
namespace {

// The path with "." and ".." resolved, repeated "/" collapsed and no trailing
// "/", except for the root "/".
std::string CleanPath(const std::string& path)
{
    std::string clean = std::filesystem::path(path).lexically_normal().native();
    while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
    return clean;
}

} // namespace

std::string BrowseForFolderPath(QWidget* owner, const std::string& title, std::int16_t option,
                                const std::string& initialFolder)
{
    platform::FolderPickerRequest request;
    request.owner = owner;
    request.title = title;
    request.allowNewFolder = option != 0;
    request.startFolder = initialFolder;

    const std::string chosen = platform::PickFolder(request);
    if (chosen.empty()) return {};
    return CleanPath(chosen);
}

} // namespace VORN_STD_library
