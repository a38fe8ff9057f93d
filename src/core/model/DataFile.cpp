#include "model/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/InputFile.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {

using namespace datafile;

constexpr std::size_t kTagPaddingOffset = 6;
constexpr std::size_t kVersionOffset = 10;
constexpr std::size_t kIdentOffset = 15;
constexpr std::size_t kCommonHeaderPart = 25; // tag, padding, version, identification
constexpr std::string_view kOldVersion = "V01";

std::array<Byte, kHeaderSize> buildHeader(std::span<const Byte> main) {
    std::array<Byte, kHeaderSize> h;
    h.fill(0xFF);
    std::copy(layout::kAppTagText.begin(), layout::kAppTagText.end(), h.begin());
    std::copy(layout::kVersionText.begin(), layout::kVersionText.end(), h.begin() + kVersionOffset);
    std::copy_n(main.begin() + layout::kModelId, layout::kModelIdSize, h.begin() + kIdentOffset);
    return h;
}

bool writeAll(int fd, const Byte* p, std::size_t n) {
    while (n > 0) {
        const long w = dataFileOps().write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (w == 0) { // no progress: a full device that does not say so would loop for ever
            errno = ENOSPC;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// The file the save really replaces: a symbolic link is followed so the link itself survives.
std::string resolveTarget(const std::string& path) {
    char buf[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), buf)) return buf;
    return path;
}

// Header and the three areas of the working copy, with the version the file carries unless the
// areas are to stay as they are.
bool writeContents(int fd, const MemoryImage& image, VersionStamp stamp) {
    std::array<Byte, layout::kMainSize> main;
    std::copy(image.working().main.begin(), image.working().main.end(), main.begin());
    if (stamp == VersionStamp::Current)
        std::copy(layout::kVersionText.begin(), layout::kVersionText.end(),
                  main.begin() + layout::kFormatVersion);
    const auto header = buildHeader(main);
    return writeAll(fd, header.data(), header.size()) && writeAll(fd, main.data(), main.size()) &&
           writeAll(fd, image.working().dtmf.data(), image.working().dtmf.size()) &&
           writeAll(fd, image.working().ext.data(), image.working().ext.size());
}

// Rewrites an existing file where it stands. Only for a folder that refuses new files: a failure
// part-way leaves the file damaged, and the folder would not let it be removed anyway.
DataFileResult writeInPlace(const MemoryImage& image, const std::string& path, VersionStamp stamp) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return {DataFileStatus::CannotOpen, errno};
    bool ok = writeContents(fd, image, stamp) && ::ftruncate(fd, static_cast<off_t>(kFileSize)) == 0 &&
              dataFileOps().fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (dataFileOps().close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    return ok ? DataFileResult{} : DataFileResult{DataFileStatus::WriteError, err};
}

// Writes a temporary file beside the target and renames it over the target.
DataFileResult writeReplacing(const MemoryImage& image, const std::string& path, mode_t mode, bool exists,
                              VersionStamp stamp) {
    std::string temp = path + ".XXXXXX";
    std::vector<char> tmpl(temp.begin(), temp.end());
    tmpl.push_back('\0');
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        const int err = errno;
        if (exists && (err == EACCES || err == EPERM)) return writeInPlace(image, path, stamp);
        return {DataFileStatus::CannotOpen, err};
    }
    temp.assign(tmpl.data());

    bool ok = writeContents(fd, image, stamp) && ::fchmod(fd, mode) == 0 && dataFileOps().fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (dataFileOps().close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && dataFileOps().rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return {DataFileStatus::WriteError, err};
    }
    return {};
}

} // namespace

DataFileOps& dataFileOps() {
    static DataFileOps ops{
        [](int fd, const void* data, std::size_t size) -> long { return ::write(fd, data, size); }, ::fsync,
        ::close, ::rename};
    return ops;
}

DataFileResult writeDataFile(MemoryImage& image, const std::string& requested, VersionStamp stamp) {
    const std::string path = resolveTarget(requested);
    mode_t mode = 0666;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return {DataFileStatus::CannotOpen, EISDIR};
        // A read-only file stays read-only, even for a user whose rights would let a rename replace it.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {DataFileStatus::CannotOpen, EACCES};
        if (::access(path.c_str(), W_OK) != 0) return {DataFileStatus::CannotOpen, errno};
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const DataFileResult r = writeReplacing(image, path, mode, exists, stamp);
    // The file carries "V2.10"; the working copy takes it only once the save has succeeded.
    if (r.ok() && stamp == VersionStamp::Current)
        std::copy(layout::kVersionText.begin(), layout::kVersionText.end(),
                  image.working().main.begin() + layout::kFormatVersion);
    return r;
}

DataFileResult parseDataFile(MemoryImage& image, const Byte* data, std::size_t size) {
    const DataFileResult refused{DataFileStatus::NotDataFile, 0};
    if (size < kCommonHeaderPart) return refused;
    std::span<const Byte> bytes(data, size);
    const std::size_t headerSize =
        std::equal(kOldVersion.begin(), kOldVersion.end(), bytes.begin() + kVersionOffset) ? kOldHeaderSize
                                                                                           : kHeaderSize;
    if (!fieldEquals(bytes, 0, layout::kAppTagText)) return refused;
    for (std::size_t i = kTagPaddingOffset; i < kVersionOffset; ++i)
        if (bytes[i] != 0xFF) return refused;
    ModelIdentification headerId =
        ModelIdentification::fromBytes(bytes.subspan(kIdentOffset, layout::kModelIdSize));
    if (!headerId.modelIndex()) return refused;

    const std::size_t areas = layout::kMainSize + layout::kDtmfSize + layout::kExtSize;
    if (size < headerSize + areas) return refused;
    auto mainIn = bytes.subspan(headerSize, layout::kMainSize);
    // The identification the load would adopt must pass the same rule as a radio read's.
    if (!ModelIdentification::fromBytes(mainIn.subspan(layout::kModelId, layout::kModelIdSize)).isValid())
        return refused;

    auto& staging = image.staging();
    std::copy(mainIn.begin(), mainIn.end(), staging.main.begin());
    auto dtmfIn = bytes.subspan(headerSize + layout::kMainSize, layout::kDtmfSize);
    std::copy(dtmfIn.begin(), dtmfIn.end(), staging.dtmf.begin());
    auto extIn = bytes.subspan(headerSize + layout::kMainSize + layout::kDtmfSize, layout::kExtSize);
    std::copy(extIn.begin(), extIn.end(), staging.ext.begin());
    return {};
}

DataFileResult readDataFile(MemoryImage& image, const std::string& path) {
    // A folder, FIFO or device is refused before a read could block or never end.
    int fd = openRegularFileForReading(path);
    if (fd < 0) return {DataFileStatus::CannotOpen, errno};
    // One byte more than the largest layout is enough to see everything the parser looks at.
    std::vector<Byte> buf(kFileSize + 1);
    std::size_t got = 0;
    int err = 0;
    while (got < buf.size()) {
        ssize_t r = ::read(fd, buf.data() + got, buf.size() - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    if (err != 0) return {DataFileStatus::CannotOpen, err};
    return parseDataFile(image, buf.data(), got);
}

} // namespace velora
