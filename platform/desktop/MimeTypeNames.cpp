// Looks the file name up in QMimeDatabase by its extension, never by content.
#include "platform/desktop/MimeTypeNames.h"

#include <QFile>
#include <QMimeDatabase>

#include <memory>

namespace desktop {

std::string MimeTypeNameProvider::TypeNameFor(std::string_view fileName)
{
    const QString name = QFile::decodeName(QByteArray(fileName.data(), static_cast<qsizetype>(fileName.size())));
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault() || type.comment().isEmpty()) {
        return platform::DefaultTypeName(fileName);
    }
    return type.comment().toStdString();
}

void InstallMimeTypeNames()
{
    platform::SetTypeNameProvider(std::make_shared<MimeTypeNameProvider>());
}

} // namespace desktop
