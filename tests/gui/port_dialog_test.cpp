#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "base/PortMap.h"
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
        // Find radio must not reach the machine's own UARTs.
        for (int p = 11; p <= CommPortDialog::kPorts; ++p)
            fx.port.setDevicePath(p, "/nonexistent/ttyS" + std::to_string(p));
        CommPortDialog dlg(fx.ctx, nullptr);
        QVERIFY(!dlg.portButton(9)->isEnabled());
        dlg.pathEdit(9)->setText(pty.path);
        emit dlg.pathEdit(9)->editingFinished();
        QVERIFY(dlg.portButton(9)->isEnabled());
        QVERIFY(dlg.findResult()->text().isEmpty()); // nothing is sent until asked
        dlg.findChild<QPushButton*>(QStringLiteral("findRadio"))->click();
        QVERIFY(dlg.findResult()->text().contains(QStringLiteral("COM9: no radio answered")));
        dlg.portButton(9)->click();
        dlg.closeDelayBox()->setChecked(true);
        dlg.accept();
        QCOMPARE(fx.port.portNumber(), 9);
        QVERIFY(fx.port.closeDelay());
        QCOMPARE(QString::fromStdString(fx.port.devicePath(9)), pty.path);
    }

    // Opening a device raises its control lines; drawing the dialog must not disturb what is attached.
    // A FIFO's reading end sees a hang-up once any other opener has come and gone.
    void drawingTheDialogOpensNoDevice() {
        test::Fixture fx;
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("line")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        fx.port.setDevicePath(8, fifo.toStdString());
        CommPortDialog dlg(fx.ctx, nullptr);
        QVERIFY(!dlg.portButton(8)->isEnabled());
        pollfd p{reader, POLLIN, 0};
        QCOMPARE(::poll(&p, 1, 0), 0);
        ::close(reader);
    }

    // velora-cli reads the mapping without Qt; it must find what the application stored.
    void theStoredMappingIsWhatTheCoreReads() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("velora.conf"));
        const std::map<int, std::string> paths{{1, "/dev/ttyACM0"},
                                               {2, "/dev/serial/by-id/usb-Maker_A,B;C=D-if00"},
                                               {3, " @lead"},
                                               {20, "/dev/ü\\x"}};
        {
            QSettings s(file, QSettings::IniFormat);
            s.beginGroup(QStringLiteral("Ports"));
            for (const auto& [port, path] : paths)
                s.setValue(QString::fromStdString(settings::portKey(port)), QString::fromStdString(path));
        }
        std::map<int, std::string> trimmed = paths;
        trimmed[3] = "@lead"; // blanks around a path are not part of it
        QCOMPARE(settings::readPortMap(file.toStdString()), trimmed);
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
