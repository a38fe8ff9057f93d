#include "channels/ChannelCsv.h"

#include <algorithm>
#include <cctype>

#include "channels/ChEditArea.h"
#include "channels/ChannelLayout.h"
#include "model/Bytes.h"
#include "model/ToneCodec.h"

namespace velora {

namespace {

using namespace chlayout;

std::string trimmed(std::string s) {
    auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

std::string bit(std::uint16_t word, std::uint16_t mask) {
    return (word & mask) ? "1" : "0";
}

} // namespace

const std::vector<std::string>& channelCsvColumns() {
    static const std::vector<std::string> columns = {
        "group",      "channel",  "rx",         "tx",        "decode",    "encode",
        "name",       "scan_add", "signalling", "power",     "bandwidth", "busy_lockout",
        "beat_shift", "ptt_id",   "scrambler",  "compander", "radio_unit"};
    return columns;
}

std::string toneCsvText(std::uint16_t word) {
    return word == 0xFFFF ? "Off" : toneToText(word, "Off", '.');
}

bool channelHasBandwidthChoice(ChannelStore& store, MessageBoxes& boxes, int g, int c) {
    channels::ChEditArea edit(store, boxes);
    edit.setChannel(g, c);
    return edit.isFieldEnabled(0, channels::chedit::kBandwidth);
}

std::vector<std::string> channelCsvRow(ChannelStore& store, MessageBoxes& boxes, int g, int c) {
    const auto rec = store.channelRecord(g, c);
    if (rec.empty()) return {};
    auto field = [&](ChannelField f) { return trimmed(store.channelFieldText(g, c, f).text); };
    const std::uint16_t a = le16(rec, kRecFlagsA), b = le16(rec, kRecFlagsB);
    const int scrambler = b & 0xFF;
    return {std::to_string(g + 1),
            std::to_string(c + 1),
            field(ChannelField::RxFrequency),
            field(ChannelField::TxFrequency),
            toneCsvText(le16(rec, kRecDecode)),
            toneCsvText(le16(rec, kRecEncode)),
            store.channelNameText(g, c),
            std::to_string((a >> 11) & 1),
            std::to_string(a & 7),
            std::to_string((a & kAPower) >> kAPowerShift),
            channelHasBandwidthChoice(store, boxes, g, c) ? bit(a, kAWide) : std::string(),
            bit(a, kABusyLockout),
            bit(a, kABeatShift),
            bit(a, kAPttId),
            scrambler == 0xFF ? std::string("off") : std::to_string(scrambler + 1),
            (b & kBCompanderOff) ? "0" : "1",
            (b & kBModel2) ? "2" : "1"};
}

} // namespace velora
