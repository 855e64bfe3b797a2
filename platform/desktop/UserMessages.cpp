// Failure and warning messages in a QMessageBox.
#include "platform/desktop/UserMessages.h"

#include <QMessageBox>

namespace desktop {

void QtMessageBoxes::ShowFailure(QWidget* owner, const QString& operation, const QString& cause)
{
    const QString title = owner ? owner->windowTitle() : QString();
    QMessageBox::warning(owner, title, QStringLiteral("The %1 failed:\n%2").arg(operation, cause));
}

void QtMessageBoxes::ShowWarning(QWidget* owner, const QString& text)
{
    QMessageBox::warning(owner, owner ? owner->windowTitle() : QString(), text);
}

} // namespace desktop
