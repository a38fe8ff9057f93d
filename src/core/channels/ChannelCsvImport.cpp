#include "channels/ChannelCsvImport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "channels/ChannelCsv.h"
#include "channels/ChannelLayout.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "forms/CharClass.h"
#include "model/Bytes.h"
#include "model/ModelCatalogue.h"
#include "model/ToneCodec.h"

namespace velora {

namespace csvimport {

MsgAnswer LineMessenger::show(const Message& m) {
    if (m.icon == MsgIcon::Warning || m.icon == MsgIcon::Question) ++warnings;
    if (where.empty()) return next_.show(m);
    Message lined = m;
    lined.text = where + ": " + m.text;
    return next_.show(lined);
}

std::string trim(std::string s) {
    auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

std::string lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<DataRow> nextDataRow(std::istream& in, int& line, const std::vector<std::string>& columns,
                                   const std::string& source, std::string& error) {
    std::string readError;
    while (true) {
        const int first = line + 1;
        auto rec = readCsvRecord(in, line, readError);
        if (!rec) return std::nullopt;
        const std::string where = source + ": line " + std::to_string(first);
        if (!readError.empty()) {
            error = where + ": " + readError + "; nothing imported";
            return std::nullopt;
        }
        if (rec->size() == 1 && trim((*rec)[0]).empty()) continue;
        if (rec->size() > columns.size()) {
            error = where + ": more fields than the header names; nothing imported";
            return std::nullopt;
        }
        DataRow row{first, where, {}};
        for (std::size_t i = 0; i < rec->size(); ++i)
            row.cells[columns[i]] = (*rec)[i];
        return row;
    }
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Up to `intDigits` digits, optionally a '.' and more digits; at least one digit in all.
bool isDecimal(const std::string& s, std::size_t intDigits) {
    const auto dot = s.find('.');
    const std::string whole = s.substr(0, dot), frac = dot == std::string::npos ? "" : s.substr(dot + 1);
    return whole.size() <= intDigits && !(whole.empty() && frac.empty()) &&
           std::all_of(whole.begin(), whole.end(), isDigit) && std::all_of(frac.begin(), frac.end(), isDigit);
}

// A CTCSS value or a DCS code "D" + three digits + optional N or I (already in capitals).
bool isToneText(const std::string& s) {
    if (!s.empty() && s[0] == 'D')
        return (s.size() == 4 || (s.size() == 5 && (s[4] == 'N' || s[4] == 'I'))) &&
               std::all_of(s.begin() + 1, s.begin() + 4, isDigit);
    return isDecimal(s, 3);
}

// A decimal text in tenths; nothing when a digit past the tenths is not 0.
std::optional<long> tenthsOf(const std::string& s) {
    const auto dot = s.find('.');
    const std::string whole = s.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : s.substr(dot + 1);
    if (frac.size() > 1 && frac.find_first_not_of('0', 1) != std::string::npos) return std::nullopt;
    return std::stol(whole.empty() ? "0" : whole) * 10 + (frac.empty() ? 0 : frac[0] - '0');
}

// The channel step may round a frequency down without a message, as the grid shows the result at
// once; in a list a warning names it.
bool storeTypedFrequency(ChannelStore& store, MessageBoxes& boxes, const LineMessenger& lines, int g, int c,
                         ChannelField field, const std::string& typed) {
    const int warningsBefore = lines.warnings;
    const bool accepted = store.setChannelFieldText(typed, g, c, field, &boxes);
    // A band message has already told of a value that changed.
    if (lines.warnings != warningsBefore || !store.channelExists(g, c)) return accepted;
    const std::string stored = trim(store.channelFieldText(g, c, field).text);
    const FrequencyCodec& codec = store.document().codec();
    auto units = [&](const std::string& text) { return std::llround(codec.parse(text) * 100000.0); }; // 10 Hz
    const long long wanted = units(typed);
    if (stored.empty() || units(stored) == wanted) return accepted;
    constexpr long long kFineStepUnits = 125; // 1.25 kHz
    const bool fineStepWouldKeep = !codec.fineStep() && wanted % kFineStepUnits == 0;
    boxes.warningText(
        std::string(field == ChannelField::RxFrequency ? "rx " : "tx ") + typed + " was stored as " + stored +
        (fineStepWouldKeep ? ": the 1.25 kHz step needs --fine-step" : ": rounded down to the channel step"));
    return accepted;
}

} // namespace

MsgAnswer Recorder::show(const Message& m) {
    shown.push_back(m);
    return firstButtonAnswer(m.buttons);
}

std::string storeListFrequency(ChannelStore& store, MessageBoxes& boxes, const LineMessenger& lines, int g,
                               int c, ChannelField field, const std::string& typed,
                               const std::string& label) {
    const bool transmit = field == ChannelField::TxFrequency;
    const auto rec = store.channelRecord(g, c);
    const bool unit2 = !rec.empty() && (le16(rec, chlayout::kRecFlagsB) & chlayout::kBModel2);
    const FrequencyCodec& codec = store.document().codec();
    std::string checked = typed;
    codec.checkChannelFrequency(checked, identificationOf(store.document().image()), unit2, transmit);
    // Beyond the wide limits the grid puts the band edge in place of the value.
    constexpr double kHalfStep = 0.000005; // MHz, half the 10 Hz resolution
    if (std::abs(codec.parse(checked) - codec.parse(typed)) > kHalfStep)
        return label + " is outside the radio's band (the grid would make it " + trim(checked) + ")";
    // Inside the wide limits a value outside the band is kept as typed; the band warning tells of it.
    storeTypedFrequency(store, boxes, lines, g, c, field, typed);
    return store.channelExists(g, c) ? std::string() : "no room left in the channel pool";
}

std::string listTone(const std::string& written, std::string_view offText, char point, std::string& grid) {
    std::string t = trim(written);
    for (auto& ch : t)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (t.empty() || t == "OFF") {
        grid = std::string(offText);
        return {};
    }
    if (!isToneText(t)) return "is neither Off, a CTCSS tone nor a DCS code like D023N";
    if (t[0] == 'D' && t.size() == 4) t += 'N';
    // The tone texts clamp and pad what they cannot read; only an exact choice is the value written.
    const std::uint16_t word = textToTone(t, offText, '.');
    const std::string back = toneToText(word, offText, '.');
    const bool same = t[0] == 'D' ? back == t : back[0] != 'D' && tenthsOf(t) == tenthsOf(back);
    if (!same || !toneChoiceIndex(word)) return "is not one the radio offers";
    grid = toneToText(word, offText, point);
    return {};
}

std::string listName(const std::string& written, int length, MessageBoxes& boxes, std::string& grid) {
    const auto first = written.find_first_not_of(' '), last = written.find_last_not_of(' ');
    const std::string name = first == std::string::npos ? "" : written.substr(first, last - first + 1);
    grid.clear();
    for (unsigned char ch : name) {
        const forms::EditContext ctx{grid, static_cast<int>(grid.size()), 0, '.'};
        const forms::CharVerdict v = forms::filterTypedChar(forms::CharClass::Name, ctx, ch);
        if (!v.accept || v.insert > 0xFF) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", ch);
            const std::string shown = ch > 0x20 && ch < 0x7F ? "'" + std::string(1, char(ch)) + "'" : code;
            return "has the character " + shown + ", which a channel name cannot hold";
        }
        grid += static_cast<char>(v.insert);
    }
    if (static_cast<int>(grid.size()) > length) {
        boxes.warningText("name '" + name + "' cut to " + std::to_string(length) + " characters");
        grid.resize(static_cast<std::size_t>(length));
    }
    return {};
}

bool storeListBandwidth(ChannelStore& store, MessageBoxes& boxes, int g, int c, bool wide) {
    if (!channelHasBandwidthChoice(store, boxes, g, c)) return false;
    auto rec = store.channelRecord(g, c);
    const std::uint16_t a = le16(rec, chlayout::kRecFlagsA);
    setLe16(rec, chlayout::kRecFlagsA, wide ? (a | chlayout::kAWide) : (a & ~chlayout::kAWide));
    store.checkNarrowband(g, c, &boxes); // warns when the rule keeps the channel narrow
    return true;
}

} // namespace csvimport

namespace {

using namespace csvimport;
using namespace chlayout;

constexpr int kTextOff = 262;

std::optional<int> parseInt(const std::string& s, int lo, int hi) {
    if (s.empty() || s.size() > 6 ||
        !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    int v = std::stoi(s);
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

bool isFrequencyText(const std::string& s) {
    return isDecimal(s, 4);
}

struct RowContext {
    ChannelStore& store;
    MessageBoxes& boxes; // prefixed with the row's line
    LineMessenger& lines;
};

// Applies one row as grid entries would. Returns an error text when the row refuses the import.
std::string applyRow(RowContext& x, const std::map<std::string, std::string>& row) {
    ChannelStore& store = x.store;
    auto get = [&](const std::string& k) {
        auto it = row.find(k);
        return it == row.end() ? std::string() : trim(it->second);
    };
    auto g = parseInt(get("group"), 1, kGroups);
    if (!g) return "group '" + get("group") + "' is not a group number 1 to 160";
    auto c = parseInt(get("channel"), 1, store.perGroupLimit());
    if (!c)
        return "channel '" + get("channel") + "' is not a channel number 1 to " +
               std::to_string(store.perGroupLimit());
    const int gi = *g - 1, ci = *c - 1;

    const std::string rx = get("rx"), tx = get("tx");
    if (rx.empty()) {
        if (store.channelExists(gi, ci))
            store.setChannelFieldText("", gi, ci, ChannelField::RxFrequency, &x.boxes);
        return {};
    }
    if (!isFrequencyText(rx)) return "rx '" + rx + "' is not a frequency in MHz";
    // Typed into the grid a zero deletes the channel; in a file it is far more likely a blank cell
    // that a spreadsheet filled in, and the row's other columns would be lost. An empty rx deletes.
    if (store.document().codec().isNoFrequencyText(rx))
        return "rx '" + rx + "' is no frequency; leave rx empty to delete the channel";
    if (!tx.empty() && !isFrequencyText(tx)) return "tx '" + tx + "' is not a frequency in MHz";
    const char point = store.document().codec().decimalSeparator();
    const char* toneColumns[2] = {"decode", "encode"};
    std::string tones[2];
    for (int i = 0; i < 2; ++i)
        if (auto why = listTone(get(toneColumns[i]), x.boxes.text(kTextOff), point, tones[i]); !why.empty())
            return std::string(toneColumns[i]) + " '" + get(toneColumns[i]) + "' " + why;
    auto scan = parseInt(get("scan_add").empty() ? "1" : get("scan_add"), 0, 1);
    if (!scan) return "scan_add '" + get("scan_add") + "' is not 0 or 1";
    auto signalling = parseInt(get("signalling").empty() ? "0" : get("signalling"), 0, 4);
    if (!signalling) return "signalling '" + get("signalling") + "' is not 0 to 4";
    std::string name;
    if (store.channelNameLength() > 0) {
        const auto cell = row.find("name");
        const std::string written = cell == row.end() ? std::string() : cell->second;
        if (auto why = listName(written, store.channelNameLength(), x.boxes, name); !why.empty())
            return "name '" + written + "' " + why;
    }

    if (auto why = storeListFrequency(store, x.boxes, x.lines, gi, ci, ChannelField::RxFrequency, rx,
                                      "rx '" + rx + "'");
        !why.empty())
        return why;
    if (auto why = storeListFrequency(store, x.boxes, x.lines, gi, ci, ChannelField::TxFrequency, tx,
                                      "tx '" + tx + "'");
        !why.empty())
        return why;
    store.setChannelFieldText(tones[0], gi, ci, ChannelField::Decode, &x.boxes);
    store.setChannelFieldText(tones[1], gi, ci, ChannelField::Encode, &x.boxes);
    if (store.channelNameLength() > 0) store.setChannelFieldText(name, gi, ci, ChannelField::Name, &x.boxes);
    store.setChannelChoice(gi, ci, ChannelField::ScanAdd, *scan);
    store.setChannelChoice(gi, ci, ChannelField::Signalling, *signalling);

    // The further record fields, when the CSV has them.
    auto rec = store.channelRecord(gi, ci);
    std::uint16_t a = le16(rec, kRecFlagsA), b = le16(rec, kRecFlagsB);
    auto bit = [&](const char* key, std::uint16_t& word, std::uint16_t mask, bool inverted) -> std::string {
        if (!row.count(key) || get(key).empty()) return {};
        auto v = parseInt(get(key), 0, 1);
        if (!v) return std::string(key) + " '" + get(key) + "' is not 0 or 1";
        word = ((*v != 0) != inverted) ? (word | mask) : (word & ~mask);
        return {};
    };
    for (auto err : {bit("busy_lockout", a, kABusyLockout, false), bit("beat_shift", a, kABeatShift, false),
                     bit("ptt_id", a, kAPttId, false), bit("compander", b, kBCompanderOff, true)})
        if (!err.empty()) return err;
    if (row.count("power") && !get("power").empty()) {
        auto v = parseInt(get("power"), 0, 1);
        if (!v) return "power '" + get("power") + "' is not 0 or 1";
        a = static_cast<std::uint16_t>((a & ~kAPower) | (*v << kAPowerShift));
    }
    if (row.count("scrambler") && !get("scrambler").empty()) {
        auto v = lower(get("scrambler")) == "off" ? std::optional<int>(0) : parseInt(get("scrambler"), 1, 16);
        if (!v) return "scrambler '" + get("scrambler") + "' is not off or 1 to 16";
        b = static_cast<std::uint16_t>((b & 0xFF00) | (*v == 0 ? 0xFF : *v - 1));
    }
    std::optional<int> bandwidth;
    if (row.count("bandwidth") && !get("bandwidth").empty()) {
        bandwidth = parseInt(get("bandwidth"), 0, 1);
        if (!bandwidth) return "bandwidth '" + get("bandwidth") + "' is not 0 or 1";
    }
    setLe16(rec, kRecFlagsA, a);
    setLe16(rec, kRecFlagsB, b);
    // Bandwidth last, and only towards narrow unless the narrow-band rule allows wide.
    if (!bandwidth)
        store.checkNarrowband(gi, ci, &x.boxes);
    else if (!storeListBandwidth(store, x.boxes, gi, ci, *bandwidth == 1))
        x.boxes.warningText("bandwidth ignored: a low-band channel has no bandwidth setting");
    return {};
}

ChannelCsvResult importVeloraRows(std::istream& in, int& line, const std::vector<std::string>& columns,
                                  const std::string& source, ChannelStore& store, MessageBoxes& boxes,
                                  const ChannelCsvOptions& options) {
    ChannelCsvResult result;
    const auto& all = channelCsvColumns();
    for (std::size_t k = 0; k < kChannelCsvRequired; ++k)
        if (std::find(columns.begin(), columns.end(), all[k]) == columns.end()) {
            result.error = source + ": line 1: the header lacks the column '" + all[k] + "'";
            return result;
        }
    Recorder recorder;
    LineMessenger lines(recorder);
    MessageBoxes lineBoxes(lines, boxes.texts());
    RowContext x{store, lineBoxes, lines};
    MemoryImage& image = store.document().image();
    while (auto row = nextDataRow(in, line, columns, source, result.error)) {
        // A refused row leaves every channel as it was; its messages told of values not kept.
        const ImageCopy before = image.working();
        recorder.shown.clear();
        lines.where = row->where;
        if (auto refused = applyRow(x, row->cells); !refused.empty()) {
            image.working() = before;
            result.unusable.push_back(row->where + ": " + refused);
            continue;
        }
        for (const Message& m : recorder.shown)
            boxes.messenger().show(m);
        ++result.rows;
    }
    if (!result.error.empty()) return result;
    if (!result.unusable.empty() && !options.skipUnusable) {
        result.error = source + ": " + std::to_string(result.unusable.size()) +
                       " row(s) the radio cannot hold; nothing imported";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

ChannelCsvFormat channelCsvFormatOf(const std::vector<std::string>& header) {
    bool location = false, frequency = false;
    for (const auto& h : header) {
        const std::string k = lower(trim(h));
        location = location || k == "location";
        frequency = frequency || k == "frequency";
    }
    return location && frequency ? ChannelCsvFormat::Chirp : ChannelCsvFormat::Velora;
}

std::optional<std::vector<std::string>> readChannelCsvHeader(std::istream& in, int& line) {
    std::string error;
    auto header = readCsvRecord(in, line, error);
    if (!header || !error.empty()) return std::nullopt;
    // Strip a byte-order mark that spreadsheet programs put before the first column name.
    if (!header->empty() && header->front().rfind("\xEF\xBB\xBF", 0) == 0) header->front().erase(0, 3);
    for (auto& h : *header)
        h = lower(trim(h));
    return header;
}

std::optional<ChannelCsvFormat> channelCsvFormatOf(std::istream& in) {
    int line = 0;
    const auto header = readChannelCsvHeader(in, line);
    return header ? std::optional(channelCsvFormatOf(*header)) : std::nullopt;
}

ChannelCsvResult importChannelCsv(std::istream& in, const std::string& source, ChannelStore& store,
                                  MessageBoxes& boxes, const ChannelCsvOptions& options) {
    int line = 0;
    const auto header = readChannelCsvHeader(in, line);
    if (!header) {
        ChannelCsvResult result;
        result.error = source + ": no header line";
        return result;
    }
    const std::vector<std::string>& columns = *header;

    // All or nothing: a refusal puts the working copy back as it was.
    MemoryImage& image = store.document().image();
    const ImageCopy before = image.working();
    const ChannelCsvFormat format = channelCsvFormatOf(columns);
    ChannelCsvResult result = format == ChannelCsvFormat::Chirp
                                  ? importChirpRows(in, line, columns, source, store, boxes, options)
                                  : importVeloraRows(in, line, columns, source, store, boxes, options);
    result.format = format;
    if (!result.ok || options.trial) image.working() = before;
    return result;
}

void writeChannelCsv(std::ostream& out, ChannelStore& store, MessageBoxes& boxes) {
    const auto& columns = channelCsvColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        out << (i ? "," : "") << columns[i];
    out << '\n';
    for (int g = 0; g < kGroups; ++g)
        for (int c : store.channelNumbers(g)) {
            const auto row = channelCsvRow(store, boxes, g, c);
            for (std::size_t i = 0; i < row.size(); ++i)
                out << (i ? "," : "") << csvField(row[i]);
            if (!row.empty()) out << '\n';
        }
}

} // namespace velora
