// The quick filter: a flat proxy over the ResultGridModel that keeps the rows
// whose shown cells contain every typed word, ignoring case and accents. Rows
// are never copied; the proxy holds one flag and one index per grid row while
// a filter is set, and nothing while none is. While one is set it also keeps
// the folded text of the rows it has tested (up to a fixed total), so the
// next keystroke searches that text instead of folding every cell again.
//
// Words are separated by white space and folded with the shared folding of
// platform/Utf8Text. A row matches when each word is contained in the text of
// at least one visible column as the table shows it (sizes with their digit
// grouping, dates in the locale's format).
//
// A new filter text is applied in slices from the event loop, so typing stays
// fluid over a million rows; the view changes once, when the pass is done
// (one layout change; selections follow their rows). A word typed onto the
// previous filter only re-tests the rows shown; a word shortened only the rows
// hidden. Rows a search appends are tested as they arrive, a sort moves the
// verdicts with their rows, and changed cells or shown columns re-test all
// rows in the background.
#pragma once

#include "grid/FlatProxyModel.h"
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace grid {

class ResultGrid;
class ResultGridModel;

// The folded words of a filter text; empty when it has none.
std::vector<std::string> FilterWords(std::string_view utf8Text);

class RowFilterProxyModel : public FlatProxyModel {
    Q_OBJECT
public:
    explicit RowFilterProxyModel(ResultGridModel& source, QObject* parent = nullptr);

    // Starts applying the filter; an empty or blank text shows every row.
    void SetFilterText(const QString& text);
    QString FilterText() const { return filterText_; }
    // Whether a filter is in force (the view shows only matching rows).
    bool Active() const { return !words_.empty(); }
    // Whether a pass is still running in the background.
    bool Pending() const { return passRunning_; }
    // Runs what is left of the pass at once.
    void FinishPending();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A pass finished and the view shows its result.
    void filterApplied();

private:
    struct Matcher;
    void ConnectSource();
    void RunSlice();
    void StartPass(std::vector<std::string> words);
    void ScheduleFullPass();
    void ForgetCachedText();
    // A grid row's folded shown text cells, from the cache when they are
    // there; else folded into `scratch` and kept when there is room.
    std::string_view FoldedText(int row, const std::vector<int>& columns, std::string& scratch);
    bool FoldedKnown(int row) const;
    void FinishPass();
    // Replaces the shown rows by those flagged in `accepted` (empty words:
    // every row) under one layout change.
    void Apply(std::vector<std::string> words, std::vector<char> accepted);
    std::vector<int> ShownColumns() const;
    void OnRowsInserted(int first, int last);
    void OnRowsReordered(const std::vector<int>& previousRowOf);
    void OnLayoutChanged();
    void OnRowsRemovedOrReset();

    ResultGridModel& source_;
    const ResultGrid& grid_;
    QString filterText_;
    // The filter in force: its words, a flag per grid row, the shown rows in
    // grid order and each grid row's proxy row (-1: hidden).
    std::vector<std::string> words_;
    std::vector<char> accepted_;
    std::vector<int> rows_;
    std::vector<int> proxyRowOf_;
    std::vector<int> shownColumns_;
    // The folded text of each grid row's shown sizes and dates, made when a
    // word first needs it and kept until cells or shown columns change.
    std::vector<std::string> typedText_;
    std::vector<char> typedKnown_;
    // The folded text of each tested grid row's shown text cells: where it
    // lies in foldedBlocks_ (blocks of a fixed size, filled in turn), or
    // unknown. Made while a filter is typed and dropped when it is cleared,
    // when cells or shown columns change, or rows go.
    struct FoldedSpan {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = UINT32_MAX;
    };
    std::vector<FoldedSpan> foldedSpans_;
    std::vector<std::unique_ptr<char[]>> foldedBlocks_;
    std::size_t foldedBlockUsed_ = 0;

    // The pass under way: its words, the rows it still has to test (from
    // next_ on) and the verdicts so far for every grid row. A pass whose base
    // is zero flags no row it does not test.
    bool passRunning_ = false;
    bool passNeedsAllRows_ = false;
    bool passBaseZero_ = true;
    std::vector<std::string> passWords_;
    std::vector<int> candidates_;
    std::size_t next_ = 0;
    std::vector<char> verdicts_;
    std::vector<int> pendingReorder_;
    bool reordered_ = false;
    QTimer sliceTimer_;
};

} // namespace grid
