// The application's start-up as main() runs it, with a recording message sink and language-file
// folders of the test's own.
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/Startup.h"
#include "base/FrameCommands.h"
#include "base/LanguageFile.h"
#include "frame/MainFrame.h"
#include "model/DataFile.h"

using namespace velora;
using namespace velora::gui;

namespace {
const QString kRealLanguageFile = QStringLiteral(VELORA_BIN_DIR "/velora.lng");

// The settings the run reads and writes: organisation "HALCYON", application this program's name.
QString settingsFile() {
    return QSettings(QStringLiteral("HALCYON"),
                     QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
        .fileName();
}

// Ends the event loop if a test leaves it running, so a fault fails instead of hanging.
struct Watchdog {
    Watchdog() {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        timer.start(15000);
    }
    QTimer timer;
};
} // namespace

class StartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    int start(test::Recorder& sink, QStringList args, std::function<void(QWidget*)> created = {}) {
        args.prepend(QStringLiteral("velora"));
        std::vector<QByteArray> bytes;
        std::vector<char*> argv;
        for (const auto& a : args)
            bytes.push_back(a.toLocal8Bit());
        for (auto& b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        StartupEnvironment env{sink, {dir.path().toStdString()}, std::move(created)};
        return startApplication(int(args.size()), argv.data(), env);
    }

    void writeLanguageFile(const QByteArray& content) {
        QFile f(dir.filePath(QStringLiteral("velora.lng")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    static QByteArray realLanguageFile() {
        QFile f(kRealLanguageFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void verifyFailureBox(const test::Recorder& sink, std::string_view text) {
        QCOMPARE(sink.shown.size(), 1u);
        const Message& m = sink.shown.front();
        QCOMPARE(m.text, std::string(text));
        QCOMPARE(m.caption, std::string("VELORA"));
        QCOMPARE(m.icon, MsgIcon::Error);
        QCOMPARE(m.buttons, MsgButtons::Ok);
    }

  private slots:
    void init() {
        QFile::remove(settingsFile());
        QFile::remove(dir.filePath(QStringLiteral("velora.lng")));
    }

    void languageFileThatCannotBeFoundEndsStartUp() {
        test::Recorder sink;
        bool windowMade = false;
        const int rc = start(sink, {QStringLiteral("-nosplash")}, [&](QWidget*) { windowMade = true; });
        QVERIFY(rc != 0);
        verifyFailureBox(sink, "Can't read language file.  Please install this software again.");
        QVERIFY(!windowMade);
        QVERIFY(!QFileInfo::exists(settingsFile()));
    }

    void damagedLanguageFileEndsStartUp_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray real = realLanguageFile();
        QVERIFY(!real.isEmpty());
        QTest::newRow("a 557th text") << real + QByteArray("\0extra\n", 7);
        QTest::newRow("one text short") << real.left(real.lastIndexOf('\0'));
        QTest::newRow("empty") << QByteArray();
    }

    void damagedLanguageFileEndsStartUp() {
        QFETCH(QByteArray, content);
        writeLanguageFile(content);
        test::Recorder sink;
        bool windowMade = false;
        const int rc = start(sink, {QStringLiteral("-nosplash")}, [&](QWidget*) { windowMade = true; });
        QVERIFY(rc != 0);
        verifyFailureBox(sink, "Language file has been damaged.  Please install this software again.");
        QVERIFY(!windowMade);
        QVERIFY(!QFileInfo::exists(settingsFile()));
    }

    // A complete run: the maximised main window with the first editor, the exit question, and the
    // settings written at the end.
    void goodLanguageFileBringsUpTheMainWindow() {
        writeLanguageFile(realLanguageFile());
        test::Recorder sink;
        Watchdog watchdog;
        QPointer<MainFrame> frame;
        QString title;
        bool maximised = false, channelInfoOpen = false, closed = false, named = false;
        auto look = [&] {
            title = frame->windowTitle();
            maximised = frame->isMaximized();
            channelInfoOpen = frame->editorWindow(cmd::kChannelInfo) != nullptr;
            // The application names its controls for screen readers.
            named = channelInfoOpen;
            for (auto* w : frame->editorWindow(cmd::kChannelInfo)->findChildren<QPushButton*>())
                named = named && (!w->isVisible() || !w->accessibleName().isEmpty());
            test::saveShot(frame, QStringLiteral("app-main"));
            closed = frame->close(); // the exit question is answered Yes
            if (closed) QCoreApplication::exit(0);
        };
        const int rc = start(sink, {QStringLiteral("-nosplash")}, [&](QWidget* w) {
            frame = qobject_cast<MainFrame*>(w);
            // Two turns of the event loop: the first editor is opened by a command posted after this.
            QTimer::singleShot(0, w, [&] { QTimer::singleShot(0, frame, look); });
        });
        QCOMPARE(rc, 0);
        QVERIFY(closed);
        QVERIFY(maximised);
        QVERIFY(channelInfoOpen);
        QVERIFY(named);
        QVERIFY(title.startsWith(QStringLiteral("VELORA  [ ")));
        QVERIFY(title.endsWith(QStringLiteral(" : velora.dat ]")));
        QCOMPARE(sink.ids(), std::vector<int>{138});

        QSettings s(settingsFile(), QSettings::NativeFormat);
        s.beginGroup(QStringLiteral("Backup"));
        QVERIFY(s.contains(QStringLiteral("LastModel")));
        QVERIFY(s.contains(QStringLiteral("LastModel2")));
        QCOMPARE(s.value(QStringLiteral("ComPort")).toInt(), 1);
        QVERIFY(s.contains(QStringLiteral("LastWinPos")));
    }

    // A data file named on the command line (as the desktop entry passes it) opens in place of the
    // default data set and heads File > Recent Files.
    void aDataFileNamedOnTheCommandLineOpens() {
        writeLanguageFile(realLanguageFile());
        test::Fixture fx;
        const QString path = dir.filePath(QStringLiteral("customer 7.dat"));
        QCOMPARE(writeDataFile(fx.doc.image(), path.toStdString()).status, DataFileStatus::Ok);
        test::Recorder sink;
        Watchdog watchdog;
        QPointer<MainFrame> frame;
        QString title;
        bool channelInfoOpen = false;
        const int rc = start(sink, {QStringLiteral("-nosplash"), path}, [&](QWidget* w) {
            frame = qobject_cast<MainFrame*>(w);
            QTimer::singleShot(0, w, [&] {
                QTimer::singleShot(0, frame, [&] {
                    title = frame->windowTitle();
                    channelInfoOpen = frame->editorWindow(cmd::kChannelInfo) != nullptr;
                    if (frame->close()) QCoreApplication::exit(0);
                });
            });
        });
        QCOMPARE(rc, 0);
        QVERIFY2(title.endsWith(QStringLiteral(" : customer 7.dat ]")), qPrintable(title));
        QVERIFY(channelInfoOpen);
        QSettings s(settingsFile(), QSettings::NativeFormat);
        QCOMPARE(s.value(QStringLiteral("Backup/RecentFiles")).toStringList(), QStringList{path});
    }

    // The measuring switch ends the run by itself, without the exit question, once the window is up.
    void startupProbeEndsWithoutAsking() {
        writeLanguageFile(realLanguageFile());
        test::Recorder sink;
        Watchdog watchdog;
        bool windowMade = false;
        const int rc = start(sink, {QStringLiteral("-nosplash"), QStringLiteral("--startup-probe")},
                             [&](QWidget*) { windowMade = true; });
        QCOMPARE(rc, 0);
        QVERIFY(windowMade);
        QVERIFY(sink.shown.empty());
        QSettings s(settingsFile(), QSettings::NativeFormat);
        QVERIFY(s.contains(QStringLiteral("Backup/LastModel")));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
