#include "views/StartupTrace.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace velora::gui {

namespace {

double secondsOf(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Milliseconds since the kernel started this process (field 22 of /proc/self/stat, in clock ticks
// since boot); -1 when it cannot be told. Its resolution is one clock tick.
long millisecondsSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string line;
    if (!std::getline(in, line)) return -1;
    // The command name in parentheses may hold blanks; the fields after it are plain.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    for (int n = 3; n <= 22 && fields >> field; ++n)
        if (n == 22) {
            const double started = std::stod(field) / double(sysconf(_SC_CLK_TCK));
            return long((secondsOf(CLOCK_BOOTTIME) - started) * 1000.0);
        }
    return -1;
}

} // namespace

void printStartupProbe() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::printf("startup-probe realtime_us=%lld since_start_ms=%ld\n",
                static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                millisecondsSinceProcessStart());
    std::fflush(stdout);
}

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

namespace {

class FirstPaint : public QObject {
  public:
    FirstPaint(QWidget* window, std::function<void()> then)
        : QObject(window), window_(window), then_(std::move(then)) {
        // On the application: the window may already have been painted once, and then only the
        // children that changed since are painted again.
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && then_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_) {
            // Everything dirty is painted and the frame flushed in the same call; a zero timer
            // runs after all of it.
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, window_, std::move(then_));
            then_ = nullptr;
        }
        return false;
    }

  private:
    QWidget* window_;
    std::function<void()> then_;
};

} // namespace

void afterFirstPaint(QWidget* window, std::function<void()> then) {
    new FirstPaint(window, std::move(then));
}

} // namespace velora::gui
