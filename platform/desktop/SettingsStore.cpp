// The remembered settings in QSettings.
#include "platform/desktop/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <stdexcept>
#include <utility>

namespace desktop {
namespace {

QString GroupKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(ExecutableBaseName()) {}

QtSettingsStore::QtSettingsStore(QString applicationName) : applicationName_(std::move(applicationName)) {}

QString QtSettingsStore::ExecutableBaseName()
{
    const QString executable = QCoreApplication::applicationFilePath();
    if (executable.isEmpty()) return QStringLiteral("lumbrel");
    return QFileInfo(executable).completeBaseName();
}

QString QtSettingsStore::Read(const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, applicationName_, applicationName_);
    const QVariant stored = settings.value(GroupKey(section, key));
    if (!stored.isValid()) return defaultValue;
    return stored.toString();
}

void QtSettingsStore::Write(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, applicationName_, applicationName_);
    settings.setValue(GroupKey(section, key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw std::runtime_error("the settings file " + settings.fileName().toStdString() +
                                 " could not be written");
    }
}

} // namespace desktop
