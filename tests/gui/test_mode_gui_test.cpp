#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "comm/AdjustmentDialog.h"
#include "comm/DemoRadio.h"
#include "comm/TestModeDialog.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"
#include "print/ReportPrinting.h"

using namespace velora;
using namespace velora::gui;

namespace {

// velora-radio-sim serving the fixture's data set, with its log of frames kept.
struct Sim {
    Sim(const QString& deck, const QStringList& extra = {}) {
        const QString program = QStringLiteral(VELORA_BIN_DIR "/velora-radio-sim");
        if (!QFileInfo(program).isExecutable()) return;
        proc.start(program, QStringList{QStringLiteral("--deck1"), deck, QStringLiteral("-v")} + extra);
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
    // The radio's account of the test frames, without the raw bytes.
    QStringList log() {
        QTest::qWait(100);
        text += QString::fromLocal8Bit(proc.readAllStandardError());
        QStringList out;
        for (const QString& l : text.split(QLatin1Char('\n')))
            if (l.startsWith(QStringLiteral("sim: ")) && !l.startsWith(QStringLiteral("sim: rx ")) &&
                !l.startsWith(QStringLiteral("sim: tx ")))
                out << l.mid(5);
        return out;
    }
    QProcess proc;
    QString device;
    QString text;
};

// Test mode entered on the simulated radio, as the test-mode command does before it shows the dialog.
struct Session {
    explicit Session(test::Fixture& fx, const QStringList& simOptions = {}) : fx(fx), ui(fx.ctx) {
        MemoryImage copy;
        copy.working() = fx.doc.image().working();
        const QString file = dir.filePath(QStringLiteral("radio.dat"));
        writeDataFile(copy, file.toStdString());
        sim = std::make_unique<Sim>(file, simOptions);
        if (sim->device.isEmpty()) return;
        fx.port.setDevicePath(1, sim->device.toStdString());
        entered = session.begin() == comm::EntryResult::Ok;
    }
    test::Fixture& fx;
    QTemporaryDir dir;
    std::unique_ptr<Sim> sim;
    GuiTestModeUi ui;
    comm::TestModeShared shared;
    comm::RadioProtocol protocol{fx.port};
    comm::TestModeSession session{protocol, fx.ctx.texts, ui, shared, fx.doc.image()};
    bool entered = false;
};

} // namespace

class TestModeGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void channelTransmitterAndLeaving() {
        test::Fixture fx;
        Session s(fx);
        if (s.sim->device.isEmpty()) QSKIP("velora-radio-sim is not built");
        QVERIFY(s.entered);
        TestModeDialog dlg(fx.ctx, s.session);
        dlg.resize(1280, 800);
        dlg.show();
        dlg.activateWindow(); // the edit boxes commit when they lose the focus
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        test::saveShot(&dlg, QStringLiteral("test-mode-dialog"));
        QCOMPARE(dlg.windowTitle(), fx.text(185));
        QCOMPARE(dlg.channelEdit()->text(), QStringLiteral("1"));

        // Typing 2 and leaving the box selects test channel 2; 17 sends nothing and is put back.
        dlg.channelEdit()->setFocus();
        dlg.channelEdit()->setText(QStringLiteral("2"));
        dlg.signallingEdit()->setFocus();
        const QStringList selected = s.sim->log().filter(QStringLiteral("test channel"));
        QCOMPARE(selected.last(), QStringLiteral("test channel 2"));
        dlg.channelEdit()->setFocus();
        dlg.channelEdit()->setText(QStringLiteral("17"));
        dlg.signallingEdit()->setFocus();
        QCOMPARE(dlg.channelEdit()->text(), QStringLiteral("2"));
        QCOMPARE(s.sim->log().filter(QStringLiteral("test channel")),
                 selected.filter(QStringLiteral("test channel")));

        // Space in an edit box keys the transmitter; the channel controls lock meanwhile.
        QTest::keyClick(dlg.signallingEdit(), Qt::Key_Space);
        QVERIFY(dlg.transmitButton()->isChecked());
        QVERIFY(!dlg.channelEdit()->isEnabled());
        test::saveShot(&dlg, QStringLiteral("test-mode-transmitting"));

        // Closing with the transmitter on switches it off before leaving test mode.
        dlg.reject();
        s.session.end();
        const QStringList log = s.sim->log();
        const auto at = [&](const QString& line) { return log.lastIndexOf(line); };
        QVERIFY(at(QStringLiteral("transmitter on")) >= 0);
        QVERIFY(at(QStringLiteral("transmitter on")) < at(QStringLiteral("transmitter off")));
        QVERIFY(at(QStringLiteral("transmitter off")) < at(QStringLiteral("normal operation")));
    }

    // A quick click on TX while the channel box commits on losing the focus: the box's number goes
    // to the radio first, then the transmitter; the click is not lost. The hidden option lists go
    // with the dialog.
    void quickClickAfterTypingIsNotLost() {
        test::Fixture fx;
        Session s(fx);
        if (s.sim->device.isEmpty()) QSKIP("velora-radio-sim is not built");
        QVERIFY(s.entered);
        const qsizetype before = QApplication::allWidgets().size();
        {
            TestModeDialog dlg(fx.ctx, s.session);
            dlg.show();
            dlg.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            dlg.channelEdit()->setFocus();
            dlg.channelEdit()->setText(QStringLiteral("2"));
            // The release comes in while the radio is being talked to, as a quick hand makes it.
            QTimer::singleShot(0, dlg.transmitButton(),
                               [&] { QTest::mouseRelease(dlg.transmitButton(), Qt::LeftButton); });
            QTest::mousePress(dlg.transmitButton(), Qt::LeftButton);
            QTRY_VERIFY(dlg.transmitButton()->isChecked());
            const QStringList log = s.sim->log();
            QVERIFY(log.lastIndexOf(QStringLiteral("test channel 2")) >= 0);
            QVERIFY(log.lastIndexOf(QStringLiteral("test channel 2")) <
                    log.lastIndexOf(QStringLiteral("transmitter on")));
            dlg.reject();
        }
        QCOMPARE(QApplication::allWidgets().size(), before); // nothing of the dialog is left
        s.session.end();
    }

    // The demo radio answers as the open data set's radio, also after its model changed.
    void demoRadioFollowsTheModelOfTheDataSet() {
        test::Fixture fx;
        const QString program = QStringLiteral(VELORA_BIN_DIR "/velora-radio-sim");
        if (!QFileInfo(program).isExecutable()) QSKIP("velora-radio-sim is not built");
        DemoRadio demo(fx.ctx);
        QCOMPARE(demo.start(program), QString());
        // Model Information: dual band, dual head and an option board on model 1.
        fx.makeDualBand();
        ModelIdentification changed = identificationOf(fx.doc.image());
        changed.setDualHead(true);
        changed.setConfigWord(changed.configWord() | ModelIdentification::kOptionKind2);
        setIdentification(fx.doc.image(), changed);
        QCOMPARE(demo.follow(), QString());
        QCOMPARE(fx.port.devicePath(fx.port.portNumber()), demo.devicePath().toStdString());

        comm::RadioProtocol protocol{fx.port};
        QVERIFY(fx.port.open().ok());
        QCOMPARE(protocol.enterProgramMode(), comm::RadioStatus::Ok);
        comm::Identification id{};
        QCOMPARE(protocol.readIdentification(comm::kSelectorDeck1, id), comm::RadioStatus::Ok);
        fx.port.close();
        QVERIFY(changed.sameRadio(ModelIdentification(id)));
    }

    // Print reads the values again, asks where the sheet goes and prints it there; the focus goes back
    // where it was.
    void printAsksWhereAndPrintsTheSheet() {
        test::Fixture fx;
        Session s(fx);
        if (s.sim->device.isEmpty()) QSKIP("velora-radio-sim is not built");
        QVERIFY(s.entered);
        TestModeDialog dlg(fx.ctx, s.session);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("sheet.pdf"));
        sharedPrinter().setOutputFileName(pdf);
        auto* print = dlg.findChild<QPushButton*>(QStringLiteral("print"));
        QVERIFY(print && print->isEnabled());
        dlg.signallingEdit()->setFocus();
        // The radio is read first, so the print dialog comes some time after the click.
        bool asked = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, &dlg, [&] {
            if (auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                asked = true;
                answer.stop();
                d->accept();
            }
        });
        answer.start(20);
        print->click();
        sharedPrinter().setOutputFileName(QString());
        QVERIFY(asked);
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(dlg.focusWidget(), dlg.signallingEdit()); // the window gets it back when active again
        QVERIFY(dlg.isVisible());
        dlg.reject();
        s.session.end();
    }

    void adjustmentByKeysTypingAndTabs() {
        test::Fixture fx;
        Session s(fx);
        if (s.sim->device.isEmpty()) QSKIP("velora-radio-sim is not built");
        QVERIFY(s.entered);
        {
            AdjustmentDialog one(fx.ctx, s.session, 0);
            QVERIFY(one.start());
            one.resize(1280, 800);
            one.show();
            test::saveShot(&one, QStringLiteral("adjustment-one-tab"));
            QVERIFY(!one.tabBar()->isVisible());
            const int start = one.session().value();
            QTest::keyClick(one.valueSpin(), Qt::Key_Right);
            QTest::keyClick(one.valueSpin(), Qt::Key_Right);
            QTest::keyClick(one.valueSpin(), Qt::Key_Up); // the volume
            QCOMPARE(one.session().value(), start + 2);
            QCOMPARE(one.volumeSpin()->value(), comm::kEntryVolume + 1);
            // A typed value goes out as single steps at once.
            one.valueSpin()->setValue(start - 1);
            QCOMPARE(one.session().value(), start - 1);
            one.accept();
            const QStringList log = s.sim->log();
            QCOMPARE(log.filter(QStringLiteral("item 20 up")).size(), 2);
            QCOMPARE(log.filter(QStringLiteral("item 20 down")).size(), 3);
            QCOMPARE(log.last(), QStringLiteral("item 20 stopped"));
        }
        AdjustmentDialog four(fx.ctx, s.session, 8);
        QVERIFY(four.start());
        four.resize(1280, 800);
        four.show();
        test::saveShot(&four, QStringLiteral("adjustment-four-tabs"));
        QCOMPARE(four.tabBar()->count(), 4);
        QTest::keyClick(four.valueSpin(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(four.session().tab(), 1);
        QVERIFY(s.sim->log().contains(QStringLiteral("item 24 started")));
        four.reject();
        QVERIFY(!four.closesTestMode());
        QCOMPARE(s.sim->log().last(), QStringLiteral("item 24 stopped"));
        s.session.end();
    }

    void retryAfterALostStepEndsAtTheValue() {
        test::Fixture fx;
        // The radio leaves the third step frame of item 0 unanswered once.
        Session s(fx, {QStringLiteral("--drop-frame"), QStringLiteral("0x20:3")});
        if (s.sim->device.isEmpty()) QSKIP("velora-radio-sim is not built");
        QVERIFY(s.entered);
        AdjustmentDialog dlg(fx.ctx, s.session, 0);
        QVERIFY(dlg.start());
        dlg.show();
        const int start = dlg.session().value();
        fx.messenger.answers = {MsgAnswer::Retry};
        dlg.valueSpin()->setValue(start + 5);
        QCOMPARE(fx.messenger.ids(), std::vector<int>{209});
        QCOMPARE(dlg.session().value(), start + 5);
        QCOMPARE(dlg.valueSpin()->value(), start + 5);
        const QStringList log = s.sim->log();
        QCOMPARE(log.filter(QStringLiteral("item 20 up")).size(), 5);
        QCOMPARE(log.filter(QStringLiteral("item 20 up")).last(),
                 QStringLiteral("item 20 up to %1").arg(start + 5));
        dlg.accept();
        s.session.end();
    }
};

QTEST_MAIN(TestModeGuiTest)
#include "test_mode_gui_test.moc"
