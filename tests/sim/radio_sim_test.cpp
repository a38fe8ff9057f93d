// The simulated radio's protocol state machine, its pacing arithmetic and its memory set-up.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string_view>

#include "FleetBench.h"
#include "Pacer.h"
#include "PtyLine.h"
#include "RadioSim.h"
#include "SimOptions.h"

using namespace velora;
using namespace velora::sim;
using Bytes = std::vector<Byte>;

namespace {

class FakeChannel : public ByteChannel {
  public:
    void send(std::span<const Byte> bytes) override { sent.insert(sent.end(), bytes.begin(), bytes.end()); }
    void pause(std::chrono::milliseconds ms) override { pauses.emplace_back(sent.size(), ms.count()); }
    LineSettings line() const override { return settings; }
    Bytes take() { return std::exchange(sent, {}); }

    Bytes sent;
    std::vector<std::pair<std::size_t, long>> pauses; // (bytes sent before it, milliseconds)
    LineSettings settings{9600, 11};
};

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Byte sum8(std::span<const Byte> d) {
    return static_cast<Byte>(std::accumulate(d.begin(), d.end(), 0u));
}

std::span<const Byte> block(const UnitImage& u, int n) {
    return {u.main.data() + n * 128, 128};
}

class RadioSimTest : public ::testing::Test {
  protected:
    RadioSimTest() {
        memory.ident = {'Q', '0', '1', '2', '0', 0x04, 0x50, 0x00, 0x0F, 0xF0}; // single band, single head
        auto& deck = memory.unit(0);
        for (std::size_t i = 0; i < 128; ++i)
            deck.main[i] = static_cast<Byte>(i * 3); // block 0 varies
        for (std::size_t i = 0; i < 8; ++i)
            deck.main[layout::kTestFreqModel1 + 8 + i] = static_cast<Byte>(0x40 + i);
        for (std::size_t i = 0; i < 32; ++i)
            memory.unit(2).ext[0x40 + i] = static_cast<Byte>(i);
    }

    RadioSim& radio() {
        if (!sim) sim.emplace(memory, channel, config);
        return *sim;
    }
    Bytes exchange(const Bytes& frame) {
        radio().receive(frame);
        return channel.take();
    }
    void enter(std::string_view word) { ASSERT_EQ(exchange(text(word)), Bytes{kAck}); }

    RadioMemory memory;
    FakeChannel channel;
    SimConfig config;
    std::optional<RadioSim> sim;
};

TEST_F(RadioSimTest, ProgramIsAnsweredOnlyAtTheRadiosRate) {
    channel.settings.baud = 19200;
    EXPECT_TRUE(exchange(text("PROGRAM")).empty());
    EXPECT_EQ(radio().mode(), RadioSim::Mode::Normal);

    // Noise left from the wrong rate must not stop the next attempt from being understood.
    radio().receive(text("PROG"));
    channel.settings.baud = 9600;
    EXPECT_EQ(exchange(text("xPPROGRAM")), Bytes{kAck});
    EXPECT_EQ(radio().mode(), RadioSim::Mode::Program);
}

TEST_F(RadioSimTest, ProgramAtAnotherRateIsAnsweredWithSynThenAck) {
    config.baud = 4800;
    channel.settings.baud = 9600;
    EXPECT_TRUE(exchange(text("PROGRAM")).empty());
    channel.settings.baud = 4800;
    EXPECT_EQ(exchange(text("PROGRAM")), (Bytes{kSyn, kAck}));
}

TEST_F(RadioSimTest, NothingIsAnsweredOutsideAModeOrWhenSilent) {
    EXPECT_TRUE(exchange({kStx, 0x0F}).empty());
    EXPECT_TRUE(exchange({'E'}).empty());
    config.silent = true;
    sim.reset();
    EXPECT_TRUE(exchange(text("PROGRAM")).empty());
}

TEST_F(RadioSimTest, IdentificationIsSentAndItsAcknowledgementAnswered) {
    enter("PROGRAM");
    EXPECT_EQ(exchange({kStx, 0x0F}), Bytes(memory.ident.begin(), memory.ident.end()));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});
}

TEST_F(RadioSimTest, BlockReadCarriesDataAndChecksumOrAFillByte) {
    enter("PROGRAM");
    Bytes answer = exchange({'R', 0x0F, 0x03, 0x80});
    auto data = block(memory.unit(0), 0);
    EXPECT_EQ(answer, concat({{'W'}, Bytes(data.begin(), data.end()), {sum8(data)}}));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});

    EXPECT_EQ(exchange({'R', 0x0F, 0x03, 0x81}), (Bytes{'Z', 0xFF}));
    EXPECT_EQ(exchange({'R', 0x0F, 0x04, 0x00}), Bytes{kNak}) << "block 128 does not exist";
    EXPECT_EQ(exchange({'R', 0x8F, 0x03, 0x80}), Bytes{kNak}) << "a head has no main area";
    EXPECT_TRUE(exchange({'R', 0x1F, 0x03, 0x80}).empty()) << "no deck 2 on a single-band radio";
}

TEST_F(RadioSimTest, BadChecksumIsInjectedTheGivenNumberOfTimes) {
    memory.unit(0).main.fill(0x11); // uniform: a faulty answer must still carry a checksum
    config.badChecksums = {{0, 5, 2}};
    enter("PROGRAM");
    const Bytes request{'R', 0x0F, 0x03, 0x85};
    for (int attempt = 0; attempt < 2; ++attempt) {
        Bytes answer = exchange(request);
        ASSERT_EQ(answer.size(), 130u);
        EXPECT_NE(answer.back(), sum8(std::span(answer).subspan(1, 128)));
        EXPECT_EQ(exchange({kNak}), Bytes{kAck}) << "the radio acknowledges the client's NAK";
    }
    EXPECT_EQ(exchange(request), (Bytes{'Z', 0x11}));
    EXPECT_EQ(exchange({'R', 0x0F, 0x03, 0x86}), (Bytes{'Z', 0x11})) << "other blocks unaffected";
}

TEST_F(RadioSimTest, WrittenBlocksAreStoredOnlyWithAGoodChecksum) {
    enter("PROGRAM");
    Bytes data(128);
    std::iota(data.begin(), data.end(), Byte{7});
    EXPECT_EQ(exchange(concat({{'W', 0x0F, 0x03, 0x82}, data, {sum8(data)}})), Bytes{kAck});
    EXPECT_TRUE(std::ranges::equal(block(memory.unit(0), 2), data));

    Bytes other(128, 0x01);
    other[0] = 0x02;
    EXPECT_EQ(exchange(concat({{'W', 0x0F, 0x03, 0x83}, other, {0x00}})), Bytes{kNak});
    EXPECT_EQ(memory.unit(0).main[3 * 128], 0xFF);

    EXPECT_EQ(exchange({'Z', 0x0F, 0x03, 0xFF, 0x5A}), Bytes{kAck});
    EXPECT_TRUE(std::ranges::all_of(block(memory.unit(0), 127), [](Byte b) { return b == 0x5A; }));
}

TEST_F(RadioSimTest, RefusedWritesAreNotStoredAndAcceptedOnRetry) {
    config.nakWrites = {{2, 3, 1}};
    enter("PROGRAM");
    Bytes frame = concat({{'X', 0x8F, 0x00, 0x60, 32}, Bytes(32, 0x00)});
    frame[5] = 0x01;
    EXPECT_EQ(exchange(frame), Bytes{kNak});
    EXPECT_EQ(memory.unit(2).ext[0x60], 0xFF);
    EXPECT_EQ(exchange(frame), Bytes{kAck});
    EXPECT_EQ(memory.unit(2).ext[0x60], 0x01);
}

TEST_F(RadioSimTest, DtmfRecordsTravelWithACountByte) {
    enter("PROGRAM");
    Bytes record(16, 0xFF);
    record[0] = 0x01, record[1] = 0x02, record[2] = 0x0A;
    EXPECT_EQ(exchange(concat({{'Y', 0x0F, 0x03, 3}, record})), Bytes{kAck});
    EXPECT_TRUE(std::equal(record.begin(), record.end(), memory.unit(0).dtmf.begin() + 32));
    EXPECT_EQ(exchange({'T', 0x0F, 0x03}), concat({{3}, record}));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});
}

TEST_F(RadioSimTest, ExtensionChunksTravelWholeOrAsFill) {
    enter("PROGRAM");
    Bytes chunk(memory.unit(2).ext.begin() + 0x40, memory.unit(2).ext.begin() + 0x60);
    EXPECT_EQ(exchange({'S', 0x8F, 0x00, 0x40, 32}), concat({{'X', 0x00, 0x40}, chunk}));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});
    EXPECT_EQ(exchange({'S', 0x8F, 0x1F, 0xE0, 32}), (Bytes{'[', 0x1F, 0xE0, 0xFF}));
    EXPECT_EQ(exchange({'S', 0x8F, 0x1F, 0xF0, 32}), Bytes{kNak}) << "past the end of the area";

    EXPECT_EQ(exchange({'[', 0x8F, 0x01, 0x00, 32, 0x20}), Bytes{kAck});
    EXPECT_EQ(memory.unit(2).ext[0x11F], 0x20);
    EXPECT_EQ(memory.unit(2).ext[0x120], 0xFF);
}

// Each line fault changes one answer to a frame for its block or chunk, read or write, as often as
// asked, and leaves every other answer alone.
TEST_F(RadioSimTest, LineFaultsShapeTheAnswerOfTheirBlock) {
    const auto data = block(memory.unit(0), 0);
    const Bytes answer = concat({{'W'}, Bytes(data.begin(), data.end()), {sum8(data)}});
    const Bytes chunkRead{'S', 0x8F, 0x00, 0x40, 32};
    const Bytes chunk = concat(
        {{'X', 0x00, 0x40}, Bytes(memory.unit(2).ext.begin() + 0x40, memory.unit(2).ext.begin() + 0x60)});
    Bytes garbled = answer;
    garbled[0] = static_cast<Byte>(~'W');
    struct Case {
        const char* option;
        const char* spec;
        Bytes frame, expected;
        std::vector<std::pair<std::size_t, long>> pauses;
    };
    const std::vector<Case> cases{
        {"--stall", "deck1:0:100:700", {'R', 0x0F, 0x03, 0x80}, answer, {{100, 700}}},
        {"--late", "deck1:0:900", {'R', 0x0F, 0x03, 0x80}, answer, {{0, 900}}},
        {"--garble", "deck1:0:0", {'R', 0x0F, 0x03, 0x80}, garbled, {}},
        {"--noise", "deck1:0:3", {'R', 0x0F, 0x03, 0x80}, concat({{0xFF, 0x00, 0xA5}, answer}), {}},
        {"--noise", "head1:2:1", chunkRead, concat({{0xFF}, chunk}), {}},
        {"--late", "deck1:1:600", {'Z', 0x0F, 0x03, 0x81, 0x00}, {kAck}, {{0, 600}}},
        {"--drop", "deck1:0", {'R', 0x0F, 0x03, 0x80}, {}, {}},
        {"--truncate", "deck1:0:1", {'R', 0x0F, 0x03, 0x80}, {'W'}, {}},
        {"--nak-answer", "deck1:0", {'R', 0x0F, 0x03, 0x80}, {kNak}, {}},
        {"--nak-answer", "deck1:c1", {'T', 0x0F, 0x02}, {kNak}, {}},
        {"--drop", "deck1:id", {kStx, 0x0F}, {}, {}},
    };
    for (const auto& c : cases) {
        std::string error;
        auto o = parseOptions({c.option, std::string(c.spec) + ":2"}, error);
        ASSERT_TRUE(o) << error;
        config = o->config;
        sim.reset();
        channel.pauses.clear();
        enter("PROGRAM");
        for (int time = 0; time < 2; ++time)
            EXPECT_EQ(exchange(c.frame), c.expected) << c.option << " " << c.spec;
        EXPECT_EQ(channel.pauses.size(), c.pauses.empty() ? 0u : 2u) << c.option;
        if (!c.pauses.empty()) {
            EXPECT_EQ(channel.pauses[0], c.pauses[0]) << c.option;
        }
        channel.pauses.clear();
        const Bytes clean = exchange(c.frame);
        EXPECT_TRUE(channel.pauses.empty() && clean.size() <= answer.size() && clean.front() != 0xFF)
            << c.option << ": the third answer is clean";
        EXPECT_EQ(exchange({'R', 0x0F, 0x03, 0x82}), (Bytes{'Z', 0xFF})) << "another block is untouched";
    }
}

TEST_F(RadioSimTest, SecondDeckAndHeadFollowTheIdentification) {
    memory.ident[7] = 0x50; // dual band, dual head
    enter("PROGRAM");
    EXPECT_EQ(exchange({'Z', 0x1F, 0x03, 0x80, 0x00}), Bytes{kAck});
    EXPECT_EQ(memory.unit(1).main[0], 0x00);
    EXPECT_EQ(memory.unit(0).main[0], 0x00) << "deck 1 kept its own block";
    EXPECT_EQ(exchange({'[', 0x9F, 0x00, 0x00, 32, 0x41}), Bytes{kAck});
    EXPECT_EQ(memory.unit(3).ext[0], 0x41);
}

TEST_F(RadioSimTest, LeavingEndsTheSessionAndProgrammingFramesAreIgnoredAfterwards) {
    enter("PROGRAM");
    EXPECT_EQ(exchange({'E'}), Bytes{kAck});
    EXPECT_EQ(radio().sessionsEnded(), 1);
    EXPECT_TRUE(exchange({'R', 0x0F, 0x03, 0x80}).empty());
}

TEST_F(RadioSimTest, DroppedLineReturnsToNormalOperation) {
    enter("PROGRAM");
    radio().receive(Bytes{'R', 0x0F});
    radio().lineDropped();
    EXPECT_EQ(radio().mode(), RadioSim::Mode::Normal);
    EXPECT_EQ(radio().sessionsEnded(), 0);
    enter("PROGRAM");
    EXPECT_EQ(exchange({'R', 0x0F, 0x03, 0x81}), (Bytes{'Z', 0xFF})) << "the half frame was discarded";
}

TEST_F(RadioSimTest, NakModeRefusesEveryAcknowledgementButTheEntry) {
    config.nakAll = true;
    enter("PROGRAM");
    EXPECT_EQ(exchange({kStx, 0x0F}).size(), 10u);
    EXPECT_EQ(exchange({kAck}), Bytes{kNak});
    EXPECT_EQ(exchange({'Z', 0x0F, 0x03, 0x80, 0x00}), Bytes{kNak});
    EXPECT_EQ(memory.unit(0).main[1], 3) << "the refused fill was not stored";
    EXPECT_EQ(exchange({'E'}), Bytes{kNak});
    EXPECT_EQ(radio().mode(), RadioSim::Mode::Program);
}

TEST_F(RadioSimTest, TestModeReportsTestChannelsAndStatus) {
    enter("TUNING ");
    EXPECT_EQ(exchange({0x10, 0x0F, 2}), (Bytes{0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47}));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});
    EXPECT_EQ(exchange({0x10, 0x0F, 17}), Bytes{kNak});
    EXPECT_EQ(exchange({0x05, 0x0F}).size(), 32u);
    EXPECT_EQ(exchange({kAck}), Bytes{kAck});
    EXPECT_EQ(exchange({kAck, 0x22, 0x0F, 0x0D}), (Bytes{kAck, kAck}));
    EXPECT_EQ(exchange({'R', 0x0F, 0x03, 0x80}), Bytes{}) << "no memory reads in test mode";
}

TEST_F(RadioSimTest, StatusExtensionBytesAreNotFollowedByAnAnswerToTheirAck) {
    enter("TUNING ");
    const auto& t = radio().testState();
    EXPECT_EQ(exchange({'7', 0x0F, 0x1A, kAck, '8', 0x0F, 0x1A, kAck}),
              (Bytes{t.statusExt[0], t.statusExt[1]}));
    EXPECT_EQ(exchange({kAck}), Bytes{kAck}) << "a later ACK is answered again";
}

TEST_F(RadioSimTest, AdjustmentStepsChangeTheReportedValues) {
    enter("TUNING ");
    const auto& t = radio().testState();
    Byte item0 = t.status[0];
    EXPECT_EQ(exchange({0x20, 0x0F, 0x0D, 0x20, 0x0F, 0x0A, 0x20, 0x0F, 0x0A}), Bytes(3, kAck));
    EXPECT_EQ(exchange({0x05, 0x0F})[0], static_cast<Byte>(item0 + 2));

    // Item 8 at narrow spacing: moving its first point moves all four.
    EXPECT_EQ(exchange({'G', 0x0F, 0x17, 0x0F, 0x0D}), (Bytes{kAck, kAck}));
    Bytes before = exchange({0x07, 0x0F});
    ASSERT_EQ(before, (Bytes{t.status[7], t.status[9], t.status[11], t.status[13]}));
    EXPECT_EQ(exchange({0x17, 0x0F, 0x0B}), Bytes{kAck});
    Bytes after = exchange({0x07, 0x0F});
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(after[i], static_cast<Byte>(before[i] - 1));
    EXPECT_EQ(exchange({0x99, 0x0F, 0x0A}), Bytes{}) << "unknown item code";
}

TEST_F(RadioSimTest, VolumeIsSetPerDeckAndReadBack) {
    enter("TUNING ");
    EXPECT_EQ(exchange({'P', 0x0F, 0x1A, 20}), Bytes{kAck});
    EXPECT_EQ(exchange({'!', 0x0A, '!', 0x1B, 5}), (Bytes{kAck, kAck}));
    EXPECT_EQ(exchange({'!', 0x0C}), Bytes{16});
    EXPECT_EQ(exchange({'P', 0x1F, 0x1A, 20}), Bytes{}) << "no deck 2";
}

TEST(PacerTest, ByteTimeCountsEveryBitOfTheFrame) {
    EXPECT_EQ(Pacer::byteTime(9600, 11).count(), 1145833);
    EXPECT_EQ(Pacer::byteTime(1200, 10).count(), 8333333);
}

TEST(PacerTest, BackToBackBytesKeepAnAbsoluteSchedule) {
    using namespace std::chrono;
    Pacer pacer;
    const Pacer::Clock::time_point t0{seconds(100)};
    const auto T = microseconds(1000);
    // A frame queued at once occupies the line back to back.
    EXPECT_EQ(pacer.schedule(t0, T), t0 + T);
    EXPECT_EQ(pacer.schedule(t0, T), t0 + 2 * T);
    // Handed over late but while the line is still busy: still timed from the previous byte's end.
    EXPECT_EQ(pacer.schedule(t0 + T + microseconds(700), T), t0 + 3 * T);
    // An idle line starts the next byte when it is handed over.
    EXPECT_EQ(pacer.schedule(t0 + 10 * T, T), t0 + 11 * T);
    pacer.reset();
    EXPECT_EQ(pacer.schedule(t0, T), t0 + T);
}

TEST(PtyLineTest, ReadsTheSettingsTheClientAppliesAndNoticesWhenItLeaves) {
    PtyLine line;
    std::string error;
    ASSERT_TRUE(line.open(error)) << error;
    int client = ::open(line.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(client, 0);
    EXPECT_EQ(line.settings().baud, 9600u) << "an unconfigured line starts at 9600 8N2";
    EXPECT_EQ(line.settings().bitsPerByte, 11u);

    termios t{};
    ASSERT_EQ(::tcgetattr(client, &t), 0);
    ::cfsetispeed(&t, B4800);
    ::cfsetospeed(&t, B4800);
    t.c_cflag = (t.c_cflag & ~(CSIZE | CSTOPB)) | CS7 | PARENB;
    ASSERT_EQ(::tcsetattr(client, TCSANOW, &t), 0);
    EXPECT_EQ(line.settings().baud, 4800u);
    EXPECT_EQ(line.settings().bitsPerByte, 10u) << "start + 7 data + parity + 1 stop";

    ASSERT_EQ(::write(client, "PR", 2), 2);
    ::close(client);
    Bytes in;
    EXPECT_EQ(line.read(in), PtyLine::ReadStatus::Data);
    EXPECT_EQ(in, text("PR"));
    EXPECT_EQ(line.read(in), PtyLine::ReadStatus::Dropped);
}

TEST(PtyLineTest, DeviceLinkReplacesOnlyASymbolicLink) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("radio_sim_link_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string error;
    std::ofstream(dir / "file") << "x";
    DeviceLink link;
    EXPECT_FALSE(link.create("/dev/null", (dir / "file").string(), error));
    fs::create_symlink("/nowhere", dir / "tty");
    ASSERT_TRUE(link.create("/dev/null", (dir / "tty").string(), error)) << error;
    EXPECT_EQ(fs::read_symlink(dir / "tty"), "/dev/null");
    link.remove();
    EXPECT_FALSE(fs::is_symlink(dir / "tty"));
    fs::remove_all(dir);
}

TEST(SimOptionsTest, FaultsAndRatesAreCheckedWhenParsed) {
    std::string error;
    auto o =
        parseOptions({"--bad-checksum", "deck1:5", "--nak-block", "head1:255:3", "--baud", "4800"}, error);
    ASSERT_TRUE(o) << error;
    ASSERT_EQ(o->config.badChecksums.size(), 1u);
    EXPECT_EQ(o->config.badChecksums[0].block, 5);
    EXPECT_EQ(o->config.badChecksums[0].count, 1);
    EXPECT_EQ(o->config.nakWrites[0].unit, 2);
    EXPECT_EQ(o->config.nakWrites[0].count, 3);
    EXPECT_EQ(o->config.baud, 4800u);

    for (auto bad : std::vector<std::vector<std::string>>{{"--bad-checksum", "head1:0"},
                                                          {"--bad-checksum", "deck1:128"},
                                                          {"--nak-block", "head2:256"},
                                                          {"--baud", "9601"},
                                                          {"--ident", "5130313230"},
                                                          {"--version", "16"},
                                                          {"--stall", "deck1:5:100"},
                                                          {"--late", "head1:256:700"},
                                                          {"--noise", "deck1:5:0"},
                                                          {"--garble", "deck1:5:x"},
                                                          {"--deck1"},
                                                          {"--fleet", "0"},
                                                          {"--fleet", "a.dat,,b.dat"},
                                                          {"--gap", "-1"},
                                                          {"--radio-stop", "1:5"},
                                                          {"--fleet", "2", "--radio-version", "3:1"},
                                                          {"--fleet", "2", "--radio-ident", "2:5130"}})
        EXPECT_FALSE(parseOptions(bad, error)) << bad[0];
}

TEST(SimOptionsTest, MemoryIsLoadedFromDataFilesAndDumpedInTheSameLayout) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("radio_sim_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    UnitImage image;
    image.main[0] = 0x12;
    image.dtmf[159] = 0x34;
    image.ext[8191] = 0x56;
    const Identification fileIdent{'Q', '0', '1', '3', '0', 0x06, 0x00, 0x50, 0x08, 0xF0};
    std::copy(fileIdent.begin(), fileIdent.end(), image.main.begin() + layout::kModelId);
    std::string error;
    ASSERT_TRUE(writeDataFile((dir / "a.dat").string(), image, fileIdent, error)) << error;
    EXPECT_EQ(fs::file_size(dir / "a.dat"), 24800u);

    // An older file: 50-byte header marked "V01" in place of the version.
    std::ifstream in(dir / "a.dat", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string old = bytes.substr(0, 10) + "V01" + bytes.substr(13, 37) + bytes.substr(64);
    std::ofstream(dir / "old.dat", std::ios::binary) << old;

    auto o =
        parseOptions({"--deck1", (dir / "a.dat").string(), "--head2", (dir / "old.dat").string()}, error);
    ASSERT_TRUE(o) << error;
    auto memory = buildMemory(*o, error);
    ASSERT_TRUE(memory) << error;
    EXPECT_EQ(memory->unit(0), image);
    EXPECT_EQ(memory->unit(1), image) << "deck 2 starts as a copy of deck 1";
    EXPECT_EQ(memory->unit(3), image) << "old layout lands at the same offsets";
    EXPECT_EQ(memory->ident[6], 0x50) << "version nibble of a current radio";
    EXPECT_TRUE(memory->dualBand() && memory->dualHead());

    ASSERT_TRUE(dumpMemory(*memory, (dir / "out").string(), error)) << error;
    for (auto name : {"deck1", "deck2", "head1", "head2"}) {
        auto back = loadDataFile((dir / (std::string("out.") + name + ".dat")).string(), error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(*back, image) << name;
    }
    EXPECT_FALSE(loadDataFile((dir / "missing.dat").string(), error));

    // A bench from a list of files: each radio its own file; a radio given its own version is refused.
    UnitImage other = image;
    other.main[0] = 0x99;
    ASSERT_TRUE(writeDataFile((dir / "b.dat").string(), other, fileIdent, error)) << error;
    o = parseOptions({"--fleet", (dir / "a.dat").string() + "," + (dir / "b.dat").string(), "--radio-version",
                      "2:3", "--radio-stop", "1:7"},
                     error);
    ASSERT_TRUE(o) << error;
    auto fleet = buildFleet(*o, error);
    ASSERT_TRUE(fleet && fleet->size() == 2) << error;
    EXPECT_EQ((*fleet)[0].memory.unit(0).main[0], 0x12);
    EXPECT_EQ((*fleet)[1].memory.unit(2).main[0], 0x99) << "head 1 follows the radio's own file";
    EXPECT_EQ((*fleet)[1].memory.ident[6], 0x30);
    EXPECT_TRUE(!(*fleet)[0].refused && (*fleet)[1].refused);
    EXPECT_EQ((*fleet)[0].stopAfter, 7);
    EXPECT_FALSE((*fleet)[1].stopAfter);
    fs::remove_all(dir);
}

// Radio 1 of two goes through a session at 10 ms, is left 100 ms (linger) and the line is then silent
// 500 ms (gap); the client probes the silent line at `probe`. Where the bench stands at `at`.
TEST(FleetBenchTest, NextRadioIsPluggedOnlyAfterTheGapAndAVainProbe) {
    using ms = std::chrono::milliseconds;
    struct Case {
        const char* what;
        bool refused;
        std::optional<int> stop;
        int writes;
        int sessions; // ended at 10 ms
        std::optional<int> probe;
        int at;
        FleetBench::State state;
        int current;
    };
    using S = FleetBench::State;
    const Case cases[] = {
        {"written, never probed", false, {}, 5, 1, {}, 5000, S::Off, 0},
        {"probed in vain, gap not over", false, {}, 5, 1, 300, 600, S::Off, 0},
        {"probed in vain, gap over", false, {}, 5, 1, 300, 701, S::On, 1},
        {"probe still on the line", false, {}, 5, 1, 690, 720, S::Off, 0},
        {"line quiet after the probe", false, {}, 5, 1, 690, 741, S::On, 1},
        {"probed while lingering", false, {}, 5, 1, 100, 5000, S::Off, 0},
        {"sessions without writes", false, {}, 0, 2, 300, 5000, S::On, 0},
        {"refused radio, looked for", true, {}, 0, 1, 300, 5000, S::On, 0},
        {"refused radio, write refused", true, {}, 0, 2, 300, 701, S::On, 1},
        {"stop fault not reached", false, 3, 3, 0, 300, 5000, S::On, 0},
        {"stop fault reached", false, 3, 4, 0, 300, 511, S::On, 1},
    };
    for (const auto& c : cases) {
        const auto t0 = FleetBench::Clock::time_point{};
        std::vector<FleetRadio> radios(2);
        radios[0].refused = c.refused;
        radios[0].stopAfter = c.stop;
        FleetBench bench(std::move(radios), ms(100), ms(500), t0);
        bench.writeFrames(c.writes, t0 + ms(10));
        for (int i = 0; i < c.sessions; ++i)
            bench.sessionEnded(c.writes > 0 && i == 0, t0 + ms(10));
        for (int t = 20; t < c.at; t += 10) {
            if (c.probe && *c.probe <= t && *c.probe > t - 10) bench.probedInVain(t0 + ms(*c.probe));
            bench.advance(t0 + ms(t));
        }
        bench.advance(t0 + ms(c.at));
        EXPECT_EQ(bench.state(), c.state) << c.what;
        EXPECT_EQ(bench.current(), c.current) << c.what;
    }

    // The last radio leaves the bench done, after its linger.
    FleetBench one(std::vector<FleetRadio>(1), ms(100), ms(0), {});
    one.sessionEnded(true, {});
    one.advance(FleetBench::Clock::time_point{} + ms(99));
    EXPECT_EQ(one.state(), S::Lingering);
    one.advance(FleetBench::Clock::time_point{} + ms(100));
    EXPECT_EQ(one.state(), S::Done);
    EXPECT_TRUE(one.takeUnplugged());
}

} // namespace
