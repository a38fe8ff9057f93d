// A production run against a fake radio: what crosses the line between radios, and what a stop leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "base/LanguageFile.h"
#include "comm/FleetRun.h"
#include "comm_fakes.h"
#include "dataset/DataSetInit.h"

namespace velora {
namespace {

using comm::kStx;
using test::FakeLink;
using test::FakeRadio;

// Does what a case asks at the run's events; records the rows that ended.
struct Observer : comm::FleetObserver {
    std::function<void(const comm::RowUpdate&)> onEnd;
    std::function<void(std::size_t row)> onPrompt;
    std::vector<comm::RowState> ends;
    void rowChanged(const comm::RowUpdate& u) override {
        if (!u.ended()) return;
        ends.push_back(u.state);
        if (onEnd) onEnd(u);
    }
    void connectPrompt(std::size_t, std::size_t row, const std::string&) override {
        if (onPrompt) onPrompt(row);
    }
    void message(const comm::FleetMessage&) override {}
};

struct FleetRunTest : ::testing::Test {
    FleetRunTest() {
        EXPECT_EQ(texts.load(std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng"),
                  LanguageFile::Status::Ok);
        defaultInitialise(base, true, false);
        options.poll = std::chrono::milliseconds(0);
        options.forceModel = options.forceVersion = true; // the fake radio's identification is its own
        options.out =
            std::filesystem::temp_directory_path() / ("fleet_run_test_" + std::to_string(::getpid()));
    }
    ~FleetRunTest() override { std::filesystem::remove_all(options.out); }

    comm::FleetRun& start(const char* csv) {
        std::istringstream in(csv);
        std::string error;
        manifest = *fleet::readManifest(in, texts, error);
        run.emplace(manifest, base, texts, std::vector<comm::FleetPort>{{&link, "fake", true, "/dev/fake"}},
                    options, observer);
        return *run;
    }

    LanguageFile texts;
    Document base;
    comm::FleetOptions options;
    FakeLink link;
    FakeRadio radio{link};
    Observer observer;
    fleet::Manifest manifest;
    std::optional<comm::FleetRun> run;
};

// Each radio is written in the session that found it (one entry), and its going is seen by one
// entry at the rate it was written at: three entries for two radios, not a baud search each.
TEST_F(FleetRunTest, OneEntryPerRadioAndOneToSeeItGone) {
    auto& r = start("radio,dravix.id\nA,1001\nB,1002\n");
    observer.onEnd = [&](const comm::RowUpdate&) { radio.answerProgram = false; }; // unplugged
    observer.onPrompt = [&](std::size_t) { radio.answerProgram = true; };          // the next one
    r.runPort(0);
    EXPECT_EQ(observer.ends, (std::vector{comm::RowState::Written, comm::RowState::Written}));
    EXPECT_EQ(radio.count('P'), 3);
    EXPECT_EQ(radio.count('E'), 2) << "each write ends its own run";
    EXPECT_FALSE(link.open);
}

// A line that does not open after a write shows nothing gone: the next row is not offered until
// the line shows the radio gone, however long that takes.
TEST_F(FleetRunTest, ALineThatDoesNotOpenIsNoRadioGone) {
    options.poll = std::chrono::milliseconds(10);
    auto& r = start("radio,dravix.id\nA,1001\nB,1002\n");
    int prompts = 0;
    observer.onPrompt = [&](std::size_t) { ++prompts; };
    observer.onEnd = [&](const comm::RowUpdate&) {
        radio.answerProgram = false;
        link.failOpen = true;
    };
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        r.stop();
    });
    r.runPort(0);
    stopper.join();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(observer.ends.size(), 1u);
}

// A stop that comes while the radio is being found writes nothing and leaves the radio out of
// programming mode.
TEST_F(FleetRunTest, StopWhileFindingLeavesTheRadioAsItWas) {
    auto& r = start("radio,dravix.id\nA,1001\n");
    radio.drop = [&](Byte cmd, Byte, int) {
        if (cmd == kStx) r.stop();
        return false;
    };
    r.runPort(0);
    EXPECT_TRUE(observer.ends.empty());
    EXPECT_EQ(radio.count('W') + radio.count('Z'), 0);
    EXPECT_EQ(radio.count('E'), 1);
    EXPECT_FALSE(link.open);
}

// A stop ends a wait for a radio at once, not after the poll interval.
TEST_F(FleetRunTest, StopEndsTheWaitAtOnce) {
    options.poll = std::chrono::seconds(30);
    radio.answerProgram = false;
    auto& r = start("radio,dravix.id\nA,1001\n");
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        r.stop();
    });
    const auto t0 = std::chrono::steady_clock::now();
    r.runPort(0);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    EXPECT_TRUE(observer.ends.empty());
}

} // namespace
} // namespace velora
