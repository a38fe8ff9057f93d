// The function-port view: pins by configuration, what the list offers, assignment on both tabs, the
// clearing of the home reference and the close check.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "features/FunctionPort.h"
#include "features/KeyAssignment.h"

namespace velora::test {
namespace {

using namespace port;

constexpr std::size_t kPinFunction = 0x320, kFunctionPin = 0x330, kHome = kRefs + 4;

struct PortFixture : ::testing::Test {
    MessengerFixture f;
    Document doc;
    FunctionPortArea area{doc, f.boxes};
    PortFixture() { configure(false, false); }
    void configure(bool dualHead, bool dualBandSet) {
        ModelIdentification id = dualBandSet ? dualBand(4, 8, 1) : ModelIdentification::defaults();
        id.setDualHead(dualHead);
        prepare(doc, id);
    }
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
    std::vector<int> pins(int tab) {
        std::vector<int> out;
        for (int r = 0; r < area.gridRowCount(tab); ++r)
            out.push_back(area.gridRowId(tab, r));
        return out;
    }
    std::vector<int> choices(int tab, int row) {
        std::vector<int> out;
        for (const auto& i : area.gridChoicesAt(tab, row, forms::kValueColumn))
            out.push_back(i.stored);
        return out;
    }
    int rowOfPin(int tab, int pin) {
        for (int r = 0; r < area.gridRowCount(tab); ++r)
            if (area.gridRowId(tab, r) == pin) return r;
        return -1;
    }
};

TEST_F(PortFixture, PinsByConfiguration) {
    struct Case {
        bool dualHead, dualBand;
        std::vector<int> inputs, outputs;
    } cases[] = {
        {false, false, {10, 11, 0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 5}},
        {true, false, {10, 11, 12, 13, 0, 1, 2, 3, 4}, {0, 1, 6, 7, 2, 3, 4, 5}},
        {false, true, {10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 8, 9, 10, 11}},
    };
    for (const auto& c : cases) {
        configure(c.dualHead, c.dualBand);
        EXPECT_EQ(pins(kInputTab), c.inputs) << c.dualHead << c.dualBand;
        EXPECT_EQ(pins(kOutputTab), c.outputs) << c.dualHead << c.dualBand;
    }
    configure(true, true);
    EXPECT_EQ(area.gridRowTitle(kInputTab, 0), "T462 T521") << "prefix on a group's first pin";
    EXPECT_EQ(area.gridRowTitle(kInputTab, 1), "T522");
    EXPECT_EQ(area.gridRowTitle(kInputTab, 2), "T463 T521");
    EXPECT_EQ(area.gridRowTitle(kOutputTab, 4), "T519 T526");
    EXPECT_EQ(area.gridRowTitle(kOutputTab, 11), "T529");
}

TEST_F(PortFixture, AnInputFunctionSitsOnOnePinOnly) {
    const std::vector<int> all{0xFF, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10};
    EXPECT_EQ(choices(kInputTab, 0), all) << "function 9 needs a second unit";
    area.commitGridChoice(kInputTab, rowOfPin(kInputTab, 3), forms::kValueColumn, 2);
    EXPECT_EQ(m(kPinFunction + 3), 2);
    EXPECT_EQ(area.gridCellTextAt(kInputTab, rowOfPin(kInputTab, 3), forms::kValueColumn).text, "T533");
    EXPECT_EQ(choices(kInputTab, rowOfPin(kInputTab, 3)), all) << "the row keeps its own function";
    auto others = choices(kInputTab, rowOfPin(kInputTab, 4));
    EXPECT_EQ(std::count(others.begin(), others.end(), 2), 0);
    area.commitGridChoice(kInputTab, rowOfPin(kInputTab, 4), forms::kValueColumn, 2);
    EXPECT_EQ(m(kPinFunction + 4), 0xFF) << "a function held elsewhere is refused";

    m(kPinFunction + 7) = 5; // left on a second-unit pin this radio does not have
    others = choices(kInputTab, 0);
    EXPECT_EQ(std::count(others.begin(), others.end(), 5), 1);

    configure(false, true);
    others = choices(kInputTab, 0);
    EXPECT_EQ(std::count(others.begin(), others.end(), 9), 1);
}

TEST_F(PortFixture, AnOutputPinHoldsOneFunction) {
    m(kFunctionPin + 1) = 3;
    EXPECT_EQ(area.gridCellTextAt(kOutputTab, rowOfPin(kOutputTab, 3), forms::kValueColumn).text, "T543");
    area.commitGridChoice(kOutputTab, rowOfPin(kOutputTab, 3), forms::kValueColumn, 0);
    EXPECT_EQ(m(kFunctionPin + 0), 3);
    EXPECT_EQ(m(kFunctionPin + 1), 0xFF);
    auto others = choices(kOutputTab, rowOfPin(kOutputTab, 2));
    EXPECT_EQ(others, (std::vector<int>{0xFF, 1, 2, 3, 4}));
    area.commitGridChoice(kOutputTab, rowOfPin(kOutputTab, 3), forms::kValueColumn, 0xFF);
    EXPECT_EQ(m(kFunctionPin + 0), 0xFF);
    EXPECT_EQ(area.gridCellTextAt(kOutputTab, rowOfPin(kOutputTab, 3), forms::kValueColumn).text, "T530");
}

TEST_F(PortFixture, RemovingTheLastHomePinClearsTheHomeChannel) {
    struct Case {
        const char* name;
        std::size_t keyAt;
        Byte key;
        bool homeKept;
    } cases[] = {
        {"no other user", 0, 0xFF, false},
        {"a home key", keys::keyOffset(kHead1, 3), 18, true},
    };
    for (const auto& c : cases) {
        configure(false, false);
        m(kPinFunction + 10) = 7;
        if (c.keyAt) m(c.keyAt) = c.key;
        m(kHome) = 0, m(kHome + 1) = 0;
        area.commitGridChoice(kInputTab, rowOfPin(kInputTab, 10), forms::kValueColumn, 0xFF);
        area.gridEditEnded(kInputTab);
        EXPECT_EQ(m(kHome) == 0 && m(kHome + 1) == 0, c.homeKept) << c.name;
    }
}

TEST_F(PortFixture, CloseNeedsTheRemoteSelectInputsInOrder) {
    struct Case {
        std::vector<std::pair<int, Byte>> pins; // pin, function
        bool mayClose;
    } cases[] = {
        {{}, true},
        {{{0, 0}}, true},
        {{{0, 0}, {11, 1}}, true},
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, true},
        {{{0, 1}}, false},
        {{{0, 0}, {1, 2}}, false},
        {{{0, 0}, {5, 1}}, true}, // pin 5 belongs to a second unit this radio lacks
        {{{0, 0}, {4, 4}, {3, 6}}, true},
    };
    for (const auto& c : cases) {
        configure(false, false);
        f.messenger.shown.clear();
        for (auto [pin, fn] : c.pins)
            m(kPinFunction + std::size_t(pin)) = fn;
        EXPECT_EQ(area.mayClose(), c.mayClose);
        EXPECT_EQ(f.messenger.ids(), c.mayClose ? std::vector<int>{} : std::vector<int>{237});
        EXPECT_TRUE(area.mayClose(true)) << "closing all views skips the check";
    }
}

} // namespace
} // namespace velora::test
