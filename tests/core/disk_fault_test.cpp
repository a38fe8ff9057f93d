// A save that goes wrong at any system call, or whose process dies after any number of bytes,
// leaves the previous file or the new one whole: never a mixture, never no file, no stray files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestSupport.h"
#include "dataset/DataSetInit.h"
#include "model/DataFile.h"
#include "model/Document.h"

using namespace velora;

namespace {

std::vector<char> contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Counts the writer's write calls; the one numbered `failAt` (from 0) fails as `mode` says.
struct Injector {
    enum Mode { None, Short, NoSpace, Io, Stop } mode = None;
    int failAt = -1;
    long stopAfter = -1; // Stop: the process ends once this many bytes were written
    int calls = 0;
    long bytes = 0;
};
Injector g;

long faultyWrite(int fd, const void* data, std::size_t size) {
    const int call = g.calls++;
    if (g.mode == Injector::Stop) {
        const long room = g.stopAfter - g.bytes;
        if (room <= 0) ::_exit(9); // killed with nothing more on disk
        size = std::min<std::size_t>(size, static_cast<std::size_t>(room));
    } else if (call == g.failAt) {
        if (g.mode == Injector::Short) size = size > 1 ? size / 2 : size; // then the next call fails
        if (g.mode == Injector::NoSpace || g.mode == Injector::Io) {
            errno = g.mode == Injector::NoSpace ? ENOSPC : EIO;
            return -1;
        }
    } else if (g.mode == Injector::Short && call == g.failAt + 1) {
        errno = ENOSPC;
        return -1;
    }
    const long w = ::write(fd, data, size);
    if (w > 0) g.bytes += w;
    return w;
}

struct DiskFaultTest : ::testing::Test {
    test::TempDir dir;
    std::string path = dir.file("set.dat");
    Document doc;
    std::vector<char> oldFile, newFile;
    DataFileOps saved = dataFileOps();

    void SetUp() override {
        doc.image().reset();
        defaultInitialise(doc, true, false);
        ASSERT_TRUE(writeDataFile(doc.image(), path).ok());
        oldFile = contents(path);
        doc.image().working().main[0x1800] ^= 0x5A; // a different data set to save over it
        const std::string probe = dir.file("probe.dat");
        ASSERT_TRUE(writeDataFile(doc.image(), probe).ok());
        newFile = contents(probe);
        std::filesystem::remove(probe);
        ASSERT_NE(oldFile, newFile);
    }
    void TearDown() override {
        dataFileOps() = saved;
        g = {};
    }
    // The folder holds the data file, whole and old or new, and nothing else.
    void expectOldOrNew(bool wantNew, const std::string& what) {
        const auto now = contents(path);
        EXPECT_EQ(now, wantNew ? newFile : oldFile) << what;
        int entries = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
            ++entries;
        EXPECT_EQ(entries, 1) << what << ": a temporary file was left behind";
    }
};

} // namespace

TEST_F(DiskFaultTest, AFailedWriteCallAtAnyPointKeepsTheOldFile) {
    dataFileOps().write = faultyWrite;
    g.mode = Injector::None;
    ASSERT_TRUE(writeDataFile(doc.image(), dir.file("count.dat")).ok());
    std::filesystem::remove(dir.file("count.dat"));
    const int calls = g.calls;
    ASSERT_GT(calls, 1);
    for (auto mode : {Injector::Short, Injector::NoSpace, Injector::Io})
        for (int at = 0; at < calls; ++at) {
            g = {};
            g.mode = mode;
            g.failAt = at;
            const DataFileResult r = writeDataFile(doc.image(), path);
            const std::string what = "mode " + std::to_string(mode) + ", write call " + std::to_string(at);
            EXPECT_EQ(r.status, DataFileStatus::WriteError) << what;
            EXPECT_EQ(r.systemError, mode == Injector::Io ? EIO : ENOSPC) << what;
            expectOldOrNew(false, what);
        }
}

TEST_F(DiskFaultTest, AWriteThatMakesNoProgressFailsInsteadOfLooping) {
    dataFileOps().write = [](int, const void*, std::size_t) -> long { return 0; };
    EXPECT_EQ(writeDataFile(doc.image(), path).status, DataFileStatus::WriteError);
    expectOldOrNew(false, "write returning 0");
}

TEST_F(DiskFaultTest, FailingSyncCloseOrRenameKeepsTheOldFile) {
    struct Case {
        const char* what;
        void (*arm)(DataFileOps&);
    };
    const Case cases[] = {
        {"fsync",
         [](DataFileOps& o) {
             o.fsync = [](int) {
                 errno = EIO;
                 return -1;
             };
         }},
        {"close",
         [](DataFileOps& o) {
             o.close = [](int fd) {
                 ::close(fd);
                 errno = EIO;
                 return -1;
             };
         }},
        {"rename",
         [](DataFileOps& o) {
             o.rename = [](const char*, const char*) {
                 errno = EXDEV;
                 return -1;
             };
         }},
    };
    for (const auto& c : cases) {
        dataFileOps() = saved;
        c.arm(dataFileOps());
        EXPECT_EQ(writeDataFile(doc.image(), path).status, DataFileStatus::WriteError) << c.what;
        expectOldOrNew(false, c.what);
    }
}

TEST_F(DiskFaultTest, AProcessKilledAfterAnyNumberOfBytesLeavesTheOldFile) {
    for (long k : {0L, 1L, 63L, 64L, 65L, 8000L, 16448L, 16449L, 24799L, 24800L}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dataFileOps().write = faultyWrite;
            g.mode = Injector::Stop;
            g.stopAfter = k;
            writeDataFile(doc.image(), path);
            ::_exit(0); // the whole file was written before the limit
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        const bool finished = WEXITSTATUS(status) == 0;
        EXPECT_EQ(contents(path), finished ? newFile : oldFile) << "killed after " << k << " bytes";
        // What a killed save leaves is its temporary file, never a damaged data file; clear it.
        for (auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path() != path) std::filesystem::remove(e.path());
        if (finished) break;
    }
}
