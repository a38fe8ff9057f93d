// The Frequency Copy dialog stores the transmit frequency as the grid would store it when typed.
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "channels/CChInfoView.h"
#include "channels/ChannelGui.h"
#include "channels/CopyDialog.h"
#include "dataset/DataSetInit.h"
#include "forms/FilteredLineEdit.h"
#include "frame/MainFrame.h"
#include "grid/CMSFlexGrid.h"

using namespace velora;
using namespace velora::gui;
using namespace velora::channels;

class CopyDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void frequencyCopyStoresTheTypedTransmitFrequency_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("rx");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("low band") << 0 << 1 << "33.3"
                                  << "33.44"
                                  << "33.44000";
        QTest::newRow("VHF") << 1 << 4 << "151.8"
                             << "151.8125"
                             << "151.81250";
        QTest::newRow("UHF") << 2 << 6 << "462.5"
                             << "462.5625"
                             << "462.56250";
    }

    void frequencyCopyStoresTheTypedTransmitFrequency() {
        QFETCH(int, model);
        QFETCH(int, band);
        QFETCH(QString, rx);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        test::Fixture fx;
        auto id = ModelIdentification::defaults();
        id.setModelCode(std::size_t(model));
        id.setBandCode(kModel1, std::uint8_t(band));
        setIdentification(fx.doc.image(), id);
        fx.doc.image().resetKeepingIdentification();
        defaultInitialise(fx.doc, false, false);
        ChannelStore store(fx.doc, fx.texts);
        store.setChannelFieldText(rx.toStdString(), 0, 0, ChannelField::RxFrequency, nullptr);

        registerChannelViews(fx.registry);
        MainFrame frame(fx.ctx, fx.registry);
        frame.openEditor(cmd::kChannelInfo);
        CChInfoView* view = findChInfoView(frame);
        QVERIFY(view);
        view->setGroup(0);
        view->grid()->setCurrent(1, 1);
        {
            CopyDialog dlg(CopyDialogKind::FrequencyCopy, fx.ctx, frame, *view);
            dlg.edit(1)->selectAll();
            QTest::keyClicks(dlg.edit(1), typed);
            dlg.actionButton()->click();
        }
        QCOMPARE(
            QString::fromStdString(store.channelFieldText(0, 0, ChannelField::TxFrequency).text).trimmed(),
            stored);
        QVERIFY(fx.messenger.shown.empty());
    }
};

QTEST_MAIN(CopyDialogTest)
#include "copy_dialog_test.moc"
