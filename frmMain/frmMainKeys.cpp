// The window's keyboard: Enter in a box (or on the check boxes) starts the
// search, Enter on a focused button presses it, Enter in the table opens the
// current row's properties; Esc cancels a running search; F5 searches again;
// Ctrl+S saves as; Ctrl+D compares with a saved inventory. Tab leaves the
// table along the tab order (the table does not move between cells on Tab).
#include "frmMain/frmMain.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "grid/ResultGridView.h"

void frmMain::CreateKeys()
{
    for (QPushButton* button : cmd_) button->setAutoDefault(true);
    for (QLineEdit* box : txt_) connect(box, &QLineEdit::returnPressed, this, &frmMain::SearchFromKeyboard);

    auto* cancel = new QAction(this);
    cancel->setShortcut(Qt::Key_Escape);
    connect(cancel, &QAction::triggered, this, [this] {
        if (cmd_[kCancel]->isEnabled()) cmd_Click(kCancel);
    });
    auto* again = new QAction(this);
    again->setShortcut(Qt::Key_F5);
    connect(again, &QAction::triggered, this, &frmMain::SearchFromKeyboard);
    saveAsAction_ = new QAction(QStringLiteral("Save as\u2026"), this);
    saveAsAction_->setShortcut(QKeySequence::Save);
    connect(saveAsAction_, &QAction::triggered, this, &frmMain::SaveAsCommand);
    for (QAction* action : {cancel, again, saveAsAction_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    CreateCompareActions();
}

void frmMain::SearchFromKeyboard()
{
    if (cmd_[kSearch]->isEnabled()) cmd_Click(kSearch);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The boxes report Enter through returnPressed and pass the key on.
    if (qobject_cast<QLineEdit*>(focusWidget())) return;
    if (focusWidget() == grd_->Table()) {
        if (const int row = grd_->CurrentGridRow(); row >= 0) ShowProperties(row);
        return;
    }
    SearchFromKeyboard();
}
