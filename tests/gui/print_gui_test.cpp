// Print Out List and the PDF the report is written to.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTestSupport.h"
#include "print/PrintOutListDialog.h"
#include "print/ReportPrinting.h"

using namespace velora;
using namespace velora::gui;
namespace section = velora::print::section;

class PrintGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void listStartsWithHeaderSectionsAndFollowsTheBoxes() {
        test::Fixture f;
        PrintOutListDialog list(f.ctx, PrintOutListDialog::Mode::Print, nullptr);
        QVERIFY(list.sectionBox(section::kModel)->isChecked());
        QVERIFY(list.sectionBox(section::kMessage)->isChecked());
        QVERIFY(!list.sectionBox(section::kRepeaterList)->isEnabled()); // single band
        QVERIFY(!list.startEdit()->isEnabled());

        list.clearAll();
        QVERIFY(!list.okButton()->isEnabled());
        QVERIFY(!list.previewButton()->isEnabled());
        QTest::mouseClick(list.sectionBox(section::kModel), Qt::LeftButton);
        QVERIFY(list.okButton()->isEnabled());

        QTest::mouseClick(list.sectionBox(section::kChannels), Qt::LeftButton);
        QVERIFY(list.startEdit()->isEnabled());
        list.endEdit()->setText(QStringLiteral("20"));
        list.startEdit()->setText(QStringLiteral("150"));
        const print::Selection s = list.selection();
        QCOMPARE(s.sections, section::kModel | section::kChannels);
        QCOMPARE(s.startGroup, 150);
        QCOMPARE(s.endGroup, 150);
        QCOMPARE(list.endEdit()->text(), QStringLiteral("150"));

        list.selectAll();
        QVERIFY(!list.sectionBox(section::kRepeaterList)->isChecked());
    }

    void exportWritesOnePdfPagePerPlannedPage() {
        test::Fixture f;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        print::Selection s;
        s.sections = section::kModel | section::kOptions | section::kScan;
        QVERIFY(exportReport(f.ctx, s, path));
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        // Two pages of optional features and one of scan information.
        QCOMPARE(bytes.count("/Type /Page\n"), 3);
    }

    // A job that cannot start is told, and the printer keeps its set-up and takes the next job.
    void failedPrintIsToldAndThePrinterTakesTheNextJob() {
        struct Case {
            QString file;
            QString told;
        };
        test::Fixture f;
        const QList<Case> cases{
            {QString(), f.text(kTextPrinterFailed)}, // nothing chosen yet
            {QStringLiteral("/nonexistent-folder/sheet.pdf"),
             QStringLiteral("/nonexistent-folder/sheet.pdf")},
        };
        QTemporaryDir dir;
        print::Selection s;
        s.sections = section::kModel;
        for (const Case& c : cases) {
            f.messenger.shown.clear();
            sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
            sharedPrinter().setOutputFileName(c.file);
            sharedPrinter().setPageOrientation(QPageLayout::Landscape);
            QVERIFY(!paintOnSharedPrinter(f.ctx, buildReport(f.ctx, s, sharedPrinter())));
            QCOMPARE(f.messenger.shown.size(), std::size_t(1));
            QVERIFY2(QString::fromStdString(f.messenger.shown[0].text).contains(c.told), qPrintable(c.told));
            QCOMPARE(sharedPrinter().pageLayout().orientation(), QPageLayout::Landscape);

            const QString pdf = dir.filePath(QStringLiteral("next.pdf"));
            sharedPrinter().setOutputFileName(pdf);
            QVERIFY2(paintOnSharedPrinter(f.ctx, buildReport(f.ctx, s, sharedPrinter())), qPrintable(c.file));
            QVERIFY(QFileInfo(pdf).size() > 0);
            QFile::remove(pdf);
        }
        sharedPrinter().setOutputFileName(QString());
        sharedPrinter().setPageOrientation(QPageLayout::Portrait);
    }

    void exportToAnUnwritablePlaceLeavesNoFile() {
        test::Fixture f;
        const QString path = QStringLiteral("/nonexistent-folder/report.pdf");
        QVERIFY(!exportReport(f.ctx, print::everySection(f.doc), path));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(PrintGuiTest)
#include "print_gui_test.moc"
