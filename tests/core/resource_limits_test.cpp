// Files the user names that are not what they claim: a 1 GiB (sparse) file, a folder, a FIFO with
// no writer and an endless device are refused at once, by every reader of outside files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>

#include "TestSupport.h"
#include "base/InputFile.h"
#include "base/LanguageFile.h"
#include "base/PortMap.h"
#include "model/DataFile.h"

using namespace velora;

namespace {

struct Odd {
    const char* what;
    std::string path;
};

struct ResourceLimitsTest : ::testing::Test {
    test::TempDir dir;
    std::vector<Odd> odd;

    void SetUp() override {
        const std::string big = dir.file("huge.dat");
        { std::ofstream(big).put('x'); }
        ASSERT_EQ(::truncate(big.c_str(), 1LL << 30), 0);
        const std::string fifo = dir.file("fifo");
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        odd = {{"a 1 GiB file", big},
               {"a folder", dir.path().string()},
               {"a FIFO", fifo},
               {"/dev/zero", "/dev/zero"}};
    }

    // Runs the reader; a reader still busy after two seconds fails the test (and ends the process,
    // since a reader blocked on a FIFO could not be stopped otherwise).
    template <typename F> auto prompt(const Odd& o, F read) {
        auto result = std::async(std::launch::async, read);
        if (result.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
            ADD_FAILURE() << o.what << ": still reading after 2 s";
            std::_Exit(1);
        }
        return result.get();
    }
};

} // namespace

TEST_F(ResourceLimitsTest, TheDataFileReaderRefusesEachAtOnce) {
    for (const auto& o : odd) {
        MemoryImage image;
        image.reset();
        const ImageCopy staging = image.staging();
        const DataFileResult r = prompt(o, [&] { return readDataFile(image, o.path); });
        EXPECT_FALSE(r.ok()) << o.what;
        EXPECT_EQ(image.staging(), staging) << o.what;
        if (std::string(o.what) == "a folder") EXPECT_EQ(r.systemError, EISDIR);
        if (std::string(o.what) == "a FIFO" || std::string(o.what) == "/dev/zero")
            EXPECT_EQ(r.status, DataFileStatus::CannotOpen) << o.what << ": not a file to read";
    }
}

TEST_F(ResourceLimitsTest, TheLanguageFileLoaderRefusesEachAtOnceKeepingItsTexts) {
    for (const auto& o : odd) {
        LanguageFile file;
        EXPECT_NE(prompt(o, [&] { return file.load(o.path); }), LanguageFile::Status::Ok) << o.what;
        EXPECT_FALSE(file.loaded()) << o.what;
    }
}

TEST_F(ResourceLimitsTest, CsvAndSettingsReadersRefuseEachAtOnce) {
    for (const auto& o : odd) {
        EXPECT_NE(prompt(o, [&] { return regularFileError(o.path, kMaxCsvFileSize); }), 0) << o.what;
        EXPECT_TRUE(prompt(o, [&] { return settings::readIniGroup(o.path, "Ports"); }).empty()) << o.what;
    }
}
