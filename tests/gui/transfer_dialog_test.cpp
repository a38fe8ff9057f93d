#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/FrameCommands.h"
#include "comm/TransferDialog.h"
#include "frame/MainFrame.h"
#include "model/DataFile.h"

using namespace velora;
using namespace velora::gui;

namespace {
constexpr std::size_t kMarker = 0x1800; // first byte of the channel record pool

// velora-radio-sim on a pseudo-terminal, serving a data file.
struct Sim {
    Sim(const QString& deck, const QStringList& extra = {}) {
        const QString program = QStringLiteral(VELORA_BIN_DIR "/velora-radio-sim");
        if (!QFileInfo(program).isExecutable()) return;
        proc.start(program, QStringList{QStringLiteral("--deck1"), deck} + extra);
        if (!proc.waitForStarted(5000)) return;
        while (!proc.canReadLine())
            if (!proc.waitForReadyRead(5000)) return;
        QString line = QString::fromLocal8Bit(proc.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("DEVICE "))) device = line.mid(7);
    }
    ~Sim() {
        if (proc.state() != QProcess::NotRunning) {
            proc.terminate();
            proc.waitForFinished(3000);
        }
    }
    QProcess proc;
    QString device;
};
} // namespace

class TransferDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // A data file of the fixture's model whose first channel byte is `marker`.
    QString deckFile(test::Fixture& fx, Byte marker) {
        MemoryImage copy;
        copy.working() = fx.doc.image().working();
        setByte(copy.main(), kMarker, marker);
        QString path = dir.filePath(QStringLiteral("deck%1.dat").arg(marker));
        writeDataFile(copy, path.toStdString());
        return path;
    }

  private slots:
    void readFillsStagingAndReportsProgress() {
        test::Fixture fx;
        Sim sim(deckFile(fx, 0x42));
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Read);
        QCOMPARE(dlg.windowTitle(), fx.text(162));
        QCOMPARE(dlg.blockLabel()->text(), fx.text(165) + QStringLiteral(" 0 / 192"));
        dlg.show();
        test::saveShot(&dlg, QStringLiteral("read-dialog"));
        // Looked at from inside the transfer, while frames travel and messages are pumped.
        bool busyLooked = false;
        QTimer::singleShot(100, &dlg, [&] {
            busyLooked = true;
            QCOMPARE(dlg.windowTitle(), fx.text(163));
            for (auto* b : dlg.findChildren<QPushButton*>())
                QVERIFY(!b->isEnabled());
            QVERIFY(frame.transferRunning());
            QVERIFY(!dlg.close());
            test::saveShot(&dlg, QStringLiteral("read-dialog-busy"));
        });
        dlg.start();
        QVERIFY(busyLooked);
        QVERIFY2(dlg.outcome().ok(), comm::describe(dlg.outcome()).c_str());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.blockLabel()->text(), fx.text(165) + QStringLiteral(" 192 / 192"));
        QCOMPARE(dlg.progressBar()->value(), 192);
        QCOMPARE(fx.messenger.shown.back().text, fx.text(164).toStdString());
        QCOMPARE(byteAt(fx.doc.image().staging().main, kMarker), Byte{0x42});
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0xFF}); // adoption is the frame's step
        QVERIFY(!frame.transferRunning());
    }

    void readCommandAdoptsTheRadiosDataSet() {
        test::Fixture fx;
        Sim sim(deckFile(fx, 0x37));
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        fx.doc.setFileName("other.dat");
        MainFrame frame(fx.ctx, fx.registry);
        // The modal dialog is driven from inside its own event loop.
        QTimer::singleShot(0, [&] {
            auto* dlg = frame.findChild<TransferDialog*>();
            QVERIFY(dlg);
            dlg->findChild<QPushButton*>(QStringLiteral("start"))->click();
        });
        frame.runCommand(cmd::kReadRadio);
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x37});
        QCOMPARE(fx.doc.fileName(), std::string("velora.dat"));
        QVERIFY(!fx.doc.isModified());
    }

    void writeSendsTheWorkingCopy() {
        test::Fixture fx;
        const QString dump = dir.filePath(QStringLiteral("dump"));
        Sim sim(deckFile(fx, 0x01), {QStringLiteral("--dump"), dump, QStringLiteral("--once")});
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        setByte(fx.doc.image().main(), kMarker, 0x55);
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Write);
        QCOMPARE(dlg.windowTitle(), fx.text(169));
        dlg.show();
        QTest::qWait(20); // the pre-write check passes a default data set
        QVERIFY(dlg.isVisible());
        dlg.start();
        QVERIFY2(dlg.outcome().ok(), comm::describe(dlg.outcome()).c_str());
        QCOMPARE(fx.messenger.shown.back().text, fx.text(171).toStdString());
        QVERIFY(sim.proc.waitForFinished(5000));
        MemoryImage radio;
        QVERIFY(readDataFile(radio, (dump + QStringLiteral(".deck1.dat")).toStdString()).ok());
        QCOMPARE(byteAt(radio.staging().main, kMarker), Byte{0x55});
    }

    void preWriteCheckStopsAnIncompleteDataSet() {
        test::Fixture fx;
        setByte(fx.doc.image().ext(), layout::kOstNames, 'A'); // a tone name without its tones
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Write);
        dlg.show();
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(fx.messenger.ids(), std::vector<int>{176});
    }

    void portThatDoesNotOpenEndsWithCancel() {
        test::Fixture fx;
        fx.port.setDevicePath(1, "/nonexistent/tty");
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Read);
        dlg.start();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(fx.messenger.ids(), std::vector<int>{208});
        QCOMPARE(dlg.windowTitle(), fx.text(162));
    }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
