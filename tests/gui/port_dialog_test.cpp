#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QTest>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "comm/CommPortDialog.h"

using namespace velora;
using namespace velora::gui;

namespace {
// The controlling side of a pseudo-terminal; its other side is a serial line to the port dialog.
struct Pty {
    Pty() {
        fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0) path = QString::fromLocal8Bit(ptsname(fd));
    }
    ~Pty() {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
    QString path;
};
} // namespace

class PortDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void enablesOnlyPortsWhoseDeviceIsASerialLine() {
        test::Fixture fx;
        Pty pty;
        QVERIFY(!pty.path.isEmpty());
        QTemporaryFile plain;
        QVERIFY(plain.open());
        fx.port.setDevicePath(5, pty.path.toStdString());
        fx.port.setDevicePath(6, plain.fileName().toStdString());
        fx.port.setDevicePath(7, "/nonexistent/tty");
        fx.port.setPortNumber(5);

        CommPortDialog dlg(fx.ctx, nullptr);
        QCOMPARE(dlg.windowTitle(), fx.text(178));
        QVERIFY(dlg.portButton(5)->isEnabled());
        QVERIFY(dlg.portButton(5)->isChecked());
        QVERIFY(!dlg.portButton(6)->isEnabled()); // opens, but is no serial line
        QVERIFY(!dlg.portButton(7)->isEnabled());
        QCOMPARE(dlg.pathEdit(5)->text(), pty.path);
        QCOMPARE(dlg.pathEdit(1)->placeholderText(), QStringLiteral("/dev/ttyUSB0"));
        test::saveShot(&dlg, QStringLiteral("port-dialog"));
    }

    void mappingAPortEnablesItAndOkStoresTheChoice() {
        test::Fixture fx;
        Pty pty;
        fx.port.setPortNumber(3);
        CommPortDialog dlg(fx.ctx, nullptr);
        QVERIFY(!dlg.portButton(9)->isEnabled());
        dlg.pathEdit(9)->setText(pty.path);
        emit dlg.pathEdit(9)->editingFinished();
        QVERIFY(dlg.portButton(9)->isEnabled());
        dlg.portButton(9)->click();
        dlg.closeDelayBox()->setChecked(true);
        dlg.accept();
        QCOMPARE(fx.port.portNumber(), 9);
        QVERIFY(fx.port.closeDelay());
        QCOMPARE(QString::fromStdString(fx.port.devicePath(9)), pty.path);
    }

    void missingRememberedPortKeepsItsNumber() {
        test::Fixture fx;
        fx.port.setDevicePath(4, "/nonexistent/tty");
        fx.port.setPortNumber(4);
        CommPortDialog dlg(fx.ctx, nullptr);
        for (int p = 1; p <= CommPortDialog::kPorts; ++p)
            QVERIFY(!dlg.portButton(p)->isChecked());
        dlg.accept();
        QCOMPARE(fx.port.portNumber(), 4);
    }
};

QTEST_MAIN(PortDialogTest)
#include "port_dialog_test.moc"
