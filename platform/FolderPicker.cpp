// The process-wide choice of folder picker.
#include "platform/FolderPicker.h"

#include <utility>

namespace platform {
namespace {

std::shared_ptr<FolderPicker>& InstalledPicker()
{
    static std::shared_ptr<FolderPicker> picker;
    return picker;
}

} // namespace

std::shared_ptr<FolderPicker> SetFolderPicker(std::shared_ptr<FolderPicker> picker)
{
    return std::exchange(InstalledPicker(), std::move(picker));
}

std::string PickFolder(const FolderPickerRequest& request)
{
    const std::shared_ptr<FolderPicker> picker = InstalledPicker();
    return picker ? picker->PickFolder(request) : std::string();
}

} // namespace platform
