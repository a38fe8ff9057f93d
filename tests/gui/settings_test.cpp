#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "GuiTestSupport.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"
#include "views/AppSettings.h"

using namespace velora;
using namespace velora::gui;

class SettingsTest : public QObject {
    Q_OBJECT

    static void put(const QString& group, const QString& key, const QVariant& v) {
        QSettings s(QStringLiteral("HALCYON"), QStringLiteral("velora-guitest"));
        s.beginGroup(group);
        s.setValue(key, v);
    }

  private slots:
    void init() {
        QSettings s(QStringLiteral("HALCYON"), QStringLiteral("velora-guitest"));
        s.clear();
    }

    void unusableValuesGiveTheDefaults() {
        put(QStringLiteral("Backup"), QStringLiteral("ComPort"), QStringLiteral("21"));
        put(QStringLiteral("Backup"), QStringLiteral("ComCloseDelay"), QStringLiteral("yes"));
        put(QStringLiteral("Backup"), QStringLiteral("LastModel"), QStringLiteral("51:30:31:33:30:06:F0"));
        put(QStringLiteral("Backup"), QStringLiteral("LastModel2"), QStringLiteral("0F:F0"));
        test::Fixture fx;
        fx.doc.image().reset();
        AppSettings settings(QStringLiteral("velora-guitest"));
        QVERIFY(!settings.readStartup(fx.doc, fx.port, QStringLiteral("/nonexistent")));
        QCOMPARE(fx.port.portNumber(), 1);
        QVERIFY(!fx.port.closeDelay());
        QVERIFY(fx.doc.folder().ends_with('/'));
    }

    void whatExitWritesStartUpReadsBack() {
        test::Fixture fx;
        auto id = ModelIdentification::defaults();
        id.setModelCode(2);
        id.setBandCode(kModel1, 7);
        setIdentification(fx.doc.image(), id);
        fx.port.setPortNumber(7);
        fx.port.setCloseDelay(true);
        fx.port.setDevicePath(7, "/dev/ttyACM0");
        fx.doc.setFolder("/tmp/radios/");
        AppSettings(QStringLiteral("velora-guitest")).writeExit(fx.doc, fx.port);

        test::Fixture again;
        again.doc.image().reset();
        QVERIFY(AppSettings(QStringLiteral("velora-guitest"))
                    .readStartup(again.doc, again.port, QStringLiteral("/")));
        QCOMPARE(identificationOf(again.doc.image()).modelCode(), std::string("Q0130"));
        QCOMPARE(identificationOf(again.doc.image()).bandCode(kModel1), 7);
        QCOMPARE(again.port.portNumber(), 7);
        QVERIFY(again.port.closeDelay());
        QCOMPARE(again.port.devicePath(7), std::string("/dev/ttyACM0"));
        QCOMPARE(again.doc.folder(), std::string("/tmp/radios/"));

        // A later exit that changes only some values still stores each change, mapping removals too.
        fx.port.setPortNumber(2);
        fx.port.setDevicePath(7, "");
        fx.port.setDevicePath(2, "/dev/ttyUSB0");
        AppSettings(QStringLiteral("velora-guitest")).writeExit(fx.doc, fx.port);
        test::Fixture third;
        AppSettings(QStringLiteral("velora-guitest")).readStartup(third.doc, third.port, QStringLiteral("/"));
        QCOMPARE(third.port.portNumber(), 2);
        QVERIFY(!third.port.devicePaths().contains(7));
        QCOMPARE(third.port.devicePath(2), std::string("/dev/ttyUSB0"));
        QVERIFY(third.port.closeDelay());
        fx.port.setDevicePath(2, "/dev/ttyUSB1");
        AppSettings(QStringLiteral("velora-guitest")).writeExit(fx.doc, fx.port);
        AppSettings(QStringLiteral("velora-guitest")).readStartup(third.doc, third.port, QStringLiteral("/"));
        QCOMPARE(third.port.devicePath(2), std::string("/dev/ttyUSB1"));
    }

    void placementFromAVanishedScreenIsBroughtBack() {
        put(QStringLiteral("Backup"), QStringLiteral("LastWinPos"),
            QStringLiteral("0:1:-1:-1:-1:-1:6000:5000:6700:5500"));
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.restorePlacement();
        const QRect area = f.screen()->availableGeometry();
        QVERIFY(area.contains(f.geometry().topLeft()));
        QCOMPARE(f.geometry().size(), QSize(700, 500));
    }

    void noPlacementMeansMaximised() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.restorePlacement();
        QVERIFY(f.isMaximized());
    }

    void confirmedExitStoresThePlacement() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.setGeometry(40, 50, 640, 480);
        f.show();
        QVERIFY(f.close());
        auto p = AppSettings(QStringLiteral("velora-guitest")).windowPlacement();
        QVERIFY(p);
        QCOMPARE(p->showState, settings::kShowNormal);
        QCOMPARE(p->right - p->left, 640);
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
