#include "dataset/DataSetDiff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "channels/ChannelCsv.h"
#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "features/FieldAccess.h"
#include "dataset/FileCommands.h"

namespace velora {

namespace {

using chlayout::kRecordSize;

constexpr Area kAreas[] = {Area::Main, Area::Dtmf, Area::Ext};
// Differing bytes this close together form one range: a changed value of several bytes is one place.
constexpr std::size_t kRangeGap = 4;
// Above this many differing bits the data sets differ wholesale; the bytes are then listed as they
// are, without asking whether they show anywhere.
constexpr std::size_t kMaxProbes = 1024;
constexpr std::size_t kGroupTableSize = chlayout::kEntrySize * chlayout::kGroups;
constexpr std::size_t kChannelListSize = chlayout::kEntrySize * chlayout::kListPositions;
constexpr std::size_t kPoolSize = kRecordSize * chlayout::kRecords;

// The parts of the model identification that have a name of their own. A version mark is the top
// four bits of its byte, which a write clears; each word is compared without its version mark.
struct IdentificationPart {
    int text;
    std::size_t offset;
    bool word; // a little-endian word, else the version mark of one byte
    unsigned mask;
};
constexpr IdentificationPart kIdentificationParts[] = {
    {kTextDiffVersion1, layout::kConfigWord, false, 0xF0},
    {kTextDiffConfigWord, layout::kConfigWord, true, 0xFF0F},
    {kTextDiffVersion2, layout::kModel2Word + 1, false, 0xF0},
    {kTextDiffModel2Word, layout::kModel2Word, true, 0x0FFF},
};
constexpr std::size_t kIdentificationBytes = 4; // the two words from the configuration word on

// Questions and warnings that nobody is to see: the probes below read made-up data sets.
class Quiet : public Messenger {
  public:
    MsgAnswer show(const Message& m) override { return firstButtonAnswer(m.buttons); }
};

// Messages kept to be told later, in another form.
class Recorder : public Messenger {
  public:
    MsgAnswer show(const Message& m) override {
        shown.push_back(m);
        return firstButtonAnswer(m.buttons);
    }
    std::vector<Message> shown;
};

struct ChannelView {
    std::vector<std::string> row;
    std::array<Byte, 2 * kRecordSize> raw{}; // the record, then its name
    int record = -1;                         // where it sits in the pool: no difference
    bool operator==(const ChannelView& o) const { return row == o.row && raw == o.raw; }
};

// Everything a user can see of a data set, by a stable key: channel rows, group names, fields.
struct View {
    std::map<int, std::string> groupNames;              // used groups only
    std::map<int, std::map<int, ChannelView>> channels; // group -> channel
    std::map<std::string, std::string> fields;
    bool tablesSound = true; // group table and channel list follow from the channels alone
};

View viewOf(const Document& source, const TextSource& texts, MessageBoxes& boxes) {
    // The readers take a document they could change; they get a copy so the caller's stays as it was.
    auto doc = std::make_unique<Document>(source);
    View v;
    ChannelStore store(*doc, texts);
    v.tablesSound = store.validateTables();
    for (int g = 0; g < chlayout::kGroups; ++g) {
        if (!store.groupUsed(g)) continue;
        v.groupNames[g] = store.groupNameText(g);
        auto& channels = v.channels[g];
        for (int c : store.channelNumbers(g)) {
            ChannelView ch;
            ch.row = channelCsvRow(store, boxes, g, c);
            if (ch.row.empty()) continue;
            ch.record = store.findRecord(g, c);
            const auto rec = store.record(ch.record);
            const auto name = store.recordName(ch.record);
            std::copy(rec.begin(), rec.end(), ch.raw.begin());
            std::copy(name.begin(), name.end(), ch.raw.begin() + kRecordSize);
            channels[c] = std::move(ch);
        }
    }
    forms::FieldAccess access(*doc, boxes);
    for (auto& e : access.fields())
        v.fields[e.key] = std::move(e.text);
    return v;
}

std::vector<ColumnChange> rowChanges(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<ColumnChange> out;
    const auto& names = channelCsvColumns();
    for (std::size_t i = 0; i < names.size() && i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) out.push_back({names[i], a[i], b[i]});
    return out;
}

// An added or removed channel with every value it has (its group and number are in its line).
std::vector<ColumnChange> rowValues(const std::vector<std::string>& row, ChangeKind kind) {
    std::vector<ColumnChange> out;
    const auto& names = channelCsvColumns();
    for (std::size_t i = 2; i < names.size() && i < row.size(); ++i)
        out.push_back(kind == ChangeKind::Added ? ColumnChange{names[i], {}, row[i]}
                                                : ColumnChange{names[i], row[i], {}});
    return out;
}

// The differing bytes of a channel on both sides that no CSV column explains. Each differing bit is
// flipped alone in `probe` (a copy of the before side); a bit that changes none of the columns
// reported as different shows nowhere in the comparison and is named as a raw byte.
std::vector<RawByteChange> rawChanges(ChannelStore& probe, MessageBoxes& quiet, int g, int c,
                                      const ChannelView& a, const ChannelView& b) {
    auto differingColumn = [&](const std::vector<std::string>& row) {
        for (std::size_t k = 0; k < row.size() && k < a.row.size() && k < b.row.size(); ++k)
            if (row[k] != a.row[k] && a.row[k] != b.row[k]) return true;
        return false;
    };
    std::vector<RawByteChange> out;
    for (std::size_t i = 0; i < a.raw.size(); ++i) {
        const Byte x = a.raw[i], y = b.raw[i];
        if (x == y) continue;
        const bool name = i >= kRecordSize;
        const auto bytes = name ? probe.recordName(a.record) : probe.record(a.record);
        bool unseen = bytes.empty() || a.row == b.row;
        for (unsigned bit = 1; bit < 0x100 && !unseen; bit <<= 1) {
            if (((x ^ y) & bit) == 0) continue;
            Byte& cell = bytes[i % kRecordSize];
            cell ^= Byte(bit);
            unseen = !differingColumn(channelCsvRow(probe, quiet, g, c));
            cell ^= Byte(bit);
        }
        if (unseen) out.push_back({name, int(i % kRecordSize), x, y});
    }
    return out;
}

void compareGroups(const Document& before, const View& a, const View& b, const TextSource& texts,
                   DataSetDiff& diff) {
    auto probeDoc = std::make_unique<Document>(before);
    ChannelStore probe(*probeDoc, texts);
    Quiet quiet;
    MessageBoxes quietBoxes(quiet, texts);
    for (int g = 0; g < chlayout::kGroups; ++g) {
        const bool inA = a.groupNames.count(g) != 0, inB = b.groupNames.count(g) != 0;
        if (!inA && !inB) continue;
        GroupChange gc;
        gc.group = g;
        gc.kind = !inA ? ChangeKind::Added : !inB ? ChangeKind::Removed : ChangeKind::Changed;
        static const std::map<int, ChannelView> kNone;
        const auto& chA = inA ? a.channels.at(g) : kNone;
        const auto& chB = inB ? b.channels.at(g) : kNone;
        if (inA && inB && a.groupNames.at(g) != b.groupNames.at(g))
            gc.columns.push_back({"name", a.groupNames.at(g), b.groupNames.at(g)});
        std::map<int, int> numbers; // channel -> 1 in A, 2 in B, 3 in both
        for (const auto& [c, ch] : chA)
            numbers[c] |= 1;
        for (const auto& [c, ch] : chB)
            numbers[c] |= 2;
        for (const auto& [c, where] : numbers) {
            ChannelChange cc;
            cc.channel = c;
            if (where == 3) {
                const ChannelView &x = chA.at(c), &y = chB.at(c);
                cc.columns = rowChanges(x.row, y.row);
                if (x.raw != y.raw) cc.raw = rawChanges(probe, quietBoxes, g, c, x, y);
                if (cc.columns.empty() && cc.raw.empty()) continue;
            } else {
                cc.kind = where == 2 ? ChangeKind::Added : ChangeKind::Removed;
                cc.columns = rowValues(where == 2 ? chB.at(c).row : chA.at(c).row, cc.kind);
            }
            gc.channels.push_back(std::move(cc));
        }
        if (gc.kind == ChangeKind::Changed && gc.columns.empty() && gc.channels.empty()) continue;
        diff.groups.push_back(std::move(gc));
    }
}

void compareFields(const View& a, const View& b, DataSetDiff& diff) {
    for (const auto& [key, text] : a.fields) {
        auto it = b.fields.find(key);
        if (it == b.fields.end())
            diff.fields.push_back({key, text, std::nullopt});
        else if (it->second != text)
            diff.fields.push_back({key, text, it->second});
    }
    for (const auto& [key, text] : b.fields)
        if (!a.fields.count(key)) diff.fields.push_back({key, std::nullopt, text});
}

void compareIdentification(const ImageCopy& a, const ImageCopy& b, DataSetDiff& diff) {
    for (const auto& part : kIdentificationParts) {
        auto value = [&](const ImageCopy& img) -> unsigned {
            return part.word ? le16(img.area(Area::Main), part.offset)
                             : byteAt(img.area(Area::Main), part.offset);
        };
        const unsigned x = value(a), y = value(b);
        if (((x ^ y) & part.mask) == 0) continue;
        if (part.word)
            diff.identification.push_back({part.text, 4, x, y});
        else
            diff.identification.push_back({part.text, 1, (x & part.mask) >> 4, (y & part.mask) >> 4});
    }
}

bool within(std::size_t i, std::size_t begin, std::size_t size) {
    return i >= begin && i < begin + size;
}

// Bytes whose difference is told another way: channel records and names by their channel
// wherever they sit, the identification words by name, and, while both sides' tables follow from
// their channels, the group table and channel list through the channels.
bool toldElsewhere(Area area, std::size_t i, bool tablesSound) {
    if (area == Area::Ext) return within(i, layout::kChannelNames, kPoolSize);
    if (area != Area::Main) return false;
    return within(i, layout::kChannelRecords, kPoolSize) ||
           within(i, layout::kConfigWord, kIdentificationBytes) ||
           (tablesSound && (within(i, layout::kGroupTable, kGroupTableSize) ||
                            within(i, layout::kChannelList, kChannelListSize)));
}

// What the comparison reports by meaning, to tell whether a byte's difference is explained by it.
struct Reported {
    std::set<int> groups;                   // the group's own line says what differs
    std::set<std::pair<int, int>> channels; // (group, channel)
    std::set<std::string> fields;
};

Reported reportedOf(const DataSetDiff& diff) {
    Reported r;
    for (const auto& g : diff.groups) {
        if (g.kind != ChangeKind::Changed || !g.columns.empty()) r.groups.insert(g.group);
        for (const auto& c : g.channels)
            r.channels.insert({g.group, c.channel});
    }
    for (const auto& f : diff.fields)
        r.fields.insert(f.key);
    return r;
}

// True when the maps differ at a key that `reported` accepts; a key in one map only differs too.
template <typename K, typename V, typename F>
bool anyDiffering(const std::map<K, V>& x, const std::map<K, V>& y, F&& reported) {
    for (const auto* m : {&x, &y}) {
        const auto* other = m == &x ? &y : &x;
        for (const auto& [k, v] : *m) {
            auto it = other->find(k);
            if ((it == other->end() || !(it->second == v)) && reported(k)) return true;
        }
    }
    return false;
}

// True when `probe` differs from `base` in something the comparison reports.
bool touchesReported(const View& probe, const View& base, const Reported& r) {
    if (anyDiffering(probe.groupNames, base.groupNames, [&](int g) { return r.groups.count(g) != 0; }))
        return true;
    if (anyDiffering(probe.fields, base.fields, [&](const std::string& k) { return r.fields.count(k) != 0; }))
        return true;
    static const std::map<int, ChannelView> kNone;
    return anyDiffering(probe.channels, base.channels, [&](int g) {
        const auto p = probe.channels.find(g), b = base.channels.find(g);
        return anyDiffering(p == probe.channels.end() ? kNone : p->second,
                            b == base.channels.end() ? kNone : b->second, [&](int c) {
                                return r.channels.count({g, c}) != 0;
                            });
    });
}

struct BitPlace {
    Area area;
    std::size_t offset;
    Byte bit;
};

std::vector<BitPlace> differingBits(const ImageCopy& a, const ImageCopy& b, bool tablesSound) {
    std::vector<BitPlace> out;
    for (Area area : kAreas) {
        const auto x = a.area(area), y = b.area(area);
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x[i] == y[i] || toldElsewhere(area, i, tablesSound)) continue;
            for (unsigned bit = 1; bit < 0x100; bit <<= 1)
                if ((x[i] ^ y[i]) & bit) out.push_back({area, i, Byte(bit)});
        }
    }
    return out;
}

// Bytes close together form one range (a changed value of several bytes is one place), but never
// across a byte that is told elsewhere.
std::vector<ByteRange> rangesOf(const std::vector<BitPlace>& bits, bool tablesSound) {
    std::vector<ByteRange> out;
    auto joins = [&](const ByteRange& r, const BitPlace& p) {
        if (r.area != p.area || p.offset - r.end > kRangeGap) return false;
        for (std::size_t i = r.end; i < p.offset; ++i)
            if (toldElsewhere(p.area, i, tablesSound)) return false;
        return true;
    };
    for (const BitPlace& p : bits) {
        if (!out.empty() && out.back().area == p.area && p.offset < out.back().end) continue;
        if (!out.empty() && joins(out.back(), p))
            out.back().end = p.offset + 1;
        else
            out.push_back({p.area, p.offset, p.offset + 1});
    }
    return out;
}

// The bytes whose difference nothing reported explains: each differing bit is taken over alone
// from the other data set, both ways (a value may show only together with another setting), and a
// bit that changes nothing the comparison reports is listed.
std::vector<ByteRange> unseenRanges(const Document& before, const Document& after, const View& viewBefore,
                                    const View& viewAfter, const DataSetDiff& diff, const TextSource& texts) {
    const bool tablesSound = viewBefore.tablesSound && viewAfter.tablesSound;
    const std::vector<BitPlace> bits =
        differingBits(before.image().working(), after.image().working(), tablesSound);
    if (bits.size() > kMaxProbes) return rangesOf(bits, tablesSound);
    const Reported reported = reportedOf(diff);
    std::vector<BitPlace> out;
    Quiet quiet;
    MessageBoxes boxes(quiet, texts);
    auto forward = std::make_unique<Document>(before);
    auto backward = std::make_unique<Document>(after);
    for (const BitPlace& p : bits) {
        Byte& f = forward->image().working().area(p.area)[p.offset];
        Byte& b = backward->image().working().area(p.area)[p.offset];
        f ^= p.bit;
        b ^= p.bit;
        if (!touchesReported(viewOf(*forward, texts, boxes), viewBefore, reported) &&
            !touchesReported(viewOf(*backward, texts, boxes), viewAfter, reported))
            out.push_back(p);
        f ^= p.bit;
        b ^= p.bit;
    }
    return rangesOf(out, tablesSound);
}

std::string oneLine(std::string s) {
    for (auto& c : s)
        if (c == '\n' || c == '\t') c = ' ';
    return s;
}

std::string quoted(const std::optional<std::string>& s) {
    return s ? "\"" + *s + "\"" : std::string("-");
}

std::string hex(std::size_t n, int digits = 4) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%0*zX", digits, n);
    return buf;
}

// Changed columns as "column before -> after"; an added or removed channel's as "column value".
std::string columnList(const std::vector<ColumnChange>& columns, ChangeKind kind) {
    std::string s;
    for (const auto& c : columns) {
        if (!s.empty()) s += ", ";
        s += c.column + " ";
        if (kind == ChangeKind::Changed)
            s += quoted(c.before) + " -> " + quoted(c.after);
        else
            s += quoted(kind == ChangeKind::Added ? c.after : c.before);
    }
    return s;
}

std::string rawList(const std::vector<RawByteChange>& raw, const TextSource& texts) {
    std::string s;
    for (const auto& r : raw) {
        if (!s.empty()) s += ", ";
        s += formatText(texts.text(r.name ? kTextDiffNameByte : kTextDiffRecordByte), {hex(r.offset, 2)}) +
             " " + hex(r.before, 2) + " -> " + hex(r.after, 2);
    }
    return s;
}

} // namespace

std::string areaName(Area area) {
    switch (area) {
    case Area::Main:
        return "main";
    case Area::Dtmf:
        return "DTMF";
    case Area::Ext:
        return "extension";
    }
    return {};
}

DataSetDiff compareDataSets(const Document& before, const Document& after, const TextSource& texts,
                            MessageBoxes& boxes) {
    DataSetDiff diff;
    if (before.image().working() == after.image().working()) return diff;
    const View a = viewOf(before, texts, boxes), b = viewOf(after, texts, boxes);
    compareGroups(before, a, b, texts, diff);
    compareFields(a, b, diff);
    compareIdentification(before.image().working(), after.image().working(), diff);
    diff.bytes = unseenRanges(before, after, a, b, diff, texts);
    return diff;
}

std::vector<std::string> diffLines(const DataSetDiff& diff, const TextSource& texts) {
    std::vector<std::string> lines;
    auto say = [&](int text, std::initializer_list<std::string_view> args) {
        return formatText(texts.text(text), args);
    };
    for (const auto& g : diff.groups) {
        const std::string group = std::to_string(g.group + 1);
        const int text = g.kind == ChangeKind::Added     ? kTextDiffGroupAdded
                         : g.kind == ChangeKind::Removed ? kTextDiffGroupRemoved
                                                         : kTextDiffGroupChanged;
        std::string line = say(text, {group});
        if (!g.columns.empty()) line += ": " + columnList(g.columns, ChangeKind::Changed);
        lines.push_back(std::move(line));
        for (const auto& c : g.channels) {
            const std::string channel = std::to_string(c.channel + 1);
            const int ct = c.kind == ChangeKind::Added     ? kTextDiffChannelAdded
                           : c.kind == ChangeKind::Removed ? kTextDiffChannelRemoved
                                                           : kTextDiffChannelChanged;
            std::string cl = "  " + say(ct, {channel});
            std::string values = columnList(c.columns, c.kind);
            if (!c.raw.empty()) values += (values.empty() ? "" : ", ") + rawList(c.raw, texts);
            if (!values.empty()) cl += ": " + values;
            lines.push_back(std::move(cl));
        }
    }
    for (const auto& f : diff.fields)
        lines.push_back(say(kTextDiffField, {f.key}) + ": " + quoted(f.before) + " -> " + quoted(f.after));
    for (const auto& i : diff.identification)
        lines.push_back(std::string(texts.text(i.text)) + ": " + hex(i.before, i.digits) + " -> " +
                        hex(i.after, i.digits));
    for (const auto& r : diff.bytes)
        lines.push_back(say(kTextDiffBytes, {areaName(r.area), hex(r.begin) + "-" + hex(r.end - 1)}) + " (" +
                        std::to_string(r.end - r.begin) + ")");
    if (lines.empty()) lines.emplace_back(texts.text(kTextDiffSame));
    return lines;
}

std::string sidesLine(std::string_view before, std::string_view after, const TextSource& texts) {
    return formatText(texts.text(kTextDiffSides), {before, after});
}

std::optional<FileComparison> compareWithDataFile(const Document& current, const std::string& path,
                                                  const TextSource& texts, MessageBoxes& boxes) {
    Recorder recorder;
    MessageBoxes recorded(recorder, texts);
    auto other = std::make_unique<Document>(current.options());
    if (openWithoutDialogs(*other, recorded, path) != CommandOutcome::Done) {
        for (const auto& m : recorder.shown)
            boxes.show(m);
        return std::nullopt;
    }
    const std::string& name = other->fileName();
    FileComparison out;
    out.sides = sidesLine(name, formatText(texts.text(kTextDiffOpenDataSet), {current.fileName()}), texts);
    for (const auto& m : recorder.shown)
        out.notes.push_back(formatText(texts.text(kTextDiffNote), {name, oneLine(m.text)}));
    out.lines = diffLines(compareDataSets(*other, current, texts, boxes), texts);
    return out;
}

} // namespace velora
