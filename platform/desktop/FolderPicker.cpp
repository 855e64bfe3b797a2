// The folder dialog and the process-wide choice of picker.
#include "platform/desktop/FolderPicker.h"

#include <QFileDialog>

#include <utility>

namespace desktop {
namespace {

std::shared_ptr<FolderPicker>& InstalledPicker()
{
    static std::shared_ptr<FolderPicker> picker;
    return picker;
}

} // namespace

QString QtFolderPicker::PickFolder(const FolderPickerRequest& request)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog;
    if (!request.allowNewFolder) options |= QFileDialog::ReadOnly;
    return QFileDialog::getExistingDirectory(request.owner, request.title, request.startFolder, options);
}

std::shared_ptr<FolderPicker> SetFolderPicker(std::shared_ptr<FolderPicker> picker)
{
    return std::exchange(InstalledPicker(), std::move(picker));
}

FolderPicker& CurrentFolderPicker()
{
    static QtFolderPicker qtPicker;
    FolderPicker* installed = InstalledPicker().get();
    return installed ? *installed : qtPicker;
}

} // namespace desktop
