// The program folder and the documents folder from Qt.
#include "platform/desktop/KnownFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

namespace desktop {

std::string ProgramFolder()
{
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

std::string DocumentsFolder()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).toStdString();
}

} // namespace desktop
