// Shared string table: interning, and the SST/CONTINUE/EXTSST serialisation.
// A string that does not fit into the current record is continued in a
// CONTINUE record that starts again with the option byte; a string's count and
// option byte are never split, nor is a two-byte character or a surrogate
// pair (readers decode each piece on its own).
#include "grid/xls/SharedStringTable.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/RecordWriter.h"
#include "grid/xls/Utf16Text.h"
#include "grid/xls/XlsStrings.h"

namespace grid::xls {
namespace {

constexpr std::size_t kStringHeaderSize = 3;
constexpr std::size_t kInitialSlots = 1024;
constexpr std::uint32_t kMinStringsPerBucket = 8;
constexpr std::uint32_t kMaxBuckets = 128;
constexpr std::uint32_t kMaxStringsPerBucket = 0xFFFF;
// EXTSST holds its bucket size and 8 bytes per bucket in one record.
constexpr std::size_t kMaxBucketsInRecord = (biff::kMaxRecordPayload - 2) / 8;

bool IsShortAscii(std::string_view utf8)
{
    if (utf8.size() > kMaxCellTextUnits) return false;
    return std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsHighSurrogate(const std::uint8_t* unit)
{
    const auto value = static_cast<std::uint16_t>(unit[0] | unit[1] << 8);
    return value >= 0xD800 && value <= 0xDBFF;
}

// The bytes of characters that fit into room without ending on the first half
// of a surrogate pair.
std::size_t PieceSize(const std::uint8_t* characters, std::size_t remaining, std::size_t room, std::size_t unitSize)
{
    std::size_t piece = std::min(remaining, room / unitSize * unitSize);
    if (unitSize == 2 && piece > 0 && piece < remaining && IsHighSurrogate(characters + piece - 2)) piece -= 2;
    return piece;
}

struct BucketStart {
    std::uint32_t streamPosition;
    std::uint16_t offsetInRecord;
};

} // namespace

std::string_view SharedStringTable::Entry(std::uint32_t index) const
{
    const std::size_t begin = starts_[index];
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : arena_.size();
    return {reinterpret_cast<const char*>(arena_.data()) + begin, end - begin};
}

void SharedStringTable::Place(std::uint64_t slot)
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = static_cast<std::size_t>(slot >> 32) & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = slot;
}

void SharedStringTable::GrowLookup()
{
    std::vector<std::uint64_t> old(std::max<std::size_t>(kInitialSlots, slots_.size() * 2), 0);
    old.swap(slots_);
    for (const std::uint64_t slot : old) {
        if (slot != 0) Place(slot);
    }
}

bool SharedStringTable::AppendEncoded(std::string_view utf8)
{
    ByteWriter out(arena_);
    if (IsShortAscii(utf8)) {
        out.U16(static_cast<std::uint16_t>(utf8.size()));
        out.U8(0);
        out.Bytes({reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()});
        return false;
    }
    // Text of fewer bytes than the limit has fewer units too; only longer
    // text is decoded a second time to learn whether the cut removed any.
    const bool cut = utf8.size() > kMaxCellTextUnits && Utf8ToUtf16(utf8, kMaxCellTextUnits + 2).size() > kMaxCellTextUnits;
    AppendUnicodeString(out, Utf8ToUtf16(utf8, kMaxCellTextUnits));
    return cut;
}

std::uint32_t SharedStringTable::Intern(std::string_view utf8)
{
    ++references_;
    // The candidate is encoded as a tentative last entry; when an equal entry
    // exists already the tentative one is dropped again.
    const auto candidate = static_cast<std::uint32_t>(starts_.size());
    const std::size_t arenaSize = arena_.size();
    starts_.push_back(arenaSize);
    if (AppendEncoded(utf8)) ++cutTexts_;
    const std::string_view encoded = Entry(candidate);
    const std::size_t fullHash = std::hash<std::string_view>{}(encoded);
    const auto hash = static_cast<std::uint32_t>(fullHash ^ (fullHash >> 32));

    if ((std::size_t{candidate} + 1) * 2 > slots_.size()) GrowLookup();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask; slots_[at] != 0; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (static_cast<std::uint32_t>(slot >> 32) != hash) continue;
        const auto existing = static_cast<std::uint32_t>(slot) - 1;
        if (Entry(existing) != encoded) continue;
        starts_.pop_back();
        arena_.resize(arenaSize);
        return existing;
    }
    Place(std::uint64_t{hash} << 32 | (std::uint64_t{candidate} + 1));
    return candidate;
}

void SharedStringTable::WriteRecords(ByteWriter& out) const
{
    const std::uint32_t count = UniqueCount();
    const std::uint32_t perBucket = std::clamp((count + kMaxBuckets - 1) / kMaxBuckets, kMinStringsPerBucket,
                                               kMaxStringsPerBucket);
    std::vector<BucketStart> buckets;

    auto record = std::make_unique<RecordWriter>(out, biff::kSst);
    out.U32(references_);
    out.U32(count);
    auto startContinue = [&] {
        record->Close();
        record = std::make_unique<RecordWriter>(out, biff::kContinue);
    };
    auto room = [&] { return biff::kMaxRecordPayload - record->PayloadSize(); };

    for (std::uint32_t index = 0; index < count; ++index) {
        const std::string_view entry = Entry(index);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(entry.data());
        const std::size_t unitSize = (bytes[2] & kHighByteFlag) ? 2 : 1;
        std::size_t remaining = entry.size() - kStringHeaderSize;
        // The header and at least the first character start in one record.
        const std::uint8_t* characters = bytes + kStringHeaderSize;
        std::size_t firstPiece = remaining == 0 ? 0 : unitSize;
        if (unitSize == 2 && remaining >= 4 && IsHighSurrogate(characters)) firstPiece = 4;
        if (room() < kStringHeaderSize + firstPiece) startContinue();
        if (index % perBucket == 0 && buckets.size() < kMaxBucketsInRecord) {
            buckets.push_back({static_cast<std::uint32_t>(out.Size()),
                               static_cast<std::uint16_t>(out.Size() - record->Start())});
        }
        out.Bytes({bytes, kStringHeaderSize});
        while (remaining > 0) {
            const std::size_t piece = PieceSize(characters, remaining, room(), unitSize);
            out.Bytes({characters, piece});
            characters += piece;
            remaining -= piece;
            if (remaining == 0) break;
            startContinue();
            out.U8(bytes[2] & kHighByteFlag);
        }
    }
    record->Close();

    RecordWriter extSst(out, biff::kExtSst);
    out.U16(static_cast<std::uint16_t>(perBucket));
    for (const BucketStart& bucket : buckets) {
        out.U32(bucket.streamPosition);
        out.U16(bucket.offsetInRecord);
        out.U16(0);
    }
    extSst.Close();
}

} // namespace grid::xls
