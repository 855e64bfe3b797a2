// Starts the program: the desktop services, then the main window.
#include <QApplication>

#include "frmMain/WindowServices.h"
#include "frmMain/frmMain.h"
#include "platform/desktop/DesktopFileIcons.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/desktop/MimeTypeNames.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    desktop::InstallMimeTypeNames();
    desktop::InstallDesktopFileIcons();
    desktop::InstallQtFolderPicker();
    frmMain window(WindowServices::Desktop());
    return application.exec();
}
