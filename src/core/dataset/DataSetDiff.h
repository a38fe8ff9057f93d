#pragma once
// Two data sets compared by meaning: channels added, removed and changed per group (named by their
// CSV columns), feature fields by their key with the text each shows, and whatever bytes differ
// without showing in either as offset ranges per area. The CLI's `diff` prints the lines and the
// GUI's comparison dialog lists them.
#include <cstddef>
#include <optional>
#include <string>
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

struct ColumnChange {
    std::string column; // a CSV column name, or "name" for a group's name
    std::string before, after;
};

enum class ChangeKind { Added, Removed, Changed };

struct ChannelChange {
    ChangeKind kind = ChangeKind::Changed;
    int channel = 0;                   // 0-based
    std::vector<ColumnChange> columns; // Changed only
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

// Bytes [begin, end) of one area that differ but show in no channel or field.
struct ByteRange {
    Area area = Area::Main;
    std::size_t begin = 0, end = 0;
};

struct DataSetDiff {
    std::vector<GroupChange> groups;
    std::vector<FieldChange> fields;
    std::vector<ByteRange> bytes;
    bool empty() const { return groups.empty() && fields.empty() && bytes.empty(); }
};

// Compares the working copies of `before` and `after`. Neither document changes; messages the
// field readers would show go to `boxes`.
DataSetDiff compareDataSets(const Document& before, const Document& after, const TextSource& texts,
                            MessageBoxes& boxes);

// The comparison as lines for a list: per group its line, then its channels indented; the fields;
// the byte ranges. One line saying the data sets are the same when nothing differs.
std::vector<std::string> diffLines(const DataSetDiff& diff, const TextSource& texts);

// "main", "DTMF" or "extension".
std::string areaName(Area area);

} // namespace velora
