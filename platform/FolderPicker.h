// The process-wide folder picker behind BrowseForFolderPath: the request a
// caller makes and the interface that answers it. The file-system layer shows
// no dialog of its own; the desktop layer installs a picker that does, and
// tests install one that answers without a dialog. Without one every request
// is answered as cancelled.
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace platform {

struct FolderPickerRequest {
    // The window the dialog is modal to; only the installed picker uses it.
    QWidget* owner = nullptr;
    std::string title;        // UTF-8
    bool allowNewFolder = false;
    std::string startFolder;  // file-system path; empty: the dialog's default place
};

class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    // The chosen folder's file-system path, or the empty text when the user cancels.
    virtual std::string PickFolder(const FolderPickerRequest& request) = 0;
};

// Installs the process-wide picker (nullptr: none). Returns the previous one.
std::shared_ptr<FolderPicker> SetFolderPicker(std::shared_ptr<FolderPicker> picker);

// The installed picker's answer; the empty text when none is installed.
std::string PickFolder(const FolderPickerRequest& request);

} // namespace platform
