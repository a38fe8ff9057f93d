#pragma once
// The radio's side of the serial programming protocol, as a state machine fed one received byte at a
// time. It answers through an abstract byte channel, so it runs on a pseudo-terminal or in a test.
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "RadioMemory.h"

namespace velora::sim {

inline constexpr Byte kStx = 0x02;
inline constexpr Byte kAck = 0x06;
inline constexpr Byte kNak = 0x15;
inline constexpr Byte kSyn = 0x16;

// The line as the client configured it; bytes sent at another rate than the radio's are garbage to it.
struct LineSettings {
    unsigned baud = 9600;
    unsigned bitsPerByte = 11; // start + data + parity + stop bits
};

class ByteChannel {
  public:
    virtual ~ByteChannel() = default;
    virtual void send(std::span<const Byte> bytes) = 0;
    // The line stays idle this long before the next byte sent.
    virtual void pause(std::chrono::milliseconds ms) = 0;
    virtual LineSettings line() const = 0;
};

// A fault tied to one unit's block (main-area block 0..127 of a deck, extension chunk 0..255 of a
// head; a deck's DTMF code records and the identification have places of their own beyond those),
// applied `count` times.
inline constexpr int kCodeRecordPlace = 1000; // + record 0..9
inline constexpr int kIdentificationPlace = 2000;
struct BlockFault {
    int unit = 0;
    int block = 0;
    int count = 1;
};

// A fault of the line in the radio's answer to a frame (read or write) for one unit's block or chunk.
struct LineFault {
    enum class Kind {
        Stall,     // the answer stops for `ms` after `at` bytes, then goes on
        Late,      // the answer starts only after `ms`
        Garble,    // byte `at` of the answer arrives inverted
        Noise,     // `at` bytes of noise go before the answer
        Drop,      // the answer is never sent
        Truncate,  // only the first `at` bytes of the answer are sent
        NakAnswer, // NAK is sent instead of the answer
        HangUp,    // `at` bytes of the answer are sent, then the line is hung up
    };
    Kind kind = Kind::Stall;
    BlockFault where;
    int at = 0;
    int ms = 0;
};

// A fault of a test or tuning frame: the frames with command byte `code`, counted from 0 over the
// run, from number `nth` on for `count` frames, go unanswered (and are not carried out) or are
// refused with NAK.
struct TestFrameFault {
    Byte code = 0;
    int nth = 0;
    int count = 1;
    bool nak = false;
};

struct SimConfig {
    unsigned baud = 9600;                  // the only rate at which the radio understands the line
    bool silent = false;                   // never answers anything
    bool echo = false;                     // not a radio: sends back every byte it receives
    bool nakAll = false;                   // NAK wherever an ACK is due (mode entries excepted)
    std::vector<BlockFault> badChecksums;  // main-area reads answered with a wrong checksum
    std::vector<BlockFault> nakWrites;     // block or chunk writes refused with NAK
    std::vector<BlockFault> corruptWrites; // block or chunk writes acknowledged but stored damaged
    std::vector<LineFault> lineFaults;
    std::vector<TestFrameFault> testFaults;
};

// What test mode and tuning set in the radio, reported back by the status frames.
struct TestState {
    std::array<Byte, 32> status{};   // adjustment values in the radio's status-record order
    std::array<Byte, 2> statusExt{}; // the two extra adjustment values read with '7' and '8'
    std::array<Byte, 2> volume{};    // 'P' value per deck
    int channel = 1;                 // test channel 1..16
    int signalling = 1;              // test signalling 1..9
    bool narrow = false;             // set by 'G', cleared by 'F'
    bool transmitting = false;
    Byte activeItem = 0; // command code of the adjustment item last started
    bool itemRunning = false;
    bool option22 = false, beatShift = false, compander = false, mskHigh = false;

    TestState();
};

class RadioSim {
  public:
    enum class Mode { Normal, Program, Test };

    RadioSim(RadioMemory& memory, ByteChannel& channel, SimConfig config = {});

    void receive(Byte b);
    void receive(std::span<const Byte> bytes);
    // The client closed the line: the radio drops whatever mode it was in.
    void lineDropped();

    Mode mode() const { return mode_; }
    // Number of programming or test sessions that the client ended with an acknowledged 'E'.
    int sessionsEnded() const { return sessionsEnded_; }
    // Number of write frames (main block, code record, extension chunk) taken in programming mode.
    int writeFrames() const { return writeFrames_; }
    const TestState& testState() const { return test_; }
    // True once after an answer with a hang-up fault went out: the line is to be hung up now.
    bool takeHangUp() { return std::exchange(hangUp_, false); }
    void setLogger(std::function<void(const std::string&)> log) { log_ = std::move(log); }

  private:
    int frameLength() const;
    int programFrameLength() const;
    int testFrameLength() const;
    void dispatch(std::span<const Byte> f);
    void dispatchProgram(std::span<const Byte> f);
    void dispatchTest(std::span<const Byte> f);

    void readIdentification(std::span<const Byte> f);
    void readMainBlock(std::span<const Byte> f);
    void writeMainBlock(std::span<const Byte> f);
    void readCodeRecord(std::span<const Byte> f);
    void writeCodeRecord(std::span<const Byte> f);
    void readExtensionChunk(std::span<const Byte> f);
    void writeExtensionChunk(std::span<const Byte> f);
    void leaveMode();

    void selectTestChannel(std::span<const Byte> f);
    void adjustItem(std::span<const Byte> f);
    void readAdjustmentValue(std::span<const Byte> f);
    void setDeckSwitch(std::span<const Byte> f, bool& on);
    void volumeFrame(std::span<const Byte> f);

    // Resolves a selector to a unit of the wanted kind; answers for the caller when it cannot.
    int target(Byte selector, UnitKind kind);
    // The unit and place a transfer frame addresses: main-area block, DTMF record (0-based) or
    // extension byte offset. Refuses the frame for the caller when either is out of range.
    struct Place {
        int unit;
        int index;
    };
    std::optional<Place> mainBlockOf(std::span<const Byte> f);
    std::optional<Place> codeRecordOf(std::span<const Byte> f);
    std::optional<Place> extChunkOf(std::span<const Byte> f);
    void send(std::span<const Byte> bytes);
    void send(std::initializer_list<Byte> bytes) { send(std::span<const Byte>(bytes.begin(), bytes.size())); }
    void ack();
    void nak() { send({kNak}); }
    bool refuseWrite(int unit, int block);
    // Makes the next answer carry the line fault set for this block, if any is left.
    void armLineFault(int unit, int block);
    static bool takeFault(std::vector<BlockFault>& faults, int unit, int block);
    // Counts the test frame and applies its fault; true when the frame is not to be carried out.
    bool faultTestFrame(Byte code);
    void log(const std::string& text) const;

    RadioMemory& memory_;
    ByteChannel& channel_;
    SimConfig config_;
    Mode mode_ = Mode::Normal;
    std::vector<Byte> frame_;
    bool swallowAck_ = false;
    std::optional<LineFault> armed_;
    bool hangUp_ = false;
    int sessionsEnded_ = 0;
    int writeFrames_ = 0;
    TestState test_;
    std::array<int, 256> testFrames_{}; // test and tuning frames seen, by command byte
    std::function<void(const std::string&)> log_;
};

} // namespace velora::sim
