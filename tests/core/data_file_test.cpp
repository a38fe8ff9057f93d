#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <latch>
#include <random>
#include <set>
#include <thread>

#include "TestSupport.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"
#include "dataset/RadioHistory.h"

using namespace velora;
using velora::test::TempDir;

namespace {

constexpr std::array<Byte, 10> kVhfId{'Q', '0', '1', '2', '0', 0x04, 0xF0, 0x00, 0x06, 0xF0};

void putId(std::span<Byte> main, const std::array<Byte, 10>& id) {
    std::copy(id.begin(), id.end(), main.begin() + layout::kModelId);
}

// A working copy with a recognisable pattern in every area.
void fillPattern(MemoryImage& img) {
    for (std::size_t i = 0; i < layout::kMainSize; ++i)
        img.main()[i] = static_cast<Byte>(i * 7);
    for (std::size_t i = 0; i < layout::kDtmfSize; ++i)
        img.dtmf()[i] = static_cast<Byte>(i + 1);
    for (std::size_t i = 0; i < layout::kExtSize; ++i)
        img.ext()[i] = static_cast<Byte>(i * 3);
    putId(img.main(), kVhfId);
}

std::vector<Byte> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const std::string& path, const std::vector<Byte>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<Byte> fileFor(const MemoryImage& img, bool oldLayout) {
    std::vector<Byte> f(oldLayout ? datafile::kOldHeaderSize : datafile::kHeaderSize, 0xFF);
    std::string_view tag = "VELORA";
    std::copy(tag.begin(), tag.end(), f.begin());
    std::string_view ver = oldLayout ? "V01.0" : "V2.10";
    std::copy(ver.begin(), ver.end(), f.begin() + 10);
    std::copy(kVhfId.begin(), kVhfId.end(), f.begin() + 15);
    f.insert(f.end(), img.working().main.begin(), img.working().main.end());
    f.insert(f.end(), img.working().dtmf.begin(), img.working().dtmf.end());
    f.insert(f.end(), img.working().ext.begin(), img.working().ext.end());
    return f;
}

} // namespace

TEST(DataFileWriter, WritesTheExactLayoutAndStampsTheVersion) {
    TempDir dir;
    MemoryImage img;
    fillPattern(img);
    auto r = writeDataFile(img, dir.file("a.dat"));
    ASSERT_TRUE(r.ok());
    auto bytes = slurp(dir.file("a.dat"));
    ASSERT_EQ(bytes.size(), 24800u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "VELORA");
    for (int i = 6; i < 10; ++i)
        EXPECT_EQ(bytes[i], 0xFF);
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 15), "V2.10");
    EXPECT_TRUE(std::equal(kVhfId.begin(), kVhfId.end(), bytes.begin() + 15));
    for (int i = 25; i < 64; ++i)
        EXPECT_EQ(bytes[i], 0xFF);
    EXPECT_EQ(std::string(img.main().begin() + 0x3EFB, img.main().begin() + 0x3F00), "V2.10");
    EXPECT_TRUE(std::equal(img.main().begin(), img.main().end(), bytes.begin() + 64));
    EXPECT_TRUE(std::equal(img.dtmf().begin(), img.dtmf().end(), bytes.begin() + 16448));
    EXPECT_TRUE(std::equal(img.ext().begin(), img.ext().end(), bytes.begin() + 16608));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file left";
}

TEST(DataFileReader, RoundTripAndBothLayoutsLandAtTheSameOffsets) {
    TempDir dir;
    MemoryImage src;
    fillPattern(src);
    for (bool old : {false, true}) {
        spit(dir.file("x.dat"), fileFor(src, old));
        MemoryImage dst;
        auto before = dst.working();
        ASSERT_TRUE(readDataFile(dst, dir.file("x.dat")).ok()) << old;
        EXPECT_EQ(dst.staging(), src.working()) << "old layout " << old;
        EXPECT_EQ(dst.working(), before) << "the working copy is never touched";
    }
}

TEST(DataFileReader, AnyOtherVersionTextUsesTheCurrentHeader) {
    TempDir dir;
    MemoryImage src;
    fillPattern(src);
    auto f = fileFor(src, false);
    f[10] = 'V';
    f[11] = '0';
    f[12] = '2';
    spit(dir.file("x.dat"), f);
    MemoryImage dst;
    ASSERT_TRUE(readDataFile(dst, dir.file("x.dat")).ok());
    EXPECT_EQ(dst.staging(), src.working());
}

TEST(DataFileReader, StatusCodes) {
    TempDir dir;
    MemoryImage src;
    fillPattern(src);
    MemoryImage dst;
    EXPECT_EQ(readDataFile(dst, dir.file("missing.dat")).status, DataFileStatus::CannotOpen);

    auto expectRefused = [&](std::vector<Byte> f, const char* what) {
        spit(dir.file("bad.dat"), f);
        dst.staging().fillAll(0x5A);
        EXPECT_EQ(readDataFile(dst, dir.file("bad.dat")).status, DataFileStatus::NotDataFile) << what;
        EXPECT_EQ(dst.staging().main[0], 0x5A) << what << ": nothing staged";
    };
    auto good = fileFor(src, false);
    auto f = good;
    f[0] = 'X';
    expectRefused(f, "tag");
    f = good;
    f[8] = 0;
    expectRefused(f, "tag padding");
    f = good;
    f[19] = '9';
    expectRefused(f, "header model code of another family");
    f = good;
    f.resize(24799);
    expectRefused(f, "one byte short");
    f = good;
    f.resize(20);
    expectRefused(f, "shorter than the header");
    f = good;
    f[64 + layout::kModelId + 5] = 42;
    expectRefused(f, "model-1 band code outside the band table");
    // Model 2 is not examined: a radio read accepts these, so the files must open too.
    for (Byte band2 : {Byte{6}, Byte{5}, Byte{0x0F}, Byte{0x42}}) {
        f = good;
        f[64 + layout::kModelId + 7] |= 0x40;
        f[64 + layout::kModelId + 8] = band2;
        spit(dir.file("dual.dat"), f);
        EXPECT_TRUE(readDataFile(dst, dir.file("dual.dat")).ok()) << "model-2 band code " << int(band2);
    }
}

TEST(DataFileWriter, ReadOnlyTargetFailsWithStatusOneAndStaysIntact) {
    TempDir dir;
    const auto path = dir.file("ro.dat");
    spit(path, {1, 2, 3});
    ::chmod(path.c_str(), 0444);
    MemoryImage img;
    fillPattern(img);
    auto r = writeDataFile(img, path);
    EXPECT_EQ(r.status, DataFileStatus::CannotOpen);
    EXPECT_NE(r.systemError, 0);
    EXPECT_EQ(slurp(path), (std::vector<Byte>{1, 2, 3}));
}

TEST(DataFileWriter, FolderRefusingNewFilesRewritesAWritableFileInPlace) {
    if (::geteuid() == 0) GTEST_SKIP() << "root is never refused";
    TempDir dir;
    const auto folder = dir.path() / "locked";
    std::filesystem::create_directory(folder);
    const auto path = (folder / "x.dat").string();
    spit(path, std::vector<Byte>(30000, 0x42)); // longer than a data file: the tail must go
    ::chmod(folder.c_str(), 0555);
    MemoryImage img;
    fillPattern(img);
    const auto r = writeDataFile(img, path);
    const auto fresh = writeDataFile(img, (folder / "new.dat").string());
    ::chmod(folder.c_str(), 0755);

    ASSERT_TRUE(r.ok()) << std::strerror(r.systemError);
    MemoryImage back;
    ASSERT_TRUE(readDataFile(back, path).ok());
    EXPECT_EQ(slurp(path).size(), datafile::kFileSize);
    EXPECT_EQ(back.staging(), img.working());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_EQ(fresh.status, DataFileStatus::CannotOpen) << "a new file still needs a writable folder";
}

TEST(DataFileWriter, MissingFolderFailsWithStatusOne) {
    TempDir dir;
    MemoryImage img;
    auto r = writeDataFile(img, dir.file("no/such/folder/x.dat"));
    EXPECT_EQ(r.status, DataFileStatus::CannotOpen);
    EXPECT_EQ(r.systemError, ENOENT);
}

TEST(DataFileWriter, FailedWriteKeepsThePreviousFile) {
    TempDir dir;
    const auto path = dir.file("keep.dat");
    std::vector<Byte> previous(24800, 0x42);
    spit(path, previous);
    MemoryImage img;
    fillPattern(img);
    img.main()[layout::kFormatVersion] = 'X';

    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto r = writeDataFile(img, path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(r.status, DataFileStatus::WriteError);
    EXPECT_EQ(r.systemError, EFBIG);
    EXPECT_EQ(slurp(path), previous) << "the old file is untouched";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "temporary file removed";
    EXPECT_EQ(img.main()[layout::kFormatVersion], 'X') << "version stamped only after success";
}

TEST(DataFileReader, RandomAndTruncatedInputNeverCrash) {
    std::mt19937 rng(1234);
    MemoryImage src;
    fillPattern(src);
    const auto good = fileFor(src, false);
    MemoryImage dst;
    for (int i = 0; i < 3000; ++i) {
        std::vector<Byte> f;
        switch (i % 3) {
        case 0:
            f.assign(good.begin(), good.begin() + static_cast<long>(rng() % (good.size() + 1)));
            break;
        case 1:
            f.resize(rng() % 30000);
            for (auto& b : f)
                b = static_cast<Byte>(rng());
            break;
        default:
            f = good;
            for (int k = 0; k < 8; ++k)
                f[rng() % 80] = static_cast<Byte>(rng());
            if (rng() % 2) f.resize(rng() % f.size());
        }
        auto r = parseDataFile(dst, f.data(), f.size());
        if (r.ok()) {
            EXPECT_GE(f.size(), datafile::kOldFileSize);
        }
    }
}

TEST(RadioHistory, BoundRemovesOnlyNamesItsWriterMakes) {
    struct Case {
        const char* name;
        bool removed;
    };
    const Case cases[] = {
        {"2000-01-01_000000_RM-420.dat", true},
        {"2000-01-01_000001_RM-420_RM-430.dat", true},
        {"2000-01-01_000002_RM-410_3.dat", true},
        {"2000-01-01_000003_unknown.dat", true},
        {"2019-05-05_120000.dat", false},
        {"2019-05-05_120000_site.dat", false},
        {"2019-05-05_120000_RM-420 copy.dat", false},
        {"2019-05-05_120000_RM-420_x.dat", false},
        {"2019-05-05_120000_RM-420.dat.txt", false},
    };
    TempDir dir;
    for (const Case& c : cases)
        std::ofstream(dir.file(c.name)) << "kept by hand";
    MemoryImage img;
    fillPattern(img);
    // A bound of one keeps only the new read of all the history files.
    const auto when = std::chrono::system_clock::now();
    ASSERT_TRUE(keepInRadioHistory(img.working(), dir.path(), when, 1).ok());
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(dir.path() / c.name), !c.removed) << c.name;
}

TEST(RadioHistory, ReadsInTheSameSecondEachKeepTheirOwnFile) {
    // Two programs reading at once: every read must end in a file of its own.
    constexpr int kThreads = 2, kReads = 20;
    TempDir dir;
    MemoryImage img;
    fillPattern(img);
    const auto when = std::chrono::system_clock::now();
    std::vector<std::string> files(kThreads * kReads);
    {
        std::latch start(kThreads);
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                start.arrive_and_wait();
                for (int i = 0; i < kReads; ++i)
                    files[static_cast<std::size_t>(t * kReads + i)] =
                        keepInRadioHistory(img.working(), dir.path(), when).file.string();
            });
    }
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), kThreads * kReads);
}
