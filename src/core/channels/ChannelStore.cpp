#include "channels/ChannelStore.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>
#include <cstring>

#include "channels/ChannelLayout.h"
#include "channels/KeyTables.h"

namespace velora {

using namespace chlayout;

namespace {

constexpr std::size_t groupTableOffset(int g) {
    return layout::kGroupTable + kEntrySize * std::size_t(g);
}
constexpr std::size_t listOffset(int k) {
    return layout::kChannelList + kEntrySize * std::size_t(k);
}
constexpr std::size_t recordNameOffset(int r) {
    return layout::kChannelNames + kRecordSize * std::size_t(r);
}
constexpr std::size_t groupNameOffset(int g) {
    return layout::kGroupNames + kRecordSize * std::size_t(g);
}
constexpr std::size_t groupRecordOffset(int g) {
    return layout::kGroupRecords + kGroupRecordSize * std::size_t(g);
}
constexpr std::size_t remoteOffset(int i) {
    return layout::kRemoteList + kEntrySize * std::size_t(i);
}
constexpr std::size_t repeaterOffset(int i) {
    return kCsRepeaterList + kEntrySize * std::size_t(i);
}

constexpr bool validGroup(int g) {
    return g >= 0 && g < kGroups;
}
constexpr bool validRecord(int r) {
    return r >= 0 && r < kRecords;
}

template <typename S> auto subspan16(S area, std::size_t off) -> S {
    if (off + kRecordSize > area.size()) return {};
    return area.subspan(off, kRecordSize);
}

// Name length byte clamped to the 16-byte record; `unsetAs` is what 0xFF stands for.
int clampLength(Byte b, int unsetAs) {
    int l = b == kUnset ? unsetAs : b;
    return std::min<int>(l, int(kRecordSize));
}

} // namespace

// ------------------------------------------------------------------------------------------------
// Limits and table primitives

int ChannelStore::totalLimit() const {
    return int(doc_.options().totalLimit());
}
int ChannelStore::perGroupLimit() const {
    return int(doc_.options().perGroupLimit());
}

ChannelStore::Limits ChannelStore::dataSetLimits() const {
    // A data set marked as extended may hold the larger tables until it is trimmed.
    if (doc_.options().extended || byteAt(main(), layout::kCsCapacityMarker) == kCapacityExtended)
        return {kExtendedTotal, kExtendedPerGroup};
    return {kNormalTotal, kNormalPerGroup};
}

ChannelStore::Entry ChannelStore::entry(int k) const {
    return {byteAt(main(), listOffset(k)), byteAt(main(), listOffset(k) + 1)};
}

void ChannelStore::setEntry(int k, Entry e) {
    if (k < 0 || k >= kListPositions) return;
    setByte(main(), listOffset(k), e.number);
    setByte(main(), listOffset(k) + 1, e.record);
}

int ChannelStore::listCount(int g) const {
    if (!validGroup(g)) return 0;
    Byte n = byteAt(main(), groupTableOffset(g) + 1);
    return n == kUnset ? 0 : n;
}

int ChannelStore::listStart(int g) const {
    // The sum of the counts below g; the grid asks this for every cell, so the sums are kept
    // together with the table they came from and recomputed only when the table differs.
    const Byte* table = main().data() + layout::kGroupTable;
    if (!prefixValid_ || std::memcmp(table, cachedTable_.data(), cachedTable_.size()) != 0) {
        std::memcpy(cachedTable_.data(), table, cachedTable_.size());
        int sum = 0;
        for (int i = 0; i < kGroups; ++i) {
            prefix_[std::size_t(i)] = std::uint16_t(std::min(sum, kListPositions));
            Byte n = cachedTable_[std::size_t(i) * kEntrySize + 1];
            if (n != kUnset) sum += n;
        }
        prefix_[kGroups] = std::uint16_t(std::min(sum, kListPositions));
        totalCached_ = sum;
        prefixValid_ = true;
    }
    return validGroup(g) ? prefix_[std::size_t(g)] : prefix_[kGroups];
}

int ChannelStore::totalChannels() const {
    listStart(0);
    return totalCached_;
}

int ChannelStore::locate(int g, int c) const {
    if (!validGroup(g) || c < 0 || c >= kExtendedPerGroup) return -1;
    int start = listStart(g);
    int end = std::min(start + listCount(g), kListPositions);
    // Entries are kept in ascending channel order, so a binary search finds the entry.
    Byte want = Byte(c + 1);
    int lo = start, hi = end;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (entry(mid).number < want)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < end && entry(lo).number == want ? lo : -1;
}

int ChannelStore::insertionPosition(int g, int c) const {
    int start = listStart(g);
    int end = std::min(start + listCount(g), kListPositions);
    for (int k = start; k < end; ++k)
        if (entry(k).number >= c + 1) return k;
    return end;
}

bool ChannelStore::recordIsFree(int r) const {
    for (std::size_t i = 0; i < kFreqSize; ++i)
        if (byteAt(main(), recordOffset(r) + kRecRx + i) != kUnset) return false;
    return true;
}

void ChannelStore::setCount(int g, int count) {
    if (!validGroup(g)) return;
    if (count <= 0) {
        setByte(main(), groupTableOffset(g), kUnset);
        setByte(main(), groupTableOffset(g) + 1, kUnset);
    } else {
        setByte(main(), groupTableOffset(g) + 1, Byte(count));
    }
}

void ChannelStore::recomputeFirstPositions() {
    int sum = 0;
    for (int g = 0; g < kGroups; ++g) {
        Byte n = byteAt(main(), groupTableOffset(g) + 1);
        if (n == kUnset) continue;
        setByte(main(), groupTableOffset(g), Byte(std::min(sum, 0xFE)));
        sum += n;
    }
}

std::bitset<256> ChannelStore::usedRecords() const {
    std::bitset<256> used;
    int total = std::min(totalChannels(), kListPositions);
    for (int k = 0; k < total; ++k) {
        Entry e = entry(k);
        if (e.number != kUnset) used.set(e.record);
    }
    return used;
}

bool ChannelStore::makeRoom(int p, int n) {
    if (n <= 0 || p < 0 || p >= kListPositions - 1) return false;
    if (totalChannels() + n > totalLimit()) return false;
    // Entry 255 never receives an entry: the list holds at most 255 channels.
    for (int k = kListPositions - 2; k >= p + n; --k)
        setEntry(k, entry(k - n));
    for (int k = p; k < std::min(p + n, kListPositions - 1); ++k)
        setEntry(k, {kUnset, kUnset});
    return true;
}

void ChannelStore::removeEntries(int p, int n) {
    if (n <= 0 || p < 0 || p >= kListPositions) return;
    n = std::min(n, kListPositions - p);
    for (int k = p; k < p + n; ++k) {
        Entry e = entry(k);
        if (e.number == kUnset) continue;
        fill(main(), recordOffset(e.record), kRecordSize, kUnset);
        fill(ext(), recordNameOffset(e.record), kRecordSize, kUnset);
    }
    for (int k = p; k + n < kListPositions; ++k)
        setEntry(k, entry(k + n));
    for (int k = kListPositions - n; k < kListPositions; ++k)
        setEntry(k, {kUnset, kUnset});
}

void ChannelStore::ensureSound() {
    if (!validateTables()) rebuildTables();
}

// ------------------------------------------------------------------------------------------------
// Queries

int ChannelStore::groupByteSize(int g) const {
    return int(kRecordSize) * listCount(g);
}

int ChannelStore::usedBytes() const {
    return int(kRecordSize) * totalChannels();
}

int ChannelStore::channelCount(int g) const {
    return validGroup(g) ? byteAt(main(), groupTableOffset(g) + 1) : 0;
}

bool ChannelStore::groupUsed(int g) const {
    return listCount(g) > 0;
}

int ChannelStore::findRecord(int g, int c) const {
    int k = locate(g, c);
    return k < 0 ? -1 : entry(k).record;
}

bool ChannelStore::channelExists(int g, int c) const {
    int r = findRecord(g, c);
    return r >= 0 && !recordIsFree(r);
}

std::vector<int> ChannelStore::channelNumbers(int g) const {
    std::vector<int> out;
    int start = listStart(g);
    int end = std::min(start + listCount(g), kListPositions);
    for (int k = start; k < end; ++k)
        if (entry(k).number != kUnset && entry(k).number != 0) out.push_back(entry(k).number - 1);
    return out;
}

std::span<Byte> ChannelStore::record(int r) {
    return validRecord(r) ? subspan16(main(), recordOffset(r)) : std::span<Byte>{};
}
std::span<const Byte> ChannelStore::record(int r) const {
    return validRecord(r) ? subspan16(main(), recordOffset(r)) : std::span<const Byte>{};
}
std::span<Byte> ChannelStore::recordName(int r) {
    return validRecord(r) ? subspan16(ext(), recordNameOffset(r)) : std::span<Byte>{};
}
std::span<const Byte> ChannelStore::recordName(int r) const {
    return validRecord(r) ? subspan16(ext(), recordNameOffset(r)) : std::span<const Byte>{};
}
std::span<Byte> ChannelStore::channelRecord(int g, int c) {
    return record(findRecord(g, c));
}
std::span<const Byte> ChannelStore::channelRecord(int g, int c) const {
    return record(findRecord(g, c));
}
std::span<Byte> ChannelStore::channelName(int g, int c) {
    return recordName(findRecord(g, c));
}

std::span<Byte> ChannelStore::groupRecord(int g) {
    if (!validGroup(g)) return {};
    return main().subspan(groupRecordOffset(g), kGroupRecordSize);
}
std::span<Byte> ChannelStore::groupName(int g) {
    return validGroup(g) ? subspan16(ext(), groupNameOffset(g)) : std::span<Byte>{};
}
std::span<const Byte> ChannelStore::groupName(int g) const {
    return validGroup(g) ? subspan16(ext(), groupNameOffset(g)) : std::span<const Byte>{};
}

int ChannelStore::channelNameLength() const {
    return clampLength(byteAt(main(), layout::kCsChannelNameLength), int(kRecordSize));
}
int ChannelStore::groupNameLength() const {
    return clampLength(byteAt(main(), layout::kCsGroupNameLength), int(kRecordSize));
}

namespace {
std::string nameText(std::span<const Byte> name, int length) {
    std::string s = fixedText(name, 0, std::size_t(std::min<int>(length, int(name.size()))));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}
} // namespace

std::string ChannelStore::channelNameText(int g, int c) const {
    int r = findRecord(g, c);
    return r < 0 ? std::string{} : nameText(recordName(r), channelNameLength());
}

std::string ChannelStore::groupNameText(int g) const {
    return nameText(groupName(g), groupNameLength());
}

std::string ChannelStore::defaultName(int number, int length) const {
    int width = std::clamp(length, 1, 4);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%*d", width, number);
    return buf;
}

int ChannelStore::firstFreeRecord() const {
    std::bitset<256> used = usedRecords();
    for (int r = 0; r < kRecords; ++r)
        if (!used.test(std::size_t(r))) return r;
    return -1;
}

// ------------------------------------------------------------------------------------------------
// Adding, deleting, renumbering, copying

namespace {
void writeName(std::span<Byte> name, std::string_view text) {
    if (name.empty()) return;
    std::fill(name.begin(), name.end(), Byte(' '));
    for (std::size_t i = 0; i < std::min(text.size(), name.size()); ++i)
        name[i] = Byte(text[i]);
}
bool allUnset(std::span<const Byte> s) {
    return std::all_of(s.begin(), s.end(), [](Byte b) { return b == kUnset; });
}
} // namespace

int ChannelStore::addChannel(int g, int c) {
    if (!validGroup(g) || c < 0 || c >= perGroupLimit()) return kRefused;
    ensureSound();
    if (locate(g, c) >= 0) return kRefused;
    if (totalChannels() >= totalLimit()) return kNoRoom;
    int r = firstFreeRecord();
    if (r < 0) return kNoRoom;
    int p = insertionPosition(g, c);
    if (!makeRoom(p, 1)) return kNoRoom;
    setCount(g, listCount(g) + 1);
    setEntry(p, {Byte(c + 1), Byte(r)});
    // A record the list does not use may still hold old bytes; start from a freed one.
    fill(main(), recordOffset(r), kRecordSize, kUnset);
    fill(ext(), recordNameOffset(r), kRecordSize, kUnset);
    recomputeFirstPositions();
    return r;
}

void ChannelStore::deleteChannel(int g, int c) {
    if (!groupUsed(g)) return;
    ensureSound();
    int p = locate(g, c);
    if (p < 0) return;
    int count = listCount(g);
    removeEntries(p, 1);
    clearReferencesTo(g, c);
    removeFromLists(g, c);
    if (count <= 1) {
        setCount(g, 0);
        forgetGroup(g);
    } else {
        setCount(g, count - 1);
    }
    recomputeFirstPositions();
}

void ChannelStore::deleteGroup(int g) {
    if (!groupUsed(g)) return;
    ensureSound();
    if (!groupUsed(g)) return;
    removeEntries(listStart(g), listCount(g));
    setCount(g, 0);
    forgetGroup(g);
    recomputeFirstPositions();
}

void ChannelStore::insertChannelNumber(int g, int c) {
    if (!groupUsed(g) || c < 0 || c >= perGroupLimit()) return;
    ensureSound();
    int start = listStart(g);
    int end = std::min(start + listCount(g), kListPositions);
    if (end <= start) return;
    // Nothing moves when the last channel number of the group is taken (the top would fall off).
    if (entry(end - 1).number >= perGroupLimit()) return;
    for (int k = start; k < end; ++k) {
        Entry e = entry(k);
        if (e.number >= c + 1) setEntry(k, {Byte(e.number + 1), e.record});
    }
    clearChannelsFrom(g, c);
}

void ChannelStore::removeChannelNumber(int g, int c) {
    if (!groupUsed(g) || c < 0 || c >= perGroupLimit()) return;
    ensureSound();
    if (locate(g, c) >= 0) deleteChannel(g, c);
    if (groupUsed(g)) {
        int start = listStart(g);
        int end = std::min(start + listCount(g), kListPositions);
        for (int k = start; k < end; ++k) {
            Entry e = entry(k);
            if (e.number > c + 1) setEntry(k, {Byte(e.number - 1), e.record});
        }
    }
    clearChannelsFrom(g, c);
}

bool ChannelStore::copyGroup(int d, int s) {
    if (!validGroup(d) || !validGroup(s)) return false;
    if (d == s) return true; // copying onto itself would first empty the source
    ensureSound();
    int sizeS = groupByteSize(s), sizeD = groupByteSize(d);
    if (int(kRecordSize) * totalLimit() < usedBytes() + sizeS - sizeD) return false;
    if (groupUsed(d)) deleteGroup(d);
    int n = listCount(s);
    if (n == 0) return true;
    int p = listStart(d);
    if (!makeRoom(p, n)) return false;
    setCount(d, n);
    recomputeFirstPositions();
    std::bitset<256> used = usedRecords();
    int from = listStart(s);
    int r = 0;
    for (int i = 0; i < n; ++i) {
        while (r < kRecords && used.test(std::size_t(r)))
            ++r;
        if (r >= kRecords) break; // cannot happen with the room checked above
        used.set(std::size_t(r));
        Entry src = entry(from + i);
        setEntry(p + i, {src.number, Byte(r)});
        std::array<Byte, kRecordSize> buf{};
        std::copy_n(record(src.record).begin(), kRecordSize, buf.begin());
        std::copy(buf.begin(), buf.end(), record(r).begin());
        std::copy_n(recordName(src.record).begin(), kRecordSize, buf.begin());
        std::copy(buf.begin(), buf.end(), recordName(r).begin());
    }
    auto srcRec = groupRecord(s);
    std::array<Byte, kGroupRecordSize> grec{};
    std::copy(srcRec.begin(), srcRec.end(), grec.begin());
    std::copy(grec.begin(), grec.end(), groupRecord(d).begin());
    std::array<Byte, kRecordSize> gname{};
    std::copy_n(groupName(s).begin(), kRecordSize, gname.begin());
    std::copy(gname.begin(), gname.end(), groupName(d).begin());
    recomputeFirstPositions();
    return true;
}

ChannelStore::CopyResult ChannelStore::copyChannel(int dg, int dc, int sg, int sc) {
    if (!validGroup(dg) || dc < 0 || dc >= perGroupLimit()) return CopyResult::Refused;
    if (dg == sg && dc == sc) return CopyResult::SameChannel;
    if (!channelExists(sg, sc)) return CopyResult::NoSource;
    std::array<Byte, kRecordSize> rec{}, name{};
    int rs = findRecord(sg, sc);
    std::copy_n(record(rs).begin(), kRecordSize, rec.begin());
    std::copy_n(recordName(rs).begin(), kRecordSize, name.begin());
    if (findRecord(dg, dc) < 0 && totalChannels() >= totalLimit()) return CopyResult::NoRoom;
    if (findRecord(dg, dc) >= 0) deleteChannel(dg, dc);
    int r = addChannel(dg, dc);
    if (r < 0) return r == kNoRoom ? CopyResult::NoRoom : CopyResult::Refused;
    std::copy(rec.begin(), rec.end(), record(r).begin());
    std::copy(name.begin(), name.end(), recordName(r).begin());
    Byte gl = byteAt(main(), layout::kCsGroupNameLength);
    if (gl != 0 && gl != kUnset && allUnset(groupName(dg))) writeName(groupName(dg), defaultName(dg + 1, gl));
    return CopyResult::Copied;
}

void ChannelStore::initNewRecord(int r) {
    if (!validRecord(r)) return;
    fill(main(), recordOffset(r) + kRecRx, kFreqSize, kUnset);
    fill(main(), recordOffset(r) + kRecTx, kFreqSize, kUnset);
    // Explicitly off: a reused record must not bring its old tones along.
    setLe16(main(), recordOffset(r) + kRecDecode, 0xFFFF);
    setLe16(main(), recordOffset(r) + kRecEncode, 0xFFFF);
    setFlagsA(r, std::uint16_t((flagsA(r) & 0xFB00) | kAScanAdd));
    setFlagsB(r, std::uint16_t((flagsB(r) & 0xFEFF) | kBScrambler));
}

void ChannelStore::initNewNames(int g, int c) {
    int r = findRecord(g, c);
    Byte cl = byteAt(main(), layout::kCsChannelNameLength);
    if (r >= 0 && cl != 0) writeName(recordName(r), defaultName(c + 1, cl));
    if (!validGroup(g)) return;
    Byte gl = byteAt(main(), layout::kCsGroupNameLength);
    if (gl == 0 || gl == kUnset)
        fill(ext(), groupNameOffset(g), kRecordSize, kUnset);
    else if (allUnset(groupName(g)))
        writeName(groupName(g), defaultName(g + 1, gl));
}

void ChannelStore::padNames() {
    int gl = clampLength(byteAt(main(), layout::kCsGroupNameLength), kDefaultNameLength);
    for (int g = 0; g < kGroups; ++g) {
        if (byteAt(ext(), groupNameOffset(g)) == kUnset) continue;
        fill(ext(), groupNameOffset(g) + std::size_t(gl), kRecordSize - std::size_t(gl), Byte(' '));
    }
    int cl = clampLength(byteAt(main(), layout::kCsChannelNameLength), kDefaultNameLength);
    for (int r = 0; r < totalLimit(); ++r) {
        if (byteAt(ext(), recordNameOffset(r)) == kUnset) continue;
        fill(ext(), recordNameOffset(r) + std::size_t(cl), kRecordSize - std::size_t(cl), Byte(' '));
    }
}

// ------------------------------------------------------------------------------------------------
// Special references, remote and repeater lists

bool priorityPairInUse(int mode) {
    return mode == 1 || mode == 3;
}

bool ChannelStore::referenceApplies(ReferenceKind kind) const {
    switch (kind) {
    case ReferenceKind::Priority1:
        return priorityPairInUse(byteAt(main(), kCsPriority1Mode));
    case ReferenceKind::Priority2:
        return priorityPairInUse(byteAt(main(), kCsPriority2Mode));
    case ReferenceKind::Home:
        return keys::homeFunctionAssigned(main(), keys::headSetupOf(identificationOf(doc_.image())));
    case ReferenceKind::Emergency:
        return keys::emergencyFunctionAssigned(main());
    }
    return false;
}

std::pair<int, int> ChannelStore::reference(ReferenceKind kind) const {
    return {byteAt(main(), referenceOffset(kind)), byteAt(main(), referenceOffset(kind) + 1)};
}

bool ChannelStore::referenceMatches(int g, int c, ReferenceKind kind, bool checkApplies) const {
    auto [rg, rc] = reference(kind);
    if (rg == kUnset && rc == kUnset) return false;
    if (rg != g || (rc != c && c != kUnset)) return false;
    return !checkApplies || referenceApplies(kind);
}

void ChannelStore::toggleReference(int g, int c, ReferenceKind kind, bool clearOnly) {
    if (referenceMatches(g, c, kind, false)) {
        setByte(main(), referenceOffset(kind), kUnset);
        setByte(main(), referenceOffset(kind) + 1, kUnset);
    } else if (!clearOnly && channelExists(g, c)) {
        setByte(main(), referenceOffset(kind), Byte(g));
        setByte(main(), referenceOffset(kind) + 1, Byte(c));
    }
}

bool ChannelStore::setReference(int g, int c, ReferenceKind kind) {
    if (g == kUnset) {
        setByte(main(), referenceOffset(kind), kUnset);
        setByte(main(), referenceOffset(kind) + 1, kUnset);
        return true;
    }
    if (!groupUsed(g)) return false;
    if (c != kUnset && !channelExists(g, c)) return false;
    setByte(main(), referenceOffset(kind), Byte(g));
    setByte(main(), referenceOffset(kind) + 1, Byte(c));
    return true;
}

int ChannelStore::remoteIndexOf(int g, int c) const {
    if (!validGroup(g) || c < 0 || c >= kExtendedPerGroup) return kNotInList;
    for (int i = 0; i < kRemoteEntries; ++i)
        if (byteAt(main(), remoteOffset(i)) == g + 1 && byteAt(main(), remoteOffset(i) + 1) == c + 1)
            return i;
    return kNotInList;
}

int ChannelStore::repeaterIndexOf(int g, int c) const {
    if (!validGroup(g) || c < 0 || c >= kExtendedPerGroup) return kNotInRepeaterList;
    for (int i = 0; i < kRepeaterEntries; ++i)
        if (byteAt(main(), repeaterOffset(i)) == g + 1 && byteAt(main(), repeaterOffset(i) + 1) == c + 1)
            return i;
    return kNotInRepeaterList;
}

void ChannelStore::clearReferencesTo(int g, int c) {
    // A reference whose feature is switched off is cleared too: left alone it would name a
    // channel that is gone, or another channel after renumbering.
    for (int k = 0; k < kReferenceCount; ++k) {
        auto kind = ReferenceKind(k);
        if (referenceMatches(g, c, kind, false)) {
            setByte(main(), referenceOffset(kind), kUnset);
            setByte(main(), referenceOffset(kind) + 1, kUnset);
        }
    }
}

void ChannelStore::removeFromLists(int g, int c) {
    for (int i = 0; i < kRemoteEntries; ++i)
        if (byteAt(main(), remoteOffset(i)) == g + 1 && byteAt(main(), remoteOffset(i) + 1) == c + 1)
            fill(main(), remoteOffset(i), kEntrySize, kUnset);
    for (int i = 0; i < kRepeaterEntries; ++i)
        if (byteAt(main(), repeaterOffset(i)) == g + 1 && byteAt(main(), repeaterOffset(i) + 1) == c + 1)
            fill(main(), repeaterOffset(i), kEntrySize, kUnset);
}

void ChannelStore::forgetGroup(int g) {
    for (int k = 0; k < kReferenceCount; ++k) {
        auto kind = ReferenceKind(k);
        if (reference(kind).first == g) fill(main(), referenceOffset(kind), kEntrySize, kUnset);
    }
    for (int i = 0; i < kRemotePositions; ++i)
        if (byteAt(main(), remoteOffset(i)) == g + 1) fill(main(), remoteOffset(i), kEntrySize, kUnset);
    for (int i = 0; i < kRepeaterEntries; ++i)
        if (byteAt(main(), repeaterOffset(i)) == g + 1) fill(main(), repeaterOffset(i), kEntrySize, kUnset);
}

void ChannelStore::clearChannelsFrom(int g, int c) {
    for (int k = 0; k < kReferenceCount; ++k) {
        auto kind = ReferenceKind(k);
        auto [rg, rc] = reference(kind);
        if (rg == g && rc != kUnset && rc >= c) fill(main(), referenceOffset(kind), kEntrySize, kUnset);
    }
    auto clearFrom = [&](std::size_t off) {
        Byte eg = byteAt(main(), off), ec = byteAt(main(), off + 1);
        if (eg == g + 1 && ec != kUnset && ec >= c + 1) fill(main(), off, kEntrySize, kUnset);
    };
    for (int i = 0; i < kRemoteEntries; ++i)
        clearFrom(remoteOffset(i));
    for (int i = 0; i < kRepeaterEntries; ++i)
        clearFrom(repeaterOffset(i));
}

// ------------------------------------------------------------------------------------------------
// Capacity

int ChannelStore::adjustForCapacity() {
    Byte marker = byteAt(main(), layout::kCsCapacityMarker);
    if (doc_.options().extended) {
        if (marker != kCapacityExtended) setByte(main(), layout::kCsCapacityMarker, kCapacityExtended);
        return 0;
    }
    if (marker != kCapacityExtended) return 0;
    int removed = trimToNormalCapacity();
    setByte(main(), layout::kCsCapacityMarker, kUnset);
    return removed;
}

int ChannelStore::trimToNormalCapacity() {
    ensureSound();
    int removed = 0;
    for (int g = 0; g < kGroups; ++g)
        for (int c : channelNumbers(g))
            if (c + 1 > kNormalPerGroup) {
                deleteChannel(g, c);
                ++removed;
            }
    std::vector<std::pair<int, int>> beyond;
    int position = 0;
    for (int g = 0; g < kGroups; ++g)
        for (int c : channelNumbers(g))
            if (position++ >= kNormalTotal) beyond.emplace_back(g, c);
    for (auto [g, c] : beyond)
        deleteChannel(g, c);
    return removed + int(beyond.size());
}

// ------------------------------------------------------------------------------------------------
// Table validation and repair

bool ChannelStore::validateTables() const {
    Limits lim = dataSetLimits();
    std::bitset<256> used;
    int sum = 0;
    for (int g = 0; g < kGroups; ++g) {
        Byte first = byteAt(main(), groupTableOffset(g));
        Byte n = byteAt(main(), groupTableOffset(g) + 1);
        if (n == kUnset) {
            if (first != kUnset) return false;
            continue;
        }
        if (n < 1 || n > lim.perGroup || first != sum) return false;
        if (sum + n > lim.total) return false;
        Byte last = 0;
        for (int k = sum; k < sum + n; ++k) {
            Entry e = entry(k);
            if (e.number == kUnset || e.number == 0 || e.number > lim.perGroup || e.number <= last)
                return false;
            if (used.test(e.record) || recordIsFree(e.record)) return false;
            used.set(e.record);
            last = e.number;
        }
        sum += n;
    }
    for (int k = sum; k < kListPositions; ++k) {
        Entry e = entry(k);
        if (e.number != kUnset || e.record != kUnset) return false;
    }
    return true;
}

bool ChannelStore::rebuildTables() {
    if (validateTables()) return false;
    Limits lim = dataSetLimits();
    std::array<Entry, kListPositions> kept{};
    std::array<int, kGroups> counts{};
    std::bitset<256> used;
    int total = 0;
    int cursor = 0;
    for (int g = 0; g < kGroups; ++g) {
        Byte n = byteAt(main(), groupTableOffset(g) + 1);
        if (n == kUnset || n == 0) continue;
        // A count past the limit is read as the limit; the entries beyond it belong to nobody.
        int span = std::min<int>(n, lim.perGroup);
        int begin = cursor, end = std::min(cursor + span, kListPositions);
        cursor = std::min(cursor + int(n), kListPositions);
        std::vector<Entry> group;
        for (int k = begin; k < end; ++k) {
            Entry e = entry(k);
            if (e.number == kUnset || e.number == 0 || e.number > lim.perGroup) continue;
            if (used.test(e.record) || recordIsFree(e.record)) continue;
            used.set(e.record);
            group.push_back(e);
        }
        std::stable_sort(group.begin(), group.end(), [](Entry a, Entry b) { return a.number < b.number; });
        Byte last = 0;
        for (Entry e : group) {
            if (e.number == last || total >= lim.total) continue; // a repeated number keeps its first entry
            kept[std::size_t(total++)] = e;
            ++counts[std::size_t(g)];
            last = e.number;
        }
    }
    for (int k = 0; k < kListPositions; ++k)
        setEntry(k, k < total ? kept[std::size_t(k)] : Entry{kUnset, kUnset});
    for (int g = 0; g < kGroups; ++g) {
        setByte(main(), groupTableOffset(g), kUnset);
        setCount(g, counts[std::size_t(g)]);
    }
    recomputeFirstPositions();
    // References and list entries naming channels that did not survive would point nowhere.
    for (int k = 0; k < kReferenceCount; ++k) {
        auto kind = ReferenceKind(k);
        auto [rg, rc] = reference(kind);
        if (rg == kUnset) continue;
        if (!groupUsed(rg) || (rc != kUnset && findRecord(rg, rc) < 0))
            fill(main(), referenceOffset(kind), kEntrySize, kUnset);
    }
    auto checkEntry = [&](std::size_t off) {
        Byte eg = byteAt(main(), off), ec = byteAt(main(), off + 1);
        if (eg == kUnset) return;
        if (eg == 0 || !groupUsed(eg - 1) || (ec != kUnset && (ec == 0 || findRecord(eg - 1, ec - 1) < 0)))
            fill(main(), off, kEntrySize, kUnset);
    };
    for (int i = 0; i < kRemotePositions; ++i)
        checkEntry(remoteOffset(i));
    for (int i = 0; i < kRepeaterEntries; ++i)
        checkEntry(repeaterOffset(i));
    return true;
}

} // namespace velora
