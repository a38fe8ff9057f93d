// Scan information, embedded message and optional features: the rules a field table cannot say,
// and the keyed access the CLI's fields / set run on.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "base/Latin1.h"
#include "features/EmbeddedMessage.h"
#include "features/FieldAccess.h"
#include "features/OptionalFeatures.h"
#include "features/ScanInfo.h"
#include "forms/FieldRules.h"

namespace velora::test {
namespace {

using namespace forms;

TEST(ClampDecimalText, ClampsRoundsDownToTheStepAndRewrites) {
    struct Case {
        const char* typed;
        DecimalRange range;
        char point;
        double value;
        const char* shown;
    } cases[] = {
        {"7", {0.5, 5.0, 0.5}, '.', 5.0, "5.0"},
        {"1.2", {0.5, 5.0, 0.5}, '.', 1.0, "1.0"},
        {"1.23", {0.5, 5.0, 0.1}, '.', 1.2, "1.2"},
        {"1.2", {0.5, 5.0, 0.1}, '.', 1.2, "1.2"}, // not 1.1 by binary rounding
        {"2,5", {0.5, 5.0, 0.5}, ',', 2.5, "2,5"},
        {"", {0.5, 5.0, 0.1}, '.', 0.5, "0.5"},
        {"-3", {0.5, 5.0, 0.1}, '.', 0.5, "0.5"},
        {"99999999999999999999999999", {0.5, 5.0, 0.1}, '.', 5.0, "5.0"},
        {"0.7", {0.5, 5.0, 1}, '.', 0.5, "0"}, // rounding from 0 stays inside the range
        {"0.5", {0.5, 5.0, 0.1}, '.', 0.5, "0.5"},
        {"0.49", {0.5, 5.0, 0.1}, '.', 0.5, "0.5"},
        {"5", {0.5, 5.0, 0.1}, '.', 5.0, "5.0"},
        {"5.01", {0.5, 5.0, 0.1}, '.', 5.0, "5.0"},
        {"1.19", {0.5, 5.0, 0.1}, '.', 1.1, "1.1"}, // down to the step, not to the nearest
        {"0.05", {0, 1, 0.05}, '.', 0.05, "0.05"},
    };
    for (const Case& c : cases) {
        std::string t = c.typed;
        EXPECT_DOUBLE_EQ(clampDecimalText(t, c.range, c.point), c.value) << c.typed;
        EXPECT_EQ(t, c.shown) << c.typed;
    }
}

struct AreasFixture : ::testing::Test {
    AreasFixture() { prepare(doc); }
    MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
    void model(ModelIdentification id) { setIdentification(doc.image(), id); }
};

struct ScanFixture : AreasFixture {
    ScanInfoArea area{store, f.boxes};
    std::string shown(int field) { return area.fieldText(0, field).text; }
    std::vector<int> offered(int field) {
        std::vector<int> out;
        for (const ValueItem& i : area.valueList(0, field))
            out.push_back(i.stored);
        return out;
    }
};

TEST_F(ScanFixture, TimesClampRoundAndFallBackToTheirDefaults) {
    struct Case {
        int field;
        const char* typed;
        Byte stored;
        const char* shown;
    } cases[] = {
        {scan::kDwell, "7", 50, "5.0"},        {scan::kLookBackB, "1.2", 10, "1.0"},
        {scan::kLookBackA, "1.23", 12, "1.2"}, {scan::kLookBackB, "", 20, "2.0"},
        {scan::kDropoutDelay, "", 30, "3.0"},  {scan::kDwell, " ", 30, "3.0"},
        {scan::kLookBackA, "", 5, "0.5"},      {scan::kLookBackA, "4294967297", 50, "5.0"},
        {scan::kLookBackA, "0.5", 5, "0.5"},   {scan::kLookBackA, "0.4", 5, "0.5"},
        {scan::kDwell, "5.0", 50, "5.0"},      {scan::kDwell, "5.1", 50, "5.0"},
        {scan::kLookBackA, "1.29", 12, "1.2"}, {scan::kLookBackA, "1.3", 13, "1.3"},
        {scan::kLookBackB, "1.49", 10, "1.0"}, {scan::kLookBackB, "1.5", 15, "1.5"},
    };
    for (const Case& c : cases) {
        area.commitField(0, c.field, c.typed);
        EXPECT_EQ(area.fieldText(0, c.field).value, c.stored) << c.field << " " << c.typed;
        EXPECT_EQ(shown(c.field), c.shown) << c.field << " " << c.typed;
    }
    area.stepField(0, scan::kLookBackA, "5.0", +1);
    EXPECT_EQ(m(0x02), 5);
    area.stepField(0, scan::kDwell, "0.5", -1);
    EXPECT_EQ(m(0x06), 50);
    m(0x05) = 51;
    EXPECT_EQ(shown(scan::kDropoutDelay), "") << "a byte outside 0.5-5.0 s shows empty";
}

TEST_F(ScanFixture, PriorityTwoOnOneSideShapesTheOtherListsAndThePair) {
    m(0x00) = 0, m(0x01) = 0;
    EXPECT_FALSE(area.isFieldEnabled(0, scan::kLookBackA));
    EXPECT_FALSE(area.isFieldEnabled(0, scan::kQuickScan));
    area.commitChoice(0, scan::kPriority1, scan::kModeSelected);
    EXPECT_EQ(offered(scan::kPriority2), (std::vector<int>{0, 1, 3}));
    EXPECT_FALSE(area.isFieldEnabled(0, scan::kPriority1Group));
    EXPECT_EQ(area.commitField(0, scan::kPriority1Group, "1").showFields,
              (std::vector<FieldRef>{{0, scan::kPriority1Group}, {0, scan::kPriority1Group + 1}}))
        << "a group shows again with its channel";
    EXPECT_EQ(area.commitField(0, scan::kPriority1Group + 1, "1").showFields,
              (std::vector<FieldRef>{{0, scan::kPriority1Group + 1}}));
    EXPECT_TRUE(area.isFieldEnabled(0, scan::kLookBackA));
    auto revert = area.valueList(0, scan::kRevert);
    ASSERT_EQ(revert.size(), 4u);
    EXPECT_EQ(revert[2].text, 273);
    EXPECT_EQ(revert[3].text, 435);

    // Leaving a priority that names no fixed channel clears its pair.
    m(0x50) = 3, m(0x51) = 4;
    area.leaveField(0, scan::kPriority1);
    EXPECT_EQ(m(0x50), 0xFF);
    EXPECT_EQ(m(0x51), 0xFF);
}

TEST_F(ScanFixture, APriorityThatIsNoLongerFixedReleasesTheRevertChannel) {
    m(0x00) = scan::kModeFixed, m(0x01) = 0, m(0x04) = 4;
    area.commitChoice(0, scan::kPriority1, scan::kModeOperator);
    EXPECT_EQ(m(0x04), 1);
    auto items = offered(scan::kRevert);
    EXPECT_NE(std::find(items.begin(), items.end(), 4), items.end());
}

TEST_F(ScanFixture, ScanViewAndChannelViewsAgreeWhenAPriorityPairIsInUse) {
    const struct {
        Byte mode;
        bool inUse;
    } cases[] = {{0, false}, {1, true}, {2, false}, {3, true}, {4, false}, {7, false}, {0xFF, false}};
    for (const auto& c : cases) {
        m(0x01) = c.mode;
        EXPECT_EQ(area.isFieldEnabled(0, scan::kPriority2Group), c.inUse) << int(c.mode);
        EXPECT_EQ(store.referenceApplies(ReferenceKind::Priority2), c.inUse) << int(c.mode);
    }
}

struct OptionsFixture : AreasFixture {
    OptionalFeaturesArea area{store, f.boxes};
    std::string shown(int page, int field) { return area.fieldText(page, field).text; }
    ModelIdentification largeHead() {
        ModelIdentification id = ModelIdentification::defaults();
        id.setHeadType(kHead1, 1);
        return id;
    }
};

TEST_F(OptionsFixture, TextSizesShareTheDisplay) {
    using namespace options;
    struct Case {
        bool large;
        int field;
        const char* typed;
        Byte channel, group;
    } cases[] = {
        {false, kChannelTextSize, "3", 3, 5}, {false, kChannelTextSize, "", 8, 0},
        {false, kGroupTextSize, "", 8, 0},    {false, kChannelTextSize, "T262", 0, 8},
        {false, kGroupTextSize, "45", 0, 8},  {true, kChannelTextSize, "12", 12, 2},
        {true, kChannelTextSize, "", 14, 0},  {true, kGroupTextSize, "99999999999", 0, 14},
    };
    for (const Case& c : cases) {
        model(c.large ? largeHead() : ModelIdentification::defaults());
        area.commitField(kGeneral, c.field, c.typed);
        EXPECT_EQ(m(0x10), c.channel) << c.typed;
        EXPECT_EQ(m(0x11), c.group) << c.typed;
    }
    model(ModelIdentification::defaults());
    area.commitField(kGeneral, kChannelTextSize, "8");
    EXPECT_EQ(shown(kGeneral, kGroupTextSize), "T262");
    area.stepField(kGeneral, kChannelTextSize, "8", +1);
    EXPECT_EQ(m(0x10), 0);
    EXPECT_EQ(m(0x11), 8) << "a step couples the sizes too";
    EXPECT_EQ(area.editFormat(kGeneral, kChannelTextSize).maxLength, 1);
    model(largeHead());
    EXPECT_EQ(area.editFormat(kGeneral, kChannelTextSize).maxLength, 2);
}

TEST_F(OptionsFixture, FixedTextsKeepToTheirLength) {
    using namespace options;
    area.commitField(kGeneral, kPowerOnText, "AB");
    const std::string stored(reinterpret_cast<const char*>(&m(0x3DF0)), 14);
    EXPECT_EQ(stored, "AB            ");
    area.commitField(kGeneral, kPowerOnText, "  ");
    EXPECT_EQ(m(0x3DF0), 0xFF);
    EXPECT_EQ(m(0x3DFD), 0xFF);

    // A full 14-character text, the byte after it not a terminator.
    model(largeHead());
    area.commitField(kGeneral, kPowerOnText, "ABCDEFGHIJKLMNOPQ");
    m(0x3DFE) = 'Z';
    EXPECT_EQ(shown(kGeneral, kPowerOnText), "ABCDEFGHIJKLMN");
    model(ModelIdentification::defaults());
    EXPECT_EQ(shown(kGeneral, kPowerOnText), "ABCDEFGH");

    m(0x36) = 1; // PTT ID: connect
    area.commitField(kTones, kConnectId, "12345");
    EXPECT_EQ(m(0x2BE), 5);
    EXPECT_EQ(m(0x2C4), '5');
    EXPECT_EQ(m(0x2C5), 0xFF);
    EXPECT_EQ(m(0x2DF), 0xFF);
    m(0x2BE) = 200;
    for (std::size_t i = 0; i < 32; ++i)
        m(0x2C0 + i) = '1';
    EXPECT_EQ(shown(kTones, kConnectId), "1111111111111111") << "a length past 16 counts as 16";
}

TEST_F(AreasFixture, AFullMessageLineDoesNotRunIntoTheNext) {
    EmbeddedMessageArea area(doc, f.boxes);
    area.commitField(0, embmsg::kLine1, std::string(40, 'X'));
    area.commitField(0, embmsg::kLine2, "HELLO");
    EXPECT_EQ(area.fieldText(0, embmsg::kLine1).text, std::string(32, 'X'));
    EXPECT_EQ(area.fieldText(0, embmsg::kLine2).text, "HELLO");
    EXPECT_EQ(m(0x3EA5), ' ');
    EXPECT_EQ(m(0x3EBF), ' ');
    EXPECT_EQ(embeddedMessageLine(doc, 2)[4], 'O');
    area.commitField(0, embmsg::kLine2, "");
    EXPECT_EQ(m(0x3EA0), 0xFF);
    EXPECT_EQ(embeddedMessageLine(doc, 2)[0], 0);
    EXPECT_EQ(m(0x3E9F), 'X') << "line 1 untouched";
}

TEST_F(OptionsFixture, HomeChannelFollowsTheHomeKeyAndThePairRules) {
    using namespace options;
    put(store, 2, 0);
    put(store, 2, 4);
    put(store, 5, 1);
    EXPECT_FALSE(area.isFieldEnabled(kGeneral, kHomeGroup)) << "no key calls the home channel";
    m(0x30F) = 17; // head 2, not fitted
    EXPECT_FALSE(area.isFieldEnabled(kGeneral, kHomeGroup));
    m(0x300) = 18;
    EXPECT_TRUE(area.isFieldEnabled(kGeneral, kHomeGroup));
    EXPECT_FALSE(area.isFieldEnabled(kGeneral, kHomeChannel)) << "no home group yet";

    area.commitField(kGeneral, kHomeGroup, "3");
    area.commitField(kGeneral, kHomeChannel, "5");
    EXPECT_EQ(m(0x54), 2);
    EXPECT_EQ(m(0x55), 4);
    area.commitField(kGeneral, kHomeGroup, "3");
    EXPECT_EQ(m(0x55), 4) << "the current group changes nothing";
    area.commitField(kGeneral, kHomeGroup, "9");
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{241}));
    EXPECT_EQ(m(0x54), 2);
    EXPECT_EQ(m(0x55), 4);
    area.commitField(kGeneral, kHomeChannel, "3");
    EXPECT_EQ(m(0x55), 4) << "a channel the group lacks is refused";
    area.commitField(kGeneral, kHomeGroup, "6");
    EXPECT_EQ(m(0x54), 5);
    EXPECT_EQ(m(0x55), 0xFF) << "a new group clears the channel";
}

TEST_F(OptionsFixture, SpecialWordsAndTheirSpinPlaces) {
    using namespace options;
    struct Case {
        int page, field;
        const char* typed;
        std::size_t at;
        Byte stored;
    } cases[] = {
        {kTones, kPowerOnTone, "T", 0x12, 0xFF}, // "T263": its first letter is enough
        {kTones, kPowerOnTone, "45", 0x12, 31},
        {kTones, kAlertTone, "", 0x15, 0xFF},
        {kTones, kAlertTone, "T263", 0x15, 0xFF},
        {kGeneral, kLogicSignalTime, "0", 0x39, 0xFF},
        {kGeneral, kLogicSignalTime, "45", 0x39, 30},
        {kGeneral, kTimedPowerOff, "T278", 0x3A, 0},
        {kGeneral, kSquelch, "", 0x18, 1},
        {kGeneral, kMinimumVolume, "45", 0x16, 31},
    };
    for (const Case& c : cases) {
        area.commitField(c.page, c.field, c.typed);
        EXPECT_EQ(m(c.at), c.stored) << c.typed;
    }
    area.stepField(kGeneral, kLogicSignalTime, "30", +1);
    EXPECT_EQ(shown(kGeneral, kLogicSignalTime), "T296");
    area.stepField(kGeneral, kLogicSignalTime, "T296", +1);
    EXPECT_EQ(m(0x39), 1);
    area.commitChoice(kGeneral, kLogicSignal, 0);
    EXPECT_FALSE(area.isFieldEnabled(kGeneral, kLogicSignalTime));
    EXPECT_EQ(shown(kGeneral, kLogicSignalTime), "");
}

TEST_F(AreasFixture, SetRefusesWhatTheViewWouldNotTake) {
    FieldAccess access(doc, f.boxes);
    m(0x3F) = 0;
    struct Case {
        const char* key;
        const char* text;
        bool accepted;
    } cases[] = {
        {"options.nothing", "1", false},
        {"scan", "1", false},
        {"options.ext_ptt_ste", "1", false}, // disabled while QT/DQT is clear
        {"options.ext_ptt_qt_dqt", "yes", false},
        {"options.ext_ptt_qt_dqt", "1", true},
        {"options.ext_ptt_ste", "1", true},
        {"scan.priority_1", "t267", true}, // item texts match in any case
        {"scan.priority_1", "T999", false},
        {"keys.1.99", "T309", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!access.set(c.key, c.text).has_value(), c.accepted) << c.key << "=" << c.text;
    EXPECT_EQ(m(0x00), 1);
    EXPECT_EQ(m(0x3D), 1);

    // A group the view turns away with its message is a refusal, not a silent success.
    m(0x300) = 18;
    auto refused = access.set("options.home_group", "9");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->reason, f.boxes.text(241));

    // Typed through the edit's filter: capitals, and no more than the edit holds.
    EXPECT_FALSE(access.set("options.power_on_text", "abcdefghijk"));
    EXPECT_EQ(access.find("options.power_on_text")->text, "ABCDEFGH");
}

// What set does to a typed text is told: the field's text afterwards, when it is not the typed one.
TEST_F(AreasFixture, SetTellsWhereAFieldShowsOtherThanTyped) {
    FieldAccess access(doc, f.boxes);
    m(0x00) = 1; // priority 1 on a fixed channel: its pair is in use
    struct Case {
        const char* key;
        const char* typed;
        std::optional<std::string> shown; // nullopt: shown as typed
    } cases[] = {
        {"options.minimum_volume", "100", "10"}, // cut to the edit's two places
        {"scan.priority_1_group", "abc", ""},    // no digit passes the filter
        {"ost.1.2.name", "a~b", "AB"},
        {"scan.look_back_time_b", "1.2", "1.0"}, // to the half second
        {"scan.dwell_time", "", "3.0"},          // empty takes the default
        {"scan.priority_1", "t267", std::nullopt},
        {"scan.look_back_time_a", "1.50", std::nullopt}, // the same number
        {"options.power_on_text", "ABC", std::nullopt},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(access.set(c.key, c.typed)) << c.key;
        EXPECT_EQ(access.shownOtherwise(c.key, c.typed), c.shown) << c.key << "=" << c.typed;
    }
}

TEST_F(AreasFixture, SetRefusesABlankInADtmfCode) {
    FieldAccess access(doc, f.boxes);
    ASSERT_FALSE(access.set("dtmf.auto_dial", "1"));
    for (const char* key : {"dtmf.3.1", "dtmf.primary_code"}) {
        const auto before = doc.image().working();
        auto refused = access.set(key, "1 2");
        ASSERT_TRUE(refused) << key;
        EXPECT_EQ(refused->key, key);
        EXPECT_EQ(doc.image().working(), before) << key;
        EXPECT_FALSE(access.set(key, "12")) << key;
    }
}

TEST(Latin1Text, OneBytePerCharacterBothWays) {
    using S = Latin1Text::Status;
    const struct {
        const char* utf8;
        S status;
        const char* latin1; // Ok: the bytes; NoByte: the character refused
    } cases[] = {
        {"Caf\xC3\xA9 \xC3\xBF", S::Ok, "Caf\xE9 \xFF"},
        {"\xC2\x80", S::Ok, "\x80"},
        {"1\xE2\x82\xAC", S::NoByte, "\xE2\x82\xAC"}, // the euro sign
        {"\xC4\x80", S::NoByte, "\xC4\x80"},
        {"\xF0\x9F\x98\x80", S::NoByte, "\xF0\x9F\x98\x80"},
        {"Caf\xE9", S::NotUtf8, ""},
        {"\xC3", S::NotUtf8, ""},
        {"\xC1\xA9", S::NotUtf8, ""}, // overlong
        {"\xA9", S::NotUtf8, ""},
    };
    for (const auto& c : cases) {
        const Latin1Text t = utf8ToLatin1(c.utf8);
        EXPECT_EQ(t.status, c.status) << c.utf8;
        EXPECT_EQ(c.status == S::NoByte ? t.character : t.text, c.status == S::NotUtf8 ? "" : c.latin1)
            << c.utf8;
        if (c.status == S::Ok) EXPECT_EQ(latin1ToUtf8(c.latin1), c.utf8);
    }
}

} // namespace
} // namespace velora::test
