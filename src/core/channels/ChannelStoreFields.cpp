// ChannelStore's channel fields as display texts and back, and the per-channel rules that follow a
// frequency entry: step flags, radio unit, narrow-band restriction, noise blanker copy and PTT ID.
#include <algorithm>
#include <array>
#include <optional>

#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "model/FrequencyCodec.h"
#include "model/ModelCatalogue.h"
#include "model/ToneCodec.h"

namespace velora {

using namespace chlayout;

namespace {

constexpr int kMsgRxOutOfBand = 222;
constexpr int kMsgTxOutOfBand = 223;
constexpr int kMsgNoRoom = 229;
constexpr int kMsgNarrowAfterLoad = 553;
constexpr int kMsgNarrowAfterRead = 554;
constexpr int kMsgNarrowOnEntry = 555;
constexpr int kTextScanAddOff = 354;
constexpr int kTextScanAddOn = 355;
constexpr std::array<int, 5> kSignallingTexts{278, 247, 356, 357, 358};

// Narrow-band ranges in 10 Hz units, both ends excluded.
constexpr std::uint32_t kVhfNarrowLow = 14998750, kVhfNarrowHigh = 17401250;
constexpr std::uint32_t kUhfNarrowLow = 42098750, kUhfNarrowHigh = 47001250;
constexpr std::uint32_t kFiveKHz = 500, kOneQuarterKHz = 125; // 5 kHz and 1.25 kHz in 10 Hz units

// The eight packed digits as a number of 10 Hz units; none for unset or non-decimal bytes.
std::optional<std::uint32_t> frequencyUnits(const FrequencyBytes& f) {
    if (!isFrequencySet(f)) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        Byte b = f[std::size_t(i)];
        if ((b >> 4) > 9 || (b & 0x0F) > 9) return std::nullopt;
        v = v * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return v;
}

bool inNarrowRange(std::optional<std::uint32_t> f) {
    if (!f) return false;
    return (*f > kVhfNarrowLow && *f < kVhfNarrowHigh) || (*f > kUhfNarrowLow && *f < kUhfNarrowHigh);
}

bool isLowBandCode(int code) {
    return code >= 1 && code <= 3;
}

} // namespace

StepFields stepFieldsFor(char stepCode, std::uint32_t freqIn10Hz) {
    switch (stepCode) {
    case kStep1250:
        return {true, true, freqIn10Hz % kFiveKHz == kOneQuarterKHz ? 1 : 2};
    case kStep2500:
        return {true, true, 0};
    case kStep6250:
        return {true, false, 3};
    case kStep7500:
        return {false, true, 3};
    case kStep5000:
    default:
        return {false, false, 3};
    }
}

std::uint16_t ChannelStore::flagsA(int r) const {
    return le16(main(), recordOffset(r) + kRecFlagsA);
}
std::uint16_t ChannelStore::flagsB(int r) const {
    return le16(main(), recordOffset(r) + kRecFlagsB);
}
void ChannelStore::setFlagsA(int r, std::uint16_t v) {
    if (r >= 0 && r < kRecords) setLe16(main(), recordOffset(r) + kRecFlagsA, v);
}
void ChannelStore::setFlagsB(int r, std::uint16_t v) {
    if (r >= 0 && r < kRecords) setLe16(main(), recordOffset(r) + kRecFlagsB, v);
}

int ChannelStore::bandCodeOfRecord(int r) const {
    // Only a dual-band data set has a model 2; its band code is read from the low nibble.
    ModelIdentification id = identificationOf(doc_.image());
    int model = id.isDualBand() && (flagsB(r) & kBModel2) ? kModel2 : kModel1;
    return id.bandCode(model) & 0x0F;
}

// ------------------------------------------------------------------------------------------------
// Rules applied to every channel

int ChannelStore::checkNarrowband(int g, int c, MessageBoxes* boxes) {
    int r = findRecord(g, c);
    if (r < 0) return 0;
    FrequencyBytes tx = readFrequency(main(), recordOffset(r) + kRecTx);
    if (!isFrequencySet(tx)) return 0;
    FrequencyBytes rx = readFrequency(main(), recordOffset(r) + kRecRx);
    if (!inNarrowRange(frequencyUnits(rx)) && !inNarrowRange(frequencyUnits(tx))) return 0;
    if (flagsA(r) & kAWide) {
        setFlagsA(r, std::uint16_t(flagsA(r) & ~kAWide));
        warning_ = true;
        if (boxes) boxes->warning(kMsgNarrowOnEntry);
    }
    return 1;
}

bool ChannelStore::checkAllNarrowband(bool afterFileLoad, MessageBoxes* boxes) {
    // The flag reports this run only; an earlier entry's warning must not make a load complain.
    warning_ = false;
    for (int g = 0; g < kGroups; ++g)
        for (int c : channelNumbers(g))
            checkNarrowband(g, c, nullptr);
    bool changed = warning_;
    if (changed && boxes) boxes->warning(afterFileLoad ? kMsgNarrowAfterLoad : kMsgNarrowAfterRead);
    warning_ = false;
    return changed;
}

void ChannelStore::applyNoiseBlanker(Byte value) {
    if (value == kUnset) {
        value = 0;
        setByte(main(), layout::kCsNoiseBlanker, 0);
    }
    std::bitset<256> used = usedRecords();
    for (int r = 0; r < kRecords; ++r) {
        if (!used.test(std::size_t(r)) || !isLowBandCode(bandCodeOfRecord(r))) continue;
        std::uint16_t a = flagsA(r);
        setFlagsA(r, std::uint16_t((value & 1) ? (a | kAWide) : (a & ~kAWide)));
    }
}

void ChannelStore::clearPttIdWithoutOption() {
    if (byteAt(main(), layout::kCsOptionBoardMode) != kPttIdWithBoard) return;
    ModelIdentification id = identificationOf(doc_.image());
    std::bitset<256> used = usedRecords();
    for (int r = 0; r < kRecords; ++r) {
        if (!used.test(std::size_t(r))) continue;
        int model = id.isDualBand() && (flagsB(r) & kBModel2) ? kModel2 : kModel1;
        if (id.optionBoard(model) != 2) setFlagsA(r, std::uint16_t(flagsA(r) & ~kAPttId));
    }
}

// ------------------------------------------------------------------------------------------------
// Field texts

ChannelFieldText ChannelStore::channelFieldText(int g, int c, ChannelField field) const {
    int r = findRecord(g, c);
    if (r < 0 || recordIsFree(r)) return {};
    const std::size_t off = recordOffset(r);
    const char sep = doc_.codec().decimalSeparator();
    switch (field) {
    case ChannelField::RxFrequency:
    case ChannelField::TxFrequency: {
        auto f = readFrequency(main(), off + (field == ChannelField::RxFrequency ? kRecRx : kRecTx));
        return {doc_.codec().frequencyToText(f).value_or(std::string{}), -1};
    }
    case ChannelField::Decode:
    case ChannelField::Encode: {
        std::uint16_t w = le16(main(), off + (field == ChannelField::Decode ? kRecDecode : kRecEncode));
        return {toneToText(w, texts_.text(kTextToneOff), sep), w};
    }
    case ChannelField::Name:
        return {channelNameText(g, c), -1};
    case ChannelField::ScanAdd: {
        int bit = (flagsA(r) & kAScanAdd) ? 1 : 0;
        return {std::string(texts_.text(bit ? kTextScanAddOn : kTextScanAddOff)), bit};
    }
    case ChannelField::Signalling: {
        int code = flagsA(r) & kASignalling;
        std::string text = code < int(kSignallingTexts.size())
                               ? std::string(texts_.text(kSignallingTexts[std::size_t(code)]))
                               : std::string{};
        return {text, code};
    }
    }
    return {};
}

bool ChannelStore::storeFrequency(std::string text, int g, int c, bool transmit, MessageBoxes* boxes) {
    int r = findRecord(g, c);
    const std::size_t off = recordOffset(r);
    const FrequencyCodec& codec = doc_.codec();
    ModelIdentification id = identificationOf(doc_.image());
    const bool oldUnit2 = (flagsB(r) & kBModel2) != 0;

    ChannelFrequencyCheck check = codec.checkChannelFrequency(text, id, oldUnit2, transmit);
    if (!check.valid && boxes) boxes->warning(transmit ? kMsgTxOutOfBand : kMsgRxOutOfBand);
    const int model = check.model2 ? kModel2 : kModel1;
    auto stored = codec.textToFrequency(text, codec.bandLimits(model).group);
    if (!stored) return false; // the check keeps values storable; nothing is written otherwise

    std::uint16_t b = flagsB(r);
    b = std::uint16_t(check.model2 ? (b | kBModel2) : (b & ~kBModel2));
    writeFrequency(main(), off + (transmit ? kRecTx : kRecRx), stored->bytes);
    StepFields step = stepFieldsFor(stored->stepCode, frequencyUnits(stored->bytes).value_or(0));
    std::uint16_t a = flagsA(r);
    if (transmit) {
        a = std::uint16_t((a & ~(kATxStepX | kATxStepE)) | (step.x ? kATxStepX : 0) |
                          (step.e ? kATxStepE : 0));
        b = std::uint16_t((b & ~kBTxStepR) | (step.r << kBTxStepRShift));
    } else {
        a = std::uint16_t((a & ~(kARxStepX | kARxStepE | kARxStepR)) | (step.x ? kARxStepX : 0) |
                          (step.e ? kARxStepE : 0) | (step.r << kARxStepRShift));
    }
    setFlagsA(r, a);
    setFlagsB(r, b);
    const bool wasWide = (flagsA(r) & kAWide) != 0;
    if (checkNarrowband(g, c, nullptr)) setFlagsA(r, std::uint16_t(flagsA(r) & ~kAWide));

    if (!transmit && check.model2 != oldUnit2) {
        // The channel moved to the other radio unit: what belonged to the old one goes.
        fill(main(), off + kRecTx, kFreqSize, kUnset);
        setLe16(main(), off + kRecEncode, kToneOff);
        a = flagsA(r);
        b = flagsB(r);
        a = std::uint16_t(a | kATxStepX | kATxStepE);
        b = std::uint16_t((b & ~kBTxStepR) | (kClearedTxStep.r << kBTxStepRShift));
        int newCode = id.bandCode(model), oldCode = id.bandCode(oldUnit2 ? kModel2 : kModel1);
        if (isLowBandCode(newCode) != isLowBandCode(oldCode) && newCode != 0 && oldCode != 0) {
            a = std::uint16_t(a | kAWide);
            b = std::uint16_t(b | kBCompanderOff);
        }
        setFlagsA(r, a);
        setFlagsB(r, b);
        for (int i = 0; i < kRepeaterEntries; ++i) {
            std::size_t e = kCsRepeaterList + kEntrySize * std::size_t(i);
            if (byteAt(main(), e) == g + 1 && byteAt(main(), e + 1) == c + 1)
                fill(main(), e, kEntrySize, kUnset);
        }
    }
    // Told only once the result is known: a move across the low-band boundary makes it wide again.
    if (boxes && wasWide && !(flagsA(r) & kAWide)) boxes->warning(kMsgNarrowOnEntry);
    if (!transmit && (isLowBandCode(id.bandCode(kModel1) & 0x0F) ||
                      (id.isDualBand() && isLowBandCode(id.bandCode(kModel2) & 0x0F))))
        applyNoiseBlanker(byteAt(main(), layout::kCsNoiseBlanker));
    return check.valid;
}

bool ChannelStore::setChannelFieldText(std::string text, int g, int c, ChannelField field,
                                       MessageBoxes* boxes) {
    const bool noFrequency = doc_.codec().isNoFrequencyText(text);
    if (!channelExists(g, c)) {
        if (field != ChannelField::RxFrequency) return false;
        if (noFrequency) return true; // nothing to delete, nothing to create
        int r = addChannel(g, c);
        if (r < 0) {
            if (r == kNoRoom && boxes) boxes->warning(kMsgNoRoom);
            return false;
        }
        initNewRecord(r);
        initNewNames(g, c);
    }
    int r = findRecord(g, c);
    const std::size_t off = recordOffset(r);
    switch (field) {
    case ChannelField::RxFrequency:
        if (noFrequency) {
            deleteChannel(g, c);
            return true;
        }
        return storeFrequency(std::move(text), g, c, false, boxes);
    case ChannelField::TxFrequency:
        if (noFrequency) {
            fill(main(), off + kRecTx, kFreqSize, kUnset);
            setLe16(main(), off + kRecEncode, kToneOff);
            setFlagsA(r, std::uint16_t(flagsA(r) | kATxStepX | kATxStepE));
            setFlagsB(r, std::uint16_t((flagsB(r) & ~kBTxStepR) | (kClearedTxStep.r << kBTxStepRShift)));
            return true;
        }
        return storeFrequency(std::move(text), g, c, true, boxes);
    case ChannelField::Decode:
    case ChannelField::Encode:
        setLe16(main(), off + (field == ChannelField::Decode ? kRecDecode : kRecEncode),
                textToTone(text, texts_.text(kTextToneOff), doc_.codec().decimalSeparator()));
        return true;
    case ChannelField::Name: {
        auto name = recordName(r);
        if (text.empty()) {
            std::fill(name.begin(), name.end(), kUnset);
        } else {
            std::fill(name.begin(), name.end(), Byte(0));
            std::copy_n(text.begin(), std::min(text.size(), name.size()), name.begin());
            std::replace(name.begin(), name.end(), Byte(0), Byte(' '));
        }
        return true;
    }
    case ChannelField::ScanAdd:
        for (int v = 0; v < 2; ++v)
            if (text == texts_.text(v ? kTextScanAddOn : kTextScanAddOff)) {
                setChannelChoice(g, c, field, v);
                return true;
            }
        return false;
    case ChannelField::Signalling:
        for (std::size_t v = 0; v < kSignallingTexts.size(); ++v)
            if (text == texts_.text(kSignallingTexts[v])) {
                setChannelChoice(g, c, field, int(v));
                return true;
            }
        return false;
    }
    return false;
}

void ChannelStore::setChannelChoice(int g, int c, ChannelField field, int listIndex) {
    if (listIndex < 0 || !channelExists(g, c)) return;
    int r = findRecord(g, c);
    const std::size_t off = recordOffset(r);
    switch (field) {
    case ChannelField::Decode:
    case ChannelField::Encode:
        if (std::size_t(listIndex) < kToneChoiceCount)
            setLe16(main(), off + (field == ChannelField::Decode ? kRecDecode : kRecEncode),
                    toneChoiceWord(std::size_t(listIndex)));
        break;
    case ChannelField::ScanAdd:
        if (listIndex <= 1)
            setFlagsA(r, std::uint16_t(listIndex ? (flagsA(r) | kAScanAdd) : (flagsA(r) & ~kAScanAdd)));
        break;
    case ChannelField::Signalling:
        if (listIndex < int(kSignallingTexts.size()))
            setFlagsA(r, std::uint16_t((flagsA(r) & ~kASignalling) | listIndex));
        break;
    default:
        break;
    }
}

} // namespace velora
