// Frames of the programming protocol, byte for byte, against an in-memory link.
#include <gtest/gtest.h>

#include <numeric>

#include "comm/RadioProtocol.h"
#include "comm_fakes.h"

using namespace velora;
using namespace velora::comm;
using velora::test::FakeLink;
using velora::test::RecordingClock;
using Bytes = std::vector<Byte>;

namespace {

Bytes bytesOf(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct ProtocolTest : ::testing::Test {
    FakeLink link;
    RecordingClock clock;
    RadioProtocol proto{link, clock};
};

Bytes ramp(std::size_t n, Byte start = 0) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), start);
    return b;
}

} // namespace

// --- Programming-mode entry and baud search -------------------------------------------------------

TEST_F(ProtocolTest, ProgramModeAcceptedAt9600WithImmediateAck) {
    link.script = {{7, {kAck}}};
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Ok);
    EXPECT_EQ(link.sent, bytesOf("PROGRAM"));
    link.script = {{14, {kSyn, kAck}}};
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Ok) << "any first byte followed by ACK";
    EXPECT_EQ(link.settings, "9600,N,8,2");
    EXPECT_EQ(link.timeout, 550u);
    EXPECT_EQ(link.receiveTimeouts, (std::vector<std::uint32_t>{500, 500, 500}));
}

TEST_F(ProtocolTest, SilentRadioGetsProgramOncePerRateInSearchOrder) {
    link.settings = "19200,E,7,1";
    link.timeout = 1234;
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Failed);
    EXPECT_EQ(link.sent.size(), 5u * 7u);
    EXPECT_EQ(link.settingsHistory, (std::vector<std::string>{"9600,E,7,1", "19200,E,7,1", "4800,E,7,1",
                                                              "2400,E,7,1", "1200,E,7,1"}))
        << "only the rate changes";
    EXPECT_EQ(link.receiveTimeouts, (std::vector<std::uint32_t>{500, 100, 100, 100, 100}));
    EXPECT_EQ(link.timeout, 1234u) << "the caller's read time-out comes back after a failed search";
}

TEST_F(ProtocolTest, SlowerRatesNeedSynThenAckAndSetTheirOwnTimeout) {
    // Answers only at 2400 baud, properly with SYN then ACK.
    link.onSend = [](FakeLink& l, std::span<const Byte>) {
        if (l.settings.rfind("2400,", 0) == 0) l.reply({kSyn, kAck});
    };
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Ok);
    EXPECT_EQ(link.settings, "2400,N,8,2") << "the line stays at the rate found";
    EXPECT_EQ(link.timeout, 2200u);
    EXPECT_EQ(link.receiveTimeouts.back(), 500u) << "the second answer byte is awaited 500 ms";
}

TEST_F(ProtocolTest, ImmediateAckAwayFrom9600IsNotAccepted) {
    int pumps = 0;
    proto.setMessagePump([&] { ++pumps; });
    link.onSend = [](FakeLink& l, std::span<const Byte>) {
        if (l.settings.rfind("19200,", 0) == 0) l.reply({kAck, kAck});
        if (l.settings.rfind("4800,", 0) == 0) l.reply({kSyn, kAck});
    };
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Ok);
    EXPECT_EQ(link.settings, "4800,N,8,2");
    EXPECT_EQ(link.timeout, 1100u);
    EXPECT_EQ(pumps, 3) << "messages run before each rate tried";
}

// --- Identification -------------------------------------------------------------------------------

TEST_F(ProtocolTest, IdentificationRequestAndAnswer) {
    const Bytes id = concat({bytesOf("Q0120"), {0x04, 0x50, 0x00, 0x0F, 0xF0}});
    link.script = {{2, id}, {3, {kAck}}};
    Identification out{};
    EXPECT_EQ(proto.readIdentification(kSelectorDeck1, out), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{kStx, 0x0F, kAck}));
    EXPECT_EQ(Bytes(out.begin(), out.end()), id);
    EXPECT_EQ(clock.waits, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(50)}));
}

// --- Main-area blocks -----------------------------------------------------------------------------

TEST_F(ProtocolTest, ReadBlockWithGoodChecksum) {
    const Bytes data = ramp(128, 0x40);
    link.script = {{4, concat({{'W'}, data, {blockChecksum(data)}})}, {5, {kAck}}};
    Bytes dest(128, 0);
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380 + 5, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'R', 0x0F, 0x03, 0x85, kAck}));
    EXPECT_EQ(dest, data);
}

TEST_F(ProtocolTest, BadChecksumIsRefusedWithNakAndAskedAgain) {
    const Bytes data = ramp(128);
    const Bytes bad = concat({{'W'}, data, {static_cast<Byte>(blockChecksum(data) + 1)}});
    const Bytes good = concat({{'W'}, data, {blockChecksum(data)}});
    // Attempt 1 bad -> NAK acknowledged; attempt 2 good -> ACK.
    link.script = {{4, bad}, {5, {kAck}}, {9, good}, {10, {kAck}}};
    Bytes dest(128, 0);
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'R', 0x0F, 0x03, 0x80, kNak, 'R', 0x0F, 0x03, 0x80, kAck}));
    EXPECT_EQ(dest, data);
}

TEST_F(ProtocolTest, ThreeBadChecksumsEndWithStatusOne) {
    const Bytes data = ramp(128);
    const Bytes bad = concat({{'W'}, data, {static_cast<Byte>(blockChecksum(data) ^ 0xFF)}});
    link.script = {{4, bad}, {5, {kAck}}, {9, bad}, {10, {kAck}}, {14, bad}, {15, {kAck}}, {19, bad}};
    Bytes dest(128, 0);
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380, kSelectorDeck1), RadioStatus::Failed);
    EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), Byte{'R'}), 3) << "at most three attempts";
    EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kNak), 3);
}

TEST_F(ProtocolTest, ReadBlockDiagnosticStatuses) {
    Bytes dest(128, 0);
    const Bytes data = ramp(128);
    link.script = {{4, concat({{'W'}, data, {static_cast<Byte>(blockChecksum(data) + 1)}})}, {5, {kSyn}}};
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380, kSelectorDeck1), RadioStatus::NakRefused);
    link.sent.clear();
    link.script = {{4, {'Z', 0x00}}, {5, {kNak}}};
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380, kSelectorDeck1), RadioStatus::NotAcknowledged);
    link.sent.clear();
    link.script = {};
    EXPECT_EQ(proto.readMainBlock(dest, 0x0380, kSelectorDeck1), RadioStatus::Failed) << "silence";
    EXPECT_EQ(link.sent.size(), 12u);
    Bytes tooSmall(127, 0);
    EXPECT_EQ(proto.readMainBlock(tooSmall, 0x0380, kSelectorDeck1), RadioStatus::Failed);
}

// A send that fails stops at once with the status naming the step, without further attempts.
TEST_F(ProtocolTest, FailedSendsStopWithTheStatusOfTheirStep) {
    Bytes block(128, 0), rec(16, 0x31);
    const Bytes data = ramp(128);
    const Bytes bad = concat({{'W'}, data, {static_cast<Byte>(blockChecksum(data) + 1)}});
    struct Case {
        const char* name;
        int failingSend;
        std::vector<std::pair<std::size_t, Bytes>> script;
        std::function<RadioStatus(RadioProtocol&)> op;
        RadioStatus expected;
    };
    auto readBlock = [&](RadioProtocol& p) { return p.readMainBlock(block, 0x0380, kSelectorDeck1); };
    auto readRecord = [&](RadioProtocol& p) { return p.readCodeRecord(rec, 0, kSelectorDeck1); };
    auto writeRecord = [&](RadioProtocol& p) { return p.writeCodeRecord(rec, 0, kSelectorDeck1); };
    const std::vector<Case> cases{
        {"block command", 0, {}, readBlock, RadioStatus::CommandNotSent},
        {"block selector", 1, {}, readBlock, RadioStatus::Failed},
        {"block address", 2, {}, readBlock, RadioStatus::AddressNotSent},
        {"block closing ACK", 3, {{4, {'Z', 0xFF}}}, readBlock, RadioStatus::AckNotSent},
        {"block NAK", 3, {{4, bad}}, readBlock, RadioStatus::NakNotSent},
        {"record command", 0, {}, readRecord, RadioStatus::CommandNotSent},
        {"record selector", 1, {}, readRecord, RadioStatus::CommandNotSent},
        {"record number", 2, {}, readRecord, RadioStatus::AddressNotSent},
        {"record closing ACK", 3, {{3, Bytes(17, 0x31)}}, readRecord, RadioStatus::AckNotSent},
        {"write record command", 0, {}, writeRecord, RadioStatus::CommandNotSent},
        {"write record selector", 1, {}, writeRecord, RadioStatus::CommandNotSent},
        {"write record number", 2, {}, writeRecord, RadioStatus::AddressNotSent},
    };
    for (const auto& c : cases) {
        FakeLink l;
        RecordingClock clk;
        RadioProtocol p(l, clk);
        l.script = c.script;
        l.failSendCall = c.failingSend;
        EXPECT_EQ(c.op(p), c.expected) << c.name;
        EXPECT_EQ(l.sends, c.failingSend + 1) << c.name << ": nothing is sent after the failure";
    }
}

TEST_F(ProtocolTest, CodeRecordWriteRepeatsAfterAFailedCountOrMissingAnswer) {
    Bytes rec(16, 0x31);
    link.failSendCall = 3; // the count byte of the first attempt
    link.script = {{3 + 4 + 16, {kAck}}};
    EXPECT_EQ(proto.writeCodeRecord(rec, 0, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, concat({{'Y', 0x0F, 0x01}, {'Y', 0x0F, 0x01, 16}, rec}))
        << "the frame is sent again from its command byte";

    FakeLink silent;
    RadioProtocol p(silent, clock);
    EXPECT_EQ(p.writeCodeRecord(rec, 0, kSelectorDeck1), RadioStatus::Failed);
    EXPECT_EQ(silent.sent.size(), 3u * 20u) << "three attempts, then status 1";
}

TEST_F(ProtocolTest, FailedProgramSendEndsTheSearchAtOnce) {
    link.timeout = 1234;
    link.failSendCall = 0;
    EXPECT_EQ(proto.enterProgramMode(), RadioStatus::Failed);
    EXPECT_EQ(link.sends, 1);
    EXPECT_EQ(link.settingsHistory.size(), 1u) << "no further rate is tried";
    EXPECT_EQ(link.timeout, 1234u);
}

TEST_F(ProtocolTest, RadioChecksumWaitsThreeSecondsThenFiveHundred) {
    link.script = {{1, {0x12, 0x34}}, {2, {kAck}}};
    std::array<Byte, 2> sum{};
    EXPECT_EQ(proto.readRadioChecksum(sum), RadioStatus::Ok);
    EXPECT_EQ(link.receiveTimeouts, (std::vector<std::uint32_t>{3000, 500}));
    EXPECT_EQ(link.timeout, 500u);
}

TEST_F(ProtocolTest, WriteBlockSendsDataAndChecksum) {
    const Bytes data = ramp(128, 7);
    link.script = {{4 + 128 + 1, {kAck}}};
    EXPECT_EQ(proto.writeMainBlock(data, 0x0380 + 127, kSelectorDeck2), RadioStatus::Ok);
    EXPECT_EQ(link.sent, concat({{'W', 0x1F, 0x03, 0xFF}, data, {blockChecksum(data)}}));
}

TEST_F(ProtocolTest, UniformBlockTravelsAsFillFrame) {
    link.script = {{5, {kAck}}};
    EXPECT_EQ(proto.writeMainBlock(Bytes(128, 0xFF), 0x0381, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'Z', 0x0F, 0x03, 0x81, 0xFF}));
    link.sent.clear();
    link.script = {{4, {kAck}}};
    EXPECT_EQ(proto.writeMainBlock(Bytes(128, 0x00), 0x0381, kSelectorNone), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'Z', 0x03, 0x81, 0x00})) << "selector 0 is not sent";
}

TEST_F(ProtocolTest, WriteBlockRepeatsAfterRefusalAndStopsOnSilence) {
    link.script = {{5, {kNak}}, {10, {kNak}}, {15, {kAck}}};
    EXPECT_EQ(proto.writeMainBlock(Bytes(128, 1), 0x0380, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent.size(), 15u);
    link.sent.clear();
    link.script = {{5, {kNak}}, {10, {kNak}}, {15, {kNak}}, {20, {kAck}}};
    EXPECT_EQ(proto.writeMainBlock(Bytes(128, 1), 0x0380, kSelectorDeck1), RadioStatus::Failed);
    EXPECT_EQ(link.sent.size(), 15u) << "three attempts only";
    link.sent.clear();
    link.script = {};
    EXPECT_EQ(proto.writeMainBlock(Bytes(128, 1), 0x0380, kSelectorDeck1), RadioStatus::Failed);
    EXPECT_EQ(link.sent.size(), 5u) << "a missing answer stops at once";
}

// --- DTMF code records ----------------------------------------------------------------------------

TEST_F(ProtocolTest, CodeRecordWriteNormalisesTheCallersRecord) {
    Bytes rec{0x01, 0x02, 0x00, 0x0A, 0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    link.script = {{4 + 16, {kAck}}};
    EXPECT_EQ(proto.writeCodeRecord(rec, 8, kSelectorDeck1), RadioStatus::Ok);
    Bytes normalised{0x01, 0x02, 0xFF, 0x0A, 0xFF, 0xFF, 0xFF, 0xFF,
                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(rec, normalised);
    EXPECT_EQ(link.sent, concat({{'Y', 0x0F, 0x09, 0x03}, normalised}));

    Bytes blank(16, 0x00);
    link.sent.clear();
    link.script = {{20, {kAck}}};
    EXPECT_EQ(proto.writeCodeRecord(blank, 0, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent[3], 0) << "sixteen 0x00 bytes are sent with count 0";
    link.sent.clear();
    link.script = {{20, {kNak}}};
    EXPECT_EQ(proto.writeCodeRecord(blank, 0, kSelectorDeck1), RadioStatus::NotAcknowledged);
}

// --- Extension chunks -----------------------------------------------------------------------------

TEST_F(ProtocolTest, ExtensionChunkReadDataAndFill) {
    const Bytes data = ramp(32, 0x20);
    link.script = {{5, concat({{'X', 0x01, 0x40}, data})}, {6, {kAck}}};
    Bytes dest(32, 0);
    EXPECT_EQ(proto.readExtensionChunk(dest, 0x0140, 32, kSelectorHead1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'S', 0x8F, 0x01, 0x40, 32, kAck}));
    EXPECT_EQ(dest, data);

    link.sent.clear();
    link.script = {{5, {'[', 0x1F, 0xE0, 0x55}}, {6, {kAck}}};
    EXPECT_EQ(proto.readExtensionChunk(dest, 0x1FE0, 32, kSelectorHead2), RadioStatus::Ok);
    EXPECT_EQ(dest, Bytes(32, 0x55));
    EXPECT_EQ(proto.readExtensionChunk(dest, 0, 33, kSelectorHead1), RadioStatus::Failed)
        << "a length beyond the destination is refused before anything is sent";
    Bytes big(300, 0);
    link.sent.clear();
    EXPECT_EQ(proto.readExtensionChunk(big, 0, 256, kSelectorHead1), RadioStatus::Failed);
    EXPECT_EQ(proto.writeExtensionChunk(big, 0, 256, kSelectorHead1), RadioStatus::Failed);
    EXPECT_TRUE(link.sent.empty()) << "the length byte holds at most 255";
}

TEST_F(ProtocolTest, ExtensionChunkWriteDataAndFill) {
    const Bytes data = ramp(32);
    link.script = {{5 + 32, {kAck}}};
    EXPECT_EQ(proto.writeExtensionChunk(data, 0x0020, 32, kSelectorHead1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, concat({{'X', 0x8F, 0x00, 0x20, 32}, data}));
    link.sent.clear();
    link.script = {{6, {kAck}}};
    EXPECT_EQ(proto.writeExtensionChunk(Bytes(32, 0xFF), 0x1FE0, 32, kSelectorHead1), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{'[', 0x8F, 0x1F, 0xE0, 32, 0xFF})) << "length byte stays 32 for a fill";
}

// --- Line faults ----------------------------------------------------------------------------------

// An answer that stalls, arrives late, or has noise before it is never taken for a good one: the
// attempt fails, the line is let fall quiet, and only a clean answer is acknowledged and kept.
TEST_F(ProtocolTest, LineFaultsNeverYieldAWrongUnit) {
    using Script = std::vector<std::pair<std::size_t, Bytes>>;
    const Bytes data = ramp(128, 0x40);
    const Bytes block = concat({{'W'}, data, {blockChecksum(data)}});
    const Bytes head(block.begin(), block.begin() + 101), tail(block.begin() + 101, block.end());
    const Bytes noise{0xFF, 0x00, 0x55};
    const Bytes rec = ramp(16, 0x31), chunk = ramp(32, 0x20);
    const Bytes chunkAnswer = concat({{'X', 0x01, 0x40}, chunk});
    struct Case {
        const char* name;
        char unit; // 'B' main block, 'R' code record, 'C' extension chunk
        Script script, late;
        RadioStatus expected;
        std::size_t settles;
    };
    const std::vector<Case> cases{
        {"clean block", 'B', {{4, block}, {5, {kAck}}}, {}, RadioStatus::Ok, 0},
        {"block stalls mid-frame, its tail comes before the retried answer",
         'B',
         {{4, head}, {8, block}, {9, {kAck}}},
         {{4, tail}},
         RadioStatus::Ok,
         1},
        {"noise before the block",
         'B',
         {{4, concat({noise, block})}, {5, {kAck}}, {8, block}, {9, {kAck}}},
         {},
         RadioStatus::Ok,
         1},
        {"noise before every answer",
         'B',
         {{4, concat({noise, block})},
          {5, {kAck}},
          {8, concat({noise, block})},
          {9, {kAck}},
          {12, concat({noise, block})},
          {13, {kAck}}},
         {},
         RadioStatus::Failed,
         3},
        {"late answer to the block", 'B', {{8, block}, {9, {kAck}}}, {{4, block}}, RadioStatus::Ok, 1},
        {"trailing bytes after a code record",
         'R',
         {{3, concat({{0x10}, rec, {0x00}})}, {4, {kAck}}, {6, concat({{0x10}, rec})}, {7, {kAck}}},
         {},
         RadioStatus::Ok,
         1},
        {"clean chunk", 'C', {{5, chunkAnswer}, {6, {kAck}}}, {}, RadioStatus::Ok, 0},
        {"chunk echoes another offset",
         'C',
         {{5, concat({{'X', 0x01, 0x60}, chunk})}, {6, {kAck}}},
         {},
         RadioStatus::Failed,
         1},
        {"noise before the chunk",
         'C',
         {{5, concat({noise, chunkAnswer})}, {6, {kAck}}},
         {},
         RadioStatus::Failed,
         1},
        {"chunk stalls mid-frame",
         'C',
         {{5, Bytes(chunkAnswer.begin(), chunkAnswer.begin() + 20)}},
         {{5, Bytes(chunkAnswer.begin() + 20, chunkAnswer.end())}},
         RadioStatus::Failed,
         1},
    };
    for (const auto& c : cases) {
        FakeLink l;
        RecordingClock clk;
        RadioProtocol p(l, clk);
        l.script = c.script;
        l.lateScript = c.late;
        Bytes dest(c.unit == 'B' ? 128 : c.unit == 'R' ? 16 : 32, 0);
        const RadioStatus got = c.unit == 'B'   ? p.readMainBlock(dest, 0x0380, kSelectorDeck1)
                                : c.unit == 'R' ? p.readCodeRecord(dest, 0, kSelectorDeck1)
                                                : p.readExtensionChunk(dest, 0x0140, 32, kSelectorHead1);
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(l.settles.size(), c.settles) << c.name;
        if (got == RadioStatus::Ok) {
            EXPECT_EQ(dest, c.unit == 'B' ? data : c.unit == 'R' ? rec : chunk) << c.name;
        } else {
            EXPECT_EQ(std::count(l.sent.begin(), l.sent.end(), kAck), 0)
                << c.name << ": nothing acknowledged";
        }
    }
}

// A write whose answer is missing or comes among other bytes lets the line fall quiet; the block
// frame is sent again when its answer was muddled, and the radio's late answer cannot stand for the
// next frame's.
TEST_F(ProtocolTest, WriteAnswersAmongNoiseOrLateAreNotTrusted) {
    link.script = {{133, {0x55, kAck}}, {266, {kAck}}};
    const Bytes data = ramp(128);
    EXPECT_EQ(proto.writeMainBlock(data, 0x0380, kSelectorDeck1), RadioStatus::Ok);
    EXPECT_EQ(link.sent.size(), 266u) << "sent again";
    EXPECT_EQ(link.settles.size(), 1u);

    FakeLink l;
    RadioProtocol p(l, clock);
    l.lateScript = {{37, {kNak}}};
    l.script = {{74, {kAck}}};
    EXPECT_EQ(p.writeExtensionChunk(ramp(32), 0x0000, 32, kSelectorHead1), RadioStatus::Failed);
    EXPECT_EQ(l.settles.size(), 1u);
    EXPECT_EQ(p.writeExtensionChunk(ramp(32), 0x0020, 32, kSelectorHead1), RadioStatus::Ok)
        << "the late NAK of the chunk before was dropped";
}

// --- Mode changes and test frames -----------------------------------------------------------------

TEST_F(ProtocolTest, ReopenForTestModeGoesBackTo9600) {
    link.settings = "1200,N,8,2";
    link.open = true;
    EXPECT_EQ(proto.reopenForTestMode(), RadioStatus::Ok);
    EXPECT_EQ(link.closes, 1);
    EXPECT_EQ(link.settings, "9600,N,8,2");
    EXPECT_EQ(link.timeout, 1500u);
    link.failOpen = true;
    EXPECT_EQ(proto.reopenForTestMode(), RadioStatus::Failed);
}

TEST_F(ProtocolTest, SelectTestChannelWaitsAndAcceptsAckOrNak) {
    const Bytes reply = ramp(8, 0x10);
    link.script = {{3, reply}, {4, {kNak}}};
    std::array<Byte, 8> out{};
    EXPECT_EQ(proto.selectTestChannel(kSelectorDeck1, 16, out), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{0x10, 0x0F, 16, kAck}));
    EXPECT_EQ(Bytes(out.begin(), out.end()), reply);
    EXPECT_EQ(clock.waits, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(110)}));
    link.sent.clear();
    link.script = {{3, reply}, {4, {kSyn}}};
    EXPECT_EQ(proto.selectTestChannel(kSelectorDeck1, 1, out), RadioStatus::Failed);
}

// Frames with their scripted answers: (bytes sent so far, reply). Each must succeed with exactly
// these bytes on the wire, and fail when the radio stays silent.
TEST_F(ProtocolTest, FramesAreByteExact) {
    using Script = std::vector<std::pair<std::size_t, Bytes>>;
    struct Case {
        const char* name;
        std::function<RadioStatus(RadioProtocol&)> op;
        Bytes frame;
        Script script;
    };
    const Bytes id = concat({bytesOf("Q0120"), {0x04, 0x50, 0x00, 0x0F, 0xF0}});
    std::array<Byte, 32> status{};
    std::array<Byte, 8> chan{};
    std::array<Byte, 2> two{};
    Identification ident{};
    Bytes value(4), rec(16);
    Byte vol = 0;
    const std::vector<Case> cases{
        {"identification",
         [&](RadioProtocol& p) { return p.readIdentification(0x0F, ident); },
         {kStx, 0x0F, kAck},
         {{2, id}, {3, {kAck}}}},
        {"probe",
         [&](RadioProtocol& p) { return p.probeIdentification(0x0F, ident); },
         {kStx, 0x0F},
         {{2, id}}},
        {"code record",
         [&](RadioProtocol& p) { return p.readCodeRecord(rec, 2, 0x0F); },
         {'T', 0x0F, 0x03, kAck},
         {{3, concat({{0x03}, Bytes(16, 0x31)})}, {4, {kAck}}}},
        {"fill block",
         [&](RadioProtocol& p) {
             Bytes b(128);
             return p.readMainBlock(b, 0x0380, 0x0F);
         },
         {'R', 0x0F, 0x03, 0x80, kAck},
         {{4, {'Z', 0xA5}}, {5, {kAck}}}},
        {"leave", [](RadioProtocol& p) { return p.leaveRadioMode(); }, {'E'}, {{1, {kAck}}}},
        {"tuning", [](RadioProtocol& p) { return p.enterTuningMode(); }, bytesOf("TUNING "), {{7, {kAck}}}},
        {"signalling",
         [](RadioProtocol& p) { return p.selectTestSignalling(0x0F, 3); },
         {0x11, 0x0F, 3},
         {{3, {kAck}}}},
        {"option on",
         [](RadioProtocol& p) { return p.switchOption(0x0F, true); },
         {'G', 0x0F},
         {{2, {kAck}}}},
        {"option off",
         [](RadioProtocol& p) { return p.switchOption(0x0F, false); },
         {'F', 0x0F},
         {{2, {kAck}}}},
        {"start item",
         [](RadioProtocol& p) { return p.startAdjustment(0x31, 0x0F); },
         {0x31, 0x0F, 0x0D},
         {{3, {kAck}}}},
        {"stop item",
         [](RadioProtocol& p) { return p.stopAdjustment(0x31, 0x0F); },
         {0x31, 0x0F, 0x0E},
         {{3, {kAck}}}},
        {"0x0B on", [](RadioProtocol& p) { return p.switchOption0B(true); }, {0x0B, 0x0D}, {{2, {kAck}}}},
        {"0x84 off", [](RadioProtocol& p) { return p.switchOption84(false); }, {0x84, 0x0E}, {{2, {kAck}}}},
        {"msk on", [](RadioProtocol& p) { return p.switchMskRate(true); }, {0x86}, {{1, {kAck}}}},
        {"msk off", [](RadioProtocol& p) { return p.switchMskRate(false); }, {0x85}, {{1, {kAck}}}},
        {"volume +1", [](RadioProtocol& p) { return p.volume(1); }, {'!', 0x0A}, {{2, {kAck}}}},
        {"volume -1", [](RadioProtocol& p) { return p.volume(-1); }, {'!', 0x0B}, {{2, {kAck}}}},
        {"volume set 40", [](RadioProtocol& p) { return p.volume(40); }, {'!', 0x1A, 40}, {{3, {kAck}}}},
        {"volume -7", [](RadioProtocol& p) { return p.volume(-7); }, {'!', 0x1B, 7}, {{3, {kAck}}}},
        {"read volume",
         [&](RadioProtocol& p) { return p.readVolume(vol); },
         {'!', 0x0C, kAck},
         {{2, {77}}, {3, {kAck}}}},
        {"status record",
         [&](RadioProtocol& p) { return p.readStatusRecord(0x0F, status); },
         {0x05, 0x0F, kAck},
         {{2, Bytes(32, 1)}, {3, {kAck}}}},
        {"status extension",
         [&](RadioProtocol& p) { return p.readStatusExtension(0x0F, two); },
         {'7', 0x0F, 0x1A, kAck, '8', 0x0F, 0x1A, kAck},
         {{3, {0x44}}, {7, {0x55}}}},
        {"adjustment value",
         [&](RadioProtocol& p) { return p.readAdjustmentValue(0x0F, value); },
         {0x07, 0x0F, kAck},
         {{2, {1, 2, 3, 4}}, {3, {kAck}}}},
        {"radio checksum",
         [&](RadioProtocol& p) { return p.readRadioChecksum(two); },
         {'|', kAck},
         {{1, {0x12, 0x34}}, {2, {kAck}}}},
        {"ack then 0x22",
         [](RadioProtocol& p) { return p.acknowledgeThenSwitch22(0x0F, true); },
         {kAck, 0x22, 0x0F, 0x0D},
         {{1, {kAck}}, {4, {kAck}}}},
        {"P value, dual band",
         [](RadioProtocol& p) { return p.setPValue(20, true); },
         {'P', 0x0F, 0x1A, 20, 'P', 0x1F, 0x1A, 20},
         {{4, {kAck}}, {8, {kAck}}}},
        {"channel and signalling",
         [&](RadioProtocol& p) { return p.selectChannelAndSignalling(0x0F, 2, 5, status, chan); },
         {0x05, 0x0F, kAck, 0x10, 0x0F, 2, kAck, 0x11, 0x0F, 5},
         {{2, Bytes(32, 0)}, {3, {kAck}}, {6, Bytes(8, 0)}, {7, {kAck}}, {10, {kAck}}}},
    };
    for (const auto& c : cases) {
        FakeLink l;
        RecordingClock clk;
        RadioProtocol p(l, clk);
        l.script = c.script;
        EXPECT_EQ(c.op(p), RadioStatus::Ok) << c.name;
        EXPECT_EQ(l.sent, c.frame) << c.name;
        FakeLink silent;
        RadioProtocol q(silent, clk);
        EXPECT_NE(c.op(q), RadioStatus::Ok) << c.name << " without an answer";
    }
    EXPECT_EQ(Bytes(ident.begin(), ident.end()), id);
    EXPECT_EQ(vol, 77);
    EXPECT_EQ(two, (std::array<Byte, 2>{0x12, 0x34}));
}

TEST_F(ProtocolTest, TransmitUsesItsOwnTimeoutThenFiveHundred) {
    link.script = {{3, {kAck}}};
    EXPECT_EQ(proto.transmit(0x0F, true), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{0x08, 0x0F, 0x0D}));
    EXPECT_EQ(link.receiveTimeouts.back(), 800u);
    EXPECT_EQ(link.timeout, 500u);
    link.sent.clear();
    link.script = {};
    link.timeout = 1500;
    EXPECT_EQ(proto.transmit(0x0F, false), RadioStatus::Failed);
    EXPECT_EQ(link.timeout, 500u) << "500 ms whatever the outcome";
}

TEST_F(ProtocolTest, StepAdjustmentSendsOneFramePerStep) {
    EXPECT_EQ(proto.stepAdjustment(0x31, 0x0F, 0), RadioStatus::Ok);
    EXPECT_TRUE(link.sent.empty()) << "a step of 0 sends nothing";
    link.script = {{3, {kAck}}, {6, {kAck}}, {9, {kAck}}};
    EXPECT_EQ(proto.stepAdjustment(0x31, 0x0F, -3), RadioStatus::Ok);
    EXPECT_EQ(link.sent, (Bytes{0x31, 0x0F, 0x0B, 0x31, 0x0F, 0x0B, 0x31, 0x0F, 0x0B}));
    link.sent.clear();
    link.script = {{3, {kAck}}, {6, {kNak}}, {9, {kAck}}};
    EXPECT_EQ(proto.stepAdjustment(0x31, 0x0F, 3), RadioStatus::Failed);
    EXPECT_EQ(link.sent.size(), 6u) << "the first refusal stops the steps";
}

TEST(RadioProtocolHelpers, SelectorsAndChecksum) {
    EXPECT_EQ(selectorForIndex(0), 0x0F);
    EXPECT_EQ(selectorForIndex(1), 0x1F);
    EXPECT_EQ(selectorForIndex(2), 0x8F);
    EXPECT_EQ(selectorForIndex(3), 0x9F);
    EXPECT_EQ(selectorForIndex(4), 0x00);
    EXPECT_EQ(selectorForIndex(-1), 0x00);
    EXPECT_EQ(blockChecksum(Bytes(128, 0xFF)), 0x80) << "sum modulo 256";
}
