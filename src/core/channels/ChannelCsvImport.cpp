#include "channels/ChannelCsvImport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>

#include "channels/ChannelCsv.h"
#include "channels/ChannelLayout.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "model/Bytes.h"

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

bool isFrequencyText(const std::string& s) {
    return isDecimal(s, 4);
}

// A CTCSS value or a DCS code "D" + three digits + optional N or I (already in capitals).
bool isToneText(const std::string& s) {
    if (!s.empty() && s[0] == 'D')
        return (s.size() == 4 || (s.size() == 5 && (s[4] == 'N' || s[4] == 'I'))) &&
               std::all_of(s.begin() + 1, s.begin() + 4, isDigit);
    return isDecimal(s, 3);
}

struct RowContext {
    ChannelStore& store;
    MessageBoxes& boxes; // prefixed with the row's line
    LineMessenger& lines;
};

void storeFrequency(RowContext& x, int g, int c, ChannelField field, const std::string& typed) {
    storeTypedFrequency(x.store, x.boxes, x.lines, g, c, field, typed);
}

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
    std::string tones[2] = {get("decode"), get("encode")};
    for (auto& t : tones) {
        // The tone editor takes capitals only, as its character class makes of typed letters.
        for (auto& ch : t)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (t.empty() || t == "OFF")
            t = x.boxes.text(kTextOff);
        else if (!isToneText(t))
            return "tone '" + t + "' is neither Off, a CTCSS tone nor a DCS code like D023N";
    }
    auto scan = parseInt(get("scan_add").empty() ? "1" : get("scan_add"), 0, 1);
    if (!scan) return "scan_add '" + get("scan_add") + "' is not 0 or 1";
    auto signalling = parseInt(get("signalling").empty() ? "0" : get("signalling"), 0, 4);
    if (!signalling) return "signalling '" + get("signalling") + "' is not 0 to 4";

    storeFrequency(x, gi, ci, ChannelField::RxFrequency, rx);
    if (!store.channelExists(gi, ci))
        return "no room for channel " + std::to_string(*c) + " of group " + std::to_string(*g);
    storeFrequency(x, gi, ci, ChannelField::TxFrequency, tx);
    store.setChannelFieldText(tones[0], gi, ci, ChannelField::Decode, &x.boxes);
    store.setChannelFieldText(tones[1], gi, ci, ChannelField::Encode, &x.boxes);
    std::string name = get("name");
    if (store.channelNameLength() > 0) {
        if (static_cast<int>(name.size()) > store.channelNameLength()) {
            x.boxes.warningText("name '" + name + "' cut to " + std::to_string(store.channelNameLength()) +
                                " characters");
            name.resize(static_cast<std::size_t>(store.channelNameLength()));
        }
        store.setChannelFieldText(name, gi, ci, ChannelField::Name, &x.boxes);
    }
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
    // Bandwidth last, and only towards narrow unless the narrow-band rule allows wide.
    if (row.count("bandwidth") && !get("bandwidth").empty()) {
        auto v = parseInt(get("bandwidth"), 0, 1);
        if (!v) return "bandwidth '" + get("bandwidth") + "' is not 0 or 1";
        if (channelHasBandwidthChoice(store, x.boxes, gi, ci))
            a = *v ? (a | kAWide) : (a & ~kAWide);
        else
            x.boxes.warningText("bandwidth ignored: a low-band channel has no bandwidth setting");
    }
    setLe16(rec, kRecFlagsA, a);
    setLe16(rec, kRecFlagsB, b);
    store.checkNarrowband(gi, ci, &x.boxes);
    return {};
}

ChannelCsvResult importVeloraRows(std::istream& in, int& line, const std::vector<std::string>& columns,
                                  const std::string& source, ChannelStore& store, MessageBoxes& boxes) {
    ChannelCsvResult result;
    const auto& all = channelCsvColumns();
    for (std::size_t k = 0; k < kChannelCsvRequired; ++k)
        if (std::find(columns.begin(), columns.end(), all[k]) == columns.end()) {
            result.error = source + ": line 1: the header lacks the column '" + all[k] + "'";
            return result;
        }
    LineMessenger lines(boxes.messenger());
    MessageBoxes lineBoxes(lines, boxes.texts());
    RowContext x{store, lineBoxes, lines};
    while (auto row = nextDataRow(in, line, columns, source, result.error)) {
        lines.where = row->where;
        std::string refused = applyRow(x, row->cells);
        lines.where.clear();
        if (!refused.empty()) {
            result.error = row->where + ": " + refused + "; nothing imported";
            return result;
        }
        ++result.rows;
    }
    if (!result.error.empty()) return result;
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

ChannelCsvResult importChannelCsv(std::istream& in, const std::string& source, ChannelStore& store,
                                  MessageBoxes& boxes, const ChannelCsvOptions& options) {
    int line = 0;
    std::string error;
    auto header = readCsvRecord(in, line, error);
    if (!header || !error.empty()) {
        ChannelCsvResult result;
        result.error = source + ": no header line";
        return result;
    }
    // Strip a byte-order mark that spreadsheet programs put before the first column name.
    if (!header->empty() && header->front().rfind("\xEF\xBB\xBF", 0) == 0) header->front().erase(0, 3);
    std::vector<std::string> columns;
    for (auto& h : *header)
        columns.push_back(lower(trim(h)));

    // All or nothing: a refusal puts the working copy back as it was.
    MemoryImage& image = store.document().image();
    const ImageCopy before = image.working();
    const ChannelCsvFormat format = channelCsvFormatOf(columns);
    ChannelCsvResult result = format == ChannelCsvFormat::Chirp
                                  ? importChirpRows(in, line, columns, source, store, boxes, options)
                                  : importVeloraRows(in, line, columns, source, store, boxes);
    result.format = format;
    if (!result.ok) image.working() = before;
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
