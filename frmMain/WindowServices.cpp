// The desktop's own services for the main window.
#include "frmMain/WindowServices.h"

#include <QFileDialog>

#include "platform/desktop/EventLoopYieldHandler.h"
#include "platform/desktop/KnownFolders.h"

WindowServices WindowServices::Desktop()
{
    WindowServices services;
    services.settings = std::make_shared<desktop::QtSettingsStore>();
    services.handOff = std::make_shared<desktop::QtFileHandOff>();
    services.messages = std::make_shared<desktop::QtMessageBoxes>();
    services.yield = desktop::MakeEventLoopYield();
    services.programFolder = desktop::ProgramFolder;
    services.documentsFolder = desktop::DocumentsFolder;
    services.chooseSaveFile = [](QWidget* owner, const QString& suggestedPath, const QStringList& filters,
                                 QString& chosenFilter) {
        // The dialog asks before replacing an existing file.
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Save as"), suggestedPath,
                                            filters.join(QStringLiteral(";;")), &chosenFilter);
    };
    services.chooseOpenFile = [](QWidget* owner, const QString& title, const QStringList& filters) {
        return QFileDialog::getOpenFileName(owner, title, QString(), filters.join(QStringLiteral(";;")));
    };
    return services;
}
