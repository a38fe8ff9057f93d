#pragma once
// The single access path to groups, channels, names and the special channel references.
// Groups share one pool of channel records: a group table (first list position, count), one
// ordered channel list of (channel number + 1, record index) and 256 records with their names.
// Everything lives in the working copy of the memory image; the store keeps no state of its
// own apart from the narrow-band warning flag.
#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Messenger.h"
#include "channels/ChannelLayout.h"
#include "model/Document.h"

namespace velora {

enum class ChannelField { RxFrequency = 0, TxFrequency, Decode, Encode, Name, ScanAdd, Signalling };
inline constexpr int kChannelFieldCount = 7;

enum class ReferenceKind { Priority1 = 0, Priority2, Home, Emergency };

// Whether a priority's group/channel pair is in use for the priority's mode byte: only a fixed (1)
// or operator-selected (3) channel names one; off, the selected channel and bytes no list offers
// do not.
bool priorityPairInUse(int mode);

// Where a special reference's (group, channel) pair lies in the main area.
constexpr std::size_t referenceOffset(ReferenceKind k) {
    return chlayout::kCsReferences + chlayout::kEntrySize * std::size_t(k);
}

struct ChannelFieldText {
    std::string text;
    int raw = -1; // stored value behind the text (tone word, bit, code); -1 when there is none
};

// Step flags X, E and R that a record keeps beside a frequency.
struct StepFields {
    bool x = true;
    bool e = true;
    int r = 3;
};
// The fields for a step code of the frequency encoder, and those of a cleared transmit frequency.
StepFields stepFieldsFor(char stepCode, std::uint32_t freqIn10Hz);
inline constexpr StepFields kClearedTxStep{true, true, 3};

class ChannelStore {
  public:
    static constexpr int kNoRoom = -1;  // addChannel: the pool is full
    static constexpr int kRefused = -2; // addChannel: bad numbers or the channel is already there
    static constexpr int kNotInList = -1;
    static constexpr int kNotInRepeaterList = 0xFF;

    ChannelStore(Document& doc, const TextSource& texts) : doc_(doc), texts_(texts) {}

    int totalLimit() const;
    int perGroupLimit() const;

    // --- Queries -------------------------------------------------------------------------------
    int groupByteSize(int g) const;
    int usedBytes() const;
    int freeBytes() const { return 16 * totalLimit() - usedBytes(); }
    int channelCount(int g) const; // group table byte 1 (0xFF when empty, 0 for g out of range)
    bool groupUsed(int g) const;
    int findRecord(int g, int c) const; // -1 when absent
    bool channelExists(int g, int c) const;
    std::vector<int> channelNumbers(int g) const; // in list order

    std::span<Byte> channelRecord(int g, int c); // empty when the channel has no entry
    std::span<const Byte> channelRecord(int g, int c) const;
    std::span<Byte> channelName(int g, int c);
    std::span<Byte> record(int r); // empty for r outside 0..255
    std::span<const Byte> record(int r) const;
    std::span<Byte> recordName(int r);
    std::span<const Byte> recordName(int r) const;
    std::span<Byte> groupRecord(int g);
    std::span<Byte> groupName(int g);
    std::span<const Byte> groupName(int g) const;

    // Display texts of names: the first L bytes, cut at 0xFF, trailing blanks removed.
    std::string channelNameText(int g, int c) const;
    std::string groupNameText(int g) const;
    int channelNameLength() const; // byte 0x10 clamped to the 16-byte record
    int groupNameLength() const;   // byte 0x11 clamped likewise
    std::string defaultName(int number, int length) const;

    // Lowest record not used by the channel list, -1 when every record is taken.
    int firstFreeRecord() const;

    // --- Changes -------------------------------------------------------------------------------
    // Each list change first rebuilds tables that break the invariants, so damaged data cannot
    // spread from one group into another. References and list entries of channels that go are
    // cleared, whether or not their feature is switched on.
    int addChannel(int g, int c); // record index of the new, cleared channel, kNoRoom or kRefused
    void deleteChannel(int g, int c);
    void insertChannelNumber(int g, int c);
    void removeChannelNumber(int g, int c);
    void deleteGroup(int g);
    bool copyGroup(int d, int s); // false when the pool has no room (nothing changed)

    enum class CopyResult { Copied, SameChannel, NoSource, NoRoom, Refused };
    // Copies one channel with its name; the destination is replaced. NoRoom: message 229's case.
    CopyResult copyChannel(int dg, int dc, int sg, int sc);

    void initNewRecord(int r);
    void initNewNames(int g, int c);

    // Blank-fills names to their display length (before saving, after loading).
    void padNames();
    // Copies the noise blanker setting into every low-band channel.
    void applyNoiseBlanker(Byte value);
    void clearPttIdWithoutOption();

    // Narrow-band rule for one channel: 1 when the channel is restricted. With boxes given,
    // a channel that had to be made narrow shows message 555.
    int checkNarrowband(int g, int c, MessageBoxes* boxes);
    // The rule on every channel without per-channel messages; returns true when a channel was
    // made narrow, after showing 553 (file load) or 554 (radio read) when boxes are given.
    bool checkAllNarrowband(bool afterFileLoad, MessageBoxes* boxes);
    bool warningFlag() const { return warning_; }

    // --- Special references and lists ----------------------------------------------------------
    bool referenceApplies(ReferenceKind kind) const;
    std::pair<int, int> reference(ReferenceKind kind) const; // (group, channel) bytes as stored
    bool referenceMatches(int g, int c, ReferenceKind kind, bool checkApplies) const;
    void toggleReference(int g, int c, ReferenceKind kind, bool clearOnly);
    bool setReference(int g, int c, ReferenceKind kind);
    int remoteIndexOf(int g, int c) const;   // 0..14 or -1
    int repeaterIndexOf(int g, int c) const; // 0..1 or 0xFF

    // --- Load-time checks ----------------------------------------------------------------------
    // Extended mode marks the data set; normal mode trims an extended one. Returns how many
    // channels were removed.
    int adjustForCapacity();
    int trimToNormalCapacity();
    // True when group table, channel list and record indexes obey every invariant, with the larger
    // limits when the run is extended or the data set is marked extended (not yet trimmed).
    bool validateTables() const;
    // Rebuilds the tables from the entries that are still sound; true when anything changed.
    // Consistent tables are left byte for byte.
    bool rebuildTables();

    // --- Field texts ---------------------------------------------------------------------------
    ChannelFieldText channelFieldText(int g, int c, ChannelField field) const;
    // true when stored without complaint; messages go to boxes when given.
    bool setChannelFieldText(std::string text, int g, int c, ChannelField field, MessageBoxes* boxes);
    void setChannelChoice(int g, int c, ChannelField field, int listIndex);

    Document& document() { return doc_; }

  private:
    struct Entry {
        Byte number; // channel number + 1
        Byte record;
    };
    struct Limits {
        int total;
        int perGroup;
    };

    std::span<Byte> main() { return doc_.image().main(); }
    std::span<const Byte> main() const { return doc_.image().main(); }
    std::span<Byte> ext() { return doc_.image().ext(); }
    std::span<const Byte> ext() const { return doc_.image().ext(); }

    Entry entry(int k) const;
    void setEntry(int k, Entry e);
    int listStart(int g) const;     // sum of the counts below g, capped at the list size
    int listCount(int g) const;     // count usable for list walks (0 when empty)
    int locate(int g, int c) const; // position of channel c's entry, or -1
    int insertionPosition(int g, int c) const;
    int totalChannels() const;
    Limits dataSetLimits() const;
    bool recordIsFree(int r) const;
    std::bitset<256> usedRecords() const; // records named by the used list entries
    void setCount(int g, int count);
    void recomputeFirstPositions();
    bool makeRoom(int p, int n);
    void removeEntries(int p, int n);
    void ensureSound();

    void clearReferencesTo(int g, int c); // c = 0xFF: every reference into g
    void removeFromLists(int g, int c);
    void forgetGroup(int g);              // references and list entries naming g
    void clearChannelsFrom(int g, int c); // references and list entries of c..perGroupLimit-1

    std::uint16_t flagsA(int r) const;
    std::uint16_t flagsB(int r) const;
    void setFlagsA(int r, std::uint16_t v);
    void setFlagsB(int r, std::uint16_t v);
    int bandCodeOfRecord(int r) const;
    bool storeFrequency(std::string text, int g, int c, bool transmit, MessageBoxes* boxes);

    Document& doc_;
    const TextSource& texts_;
    bool warning_ = false;
    // Sums of the counts below each group, valid while the group table equals cachedTable_.
    mutable std::array<Byte, 320> cachedTable_{};
    mutable std::array<std::uint16_t, 161> prefix_{};
    mutable int totalCached_ = 0;
    mutable bool prefixValid_ = false;
};

} // namespace velora
