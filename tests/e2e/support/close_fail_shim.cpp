// Preloaded into velora-cli by the end-to-end tests: closing a terminal really closes it but reports
// an I/O error, as a serial adapter pulled at the wrong moment can. No other descriptor is touched.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>

extern "C" int close(int fd) {
    using CloseFn = int (*)(int);
    static const auto realClose = reinterpret_cast<CloseFn>(::dlsym(RTLD_NEXT, "close"));
    const bool terminal = ::isatty(fd) == 1;
    const int rc = realClose(fd);
    if (!terminal || rc != 0) return rc;
    errno = EIO;
    return -1;
}
