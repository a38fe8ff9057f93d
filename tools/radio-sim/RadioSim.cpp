#include "RadioSim.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string_view>
#include <utility>

namespace velora::sim {

namespace {

constexpr std::string_view kProgramWord = "PROGRAM";
constexpr std::string_view kTuningWord = "TUNING ";

// Main-area blocks are addressed as 0x0380 + block number.
constexpr unsigned kBlockAddressBase = 0x0380;
constexpr std::size_t kCodeRecordSize = 16;
constexpr std::size_t kCodeRecords = layout::kDtmfSize / kCodeRecordSize;
constexpr std::size_t kChunkSize = 32; // the client's extension chunk, used to number chunk faults
constexpr std::size_t kTestChannelSize = 8;
constexpr int kTestChannels = 16;

constexpr Byte kOn = 0x0D;
constexpr Byte kOff = 0x0E;
constexpr Byte kStepUp = 0x0A;
constexpr Byte kStepDown = 0x0B;
constexpr Byte kValueFollows = 0x1A;
constexpr Byte kValueFollowsDown = 0x1B;
constexpr Byte kReadVolume = 0x0C;

// Returned by frameLength(): the first byte cannot start a frame here, or more bytes must be seen.
constexpr int kNotAFrame = -1;
constexpr int kUndecided = 0;

// Where each adjustment item's value sits in the status record (or its two extra bytes). Items kept
// per channel spacing occupy two neighbouring bytes, wide first; four-point items list each point.
struct ItemSlot {
    Byte code;
    int index;
    bool perSpacing;
    bool extension;
    int fourPointItem; // 8 or 13 for the points of a four-point item, else 0
    int point;
};

constexpr std::array<ItemSlot, 22> kItemSlots{{
    {0x20, 0, false, false, 0, 0},   {0x32, 0, false, true, 0, 0},    {0x33, 1, false, true, 0, 0},
    {0x12, 1, false, false, 0, 0},   {0x30, 2, false, false, 0, 0},   {0x31, 4, false, false, 0, 0},
    {0x14, 5, false, false, 0, 0},   {0x18, 14, true, false, 0, 0},   {0x17, 6, true, false, 8, 0},
    {0x24, 8, true, false, 8, 1},    {0x25, 10, true, false, 8, 2},   {0x26, 12, true, false, 8, 3},
    {0x19, 16, true, false, 0, 0},   {0x1A, 18, true, false, 0, 0},   {0x1D, 20, true, false, 0, 0},
    {0x3A, 22, true, false, 0, 0},   {0x1F, 24, false, false, 13, 0}, {0x35, 25, false, false, 13, 1},
    {0x36, 26, false, false, 13, 2}, {0x39, 27, false, false, 13, 3}, {0x16, 28, true, false, 0, 0},
    {0x13, 30, true, false, 0, 0},
}};

const ItemSlot* findItem(Byte code) {
    for (const auto& s : kItemSlots)
        if (s.code == code) return &s;
    return nullptr;
}

Byte& itemValue(TestState& t, const ItemSlot& s) {
    if (s.extension) return t.statusExt[static_cast<std::size_t>(s.index)];
    return t.status[static_cast<std::size_t>(s.index + (s.perSpacing && t.narrow ? 1 : 0))];
}

// The status-record bytes of the four points of item 8 (at the current spacing) or item 13.
std::array<std::size_t, 4> fourPointIndices(int item, bool narrow) {
    if (item == 8) {
        std::size_t n = narrow ? 1 : 0;
        return {6 + n, 8 + n, 10 + n, 12 + n};
    }
    return {24, 25, 26, 27};
}

bool isUniform(std::span<const Byte> data) {
    return std::all_of(data.begin(), data.end(), [&](Byte b) { return b == data.front(); });
}

Byte sum8(std::span<const Byte> data) {
    return static_cast<Byte>(std::accumulate(data.begin(), data.end(), 0u));
}

unsigned address16(std::span<const Byte> f, std::size_t at) {
    return (unsigned(f[at]) << 8) | f[at + 1];
}

// Length of an entry word ("PROGRAM", "TUNING ") once its second byte names it; kNotAFrame as soon as
// the bytes stop spelling it.
int entryWordLength(std::span<const Byte> f, std::string_view word) {
    for (std::size_t i = 0; i < f.size() && i < word.size(); ++i)
        if (f[i] != static_cast<Byte>(word[i])) return kNotAFrame;
    return static_cast<int>(word.size());
}

std::string hex(std::span<const Byte> f) {
    std::string out;
    char buf[4];
    std::size_t shown = std::min<std::size_t>(f.size(), 8);
    for (std::size_t i = 0; i < shown; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", f[i]);
        out += buf;
    }
    if (shown < f.size()) out += "... (" + std::to_string(f.size()) + " bytes)";
    return out;
}

} // namespace

TestState::TestState() {
    // Spread the stored adjustments around mid-range so that each item reads back differently.
    for (std::size_t i = 0; i < status.size(); ++i)
        status[i] = static_cast<Byte>(0x70 + (i * 7) % 32);
    statusExt = {0x68, 0x98};
    volume = {0x80, 0x80};
}

RadioSim::RadioSim(RadioMemory& memory, ByteChannel& channel, SimConfig config)
    : memory_(memory), channel_(channel), config_(std::move(config)) {}

void RadioSim::receive(std::span<const Byte> bytes) {
    for (Byte b : bytes)
        receive(b);
}

void RadioSim::receive(Byte b) {
    if (config_.silent) return;
    if (config_.echo) {
        channel_.send(std::span<const Byte>(&b, 1));
        return;
    }
    // A byte sent at another rate arrives as noise: it breaks any frame in progress.
    if (channel_.line().baud != config_.baud) {
        frame_.clear();
        return;
    }
    frame_.push_back(b);
    while (!frame_.empty()) {
        int length = frameLength();
        if (length == kNotAFrame) {
            frame_.erase(frame_.begin());
            continue;
        }
        if (length == kUndecided || frame_.size() < static_cast<std::size_t>(length)) return;
        std::vector<Byte> f(frame_.begin(), frame_.begin() + length);
        frame_.erase(frame_.begin(), frame_.begin() + length);
        dispatch(f);
    }
}

void RadioSim::lineDropped() {
    if (mode_ != Mode::Normal) log("line dropped: back to normal operation");
    mode_ = Mode::Normal;
    frame_.clear();
    swallowAck_ = false;
    armed_.reset();
    test_.transmitting = false;
    test_.itemRunning = false;
}

int RadioSim::frameLength() const {
    std::span<const Byte> f = frame_;
    // The entry words are understood in every mode, so a client can start over after a failed run.
    if (f[0] == 'P' || f[0] == 'T') {
        if (f.size() < 2) return kUndecided;
        if (f[0] == 'P' && f[1] == 'R') return entryWordLength(f, kProgramWord);
        if (f[0] == 'T' && f[1] == 'U') return entryWordLength(f, kTuningWord);
    }
    switch (mode_) {
    case Mode::Normal:
        return kNotAFrame;
    case Mode::Program:
        return programFrameLength();
    case Mode::Test:
        return testFrameLength();
    }
    return kNotAFrame;
}

int RadioSim::programFrameLength() const {
    const auto& f = frame_;
    switch (f[0]) {
    case kAck:
    case kNak:
    case 'E':
        return 1;
    case kStx:
        return 2;
    case 'R':
        return 4;
    case 'W':
        return 4 + static_cast<int>(layout::kBlockSize) + 1;
    case 'Z':
        return 5;
    case 'T':
        return 3;
    case 'Y':
        return 4 + static_cast<int>(kCodeRecordSize);
    case 'S':
    case '[':
        return f[0] == 'S' ? 5 : 6;
    case 'X':
        return f.size() < 5 ? kUndecided : 5 + f[4];
    default:
        return kNotAFrame;
    }
}

int RadioSim::testFrameLength() const {
    const auto& f = frame_;
    if (findItem(f[0])) return 3;
    switch (f[0]) {
    case kAck:
    case kNak:
    case 'E':
    case '|':
    case 0x85:
    case 0x86:
        return 1;
    case kStx:
    case 'F':
    case 'G':
    case 0x05:
    case 0x07:
    case 0x0B:
    case 0x84:
        return 2;
    case 0x10:
    case 0x11:
    case '7':
    case '8':
    case 0x08:
    case 0x22:
        return 3;
    case 'P':
        return 4;
    case '!':
        if (f.size() < 2) return kUndecided;
        return f[1] == kValueFollows || f[1] == kValueFollowsDown ? 3 : 2;
    default:
        return kNotAFrame;
    }
}

void RadioSim::dispatch(std::span<const Byte> f) {
    log("rx " + hex(f));
    bool swallow = std::exchange(swallowAck_, false);
    if (f.size() == kProgramWord.size() && f[0] == 'P' && f[1] == 'R') {
        // At 9600 baud the radio acknowledges at once; at any other rate it first answers SYN.
        mode_ = Mode::Program;
        if (config_.baud == 9600)
            send({kAck});
        else
            send({kSyn, kAck});
        log("programming mode");
        return;
    }
    if (f.size() == kTuningWord.size() && f[0] == 'T' && f[1] == 'U') {
        mode_ = Mode::Test;
        test_.transmitting = false;
        test_.itemRunning = false;
        send({kAck});
        log("test mode");
        return;
    }
    if (f[0] == kAck && swallow) return; // the closing ACK of a status-extension byte has no answer
    if (mode_ == Mode::Program)
        dispatchProgram(f);
    else if (mode_ == Mode::Test)
        dispatchTest(f);
}

void RadioSim::dispatchProgram(std::span<const Byte> f) {
    if (f[0] == 'W' || f[0] == 'Z' || f[0] == 'Y' || f[0] == 'X' || f[0] == '[') ++writeFrames_;
    switch (f[0]) {
    case kAck:
    case kNak:
        ack();
        break; // closes an identification or a read; a NAK asks for the block again
    case 'E':
        leaveMode();
        break;
    case kStx:
        readIdentification(f);
        break;
    case 'R':
        readMainBlock(f);
        break;
    case 'W':
    case 'Z':
        writeMainBlock(f);
        break;
    case 'T':
        readCodeRecord(f);
        break;
    case 'Y':
        writeCodeRecord(f);
        break;
    case 'S':
        readExtensionChunk(f);
        break;
    case 'X':
    case '[':
        writeExtensionChunk(f);
        break;
    default:
        break;
    }
}

void RadioSim::leaveMode() {
    if (config_.nakAll) {
        nak();
        return;
    }
    ack();
    mode_ = Mode::Normal;
    test_.transmitting = false;
    test_.itemRunning = false;
    ++sessionsEnded_;
    log("normal operation");
}

void RadioSim::readIdentification(std::span<const Byte> f) {
    int unit = unitFromSelector(f[1]);
    if (unit < 0 || !memory_.hasUnit(unit)) return;
    armLineFault(unit, kIdentificationPlace);
    send(memory_.ident);
}

std::optional<RadioSim::Place> RadioSim::mainBlockOf(std::span<const Byte> f) {
    int unit = target(f[1], UnitKind::Deck);
    if (unit < 0) return std::nullopt;
    unsigned address = address16(f, 2);
    if (address < kBlockAddressBase || address >= kBlockAddressBase + layout::kMainBlocks) {
        nak();
        return std::nullopt;
    }
    return Place{unit, static_cast<int>(address - kBlockAddressBase)};
}

std::optional<RadioSim::Place> RadioSim::codeRecordOf(std::span<const Byte> f) {
    int unit = target(f[1], UnitKind::Deck);
    if (unit < 0) return std::nullopt;
    if (f[2] < 1 || f[2] > kCodeRecords) {
        nak();
        return std::nullopt;
    }
    return Place{unit, f[2] - 1};
}

std::optional<RadioSim::Place> RadioSim::extChunkOf(std::span<const Byte> f) {
    int unit = target(f[1], UnitKind::Head);
    if (unit < 0) return std::nullopt;
    unsigned offset = address16(f, 2);
    std::size_t length = f[4];
    if (length == 0 || offset + length > layout::kExtSize) {
        nak();
        return std::nullopt;
    }
    return Place{unit, static_cast<int>(offset)};
}

void RadioSim::readMainBlock(std::span<const Byte> f) {
    auto place = mainBlockOf(f);
    if (!place) return;
    const auto [unit, block] = *place;
    armLineFault(unit, block);
    std::span<const Byte> data(memory_.unit(unit).main.data() + block * layout::kBlockSize,
                               layout::kBlockSize);
    bool corrupt = takeFault(config_.badChecksums, unit, block);
    if (corrupt)
        log("sending a wrong checksum for " + std::string(unitName(unit)) + " block " +
            std::to_string(block));
    if (isUniform(data) && !corrupt) {
        send({'Z', data.front()});
        return;
    }
    std::vector<Byte> out;
    out.reserve(layout::kBlockSize + 2);
    out.push_back('W');
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(static_cast<Byte>(sum8(data) + (corrupt ? 1 : 0)));
    send(out);
}

void RadioSim::writeMainBlock(std::span<const Byte> f) {
    auto place = mainBlockOf(f);
    if (!place) return;
    const auto [unit, block] = *place;
    armLineFault(unit, block);
    Byte* dest = memory_.unit(unit).main.data() + block * layout::kBlockSize;
    if (f[0] == 'W') {
        std::span<const Byte> data = f.subspan(4, layout::kBlockSize);
        if (sum8(data) != f.back()) {
            log("checksum mismatch, block refused");
            nak();
            return;
        }
        if (refuseWrite(unit, block)) return;
        std::copy(data.begin(), data.end(), dest);
    } else {
        if (refuseWrite(unit, block)) return;
        std::fill_n(dest, layout::kBlockSize, f[4]);
    }
    if (takeFault(config_.corruptWrites, unit, block)) dest[0] = static_cast<Byte>(~dest[0]);
    ack();
}

void RadioSim::readCodeRecord(std::span<const Byte> f) {
    auto place = codeRecordOf(f);
    if (!place) return;
    armLineFault(place->unit, kCodeRecordPlace + place->index);
    std::span<const Byte> record(memory_.unit(place->unit).dtmf.data() + place->index * kCodeRecordSize,
                                 kCodeRecordSize);
    // The leading byte counts the code characters, as the client's write frame does.
    auto count = std::count_if(record.begin(), record.end(), [](Byte b) { return b != 0x00 && b != 0xFF; });
    std::vector<Byte> out{static_cast<Byte>(count)};
    out.insert(out.end(), record.begin(), record.end());
    send(out);
}

void RadioSim::writeCodeRecord(std::span<const Byte> f) {
    auto place = codeRecordOf(f);
    if (!place) return;
    armLineFault(place->unit, kCodeRecordPlace + place->index);
    if (refuseWrite(place->unit, kCodeRecordPlace + place->index)) return;
    std::span<const Byte> data = f.subspan(4, kCodeRecordSize);
    Byte* dest = memory_.unit(place->unit).dtmf.data() + place->index * kCodeRecordSize;
    std::copy(data.begin(), data.end(), dest);
    if (takeFault(config_.corruptWrites, place->unit, kCodeRecordPlace + place->index))
        dest[0] = static_cast<Byte>(~dest[0]);
    ack();
}

void RadioSim::readExtensionChunk(std::span<const Byte> f) {
    auto place = extChunkOf(f);
    if (!place) return;
    armLineFault(place->unit, place->index / static_cast<int>(kChunkSize));
    std::span<const Byte> data(memory_.unit(place->unit).ext.data() + place->index, f[4]);
    if (isUniform(data)) {
        send({'[', f[2], f[3], data.front()});
        return;
    }
    std::vector<Byte> out{'X', f[2], f[3]};
    out.insert(out.end(), data.begin(), data.end());
    send(out);
}

void RadioSim::writeExtensionChunk(std::span<const Byte> f) {
    auto place = extChunkOf(f);
    if (!place) return;
    armLineFault(place->unit, place->index / static_cast<int>(kChunkSize));
    if (refuseWrite(place->unit, place->index / static_cast<int>(kChunkSize))) return;
    Byte* dest = memory_.unit(place->unit).ext.data() + place->index;
    if (f[0] == 'X')
        std::copy(f.begin() + 5, f.end(), dest);
    else
        std::fill_n(dest, f[4], f[5]);
    if (takeFault(config_.corruptWrites, place->unit, place->index / static_cast<int>(kChunkSize)))
        dest[0] = static_cast<Byte>(~dest[0]);
    ack();
}

bool RadioSim::faultTestFrame(Byte code) {
    const int nth = testFrames_[code]++;
    for (const auto& fault : config_.testFaults) {
        if (fault.code != code || nth < fault.nth || nth >= fault.nth + fault.count) continue;
        char what[48];
        std::snprintf(what, sizeof what, "frame %02X number %d", code, nth);
        if (fault.nak) {
            log(std::string("refusing test ") + what);
            nak();
        } else {
            log(std::string("leaving test ") + what + " unanswered");
        }
        return true;
    }
    return false;
}

void RadioSim::dispatchTest(std::span<const Byte> f) {
    if (f[0] != kAck && f[0] != kNak && faultTestFrame(f[0])) return;
    if (findItem(f[0])) {
        adjustItem(f);
        return;
    }
    switch (f[0]) {
    case kAck:
    case kNak:
        ack();
        break;
    case 'E':
        leaveMode();
        break;
    case kStx:
        readIdentification(f);
        break;
    case 0x10:
        selectTestChannel(f);
        break;
    case 0x11:
        if (target(f[1], UnitKind::Deck) < 0) return;
        if (f[2] < 1 || f[2] > 9) return nak();
        test_.signalling = f[2];
        log("test signalling " + std::to_string(test_.signalling));
        ack();
        break;
    case 'F':
    case 'G':
        if (target(f[1], UnitKind::Deck) < 0) return;
        test_.narrow = f[0] == 'G';
        log(test_.narrow ? "option G (narrow)" : "option F (wide)");
        ack();
        break;
    case 0x05:
        if (target(f[1], UnitKind::Deck) < 0) return;
        send(test_.status);
        break;
    case '7':
    case '8':
        if (target(f[1], UnitKind::Deck) < 0) return;
        if (f[2] != kValueFollows) return nak();
        send({test_.statusExt[f[0] == '7' ? 0 : 1]});
        swallowAck_ = true;
        break;
    case 0x08:
        setDeckSwitch(f, test_.transmitting);
        break;
    case 0x07:
        readAdjustmentValue(f);
        break;
    case 0x0B:
    case 0x84:
        if (f[1] != kOn && f[1] != kOff) return nak();
        (f[0] == 0x0B ? test_.beatShift : test_.compander) = f[1] == kOn;
        log(std::string(f[0] == 0x0B ? "beat shift " : "compander ") + (f[1] == kOn ? "on" : "off"));
        ack();
        break;
    case 0x85:
    case 0x86:
        test_.mskHigh = f[0] == 0x86;
        log(std::string("MSK rate ") + (test_.mskHigh ? "high" : "low"));
        ack();
        break;
    case '|': {
        // The radio's own checksum: 16-bit sum of deck 1's main area, high byte first.
        const auto& main = memory_.unit(0).main;
        unsigned sum = std::accumulate(main.begin(), main.end(), 0u) & 0xFFFF;
        send({static_cast<Byte>(sum >> 8), static_cast<Byte>(sum)});
        break;
    }
    case '!':
        volumeFrame(f);
        break;
    case 0x22:
        setDeckSwitch(f, test_.option22);
        break;
    case 'P': {
        int unit = target(f[1], UnitKind::Deck);
        if (unit < 0) return;
        if (f[2] != kValueFollows) return nak();
        test_.volume[static_cast<std::size_t>(unit)] = f[3];
        log("volume of " + std::string(unitName(unit)) + " " + std::to_string(f[3]));
        ack();
        break;
    }
    default:
        break;
    }
}

void RadioSim::selectTestChannel(std::span<const Byte> f) {
    int unit = target(f[1], UnitKind::Deck);
    if (unit < 0) return;
    if (f[2] < 1 || f[2] > kTestChannels) return nak();
    test_.channel = f[2];
    log("test channel " + std::to_string(test_.channel));
    // Each deck reports its own model's test frequency table: model 1 on deck 1, model 2 on deck 2.
    std::size_t table = unit == 0 ? layout::kTestFreqModel1 : layout::kTestFreqModel2;
    const Byte* record = memory_.unit(unit).main.data() + table + (f[2] - 1) * kTestChannelSize;
    send(std::span<const Byte>(record, kTestChannelSize));
}

void RadioSim::adjustItem(std::span<const Byte> f) {
    if (target(f[1], UnitKind::Deck) < 0) return;
    const ItemSlot& slot = *findItem(f[0]);
    switch (f[2]) {
    case kOn:
        test_.activeItem = slot.code;
        test_.itemRunning = true;
        log("item " + hex(f.first(1)) + "started");
        break;
    case kOff:
        test_.itemRunning = false;
        log("item " + hex(f.first(1)) + "stopped");
        break;
    case kStepUp:
    case kStepDown: {
        Byte delta = f[2] == kStepUp ? 1 : 0xFF;
        itemValue(test_, slot) += delta;
        log("item " + hex(f.first(1)) + (f[2] == kStepUp ? "up to " : "down to ") +
            std::to_string(itemValue(test_, slot)));
        // Moving the first point of a four-point item moves the other three points with it.
        if (slot.fourPointItem != 0 && slot.point == 0) {
            auto points = fourPointIndices(slot.fourPointItem, test_.narrow);
            for (std::size_t p = 1; p < points.size(); ++p)
                test_.status[points[p]] += delta;
        }
        break;
    }
    default:
        return nak();
    }
    ack();
}

// A deck frame that turns a switch on or off: selector, then on or off.
void RadioSim::setDeckSwitch(std::span<const Byte> f, bool& on) {
    if (target(f[1], UnitKind::Deck) < 0) return;
    if (f[2] != kOn && f[2] != kOff) return nak();
    on = f[2] == kOn;
    log(std::string(f[0] == 0x08 ? "transmitter " : "option 22 ") + (on ? "on" : "off"));
    ack();
}

void RadioSim::readAdjustmentValue(std::span<const Byte> f) {
    if (target(f[1], UnitKind::Deck) < 0) return;
    const ItemSlot* slot = findItem(test_.activeItem);
    if (!slot) return nak();
    if (slot->fourPointItem == 0) {
        send({itemValue(test_, *slot)});
        return;
    }
    std::vector<Byte> out;
    for (std::size_t i : fourPointIndices(slot->fourPointItem, test_.narrow))
        out.push_back(test_.status[i]);
    send(out);
}

void RadioSim::volumeFrame(std::span<const Byte> f) {
    Byte& volume = test_.volume[0];
    auto move = [&](int n) { volume = static_cast<Byte>(std::clamp(int(volume) + n, 0, 255)); };
    switch (f[1]) {
    case kReadVolume:
        send({volume});
        return;
    case kStepUp:
        move(1);
        break;
    case kStepDown:
        move(-1);
        break;
    case kValueFollows:
        move(f[2]);
        break;
    case kValueFollowsDown:
        move(-int(f[2]));
        break;
    default:
        return nak();
    }
    log("volume " + std::to_string(volume));
    ack();
}

int RadioSim::target(Byte selector, UnitKind kind) {
    int unit = unitFromSelector(selector);
    if (unit < 0 || !memory_.hasUnit(unit)) return -1; // nobody there to answer
    if (kindOfUnit(unit) != kind) {
        nak();
        return -1;
    }
    return unit;
}

void RadioSim::send(std::span<const Byte> bytes) {
    log("tx " + hex(bytes));
    const std::optional<LineFault> fault = std::exchange(armed_, std::nullopt);
    if (!fault) {
        channel_.send(bytes);
        return;
    }
    const auto at = std::min(bytes.size(), static_cast<std::size_t>(fault->at));
    const std::chrono::milliseconds ms(fault->ms);
    switch (fault->kind) {
    case LineFault::Kind::Stall:
        log("stalling for " + std::to_string(ms.count()) + " ms after " + std::to_string(at) + " bytes");
        channel_.send(bytes.first(at));
        channel_.pause(ms);
        channel_.send(bytes.subspan(at));
        break;
    case LineFault::Kind::Late:
        log("answering " + std::to_string(ms.count()) + " ms late");
        channel_.pause(ms);
        channel_.send(bytes);
        break;
    case LineFault::Kind::Garble: {
        log("garbling byte " + std::to_string(fault->at));
        std::vector<Byte> out(bytes.begin(), bytes.end());
        if (at < out.size()) out[at] = static_cast<Byte>(~out[at]);
        channel_.send(out);
        break;
    }
    case LineFault::Kind::Noise: {
        static constexpr std::array<Byte, 4> kNoise{0xFF, 0x00, 0xA5, 0x3C};
        std::vector<Byte> out;
        for (int i = 0; i < fault->at; ++i)
            out.push_back(kNoise[static_cast<std::size_t>(i) % kNoise.size()]);
        log("sending " + std::to_string(out.size()) + " bytes of noise first");
        out.insert(out.end(), bytes.begin(), bytes.end());
        channel_.send(out);
        break;
    }
    case LineFault::Kind::Drop:
        log("leaving the frame unanswered");
        break;
    case LineFault::Kind::Truncate:
        log("sending only " + std::to_string(at) + " bytes of the answer");
        channel_.send(bytes.first(at));
        break;
    case LineFault::Kind::NakAnswer:
        log("answering NAK");
        channel_.send(std::array<Byte, 1>{kNak});
        break;
    case LineFault::Kind::HangUp:
        log("hanging up after " + std::to_string(at) + " bytes of the answer");
        channel_.send(bytes.first(at));
        hangUp_ = true;
        break;
    }
}

void RadioSim::armLineFault(int unit, int block) {
    for (auto& fault : config_.lineFaults) {
        if (fault.where.unit == unit && fault.where.block == block && fault.where.count > 0) {
            --fault.where.count;
            armed_ = fault;
            return;
        }
    }
}

void RadioSim::ack() {
    if (config_.nakAll)
        nak();
    else
        send({kAck});
}

bool RadioSim::refuseWrite(int unit, int block) {
    if (config_.nakAll || takeFault(config_.nakWrites, unit, block)) {
        log("refusing the write of " + std::string(unitName(unit)) + " block " + std::to_string(block));
        nak();
        return true;
    }
    return false;
}

bool RadioSim::takeFault(std::vector<BlockFault>& faults, int unit, int block) {
    for (auto& fault : faults) {
        if (fault.unit == unit && fault.block == block && fault.count > 0) {
            --fault.count;
            return true;
        }
    }
    return false;
}

void RadioSim::log(const std::string& text) const {
    if (log_) log_(text);
}

} // namespace velora::sim
