#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
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
};

QTEST_MAIN(ModelInfoDialogTest)
#include "model_info_dialog_test.moc"
