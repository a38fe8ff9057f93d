#pragma once
// Two data sets compared by meaning: channels by group and channel wherever their records sit in the
// pool (every byte of record and name: by CSV column, or as a raw byte where no column shows it),
// feature fields by their key with the text each shows, the model identification words by name,
// and whatever other bytes differ without showing in either as offset ranges per area. The CLI's
// `diff` prints the lines and the GUI's comparison dialog lists them.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"
#include "model/Document.h"

namespace velora {

// Language texts of the comparison lines.
inline constexpr int kTextDiffGroupAdded = 557;
inline constexpr int kTextDiffGroupRemoved = 558;
inline constexpr int kTextDiffGroupChanged = 559;
inline constexpr int kTextDiffChannelAdded = 560;
inline constexpr int kTextDiffChannelRemoved = 561;
inline constexpr int kTextDiffChannelChanged = 562;
inline constexpr int kTextDiffField = 563;
inline constexpr int kTextDiffBytes = 564;
inline constexpr int kTextDiffSame = 565;
inline constexpr int kTextDiffSides = 615;
inline constexpr int kTextDiffOpenDataSet = 616;
inline constexpr int kTextDiffNote = 617;
inline constexpr int kTextDiffVersion1 = 618;
inline constexpr int kTextDiffConfigWord = 619;
inline constexpr int kTextDiffVersion2 = 620;
inline constexpr int kTextDiffModel2Word = 621;
inline constexpr int kTextDiffRecordByte = 622;
inline constexpr int kTextDiffNameByte = 623;

struct ColumnChange {
    std::string column; // a CSV column name, or "name" for a group's name
    std::string before, after;
};

enum class ChangeKind { Added, Removed, Changed };

// A byte of a channel's record (or of its name) that differs in a bit no CSV column shows.
struct RawByteChange {
    bool name = false; // the name record rather than the channel record
    int offset = 0;    // inside the 16-byte record
    Byte before = 0, after = 0;
};

struct ChannelChange {
    ChangeKind kind = ChangeKind::Changed;
    int channel = 0;                   // 0-based
    std::vector<ColumnChange> columns; // Changed: what differs; Added, Removed: every value it has
    std::vector<RawByteChange> raw;    // Changed only
};

struct GroupChange {
    ChangeKind kind = ChangeKind::Changed;
    int group = 0;                     // 0-based
    std::vector<ColumnChange> columns; // the group's own texts (its name)
    std::vector<ChannelChange> channels;
};

struct FieldChange {
    std::string key;
    std::optional<std::string> before, after; // nothing where the field does not exist
};

// A part of the model identification that a write or the model dialog changes, by its name.
struct IdentificationChange {
    int text = 0;   // the part's name
    int digits = 0; // hexadecimal digits of the value
    unsigned before = 0, after = 0;
};

// Bytes [begin, end) of one area that differ but show in no channel or field.
struct ByteRange {
    Area area = Area::Main;
    std::size_t begin = 0, end = 0;
};

struct DataSetDiff {
    std::vector<GroupChange> groups;
    std::vector<FieldChange> fields;
    std::vector<IdentificationChange> identification;
    std::vector<ByteRange> bytes;
    bool empty() const { return groups.empty() && fields.empty() && identification.empty() && bytes.empty(); }
};

// Compares the working copies of `before` and `after`. Neither document changes; messages the
// field readers would show go to `boxes`.
DataSetDiff compareDataSets(const Document& before, const Document& after, const TextSource& texts,
                            MessageBoxes& boxes);

// The comparison as lines for a list: per group its line, then its channels indented; the fields;
// the identification; the byte ranges. One line saying the data sets are the same when nothing differs.
std::vector<std::string> diffLines(const DataSetDiff& diff, const TextSource& texts);

// The line that says which side is which: the values left of each arrow are `before`'s.
std::string sidesLine(std::string_view before, std::string_view after, const TextSource& texts);

// A data file compared with the data set being edited.
struct FileComparison {
    std::string sides;              // the file before, the data set being edited after
    std::vector<std::string> notes; // what opening the file said, as notes about that file
    std::vector<std::string> lines; // diffLines
};

// Opens `path` as File > Open would, into a document of its own, and compares it (before) with
// `current` (after): a group only `current` has is added. The messages its adoption shows become
// notes naming the file rather than boxes about `current`. Nothing when the file cannot be opened;
// the reason went to `boxes`.
std::optional<FileComparison> compareWithDataFile(const Document& current, const std::string& path,
                                                  const TextSource& texts, MessageBoxes& boxes);

// "main", "DTMF" or "extension".
std::string areaName(Area area);

} // namespace velora
