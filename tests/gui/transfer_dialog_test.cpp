#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "comm/TransferDialog.h"
#include "frame/MainFrame.h"
#include "frame/UndoController.h"
#include "model/DataFile.h"
#include "views/HelpWindow.h"

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

        // Writing it back marks the working copy for the radio; that is no step for Undo.
        QTimer::singleShot(100, [&] {
            auto* dlg = frame.findChild<TransferDialog*>();
            QVERIFY(dlg);
            dlg->findChild<QPushButton*>(QStringLiteral("start"))->click();
        });
        frame.runCommand(cmd::kWriteRadio);
        QCOMPARE(fx.messenger.shown.back().text, fx.text(171).toStdString());
        frame.undoController().checkpoint(); // as when the event loop goes idle
        QVERIFY(!frame.undoController().history().canUndo());
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

    void helpKeyOpensTheDialogsContext() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Read);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_F1);
        QTRY_VERIFY(HelpWindow::instance());
        QCOMPARE(HelpWindow::instance()->currentUrl().fragment(), QStringLiteral("ctx51"));
        HelpWindow::instance()->close();
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

    // Three bad checksums on block 3 use up the protocol's own attempts; Retry starts the main area
    // again from block 0 and the read completes.
    void failedBlockAsksRetryAndStartsTheAreaAgain() {
        test::Fixture fx;
        Sim sim(deckFile(fx, 0x42), {QStringLiteral("--bad-checksum"), QStringLiteral("deck1:3:3")});
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Read);
        dlg.show();
        // The labels as the user sees them between frames.
        QStringList labels;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (labels.isEmpty() || labels.last() != dlg.blockLabel()->text())
                labels << dlg.blockLabel()->text();
        });
        watch.start(0);
        dlg.start();
        watch.stop();
        QVERIFY2(dlg.outcome().ok(), comm::describe(dlg.outcome()).c_str());
        QCOMPARE(fx.messenger.ids(), (std::vector<int>{209, 164}));
        const Message& ask = fx.messenger.shown[0];
        QCOMPARE(ask.buttons, MsgButtons::RetryCancel);
        QCOMPARE(ask.caption, fx.text(204).toStdString());
        QCOMPARE(ask.icon, MsgIcon::Error);
        auto label = [&](int n) { return fx.text(165) + QStringLiteral(" %1 / 192").arg(n); };
        // Blocks 0 to 2 arrive, block 3 fails; after Retry the counter starts again at the first block.
        const auto failedAt = labels.indexOf(label(3));
        QVERIFY(failedAt >= 0);
        QCOMPARE(labels.value(failedAt + 1), label(1));
        QVERIFY(labels.indexOf(label(4)) > failedAt);
        QCOMPARE(labels.last(), label(192));
        QCOMPARE(byteAt(fx.doc.image().staging().main, kMarker), Byte{0x42});
    }

    void cancelAfterAFailedBlockAdoptsNothing() {
        test::Fixture fx;
        Sim sim(deckFile(fx, 0x42), {QStringLiteral("--bad-checksum"), QStringLiteral("deck1:3:3")});
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        fx.doc.setFileName("other.dat");
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = frame.findChild<TransferDialog*>();
            QVERIFY(seen);
            seen->findChild<QPushButton*>(QStringLiteral("start"))->click();
            QCOMPARE(seen->windowTitle(), fx.text(162)); // back to the idle title before it closes
        });
        fx.messenger.answers = {MsgAnswer::Cancel};
        frame.runCommand(cmd::kReadRadio);
        QVERIFY(seen);
        QCOMPARE(fx.messenger.ids(), std::vector<int>{209});
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0xFF});
        QCOMPARE(fx.doc.fileName(), std::string("other.dat"));
        QVERIFY(!frame.transferRunning());
    }

    void cancelledWriteSaysWhereTheRadioWasLeftHalfWritten() {
        test::Fixture fx;
        Sim sim(deckFile(fx, 0x01), {QStringLiteral("--nak-block"), QStringLiteral("deck1:7:9")});
        if (sim.device.isEmpty()) QSKIP("velora-radio-sim is not built");
        fx.port.setDevicePath(1, sim.device.toStdString());
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Write);
        dlg.show();
        QTest::qWait(20);
        fx.messenger.answers = {MsgAnswer::Cancel};
        dlg.start();
        QVERIFY(!dlg.outcome().complete());
        QCOMPARE(fx.messenger.ids(), (std::vector<int>{209, -1}));
        const Message& last = fx.messenger.shown.back();
        QCOMPARE(last.icon, MsgIcon::Warning);
        QVERIFY2(last.text.find("Deck 1, main-area block 7") != std::string::npos, last.text.c_str());
    }

    void preWriteCheckListsEverySettingThatLacksItsValue() {
        test::Fixture fx;
        auto m = fx.doc.image().main();
        setByte(m, 0x00, 1);    // priority channel 1 in use ...
        setByte(m, 0x50, 0xFF); // ... without its channel
        setByte(m, 0x51, 0xFF);
        setByte(m, 0x01, 1);
        setByte(m, 0x52, 0xFF);
        setByte(m, 0x53, 0xFF);
        MainFrame frame(fx.ctx, fx.registry);
        TransferDialog dlg(fx.ctx, frame, TransferDialog::Mode::Write);
        dlg.show();
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(fx.messenger.shown.size(), 1u);
        const Message& m0 = fx.messenger.shown[0];
        QCOMPARE(m0.caption, fx.text(204).toStdString());
        QCOMPARE(m0.icon, MsgIcon::Error);
        const std::string expected = fx.text(173).toStdString() + "\n\n\"" + fx.text(435).toStdString() +
                                     "\"\n\"" + fx.text(436).toStdString() + "\"\n";
        QCOMPARE(m0.text, expected);
    }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
