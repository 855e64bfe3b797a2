// The grouping strip: the prompt or the chips, and the drops it takes.
#include "grid/GroupStrip.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include "grid/ResultGridModel.h"

namespace grid {
namespace {

// One grouping column: its caption and a close mark; dragging it starts a
// chip drag back to the heading row.
class GroupChip : public QFrame {
public:
    GroupChip(const QString& key, const QString& caption, GroupStrip& strip) : QFrame(&strip), key_(key)
    {
        setObjectName(QStringLiteral("groupChip"));
        setFrameShape(QFrame::StyledPanel);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Button);
        setForegroundRole(QPalette::ButtonText);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(6, 1, 2, 1);
        layout->setSpacing(4);
        layout->addWidget(new QLabel(caption, this));
        auto* close = new QToolButton(this);
        close->setObjectName(QStringLiteral("ungroup"));
        close->setText(QStringLiteral("\u00D7"));
        close->setToolTip(QStringLiteral("Ungroup %1").arg(caption));
        close->setAutoRaise(true);
        layout->addWidget(close);
        connect(close, &QToolButton::clicked, &strip, [&strip, key] { emit strip.ungroupRequested(key); });
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) pressedAt_ = event->position().toPoint();
        QFrame::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) ||
            (event->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
            return;
        auto* drag = new QDrag(parentWidget());
        drag->setMimeData(MakeKeyMimeData(kGroupChipMimeType, key_));
        drag->exec(Qt::MoveAction);
    }

private:
    QString key_;
    QPoint pressedAt_;
};

} // namespace

QMimeData* MakeKeyMimeData(const char* mimeType, const QString& key)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(mimeType), key.toUtf8());
    return data;
}

GroupStrip::GroupStrip(QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)),
      prompt_(new QLabel(QString::fromLatin1(kGroupByPrompt), this))
{
    setObjectName(QStringLiteral("groupByStrip"));
    setAcceptDrops(true);
    setAutoFillBackground(true);
    // Button text on the button surface: a pair every palette keeps readable.
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::ButtonText);
    prompt_->setForegroundRole(QPalette::ButtonText);
    layout_->setContentsMargins(6, 4, 6, 4);
    layout_->setSpacing(6);
    layout_->addWidget(prompt_);
    layout_->addStretch(1);
}

void GroupStrip::SetChips(const std::vector<std::pair<QString, QString>>& chips)
{
    // A chip may be asking for this change from its own close mark's click
    // or from inside its own drag: it is only hidden now, and deleted at the
    // next change, long after its gesture has returned.
    for (QWidget* chip : retired_) delete chip;
    retired_.clear();
    for (QWidget* chip : chips_) {
        chip->hide();
        layout_->removeWidget(chip);
    }
    retired_.swap(chips_);
    for (std::size_t i = 0; i < chips.size(); ++i) {
        auto* chip = new GroupChip(chips[i].first, chips[i].second, *this);
        layout_->insertWidget(static_cast<int>(i), chip);
        chips_.push_back(chip);
    }
    prompt_->setVisible(chips.empty());
}

void GroupStrip::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kColumnKeyMimeType))) event->acceptProposedAction();
}

void GroupStrip::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kColumnKeyMimeType))) event->acceptProposedAction();
}

void GroupStrip::dropEvent(QDropEvent* event)
{
    const QByteArray key = event->mimeData()->data(QString::fromLatin1(kColumnKeyMimeType));
    if (key.isEmpty()) return;
    event->acceptProposedAction();
    emit groupRequested(QString::fromUtf8(key));
}

} // namespace grid
