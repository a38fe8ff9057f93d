#pragma once
// The byte protocol spoken with the radio: programming-mode entry with the baud search,
// identification, the area transfers, leaving the mode, and the short frames of test mode and
// tuning. The application always speaks first and every exchange ends with one answer byte.
// Every operation is synchronous and returns a status; only zero means success.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "comm/ByteLink.h"
#include "model/Bytes.h"

namespace velora::comm {

inline constexpr Byte kStx = 0x02;
inline constexpr Byte kAck = 0x06;
inline constexpr Byte kNak = 0x15;
inline constexpr Byte kSyn = 0x16;

// Unit selectors: the byte after a command that addresses one deck (main and DTMF code areas) or one
// head (extension area). A selector of 0 is not sent at all.
inline constexpr Byte kSelectorNone = 0x00;
inline constexpr Byte kSelectorDeck1 = 0x0F;
inline constexpr Byte kSelectorDeck2 = 0x1F;
inline constexpr Byte kSelectorHead1 = 0x8F;
inline constexpr Byte kSelectorHead2 = 0x9F;
// Index 0..3 -> deck 1, deck 2, head 1, head 2; anything else -> 0.
Byte selectorForIndex(int index);

// Transfer units.
inline constexpr std::size_t kMainBlockSize = 128;
inline constexpr std::size_t kMainBlockCount = 128;
inline constexpr std::uint16_t kMainBlockBase = 0x0380; // address of main-area block n: base + n
inline constexpr std::size_t kCodeRecordSize = 16;
inline constexpr std::size_t kCodeRecordCount = 9; // the last 16 bytes of the DTMF area never travel
inline constexpr std::size_t kExtChunkSize = 32;
inline constexpr std::size_t kExtChunkCount = 256;
inline constexpr std::size_t kIdentificationSize = 10;
inline constexpr std::size_t kStatusRecordSize = 32;
inline constexpr std::size_t kTestChannelReplySize = 8;

using Identification = std::array<Byte, kIdentificationSize>;

// Status codes of the area operations; the others use Ok and Failed only.
enum class RadioStatus : int {
    Ok = 0,
    Failed = 1, // no answer, a refused frame after every attempt, or a send that failed
    CommandNotSent = 2,
    AddressNotSent = 3, // also the record number of DTMF code records
    AckNotSent = 8,
    NotAcknowledged = 10, // the radio's last answer was not ACK
    NakNotSent = 11,
    NakRefused = 13, // the radio answered our NAK with something other than ACK
};
inline bool ok(RadioStatus s) {
    return s == RadioStatus::Ok;
}

// Sum of the bytes modulo 256, the checksum of a main-area block.
Byte blockChecksum(std::span<const Byte> data);

class RadioProtocol {
  public:
    // Baud search: rates in the order tried, and the read time-out that holds after success there.
    struct RateStep {
        std::string_view rate;
        std::uint32_t answerTimeoutMs; // wait for the first answer byte
        std::uint32_t runTimeoutMs;    // read time-out for the rest of the programming run
    };
    static constexpr std::array<RateStep, 5> kRateSearch{{{"9600", 500, 550},
                                                          {"19200", 100, 550},
                                                          {"4800", 100, 1100},
                                                          {"2400", 100, 2200},
                                                          {"1200", 100, 4400}}};
    static constexpr std::uint32_t kSecondAnswerTimeoutMs = 500;
    static constexpr std::uint32_t kTestModeTimeoutMs = 1500;
    static constexpr std::uint32_t kTransmitAnswerTimeoutMs = 800;
    static constexpr std::uint32_t kChecksumAnswerTimeoutMs = 3000;
    static constexpr std::uint32_t kAfterTestFrameTimeoutMs = 500;
    static constexpr std::chrono::milliseconds kIdentificationWait{50};
    static constexpr std::chrono::milliseconds kTestChannelWait{110};
    static constexpr int kBlockAttempts = 3;
    // After a failed reception the line must have been quiet this long before the next frame goes
    // out; a line that keeps talking is given up on after the limit.
    static constexpr std::chrono::milliseconds kSettleQuiet{100};
    static constexpr std::chrono::milliseconds kSettleLimit{2000};

    // Frame bytes.
    static constexpr std::string_view kProgramEntry = "PROGRAM";
    static constexpr std::string_view kTuningEntry = "TUNING ";
    static constexpr Byte kCmdReadBlock = 'R';
    static constexpr Byte kCmdWriteBlock = 'W';
    static constexpr Byte kCmdFillBlock = 'Z';
    static constexpr Byte kCmdReadCode = 'T';
    static constexpr Byte kCmdWriteCode = 'Y';
    static constexpr Byte kCmdReadChunk = 'S';
    static constexpr Byte kCmdWriteChunk = 'X';
    static constexpr Byte kCmdFillChunk = '[';
    static constexpr Byte kCmdLeave = 'E';
    static constexpr Byte kCmdTestChannel = 0x10;
    static constexpr Byte kCmdTestSignalling = 0x11;
    static constexpr Byte kCmdOptionOn = 'G';
    static constexpr Byte kCmdOptionOff = 'F';
    static constexpr Byte kCmdStatusRecord = 0x05;
    static constexpr Byte kCmdStatusExt1 = '7';
    static constexpr Byte kCmdStatusExt2 = '8';
    static constexpr Byte kCmdTransmit = 0x08;
    static constexpr Byte kCmdAdjustValue = 0x07;
    static constexpr Byte kCmdOption0B = 0x0B;
    static constexpr Byte kCmdOption84 = 0x84;
    static constexpr Byte kCmdMskOn = 0x86;
    static constexpr Byte kCmdMskOff = 0x85;
    static constexpr Byte kCmdChecksum = '|';
    static constexpr Byte kCmdVolume = '!';
    static constexpr Byte kCmdOption22 = 0x22;
    static constexpr Byte kCmdPValue = 'P';
    static constexpr Byte kArgOn = 0x0D;
    static constexpr Byte kArgOff = 0x0E;
    static constexpr Byte kArgStepUp = 0x0A;
    static constexpr Byte kArgStepDown = 0x0B;
    static constexpr Byte kArgValue = 0x1A; // a value byte follows (status extension, 'P', volume up)
    static constexpr Byte kArgVolumeDown = 0x1B;
    static constexpr Byte kArgReadVolume = 0x0C;

    explicit RadioProtocol(ByteLink& link, Clock& clock = SteadyClock::instance());

    ByteLink& link() { return link_; }
    // Lets pending window messages run; the baud search calls it before each rate.
    void setMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }
    // Length of a main-area block; the transfers set it to 128 before they start.
    void setBlockLength(std::size_t length) { blockLength_ = length; }
    std::size_t blockLength() const { return blockLength_; }

    // --- Programming run -------------------------------------------------------------------------
    // Tries "PROGRAM" at 9600, 19200, 4800, 2400, 1200 baud. On success the line stays at the rate
    // found with that rate's read time-out; on failure the read time-out is restored.
    RadioStatus enterProgramMode();
    // The entry at one rate of the search only (a radio known to answer there), waiting
    // `answerTimeoutMs` for its first answer byte; otherwise as enterProgramMode.
    RadioStatus enterProgramModeAt(std::string_view rate, std::uint32_t answerTimeoutMs);
    RadioStatus readIdentification(Byte selector, Identification& out);
    // The identification without the closing acknowledgement (test mode).
    RadioStatus probeIdentification(Byte selector, Identification& out);
    // One block of the main area: 'W' with data and checksum or a one-byte fill, up to 3 attempts.
    RadioStatus readMainBlock(std::span<Byte> dest, std::uint16_t address, Byte selector);
    // Sends 'Z' with one fill byte when all bytes are equal, else 'W' with data and checksum.
    RadioStatus writeMainBlock(std::span<const Byte> src, std::uint16_t address, Byte selector);
    RadioStatus readCodeRecord(std::span<Byte> dest, int recordIndex, Byte selector);
    // Normalises the record in place first (0x00 becomes 0xFF): the radio takes 0xFF as "no digit".
    RadioStatus writeCodeRecord(std::span<Byte> record, int recordIndex, Byte selector);
    RadioStatus readExtensionChunk(std::span<Byte> dest, std::uint16_t offset, std::size_t length,
                                   Byte selector);
    // Sends '[' with one fill byte when all bytes are equal, else 'X' with the data.
    RadioStatus writeExtensionChunk(std::span<const Byte> src, std::uint16_t offset, std::size_t length,
                                    Byte selector);
    RadioStatus leaveRadioMode();

    // --- Test mode and tuning --------------------------------------------------------------------
    RadioStatus enterTuningMode();
    // Closes and reopens the port at 9600 baud with the test-mode read time-out.
    RadioStatus reopenForTestMode();
    // Channel 1..16; the radio returns the channel's 8 frequency bytes. ACK or NAK both end it well.
    RadioStatus selectTestChannel(Byte selector, Byte channel,
                                  std::array<Byte, kTestChannelReplySize>& reply);
    RadioStatus selectTestSignalling(Byte selector, Byte number);
    RadioStatus switchOption(Byte selector, bool on); // 'G' on, 'F' off
    RadioStatus readStatusRecord(Byte selector, std::array<Byte, kStatusRecordSize>& out);
    RadioStatus readStatusExtension(Byte selector, std::array<Byte, 2>& out);
    RadioStatus transmit(Byte selector, bool on);
    RadioStatus startAdjustment(Byte itemCode, Byte selector);
    RadioStatus stopAdjustment(Byte itemCode, Byte selector);
    // |steps| single steps up (steps > 0) or down (steps < 0); 0 sends nothing.
    RadioStatus stepAdjustment(Byte itemCode, Byte selector, int steps);
    // As above; `acknowledged` counts the steps the radio took before a failure (all of them on
    // success), so a caller can go on from where the radio is.
    RadioStatus stepAdjustment(Byte itemCode, Byte selector, int steps, int& acknowledged);
    RadioStatus readAdjustmentValue(Byte selector, std::span<Byte> out);
    RadioStatus switchOption0B(bool on);
    RadioStatus switchOption84(bool on);
    RadioStatus switchMskRate(bool on); // 0x86 on, 0x85 off
    RadioStatus readRadioChecksum(std::array<Byte, 2>& out);
    // -1 and 1 are single steps; other values set the volume by |n| up (n > 1) or down (n <= 0).
    RadioStatus volume(int n);
    RadioStatus readVolume(Byte& out);
    // Acknowledges the radio, then switches the 0x22 option.
    RadioStatus acknowledgeThenSwitch22(Byte selector, bool on);
    // 'P' value to deck 1, and to deck 2 when dual band.
    RadioStatus setPValue(Byte value, bool dualBand);
    // Status record, then test channel, then test signalling; stops at the first failure.
    RadioStatus selectChannelAndSignalling(Byte selector, Byte channel, Byte signalling,
                                           std::array<Byte, kStatusRecordSize>& status,
                                           std::array<Byte, kTestChannelReplySize>& channelReply);

  private:
    enum class Entry { Entered, NoAnswer, SendFailed };
    // "PROGRAM" at kRateSearch[i] and its answer; `tail` is the line settings after the rate.
    Entry tryEntry(std::size_t i, std::uint32_t answerTimeoutMs, std::string_view tail);
    bool send(std::span<const Byte> bytes) { return link_.send(bytes); }
    bool sendByte(Byte b) { return link_.send(std::span<const Byte>(&b, 1)); }
    bool sendText(std::string_view s);
    // Sends the selector unless it is 0.
    bool sendSelector(Byte selector) { return selector == kSelectorNone || sendByte(selector); }
    bool sendAddress(std::uint16_t address);
    bool receive(std::span<Byte> bytes) { return link_.receive(bytes); }
    bool receiveByte(Byte& b) { return link_.receive(std::span<Byte>(&b, 1)); }
    bool answerIsAck();
    // A reception failed: let the rest of the answer, or a late one, arrive and drop it.
    void lostReception() { link_.settle(kSettleQuiet, kSettleLimit); }
    // A complete answer is followed by nothing; more bytes mean it was misaligned (noise before it,
    // or the tail of an earlier answer) and it must not be acknowledged.
    bool nothingMore() { return link_.pendingInput() == 0; }
    // Sends a frame and expects ACK.
    RadioStatus frameAck(std::initializer_list<Byte> frame);
    RadioStatus selectorFrame(Byte command, Byte selector, std::initializer_list<Byte> args);

    ByteLink& link_;
    Clock& clock_;
    std::function<void()> pump_;
    std::size_t blockLength_ = kMainBlockSize;
};

} // namespace velora::comm
