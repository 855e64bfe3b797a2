// Qt's directory dialog as the process-wide folder picker.
#pragma once

#include <QString>

#include "platform/FolderPicker.h"

namespace desktop {

// Qt's non-native directory dialog, directories only; without the new-folder
// option the dialog is read-only. Paths cross as file-system bytes.
class QtFolderPicker final : public platform::FolderPicker {
public:
    std::string PickFolder(const platform::FolderPickerRequest& request) override;
};

// Installs a QtFolderPicker as the process-wide picker.
void InstallQtFolderPicker();

} // namespace desktop
