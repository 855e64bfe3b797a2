// Runs the folder picker and brings its answer into the path form of the
// rest of the program.
#include "VORN_STD_library/BrowseForFolderPath.h"

#include <QDir>
#include <QFile>

#include "platform/desktop/FolderPicker.h"

namespace VORN_STD_library {

std::string BrowseForFolderPath(QWidget* owner, const std::string& title, std::int16_t option,
                                const std::string& initialFolder)
{
    desktop::FolderPickerRequest request;
    request.owner = owner;
    request.title = QString::fromUtf8(title);
    request.allowNewFolder = option != 0;
    request.startFolder = QFile::decodeName(QByteArray::fromStdString(initialFolder));

    const QString chosen = desktop::CurrentFolderPicker().PickFolder(request);
    if (chosen.isEmpty()) return {};
    // cleanPath drops a trailing "/" but keeps the root's.
    return QFile::encodeName(QDir::cleanPath(chosen)).toStdString();
}

} // namespace VORN_STD_library
