// The per-user store of the remembered settings: a text by section and key,
// with a default for a missing key. The Qt store keeps them in the native
// format in user scope, under the executable's name.
#pragma once

#include <QString>

namespace desktop {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text exactly as saved (an empty text included), or
    // `defaultValue` when the key was never saved.
    virtual QString Read(const QString& section, const QString& key, const QString& defaultValue) = 0;
    // Saves the text; a failure to write is thrown as std::runtime_error.
    virtual void Write(const QString& section, const QString& key, const QString& value) = 0;
};

// QSettings, native format, user scope, organization and application both the
// executable's file name without its extension. XDG_CONFIG_HOME decides where
// the file lies.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // An explicit application name (used as organization and application).
    explicit QtSettingsStore(QString applicationName);

    QString Read(const QString& section, const QString& key, const QString& defaultValue) override;
    void Write(const QString& section, const QString& key, const QString& value) override;

    // The executable's file name without its extension.
    static QString ExecutableBaseName();

private:
    QString applicationName_;
};

} // namespace desktop
