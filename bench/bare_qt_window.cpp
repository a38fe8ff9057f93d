// The yardstick for the application's start-up: a plain Qt main window with a menu bar, a status
// bar and a table of the channel view's size (160 rows of 7 columns), shown, and ended after the
// first frame painted exactly as `velora --startup-probe` ends, with the same probe line.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

#include "views/StartupTrace.h"

using velora::gui::startupMark; // the application's own phase marks, so that phases compare

int main(int argc, char** argv) {
    startupMark("main");
    QApplication app(argc, argv);
    startupMark("qt-application");
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
    velora::gui::afterFirstPaint(&window, [] {
        startupMark("probe");
        velora::gui::printStartupProbe();
        QCoreApplication::exit(0);
    });
    window.show();
    startupMark("main-frame-shown");
    return QCoreApplication::exec();
}
