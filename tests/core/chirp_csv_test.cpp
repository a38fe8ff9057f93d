// CHIRP-style channel lists: a realistic list imported field by field, the rows the radio cannot hold
// refused with their lines, and an export read back.
#include <gtest/gtest.h>

#include <sstream>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "channels/ChannelCsvImport.h"
#include "channels/ChannelLayout.h"
#include "channels/ChirpCsv.h"
#include "model/Bytes.h"

namespace velora {
namespace {

constexpr char kHeader[] =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";

// A list as a frequency-list site would publish it for a VHF radio (148-174 MHz).
constexpr char kList[] =
    "1,Simplex,151.820000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,50W,,,,,\n"
    "2,Rpt Low,162.550000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,,,,,\n"
    "3,Rpt High,155.000000,+,5.000000,TSQL,88.5,123.0,023,NN,023,Tone->Tone,NFM,5.00,,50W,,,,,\n"
    "4,Split,153.000000,split,158.400000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,NFM,12.50,,50W,,,,,\n"
    "5,Listen,156.800000,off,0.000000,DTCS,88.5,88.5,754,RR,023,Tone->Tone,NFM,25.00,,50W,,,,,\n"
    "6,Wide,148.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,S,50W,,,,,\n"
    "7,Airband,121.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,,50W,,,,,\n"
    "8,PMR,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,,50W,,,,,\n"
    "9,A Very Long Name,150.500000,,0.000000,Cross,77.0,88.5,023,NN,411,Tone->DTCS,NFM,5.00,,50W,,,,,\n";

struct Imported {
    test::MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    ChannelCsvResult result;

    Imported() { test::prepare(doc); }
    void run(const std::string& csv, ChannelCsvOptions options = {}) {
        std::istringstream in(csv);
        result = importChannelCsv(in, "list.csv", store, f.boxes, options);
    }
    std::string text(int g, int c, ChannelField field) const {
        return store.channelFieldText(g, c, field).text;
    }
    bool wide(int g, int c) const {
        return le16(store.channelRecord(g, c), chlayout::kRecFlagsA) & chlayout::kAWide;
    }
};

TEST(ChirpCsv, ImportsEveryUsableRowFieldByField) {
    Imported x;
    x.run(std::string(kHeader) + kList, {1, true});
    ASSERT_TRUE(x.result.ok) << x.result.error;
    EXPECT_EQ(x.result.format, ChannelCsvFormat::Chirp);
    EXPECT_EQ(x.result.rows, 7);

    const std::string off = "T262", scanOn = "T355", scanOff = "T354";
    struct Expected {
        int channel;
        const char *rx, *tx, *decode, *encode, *name, *scan;
        bool wide;
    };
    // FM in the VHF narrow-band range still becomes narrow; only 148.5 MHz may stay wide.
    const Expected table[] = {
        {0, "151.82000", "151.82000", off.c_str(), off.c_str(), "SIMPLEX", scanOn.c_str(), false},
        {1, "162.55000", "161.95000", off.c_str(), "100.0", "RPT LOW", scanOn.c_str(), false},
        {2, "155.00000", "160.00000", "123.0", "123.0", "RPT HIGH", scanOn.c_str(), false},
        {3, "153.00000", "158.40000", "D023I", "D023N", "SPLIT", scanOn.c_str(), false},
        {4, "156.80000", "", "D754I", off.c_str(), "LISTEN", scanOn.c_str(), false},
        {5, "148.50000", "148.50000", off.c_str(), off.c_str(), "WIDE", scanOff.c_str(), true},
        {8, "150.50000", "150.50000", "D411N", "77.0", "A VERY L", scanOn.c_str(), false},
    };
    for (const auto& e : table) {
        SCOPED_TRACE("channel " + std::to_string(e.channel + 1));
        ASSERT_TRUE(x.store.channelExists(1, e.channel));
        EXPECT_EQ(x.text(1, e.channel, ChannelField::RxFrequency), e.rx);
        EXPECT_EQ(x.text(1, e.channel, ChannelField::TxFrequency), e.tx);
        EXPECT_EQ(x.text(1, e.channel, ChannelField::Decode), e.decode);
        EXPECT_EQ(x.text(1, e.channel, ChannelField::Encode), e.encode);
        EXPECT_EQ(x.text(1, e.channel, ChannelField::Name), e.name);
        EXPECT_EQ(x.text(1, e.channel, ChannelField::ScanAdd), e.scan);
        EXPECT_EQ(x.wide(1, e.channel), e.wide);
    }
    EXPECT_FALSE(x.store.channelExists(1, 6));
    EXPECT_FALSE(x.store.channelExists(1, 7));
    ASSERT_EQ(x.result.unusable.size(), 2u);
    EXPECT_NE(x.result.unusable[0].find("line 8: mode AM"), std::string::npos) << x.result.unusable[0];
    EXPECT_NE(x.result.unusable[1].find("line 9: receive frequency 446.00625 MHz is outside"),
              std::string::npos)
        << x.result.unusable[1];
}

TEST(ChirpCsv, UnusableRowsRefuseTheWholeListWithTheirLines) {
    Imported x;
    test::put(x.store, 0, 4);
    const ImageCopy before = x.doc.image().working();
    x.run(std::string(kHeader) + kList);
    EXPECT_FALSE(x.result.ok);
    EXPECT_NE(x.result.error.find("2 row(s) the radio cannot hold; nothing imported"), std::string::npos)
        << x.result.error;
    EXPECT_EQ(x.result.unusable.size(), 2u);
    EXPECT_TRUE(x.doc.image().working() == before);
}

TEST(ChirpCsv, RowsTheListCannotNumberOrHold) {
    struct Case {
        const char* name;
        std::string rows;
        std::vector<int> channels; // 1-based numbers the group ends with
        std::string unusable;      // what the first unusable row says
        bool fileOrder = false;    // a warning says the Locations were not used
    };
    std::string tooMany;
    for (int i = 1; i <= 161; ++i)
        tooMany += std::to_string(i) + ",,150.0" + std::to_string(i % 10) + ",,,,,,,,,,FM,,,,\n";
    const Case cases[] = {
        {"locations from 0 are renumbered from 1",
         "0,,150.1,,,,,,,,,,FM\n5,,150.2,,,,,,,,,,FM\n",
         {1, 2},
         "",
         true},
        {"locations that fit are kept", "7,,150.1,,,,,,,,,,FM\n3,,150.2,,,,,,,,,,FM\n", {3, 7}, ""},
        {"a group holds 160 channels", tooMany, {}, "line 162: more channels than a group holds (160)"},
        {"an unknown duplex", "1,,150.1,x,,,,,,,,,FM\n", {}, "line 2: duplex 'x'"},
        {"a tone the radio lacks", "1,,150.1,,,Tone,69.4,,,,,,FM\n", {}, "line 2: tone 69.4 is not one"},
        {"a tone past the list", "1,,150.1,,,Tone,300.0,,,,,,FM\n", {}, "line 2: tone 300.0 is not one"},
        {"a name character outside the set", "1,a\tb,150.1,,,,,,,,,,FM\n", {}, "line 2: name 'a\tb' has the"},
        {"a Location past the group keeps the others' numbers",
         "3,,150.1,,,,,,,,,,NFM\n200,,150.2,,,,,,,,,,NFM\n1,,150.3,,,,,,,,,,NFM\n",
         {1, 3},
         "line 3: more channels than a group holds (160): Location 200"},
        {"a refused row keeps its place in file order",
         "0,,150.1,,,,,,,,,,NFM\n0,,150.2,x,,,,,,,,,NFM\n0,,150.3,,,,,,,,,,NFM\n",
         {1, 3},
         "line 3: duplex 'x'",
         true},
        {"inside the wide limits a value stays as written", "1,,175.0,,,,,,,,,,NFM\n", {1}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Imported x;
        x.run(std::string(kHeader) + c.rows, {0, true});
        ASSERT_TRUE(x.result.ok) << x.result.error;
        if (!c.channels.empty()) {
            std::vector<int> numbers;
            for (int n : x.store.channelNumbers(0))
                numbers.push_back(n + 1);
            EXPECT_EQ(numbers, c.channels);
        }
        std::string shown;
        for (const auto& m : x.f.messenger.shown)
            shown += m.text + "\n";
        EXPECT_EQ(shown.find("in file order") != std::string::npos, c.fileOrder) << shown;
        const std::string first = x.result.unusable.empty() ? "" : x.result.unusable[0];
        if (c.unusable.empty())
            EXPECT_EQ(first, "");
        else
            EXPECT_NE(first.find(c.unusable), std::string::npos) << first;
    }
}

TEST(ChirpCsv, ARefusedRowLeavesItsChannelAndTheGroupNamesWhatGoes) {
    // The middle row is refused when read (duplex) or when stored (band); channel 2 stays either way.
    for (const char* refused : {"2,,150.2,x,,,,,,,,,NFM\n", "2,,440.0,,,,,,,,,,NFM\n"}) {
        SCOPED_TRACE(refused);
        Imported x;
        test::put(x.store, 0, 1);
        test::put(x.store, 0, 6);
        const auto channel2 =
            std::vector<Byte>(x.store.channelRecord(0, 1).begin(), x.store.channelRecord(0, 1).end());
        x.run(std::string(kHeader) + "1,,150.1,,,,,,,,,,NFM\n" + refused + "3,,150.3,,,,,,,,,,NFM\n",
              {0, true});
        ASSERT_TRUE(x.result.ok) << x.result.error;
        EXPECT_EQ(x.store.channelNumbers(0), (std::vector<int>{0, 1, 2}));
        const auto after = x.store.channelRecord(0, 1);
        EXPECT_TRUE(std::equal(after.begin(), after.end(), channel2.begin(), channel2.end()));
        ASSERT_EQ(x.result.deleted.size(), 1u);
        EXPECT_EQ(x.result.deleted[0].rfind("channel 7", 0), 0u) << x.result.deleted[0];
    }
}

// One policy for both formats: a value the radio cannot hold as written refuses its row; one the
// grid's rules change is stored with a warning naming the line.
TEST(ChannelCsv, ValuesAreRefusedOrStoredWithAWarningByOnePolicy) {
    const std::string velora = "group,channel,rx,tx,decode,encode,name,scan_add,signalling\n";
    struct Case {
        const char* name;
        std::string csv;
        std::string refusal; // part of the row's refusal; empty when imported
        ChannelField field;
        const char* stored;  // the field's text after an import
        std::string warning; // part of a message shown; empty for none
    };
    const auto rx = ChannelField::RxFrequency, name = ChannelField::Name;
    const Case cases[] = {
        {"above the wide limits", velora + "1,1,440,,Off,Off,,1,0\n", "line 2: rx '440' is outside", rx, "",
         ""},
        {"below the wide limits", velora + "1,1,50,,Off,Off,,1,0\n", "(the grid would make it 148.00000)", rx,
         "", ""},
        {"a CTCSS tone past the list", velora + "1,1,150,,300.0,Off,,1,0\n", "decode '300.0' is not one", rx,
         "", ""},
        {"a CTCSS tone in hundredths", velora + "1,1,150,,88.55,Off,,1,0\n", "decode '88.55' is not one", rx,
         "", ""},
        {"a DCS code past the list", velora + "1,1,150,,Off,D999N,,1,0\n", "encode 'D999N' is not one", rx,
         "", ""},
        {"a tab in a name", velora + "1,1,150,,Off,Off,\"A\tB\",1,0\n", "character 0x09", rx, "", ""},
        {"UTF-8 in a name", velora + "1,1,150,,Off,Off,\xC3\xA9,1,0\n", "character 0xC3", rx, "", ""},
        {"inside the wide limits", velora + "1,1,175,,Off,Off,,1,0\n", "", rx, "175.00000", "line 2: T222"},
        {"lower case becomes capitals", velora + "1,1,150,,Off,Off,base,1,0\n", "", name, "BASE", ""},
        {"a long name is cut", velora + "1,1,150,,Off,Off,ABCDEFGHIJ,1,0\n", "", name, "ABCDEFGH",
         "line 2: name 'ABCDEFGHIJ' cut to 8"},
        {"a CHIRP name is cut", std::string(kHeader) + "1,abcdefghij,150.1,,,,,,,,,,NFM\n", "", name,
         "ABCDEFGH", "line 2: name 'abcdefghij' cut to 8"},
        {"CHIRP FM made narrow", std::string(kHeader) + "1,,151.82,,,,,,,,,,FM\n", "", rx, "151.82000",
         "line 2: T555"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Imported x;
        const ImageCopy before = x.doc.image().working();
        x.run(c.csv);
        EXPECT_EQ(x.result.ok, c.refusal.empty()) << x.result.error;
        if (!c.refusal.empty()) {
            ASSERT_EQ(x.result.unusable.size(), 1u);
            EXPECT_NE(x.result.unusable[0].find(c.refusal), std::string::npos) << x.result.unusable[0];
            EXPECT_TRUE(x.doc.image().working() == before);
            continue;
        }
        EXPECT_EQ(x.text(0, 0, c.field), c.stored);
        std::string shown;
        for (const auto& m : x.f.messenger.shown)
            shown += m.text + "\n";
        if (c.warning.empty())
            EXPECT_EQ(shown, "");
        else
            EXPECT_NE(shown.find(c.warning), std::string::npos) << shown;
    }
}

TEST(ChirpCsv, AFullChannelPoolNamesTheFirstRowWithoutRoom) {
    Imported x;
    test::put(x.store, 5, 0);
    std::string rows;
    for (int i = 1; i <= 160; ++i)
        rows += std::to_string(i) + ",,150.1,,,,,,,,,,NFM\n";
    x.run(std::string(kHeader) + rows, {0, true});
    ASSERT_TRUE(x.result.ok);
    EXPECT_EQ(x.result.rows, 159);
    ASSERT_EQ(x.result.unusable.size(), 1u);
    EXPECT_NE(x.result.unusable[0].find("line 161: no room left in the channel pool"), std::string::npos)
        << x.result.unusable[0];
}

TEST(ChirpCsv, ExportReadsBackIntoTheSameChannels) {
    Imported x;
    x.run(std::string(kHeader) + kList, {1, true});
    ASSERT_TRUE(x.result.ok);
    std::ostringstream out;
    writeChirpCsv(out, x.store, x.f.boxes, 1);

    Imported y;
    y.run(out.str(), {4, false});
    ASSERT_TRUE(y.result.ok) << y.result.error << "\n" << out.str();
    EXPECT_EQ(y.store.channelNumbers(4), x.store.channelNumbers(1));
    for (int c : x.store.channelNumbers(1))
        for (int f = 0; f < kChannelFieldCount; ++f) {
            const auto field = static_cast<ChannelField>(f);
            EXPECT_EQ(y.text(4, c, field), x.text(1, c, field)) << "channel " << c + 1 << " field " << f;
            EXPECT_EQ(y.wide(4, c), x.wide(1, c));
        }
}

} // namespace
} // namespace velora
