// Opens a file with its associated application through QDesktopServices.
#include "platform/desktop/FileHandOff.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace desktop {

void QtFileHandOff::OpenWithAssociatedApplication(const std::string& filePath)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(filePath))));
}

} // namespace desktop
