// The folder dialog.
#include "platform/desktop/FolderPicker.h"

#include <QFile>
#include <QFileDialog>

#include <memory>

namespace desktop {

std::string QtFolderPicker::PickFolder(const platform::FolderPickerRequest& request)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog;
    if (!request.allowNewFolder) options |= QFileDialog::ReadOnly;
    const QString chosen = QFileDialog::getExistingDirectory(
        request.owner, QString::fromUtf8(request.title),
        QFile::decodeName(QByteArray::fromStdString(request.startFolder)), options);
    return QFile::encodeName(chosen).toStdString();
}

void InstallQtFolderPicker()
{
    platform::SetFolderPicker(std::make_shared<QtFolderPicker>());
}

} // namespace desktop
