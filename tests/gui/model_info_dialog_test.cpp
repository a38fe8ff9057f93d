#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "frame/MainFrame.h"
#include "frame/ModelInfoDialog.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::gui;

namespace {
struct Host : ModelChangeHost {
    int discardAsked = 0, closed = 0;
    bool confirmDiscard() override { return ++discardAsked, true; }
    void closeAllEditors() override { ++closed; }
};

void pick(QComboBox* box, int data) {
    int index = box->findData(data);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}
} // namespace

class ModelInfoDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDataSetsConfiguration() {
        test::Fixture fx;
        Host host;
        ModelInfoDialog dlg(fx.ctx, host, nullptr);
        QCOMPARE(dlg.windowTitle(), fx.text(141));
        auto* model1 = dlg.findChild<QComboBox*>(QStringLiteral("model1"));
        QCOMPARE(model1->currentText(), QStringLiteral("RM-420 [VHF]"));
        QCOMPARE(dlg.findChild<QComboBox*>(QStringLiteral("band1"))->count(), 2);
        QVERIFY(dlg.findChild<QRadioButton*>(QStringLiteral("singleHead"))->isChecked());
        QVERIFY(!dlg.findChild<QComboBox*>(QStringLiteral("head2Type"))->isEnabled());
        QVERIFY(!dlg.findChild<QComboBox*>(QStringLiteral("model2"))->isEnabled());
        QCOMPARE(dlg.findChild<QComboBox*>(QStringLiteral("model2"))->currentIndex(), -1);
    }

    void bandOnlyChangeLeavesTheDataSetUnmodified() {
        test::Fixture fx;
        Host host;
        ModelInfoDialog dlg(fx.ctx, host, nullptr);
        pick(dlg.findChild<QComboBox*>(QStringLiteral("band1")), 5);
        dlg.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(fx.messenger.shown.empty());
        QCOMPARE(identificationOf(fx.doc.image()).bandCode(kModel1), 5);
        QVERIFY(!fx.doc.isModified());
        QCOMPARE(host.discardAsked, 0);
    }

    void dualBandProposesTheOtherModelAndAsksBeforeReinitialising() {
        test::Fixture fx;
        Host host;
        ModelInfoDialog dlg(fx.ctx, host, nullptr);
        dlg.findChild<QRadioButton*>(QStringLiteral("dualBand"))->click();
        auto* model2 = dlg.findChild<QComboBox*>(QStringLiteral("model2"));
        QVERIFY(model2->isEnabled());
        QCOMPARE(model2->currentText(), QStringLiteral("RM-430 [UHF]"));
        QCOMPARE(dlg.findChild<QComboBox*>(QStringLiteral("model1"))->count(), 2);
        test::saveShot(&dlg, QStringLiteral("model-info"));

        fx.messenger.answers = {MsgAnswer::Cancel};
        dlg.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(fx.messenger.shown.at(0).text, fx.text(219).toStdString());
        QVERIFY(!identificationOf(fx.doc.image()).isDualBand()); // cancelled: dialog stays, nothing changed
        QCOMPARE(host.closed, 0);

        dlg.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(host.discardAsked, 1);
        QVERIFY(identificationOf(fx.doc.image()).isDualBand());
    }

    // From the main window's Model command, with the frame's own discard question and editors.
    void bandChangeFromTheFrameKeepsTheEditsAndRetitles() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), 0x1800, 0x12);
        QTimer::singleShot(0, &frame, [&] {
            auto* dlg = frame.findChild<ModelInfoDialog*>();
            QVERIFY(dlg);
            pick(dlg->findChild<QComboBox*>(QStringLiteral("band1")), 5);
            dlg->findChild<QPushButton*>(QStringLiteral("ok"))->click();
        });
        frame.runCommand(cmd::kModelInfo);
        QVERIFY(fx.messenger.shown.empty());
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0x12});
        QVERIFY(frame.windowTitle().startsWith(QStringLiteral("VELORA  [ RM-420 VHF : 136-156 MHz (K2) ]")));
    }

    void modelChangeFromTheFrameAsksAndReinitialises() {
        test::Fixture fx;
        fx.registry.addEditor(cmd::kChannelInfo, [](AppContext&, EditorHost&) {
            return new test::DummyView(QStringLiteral("ch"));
        });
        fx.registry.addEditor(cmd::kKeyAssignment, [](AppContext&, EditorHost&) {
            return new test::DummyView(QStringLiteral("keys"));
        });
        MainFrame frame(fx.ctx, fx.registry);
        frame.runCommand(cmd::kKeyAssignment);
        setByte(fx.doc.image().main(), 0x1800, 0x12);
        auto changeModel = [&] {
            auto* dlg = frame.findChild<ModelInfoDialog*>();
            QVERIFY(dlg);
            auto* model1 = dlg->findChild<QComboBox*>(QStringLiteral("model1"));
            const int uhf = model1->findText(QStringLiteral("RM-430 [UHF]"));
            QVERIFY(uhf >= 0);
            model1->setCurrentIndex(uhf);
            emit model1->activated(uhf);
            dlg->findChild<QPushButton*>(QStringLiteral("ok"))->click();
            if (dlg->isVisible()) dlg->reject(); // cancelled: the dialog stays until closed
        };

        fx.messenger.answers = {MsgAnswer::Cancel};
        QTimer::singleShot(0, &frame, changeModel);
        frame.runCommand(cmd::kModelInfo);
        QCOMPARE(fx.messenger.shown.size(), 1u);
        QCOMPARE(fx.messenger.shown[0].text, fx.text(219).toStdString());
        QCOMPARE(fx.messenger.shown[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0x12});
        QVERIFY(frame.windowTitle().startsWith(QStringLiteral("VELORA  [ RM-420 ")));
        QVERIFY(frame.editorWindow(cmd::kKeyAssignment));

        fx.messenger.shown.clear();
        fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::No}; // fresh data set; discard the edit
        QTimer::singleShot(0, &frame, changeModel);
        frame.runCommand(cmd::kModelInfo);
        QCOMPARE(fx.messenger.shown.size(), 2u);
        QCOMPARE(fx.messenger.shown[0].text, fx.text(219).toStdString());
        QCOMPARE(fx.messenger.shown[1].buttons, MsgButtons::YesNoCancel); // the unsaved edit
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0xFF});
        QVERIFY(!fx.doc.isModified());
        QVERIFY(frame.windowTitle().startsWith(QStringLiteral("VELORA  [ RM-430 ")));
        QVERIFY(!frame.editorWindow(cmd::kKeyAssignment));
        QVERIFY(frame.editorWindow(cmd::kChannelInfo));
    }
};

QTEST_MAIN(ModelInfoDialogTest)
#include "model_info_dialog_test.moc"
