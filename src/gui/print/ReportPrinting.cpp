#include "print/ReportPrinting.h"

#include <QApplication>
#include <QFile>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <iostream>
#include <memory>

#include "base/LanguageFile.h"
#include "dataset/FileCommands.h"
#include "forms/CoreBridge.h"
#include "print/PrintOutListDialog.h"
#include "print/ReportPainter.h"
#include "views/AppContext.h"

namespace velora::gui {

namespace {

print::ReportOptions optionsFor(const print::Selection& selection, const ReportGeometry& g,
                                const print::TestSheetValues* testSheet) {
    print::ReportOptions o;
    o.selection = selection;
    o.landscape = g.landscape;
    o.width = g.width;
    o.height = g.height;
    o.stamp = print::headerStamp(print::reportTime());
    o.testSheet = testSheet;
    return o;
}

print::PageDescription build(AppContext& ctx, const print::Selection& selection, const ReportGeometry& g,
                             const print::TestSheetValues* testSheet = nullptr) {
    print::ReportLayout layout(ctx.doc, ctx.boxes);
    return layout.build(optionsFor(selection, g, testSheet));
}

// The open "Print Out List", so that Print raises it instead of opening a second one.
QPointer<PrintOutListDialog>& openList() {
    static QPointer<PrintOutListDialog> list;
    return list;
}

void showList(AppContext& ctx, PrintOutListDialog::Mode mode, QWidget* parent) {
    auto& list = openList();
    if (list) {
        list->raise();
        list->activateWindow();
        return;
    }
    list = new PrintOutListDialog(ctx, mode, parent);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->setWindowModality(Qt::ApplicationModal);
    list->show();
}

// Messages of a run without windows: lines on stderr, the first button as the answer.
class StderrMessenger : public Messenger {
  public:
    MsgAnswer show(const Message& m) override {
        std::cerr << "velora: " << m.text << '\n';
        return firstButtonAnswer(m.buttons);
    }
};

std::unique_ptr<QPrinter>& printerSlot() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

std::unique_ptr<QPrinter> newPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("VELORA"));
    return printer;
}

// A printer whose job failed to start stays active and refuses every later job and setting; a fresh
// one takes over its destination and page set-up.
void renewSharedPrinter() {
    auto& slot = printerSlot();
    auto fresh = newPrinter();
    if (slot) {
        if (slot->outputFormat() == QPrinter::NativeFormat)
            fresh->setPrinterName(slot->printerName());
        else
            fresh->setOutputFileName(slot->outputFileName());
        fresh->setPageLayout(slot->pageLayout());
    }
    slot = std::move(fresh);
}

// The print dialog on the shared printer, then the pages built for where the user sent them.
bool printWithDialog(AppContext& ctx, const print::Selection& selection, const print::TestSheetValues* sheet,
                     QWidget* parent) {
    return printPages(
        ctx, [&](const ReportGeometry& g) { return build(ctx, selection, g, sheet); }, parent);
}

} // namespace

QPrinter& sharedPrinter() {
    auto& slot = printerSlot();
    if (!slot) slot = newPrinter();
    return *slot;
}

bool paintOnSharedPrinter(AppContext& ctx, const print::PageDescription& pages) {
    QPrinter& printer = sharedPrinter();
    if (paintReport(pages, printer)) return true;
    const QString file = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const QString where = !file.isEmpty()
                              ? ctx.text(kTextCannotWritePdf) + QStringLiteral(":\n") + file
                              : ctx.text(kTextPrinterFailed) + QStringLiteral("\n") + printer.printerName();
    renewSharedPrinter();
    ctx.boxes.errorText(where.trimmed().toStdString());
    return false;
}

print::PageDescription buildReport(AppContext& ctx, const print::Selection& selection,
                                   const QPagedPaintDevice& device, const print::TestSheetValues* testSheet) {
    return build(ctx, selection, reportGeometry(device), testSheet);
}

void printSetup(QWidget* parent) {
    QPageSetupDialog(&sharedPrinter(), parent).exec();
}

bool printReport(AppContext& ctx, const print::Selection& selection, QWidget* parent) {
    return printWithDialog(ctx, selection, nullptr, parent);
}

void previewReport(AppContext& ctx, const print::Selection& selection, QWidget* parent) {
    QPrintPreviewDialog preview(&sharedPrinter(), parent);
    preview.setObjectName(QStringLiteral("printPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&ctx, selection](QPrinter* p) { paintReport(buildReport(ctx, selection, *p), *p); });
    QPointer<QWidget> focus = QApplication::focusWidget();
    preview.exec();
    if (focus) focus->setFocus();
}

bool exportReport(AppContext& ctx, const print::Selection& selection, const QString& path) {
    return exportPages([&](const ReportGeometry& g) { return build(ctx, selection, g); }, path);
}

bool printPages(AppContext& ctx, const PagesFor& pages, QWidget* parent) {
    QPrintDialog dialog(&sharedPrinter(), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    return paintOnSharedPrinter(ctx, pages(reportGeometry(sharedPrinter())));
}

bool exportPages(const PagesFor& pages, const QString& path) {
    const bool landscape = sharedPrinter().pageLayout().orientation() == QPageLayout::Landscape;
    if (writePdf(pages(pdfGeometry(landscape)), path)) return true;
    QFile::remove(path); // no partial file is left behind
    return false;
}

bool printTestSheet(AppContext& ctx, const print::TestSheetValues& values, QWidget* parent) {
    print::Selection s;
    s.sections = print::section::kModel | print::section::kTestSheet;
    return printWithDialog(ctx, s, &values, parent);
}

void runPrintCommand(AppContext& ctx, QWidget* parent) {
    showList(ctx, PrintOutListDialog::Mode::Print, parent);
}

void runPrintPreviewCommand(AppContext& ctx, QWidget* parent) {
    previewReport(ctx, print::everySection(ctx.doc), parent);
}

void runExportPdfCommand(AppContext& ctx, QWidget* parent) {
    showList(ctx, PrintOutListDialog::Mode::ExportPdf, parent);
}

int exportPdfFromCommandLine(const TextSource& texts, RunOptions run, const std::string& dataFile,
                             const std::string& pdfFile, const std::string& sections) {
    StderrMessenger messenger;
    MessageBoxes boxes(messenger, texts);
    Document doc(run);
    if (openWithoutDialogs(doc, boxes, dataFile) != CommandOutcome::Done) return 1;
    print::Selection selection = print::everySection(doc);
    if (!sections.empty()) {
        std::string error;
        auto parsed = print::parseSections(sections, doc, &error);
        if (!parsed) {
            std::cerr << "velora: " << error << '\n';
            return 2;
        }
        selection = *parsed;
    }
    print::ReportLayout layout(doc, boxes);
    const QString path = QString::fromLocal8Bit(pdfFile.c_str());
    if (!writePdf(layout.build(optionsFor(selection, pdfGeometry(false), nullptr)), path)) {
        QFile::remove(path);
        std::cerr << "velora: cannot write " << pdfFile << '\n';
        return 1;
    }
    return 0;
}

} // namespace velora::gui
