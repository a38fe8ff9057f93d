#include "features/PanelPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace velora::gui {

namespace {
QRectF canvasRect(const keys::KeyRect& r) {
    return QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The display window sits left of the key block: narrow beside the 14-character head's extra keys,
// across the free top row on the other head.
QRectF displayRect(bool secondType) {
    return secondType ? QRectF(70, 12, 70, 29) : QRectF(70, 12, 136, 29);
}
} // namespace

PanelPicture::PanelPicture(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PanelPicture::setHead(bool secondType) {
    if (secondType_ == secondType) return;
    secondType_ = secondType;
    update();
}

void PanelPicture::setFramed(std::optional<keys::KeyRect> key) {
    if (framed_ == key) return;
    framed_ = key;
    update();
}

QSize PanelPicture::sizeHint() const {
    return {kCanvasWidth * 3 / 2, kCanvasHeight * 3 / 2};
}

QSize PanelPicture::minimumSizeHint() const {
    return {kCanvasWidth, kCanvasHeight};
}

QTransform PanelPicture::canvasTransform() const {
    // The whole panel, as large as fits, centred, without distortion.
    const double s = std::min(width() / double(kCanvasWidth), height() / double(kCanvasHeight));
    QTransform t;
    t.translate((width() - kCanvasWidth * s) / 2, (height() - kCanvasHeight * s) / 2);
    t.scale(s, s);
    return t;
}

QRectF PanelPicture::toWidget(const keys::KeyRect& r) const {
    return canvasTransform().mapRect(canvasRect(r));
}

void PanelPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(canvasTransform());

    // Housing.
    const QRectF body(1, 1, kCanvasWidth - 2, kCanvasHeight - 2);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(0x4a, 0x50, 0x57));
    shell.setColorAt(1, QColor(0x22, 0x25, 0x29));
    p.setPen(QPen(QColor(0x12, 0x14, 0x16), 1));
    p.setBrush(shell);
    p.drawRoundedRect(body, 7, 7);
    p.setPen(QPen(QColor(255, 255, 255, 40), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);

    // Speaker grille.
    p.setPen(QPen(QColor(0x10, 0x11, 0x13), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int y = 12; y <= 52; y += 4)
        p.drawLine(QPointF(11, y), QPointF(41, y));

    // Display window with one faint cell per character.
    const QRectF lcd = displayRect(secondType_);
    p.setPen(QPen(QColor(0x0c, 0x0d, 0x0e), 1.2));
    p.setBrush(QColor(0x1a, 0x1c, 0x1f));
    p.drawRoundedRect(lcd.adjusted(-2, -2, 2, 2), 3, 3);
    QLinearGradient glass(lcd.topLeft(), lcd.bottomLeft());
    glass.setColorAt(0, QColor(0xb8, 0xd8, 0xa8));
    glass.setColorAt(1, QColor(0x8c, 0xb8, 0x80));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRect(lcd);
    const int cells = secondType_ ? 14 : 8;
    const double pitch = (lcd.width() - 6) / cells;
    p.setBrush(QColor(0x5d, 0x80, 0x55, 60));
    for (int i = 0; i < cells; ++i)
        p.drawRect(QRectF(lcd.left() + 3 + i * pitch + pitch * 0.12, lcd.top() + 7, pitch * 0.76,
                          lcd.height() - 14));

    // Keys.
    for (int position : keys::keyPositions(secondType_)) {
        auto r = keys::keyRect(position);
        if (!r) continue;
        const QRectF k = canvasRect(*r);
        QLinearGradient cap(k.topLeft(), k.bottomLeft());
        cap.setColorAt(0, QColor(0xe4, 0xe6, 0xe8));
        cap.setColorAt(1, QColor(0xa9, 0xad, 0xb2));
        p.setPen(QPen(QColor(0x0e, 0x0f, 0x11), 0.8));
        p.setBrush(cap);
        p.drawRoundedRect(k, 1.6, 1.6);
    }

    // Up/down knob.
    const QPointF centre(232, 32);
    QRadialGradient knob(centre - QPointF(4, 5), 20);
    knob.setColorAt(0, QColor(0x6a, 0x70, 0x77));
    knob.setColorAt(1, QColor(0x18, 0x1a, 0x1d));
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0c), 1));
    p.setBrush(knob);
    p.drawEllipse(centre, 17, 17);
    p.setPen(QPen(QColor(0x30, 0x33, 0x37), 1));
    for (int i = 0; i < 24; ++i) {
        const double a = i * M_PI / 12;
        p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * 14,
                   centre + QPointF(std::cos(a), std::sin(a)) * 17);
    }
    p.setPen(QPen(QColor(0xd0, 0xd4, 0xd8), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(0, -6), centre + QPointF(0, -12));

    // The selected key, in red, with a ring so it stands out at small sizes too.
    if (framed_) {
        const QRectF k = canvasRect(*framed_);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 0, 0));
        p.drawRoundedRect(k, 1.6, 1.6);
        p.setPen(QPen(QColor(255, 0, 0), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(k.adjusted(-2.2, -2.2, 2.2, 2.2), 2.4, 2.4);
    }
}

} // namespace velora::gui
