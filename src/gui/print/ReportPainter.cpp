#include "print/ReportPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <memory>
#include <vector>

#include "forms/CoreBridge.h"

namespace velora::gui {

namespace {

constexpr double kUnitsPerInch = 100;
const QMarginsF kPdfMargins(0.25, 0.25, 0.25, 0.25); // inch

QFont deviceFont(const print::Font& f, double scale) {
    QFont font(f.face == print::Face::Arial ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
    font.setStyleHint(f.face == print::Face::Arial ? QFont::SansSerif : QFont::TypeWriter);
    font.setPixelSize(std::max(1, int(f.height * scale + 0.5)));
    font.setItalic(f.italic);
    font.setBold(f.bold);
    font.setKerning(false);
    return font;
}

// The report uses a handful of fonts; each is made and measured once.
struct Face {
    QFont font;
    QFontMetricsF metrics;
};
struct Faces {
    double scale;
    QPaintDevice* device;
    std::vector<std::pair<print::Font, std::unique_ptr<Face>>> made;
    const Face& get(const print::Font& f) {
        for (const auto& [key, face] : made)
            if (key == f) return *face;
        QFont font = deviceFont(f, scale);
        made.emplace_back(f, std::make_unique<Face>(Face{font, QFontMetricsF(font, device)}));
        return *made.back().second;
    }
};

QPageLayout pdfLayout(bool landscape) {
    return QPageLayout(QPageSize(QPageSize::Letter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, kPdfMargins,
                       QPageLayout::Inch);
}

} // namespace

ReportGeometry reportGeometry(const QPagedPaintDevice& device) {
    ReportGeometry g;
    const double dpiX = device.logicalDpiX(), dpiY = device.logicalDpiY();
    if (dpiX > 0 && dpiY > 0) {
        g.width = device.width() * kUnitsPerInch / dpiX;
        g.height = device.height() * kUnitsPerInch / dpiY;
    }
    g.landscape = device.pageLayout().orientation() == QPageLayout::Landscape;
    return g;
}

bool paintReport(const print::PageDescription& pages, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double sx = device.logicalDpiX() / kUnitsPerInch, sy = device.logicalDpiY() / kUnitsPerInch;
    auto at = [&](double x, double y) { return QPointF(x * sx, -y * sy); };
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Faces faces{sy, &device};
    bool first = true;
    for (const print::Page& page : pages.pages) {
        if (!first) device.newPage();
        first = false;
        for (const print::Box& b : page.boxes) {
            const QRectF r(at(b.x, b.y), QSizeF(b.w * sx, b.h * sy));
            if (b.shaded) painter.fillRect(r, QColor(235, 235, 235));
            painter.setPen(QPen(Qt::black, 0.5 * sy));
            painter.drawRect(r);
        }
        for (const print::Line& l : page.lines) {
            painter.setPen(QPen(Qt::black, l.width * sy, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(at(l.x1, l.y1), at(l.x2, l.y2));
        }
        painter.setPen(Qt::black);
        const print::Font* current = nullptr;
        for (const print::TextRun& t : page.texts) {
            const Face& face = faces.get(t.font);
            if (current != &t.font && !(current && *current == t.font)) painter.setFont(face.font);
            current = &t.font;
            const QString s = fromCore(t.text);
            QPointF p = at(t.x, t.y);
            if (t.align != print::Align::Left) {
                const double w = face.metrics.horizontalAdvance(s);
                p.rx() -= t.align == print::Align::Centre ? w / 2 : w;
            }
            p.ry() += face.metrics.ascent(); // the run's y is the top of its text
            painter.drawText(p, s);
        }
    }
    return painter.end();
}

ReportGeometry pdfGeometry(bool landscape) {
    const QRectF r = pdfLayout(landscape).paintRect(QPageLayout::Inch);
    return {r.width() * kUnitsPerInch, r.height() * kUnitsPerInch, landscape};
}

bool writePdf(const print::PageDescription& pages, const QString& path) {
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("VELORA"));
    writer.setTitle(QStringLiteral("VELORA"));
    writer.setResolution(1200);
    writer.setPageLayout(pdfLayout(pages.landscape));
    return paintReport(pages, writer);
}

} // namespace velora::gui
