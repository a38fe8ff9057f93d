#include "views/StartupTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace velora::gui {

void startupMark(const char* phase) {
    static const bool enabled = std::getenv("VELORA_STARTUP_TRACE") != nullptr;
    if (!enabled) return;
    timespec now{}, cpu{};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "startup-trace %s realtime_us=%lld cpu_us=%lld\n", phase,
                 static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                 static_cast<long long>(cpu.tv_sec) * 1000000 + cpu.tv_nsec / 1000);
}

} // namespace velora::gui
