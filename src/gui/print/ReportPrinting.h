#pragma once
// The report from the application: the one printer the print set-up configures, printing and
// previewing a selection, writing it to a PDF, test mode's one-section print, and the command-line
// export that runs without a window.
#include <QString>
#include <functional>

#include "print/ReportLayout.h"
#include "print/ReportPainter.h"

class QPrinter;
class QWidget;
class QPagedPaintDevice;

namespace velora::gui {

struct AppContext;

// Texts of the PDF export: the File menu item and the warning when the file cannot be written.
inline constexpr int kTextExportPdf = 584;
inline constexpr int kTextCannotWritePdf = 585;
// The printer did not take a job.
inline constexpr int kTextPrinterFailed = 666;

// The application's printer: its set-up (orientation, paper) stays for the run.
QPrinter& sharedPrinter();

// The pages of a selection for a device's printable area and orientation.
print::PageDescription buildReport(AppContext& ctx, const print::Selection& selection,
                                   const QPagedPaintDevice& device,
                                   const print::TestSheetValues* testSheet = nullptr);

// The pages on the shared printer as it is set up now. A failure is told to the user and leaves a
// printer with the same set-up that takes the next job.
bool paintOnSharedPrinter(AppContext& ctx, const print::PageDescription& pages);

// The platform's page set-up on the shared printer.
void printSetup(QWidget* parent);
// The print dialog on the shared printer, then the pages. False when cancelled or failed (the failure
// told).
bool printReport(AppContext& ctx, const print::Selection& selection, QWidget* parent);
// The preview window, modal over `parent`; the parent is usable again when it closes.
void previewReport(AppContext& ctx, const print::Selection& selection, QWidget* parent);
// The pages written to a PDF in the shared printer's orientation. False (and no file) when it
// cannot be written.
bool exportReport(AppContext& ctx, const print::Selection& selection, const QString& path);

// Pages made for the printable area they go to (the delivery sheet and the like).
using PagesFor = std::function<print::PageDescription(const ReportGeometry&)>;
// The print dialog on the shared printer, then the pages. False when cancelled or failed (the failure
// told).
bool printPages(AppContext& ctx, const PagesFor& pages, QWidget* parent);
// The pages written to a PDF in the shared printer's orientation. False (and no file) when it cannot
// be written.
bool exportPages(const PagesFor& pages, const QString& path);

// Test mode's Print: the model block and the adjustment values, sent where the print dialog says.
bool printTestSheet(AppContext& ctx, const print::TestSheetValues& values, QWidget* parent);

// Print (opens "Print Out List" unless it is open), Print Preview (every section) and
// File > Export as PDF (the list, its OK writing a PDF).
void runPrintCommand(AppContext& ctx, QWidget* parent);
void runPrintPreviewCommand(AppContext& ctx, QWidget* parent);
void runExportPdfCommand(AppContext& ctx, QWidget* parent);

// velora --export-pdf DATAFILE OUT.pdf [--sections LIST]: the data file opened as Open does, its
// report written to OUT.pdf, messages on stderr. Returns the process exit code.
int exportPdfFromCommandLine(const TextSource& texts, RunOptions run, const std::string& dataFile,
                             const std::string& pdfFile, const std::string& sections);

} // namespace velora::gui
