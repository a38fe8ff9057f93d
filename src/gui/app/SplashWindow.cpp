#include "app/SplashWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace velora::gui {

namespace {
constexpr int kTextTops[6] = {80, 105, 140, 165, 200, 225};
constexpr int kShowMs = 5000;
} // namespace

SplashWindow::SplashWindow(const TextSource& texts, int colourDepth)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      bitmap_(colourDepth >= 16 ? QStringLiteral(":/bmp/132.png") : QStringLiteral(":/bmp/134.png")),
      shadow_(colourDepth >= 16) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("splash"));
    for (int i = 1; i <= 6; ++i)
        lines_ << QString::fromStdString(std::string(texts.text(i)));
    setFixedSize(bitmap_.size());
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QWidget::close);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
    qApp->removeEventFilter(this);
}

void SplashWindow::showCentred() {
    if (auto* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
    show();
    timer_.start(kShowMs);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, bitmap_);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(16);
    f.setWeight(QFont::Medium);
    p.setFont(f);
    for (int i = 0; i < lines_.size(); ++i) {
        QRect r(0, kTextTops[i], width(), 20);
        if (shadow_) {
            p.setPen(Qt::white);
            p.drawText(r.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, lines_[i]);
        }
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, lines_[i]);
    }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        close();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace velora::gui
