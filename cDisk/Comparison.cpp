// The hash join of two row tables on their match keys and the naming of each
// change: version first (number by number), then content (hash, else size),
// then any other compared fact.
#include "cDisk/Comparison.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <optional>

#include "cDisk/InventoryFormat.h"
#include "cDisk/VersionOrder.h"

namespace {

// Per older-table key: the first older row with that key not yet matched.
// Open addressing over one array; rows sharing a key are chained in table
// order.
class OlderRowIndex {
public:
    explicit OlderRowIndex(const MatchKeys& keys) : keys_(keys), nextSameKey_(keys.Count(), kNoRow)
    {
        const std::size_t slots = std::bit_ceil(std::max<std::size_t>(keys.Count() * 2, 16));
        mask_ = slots - 1;
        keyRow_.assign(slots, kNoRow);
        head_.assign(slots, kNoRow);
        // Taken from the last row back, so that each chain runs in table order.
        for (std::size_t row = keys.Count(); row-- > 0;) {
            const std::size_t slot = Find(keys.Key(row));
            if (keyRow_[slot] == kNoRow) keyRow_[slot] = static_cast<std::uint32_t>(row);
            nextSameKey_[row] = head_[slot];
            head_[slot] = static_cast<std::uint32_t>(row);
        }
    }

    // The next unmatched older row with this key, now counted as matched;
    // kNoRow when there is none.
    std::uint32_t Take(std::string_view key)
    {
        const std::size_t slot = Find(key);
        const std::uint32_t row = head_[slot];
        if (row != kNoRow) head_[slot] = nextSameKey_[row];
        return row;
    }

private:
    std::size_t Find(std::string_view key) const
    {
        std::size_t slot = std::hash<std::string_view>{}(key) & mask_;
        while (keyRow_[slot] != kNoRow && keys_.Key(keyRow_[slot]) != key) slot = (slot + 1) & mask_;
        return slot;
    }

    const MatchKeys& keys_;
    std::vector<std::uint32_t> nextSameKey_;
    std::vector<std::uint32_t> keyRow_;
    std::vector<std::uint32_t> head_;
    std::size_t mask_ = 0;
};

// Where the facts that decide the kind lie among the compared columns.
struct DecidingColumns {
    std::optional<std::size_t> version;
    std::optional<std::size_t> fileVersionText;
    std::optional<std::size_t> size;
    // The strongest digest first.
    std::vector<std::size_t> digests;
};

DecidingColumns FindDecidingColumns(const std::vector<ComparedColumn>& columns)
{
    DecidingColumns deciding;
    auto find = [&](std::string_view key) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].key == key) return i;
        return std::nullopt;
    };
    deciding.version = find("version");
    deciding.fileVersionText = find("fileversion");
    deciding.size = find("size");
    for (std::string_view digest : {"sha256", "sha1", "md5"})
        if (auto column = find(digest)) deciding.digests.push_back(*column);
    return deciding;
}

class RowComparer {
public:
    RowComparer(const RowTable& older, const RowTable& newer, Comparison& result)
        : older_(older), newer_(newer), result_(result), deciding_(FindDecidingColumns(result.columns)) {}

    void Matched(std::uint32_t olderRow, std::uint32_t newerRow, bool keepSame)
    {
        olderRow_ = olderRow;
        newerRow_ = newerRow;
        RowChange change{ChangeKind::Same, olderRow, newerRow,
                         static_cast<std::uint32_t>(result_.differing.size()), 0};
        for (std::size_t i = 0; i < result_.columns.size(); ++i)
            if (Old(i) != New(i)) result_.differing.push_back(static_cast<std::uint16_t>(i));
        change.differingCount = static_cast<std::uint32_t>(result_.differing.size() - change.differingStart);
        change.kind = Kind(change.differingCount != 0);
        ++result_.counts[static_cast<std::size_t>(change.kind)];
        if (change.kind == ChangeKind::Same && !keepSame) {
            result_.differing.resize(change.differingStart);
            return;
        }
        result_.changes.push_back(change);
    }

private:
    std::string_view Old(std::size_t column) const { return older_.Cell(olderRow_, result_.columns[column].older); }
    std::string_view New(std::size_t column) const { return newer_.Cell(newerRow_, result_.columns[column].newer); }

    ChangeKind Kind(bool anyDiffering) const
    {
        if (auto order = VersionOrder()) {
            if (*order > 0) return ChangeKind::Upgraded;
            if (*order < 0) return ChangeKind::Downgraded;
        }
        if (ContentDiffers()) return ChangeKind::Rebuilt;
        return anyDiffering ? ChangeKind::Changed : ChangeKind::Same;
    }

    // The new version against the old: the fixed versions when both files
    // have one, else the FileVersion texts when both have one.
    std::optional<int> VersionOrder() const
    {
        const bool noFixed = !deciding_.version || (Old(*deciding_.version).empty() && New(*deciding_.version).empty());
        if (deciding_.version && !Old(*deciding_.version).empty() && !New(*deciding_.version).empty())
            return CompareVersions(New(*deciding_.version), Old(*deciding_.version));
        if (noFixed && deciding_.fileVersionText && !Old(*deciding_.fileVersionText).empty() &&
            !New(*deciding_.fileVersionText).empty())
            return CompareVersionTexts(New(*deciding_.fileVersionText), Old(*deciding_.fileVersionText));
        return std::nullopt;
    }

    // A different digest where both files have one, else a different size.
    bool ContentDiffers() const
    {
        for (std::size_t digest : deciding_.digests)
            if (!Old(digest).empty() && !New(digest).empty()) return Old(digest) != New(digest);
        return deciding_.size && Old(*deciding_.size) != New(*deciding_.size);
    }

    const RowTable& older_;
    const RowTable& newer_;
    Comparison& result_;
    DecidingColumns deciding_;
    // The pair being compared.
    std::uint32_t olderRow_ = kNoRow;
    std::uint32_t newerRow_ = kNoRow;
};

} // namespace

// Not compared: facts of where and when a copy was made rather than of the
// file, and the relative path when files are matched by name alone (matched
// by path, it can differ only in case).
bool IsComparedColumn(std::string_view key, const MatchRules& rules)
{
    if (key == kRelativePathKey) return !rules.byName;
    return key != "path" && key != "date";
}

std::string_view ChangeKindName(ChangeKind kind)
{
    static constexpr std::string_view kNames[kChangeKindCount] = {"Added",   "Removed", "Upgraded", "Downgraded",
                                                                  "Rebuilt", "Changed", "Same"};
    return kNames[static_cast<std::size_t>(kind)];
}

bool Comparison::AnyDifference() const
{
    for (std::size_t kind = 0; kind < kChangeKindCount; ++kind)
        if (kind != static_cast<std::size_t>(ChangeKind::Same) && counts[kind] != 0) return true;
    return false;
}

Comparison CompareRowTables(const RowTable& older, const RowTable& newer, const MatchRules& rules, bool keepSame)
{
    Comparison result;
    const auto olderPath = older.ColumnIndex(kRelativePathKey);
    const auto newerPath = newer.ColumnIndex(kRelativePathKey);
    if (!olderPath || !newerPath) {
        result.error = std::string(!olderPath ? "the older" : "the newer") + " side has no \"" +
                       std::string(kRelativePathKey) + "\" column";
        return result;
    }
    for (std::size_t column = 0; column < newer.Columns().size(); ++column) {
        const std::string& key = newer.Columns()[column];
        if (!IsComparedColumn(key, rules)) continue;
        if (const auto inOlder = older.ColumnIndex(key)) result.columns.push_back({key, *inOlder, column});
    }

    const MatchKeys olderKeys(older, *olderPath, rules);
    const MatchKeys newerKeys(newer, *newerPath, rules);
    OlderRowIndex index(olderKeys);
    std::vector<bool> olderMatched(older.RowCount(), false);
    RowComparer comparer(older, newer, result);

    for (std::size_t row = 0; row < newer.RowCount(); ++row) {
        const auto newerRow = static_cast<std::uint32_t>(row);
        const std::uint32_t olderRow = index.Take(newerKeys.Key(row));
        if (olderRow == kNoRow) {
            result.changes.push_back({ChangeKind::Added, kNoRow, newerRow});
            ++result.counts[static_cast<std::size_t>(ChangeKind::Added)];
            continue;
        }
        olderMatched[olderRow] = true;
        comparer.Matched(olderRow, newerRow, keepSame);
    }
    for (std::size_t row = 0; row < older.RowCount(); ++row) {
        if (olderMatched[row]) continue;
        result.changes.push_back({ChangeKind::Removed, static_cast<std::uint32_t>(row), kNoRow});
        ++result.counts[static_cast<std::size_t>(ChangeKind::Removed)];
    }

    auto keyOf = [&](const RowChange& change) {
        return change.newer != kNoRow ? newerKeys.Key(change.newer) : olderKeys.Key(change.older);
    };
    std::sort(result.changes.begin(), result.changes.end(), [&](const RowChange& left, const RowChange& right) {
        if (const int order = keyOf(left).compare(keyOf(right)); order != 0) return order < 0;
        if (left.kind != right.kind) return left.kind < right.kind;
        return left.newer != right.newer ? left.newer < right.newer : left.older < right.older;
    });
    return result;
}
