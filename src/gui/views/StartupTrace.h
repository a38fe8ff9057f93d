#pragma once
// Phase marks of the start-up, for finding where its time goes. With VELORA_STARTUP_TRACE set in the
// environment each mark prints "startup-trace <phase> realtime_us=<CLOCK_REALTIME in µs>
// cpu_us=<CPU time of the process so far in µs>" on stderr (bench/startup_ratio.sh turns them into
// phase times from the moment the process was started);
// without it a mark costs one test of a flag read once.
#include <functional>

class QWidget;

namespace velora::gui {

void startupMark(const char* phase);

// The probe line on standard output: "startup-probe realtime_us=<CLOCK_REALTIME in µs>
// since_start_ms=<ms since the kernel started the process, -1 when it cannot be told>".
void printStartupProbe();

// Runs `then` once the window's first frame has been painted: a window is up when the user can
// see it, so start-up measurements end there rather than when it was merely shown.
void afterFirstPaint(QWidget* window, std::function<void()> then);

} // namespace velora::gui
