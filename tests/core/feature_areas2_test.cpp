// 2-tone, DTMF, Dravix, emergency, operator selectable tone and the remote and repeater channel
// lists: the rules their field tables cannot say, and their cells through the keyed access.
#include <gtest/gtest.h>

#include <bit>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "features/ChannelLists.h"
#include "features/Dravix.h"
#include "features/DravixFrames.h"
#include "features/Dtmf.h"
#include "features/Emergency.h"
#include "features/FieldAccess.h"
#include "features/OperatorTone.h"
#include "features/TwoTone.h"

namespace velora::test {
namespace {

using namespace forms;
using Bytes = std::vector<int>;

struct Areas2Fixture : ::testing::Test {
    Areas2Fixture() { prepare(doc); }
    MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
    Bytes main(std::size_t off, std::size_t n) {
        Bytes out;
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(m(off + i));
        return out;
    }
    Bytes area(std::span<const Byte> a, std::size_t off, std::size_t n) {
        return Bytes(a.begin() + std::ptrdiff_t(off), a.begin() + std::ptrdiff_t(off + n));
    }
    void model(ModelIdentification id) { setIdentification(doc.image(), id); }
};

// ---- 2-tone ---------------------------------------------------------------------------------------

TEST_F(Areas2Fixture, TwoToneDecoderFramesHoldOnlyTheirDecodersFields) {
    TwoToneArea tt(doc, f.boxes);
    // The tones, call alert, transpond and auto reset below decoder 2 stand outside every frame.
    for (int page = 0; page < tt.pageCount(); ++page) {
        EXPECT_EQ(tt.frameEnd(page, 0), 3) << "decode 1 holds fields 1 and 2, page " << page;
        EXPECT_EQ(tt.frameEnd(page, 3), 6) << "decode 2 holds fields 4 and 5, page " << page;
    }
}

TEST_F(Areas2Fixture, ToneCommitEncodesTheFrequencyAndRecomputesItsCoefficients) {
    TwoToneArea tt(doc, f.boxes);
    // Coefficients worked out from the decoder formula for each frequency; B's default block is
    // the radio's own (gain 0x0500, where the formula gives 0x050C) and is written as it stands.
    struct Case {
        int field;
        const char* typed;
        const char* shown;
        Bytes frequency, coefficients;
    } cases[] = {
        {twotone::kToneA, "100", "288.5", {0x85, 0x28, 0x00}, {0xD9, 0xF3, 0x82, 0xFD, 0x91, 0x00, 0xD6}},
        {twotone::kToneB, "5000", "2840.0", {0x00, 0x84, 0x02}, {0x4D, 0xEC, 0x7C, 0xE8, 0x97, 0x84, 0x16}},
        {twotone::kToneA, "288.5", "288.5", {0x85, 0x28, 0x00}, {0xD9, 0xF3, 0x82, 0xFD, 0x91, 0x00, 0xD6}},
        {twotone::kToneB, "2840", "2840.0", {0x00, 0x84, 0x02}, {0x4D, 0xEC, 0x7C, 0xE8, 0x97, 0x84, 0x16}},
        {twotone::kToneC,
         "1000.07",
         "1000.0",
         {0x00, 0x00, 0x01},
         {0x36, 0x84, 0x76, 0xF7, 0xB5, 0x05, 0x3E}},
        {twotone::kToneA, "", "321.7", {0x17, 0x32, 0x00}, {0x15, 0xF1, 0x39, 0xFD, 0xB3, 0x00, 0xC0}},
        {twotone::kToneB, "", "928.1", {0x81, 0x92, 0x00}, {0xB2, 0x93, 0x10, 0xF8, 0x00, 0x05, 0x43}},
        {twotone::kToneA, "321.7", "321.7", {0x17, 0x32, 0x00}, {0x15, 0xF1, 0x39, 0xFD, 0xB3, 0x00, 0xC0}},
    };
    const int code = 1; // the second code's record: 0x80 + 32
    for (const Case& c : cases) {
        tt.commitField(code, c.field, c.typed);
        const int tone = c.field - twotone::kToneA;
        EXPECT_EQ(main(0xA0 + 21 + 3 * tone, 3), c.frequency) << c.typed;
        EXPECT_EQ(main(0xA0 + 7 * tone, 7), c.coefficients) << c.typed;
        EXPECT_EQ(tt.fieldText(code, c.field).text, c.shown) << c.typed;
    }
    EXPECT_EQ(main(0x80, 7), Bytes(7, 0xFF)) << "other codes untouched";

    tt.stepField(code, twotone::kToneB, "2840.0", +1);
    EXPECT_EQ(main(0xA0 + 24, 3), (Bytes{0x85, 0x28, 0x00}));
    EXPECT_EQ(main(0xA0 + 7, 7), (Bytes{0xD9, 0xF3, 0x82, 0xFD, 0x91, 0x00, 0xD6}));
}

TEST_F(Areas2Fixture, TwoToneFormatsExcludeEachOtherAndEnableTheirTones) {
    TwoToneArea tt(doc, f.boxes);
    tt.commitChoice(0, twotone::kFormat2, 0);
    tt.commitChoice(0, twotone::kFormat1, 4);
    for (const ValueItem& i : tt.valueList(0, twotone::kFormat2))
        EXPECT_NE(i.stored, 4);
    EXPECT_TRUE(tt.isFieldEnabled(0, twotone::kToneA));
    EXPECT_TRUE(tt.isFieldEnabled(0, twotone::kToneB));
    EXPECT_FALSE(tt.isFieldEnabled(0, twotone::kToneC));
    EXPECT_FALSE(tt.isFieldEnabled(0, twotone::kType2));
    tt.commitChoice(0, twotone::kFormat2, 4);
    EXPECT_EQ(m(0xE2), 0) << "a format the list leaves out is not taken";

    m(0xE0 + 6) = 3, m(0xE2 + 6) = 3;
    EXPECT_TRUE(tt.resolveEqualFormats());
    EXPECT_EQ(m(0xE2 + 6), 0);

    // Call alert: single, continuous, none.
    EXPECT_EQ(tt.valueList(2, twotone::kCallAlert), (std::vector<ValueItem>{{294, 1}, {263, 2}, {280, 0}}));
    // Call alert 2 with transpond, transpond off, then alert 0: (P, Q) per the pair table.
    tt.commitChoice(2, twotone::kCallAlert, 2);
    tt.commitChoice(2, twotone::kTranspond, 1);
    EXPECT_EQ(main(0xE4 + 12, 1), Bytes{1});
    EXPECT_EQ(m(0xF4), 4);
    tt.commitChoice(2, twotone::kTranspond, 0);
    EXPECT_EQ(m(0xF4), 2);
    tt.commitChoice(2, twotone::kCallAlert, 0);
    EXPECT_EQ(m(0xE4 + 12), 0);
    EXPECT_EQ(m(0xF4), 0);
}

// ---- DTMF -----------------------------------------------------------------------------------------

TEST_F(Areas2Fixture, SpeedChangeMovesOnlyDigitTimesThatHoldATime) {
    DtmfArea d(doc, f.boxes);
    struct Case {
        Byte index, first, starHash;
        const char* typed;
        Byte newIndex, newFirst, newStarHash;
    } cases[] = {
        {2, 15, 0xFF, "15", 3, 13, 0xFF}, // 100 ms moves from offset 5 to 3; unset stays
        {2, 200, 55, "6", 0, 200, 58},    // a byte holding no time stays
        {0, 108, 8, "10", 2, 105, 5},     // 1000 ms and 0 ms
        {7, 58, 9, "8", 1, 56, 9},        // an index outside the table counts with offset 8
        {1, 6, 16, "12", 2, 5, 15},       // 12 digits/s is 10
        {3, 3, 3, "3", 0, 8, 8},          // below 6 is 6
        {0, 8, 8, "99999999999999", 3, 3, 3},
    };
    for (const Case& c : cases) {
        m(0x40) = c.index, m(0x41) = c.first, m(0x43) = c.starHash;
        d.commitField(dtmf::kTiming, dtmf::kSpeed, c.typed);
        EXPECT_EQ(main(0x40, 4), (Bytes{c.newIndex, c.newFirst, m(0x42), c.newStarHash})) << c.typed;
    }
    m(0x40) = 2, m(0x41) = 15;
    EXPECT_EQ(d.fieldText(dtmf::kTiming, dtmf::kFirstDigitTime).text, "100");
    d.stepField(dtmf::kTiming, dtmf::kSpeed, "10", +1);
    EXPECT_EQ(m(0x41), 13);
    EXPECT_EQ(d.fieldText(dtmf::kTiming, dtmf::kFirstDigitTime).text, "100");

    struct Typed {
        int field;
        const char* typed;
        std::size_t at;
        Byte stored;
    } typed[] = {
        {dtmf::kFirstDigitTime, "700", 0x41, 50 + 3},
        {dtmf::kFirstDigitTime, "50", 0x41, 3},
        {dtmf::kStarHashDigitTime, "99999999999", 0x43, 103},
        {dtmf::kFirstDigitDelay, "1234", 0x42, 100},
        {dtmf::kFirstDigitDelay, "123", 0x42, 10},
    };
    for (const Typed& t : typed) {
        d.commitField(dtmf::kTiming, t.field, t.typed);
        EXPECT_EQ(m(t.at), t.stored) << t.typed;
    }
    d.stepField(dtmf::kTiming, dtmf::kFirstDigitTime, "0", +1);
    EXPECT_EQ(m(0x41), 10 + 3) << "0 ms steps up to 100 ms";
}

TEST_F(Areas2Fixture, AutoDialCodesEncodeRefuseBlanksAndKeepToTheirRecords) {
    DtmfArea d(doc, f.boxes);
    auto b = doc.image().dtmf();
    struct Case {
        int row;
        const char* typed;
        Bytes stored;
    } cases[] = {
        {0, "1*#", {'1', 'E', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0, "1 2", {'1', 'E', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // refused
        {1,
         "0123456789ABCD*#XYZ",
         {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}},
        {2, "", Bytes(16, 0xFF)},
    };
    for (const Case& c : cases) {
        d.commitGridText(dtmf::kAutoDialPage, c.row, 1, c.typed);
        EXPECT_EQ(area(b, 16 * std::size_t(c.row), 16), c.stored) << c.typed;
    }
    b[32] = '5';
    EXPECT_EQ(d.gridCellTextAt(dtmf::kAutoDialPage, 0, forms::kValueColumn).text, "1*#");
    EXPECT_EQ(d.gridCellTextAt(dtmf::kAutoDialPage, 1, forms::kValueColumn).text, "0123456789ABCD*#")
        << "a full code stops at 16";

    // Pasting from the last row writes one record: the tenth slot is not a code.
    b[144] = 0x42;
    d.pasteAutoDial(8, d.copyAutoDial({0, 1}));
    EXPECT_EQ(area(b, 128, 3), (Bytes{'1', 'E', 'F'}));
    EXPECT_EQ(b[144], 0x42);

    // Decode codes: characters, then 0xFF; a full code does not run into the next.
    d.commitField(dtmf::kDecode, dtmf::kPrimaryCode, "12A");
    EXPECT_EQ(main(0x60, 7), (Bytes{'1', '2', 'A', 0xFF, 0xFF, 0xFF, 0xFF}));
    d.commitField(dtmf::kDecode, dtmf::kSecondaryCode, "1234567");
    m(0x6F) = '9';
    EXPECT_EQ(d.fieldText(dtmf::kDecode, dtmf::kSecondaryCode).text, "1234567");
    d.commitField(dtmf::kDecode, dtmf::kPrimaryCode, "   ");
    EXPECT_EQ(main(0x60, 7), Bytes(7, 0xFF));
}

TEST_F(Areas2Fixture, DtmfSwitchesFollowDirectOstAndClearTheirDependants) {
    DtmfArea d(doc, f.boxes);
    OperatorToneArea o(doc, f.boxes);
    m(0x1A) = 0, m(0x46) = 1, m(0x47) = 1, m(0x48) = 1, m(0x49) = 1;
    EXPECT_FALSE(o.isFieldEnabled(0, ost::kDirectOst));
    EXPECT_TRUE(d.pageAvailable(dtmf::kAutoDialPage));
    auto fx = d.commitChoice(dtmf::kTiming, dtmf::kAutoDial, 0);
    EXPECT_TRUE(fx.pagesChanged);
    EXPECT_EQ(m(0x49), 0);
    EXPECT_FALSE(d.pageAvailable(dtmf::kAutoDialPage));
    d.commitChoice(dtmf::kTiming, dtmf::kManualDial, 0);
    EXPECT_EQ(m(0x46), 0);
    EXPECT_TRUE(o.isFieldEnabled(0, ost::kDirectOst));
    o.commitChoice(0, ost::kDirectOst, 1);
    EXPECT_FALSE(d.isFieldEnabled(dtmf::kTiming, dtmf::kAutoDial));
    d.commitChoice(dtmf::kTiming, dtmf::kAutoDial, 1);
    EXPECT_EQ(m(0x48), 0) << "stored only while enabled";
}

// ---- Dravix frames --------------------------------------------------------------------------------

// The check word as polynomial division: the 48 data bits followed by 16 zeros, reduced by
// x * (x^15 + x^14 + x^13 + x^11 + x^4 + x^2 + 1); bit 1 inverted; bit 0 makes the parity of data
// and check even.
int independentCheck(Bytes d) {
    std::uint64_t v = 0;
    for (int b : d)
        v = v << 8 | std::uint64_t(b);
    const int dataOnes = std::popcount(v);
    v <<= 16;
    for (int bit = 63; bit >= 16; --bit)
        if (v >> bit & 1) v ^= std::uint64_t(0x1D02A) << (bit - 16);
    int r = int(v & 0xFFFF) ^ 2;
    if ((dataOnes + std::popcount(unsigned(r))) % 2) r |= 1;
    return r;
}

Bytes withCheck(Bytes frame, std::size_t from) {
    const int c = independentCheck(
        Bytes(frame.begin() + std::ptrdiff_t(from), frame.begin() + std::ptrdiff_t(from + 6)));
    frame.push_back(c >> 8);
    frame.push_back(c & 0xFF);
    return frame;
}

TEST_F(Areas2Fixture, FleetAndIdChangesRebuildOwnAndEmergencyFrames) {
    dravix::writeDefaultBlock(doc.image().main());
    DravixArea dv(doc, f.boxes);
    EmergencyArea em(store, f.boxes);
    em.commitChoice(0, emergency::kType, emergency::kTypeDravix);
    em.commitField(0, emergency::kCallFleet, "200"); // stored 101 = 0x65
    em.commitField(0, emergency::kCallId, "4999");   // stored 4000 = 0xFA0
    dv.commitField(0, dravixview::kFleet, "150");    // stored 51 = 0x33
    dv.commitField(0, dravixview::kId, "2345");      // stored 1346 = 0x542

    const Bytes head = {0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB};
    auto frame = [&](Bytes tail) {
        Bytes out = head;
        out.insert(out.end(), tail.begin(), tail.end());
        return withCheck(out, 6);
    };
    EXPECT_EQ(main(0x348, 14), frame({0xFE, 0x80, 0x33, 0x54, 0x25, 0x42}));
    EXPECT_EQ(main(0x356, 14), frame({0xFC, 0x80, 0x33, 0x54, 0x25, 0x42}));
    Bytes other = frame({0xB4, 0x41, 0x33, 0x54, 0x2F, 0xA0});
    Bytes second = withCheck({0x65, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0);
    other.insert(other.end(), second.begin(), second.end());
    EXPECT_EQ(main(0x3B1E, 22), other);
    EXPECT_EQ(m(0x3B34), 22);

    // The own fleet becomes the call fleet: the short frame addressed within the fleet.
    dv.commitField(0, dravixview::kFleet, "200");
    Bytes same = frame({0xB4, 0x40, 0x65, 0x54, 0x2F, 0xA0});
    same.insert(same.end(), 8, 0xFF);
    EXPECT_EQ(main(0x3B1E, 22), same);
    EXPECT_EQ(m(0x3B34), 14);

    struct Case {
        int field;
        const char* typed;
        std::size_t at;
        int stored;
    } cases[] = {
        {dravixview::kFleet, "350", 0x343, 250},          {dravixview::kId, "5", 0x344, 1},
        {dravixview::kTxDelay, "", 0x346, 490},           {dravixview::kTxDelay, "6005", 0x346, 6090},
        {dravixview::kId, "99999999999999", 0x344, 4000},
    };
    for (const Case& c : cases) {
        dv.commitField(0, c.field, c.typed);
        EXPECT_EQ(c.field == dravixview::kFleet ? m(c.at) : le16(doc.image().main(), c.at), c.stored)
            << c.typed;
    }
}

// ---- Emergency ------------------------------------------------------------------------------------

TEST_F(Areas2Fixture, EmergencyPairNeedsTheEmergencyKeyAndExistingChannels) {
    put(store, 2, 0);
    put(store, 2, 4);
    EmergencyArea em(store, f.boxes);
    EXPECT_EQ(em.openingMessage(), emergency::kMsgNoEmergencyKey);
    EXPECT_FALSE(em.isFieldEnabled(0, emergency::kGroup));
    m(0x300) = 14; // a head 1 key holds the emergency function
    EXPECT_EQ(em.openingMessage(), 0);
    EXPECT_TRUE(em.isFieldEnabled(0, emergency::kGroup));
    EXPECT_FALSE(em.isFieldEnabled(0, emergency::kChannel)) << "no group yet";

    em.commitField(0, emergency::kGroup, "9");
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{241}));
    EXPECT_EQ(main(0x56, 2), (Bytes{0xFF, 0xFF}));
    em.commitField(0, emergency::kGroup, "3");
    em.commitField(0, emergency::kChannel, "5");
    EXPECT_EQ(main(0x56, 2), (Bytes{2, 4}));
    EXPECT_TRUE(em.isFieldEnabled(0, emergency::kChannel));
    em.commitField(0, emergency::kChannel, "2");
    EXPECT_EQ(m(0x57), 4) << "a channel the group lacks is refused";
    em.commitField(0, emergency::kGroup, "");
    EXPECT_EQ(main(0x56, 2), (Bytes{0xFF, 0xFF}));
}

TEST_F(Areas2Fixture, EmergencyTypeAndModeDecideWhatApplies) {
    EmergencyArea em(store, f.boxes);
    using namespace emergency;
    struct Case {
        Byte type, mode;
        bool times, locators, dtmfId, dravix;
    } cases[] = {
        {kTypeDtmf, 0, true, true, true, false},         {kTypeDravix, 0, true, true, false, true},
        {kTypeDataBoard, 0, false, false, false, false}, {kTypeNone, 0, true, true, false, false},
        {kTypeDravix, 1, true, false, false, true},      {7, 0, true, true, false, false},
    };
    for (const Case& c : cases) {
        m(0x3A81) = c.type, m(0x3A8D) = c.mode;
        EXPECT_EQ(em.isFieldEnabled(0, kActiveTime), c.times) << int(c.type);
        EXPECT_EQ(em.isFieldEnabled(0, kIntervalTime), c.times) << int(c.type);
        EXPECT_EQ(em.isFieldEnabled(0, kLocatorTone2), c.locators) << int(c.type);
        EXPECT_EQ(em.isFieldEnabled(0, kDtmfId), c.dtmfId) << int(c.type);
        EXPECT_EQ(em.isFieldEnabled(0, kCallId), c.dravix) << int(c.type);
    }
    EXPECT_EQ(em.valueList(0, kType).size(), 3u);
    ModelIdentification board = ModelIdentification::defaults();
    board.setOptionBoard(kModel1, 2);
    model(board);
    EXPECT_EQ(em.valueList(0, kType).size(), 4u);

    em.commitChoice(0, kModeType, 1);
    EXPECT_EQ(m(0x5E), 1) << "the mode type keeps its copy";

    struct Typed {
        int field;
        const char* typed;
        std::size_t at;
        Byte stored;
    } typed[] = {
        {kActiveTime, "", 0x3A88, 3},       {kIntervalTime, "", 0x3A8A, 10},
        {kActiveTime, "61", 0x3A88, 60},    {kActiveTime, "0", 0x3A88, 1},
        {kLocatorTone1, "T278", 0x3A87, 0}, {kLocatorTone1, "300", 0x3A87, 250},
    };
    for (const Typed& t : typed) {
        em.commitField(0, t.field, t.typed);
        EXPECT_EQ(m(t.at), t.stored) << t.typed;
    }
    em.commitField(0, kLocatorTone2, "0");
    EXPECT_EQ(em.fieldText(0, kLocatorTone2).text, "T278");
    em.stepField(0, kLocatorTone2, "T278", -1);
    EXPECT_EQ(m(0x3A89), 250);

    em.commitField(0, kDtmfId, "12*#A");
    EXPECT_EQ(m(0x3A8E), 5);
    Bytes id = {'1', '2', '*', '#', 'A'};
    id.insert(id.end(), 11, 0xFF);
    EXPECT_EQ(main(0x3AA0, 16), id);
    for (std::size_t i = 0; i < 16; ++i)
        m(0x3AA0 + i) = Byte(i); // digit codes, filling the whole ID
    m(0x3AB0) = '7';
    EXPECT_EQ(em.fieldText(0, kDtmfId).text, "0123456789ABCD*#");
}

// ---- Operator selectable tone ---------------------------------------------------------------------

TEST_F(Areas2Fixture, OstNamesKeepToTheirLengthAndTonesToTheirWords) {
    OperatorToneArea o(doc, f.boxes);
    auto ext = doc.image().ext();
    ModelIdentification large = ModelIdentification::defaults();
    large.setHeadType(kHead1, 1);
    model(large);
    o.commitGridText(0, 0, ost::kNameColumn, "ABCDEFGHIJKLMNOPQ");
    Bytes stored(ext.begin() + 0x1A00, ext.begin() + 0x1A10);
    EXPECT_EQ(stored,
              (Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', ' ', ' '}));
    for (std::size_t i = 0; i < 16; ++i)
        ext[0x1A10 + i] = 'X'; // a full record, then the next name
    ext[0x1A20] = 'Y';
    EXPECT_EQ(o.gridCellTextAt(0, 1, ost::kNameColumn).text, std::string(14, 'X'));
    model(ModelIdentification::defaults());
    EXPECT_EQ(o.gridCellTextAt(0, 0, ost::kNameColumn).text, "ABCDEFGH");
    o.commitGridText(0, 0, ost::kNameColumn, "");
    EXPECT_EQ(area(ext, 0x1A00, 16), Bytes(16, 0xFF));

    // Tone 1 is the decode tone, tone 2 the encode tone; both offer every tone.
    EXPECT_EQ(o.gridColumnTitleAt(0, ost::kTone1Column), 551);
    EXPECT_EQ(o.gridColumnTitleAt(0, ost::kTone2Column), 550);
    EXPECT_EQ(o.gridTextChoices(0, 3, ost::kTone2Column).size(), 206u) << "off, 39 CTCSS, 2 x 83 DCS";
    o.commitGridText(0, 3, ost::kTone2Column, "67.0");
    EXPECT_EQ(le16(doc.image().main(), 0x220 + 12 + 2), 670);
    o.commitGridText(0, 3, ost::kTone2Column, "     ");
    EXPECT_EQ(le16(doc.image().main(), 0x220 + 14), 0xFFFF);
}

// ---- Remote and repeater lists --------------------------------------------------------------------

TEST_F(Areas2Fixture, ChannelListCellsFollowThePairRules) {
    put(store, 2, 1);
    put(store, 4, 0);
    put(store, 4, 1);
    RemoteListArea remote(store, f.boxes);
    using namespace chlists;
    struct Case {
        int row, col;
        const char* typed;
        Bytes entry;
        int message;
    } cases[] = {
        {0, kGroupColumn, "3", {3, 0xFF}, 0},      {0, kChannelColumn, "2", {3, 2}, 0},
        {1, kGroupColumn, "4", {0xFF, 0xFF}, 241}, // group 4 holds no channel
        {1, kGroupColumn, "5", {5, 0xFF}, 0},      {1, kChannelColumn, "9", {5, 0xFF}, 241},
        {1, kChannelColumn, "1", {5, 1}, 0},       {1, kGroupColumn, "3", {3, 0xFF}, 0},
        {1, kChannelColumn, "2", {3, 0xFF}, 239}, // already in the list
        {0, kGroupColumn, "0", {0xFF, 0xFF}, 0},
    };
    for (const Case& c : cases) {
        f.messenger.shown.clear();
        remote.commitGridText(0, c.row, c.col, c.typed);
        EXPECT_EQ(main(0x380 + 2 * std::size_t(c.row), 2), c.entry) << c.row << " " << c.typed;
        EXPECT_EQ(f.messenger.ids(), c.message ? std::vector<int>{c.message} : std::vector<int>{}) << c.typed;
    }
    EXPECT_FALSE(remote.isGridCellEnabledAt(0, 0, kChannelColumn)) << "no group, no channel";

    RepeaterListArea repeater(store, f.boxes);
    EXPECT_FALSE(repeater.isGridCellEnabledAt(0, 0, kGroupColumn)) << "single band";
    model(dualBand(4, 7));
    repeater.commitGridText(0, 0, kGroupColumn, "5");
    repeater.commitGridText(0, 0, kChannelColumn, "1");
    repeater.commitGridText(0, 1, kGroupColumn, "5");
    f.messenger.shown.clear();
    repeater.commitGridText(0, 1, kChannelColumn, "2");
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{243}) << "both on the same radio unit";
    EXPECT_EQ(main(0x58, 4), (Bytes{5, 1, 5, 0xFF}));
}

TEST_F(Areas2Fixture, TypedGridCellsThroughTheKeyedAccess) {
    FieldAccess access(doc, f.boxes);
    m(0x48) = 1; // auto dial on: the code page exists
    struct Case {
        const char* key;
        const char* text;
        const char* shown;
    } cases[] = {
        {"dtmf.3.2", "12*#x", "12*#"},
        {"ost.1.5.name", "abc", "ABC"},
        {"ost.1.5.tone_1", "d023n", "D023N"},
        {"ost.1.5.tone_2", "T262", "T262"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(access.set(c.key, c.text)) << c.key;
        EXPECT_EQ(access.find(c.key)->text, c.shown) << c.key;
    }
    EXPECT_EQ(access.find("ost.1.5.tone_1")->kind, FieldKind::Combo);
    EXPECT_TRUE(access.set("remote_list.1.1.channel", "1")) << "a channel cell needs its group";
    EXPECT_FALSE(access.find("remote_list.1.16.group"));
    m(0x48) = 0;
    EXPECT_FALSE(access.find("dtmf.3.2")) << "no code page without auto dial";
}

} // namespace
} // namespace velora::test
