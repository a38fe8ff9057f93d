#pragma once
// Opening a file the user named for reading. Only a regular file is taken: a folder, a FIFO, a
// device such as /dev/zero or a socket is refused at once, before any read could block or run on
// without end. The open itself never waits for a FIFO's writer.
#include <cstdint>
#include <limits>
#include <string>

namespace velora {

inline constexpr std::uintmax_t kAnySize = std::numeric_limits<std::uintmax_t>::max();
// A channel table as CSV is a few tens of kilobytes; anything far beyond is not one.
inline constexpr std::uintmax_t kMaxCsvFileSize = 4u << 20;

// A read-only descriptor (close it), or -1 with errno set: EISDIR for a folder, EINVAL for any
// other kind of file that is not a regular one, EFBIG for one larger than maxSize, or the open's
// own error.
int openRegularFileForReading(const std::string& path, std::uintmax_t maxSize = kAnySize);

// The open's verdict without keeping the file: 0 when it can be read, else the errno
// openRegularFileForReading would give.
int regularFileError(const std::string& path, std::uintmax_t maxSize = kAnySize);

// Why such a file was refused, for a message: "not a regular file", "too large", or the system's text.
std::string regularFileErrorText(int err);

} // namespace velora
