// velora-cli channels export / import: the channel grid as CSV.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>

#include "CliArgs.h"
#include "CliSession.h"
#include "Csv.h"
#include "channels/ChEditArea.h"
#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "model/ToneCodec.h"

namespace velora::cli {

namespace {

constexpr int kTextOff = 262;
const std::vector<std::string> kRequired = {"group",  "channel", "rx",       "tx",        "decode",
                                            "encode", "name",    "scan_add", "signalling"};
// Further channel-record fields, exported as stored values.
const std::vector<std::string> kExtra = {"power",  "bandwidth", "busy_lockout", "beat_shift",
                                         "ptt_id", "scrambler", "compander",    "radio_unit"};

using namespace chlayout;
constexpr std::size_t kFlagsA = kRecFlagsA, kFlagsB = kRecFlagsB;

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

std::string toneCsv(std::uint16_t word) {
    return word == 0xFFFF ? "Off" : toneToText(word, "Off", '.');
}

// Whether the channel's model offers a bandwidth choice; on a low-band channel the bit that holds the
// bandwidth elsewhere is the noise blanker's copy, which belongs to the radio-wide setting.
bool hasBandwidthChoice(CliSession& s, ChannelStore& store, int g, int c) {
    channels::ChEditArea edit(store, s.boxes);
    edit.setChannel(g, c);
    return edit.isFieldEnabled(0, channels::chedit::kBandwidth);
}

long long frequencyUnits(const FrequencyCodec& codec, const std::string& text) {
    return std::llround(codec.parse(text) * 100000.0); // 10 Hz units
}

// Stores a frequency as typed into the grid. The channel step may round it down without a message
// (in the grid the user sees the result at once); here the row's line is named instead.
void storeFrequency(CliSession& s, ChannelStore& store, int g, int c, ChannelField field,
                    const std::string& typed) {
    const int warningsBefore = s.messenger.warnings;
    store.setChannelFieldText(typed, g, c, field, &s.boxes);
    // A band message has already told of a value that changed.
    if (s.messenger.warnings != warningsBefore || !store.channelExists(g, c)) return;
    const std::string stored = trim(store.channelFieldText(g, c, field).text);
    const FrequencyCodec& codec = s.doc.codec();
    const long long wanted = frequencyUnits(codec, typed);
    if (stored.empty() || frequencyUnits(codec, stored) == wanted) return;
    constexpr long long kFineStepUnits = 125; // 1.25 kHz
    const bool fineStepWouldKeep = !codec.fineStep() && wanted % kFineStepUnits == 0;
    s.boxes.warningText(
        std::string(field == ChannelField::RxFrequency ? "rx " : "tx ") + typed + " was stored as " + stored +
        (fineStepWouldKeep ? ": the 1.25 kHz step needs --fine-step" : ": rounded down to the channel step"));
}

} // namespace

static int exportChannels(CliSession& s, const std::string& path) {
    if (!s.open(path)) return kExitFailure;
    ChannelStore store(s.doc, s.texts);
    std::cout << "group,channel,rx,tx,decode,encode,name,scan_add,signalling";
    for (const auto& e : kExtra)
        std::cout << ',' << e;
    std::cout << '\n';
    for (int g = 0; g < kGroups; ++g) {
        for (int c : store.channelNumbers(g)) {
            auto rec = store.channelRecord(g, c);
            if (rec.empty()) continue;
            auto field = [&](ChannelField f) { return store.channelFieldText(g, c, f); };
            const std::string bandwidth =
                hasBandwidthChoice(s, store, g, c) ? ((le16(rec, kFlagsA) & kAWide) ? "1" : "0") : "";
            const std::uint16_t a = le16(rec, kFlagsA), b = le16(rec, kFlagsB);
            const int scrambler = b & 0xFF;
            std::cout << g + 1 << ',' << c + 1 << ',' << trim(field(ChannelField::RxFrequency).text) << ','
                      << trim(field(ChannelField::TxFrequency).text) << ',' << toneCsv(le16(rec, kRecDecode))
                      << ',' << toneCsv(le16(rec, kRecEncode)) << ',' << csvField(store.channelNameText(g, c))
                      << ',' << ((a >> 11) & 1) << ',' << (a & 7) << ',' << ((a & kAPower) >> kAPowerShift)
                      << ',' << bandwidth << ',' << ((a & kABusyLockout) ? 1 : 0) << ','
                      << ((a & kABeatShift) ? 1 : 0) << ',' << ((a & kAPttId) ? 1 : 0) << ','
                      << (scrambler == 0xFF ? std::string("off") : std::to_string(scrambler + 1)) << ','
                      << ((b & kBCompanderOff) ? 0 : 1) << ',' << ((b & kBModel2) ? 2 : 1) << '\n';
        }
    }
    return kExitOk;
}

namespace {

// Applies one CSV row as grid entries would. Returns an error text when the row refuses the import.
std::string applyRow(CliSession& s, ChannelStore& store, const std::map<std::string, std::string>& row) {
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
            store.setChannelFieldText("", gi, ci, ChannelField::RxFrequency, &s.boxes);
        return {};
    }
    if (!isFrequencyText(rx)) return "rx '" + rx + "' is not a frequency in MHz";
    // Typed into the grid a zero deletes the channel; in a file it is far more likely a blank cell
    // that a spreadsheet filled in, and the row's other columns would be lost. An empty rx deletes.
    if (s.doc.codec().isNoFrequencyText(rx))
        return "rx '" + rx + "' is no frequency; leave rx empty to delete the channel";
    if (!tx.empty() && !isFrequencyText(tx)) return "tx '" + tx + "' is not a frequency in MHz";
    std::string tones[2] = {get("decode"), get("encode")};
    for (auto& t : tones) {
        // The tone editor takes capitals only, as its character class makes of typed letters.
        for (auto& ch : t)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (t.empty() || t == "OFF")
            t = std::string(s.texts.text(kTextOff));
        else if (!isToneText(t))
            return "tone '" + t + "' is neither Off, a CTCSS tone nor a DCS code like D023N";
    }
    auto scan = parseInt(get("scan_add").empty() ? "1" : get("scan_add"), 0, 1);
    if (!scan) return "scan_add '" + get("scan_add") + "' is not 0 or 1";
    auto signalling = parseInt(get("signalling").empty() ? "0" : get("signalling"), 0, 4);
    if (!signalling) return "signalling '" + get("signalling") + "' is not 0 to 4";

    storeFrequency(s, store, gi, ci, ChannelField::RxFrequency, rx);
    if (!store.channelExists(gi, ci))
        return "no room for channel " + std::to_string(*c) + " of group " + std::to_string(*g);
    storeFrequency(s, store, gi, ci, ChannelField::TxFrequency, tx);
    store.setChannelFieldText(tones[0], gi, ci, ChannelField::Decode, &s.boxes);
    store.setChannelFieldText(tones[1], gi, ci, ChannelField::Encode, &s.boxes);
    std::string name = get("name");
    if (store.channelNameLength() > 0) {
        if (static_cast<int>(name.size()) > store.channelNameLength()) {
            s.boxes.warningText("name '" + name + "' cut to " + std::to_string(store.channelNameLength()) +
                                " characters");
            name.resize(static_cast<std::size_t>(store.channelNameLength()));
        }
        store.setChannelFieldText(name, gi, ci, ChannelField::Name, &s.boxes);
    }
    store.setChannelChoice(gi, ci, ChannelField::ScanAdd, *scan);
    store.setChannelChoice(gi, ci, ChannelField::Signalling, *signalling);

    // The further record fields, when the CSV has them.
    auto rec = store.channelRecord(gi, ci);
    std::uint16_t a = le16(rec, kFlagsA), b = le16(rec, kFlagsB);
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
        if (hasBandwidthChoice(s, store, gi, ci))
            a = *v ? (a | kAWide) : (a & ~kAWide);
        else
            s.boxes.warningText("bandwidth ignored: a low-band channel has no bandwidth setting");
    }
    setLe16(rec, kFlagsA, a);
    setLe16(rec, kFlagsB, b);
    store.checkNarrowband(gi, ci, &s.boxes);
    return {};
}

} // namespace

static int importChannels(CliSession& s, const std::string& path, const std::string& csvPath,
                          const std::string& out) {
    std::ifstream in(csvPath);
    if (!in) {
        printError("cannot read " + csvPath);
        return kExitFailure;
    }
    if (!s.open(path)) return kExitFailure;
    ChannelStore store(s.doc, s.texts);

    int line = 0;
    std::string error;
    auto header = readCsvRecord(in, line, error);
    if (!header || !error.empty()) {
        printError(csvPath + ": no header line");
        return kExitFailure;
    }
    std::vector<std::string> columns;
    for (auto& h : *header)
        columns.push_back(lower(trim(h)));
    for (const auto& k : kRequired)
        if (std::find(columns.begin(), columns.end(), k) == columns.end()) {
            printError(csvPath + ": line 1: the header lacks the column '" + k + "'");
            return kExitFailure;
        }
    int rows = 0;
    while (true) {
        const int first = line + 1;
        auto rec = readCsvRecord(in, line, error);
        if (!rec) break;
        const std::string where = csvPath + ": line " + std::to_string(first);
        if (!error.empty()) {
            printError(where + ": " + error + "; nothing imported");
            return kExitFailure;
        }
        if (rec->size() == 1 && trim((*rec)[0]).empty()) continue;
        if (rec->size() > columns.size()) {
            printError(where + ": more fields than the header names; nothing imported");
            return kExitFailure;
        }
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < rec->size(); ++i)
            row[columns[i]] = (*rec)[i];
        s.messenger.context = where;
        std::string refused = applyRow(s, store, row);
        s.messenger.context.clear();
        if (!refused.empty()) {
            printError(where + ": " + refused + "; nothing imported");
            return kExitFailure;
        }
        ++rows;
    }
    if (!s.save(out)) return kExitFailure;
    std::cerr << "velora-cli: imported " << rows << " row(s) into " << out << '\n';
    return kExitOk;
}

int cmdChannels(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"-o"}, {});
    const auto& p = a.positional();
    if (a.ok() && p.size() == 2 && p[0] == "export" && !a.value("-o")) return exportChannels(s, p[1]);
    if (a.ok() && p.size() == 3 && p[0] == "import")
        return importChannels(s, p[1], p[2], a.value("-o").value_or(p[1]));
    printError(a.ok() ? "usage: velora-cli channels export FILE | channels import FILE CSV [-o OUT]"
                      : a.error());
    return kExitUsage;
}

} // namespace velora::cli
