#pragma once
// Paints the core's report pages onto a printer, the preview's printer or a PDF: report units of
// 0.01 inch with y up become device pixels with y down, from the printable area's top-left corner.
#include <QString>

#include "print/PageDescription.h"

class QPagedPaintDevice;

namespace velora::gui {

// The device's printable area in report units, and whether its page is turned.
struct ReportGeometry {
    double width = 800;
    double height = 1050;
    bool landscape = false;
};
ReportGeometry reportGeometry(const QPagedPaintDevice& device);

// Every page, each after the first on a new sheet. False when the device cannot be painted on.
bool paintReport(const print::PageDescription& pages, QPagedPaintDevice& device);

// PDF files are letter pages with quarter-inch margins, in the pages' orientation.
ReportGeometry pdfGeometry(bool landscape);
bool writePdf(const print::PageDescription& pages, const QString& path);

} // namespace velora::gui
