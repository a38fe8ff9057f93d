#include "base/SettingsValues.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "base/CommandLine.h"
#include "base/PortMap.h"

namespace velora {
namespace {

using namespace settings;

TEST(LastModelSetting, RoundTripsAllTenBytes) {
    const ModelId id{0x52, 0x4D, 0x34, 0x32, 0x30, 0x05, 0xA3, 0x1F, 0x00, 0xFF};
    EXPECT_EQ(formatLastModel(id), "52:4D:34:32:30:05:A3:1F");
    EXPECT_EQ(formatLastModel2(id), "00:FF");
    EXPECT_EQ(parseLastModel(formatLastModel(id), formatLastModel2(id)), id);
    EXPECT_EQ(parseLastModel("52:4d:34:32:30:05:a3:1f", "00:ff"), id); // hand-edited lower case
}

TEST(LastModelSetting, AnyMalformedFieldRefusesBothValues) {
    const std::string_view good2 = "00:FF";
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3", good2));       // seven fields
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1F:00", good2)); // nine
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1", good2));     // one digit
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1FF", good2));
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:G3:1F", good2));
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05::1F", good2));
    EXPECT_FALSE(parseLastModel("", good2));
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1F", "")); // the second value is missing
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1F", "00"));
    EXPECT_FALSE(parseLastModel("52:4D:34:32:30:05:A3:1F", "00:FF:01"));
}

TEST(ComPortSetting, OutOfRangeOrNonNumbersGivePortOne) {
    for (const char* bad : {"0", "21", "-3", "x", "", "5x", "1.5", "99999999999999999999999", "+-4"})
        EXPECT_EQ(parseComPort(bad), 1) << bad;
    EXPECT_EQ(parseComPort("1"), 1);
    EXPECT_EQ(parseComPort("20"), 20);
    EXPECT_EQ(parseComPort(" 7 "), 7);
    EXPECT_EQ(validComPort(0), 1);
    EXPECT_EQ(validComPort(4294967297LL), 1); // not cut down to a 32-bit 1
    EXPECT_EQ(validComPort(13), 13);
}

TEST(ComCloseDelaySetting, OnOnlyForOne) {
    EXPECT_TRUE(parseComCloseDelay("1"));
    for (const char* off : {"0", "2", "-1", "", "true", "01x"})
        EXPECT_FALSE(parseComCloseDelay(off)) << off;
    EXPECT_TRUE(parseComCloseDelay(std::to_string(formatComCloseDelay(true))));
    EXPECT_FALSE(parseComCloseDelay(std::to_string(formatComCloseDelay(false))));
}

class LastFilePathSetting : public ::testing::Test {
  protected:
    std::filesystem::path make(const std::string& name) {
        auto p = dir.path() / name;
        std::filesystem::create_directories(p);
        return p;
    }
    test::TempDir dir;
    std::set<std::filesystem::path> readOnly;
    WritableTest writable = [this](const std::filesystem::path& p) { return !readOnly.count(p); };
};

TEST_F(LastFilePathSetting, DataSubfolderInAnyCaseIsPreferred) {
    const auto program = make("prog");
    const auto docs = make("home/Documents");
    EXPECT_EQ(defaultFilePath(program, docs, writable), program.string() + "/");
    const auto data = make("prog/Data");
    EXPECT_EQ(defaultFilePath(program, docs, writable), data.string() + "/");
}

TEST_F(LastFilePathSetting, AFileNamedDataIsNotAFolder) {
    const auto program = make("prog");
    std::ofstream(program / "DATA") << "x";
    EXPECT_EQ(defaultFilePath(program, make("docs"), writable), program.string() + "/");
}

TEST_F(LastFilePathSetting, ReadOnlyFoldersFallBackToDocuments) {
    const auto program = make("usr/bin");
    const auto data = make("usr/bin/DATA");
    const auto docs = make("home/Documents");
    readOnly = {data};
    EXPECT_EQ(defaultFilePath(program, docs, writable), program.string() + "/");
    readOnly = {data, program};
    EXPECT_EQ(defaultFilePath(program, docs, writable), docs.string() + "/");
}

TEST_F(LastFilePathSetting, StoredFolderWinsAndAlwaysEndsWithASeparator) {
    EXPECT_EQ(lastFilePathOr("/srv/radios", "/opt/velora/"), "/srv/radios/");
    EXPECT_EQ(lastFilePathOr("/srv/radios/", "/opt/velora/"), "/srv/radios/");
    EXPECT_EQ(lastFilePathOr(std::nullopt, "/opt/velora"), "/opt/velora/");
    EXPECT_EQ(lastFilePathOr("", "/opt/velora/"), "/opt/velora/");
}

TEST(WindowPlacementSetting, RoundTripsTenIntegers) {
    const WindowPlacement p{2, 3, -1, -1, -32000, -32000, 10, 20, 1034, 788};
    EXPECT_EQ(formatWindowPlacement(p), "2:3:-1:-1:-32000:-32000:10:20:1034:788");
    EXPECT_EQ(parseWindowPlacement(formatWindowPlacement(p)), p);
}

TEST(WindowPlacementSetting, AnythingButExactlyTenIntegersIsRefused) {
    EXPECT_FALSE(parseWindowPlacement("0:1:-1:-1:-1:-1:10:20:30"));       // nine
    EXPECT_FALSE(parseWindowPlacement("0:1:-1:-1:-1:-1:10:20:30:40:50")); // eleven
    EXPECT_FALSE(parseWindowPlacement("0:1:-1:-1:-1:-1:10:20:30:4x"));
    EXPECT_FALSE(parseWindowPlacement("0:1:-1:-1:-1:-1:10::30:40"));
    EXPECT_FALSE(parseWindowPlacement("0:1:-1:-1:-1:-1:10:20:30:99999999999"));
    EXPECT_FALSE(parseWindowPlacement(""));
}

TEST(WindowPlacementSetting, AMinimisedWindowIsStoredWithTheStateItRestoresTo) {
    EXPECT_EQ(storedShowState(kShowMinimised, true), kShowMaximised);
    EXPECT_EQ(storedShowState(kShowMinimised, false), kShowNormal);
    EXPECT_EQ(storedShowState(kShowMaximised, false), kShowMaximised);
    EXPECT_EQ(storedShowState(kShowNormal, true), kShowNormal);

    WindowPlacement p{kRestoreToMaximised, kShowMinimised, -1, -1, -1, -1, 0, 0, 640, 480};
    EXPECT_EQ(placementForStorage(p).showState, kShowMaximised);
    p.flags = 0;
    EXPECT_EQ(placementForStorage(p).showState, kShowNormal);
}

CommandLine parse(std::vector<std::string_view> args) {
    return parseCommandLine(args);
}

TEST(CommandLineOptions, SwitchesAreRecognisedInAnyCase) {
    EXPECT_TRUE(parse({"WqWq"}).run.extended);
    EXPECT_FALSE(parse({"WqWq"}).run.fineStep);
    EXPECT_TRUE(parse({"STEP"}).run.fineStep);
    EXPECT_TRUE(parse({"/NoSplash"}).noSplash);
    EXPECT_TRUE(parse({"-NOSPLASH"}).noSplash);
    const auto all = parse({"step", "data.dat", "wqwq", "-nosplash"});
    EXPECT_TRUE(all.run.extended && all.run.fineStep && all.noSplash);
    EXPECT_EQ(all.run.perGroupLimit(), 254u);
}

TEST(CommandLineOptions, OtherArgumentsAndTheProgramNameAreIgnored) {
    const auto none = parse({"wqwqx", "-wqwq", "steps", "nosplash", "file.dat", ""});
    EXPECT_FALSE(none.run.extended || none.run.fineStep || none.noSplash);
    const char* argv[] = {"wqwq", "Step", nullptr};
    const auto cl = parseCommandLine(2, argv);
    EXPECT_FALSE(cl.run.extended); // argv[0] names the program
    EXPECT_TRUE(cl.run.fineStep);
}

TEST(CommandLineOptions, TheFirstPlainArgumentNamesTheDataFile) {
    struct Case {
        std::vector<std::string_view> args;
        std::string file;
    } cases[] = {
        {{}, ""},
        {{"customer.dat"}, "customer.dat"},
        {{"-nosplash", "/home/t/A B.dat", "other.dat"}, "/home/t/A B.dat"},
        {{"wqwq", "--unknown", "step"}, ""},
        {{"/nosplash"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.args).dataFile, c.file) << (c.args.empty() ? "" : c.args[0]);
}

TEST(RecentFilesSetting, TheLatestComesFirstOnceAndTheOldestDropOff) {
    using L = std::vector<std::string>;
    struct Case {
        L before;
        std::string path;
        L after;
    } cases[] = {
        {{}, "a", {"a"}},
        {{"a", "b"}, "b", {"b", "a"}},
        {{"a", "b", "c", "d"}, "e", {"e", "a", "b", "c"}},
        {{"a", "", "a", "b"}, "c", {"c", "a", "b"}},
        {{"a", "b"}, "", {"a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withRecentFile(c.before, c.path), c.after) << c.path;
}

TEST(PortMapSetting, TheSettingsFileFollowsXdgConfigHome) {
    auto env = [](const char* xdg, const char* home) {
        return [=](const char* name) -> const char* {
            return std::string_view(name) == "XDG_CONFIG_HOME" ? xdg
                   : std::string_view(name) == "HOME"          ? home
                                                               : nullptr;
        };
    };
    EXPECT_EQ(settingsFile("HALCYON", "velora", env("/x/conf", "/home/u")), "/x/conf/HALCYON/velora.conf");
    EXPECT_EQ(settingsFile("HALCYON", "velora", env("relative", "/home/u")),
              "/home/u/.config/HALCYON/velora.conf");
    EXPECT_EQ(settingsFile("HALCYON", "velora", env(nullptr, "/home/u")),
              "/home/u/.config/HALCYON/velora.conf");
    EXPECT_EQ(settingsFile("HALCYON", "velora", env(nullptr, nullptr)), "");
}

TEST(PortMapSetting, PathsAreReadAsTheSettingsStoreWritesThem) {
    test::TempDir dir;
    const std::string file = dir.file("velora.conf");
    std::ofstream(file) << "[Backup]\nComPort=3\nCOM2=/dev/wrong-group\n\n"
                           "[Ports]\n"
                           "COM1=/dev/ttyACM0\n"
                           "COM2=\"/dev/serial/by-id/usb-A,B;C=D\"\n" // quoted for ',' ';' '='
                           "COM3=/dev/odd\\\\name\\x20x\n"            // escaped backslash, \x20
                           "COM4=@@at\n"                              // '@' doubled at the start
                           "COM5=  /dev/ttyUSB7  \n"
                           "COM6=a, b\n" // a list is no path
                           "COM7=\n"
                           "COM21=/dev/ttyUSB3\n"
                           "[Other]\nCOM8=/dev/elsewhere\n";
    const std::map<int, std::string> expected{{1, "/dev/ttyACM0"},
                                              {2, "/dev/serial/by-id/usb-A,B;C=D"},
                                              {3, "/dev/odd\\name x"},
                                              {4, "@at"},
                                              {5, "/dev/ttyUSB7"}};
    EXPECT_EQ(readPortMap(file), expected);
    EXPECT_TRUE(readPortMap(dir.file("missing.conf")).empty());
}

} // namespace
} // namespace velora
