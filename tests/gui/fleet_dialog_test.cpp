// Program > Fleet Programming against a bench of simulated radios on one line: every row ends
// verified with a log line each, the log marks the rows on the next load, the delivery sheet is
// written, and a refused manifest names its line and column and starts nothing.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "comm/FleetDialog.h"
#include "frame/MainFrame.h"
#include "model/DataFile.h"

using namespace velora;
using namespace velora::gui;

namespace {

// velora-radio-sim playing a bench of radios of the fixture's data set, one after another on one
// pseudo-terminal that the fixture's port 1 is mapped to; `device` stays empty when it cannot start.
struct Bench {
    Bench(test::Fixture& fx, const QTemporaryDir& dir, int radios) {
        const QString program = QStringLiteral(VELORA_BIN_DIR "/velora-radio-sim");
        if (!QFileInfo(program).isExecutable()) return;
        MemoryImage image;
        image.working() = fx.doc.image().working();
        const QString deck = dir.filePath(QStringLiteral("deck.dat"));
        const QString dump = dir.filePath(QStringLiteral("got"));
        if (!writeDataFile(image, deck.toStdString()).ok()) return;
        proc.start(program,
                   {QStringLiteral("--deck1"), deck, QStringLiteral("--fleet"), QString::number(radios),
                    QStringLiteral("--linger"), QStringLiteral("0"), QStringLiteral("--gap"),
                    QStringLiteral("0"), QStringLiteral("--dump"), dump, QStringLiteral("--once")});
        if (!proc.waitForStarted(5000)) return;
        while (!proc.canReadLine())
            if (!proc.waitForReadyRead(5000)) return;
        const QString line = QString::fromLocal8Bit(proc.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("DEVICE "))) device = line.mid(7);
        fx.port.setDevicePath(1, device.toStdString());
    }
    ~Bench() {
        if (proc.state() != QProcess::NotRunning) {
            proc.terminate();
            proc.waitForFinished(3000);
        }
    }
    QProcess proc;
    QString device;
};

QString writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

QStringList stateTexts(FleetDialog& dlg) {
    QStringList states;
    for (int r = 0; r < dlg.table()->rowCount(); ++r)
        states << dlg.table()->item(r, dlg.stateColumn())->text();
    return states;
}

} // namespace

class FleetDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void threeRadiosEndVerifiedWithALogLineEach() {
        QTemporaryDir dir;
        test::Fixture fx;
        Bench bench(fx, dir, 3);
        if (bench.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        MainFrame frame(fx.ctx, fx.registry);
        FleetDialog dlg(fx.ctx, frame);
        const QString manifest = writeFile(dir.filePath(QStringLiteral("fleet.csv")),
                                           "radio,dravix.id,options.power_on_text\n"
                                           "unit1,1001,SMITH\nunit2,1002,JONES\nunit3,1003,BROWN\n");
        QVERIFY2(dlg.loadManifest(manifest), qPrintable(dlg.notes()->toPlainText()));
        QCOMPARE(dlg.table()->rowCount(), 3);
        QCOMPARE(dlg.table()->item(1, 2)->text(), QStringLiteral("JONES"));
        QCOMPARE(dlg.ports()->count() > 0 && dlg.ports()->item(0)->checkState() == Qt::Checked, true);
        dlg.verifyBox()->setChecked(true);
        dlg.resize(900, 620);
        dlg.show();
        test::saveShot(&dlg, QStringLiteral("fleet-loaded"));

        // A look at the dialog while a radio is being written (when the look falls in a write).
        bool barSeen = false, promptSeen = false;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (!promptSeen && dlg.promptLabel()->isVisible()) {
                promptSeen = true;
                test::saveShot(&dlg, QStringLiteral("fleet-prompt"));
            }
            for (int r = 0; r < dlg.table()->rowCount() && !barSeen; ++r)
                if (qobject_cast<QProgressBar*>(dlg.table()->cellWidget(r, dlg.stateColumn()))) {
                    barSeen = true;
                    test::saveShot(&dlg, QStringLiteral("fleet-running"));
                }
        });
        look.start(10);
        QSignalSpy done(&dlg, &FleetDialog::runFinished);
        dlg.start();
        QVERIFY(dlg.running());
        QVERIFY(!dlg.startButton()->isEnabled());
        QVERIFY2(done.wait(60000), qPrintable(stateTexts(dlg).join(QLatin1Char('|')) +
                                              dlg.notes()->toPlainText() + dlg.promptLabel()->text()));
        look.stop();
        test::saveShot(&dlg, QStringLiteral("fleet-done"));
        const QString verified = QStringLiteral("verified");
        QCOMPARE(stateTexts(dlg), QStringList({verified, verified, verified}));
        // Each radio's outcome is noted once, as verified, not also as only written.
        const QString notes = dlg.notes()->toPlainText();
        QCOMPARE(notes.count(QStringLiteral("': verified")), 3);
        QVERIFY2(!notes.contains(fx.text(comm::kTextWriteDone)), qPrintable(notes));

        QFile log(dlg.logEdit()->text());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QByteArray& l : log.readAll().split('\n'))
            if (l.startsWith("unit")) lines << QString::fromUtf8(l.left(5));
        QCOMPARE(lines,
                 QStringList({QStringLiteral("unit1"), QStringLiteral("unit2"), QStringLiteral("unit3")}));
        for (int n = 1; n <= 3; ++n)
            QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("unit%1.dat").arg(n))));

        // Loaded again, the log marks every row written, so a further Start writes none of them.
        QVERIFY(dlg.loadManifest(manifest));
        QCOMPARE(stateTexts(dlg), QStringList({verified, verified, verified}));

        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QVERIFY(dlg.writeSheetPdf(pdf));
        QFile sheet(pdf);
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QVERIFY(sheet.read(5) == "%PDF-");
    }

    // Closing during a run asks; No goes on, Yes stops once the radio being written is done and
    // then closes, leaving the rows not started waiting.
    void closingDuringARunAsksAndStops() {
        QTemporaryDir dir;
        test::Fixture fx;
        Bench bench(fx, dir, 3);
        if (bench.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        MainFrame frame(fx.ctx, fx.registry);
        FleetDialog dlg(fx.ctx, frame);
        QVERIFY(dlg.loadManifest(writeFile(dir.filePath(QStringLiteral("fleet.csv")),
                                           "radio,dravix.id\nunit1,1001\nunit2,1002\nunit3,1003\n")));
        dlg.show();
        QSignalSpy done(&dlg, &FleetDialog::runFinished);
        dlg.start();
        QTRY_VERIFY_WITH_TIMEOUT(stateTexts(dlg).value(0) == QStringLiteral("written"), 30000);
        fx.messenger.answers = {MsgAnswer::No, MsgAnswer::Yes};
        dlg.reject();
        QVERIFY(dlg.running());
        QVERIFY(dlg.isVisible());
        dlg.reject();
        QVERIFY(done.wait(30000));
        QVERIFY(!dlg.running());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fx.messenger.shown.size(), std::size_t(2));
        QCOMPARE(fx.messenger.shown.back().textId, kTextStopAndClose);
        QCOMPARE(stateTexts(dlg).value(2), fx.text(kTextWaiting));
    }

    // What the check finds is listed naming line and column, never put up in a box; a refused
    // manifest starts nothing.
    void manifestNotesNameLineAndColumnAndARefusalStartsNothing() {
        struct Case {
            const char* csv;
            const char* where;
            bool refused;
        };
        for (const Case& c :
             {Case{"radio,emergency.type\nA,\nB,Loud\n", "Line 3, column emergency.type", true},
              Case{"label,dravix.id\nA,1\n", "Line 1: No 'radio' column", true},
              Case{"radio,dravix.id\nA,1001\nB,1001\n", "Line 3 and line 2", true},
              // Out of the band: the field shows the band's edge and warns.
              Case{"radio,test_frequency.1.1.tx\nA,300\n",
                   "Line 2: The TX frequency entered is outside the radio's band", false}}) {
            QTemporaryDir dir;
            test::Fixture fx;
            MainFrame frame(fx.ctx, fx.registry);
            FleetDialog dlg(fx.ctx, frame);
            QCOMPARE(dlg.loadManifest(writeFile(dir.filePath(QStringLiteral("m.csv")), c.csv)), !c.refused);
            QVERIFY2(dlg.notes()->toPlainText().contains(QLatin1String(c.where)),
                     qPrintable(dlg.notes()->toPlainText()));
            QCOMPARE(fx.messenger.shown.size(), std::size_t(0));
            if (!c.refused) continue;
            QVERIFY(!dlg.startButton()->isEnabled());
            dlg.start();
            QVERIFY(!dlg.running());
            QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("m-log.csv"))));
        }
    }
};

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"
