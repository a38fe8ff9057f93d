#include "views/StartupTrace.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
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
