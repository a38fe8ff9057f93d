#include "base/LanguageFile.h"

#include <gtest/gtest.h>

#include <map>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>

#include "TestSupport.h"
#include "comm/RadioTransfer.h"

namespace velora {
namespace {

using Status = LanguageFile::Status;
constexpr int kCount = LanguageFile::kTextCount;
constexpr int kLast = kCount - 1;
const std::string kLastText = "Text " + std::to_string(kLast);

// One entry as the translator's file holds it: number, 0x00, text, line feed.
std::string entry(int n, std::string_view text) {
    char num[16];
    std::snprintf(num, sizeof num, "%04d ", n);
    return std::string(num) + '\0' + std::string(text) + '\n';
}

// A file of `count` texts "Text <n>", the text at `special` replaced by `specialText`.
std::string makeFile(int count, int special = -1, std::string_view specialText = {}) {
    std::string out;
    for (int n = 0; n < count; ++n)
        out += entry(n, n == special ? specialText : "Text " + std::to_string(n));
    return out;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string textOf(std::string_view special) {
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount, 7, special)), Status::Ok);
    return std::string(f.text(7));
}

TEST(LanguageFileFormat, EscapesGiveLineBreaksAndTabsAndKeepOtherPairs) {
    EXPECT_EQ(textOf(R"(Line one\nLine two)"), "Line one\nLine two");
    EXPECT_EQ(textOf(R"(A\tB)"), "A\tB");
    EXPECT_EQ(textOf(R"(C:\q and \N)"), R"(C:\q and \N)");
    EXPECT_EQ(textOf(R"(two \\n)"), R"(two \\n)"); // the pair "\\" is kept, so 'n' stays a letter
    EXPECT_EQ(textOf(R"(ends with \)"), R"(ends with \)");
    EXPECT_EQ(textOf(""), "");
}

TEST(LanguageFileFormat, TextModeDropsOnlyTheCarriageReturnBeforeALineFeed) {
    std::string file = makeFile(kCount, 3, "bare\rCR");
    std::string crlf;
    for (char c : file)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    LanguageFile f;
    ASSERT_EQ(f.loadFromBytes(crlf), Status::Ok);
    EXPECT_EQ(f.text(0), "Text 0");
    EXPECT_EQ(f.text(3), "bare\rCR");
    EXPECT_EQ(f.text(kLast), kLastText);

    // A backslash before CR LF is kept and the line feed still ends the text.
    std::string escaped = makeFile(kCount, 9, "slash\\\r");
    ASSERT_EQ(f.loadFromBytes(escaped), Status::Ok);
    EXPECT_EQ(f.text(9), "slash\\");
    EXPECT_EQ(f.text(10), "Text 10");
}

TEST(LanguageFileFormat, BytesBetweenTextsAreIgnored) {
    std::string file = "; translator's header\n" + makeFile(kCount);
    file.insert(file.find(std::string("0002 ")), "comment line\n\t  \x7f\x80");
    LanguageFile f;
    ASSERT_EQ(f.loadFromBytes(file), Status::Ok);
    EXPECT_EQ(f.text(1), "Text 1");
    EXPECT_EQ(f.text(2), "Text 2");
}

TEST(LanguageFileCount, ExactlyAllTextsAreAccepted) {
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount)), Status::Ok);
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount - 1)), Status::Damaged);
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount + 1)), Status::Damaged);
    EXPECT_EQ(f.loadFromBytes(std::string_view{}), Status::Damaged);
}

TEST(LanguageFileCount, TrailingBytesWithoutATextStartAreAccepted) {
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount) + "9999 trailing words without a start byte"), Status::Ok);
    EXPECT_EQ(f.text(kLast), kLastText);
}

TEST(LanguageFileCount, AStartedTextBeyondTheLastIsRefusedEvenUnfinished) {
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount) + "9999 " + std::string(1, '\0')), Status::Damaged);
}

TEST(LanguageFileCount, ALastTextWithoutItsLineFeedIsIncomplete) {
    std::string file = makeFile(kCount);
    file.pop_back();
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(file), Status::Damaged);
}

TEST(LanguageFileCount, ByteFFEndsTheFile) {
    LanguageFile f;
    // Whatever follows 0xFF, even more texts, is not read.
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount) + "\xFF" + makeFile(3)), Status::Ok);
    // An 0xFF inside the last text leaves it unfinished.
    std::string cut = makeFile(kCount);
    cut.insert(cut.size() - 3, "\xFF");
    EXPECT_EQ(f.loadFromBytes(cut), Status::Damaged);
}

TEST(LanguageFileCount, AMissingLineFeedBeforeTheNextTextIsDamage) {
    std::string file = makeFile(kCount);
    file.erase(file.find("\n0100 "), 1); // text 99 now runs into 100's start byte
    LanguageFile f;
    EXPECT_EQ(f.loadFromBytes(file), Status::Damaged);
}

TEST(LanguageFileStore, TextsMayFillTheStoreExactlyButNotMore) {
    // Texts plus their terminators that fill the store to the last byte.
    constexpr std::size_t kEach = LanguageFile::kStoreSize / kCount - 1;
    const std::string full(kEach + LanguageFile::kStoreSize % kCount, 'x');
    std::string file;
    for (int n = 0; n < kLast; ++n)
        file += entry(n, std::string(kEach, 'x'));
    file += entry(kLast, full);
    LanguageFile f;
    ASSERT_EQ(f.loadFromBytes(file), Status::Ok);
    EXPECT_EQ(f.text(kLast), full);

    std::string over = file;
    over.insert(over.size() - 1, "y");
    EXPECT_EQ(f.loadFromBytes(over), Status::Damaged);

    // Escapes count as the one character they stand for.
    std::string escaped;
    for (int n = 0; n < kCount; ++n)
        escaped += entry(n, std::string(kEach - 1, 'x') + "\\n");
    EXPECT_EQ(f.loadFromBytes(escaped), Status::Ok);
}

TEST(LanguageFileApi, NumbersOutsideTheFileGiveNothing) {
    LanguageFile f;
    EXPECT_EQ(f.text(0), "");
    ASSERT_EQ(f.loadFromBytes(makeFile(kCount)), Status::Ok);
    EXPECT_EQ(f.text(-1), "");
    EXPECT_EQ(f.text(kCount), "");
    EXPECT_EQ(f.text(0), "Text 0");
}

TEST(LanguageFileApi, AFailedLoadKeepsTheTextsLoadedBefore) {
    LanguageFile f;
    ASSERT_EQ(f.loadFromBytes(makeFile(kCount)), Status::Ok);
    EXPECT_EQ(f.loadFromBytes(makeFile(kCount - 1)), Status::Damaged);
    EXPECT_TRUE(f.loaded());
    EXPECT_EQ(f.text(12), "Text 12");
}

TEST(LanguageFileApi, FailureMessagesAreTheFixedErrorBoxes) {
    auto missing = LanguageFile::failureMessage(Status::NotFound);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->text, "Can't read language file.  Please install this software again.");
    EXPECT_EQ(missing->caption, "VELORA");
    EXPECT_EQ(missing->icon, MsgIcon::Error);
    auto damaged = LanguageFile::failureMessage(Status::Damaged);
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->text, "Language file has been damaged.  Please install this software again.");
    EXPECT_FALSE(LanguageFile::failureMessage(Status::Ok));
}

TEST(LanguageFileRobustness, RandomAndMutatedBytesNeverBreakTheLoader) {
    const std::string valid = makeFile(kCount);
    std::mt19937 rng(20240611);
    LanguageFile f;
    auto checkLoaded = [&](Status s) {
        if (s != Status::Ok) return;
        std::size_t total = 0;
        for (int n = 0; n < kCount; ++n)
            total += f.text(n).size() + 1;
        EXPECT_LE(total, LanguageFile::kStoreSize);
    };
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 4096, '\0');
        for (auto& b : bytes)
            b = static_cast<char>(rng() % 4 == 0 ? "\0\n\r\\\xFF"[rng() % 5] : rng());
        checkLoaded(f.loadFromBytes(bytes));
    }
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = valid;
        for (int k = 1 + rng() % 8; k > 0; --k)
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
        checkLoaded(f.loadFromBytes(bytes));
    }
}

TEST(LanguageFileRobustness, EveryTruncationOfTheShippedFileIsRefused) {
    const std::string shipped = readFile(std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng");
    ASSERT_FALSE(shipped.empty());
    LanguageFile f;
    for (std::size_t len = 0; len < shipped.size(); ++len)
        ASSERT_EQ(f.loadFromBytes(std::string_view(shipped).substr(0, len)), Status::Damaged)
            << "length " << len;
}

class ShippedLanguageFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(texts.load(std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng"), Status::Ok);
    }
    std::string t(int n) const { return std::string(texts.text(n)); }
    LanguageFile texts;
};

TEST_F(ShippedLanguageFile, EveryTextIsPresent) {
    for (int n = 0; n < kCount; ++n)
        EXPECT_FALSE(t(n).empty()) << "text " << n;
}

TEST_F(ShippedLanguageFile, TextsThatAreTypedOrComparedHaveSafeWordings) {
    // Tone off: compared for equality and chosen from the tone list, never readable as a tone.
    EXPECT_EQ(t(262), "Off");
    for (int n : {262, 278, 296}) {
        ASSERT_FALSE(t(n).empty());
        EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(t(n)[0]))) << "text " << n;
    }
    EXPECT_EQ(std::string("DIN").find(t(262)[0]), std::string::npos);
    EXPECT_EQ(t(263)[0], 'C'); // first letter selects the special tone value
    EXPECT_EQ(t(280), "No");
}

TEST_F(ShippedLanguageFile, CaptionsMenusAndFormatsFitTheirUse) {
    EXPECT_EQ(t(204), "Error");
    EXPECT_EQ(t(205), "Confirmation");
    EXPECT_EQ(t(206), "Warning");
    EXPECT_EQ(t(165), "Block");
    EXPECT_EQ(t(31), "&New\tCtrl+N");
    EXPECT_EQ(t(60).substr(t(60).find('\t')), "\tCtrl+R");
    EXPECT_EQ(t(30), "&File");
    EXPECT_NE(t(209).find('\n'), std::string::npos);
    // Only the format texts carry '%', exactly as many as their callers fill in.
    const std::map<int, long> formats{{215, 1}, {225, 1}, {257, 2}, {258, 2}, {264, 2}, {557, 1},
                                      {558, 1}, {559, 1}, {560, 1}, {561, 1}, {562, 1}, {563, 1},
                                      {564, 2}, {566, 1}, {567, 1}, {571, 1}, {574, 2}, {582, 1},
                                      {586, 3}, {587, 4}, {591, 1}, {593, 2}, {596, 1}, {597, 3}, {598, 2},
                                      {613, 2}, {615, 2}, {616, 1}, {617, 2}, {622, 1}, {623, 1}, {632, 1},
                                      {634, 3}, {635, 1}, {665, 1}, {693, 2}};
    for (int n = 0; n < kCount; ++n) {
        const std::string s = t(n);
        const auto count = std::count(s.begin(), s.end(), '%');
        EXPECT_EQ(count, formats.count(n) ? formats.at(n) : 0) << "text " << n;
    }
    EXPECT_EQ(formatText(t(215), {"12"}).rfind("12 channels", 0), 0u);
}

TEST_F(ShippedLanguageFile, MessagesClaimOnlyWhatHappened) {
    // Shown both when the value was moved to the band edge and when it was kept as typed.
    for (int n : {222, 223})
        EXPECT_EQ(t(n).find("corrected"), std::string::npos) << "text " << n;
    // A port that opened and carried a complete transfer but then failed to close.
    EXPECT_NE(t(comm::kTextPortCloseFailed), t(comm::kTextPortCannotOpen));
    EXPECT_NE(t(comm::kTextPortCloseFailed).find("closed"), std::string::npos);
}

TEST(LanguageFileSearch, FoldersAreSearchedInOrder) {
    test::TempDir dir;
    const auto program = dir.path() / "bin", current = dir.path() / "cwd", install = dir.path() / "share",
               onPath1 = dir.path() / "p1", onPath2 = dir.path() / "p2";
    for (const auto& p : {program, current, install, onPath1, onPath2})
        std::filesystem::create_directories(p);

    const auto folders = languageSearchFolders(program, current, install,
                                               "::" + onPath1.string() + "::" + onPath2.string() + ":");
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders[0], program);
    EXPECT_EQ(folders[3], onPath1);
    EXPECT_EQ(folders[4], onPath2);

    EXPECT_FALSE(findLanguageFile(folders));
    writeFile(onPath2 / "velora.lng", "x");
    EXPECT_EQ(findLanguageFile(folders), onPath2 / "velora.lng");
    writeFile(install / "velora.lng", "x");
    EXPECT_EQ(findLanguageFile(folders), install / "velora.lng");
    std::filesystem::create_directories(current / "velora.lng"); // a folder of that name is no file
    EXPECT_EQ(findLanguageFile(folders), install / "velora.lng");
    writeFile(program / "velora.lng", "x");
    EXPECT_EQ(findLanguageFile(folders), program / "velora.lng");
}

TEST(LanguageFileSearch, UnreadableFilesAreNotFound) {
    test::TempDir dir;
    LanguageFile f;
    EXPECT_EQ(f.load(dir.path() / "missing.lng"), Status::NotFound);
    EXPECT_EQ(f.load(dir.path()), Status::NotFound);
    writeFile(dir.path() / "short.lng", makeFile(10));
    EXPECT_EQ(f.load(dir.path() / "short.lng"), Status::Damaged);
}

} // namespace
} // namespace velora
