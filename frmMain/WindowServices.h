// The desktop services the main window uses, gathered so a test can hand the
// window its own: settings store, hand-off, message boxes, the yield that runs
// during a search, and the folders an export may be written to.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

#include "platform/EventLoopYield.h"
#include "platform/desktop/FileHandOff.h"
#include "platform/desktop/SettingsStore.h"
#include "platform/desktop/UserMessages.h"

class QWidget;

struct WindowServices {
    std::shared_ptr<desktop::SettingsStore> settings;
    std::shared_ptr<desktop::FileHandOff> handOff;
    std::shared_ptr<desktop::UserMessages> messages;
    // Installed as the process-wide yield while a search runs.
    platform::YieldHandler yield;
    // Where exports go: the program folder, else the documents folder.
    std::function<std::string()> programFolder;
    std::function<std::string()> documentsFolder;
    // Save as: asks for a file to write, offering `filters` ("Name (*.ext)")
    // and asking before an existing file is replaced; sets `chosenFilter` to
    // the filter picked. The empty text when the user cancels.
    std::function<QString(QWidget* owner, const QString& suggestedPath, const QStringList& filters,
                          QString& chosenFilter)>
        chooseSaveFile;
    // Compare with: asks for an existing file to read, offering `filters`.
    // The empty text when the user cancels.
    std::function<QString(QWidget* owner, const QString& title, const QStringList& filters)> chooseOpenFile;

    // The real desktop: QSettings, QDesktopServices, QMessageBox, QFileDialog, the
    // throttled event-loop yield, the executable's folder and the user's
    // documents folder.
    static WindowServices Desktop();
};
