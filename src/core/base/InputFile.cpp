#include "base/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velora {

int openRegularFileForReading(const std::string& path, std::uintmax_t maxSize) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    else if (!S_ISREG(st.st_mode))
        err = EINVAL;
    else if (static_cast<std::uintmax_t>(st.st_size) > maxSize)
        err = EFBIG;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

std::string regularFileErrorText(int err) {
    if (err == EINVAL) return "not a regular file";
    if (err == EFBIG) return "too large";
    return std::strerror(err);
}

int regularFileError(const std::string& path, std::uintmax_t maxSize) {
    const int fd = openRegularFileForReading(path, maxSize);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

} // namespace velora
