#include "channels/ChirpCsv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "channels/ChannelCsv.h"
#include "channels/ChannelLayout.h"
#include "channels/CsvText.h"
#include "forms/CharClass.h"
#include "model/ToneCodec.h"

namespace velora {

namespace {

using namespace csvimport;

constexpr int kTextOff = 262;
constexpr long long kSplitAboveHz = 10000000; // wider frequency pairs are written as split

// "146.520000" as whole hertz; nothing for text that is not a frequency in MHz.
std::optional<long long> parseHz(const std::string& text) {
    const auto dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
    auto digits = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 5 || !digits(whole) || !digits(frac)) return std::nullopt;
    while (frac.size() > 6 && frac.back() == '0')
        frac.pop_back();
    if (frac.size() > 6) return std::nullopt;
    frac.resize(6, '0');
    return std::stoll(whole) * 1000000 + std::stoll(frac);
}

std::string hzToText(long long hz, int decimals, char point) {
    char buf[32];
    long long scale = 1;
    for (int i = decimals; i < 6; ++i)
        scale *= 10;
    std::snprintf(buf, sizeof buf, "%lld%c%0*lld", hz / 1000000, point, decimals, (hz % 1000000) / scale);
    return buf;
}

// A CTCSS value as CHIRP writes it ("88.5"), in the grid's own form; nothing for other text.
std::optional<std::string> ctcssText(const std::string& value, char point) {
    auto tenths = parseHz(value); // the same digits, read as millionths
    if (!tenths || *tenths <= 0 || *tenths >= 1000000000 || *tenths % 100000 != 0) return std::nullopt;
    return hzToText(*tenths, 1, point);
}

// DtcsCode "23" with polarity 'N' or 'R' → "D023N" / "D023I".
std::optional<std::string> dcsText(const std::string& code, char polarity) {
    if (code.empty() || code.size() > 3 ||
        !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '7'; }))
        return std::nullopt;
    if (polarity != 'N' && polarity != 'R') return std::nullopt;
    return "D" + std::string(3 - code.size(), '0') + code + (polarity == 'N' ? 'N' : 'I');
}

struct ChirpRow {
    int line = 0;
    std::string location;
    std::string rx, tx; // grid texts; tx empty for receive only
    std::string decode, encode;
    std::optional<bool> wide;
    bool scan = true;
    std::string name;
    int channel = -1;
    std::string refusal; // why the radio cannot hold the row; its channel is left as it was
};

std::string upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Reads one row into grid texts. Returns the reason when the radio cannot hold it.
std::string parseRow(const std::map<std::string, std::string>& cells, ChirpRow& row, char point,
                     std::string_view offText) {
    auto get = [&](const char* k) {
        auto it = cells.find(k);
        return it == cells.end() ? std::string() : trim(it->second);
    };
    row.location = get("location");
    // The name as written: the name rules, not the cell trimming, decide on tabs and line breaks.
    const auto name = cells.find("name");
    row.name = name == cells.end() ? std::string() : name->second;

    const std::string mode = upper(get("mode"));
    if (mode == "FM")
        row.wide = true;
    else if (mode == "NFM")
        row.wide = false;
    else if (!mode.empty())
        return "mode " + get("mode") + " is not one the radio can use (FM or NFM only)";

    const auto rx = parseHz(get("frequency"));
    if (!rx || *rx == 0) return "frequency '" + get("frequency") + "' is not a frequency in MHz";
    row.rx = hzToText(*rx, 5, point);
    const std::string duplex = lower(get("duplex"));
    std::optional<long long> tx = rx;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
        const auto offset = parseHz(get("offset"));
        if (!offset) return "offset '" + get("offset") + "' is not a frequency in MHz";
        tx = duplex == "split" ? *offset : duplex == "+" ? *rx + *offset : *rx - *offset;
        if (*tx <= 0) return "the transmit frequency falls below zero";
    } else if (duplex == "off") {
        tx.reset();
    } else if (!duplex.empty()) {
        return "duplex '" + get("duplex") + "' is not empty, +, -, split or off";
    }
    row.tx = tx ? hzToText(*tx, 5, point) : std::string();

    // Tones: the encoder is the transmit side, the decoder the receive side.
    const std::string tone = get("tone");
    std::string polarity = upper(get("dtcspolarity"));
    if (polarity.empty()) polarity = "NN";
    // Cross modes decode with RxDtcsCode where the list has it; DTCS uses DtcsCode both ways.
    const std::string rxCode =
        tone != "Cross" || get("rxdtcscode").empty() ? get("dtcscode") : get("rxdtcscode");
    // One side's tone: kind "Tone" reads the CTCSS column given, "DTCS" the code with its polarity.
    auto side = [&](const std::string& kind, const char* toneColumn, bool transmit, std::string& out) {
        std::optional<std::string> t;
        if (kind.empty()) return std::string();
        if (kind == "Tone") {
            t = ctcssText(get(toneColumn), '.');
            if (!t) return "tone '" + get(toneColumn) + "' is not a CTCSS tone";
        } else if (kind == "DTCS") {
            const std::string code = transmit ? get("dtcscode") : rxCode;
            if (polarity.size() == 2) t = dcsText(code, polarity[transmit ? 0 : 1]);
            if (!t) return "DTCS code '" + code + "' with polarity '" + polarity + "' is not a DCS code";
        } else {
            return "tone mode '" + kind + "' is not one the radio can use";
        }
        if (auto why = listTone(*t, offText, point, out); !why.empty()) return "tone " + *t + " " + why;
        return std::string();
    };
    std::string txKind, rxKind;
    const char* rxToneColumn = "ctonefreq";
    const char* txToneColumn = "rtonefreq";
    if (tone == "Tone") {
        txKind = "Tone";
    } else if (tone == "TSQL") {
        txKind = rxKind = "Tone";
        txToneColumn = "ctonefreq"; // tone squelch uses cToneFreq both ways
    } else if (tone == "DTCS") {
        txKind = rxKind = "DTCS";
    } else if (tone == "Cross") {
        const std::string cross = get("crossmode").empty() ? "Tone->Tone" : get("crossmode");
        const auto arrow = cross.find("->");
        if (arrow == std::string::npos) return "cross mode '" + cross + "' is not one the radio can use";
        txKind = cross.substr(0, arrow);
        rxKind = cross.substr(arrow + 2);
    } else if (!tone.empty()) {
        return "tone mode '" + tone + "' is not one the radio can use";
    }
    if (auto e = side(txKind, txToneColumn, true, row.encode); !e.empty()) return e;
    if (auto e = side(rxKind, rxToneColumn, false, row.decode); !e.empty()) return e;
    if (row.tx.empty()) row.encode.clear(); // a receive-only channel sends no tone
    row.scan = upper(get("skip")) != "S";
    return {};
}

// Stores one channel. Returns the reason when the radio refused part of it; the caller restores.
std::string applyRow(const ChirpRow& row, int g, ChannelStore& store, MessageBoxes& boxes,
                     const LineMessenger& lines, std::string_view offText) {
    const int c = row.channel;
    std::string name;
    if (store.channelNameLength() > 0)
        if (auto why = listName(row.name, store.channelNameLength(), boxes, name); !why.empty())
            return "name '" + row.name + "' " + why;
    if (store.channelExists(g, c)) {
        // The list replaces the channel: nothing of the old one stays behind.
        const int r = store.findRecord(g, c);
        store.initNewRecord(r);
        store.initNewNames(g, c);
    }
    if (auto why = storeListFrequency(store, boxes, lines, g, c, ChannelField::RxFrequency, row.rx,
                                      "receive frequency " + row.rx + " MHz");
        !why.empty())
        return why;
    if (auto why = storeListFrequency(store, boxes, lines, g, c, ChannelField::TxFrequency, row.tx,
                                      "transmit frequency " + row.tx + " MHz");
        !why.empty())
        return why;
    store.setChannelFieldText(row.decode.empty() ? std::string(offText) : row.decode, g, c,
                              ChannelField::Decode, &boxes);
    store.setChannelFieldText(row.encode.empty() ? std::string(offText) : row.encode, g, c,
                              ChannelField::Encode, &boxes);
    if (store.channelNameLength() > 0) store.setChannelFieldText(name, g, c, ChannelField::Name, &boxes);
    store.setChannelChoice(g, c, ChannelField::ScanAdd, row.scan ? 1 : 0);
    // On a low-band channel the mode says nothing the radio keeps per channel.
    if (!row.wide || !storeListBandwidth(store, boxes, g, c, *row.wide)) store.checkNarrowband(g, c, &boxes);
    return {};
}

// Numbers every row, refused ones too, so that a refused row never moves another: by Location when
// every row has a distinct one from 1, otherwise 1, 2, 3 ... in file order. A row numbered past the
// group's last channel gets none. True when the Locations are kept.
bool numberRows(std::vector<ChirpRow>& rows, int limit) {
    std::set<int> seen;
    bool byLocation = true;
    for (auto& r : rows) {
        const auto& loc = r.location;
        const bool number =
            !loc.empty() && loc.size() <= 6 &&
            std::all_of(loc.begin(), loc.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        const int n = number ? std::stoi(loc) : 0;
        if (n < 1 || !seen.insert(n).second) byLocation = false;
        r.channel = n <= limit ? n - 1 : -1;
    }
    if (byLocation) return true;
    int next = 0;
    for (auto& r : rows)
        r.channel = next < limit ? next++ : -1;
    return false;
}

} // namespace

const std::vector<std::string>& chirpCsvColumns() {
    static const std::vector<std::string> columns = {
        "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
        "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
        "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};
    return columns;
}

ChannelCsvResult importChirpRows(std::istream& in, int& line, const std::vector<std::string>& columns,
                                 const std::string& source, ChannelStore& store, MessageBoxes& boxes,
                                 const ChannelCsvOptions& options) {
    ChannelCsvResult result;
    result.format = ChannelCsvFormat::Chirp;
    const int g = options.group;
    if (g < 0 || g >= chlayout::kGroups) {
        result.error = source + ": group " + std::to_string(g + 1) + " is not a group number 1 to 160";
        return result;
    }
    const std::string offText = boxes.text(kTextOff);
    const char point = store.document().codec().decimalSeparator();

    // Every row first: the numbering looks at the whole list.
    std::vector<ChirpRow> rows;
    while (auto data = nextDataRow(in, line, columns, source, result.error)) {
        ChirpRow row;
        row.line = data->line;
        row.refusal = parseRow(data->cells, row, point, offText);
        rows.push_back(std::move(row));
    }
    if (!result.error.empty()) return result;
    const int limit = store.perGroupLimit();
    if (!numberRows(rows, limit) && !rows.empty())
        boxes.warningText(source + ": the Locations are not distinct channel numbers from 1; the rows are " +
                          "numbered 1, 2, 3 ... in file order");

    // The group becomes the list: channels the list does not name go, and the result names them.
    std::set<int> listed;
    for (const auto& r : rows)
        if (r.channel >= 0) listed.insert(r.channel);
    for (int c : store.channelNumbers(g))
        if (!listed.count(c)) {
            const std::string name = trim(store.channelNameText(g, c));
            result.deleted.push_back("channel " + std::to_string(c + 1) + (name.empty() ? "" : " " + name));
            store.deleteChannel(g, c);
        }

    Recorder recorder;
    LineMessenger lines(recorder);
    MessageBoxes rowBoxes(lines, boxes.texts());
    MemoryImage& image = store.document().image();
    for (const auto& row : rows) {
        const std::string where = source + ": line " + std::to_string(row.line);
        if (row.channel < 0) {
            result.unusable.push_back(where + ": more channels than a group holds (" + std::to_string(limit) +
                                      ")" + (row.location.empty() ? "" : ": Location " + row.location));
            continue;
        }
        if (!row.refusal.empty()) {
            result.unusable.push_back(where + ": " + row.refusal);
            continue;
        }
        const ImageCopy before = image.working();
        recorder.shown.clear();
        lines.where = where;
        if (auto reason = applyRow(row, g, store, rowBoxes, lines, offText); !reason.empty()) {
            image.working() = before;
            result.unusable.push_back(where + ": " + reason);
            continue;
        }
        for (const Message& m : recorder.shown)
            boxes.messenger().show(m);
        ++result.rows;
    }
    if (!result.unusable.empty() && !options.skipUnusable) {
        result.error = source + ": " + std::to_string(result.unusable.size()) +
                       " row(s) the radio cannot hold; nothing imported";
        return result;
    }
    result.ok = true;
    return result;
}

void writeChirpCsv(std::ostream& out, ChannelStore& store, MessageBoxes& boxes, int group) {
    const auto& columns = chirpCsvColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        out << (i ? "," : "") << columns[i];
    out << '\n';
    const FrequencyCodec& codec = store.document().codec();
    auto hzOf = [&](int c, ChannelField f) -> std::optional<long long> {
        const std::string t = trim(store.channelFieldText(group, c, f).text);
        if (t.empty()) return std::nullopt;
        return std::llround(codec.parse(t) * 100000.0) * 10;
    };
    for (int c : store.channelNumbers(group)) {
        const auto rec = store.channelRecord(group, c);
        const auto rx = hzOf(c, ChannelField::RxFrequency);
        if (rec.empty() || !rx) continue;
        const auto tx = hzOf(c, ChannelField::TxFrequency);
        std::string duplex, offset = "0.000000";
        if (!tx) {
            duplex = "off";
        } else if (*tx != *rx) {
            const long long diff = *tx - *rx;
            if (std::llabs(diff) <= kSplitAboveHz) {
                duplex = diff > 0 ? "+" : "-";
                offset = hzToText(std::llabs(diff), 6, '.');
            } else {
                duplex = "split";
                offset = hzToText(*tx, 6, '.');
            }
        }
        // Tones: CTCSS as "88.5", DCS as "D023N"/"D023I".
        const std::string enc = toneCsvText(le16(rec, chlayout::kRecEncode));
        const std::string dec = toneCsvText(le16(rec, chlayout::kRecDecode));
        auto kind = [](const std::string& t) { return t == "Off" ? "" : t[0] == 'D' ? "DTCS" : "Tone"; };
        std::string tone, rTone = "88.5", cTone = "88.5", code = "023", rxCode = "023", cross = "Tone->Tone";
        char txPol = 'N', rxPol = 'N';
        const std::string ek = kind(enc), dk = kind(dec);
        if (ek == "Tone") rTone = enc;
        if (dk == "Tone") cTone = dec;
        if (ek == "DTCS") code = enc.substr(1, 3), txPol = enc.size() > 4 && enc[4] == 'I' ? 'R' : 'N';
        if (dk == "DTCS") rxCode = dec.substr(1, 3), rxPol = dec.size() > 4 && dec[4] == 'I' ? 'R' : 'N';
        if (ek.empty() && dk.empty()) {
            tone.clear();
        } else if (ek == "Tone" && dk.empty()) {
            tone = "Tone";
        } else if (ek == "Tone" && dk == "Tone" && enc == dec) {
            tone = "TSQL";
        } else if (ek == "DTCS" && dk == "DTCS" && code == rxCode) {
            tone = "DTCS";
        } else {
            tone = "Cross";
            cross = ek + "->" + dk;
            if (dk == "DTCS" && ek != "DTCS") code = rxCode;
        }
        std::string mode = "FM";
        if (channelHasBandwidthChoice(store, boxes, group, c))
            mode = (le16(rec, chlayout::kRecFlagsA) & chlayout::kAWide) ? "FM" : "NFM";
        std::string step = "5.00";
        for (auto [hz, text] :
             {std::pair{5000LL, "5.00"}, {6250LL, "6.25"}, {2500LL, "2.50"}, {1250LL, "1.25"}})
            if (*rx % hz == 0 && (!tx || *tx % hz == 0)) {
                step = text;
                break;
            }
        const bool scan = (le16(rec, chlayout::kRecFlagsA) & chlayout::kAScanAdd) != 0;
        const std::vector<std::string> cells = {std::to_string(c + 1),
                                                store.channelNameText(group, c),
                                                hzToText(*rx, 6, '.'),
                                                duplex,
                                                offset,
                                                tone,
                                                rTone,
                                                cTone,
                                                code,
                                                std::string{txPol, rxPol},
                                                rxCode,
                                                cross,
                                                mode,
                                                step,
                                                scan ? "" : "S",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                ""};
        for (std::size_t i = 0; i < cells.size(); ++i)
            out << (i ? "," : "") << csvField(cells[i]);
        out << '\n';
    }
}

} // namespace velora
