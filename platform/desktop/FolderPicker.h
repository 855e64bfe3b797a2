// The folder-picker dialog behind BrowseForFolderPath. Qt's own directory
// dialog by default; tests install one that answers without a dialog.
#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace desktop {

struct FolderPickerRequest {
    QWidget* owner = nullptr;
    QString title;
    bool allowNewFolder = false;
    QString startFolder;  // empty: the dialog's default place
};

class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    // The chosen folder's path, or the empty text when the user cancels.
    virtual QString PickFolder(const FolderPickerRequest& request) = 0;
};

// Qt's non-native directory dialog, directories only; without the new-folder
// option the dialog is read-only.
class QtFolderPicker final : public FolderPicker {
public:
    QString PickFolder(const FolderPickerRequest& request) override;
};

// Installs the process-wide picker (nullptr: Qt's). Returns the previous one.
std::shared_ptr<FolderPicker> SetFolderPicker(std::shared_ptr<FolderPicker> picker);

// The installed picker.
FolderPicker& CurrentFolderPicker();

} // namespace desktop
