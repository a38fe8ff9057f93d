// The yardstick for the application's start-up: a plain Qt main window with a menu bar, a status
// bar and a table of the channel view's size (160 rows of 7 columns), shown, and ended after the
// first turn of the event loop exactly as `velora --startup-probe` ends, with the same probe line.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long microseconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// The same marks as the application's VELORA_STARTUP_TRACE, so that phases compare.
void mark(const char* phase) {
    static const bool enabled = std::getenv("VELORA_STARTUP_TRACE") != nullptr;
    if (enabled)
        std::fprintf(stderr, "startup-trace %s realtime_us=%lld cpu_us=%lld\n", phase,
                     microseconds(CLOCK_REALTIME), microseconds(CLOCK_PROCESS_CPUTIME_ID));
}

} // namespace

int main(int argc, char** argv) {
    mark("main");
    QApplication app(argc, argv);
    mark("qt-application");
    QMainWindow window;
    for (const char* title : {"&File", "&Edit", "&View", "&Program", "&Window", "&Help"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        for (int i = 1; i <= 8; ++i)
            menu->addAction(QStringLiteral("Item %1").arg(i));
    }
    constexpr int kRows = 160, kCols = 7;
    QStandardItemModel model(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            model.setItem(r, c, new QStandardItem(QStringLiteral("%1.%2").arg(r + 1).arg(c + 1)));
    auto* table = new QTableView(&window);
    table->setModel(&model);
    window.setCentralWidget(table);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(800, 600);
    window.show();
    mark("main-frame-shown");
    QTimer::singleShot(0, &window, [] {
        mark("probe");
        std::printf("startup-probe realtime_us=%lld since_start_ms=-1\n", microseconds(CLOCK_REALTIME));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}
