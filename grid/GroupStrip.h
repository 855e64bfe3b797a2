// The strip above the result table that groups it: it shows the prompt "Drag
// a column header here to group by that column" until something is grouped,
// then one chip per grouping column (its caption and a close mark), outer
// level first. A heading dropped on the strip asks for a new level; a chip's
// close mark, or the chip dragged back onto the heading row, asks for its
// level to go. The strip only asks; the owner decides and calls SetChips.
#pragma once

#include <QMimeData>
#include <QWidget>

#include <utility>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace grid {

inline constexpr const char* kGroupByPrompt = "Drag a column header here to group by that column";

// Drag payloads: a heading (to group by its column) and a chip (to ungroup
// it). Both carry the column's key as UTF-8.
inline constexpr const char* kColumnKeyMimeType = "application/x-lumbrel-column-key";
inline constexpr const char* kGroupChipMimeType = "application/x-lumbrel-group-chip";

// The drag payload for a column key.
QMimeData* MakeKeyMimeData(const char* mimeType, const QString& key);

class GroupStrip : public QWidget {
    Q_OBJECT
public:
    explicit GroupStrip(QWidget* parent = nullptr);

    // The grouping columns as (key, caption), outer level first.
    void SetChips(const std::vector<std::pair<QString, QString>>& chips);
    QLabel* Prompt() const { return prompt_; }
    // The chip widgets, outer level first (their close button is a child).
    std::vector<QWidget*> Chips() const { return chips_; }

signals:
    void groupRequested(const QString& key);
    void ungroupRequested(const QString& key);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QHBoxLayout* layout_;
    QLabel* prompt_;
    std::vector<QWidget*> chips_;
    std::vector<QWidget*> retired_;
};

} // namespace grid
