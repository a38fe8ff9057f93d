#include "dataset/DataSetDiff.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "channels/ChannelCsv.h"
#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "features/FieldAccess.h"

namespace velora {

namespace {

constexpr Area kAreas[] = {Area::Main, Area::Dtmf, Area::Ext};
// Differing bytes this close together form one range: a changed value of several bytes is one place.
constexpr std::size_t kRangeGap = 4;
// Above this many ranges the data sets differ wholesale; each range is then reported as it is,
// without asking whether it shows anywhere.
constexpr std::size_t kMaxProbes = 256;

// Everything a user can see of a data set, by a stable key: channel rows, group names, fields.
struct View {
    std::map<int, std::string> groupNames;                           // used groups only
    std::map<int, std::map<int, std::vector<std::string>>> channels; // group -> channel -> row
    std::map<std::string, std::string> fields;
    bool operator==(const View&) const = default;
};

View viewOf(const Document& source, const TextSource& texts, MessageBoxes& boxes) {
    // The readers take a document they could change; they get a copy so the caller's stays as it was.
    auto doc = std::make_unique<Document>(source);
    View v;
    ChannelStore store(*doc, texts);
    for (int g = 0; g < chlayout::kGroups; ++g) {
        if (!store.groupUsed(g)) continue;
        v.groupNames[g] = store.groupNameText(g);
        auto& rows = v.channels[g];
        for (int c : store.channelNumbers(g))
            if (auto row = channelCsvRow(store, boxes, g, c); !row.empty()) rows[c] = std::move(row);
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

void compareGroups(const View& a, const View& b, DataSetDiff& diff) {
    for (int g = 0; g < chlayout::kGroups; ++g) {
        const bool inA = a.groupNames.count(g) != 0, inB = b.groupNames.count(g) != 0;
        if (!inA && !inB) continue;
        GroupChange gc;
        gc.group = g;
        gc.kind = !inA ? ChangeKind::Added : !inB ? ChangeKind::Removed : ChangeKind::Changed;
        static const std::map<int, std::vector<std::string>> kNone;
        const auto& rowsA = inA ? a.channels.at(g) : kNone;
        const auto& rowsB = inB ? b.channels.at(g) : kNone;
        if (inA && inB && a.groupNames.at(g) != b.groupNames.at(g))
            gc.columns.push_back({"name", a.groupNames.at(g), b.groupNames.at(g)});
        std::map<int, int> numbers; // channel -> 1 in A, 2 in B, 3 in both
        for (const auto& [c, row] : rowsA)
            numbers[c] |= 1;
        for (const auto& [c, row] : rowsB)
            numbers[c] |= 2;
        for (const auto& [c, where] : numbers) {
            ChannelChange cc;
            cc.channel = c;
            if (where == 3) {
                cc.columns = rowChanges(rowsA.at(c), rowsB.at(c));
                if (cc.columns.empty()) continue;
            } else {
                cc.kind = where == 2 ? ChangeKind::Added : ChangeKind::Removed;
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

std::vector<ByteRange> differingRanges(const ImageCopy& a, const ImageCopy& b) {
    std::vector<ByteRange> out;
    for (Area area : kAreas) {
        const auto x = a.area(area), y = b.area(area);
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x[i] == y[i]) continue;
            if (!out.empty() && out.back().area == area && i - out.back().end <= kRangeGap)
                out.back().end = i + 1;
            else
                out.push_back({area, i, i + 1});
        }
    }
    return out;
}

// Copies one range of `from`'s working copy into `to`'s.
void copyRange(const Document& from, Document& to, const ByteRange& r) {
    const auto src = from.image().working().area(r.area);
    auto dst = to.image().working().area(r.area);
    std::copy(src.begin() + static_cast<std::ptrdiff_t>(r.begin),
              src.begin() + static_cast<std::ptrdiff_t>(r.end),
              dst.begin() + static_cast<std::ptrdiff_t>(r.begin));
}

// The ranges whose difference shows nowhere: taking just that range over from the other data set
// changes nothing either side shows. Both ways, since a new channel's name shows only together
// with its list entry.
std::vector<ByteRange> unseenRanges(const Document& before, const Document& after, const View& viewBefore,
                                    const View& viewAfter, const TextSource& texts, MessageBoxes& boxes) {
    std::vector<ByteRange> ranges = differingRanges(before.image().working(), after.image().working());
    if (ranges.size() > kMaxProbes) return ranges;
    std::vector<ByteRange> out;
    auto forward = std::make_unique<Document>(before);
    auto backward = std::make_unique<Document>(after);
    for (const ByteRange& r : ranges) {
        copyRange(after, *forward, r);
        copyRange(before, *backward, r);
        if (viewOf(*forward, texts, boxes) == viewBefore && viewOf(*backward, texts, boxes) == viewAfter)
            out.push_back(r);
        copyRange(before, *forward, r);
        copyRange(after, *backward, r);
    }
    return out;
}

std::string quoted(const std::optional<std::string>& s) {
    return s ? "\"" + *s + "\"" : std::string("-");
}

std::string hex(std::size_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04zX", n);
    return buf;
}

std::string columnList(const std::vector<ColumnChange>& columns) {
    std::string s;
    for (const auto& c : columns) {
        if (!s.empty()) s += ", ";
        s += c.column + " " + quoted(c.before) + " -> " + quoted(c.after);
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
    compareGroups(a, b, diff);
    compareFields(a, b, diff);
    diff.bytes = unseenRanges(before, after, a, b, texts, boxes);
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
        if (!g.columns.empty()) line += ": " + columnList(g.columns);
        lines.push_back(std::move(line));
        for (const auto& c : g.channels) {
            const std::string channel = std::to_string(c.channel + 1);
            const int ct = c.kind == ChangeKind::Added     ? kTextDiffChannelAdded
                           : c.kind == ChangeKind::Removed ? kTextDiffChannelRemoved
                                                           : kTextDiffChannelChanged;
            std::string cl = "  " + say(ct, {channel});
            if (!c.columns.empty()) cl += ": " + columnList(c.columns);
            lines.push_back(std::move(cl));
        }
    }
    for (const auto& f : diff.fields)
        lines.push_back(say(kTextDiffField, {f.key}) + ": " + quoted(f.before) + " -> " + quoted(f.after));
    for (const auto& r : diff.bytes)
        lines.push_back(say(kTextDiffBytes, {areaName(r.area), hex(r.begin) + "-" + hex(r.end - 1)}) + " (" +
                        std::to_string(r.end - r.begin) + ")");
    if (lines.empty()) lines.emplace_back(texts.text(kTextDiffSame));
    return lines;
}

} // namespace velora
