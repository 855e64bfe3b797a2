// The quick filter's word rule, its sliced passes and the row mapping.
#include "grid/RowFilterProxyModel.h"

#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <set>
#include <utility>

#include "grid/CellText.h"
#include "grid/ResultGrid.h"
#include "grid/ResultGridModel.h"
#include "platform/Utf8Text.h"

namespace grid {
namespace {

// Each slice of a pass gives the event loop back after this long.
constexpr qint64 kSliceMilliseconds = 12;
// A unit separator between cells, so no word matches across two cells.
constexpr char kCellSeparator = '\x1F';
// The folded text kept while a filter is typed: blocks of this size, at most
// kFoldedBlocks of them (a million rows of a typical inventory fit); rows
// past that are folded each time they are tested.
constexpr std::size_t kFoldedBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kFoldedBlocks = 160;
// How many candidates ahead of the one being tested its cells are fetched,
// and half as many its texts (the rows of a sorted table lie anywhere in
// memory).
constexpr std::size_t kPrefetchAhead = 16;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || c >= 0x80;
}

// What a shown size or date can hold, folded: its non-letters (digits and the
// separators of each shown column's number format and of the locale's date
// format) and its runs of letters (AM/PM marks, month and day names), taken
// from samples of every month, weekday and half-day.
struct TypedShapes {
    std::set<char32_t> nonLetters{U'0', U'1', U'2', U'3', U'4', U'5', U'6', U'7', U'8', U'9'};
    std::set<std::u32string> letterRuns;

    TypedShapes(const ResultGrid& grid, const std::vector<int>& columns, const QLocale& locale)
    {
        for (int column : columns) {
            if (grid.Column(column + 1).DataType() == kDataTypeText) continue;
            const std::string& format = grid.Column(column + 1).CellStyle().Format();
            Add(CellDisplayText(platform::FixedDecimal::FromScaled(-12345678901234), format, locale));
            for (int day = 0; day < 12 * 31; day += 31) {
                for (std::int64_t hour : {1, 13}) {
                    const std::int64_t seconds = 946684800 + day * 86400LL + hour * 3600 + 23 * 60 + 45;
                    Add(CellDisplayText(platform::DateTime::FromUnixUtc(seconds), format, locale));
                }
            }
        }
    }

    void Add(const QString& shown)
    {
        std::string folded;
        const QByteArray utf8 = shown.toUtf8();
        platform::AppendFoldedForSearch(folded, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        std::u32string run;
        for (char32_t c : Decode(folded)) {
            if (IsLetter(c)) {
                run.push_back(c);
                continue;
            }
            nonLetters.insert(c);
            if (!run.empty()) letterRuns.insert(std::exchange(run, {}));
        }
        if (!run.empty()) letterRuns.insert(run);
    }

    static std::u32string Decode(std::string_view text)
    {
        std::u32string decoded;
        for (std::size_t i = 0; i < text.size();) {
            const platform::Utf8Step step = platform::DecodeUtf8Step(text.substr(i));
            decoded.push_back(step.codePoint);
            i += step.length;
        }
        return decoded;
    }

    // Whether the word could lie inside a shown size or date: each of its
    // non-letters occurs there and each run of its letters lies inside one.
    bool CouldHold(const std::string& word) const
    {
        std::u32string run;
        const auto runFits = [&] {
            return run.empty() || std::any_of(letterRuns.begin(), letterRuns.end(), [&](const std::u32string& known) {
                       return known.find(run) != std::u32string::npos;
                   });
        };
        for (char32_t c : Decode(word)) {
            if (IsLetter(c)) {
                run.push_back(c);
                continue;
            }
            if (!nonLetters.contains(c) || !runFits()) return false;
            run.clear();
        }
        return runFits();
    }
};

// Whether every old word lies inside some new word: then every row the new
// words keep, the old ones kept too.
bool Narrows(const std::vector<std::string>& newWords, const std::vector<std::string>& oldWords)
{
    return std::all_of(oldWords.begin(), oldWords.end(), [&](const std::string& old) {
        return std::any_of(newWords.begin(), newWords.end(),
                           [&](const std::string& word) { return word.find(old) != std::string::npos; });
    });
}

} // namespace

std::vector<std::string> FilterWords(std::string_view utf8Text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < utf8Text.size()) {
        while (i < utf8Text.size() && IsSpace(utf8Text[i])) ++i;
        const std::size_t start = i;
        while (i < utf8Text.size() && !IsSpace(utf8Text[i])) ++i;
        if (i == start) continue;
        std::string word;
        platform::AppendFoldedForSearch(word, utf8Text.substr(start, i - start));
        if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end())
            words.push_back(std::move(word));
    }
    return words;
}

// Tests rows against a set of words: the row's shown cells folded into one
// text, each word looked for in it. Sizes and dates are formatted only when a
// word could lie inside their text, and then once per row: the folded text of
// a row's typed cells is kept in the proxy's cache until cells change.
struct RowFilterProxyModel::Matcher {
    Matcher(RowFilterProxyModel& proxy, const std::vector<std::string>& words)
        : proxy(proxy), grid(proxy.grid_), columns(proxy.shownColumns_), words(words)
    {
        const TypedShapes shapes(grid, columns, locale);
        formatTyped = std::any_of(words.begin(), words.end(),
                                  [&](const std::string& word) { return shapes.CouldHold(word); });
    }

    // Each word lies in the folded text cells or, when a word could, in the
    // shown sizes and dates; the separators keep every match inside a cell.
    bool Matches(int row)
    {
        const std::string_view folded = proxy.FoldedText(row, columns, text);
        const std::string_view typed = formatTyped ? std::string_view(TypedText(row)) : std::string_view();
        return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
            return folded.find(word) != std::string_view::npos || typed.find(word) != std::string_view::npos;
        });
    }

    const std::string& TypedText(int row)
    {
        const auto at = static_cast<std::size_t>(row);
        if (proxy.typedKnown_.size() <= at) {
            proxy.typedKnown_.resize(at + 1, 0);
            proxy.typedText_.resize(at + 1);
        }
        std::string& typed = proxy.typedText_[at];
        if (proxy.typedKnown_[at]) return typed;
        typed.clear();
        for (int column : columns) {
            const CellValue& cell = grid.CellValueAt(row, column);
            if (std::holds_alternative<std::string>(cell) || std::holds_alternative<std::monostate>(cell)) continue;
            const QByteArray shown =
                CellDisplayText(cell, grid.Column(column + 1).CellStyle().Format(), locale).toUtf8();
            platform::AppendFoldedForSearch(typed, std::string_view(shown.constData(), static_cast<std::size_t>(shown.size())));
            typed.push_back(kCellSeparator);
        }
        typed.shrink_to_fit();
        proxy.typedKnown_[at] = 1;
        return typed;
    }

    RowFilterProxyModel& proxy;
    const ResultGrid& grid;
    const std::vector<int>& columns;
    const std::vector<std::string>& words;
    QLocale locale = QLocale::system();
    bool formatTyped = false;
    std::string text;
};

RowFilterProxyModel::RowFilterProxyModel(ResultGridModel& source, QObject* parent)
    : FlatProxyModel(parent), source_(source), grid_(source.Grid())
{
    sliceTimer_.setSingleShot(true);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, &RowFilterProxyModel::RunSlice);
    QAbstractProxyModel::setSourceModel(&source_);
    shownColumns_ = ShownColumns();
    ConnectSource();
}

void RowFilterProxyModel::ConnectSource()
{
    QAbstractItemModel* source = &source_;
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, [this](const QModelIndex&, int first, int last) {
        if (!Active()) beginInsertRows(QModelIndex(), first, last);
    });
    connect(source, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::rowsRemoved, this, [this] { OnRowsRemovedOrReset(); });
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::modelReset, this, [this] { OnRowsRemovedOrReset(); });
    connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertColumns(QModelIndex(), first, last); });
    connect(source, &QAbstractItemModel::columnsInserted, this, [this] {
        endInsertColumns();
        ScheduleFullPass();
    });
    connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { beginRemoveColumns(QModelIndex(), first, last); });
    connect(source, &QAbstractItemModel::columnsRemoved, this, [this] {
        endRemoveColumns();
        ScheduleFullPass();
    });
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation, int first, int last) {
                emit headerDataChanged(orientation, first, last);
                if (ShownColumns() != shownColumns_) ScheduleFullPass();
            });
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
                ForwardDataChanged(topLeft, bottomRight, roles, !Active());
                if (!Active()) return;
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) ScheduleFullPass();
            });
    connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        reordered_ = false;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    });
    connect(&source_, &ResultGridModel::rowsReordered, this, &RowFilterProxyModel::OnRowsReordered);
    connect(source, &QAbstractItemModel::layoutChanged, this, [this] { OnLayoutChanged(); });
}

std::vector<int> RowFilterProxyModel::ShownColumns() const
{
    std::vector<int> shown;
    for (int position = 1; position <= grid_.ColumnCount(); ++position)
        if (grid_.Column(position).Visible()) shown.push_back(position - 1);
    return shown;
}

void RowFilterProxyModel::SetFilterText(const QString& text)
{
    filterText_ = text;
    const QByteArray utf8 = text.toUtf8();
    StartPass(FilterWords(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))));
}

void RowFilterProxyModel::StartPass(std::vector<std::string> words)
{
    const auto rowCount = static_cast<std::size_t>(source_.rowCount());
    if (words.empty()) {
        passRunning_ = false;
        sliceTimer_.stop();
        ForgetCachedText();
        if (Active()) Apply({}, {});
        emit filterApplied();
        return;
    }
    if (passRunning_ && !passNeedsAllRows_ && passBaseZero_ && Narrows(words, passWords_)) {
        // Rows already rejected stay rejected; the accepted ones and the
        // untested ones are tested against the longer words.
        std::vector<int> candidates;
        for (std::size_t i = 0; i < candidates_.size(); ++i) {
            const int row = candidates_[i];
            if (i >= next_ || verdicts_[static_cast<std::size_t>(row)]) candidates.push_back(row);
        }
        candidates_ = std::move(candidates);
    } else if (!passRunning_ && Active() && words_ != words && Narrows(words, words_)) {
        verdicts_ = accepted_;
        candidates_ = rows_;
        passBaseZero_ = true;
    } else if (!passRunning_ && Active() && Narrows(words_, words)) {
        verdicts_ = accepted_;
        candidates_.clear();
        for (std::size_t row = 0; row < rowCount; ++row)
            if (!accepted_[row]) candidates_.push_back(static_cast<int>(row));
        passBaseZero_ = false;
    } else {
        verdicts_.assign(rowCount, 0);
        candidates_.resize(rowCount);
        std::iota(candidates_.begin(), candidates_.end(), 0);
        passBaseZero_ = true;
    }
    for (int row : candidates_) verdicts_[static_cast<std::size_t>(row)] = 0;
    next_ = 0;
    passWords_ = std::move(words);
    passNeedsAllRows_ = false;
    passRunning_ = true;
    sliceTimer_.start();
}

void RowFilterProxyModel::ForgetCachedText()
{
    typedText_.clear();
    typedText_.shrink_to_fit();
    typedKnown_.clear();
    typedKnown_.shrink_to_fit();
    foldedSpans_.clear();
    foldedSpans_.shrink_to_fit();
    foldedBlocks_.clear();
    foldedBlocks_.shrink_to_fit();
    foldedBlockUsed_ = 0;
}

bool RowFilterProxyModel::FoldedKnown(int row) const
{
    const auto at = static_cast<std::size_t>(row);
    return at < foldedSpans_.size() && foldedSpans_[at].length != UINT32_MAX;
}

std::string_view RowFilterProxyModel::FoldedText(int row, const std::vector<int>& columns, std::string& scratch)
{
    const auto at = static_cast<std::size_t>(row);
    if (FoldedKnown(row)) {
        const FoldedSpan& span = foldedSpans_[at];
        return {foldedBlocks_[span.block].get() + span.offset, span.length};
    }
    scratch.clear();
    for (int column : columns) {
        if (const auto* value = std::get_if<std::string>(&grid_.CellValueAt(row, column))) {
            platform::AppendFoldedForSearch(scratch, *value);
            scratch.push_back(kCellSeparator);
        }
    }
    if (scratch.size() > kFoldedBlockBytes) return scratch;
    if (foldedBlocks_.empty() || foldedBlockUsed_ + scratch.size() > kFoldedBlockBytes) {
        if (foldedBlocks_.size() == kFoldedBlocks) return scratch;
        foldedBlocks_.push_back(std::make_unique_for_overwrite<char[]>(kFoldedBlockBytes));
        foldedBlockUsed_ = 0;
    }
    if (foldedSpans_.size() <= at) foldedSpans_.resize(std::max(at + 1, static_cast<std::size_t>(grid_.RowCount())));
    char* stored = foldedBlocks_.back().get() + foldedBlockUsed_;
    std::copy(scratch.begin(), scratch.end(), stored);
    foldedSpans_[at] = {static_cast<std::uint32_t>(foldedBlocks_.size() - 1),
                        static_cast<std::uint32_t>(foldedBlockUsed_), static_cast<std::uint32_t>(scratch.size())};
    foldedBlockUsed_ += scratch.size();
    return {stored, scratch.size()};
}

void RowFilterProxyModel::ScheduleFullPass()
{
    ForgetCachedText();
    shownColumns_ = ShownColumns();
    if (!Active() && !passRunning_) return;
    if (!passRunning_) passWords_ = words_;
    passNeedsAllRows_ = true;
    passRunning_ = true;
    sliceTimer_.start();
}

void RowFilterProxyModel::RunSlice()
{
    if (!passRunning_) return;
    if (passNeedsAllRows_) {
        // Set up lazily: many cell changes in a row ask for one pass.
        passNeedsAllRows_ = false;
        const auto rowCount = static_cast<std::size_t>(source_.rowCount());
        verdicts_.assign(rowCount, 0);
        candidates_.resize(rowCount);
        std::iota(candidates_.begin(), candidates_.end(), 0);
        next_ = 0;
        passBaseZero_ = true;
    }
    QElapsedTimer clock;
    clock.start();
    Matcher matcher(*this, passWords_);
    while (next_ < candidates_.size()) {
        // The clock is read once per 256 rows; a row takes well under a
        // microsecond.
        const std::size_t end = std::min(candidates_.size(), next_ + 256);
        for (; next_ < end; ++next_) {
            if (next_ + kPrefetchAhead < candidates_.size() && !FoldedKnown(candidates_[next_ + kPrefetchAhead]))
                grid_.PrefetchRow(candidates_[next_ + kPrefetchAhead], false);
            if (next_ + kPrefetchAhead / 2 < candidates_.size() && !FoldedKnown(candidates_[next_ + kPrefetchAhead / 2]))
                grid_.PrefetchRow(candidates_[next_ + kPrefetchAhead / 2], true);
            const int row = candidates_[next_];
            verdicts_[static_cast<std::size_t>(row)] = matcher.Matches(row) ? 1 : 0;
        }
        if (clock.elapsed() >= kSliceMilliseconds && next_ < candidates_.size()) {
            sliceTimer_.start();
            return;
        }
    }
    FinishPass();
}

void RowFilterProxyModel::FinishPending()
{
    while (passRunning_) {
        sliceTimer_.stop();
        RunSlice();
    }
}

void RowFilterProxyModel::FinishPass()
{
    passRunning_ = false;
    candidates_.clear();
    candidates_.shrink_to_fit();
    const bool unchanged = passWords_ == words_ && verdicts_ == accepted_;
    if (!unchanged) Apply(std::move(passWords_), std::move(verdicts_));
    verdicts_.clear();
    emit filterApplied();
}

void RowFilterProxyModel::Apply(std::vector<std::string> words, std::vector<char> accepted)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sourceRowOf;
    sourceRowOf.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& old : before) sourceRowOf.push_back(mapToSource(old).row());

    words_ = std::move(words);
    accepted_ = std::move(accepted);
    rows_.clear();
    proxyRowOf_.clear();
    if (Active()) {
        proxyRowOf_.assign(accepted_.size(), -1);
        for (std::size_t row = 0; row < accepted_.size(); ++row) {
            if (!accepted_[row]) continue;
            proxyRowOf_[row] = static_cast<int>(rows_.size());
            rows_.push_back(static_cast<int>(row));
        }
    } else {
        accepted_.clear();
    }
    rows_.shrink_to_fit();

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int sourceRow = sourceRowOf[static_cast<std::size_t>(i)];
        after.append(sourceRow < 0 ? QModelIndex()
                                   : mapFromSource(source_.index(sourceRow, before[i].column())));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowFilterProxyModel::OnRowsInserted(int first, int last)
{
    if (passRunning_) {
        // The pass tests the new rows too.
        verdicts_.resize(static_cast<std::size_t>(last) + 1, 0);
        for (int row = first; row <= last; ++row) candidates_.push_back(row);
    }
    if (!Active()) {
        endInsertRows();
        return;
    }
    accepted_.resize(static_cast<std::size_t>(last) + 1, 0);
    proxyRowOf_.resize(static_cast<std::size_t>(last) + 1, -1);
    Matcher matcher(*this, words_);
    std::vector<int> added;
    for (int row = first; row <= last; ++row)
        if (matcher.Matches(row)) added.push_back(row);
    if (added.empty()) return;
    const int firstProxyRow = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), firstProxyRow, firstProxyRow + static_cast<int>(added.size()) - 1);
    for (int row : added) {
        accepted_[static_cast<std::size_t>(row)] = 1;
        proxyRowOf_[static_cast<std::size_t>(row)] = static_cast<int>(rows_.size());
        rows_.push_back(row);
    }
    endInsertRows();
}

void RowFilterProxyModel::OnRowsReordered(const std::vector<int>& previousRowOf)
{
    pendingReorder_ = previousRowOf;
    reordered_ = true;
}

void RowFilterProxyModel::OnLayoutChanged()
{
    const QModelIndexList before = persistentIndexList();
    // The source has moved its own persistent indexes already; ours name the
    // same rows through their old source rows.
    std::vector<int> oldSourceRow;
    for (const QModelIndex& old : before)
        oldSourceRow.push_back(Active() ? rows_[static_cast<std::size_t>(old.row())] : old.row());

    std::vector<int> newRowOf;
    if (reordered_) {
        newRowOf.assign(pendingReorder_.size(), -1);
        for (std::size_t row = 0; row < pendingReorder_.size(); ++row)
            newRowOf[static_cast<std::size_t>(pendingReorder_[row])] = static_cast<int>(row);
        const auto permute = [&](std::vector<char>& flags) {
            if (flags.size() != pendingReorder_.size()) return;
            std::vector<char> moved(flags.size());
            for (std::size_t row = 0; row < pendingReorder_.size(); ++row)
                moved[row] = flags[static_cast<std::size_t>(pendingReorder_[row])];
            flags = std::move(moved);
        };
        permute(accepted_);
        permute(typedKnown_);
        // Rows appended since the cache was sized have no text in it yet.
        if (!foldedSpans_.empty() && foldedSpans_.size() < pendingReorder_.size())
            foldedSpans_.resize(pendingReorder_.size());
        if (foldedSpans_.size() == pendingReorder_.size()) {
            std::vector<FoldedSpan> moved(foldedSpans_.size());
            for (std::size_t row = 0; row < pendingReorder_.size(); ++row)
                moved[row] = foldedSpans_[static_cast<std::size_t>(pendingReorder_[row])];
            foldedSpans_ = std::move(moved);
        } else {
            foldedSpans_.clear();
        }
        if (typedText_.size() == pendingReorder_.size()) {
            std::vector<std::string> moved(typedText_.size());
            for (std::size_t row = 0; row < pendingReorder_.size(); ++row)
                moved[row] = std::move(typedText_[static_cast<std::size_t>(pendingReorder_[row])]);
            typedText_ = std::move(moved);
        } else {
            typedText_ = {};
            typedKnown_ = {};
        }
        if (passRunning_ && verdicts_.size() == pendingReorder_.size()) {
            permute(verdicts_);
            for (int& row : candidates_) row = newRowOf[static_cast<std::size_t>(row)];
        }
        if (Active()) {
            rows_.clear();
            for (std::size_t row = 0; row < accepted_.size(); ++row) {
                proxyRowOf_[row] = accepted_[row] ? static_cast<int>(rows_.size()) : -1;
                if (accepted_[row]) rows_.push_back(static_cast<int>(row));
            }
        }
    } else if (Active()) {
        // An unexplained layout change: test every row again.
        ScheduleFullPass();
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int oldRow = oldSourceRow[static_cast<std::size_t>(i)];
        const int newRow = oldRow >= 0 && static_cast<std::size_t>(oldRow) < newRowOf.size()
                               ? newRowOf[static_cast<std::size_t>(oldRow)]
                               : oldRow;
        after.append(newRow < 0 ? QModelIndex() : mapFromSource(source_.index(newRow, before[i].column())));
    }
    changePersistentIndexList(before, after);
    pendingReorder_.clear();
    reordered_ = false;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowFilterProxyModel::OnRowsRemovedOrReset()
{
    ForgetCachedText();
    shownColumns_ = ShownColumns();
    if (Active()) {
        // Rows only ever go from the end, or all at once.
        const auto rowCount = static_cast<std::size_t>(source_.rowCount());
        accepted_.resize(rowCount);
        proxyRowOf_.assign(rowCount, -1);
        rows_.clear();
        for (std::size_t row = 0; row < rowCount; ++row) {
            if (!accepted_[row]) continue;
            proxyRowOf_[row] = static_cast<int>(rows_.size());
            rows_.push_back(static_cast<int>(row));
        }
    }
    if (passRunning_) passNeedsAllRows_ = true;
    endResetModel();
}

int RowFilterProxyModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return Active() ? static_cast<int>(rows_.size()) : source_.rowCount();
}

QModelIndex RowFilterProxyModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this) return QModelIndex();
    const int row = Active() ? (static_cast<std::size_t>(proxyIndex.row()) < rows_.size()
                                    ? rows_[static_cast<std::size_t>(proxyIndex.row())]
                                    : -1)
                             : proxyIndex.row();
    return row < 0 ? QModelIndex() : source_.index(row, proxyIndex.column());
}

QModelIndex RowFilterProxyModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid()) return QModelIndex();
    int row = sourceIndex.row();
    if (Active()) row = static_cast<std::size_t>(row) < proxyRowOf_.size() ? proxyRowOf_[static_cast<std::size_t>(row)] : -1;
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant RowFilterProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) return source_.headerData(section, orientation, role);
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
}

} // namespace grid
