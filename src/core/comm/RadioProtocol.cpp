#include "comm/RadioProtocol.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/LineSettings.h"

namespace velora::comm {

namespace {

bool allEqual(std::span<const Byte> s) {
    return std::all_of(s.begin(), s.end(), [&](Byte b) { return b == s.front(); });
}

} // namespace

Byte selectorForIndex(int index) {
    static constexpr std::array<Byte, 4> kSelectors{kSelectorDeck1, kSelectorDeck2, kSelectorHead1,
                                                    kSelectorHead2};
    return index >= 0 && index < 4 ? kSelectors[static_cast<std::size_t>(index)] : kSelectorNone;
}

Byte blockChecksum(std::span<const Byte> data) {
    unsigned sum = 0;
    for (Byte b : data)
        sum += b;
    return static_cast<Byte>(sum & 0xFF);
}

RadioProtocol::RadioProtocol(ByteLink& link, Clock& clock) : link_(link), clock_(clock) {}

bool RadioProtocol::sendText(std::string_view s) {
    return send(std::span<const Byte>(reinterpret_cast<const Byte*>(s.data()), s.size()));
}

bool RadioProtocol::sendAddress(std::uint16_t address) {
    const std::array<Byte, 2> a{static_cast<Byte>(address >> 8), static_cast<Byte>(address & 0xFF)};
    return send(a);
}

bool RadioProtocol::answerIsAck() {
    Byte b = 0;
    return receiveByte(b) && b == kAck;
}

RadioStatus RadioProtocol::frameAck(std::initializer_list<Byte> frame) {
    for (Byte b : frame)
        if (!sendByte(b)) return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::selectorFrame(Byte command, Byte selector, std::initializer_list<Byte> args) {
    if (!sendByte(command) || !sendSelector(selector)) return RadioStatus::Failed;
    for (Byte b : args)
        if (!sendByte(b)) return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

// --- Programming run -----------------------------------------------------------------------------

RadioProtocol::Entry RadioProtocol::tryEntry(std::size_t i, std::uint32_t answerTimeoutMs,
                                             std::string_view tail) {
    const RateStep& step = kRateSearch[i];
    // A rate the line cannot take would only send noise to the radio.
    if (!link_.setLineSettings(std::string(step.rate) + std::string(tail))) return Entry::NoAnswer;
    if (!sendText(kProgramEntry)) return Entry::SendFailed;
    link_.setReadTimeout(answerTimeoutMs);
    Byte first = 0;
    if (!receiveByte(first)) return Entry::NoAnswer;
    if (i == 0 && first == kAck) {
        link_.setReadTimeout(step.runTimeoutMs);
        return Entry::Entered;
    }
    // Away from 9600 baud the radio first says SYN; at 9600 any byte may precede the ACK.
    if (i != 0 && first != kSyn) return Entry::NoAnswer;
    link_.setReadTimeout(kSecondAnswerTimeoutMs);
    if (!answerIsAck()) return Entry::NoAnswer;
    link_.setReadTimeout(step.runTimeoutMs);
    return Entry::Entered;
}

RadioStatus RadioProtocol::enterProgramMode() {
    const std::uint32_t savedTimeout = link_.readTimeout();
    const std::string tail(settingsTail(link_.lineSettings()));
    for (std::size_t i = 0; i < kRateSearch.size(); ++i) {
        if (pump_) pump_();
        const Entry e = tryEntry(i, kRateSearch[i].answerTimeoutMs, tail);
        if (e == Entry::Entered) return RadioStatus::Ok;
        if (e == Entry::SendFailed) break;
    }
    link_.setReadTimeout(savedTimeout);
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::enterProgramModeAt(std::string_view rate, std::uint32_t answerTimeoutMs) {
    const std::uint32_t savedTimeout = link_.readTimeout();
    const std::string tail(settingsTail(link_.lineSettings()));
    for (std::size_t i = 0; i < kRateSearch.size(); ++i)
        if (kRateSearch[i].rate == rate) {
            if (tryEntry(i, answerTimeoutMs, tail) == Entry::Entered) return RadioStatus::Ok;
            break;
        }
    link_.setReadTimeout(savedTimeout);
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::probeIdentification(Byte selector, Identification& out) {
    clock_.wait(kIdentificationWait);
    if (!sendByte(kStx) || !sendSelector(selector)) return RadioStatus::Failed;
    return receive(out) ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::readIdentification(Byte selector, Identification& out) {
    if (!ok(probeIdentification(selector, out)) || !nothingMore()) {
        lostReception();
        return RadioStatus::Failed;
    }
    return sendByte(kAck) && answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::readMainBlock(std::span<Byte> dest, std::uint16_t address, Byte selector) {
    if (dest.size() < blockLength_ || blockLength_ == 0) return RadioStatus::Failed;
    const std::span<Byte> data = dest.first(blockLength_);
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (!sendByte(kCmdReadBlock)) return RadioStatus::CommandNotSent;
        if (!sendSelector(selector)) return RadioStatus::Failed;
        if (!sendAddress(address)) return RadioStatus::AddressNotSent;
        Byte kind = 0;
        if (!receiveByte(kind)) {
            lostReception();
            continue;
        }
        if (kind == kCmdWriteBlock) {
            Byte sum = 0;
            if (!receive(data) || !receiveByte(sum) || !nothingMore()) {
                lostReception();
                continue;
            }
            if (sum != blockChecksum(data)) {
                if (!sendByte(kNak)) return RadioStatus::NakNotSent;
                Byte answer = 0;
                if (!receiveByte(answer)) {
                    lostReception();
                    continue;
                }
                if (answer != kAck) return RadioStatus::NakRefused;
                continue; // the radio took the NAK: ask again
            }
        } else {
            Byte fillByte = 0;
            if (!receiveByte(fillByte) || !nothingMore()) {
                lostReception();
                continue;
            }
            std::fill(data.begin(), data.end(), fillByte);
        }
        if (!sendByte(kAck)) return RadioStatus::AckNotSent;
        Byte answer = 0;
        if (!receiveByte(answer)) {
            lostReception();
            continue;
        }
        return answer == kAck ? RadioStatus::Ok : RadioStatus::NotAcknowledged;
    }
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::writeMainBlock(std::span<const Byte> src, std::uint16_t address, Byte selector) {
    if (src.size() < blockLength_ || blockLength_ == 0) return RadioStatus::Failed;
    const std::span<const Byte> data = src.first(blockLength_);
    const bool uniform = allEqual(data);
    const Byte sum = blockChecksum(data);
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (!sendByte(uniform ? kCmdFillBlock : kCmdWriteBlock) || !sendSelector(selector) ||
            !sendAddress(address))
            return RadioStatus::Failed;
        const bool sent = uniform ? sendByte(data.front()) : send(data) && sendByte(sum);
        if (!sent) return RadioStatus::Failed;
        Byte answer = 0;
        if (!receiveByte(answer)) {
            lostReception();
            return RadioStatus::Failed;
        }
        // An answer among other bytes may be noise: sending the block again does no harm.
        if (!nothingMore()) {
            lostReception();
            continue;
        }
        if (answer == kAck) return RadioStatus::Ok;
    }
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::readCodeRecord(std::span<Byte> dest, int recordIndex, Byte selector) {
    if (dest.size() < kCodeRecordSize) return RadioStatus::Failed;
    const std::span<Byte> data = dest.first(kCodeRecordSize);
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (!sendByte(kCmdReadCode) || !sendSelector(selector)) return RadioStatus::CommandNotSent;
        if (!sendByte(static_cast<Byte>(recordIndex + 1))) return RadioStatus::AddressNotSent;
        Byte head = 0; // echoed by the radio, not examined
        if (!receiveByte(head) || !receive(data) || !nothingMore()) {
            lostReception();
            continue;
        }
        if (!sendByte(kAck)) return RadioStatus::AckNotSent;
        Byte answer = 0;
        if (!receiveByte(answer)) {
            lostReception();
            continue;
        }
        return answer == kAck ? RadioStatus::Ok : RadioStatus::NotAcknowledged;
    }
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::writeCodeRecord(std::span<Byte> record, int recordIndex, Byte selector) {
    if (record.size() < kCodeRecordSize) return RadioStatus::Failed;
    const std::span<Byte> data = record.first(kCodeRecordSize);
    Byte digits = 0;
    for (Byte& b : data) {
        if (b == 0x00) b = 0xFF;
        if (b != 0xFF) ++digits;
    }
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (!sendByte(kCmdWriteCode) || !sendSelector(selector)) return RadioStatus::CommandNotSent;
        if (!sendByte(static_cast<Byte>(recordIndex + 1))) return RadioStatus::AddressNotSent;
        if (!sendByte(digits) || !send(data)) continue;
        Byte answer = 0;
        if (!receiveByte(answer) || !nothingMore()) {
            lostReception();
            continue;
        }
        return answer == kAck ? RadioStatus::Ok : RadioStatus::NotAcknowledged;
    }
    return RadioStatus::Failed;
}

RadioStatus RadioProtocol::readExtensionChunk(std::span<Byte> dest, std::uint16_t offset, std::size_t length,
                                              Byte selector) {
    if (length == 0 || length > 0xFF || dest.size() < length) return RadioStatus::Failed;
    const std::span<Byte> data = dest.first(length);
    if (!sendByte(kCmdReadChunk) || !sendSelector(selector) || !sendAddress(offset) ||
        !sendByte(static_cast<Byte>(length)))
        return RadioStatus::Failed;
    auto lost = [this] {
        lostReception();
        return RadioStatus::Failed;
    };
    Byte kind = 0;
    std::array<Byte, 2> echoedOffset{};
    if (!receiveByte(kind) || !receive(echoedOffset)) return lost();
    // The radio repeats the offset it answers for; another one is not the chunk asked for.
    if (((echoedOffset[0] << 8) | echoedOffset[1]) != offset) return lost();
    if (kind == kCmdWriteChunk) {
        if (!receive(data) || !nothingMore()) return lost();
    } else {
        Byte fillByte = 0;
        if (!receiveByte(fillByte) || !nothingMore()) return lost();
        std::fill(data.begin(), data.end(), fillByte);
    }
    if (!sendByte(kAck)) return RadioStatus::Failed;
    Byte answer = 0;
    if (!receiveByte(answer)) return lost();
    return answer == kAck ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::writeExtensionChunk(std::span<const Byte> src, std::uint16_t offset,
                                               std::size_t length, Byte selector) {
    if (length == 0 || length > 0xFF || src.size() < length) return RadioStatus::Failed;
    const std::span<const Byte> data = src.first(length);
    const bool uniform = allEqual(data);
    if (!sendByte(uniform ? kCmdFillChunk : kCmdWriteChunk) || !sendSelector(selector) ||
        !sendAddress(offset) || !sendByte(static_cast<Byte>(length)))
        return RadioStatus::Failed;
    if (!(uniform ? sendByte(data.front()) : send(data))) return RadioStatus::Failed;
    Byte answer = 0;
    if (!receiveByte(answer) || !nothingMore()) {
        lostReception();
        return RadioStatus::Failed;
    }
    return answer == kAck ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::leaveRadioMode() {
    return frameAck({kCmdLeave});
}

// --- Test mode and tuning ------------------------------------------------------------------------

RadioStatus RadioProtocol::enterTuningMode() {
    if (!sendText(kTuningEntry)) return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::reopenForTestMode() {
    link_.closeLink();
    if (!link_.openLink().ok()) return RadioStatus::Failed;
    link_.setLineSettings(std::string(kRateSearch[0].rate) + std::string(settingsTail(link_.lineSettings())));
    link_.setReadTimeout(kTestModeTimeoutMs);
    return RadioStatus::Ok;
}

RadioStatus RadioProtocol::selectTestChannel(Byte selector, Byte channel,
                                             std::array<Byte, kTestChannelReplySize>& reply) {
    if (!sendByte(kCmdTestChannel)) return RadioStatus::Failed;
    clock_.wait(kTestChannelWait);
    if (!sendSelector(selector) || !sendByte(channel) || !receive(reply) || !sendByte(kAck))
        return RadioStatus::Failed;
    Byte answer = 0;
    if (!receiveByte(answer)) return RadioStatus::Failed;
    return answer == kAck || answer == kNak ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::selectTestSignalling(Byte selector, Byte number) {
    return selectorFrame(kCmdTestSignalling, selector, {number});
}

RadioStatus RadioProtocol::switchOption(Byte selector, bool on) {
    return selectorFrame(on ? kCmdOptionOn : kCmdOptionOff, selector, {});
}

RadioStatus RadioProtocol::readStatusRecord(Byte selector, std::array<Byte, kStatusRecordSize>& out) {
    if (!sendByte(kCmdStatusRecord) || !sendSelector(selector) || !receive(out) || !sendByte(kAck))
        return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::readStatusExtension(Byte selector, std::array<Byte, 2>& out) {
    static constexpr std::array<Byte, 2> kCommands{kCmdStatusExt1, kCmdStatusExt2};
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        if (!sendByte(kCommands[i]) || !sendSelector(selector) || !sendByte(kArgValue) ||
            !receiveByte(out[i]) || !sendByte(kAck))
            return RadioStatus::Failed;
    }
    return RadioStatus::Ok;
}

RadioStatus RadioProtocol::transmit(Byte selector, bool on) {
    if (!sendByte(kCmdTransmit) || !sendSelector(selector) || !sendByte(on ? kArgOn : kArgOff)) {
        link_.setReadTimeout(kAfterTestFrameTimeoutMs);
        return RadioStatus::Failed;
    }
    link_.setReadTimeout(kTransmitAnswerTimeoutMs);
    const bool acked = answerIsAck();
    link_.setReadTimeout(kAfterTestFrameTimeoutMs);
    return acked ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::startAdjustment(Byte itemCode, Byte selector) {
    return selectorFrame(itemCode, selector, {kArgOn});
}

RadioStatus RadioProtocol::stopAdjustment(Byte itemCode, Byte selector) {
    return selectorFrame(itemCode, selector, {kArgOff});
}

RadioStatus RadioProtocol::stepAdjustment(Byte itemCode, Byte selector, int steps) {
    int acknowledged = 0;
    return stepAdjustment(itemCode, selector, steps, acknowledged);
}

RadioStatus RadioProtocol::stepAdjustment(Byte itemCode, Byte selector, int steps, int& acknowledged) {
    const Byte arg = steps > 0 ? kArgStepUp : kArgStepDown;
    acknowledged = 0;
    for (int i = 0; i < std::abs(steps); ++i) {
        if (!ok(selectorFrame(itemCode, selector, {arg}))) return RadioStatus::Failed;
        ++acknowledged;
    }
    return RadioStatus::Ok;
}

RadioStatus RadioProtocol::readAdjustmentValue(Byte selector, std::span<Byte> out) {
    if (!sendByte(kCmdAdjustValue) || !sendSelector(selector) || !receive(out) || !sendByte(kAck))
        return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::switchOption0B(bool on) {
    return frameAck({kCmdOption0B, on ? kArgOn : kArgOff});
}

RadioStatus RadioProtocol::switchOption84(bool on) {
    return frameAck({kCmdOption84, on ? kArgOn : kArgOff});
}

RadioStatus RadioProtocol::switchMskRate(bool on) {
    return frameAck({on ? kCmdMskOn : kCmdMskOff});
}

RadioStatus RadioProtocol::readRadioChecksum(std::array<Byte, 2>& out) {
    // Working out the checksum takes the radio a while.
    link_.setReadTimeout(kChecksumAnswerTimeoutMs);
    const bool got = sendByte(kCmdChecksum) && receive(out);
    link_.setReadTimeout(kAfterTestFrameTimeoutMs);
    if (!got || !sendByte(kAck)) return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::volume(int n) {
    if (!sendByte(kCmdVolume)) return RadioStatus::Failed;
    if (n == -1) return frameAck({kArgStepDown});
    if (n == 1) return frameAck({kArgStepUp});
    return frameAck({n > 1 ? kArgValue : kArgVolumeDown, static_cast<Byte>(std::min(std::abs(n), 0xFF))});
}

RadioStatus RadioProtocol::readVolume(Byte& out) {
    if (!sendByte(kCmdVolume) || !sendByte(kArgReadVolume) || !receiveByte(out) || !sendByte(kAck))
        return RadioStatus::Failed;
    return answerIsAck() ? RadioStatus::Ok : RadioStatus::Failed;
}

RadioStatus RadioProtocol::acknowledgeThenSwitch22(Byte selector, bool on) {
    if (!ok(frameAck({kAck}))) return RadioStatus::Failed;
    return selectorFrame(kCmdOption22, selector, {on ? kArgOn : kArgOff});
}

RadioStatus RadioProtocol::setPValue(Byte value, bool dualBand) {
    const int decks = dualBand ? 2 : 1;
    for (int d = 0; d < decks; ++d)
        if (!ok(selectorFrame(kCmdPValue, selectorForIndex(d), {kArgValue, value})))
            return RadioStatus::Failed;
    return RadioStatus::Ok;
}

RadioStatus RadioProtocol::selectChannelAndSignalling(Byte selector, Byte channel, Byte signalling,
                                                      std::array<Byte, kStatusRecordSize>& status,
                                                      std::array<Byte, kTestChannelReplySize>& channelReply) {
    if (!ok(readStatusRecord(selector, status))) return RadioStatus::Failed;
    if (!ok(selectTestChannel(selector, channel, channelReply))) return RadioStatus::Failed;
    return selectTestSignalling(selector, signalling);
}

} // namespace velora::comm
