// Reading and writing a whole data set against an in-memory radio: what travels where, progress
// counting, prompts and their answers, and what the memory image holds afterwards.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/LanguageFile.h"
#include "comm/RadioTransfer.h"
#include "comm_fakes.h"
#include "dataset/DataSetInit.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::comm;
using velora::test::FakeLink;
using velora::test::FakeRadio;
using velora::test::RecordingClock;
using velora::test::RecordingTransferUi;

namespace {

struct TransferTest : ::testing::Test {
    FakeLink link;
    FakeRadio radio{link};
    RecordingClock clock;
    RadioProtocol proto{link, clock};
    velora::test::NumberedTexts texts;
    RecordingTransferUi ui;
    RadioTransfer transfer{proto, texts, ui};
    MemoryImage image;

    void SetUp() override {
        image.reset();
        setIdentification(image, ModelIdentification::defaults());
    }

    // A radio holding recognisable data in every unit.
    void fillRadio() {
        for (auto& [sel, copy] : radio.units) {
            for (std::size_t i = 0; i < copy.main.size(); ++i)
                copy.main[i] = static_cast<Byte>(i / 128 + sel);
            for (std::size_t i = 0; i < 16 * 40; ++i)
                copy.main[i] = static_cast<Byte>(i * 7); // mixed blocks
            for (std::size_t i = 0; i < copy.dtmf.size(); ++i)
                copy.dtmf[i] = static_cast<Byte>(i + 1);
            for (std::size_t i = 0; i < copy.ext.size(); ++i)
                copy.ext[i] = static_cast<Byte>(i % 97);
        }
    }

    // A working copy with varied content, including uniform blocks and chunks.
    void fillWorking() {
        auto& w = image.working();
        for (std::size_t i = 0; i < 0x3E00; ++i)
            w.main[i] = static_cast<Byte>((i * 13) >> 3);
        for (std::size_t i = 0; i < w.ext.size() / 2; ++i)
            w.ext[i] = static_cast<Byte>(i * 5);
        for (std::size_t i = 0; i < w.dtmf.size(); ++i)
            w.dtmf[i] = static_cast<Byte>(i % 3 == 0 ? 0x00 : i);
    }

    void setConfig(bool dualBand, bool dualHead) {
        ModelIdentification id = identificationOf(image);
        id.setDualBand(dualBand);
        id.setDualHead(dualHead);
        setIdentification(image, id);
    }
};

} // namespace

// --- Reading --------------------------------------------------------------------------------------

TEST_F(TransferTest, ReadFetchesDeck1AndHead1IntoStaging) {
    fillRadio();
    radio.id[ModelIdentification::kConfigWord] = 0x50;
    radio.id[ModelIdentification::kConfigWord + 1] = 0x50; // dual band, dual head radio
    const ImageCopy workingBefore = image.working();
    const TransferOutcome out = transfer.read(image);
    ASSERT_TRUE(out.ok()) << describe(out);

    const ImageCopy& s = image.staging();
    const ImageCopy& deck = radio.units[kSelectorDeck1];
    for (std::size_t i = 0; i < s.main.size(); ++i) {
        if (i >= layout::kModelId && i < layout::kModelId + 10) continue;
        ASSERT_EQ(s.main[i], deck.main[i]) << "main byte " << i;
    }
    EXPECT_TRUE(std::equal(radio.id.begin(), radio.id.end(), s.main.begin() + layout::kModelId))
        << "the radio's identification replaces what block 125 brought";
    EXPECT_TRUE(std::equal(deck.dtmf.begin(), deck.dtmf.begin() + 144, s.dtmf.begin()));
    EXPECT_EQ(s.ext, radio.units[kSelectorHead1].ext);
    EXPECT_EQ(image.working(), workingBefore) << "adoption is the caller's step";

    EXPECT_EQ(radio.count('R', kSelectorDeck1), 128);
    EXPECT_EQ(radio.count('T', kSelectorDeck1), 9);
    EXPECT_EQ(radio.count('S', kSelectorHead1), 256);
    EXPECT_EQ(radio.count('R', kSelectorDeck2) + radio.count('S', kSelectorHead2), 0)
        << "reading never addresses deck 2 or head 2";
    EXPECT_EQ(radio.frames.back().first, 'E');
    EXPECT_FALSE(link.open);
    ASSERT_EQ(ui.ids(), std::vector<int>{kTextReadDone}) << "only the completion message";
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Information);
}

TEST_F(TransferTest, ReadProgressCountsTo192) {
    ASSERT_TRUE(transfer.read(image).ok());
    ASSERT_FALSE(ui.progress.empty());
    for (const auto& p : ui.progress)
        EXPECT_EQ(p.total, 192);
    EXPECT_EQ(ui.progress.front().label, 0);
    const auto& last = ui.progress.back();
    EXPECT_EQ(last.label, 192);
    EXPECT_EQ(last.position, 192);
    // Main blocks: label = counter + 1 from 1 to 128; head: 129 to 192, one step per four chunks.
    int maxDuringTransfer = 0;
    for (std::size_t i = 0; i + 1 < ui.progress.size(); ++i) {
        maxDuringTransfer = std::max(maxDuringTransfer, ui.progress[i].label);
        EXPECT_EQ(ui.progress[i].position + 1, std::max(ui.progress[i].label, 1));
    }
    EXPECT_EQ(maxDuringTransfer, 192);
    EXPECT_EQ(ui.pumps, 128 + 9 + 256) << "messages run after every unit that travelled";
}

TEST(TransferUiWait, SleepsInShortStepsBetweenPumpsUntilTheTimeIsUp) {
    RecordingTransferUi ui;
    const auto start = std::chrono::steady_clock::now();
    ui.TransferUi::waitWhilePumping(std::chrono::milliseconds(100));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_GE(ui.pumps, 2);
    EXPECT_LE(ui.pumps, 7) << "20 ms steps, not a busy loop";
}

TEST_F(TransferTest, ReadFailureLeavesStagingUntouched) {
    fillRadio();
    image.staging().main[0] = 0x11;
    const ImageCopy stagingBefore = image.staging();
    radio.drop = [](Byte cmd, Byte, int index) { return cmd == 'S' && index == 200; };
    ui.answers = {MsgAnswer::Cancel};
    const TransferOutcome out = transfer.read(image);
    EXPECT_EQ(out.result, TransferResult::Failed);
    EXPECT_EQ(out.stage, TransferStage::ExtChunk);
    EXPECT_EQ(out.selector, kSelectorHead1);
    EXPECT_EQ(out.index, 200);
    EXPECT_EQ(image.staging(), stagingBefore) << "a failed read must not leave half a data set behind";
    EXPECT_EQ(ui.ids(), std::vector<int>{209}) << "no completion message after a failure";
    EXPECT_EQ(radio.frames.back().first, 'E') << "Cancel ends the programming run";
    EXPECT_FALSE(link.open);
}

TEST_F(TransferTest, RetryAfterFailedBlockRestartsTheAreaAndTheCounter) {
    int failures = 3; // one failed block after the protocol's own three attempts
    radio.drop = [&](Byte cmd, Byte, int index) { return cmd == 'R' && index == 100 && failures-- > 0; };
    ui.answers = {MsgAnswer::Retry};
    ASSERT_TRUE(transfer.read(image).ok());
    EXPECT_EQ(radio.count('R', kSelectorDeck1), 101 + 2 + 128)
        << "blocks 0-99, three tries of 100, then 0-127";
    // The first progress after the prompt shows block 1 again.
    std::size_t afterFailure = 0;
    for (std::size_t i = 1; i < ui.progress.size(); ++i)
        if (ui.progress[i].label == 1 && ui.progress[i - 1].label == 101) afterFailure = i;
    EXPECT_NE(afterFailure, 0u);
}

TEST_F(TransferTest, UnknownRadioModelIsRefused) {
    radio.id[0] = 'X';
    ui.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
    const TransferOutcome out = transfer.read(image);
    EXPECT_EQ(out.stage, TransferStage::UnknownModel);
    EXPECT_EQ(ui.ids(), (std::vector<int>{210, 210}));
    EXPECT_EQ(radio.count(kStx), 2) << "Retry asks for the identification again";
    EXPECT_EQ(radio.count('R'), 0);
    EXPECT_EQ(radio.frames.back().first, 'E');
}

TEST_F(TransferTest, PortThatWillNotOpenIsReportedWithItsReason) {
    link.failOpen = true;
    const TransferOutcome out = transfer.read(image);
    EXPECT_EQ(out.stage, TransferStage::OpenPort);
    EXPECT_EQ(out.port.error, PortError::NotFound);
    ASSERT_EQ(ui.ids(), std::vector<int>{208});
    EXPECT_EQ(ui.shown[0].caption, "T204");
    EXPECT_NE(ui.shown[0].text.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(TransferTest, SilentRadioOffersRetryOfTheWholeRateSearch) {
    radio.answerProgram = false;
    ui.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
    const TransferOutcome out = transfer.read(image);
    EXPECT_EQ(out.stage, TransferStage::ProgramMode);
    EXPECT_EQ(ui.ids(), (std::vector<int>{209, 209}));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(radio.count('P'), 10) << "five rates, twice";
    EXPECT_EQ(radio.frames.back().first, 'E');
    EXPECT_FALSE(link.open);
}

TEST_F(TransferTest, CloseDelayWaitsBeforeClosing) {
    link.delay = true;
    bool openDuringWait = false;
    ui.onWait = [&] { openDuringWait = link.open; };
    ASSERT_TRUE(transfer.read(image).ok());
    EXPECT_EQ(ui.waits, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(3000)}));
    EXPECT_TRUE(openDuringWait);
    EXPECT_FALSE(link.open);
}

// --- A port that fails to close after everything travelled ----------------------------------------

TEST_F(TransferTest, PortThatFailsToCloseAfterACompleteReadKeepsTheReadAndWarns) {
    fillRadio();
    link.failClose = true;
    const TransferOutcome out = transfer.read(image);
    EXPECT_EQ(out.result, TransferResult::CloseFailed);
    EXPECT_EQ(out.stage, TransferStage::ClosePort);
    EXPECT_TRUE(out.complete());
    EXPECT_EQ(image.staging().ext, radio.units[kSelectorHead1].ext) << "the read reached staging";
    EXPECT_EQ(image.staging().main[0], radio.units[kSelectorDeck1].main[0]);
    EXPECT_TRUE(
        std::equal(radio.id.begin(), radio.id.end(), image.staging().main.begin() + layout::kModelId));
    ASSERT_EQ(ui.ids(), (std::vector<int>{kTextReadDone, kTextPortCloseFailed}))
        << "completion, then the warning";
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Warning);
    EXPECT_EQ(ui.shown[1].caption, "T206");
    EXPECT_EQ(ui.shown[1].buttons, MsgButtons::Ok);
}

TEST_F(TransferTest, PortThatFailsToCloseAfterACompleteWriteShowsCompletionThenWarning) {
    fillWorking();
    link.failClose = true;
    const TransferOutcome out = transfer.write(image);
    EXPECT_EQ(out.result, TransferResult::CloseFailed);
    EXPECT_TRUE(out.complete());
    EXPECT_EQ(radio.units[kSelectorDeck1].main, image.working().main);
    ASSERT_EQ(ui.ids(), (std::vector<int>{kTextWriteDone, kTextPortCloseFailed}));
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.shown[1].icon, MsgIcon::Warning);
}

// A transfer that stopped part-way is a failure even when the port then also fails to close, and
// nothing claims it completed.
TEST_F(TransferTest, FailureMidTransferIsNeverReportedAsSuccess) {
    fillRadio();
    image.staging().main[0] = 0x11;
    const ImageCopy stagingBefore = image.staging();
    for (bool failClose : {false, true}) {
        SCOPED_TRACE(failClose ? "close fails too" : "close works");
        link.failClose = failClose;
        ui.shown.clear();
        radio.drop = [](Byte cmd, Byte, int index) { return cmd == 'R' && index == 64; };
        ui.answers = {MsgAnswer::Cancel};
        const TransferOutcome read = transfer.read(image);
        EXPECT_EQ(read.result, TransferResult::Failed);
        EXPECT_FALSE(read.complete());
        EXPECT_EQ(image.staging(), stagingBefore);

        radio.drop = [](Byte cmd, Byte, int index) { return cmd == 'Y' && index == 8; };
        ui.answers = {MsgAnswer::Cancel};
        const TransferOutcome write = transfer.write(image);
        EXPECT_EQ(write.result, TransferResult::Failed);
        EXPECT_EQ(write.stage, TransferStage::CodeRecord);
        EXPECT_FALSE(write.complete());
        EXPECT_EQ(ui.ids(), (std::vector<int>{kTextNoAnswer, kTextNoAnswer})) << "only the two failures";
    }
}

TEST_F(TransferTest, ReadAndAdoptAdoptsACompleteReadWhoseCloseFailed) {
    Document doc;
    doc.image().reset();
    defaultInitialise(doc, true, true);
    doc.image().markSaved();
    ImageCopy& deck = radio.units[kSelectorDeck1];
    deck.main = doc.image().working().main;
    putText(deck.main, layout::kPowerOnText, "CLOSE FAILED  ");
    radio.units[kSelectorHead1].ext = doc.image().working().ext;
    link.failClose = true;

    MessageBoxes boxes(ui, texts);
    const TransferOutcome out = readAndAdopt(doc, transfer, boxes);
    EXPECT_EQ(out.result, TransferResult::CloseFailed);
    EXPECT_TRUE(fieldEquals(doc.image().main(), layout::kPowerOnText, "CLOSE FAILED"));
    const std::vector<int> ids = ui.ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), kTextPortCloseFailed), 1) << "warned once";
}

// --- Writing --------------------------------------------------------------------------------------

TEST_F(TransferTest, WriteSingleBandSingleHead) {
    fillWorking();
    const TransferOutcome out = transfer.write(image);
    ASSERT_TRUE(out.ok()) << describe(out);
    const ImageCopy& w = image.working();
    EXPECT_EQ(radio.units[kSelectorDeck1].main, w.main);
    EXPECT_TRUE(std::equal(w.dtmf.begin(), w.dtmf.begin() + 144, radio.units[kSelectorDeck1].dtmf.begin()));
    EXPECT_EQ(radio.units[kSelectorHead1].ext, w.ext);
    EXPECT_EQ(radio.count('W', kSelectorDeck1) + radio.count('Z', kSelectorDeck1), 128);
    EXPECT_GT(radio.count('Z', kSelectorDeck1), 0) << "uniform blocks travel as fill frames";
    EXPECT_GT(radio.count('[', kSelectorHead1), 0);
    EXPECT_EQ(radio.count('Y', kSelectorDeck1), 9);
    EXPECT_EQ(radio.count('X', kSelectorHead1) + radio.count('[', kSelectorHead1), 256);
    EXPECT_EQ(radio.count('W', kSelectorDeck2) + radio.count('Z', kSelectorDeck2), 0);
    EXPECT_EQ(ui.progress.back().label, 192);
    EXPECT_EQ(ui.progress.front().total, 192);
    EXPECT_EQ(radio.frames.back().first, 'E');
}

TEST_F(TransferTest, WriteMarksTheDataSetAsSent) {
    fillWorking();
    image.working().main[layout::kConfigWord] |= 0xF0;
    image.working().main[layout::kModelId + 9] = 0xF0;
    ASSERT_TRUE(transfer.write(image).ok());
    const auto& m = image.working().main;
    EXPECT_TRUE(fieldEquals(m, layout::kFormatVersion, "V2.10"));
    EXPECT_EQ(m[layout::kConfigWord] & 0xF0, 0) << "version bits cleared";
    EXPECT_EQ(m[layout::kModelId + 9] & 0xF0, 0);
    for (std::size_t i = 0; i < 144; ++i)
        ASSERT_NE(image.working().dtmf[i], 0x00) << "DTMF record byte " << i;
    EXPECT_EQ(image.working().dtmf[150], 0x00) << "the untransferred tail is left alone";
}

TEST_F(TransferTest, WriteDualBandDualHeadSendsEveryUnit) {
    fillWorking();
    setConfig(true, true);
    const auto dataSetId = identificationOf(image).bytes();
    std::copy(dataSetId.begin(), dataSetId.end(), radio.id.begin());
    radio.id[ModelIdentification::kConfigWord] = static_cast<Byte>((radio.id[6] & 0x0F) | 0x50);
    ASSERT_EQ(writeTotal(image), 384);
    ASSERT_TRUE(transfer.write(image).ok());
    EXPECT_EQ(radio.units[kSelectorDeck2].main, image.working().main);
    EXPECT_EQ(radio.units[kSelectorDeck1].main, image.working().main);
    EXPECT_EQ(radio.units[kSelectorHead2].ext, image.working().ext);
    EXPECT_EQ(ui.progress.back().label, 384);
    EXPECT_EQ(ui.ids(), std::vector<int>{kTextWriteDone});
    // Order of units: deck 1, deck 2, head 1, head 2.
    std::vector<Byte> order;
    for (auto [cmd, sel] : radio.frames)
        if ((cmd == 'W' || cmd == 'Z' || cmd == 'X' || cmd == '[') && (order.empty() || order.back() != sel))
            order.push_back(sel);
    EXPECT_EQ(order, (std::vector<Byte>{0x0F, 0x1F, 0x8F, 0x9F}));
}

TEST_F(TransferTest, WriteTotals) {
    EXPECT_EQ(writeTotal(image), 192);
    setConfig(true, false);
    EXPECT_EQ(writeTotal(image), 320);
    EXPECT_EQ(writeUnits(image), (std::vector<Byte>{0x0F, 0x1F, 0x8F}));
    setConfig(false, true);
    EXPECT_EQ(writeTotal(image), 256) << "one deck and two heads";
    setConfig(true, true);
    EXPECT_EQ(writeTotal(image), 384);
}

TEST_F(TransferTest, WriteFailureSaysWhereItStopped) {
    radio.drop = [](Byte cmd, Byte sel, int index) {
        return sel == kSelectorHead1 && index == 77 && cmd != 'S';
    };
    ui.answers = {MsgAnswer::Cancel};
    const TransferOutcome out = transfer.write(image);
    EXPECT_EQ(out.result, TransferResult::Failed);
    EXPECT_EQ(out.stage, TransferStage::ExtChunk);
    EXPECT_EQ(out.selector, kSelectorHead1);
    EXPECT_EQ(out.index, 77);
    const std::string text = describe(out);
    EXPECT_NE(text.find("head 1"), std::string::npos) << text;
    EXPECT_NE(text.find("77"), std::string::npos) << text;
    EXPECT_EQ(radio.frames.back().first, 'E');
}

// A verified write whose read-back is given up was written completely: the outcome names the verify
// and the place, and nothing claims a half-written radio.
TEST_F(TransferTest, GivenUpReadBackIsAVerifyFailureNotAStoppedWrite) {
    struct Case {
        Byte cmd;
        Byte selector;
        int index;
        TransferStage place;
    };
    const std::vector<Case> cases{
        {'R', kSelectorDeck1, 9, TransferStage::MainBlock},
        {'T', kSelectorDeck1, 4, TransferStage::CodeRecord},
        {'S', kSelectorHead1, 30, TransferStage::ExtChunk},
    };
    fillWorking();
    transfer.setVerify(true);
    for (const Case& c : cases) {
        radio.drop = [&](Byte cmd, Byte sel, int index) {
            return cmd == c.cmd && sel == c.selector && index == c.index;
        };
        ui.shown.clear();
        ui.answers = {MsgAnswer::Cancel};
        const TransferOutcome out = transfer.write(image);
        EXPECT_EQ(out.stage, TransferStage::Verify) << c.cmd;
        EXPECT_EQ(out.place, c.place) << c.cmd;
        EXPECT_EQ(out.index, c.index) << c.cmd;
        EXPECT_EQ(partialWriteText(texts, out), "") << c.cmd;
        EXPECT_EQ(describe(out).find("stopped"), std::string::npos) << describe(out);
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(ui.shown.back().textId, kTextVerifyUnread) << c.cmd;
    }
    radio.drop = nullptr;
}

// Retry starts an area again at its first unit; when the write is then given up, the place named is
// how far the radio was written, not where the last attempt failed.
TEST_F(TransferTest, StoppedWriteNamesTheFirstUnitNeverAcknowledged) {
    struct Case {
        const char* name;
        std::string cmds;
        int far;
        TransferStage stage;
        Byte selector;
    };
    const std::vector<Case> cases{
        {"main-area block", "WZ", 100, TransferStage::MainBlock, kSelectorDeck1},
        {"DTMF code record", "Y", 5, TransferStage::CodeRecord, kSelectorDeck1},
        {"extension chunk", "X[", 77, TransferStage::ExtChunk, kSelectorHead1},
    };
    fillWorking();
    for (const auto& c : cases) {
        int farDrops = 0; // enough to outlast the protocol's own attempts
        radio.drop = [&](Byte cmd, Byte, int index) {
            if (c.cmds.find(static_cast<char>(cmd)) == std::string::npos) return false;
            if (index == c.far && farDrops < RadioProtocol::kBlockAttempts) return ++farDrops > 0;
            return farDrops > 0 && index == 0; // after Retry the radio answers nothing more
        };
        ui.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
        const TransferOutcome out = transfer.write(image);
        EXPECT_EQ(out.stage, c.stage) << c.name;
        EXPECT_EQ(out.selector, c.selector) << c.name;
        EXPECT_EQ(out.index, c.far) << c.name;
        EXPECT_NE(describe(out).find(std::to_string(c.far)), std::string::npos) << describe(out);
    }
    radio.drop = nullptr;
}

// The version bits, the format version and the normalised DTMF records go to the radio; the working
// copy takes them over only after a complete write.
TEST_F(TransferTest, StoppedWriteLeavesTheWorkingCopyAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::vector<MsgAnswer> answers;
        TransferStage stage;
    };
    const std::vector<Case> cases{
        {"cancelled at the version warning",
         [&] { radio.id[ModelIdentification::kConfigWord] = 0x45; },
         {MsgAnswer::Cancel},
         TransferStage::OldVersion},
        {"cancelled at the model question",
         [&] { radio.id[5] = 0x05; },
         {MsgAnswer::Cancel},
         TransferStage::ModelDiffers},
        {"a DTMF record fails",
         [&] { radio.drop = [](Byte cmd, Byte, int i) { return cmd == 'Y' && i == 8; }; },
         {MsgAnswer::Cancel},
         TransferStage::CodeRecord},
        {"an extension chunk fails",
         [&] { radio.drop = [](Byte cmd, Byte, int i) { return (cmd == 'X' || cmd == '[') && i == 200; }; },
         {MsgAnswer::Cancel},
         TransferStage::ExtChunk},
    };
    fillWorking();
    image.working().main[layout::kConfigWord] |= 0xF0;
    image.working().main[layout::kModelId + 9] = 0xF0;
    const ImageCopy before = image.working();
    const comm::Identification radioId = radio.id;
    for (const auto& c : cases) {
        radio.id = radioId;
        radio.drop = nullptr;
        c.arrange();
        ui.answers = c.answers;
        const TransferOutcome out = transfer.write(image);
        EXPECT_EQ(out.stage, c.stage) << c.name;
        EXPECT_TRUE(image.working() == before) << c.name;
    }
    const auto& sentMain = radio.units[kSelectorDeck1].main;
    EXPECT_TRUE(fieldEquals(sentMain, layout::kFormatVersion, "V2.10")) << "the radio got the marked copy";
    EXPECT_EQ(sentMain[layout::kConfigWord] & 0xF0, 0);
    EXPECT_EQ(radio.units[kSelectorDeck1].dtmf[0], 0xFF);
}

TEST_F(TransferTest, OlderRadioVersionWarnsAndCancelSendsNothing) {
    radio.id[ModelIdentification::kConfigWord] = 0x45;
    ui.answers = {MsgAnswer::Cancel};
    const TransferOutcome out = transfer.write(image);
    EXPECT_EQ(out.stage, TransferStage::OldVersion);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown[0].caption, "T205");
    EXPECT_EQ(radio.count('W') + radio.count('Z'), 0);
    EXPECT_EQ(radio.frames.back().first, 'E');
}

TEST_F(TransferTest, VersionWarningLinesDependOnTheVersion) {
    velora::test::NumberedTexts t;
    EXPECT_EQ(versionWarningText(t, 4),
              "T230\n\nT245 : \n\tT402\n\tT233\n\nT232\n\nT234\n\nT256 : \n\tT236\n");
    EXPECT_EQ(versionWarningText(t, 0),
              "T230\n\nT245 : \n\tT402\n\tT233\n\nT231\n\nT232\n\nT234\n\nT256 : \n\tT235\n\tT380\n\tT236\n");
    comm::Identification id{};
    id[6] = 0x45;
    EXPECT_EQ(versionNibble(id), 4);
    id[6] = 0x05;
    EXPECT_EQ(versionNibble(id), 0);
    id[6] = 0x80;
    EXPECT_EQ(versionNibble(id), -8) << "a signed nibble: 0x80 and up are below 5";
}

TEST_F(TransferTest, ModelMismatchAsksAndOkWritesAnyway) {
    radio.id[5] = 0x05; // other band
    ui.answers = {MsgAnswer::Ok};
    ASSERT_TRUE(transfer.write(image).ok());
    EXPECT_EQ(ui.ids(), (std::vector<int>{213, kTextWriteDone}));
    EXPECT_TRUE(ui.shown[0].defaultCancel) << "writing anyway is never one Enter away";
    EXPECT_EQ(radio.count('Y'), 9);

    radio.frames.clear();
    ui.shown.clear();
    ui.answers = {MsgAnswer::Cancel};
    const TransferOutcome out = transfer.write(image);
    EXPECT_EQ(out.stage, TransferStage::ModelDiffers);
    EXPECT_EQ(radio.count('Y'), 0);
}

TEST_F(TransferTest, VersionBitsDoNotCountAsModelDifference) {
    radio.id[ModelIdentification::kConfigWord] = 0x70;  // data set: 0xF0
    radio.id[ModelIdentification::kModel2Flags] = 0x30; // data set: 0xF0
    ASSERT_TRUE(transfer.write(image).ok());
    EXPECT_EQ(ui.ids(), std::vector<int>{kTextWriteDone}) << "no question before the write";
}

// --- Read and adopt -------------------------------------------------------------------------------

TEST_F(TransferTest, ReadAndAdoptMakesTheRadioDataTheDataSet) {
    Document doc;
    doc.image().reset();
    defaultInitialise(doc, true, true);
    doc.image().markSaved();
    doc.setFileName("mine.dat");
    // The radio holds a data set written by this application, with a changed power-on text.
    ImageCopy& deck = radio.units[kSelectorDeck1];
    deck.main = doc.image().working().main;
    putText(deck.main, layout::kPowerOnText, "RADIO TEXT    ");
    radio.units[kSelectorHead1].ext = doc.image().working().ext;

    MessageBoxes boxes(ui, texts);
    ASSERT_TRUE(readAndAdopt(doc, transfer, boxes).ok());
    EXPECT_TRUE(fieldEquals(doc.image().main(), layout::kPowerOnText, "RADIO TEXT"));
    EXPECT_EQ(doc.fileName(), "velora.dat");
    EXPECT_FALSE(doc.isModified()) << "a data set just read counts as saved";
}

TEST_F(TransferTest, FailedReadAndAdoptKeepsTheDataSet) {
    Document doc;
    doc.image().reset();
    defaultInitialise(doc, true, true);
    doc.image().markSaved();
    const ImageCopy before = doc.image().working();
    radio.drop = [](Byte cmd, Byte, int index) { return cmd == 'R' && index == 127; };
    ui.answers = {MsgAnswer::Cancel};
    MessageBoxes boxes(ui, texts);
    EXPECT_FALSE(readAndAdopt(doc, transfer, boxes).ok());
    EXPECT_EQ(doc.image().working(), before);
}

TEST(PartialWriteText, NamesTheUnitAndThePlaceOnlyForAStoppedWrite) {
    velora::test::NumberedTexts texts;
    comm::TransferOutcome o;
    o.result = comm::TransferResult::Failed;
    o.stage = comm::TransferStage::ExtChunk;
    o.selector = comm::kSelectorHead2;
    o.index = 77;
    // Numbered texts are not formats, so only the outer text shows; the real texts are checked below.
    EXPECT_EQ(comm::partialWriteText(texts, o), "T225");
    o.stage = comm::TransferStage::ProgramMode;
    EXPECT_EQ(comm::partialWriteText(texts, o), "");

    velora::LanguageFile lng;
    ASSERT_EQ(lng.load(std::string(VELORA_SOURCE_DATA) + "/velora.lng"), velora::LanguageFile::Status::Ok);
    o.stage = comm::TransferStage::ExtChunk;
    const std::string text = comm::partialWriteText(lng, o);
    EXPECT_NE(text.find("Head 2, extension chunk 77"), std::string::npos) << text;
    o.stage = comm::TransferStage::MainBlock;
    o.selector = comm::kSelectorDeck1;
    o.index = 5;
    EXPECT_NE(comm::partialWriteText(lng, o).find("Deck 1, main-area block 5"), std::string::npos);
}
