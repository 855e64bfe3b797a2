// Tells the user about a failure (which operation failed and why) or warns
// about something that worked only in part. The window reports every failure
// that reaches one of its handlers this way and stays usable.
#pragma once

#include <QString>

class QWidget;

namespace desktop {

class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void ShowFailure(QWidget* owner, const QString& operation, const QString& cause) = 0;
    virtual void ShowWarning(QWidget* owner, const QString& text) = 0;
};

// A modal warning box over the owner.
class QtMessageBoxes final : public UserMessages {
public:
    void ShowFailure(QWidget* owner, const QString& operation, const QString& cause) override;
    void ShowWarning(QWidget* owner, const QString& text) override;
};

} // namespace desktop
