// The File commands and the exit question as the main window runs them: which questions come in
// which order, and what is left on disk and in the data set after each answer.
#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "views/QtMessenger.h"
#include "base/FrameCommands.h"
#include "channels/CChInfoView.h"
#include "comm/TransferDialog.h"
#include "features/ScanInfo.h"
#include "forms/CFormView.h"
#include "forms/FilteredLineEdit.h"
#include "frame/MainFrame.h"
#include "grid/CMSFlexGrid.h"
#include "model/DataFile.h"

using namespace velora;
using namespace velora::gui;

namespace {
constexpr std::size_t kMarker = 0x1800; // first byte of the channel record pool, 0xFF by default

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Byte markerIn(const QString& path) {
    MemoryImage image;
    if (!readDataFile(image, path.toStdString()).ok()) return 0;
    return byteAt(image.staging().main, kMarker);
}
} // namespace

class FileCommandsGuiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // A data file of the fixture's model carrying `marker`.
    QString dataFile(test::Fixture& fx, const char* name, Byte marker) {
        MemoryImage copy;
        copy.working() = fx.doc.image().working();
        setByte(copy.main(), kMarker, marker);
        writeDataFile(copy, path(name).toStdString());
        return path(name);
    }

    static void choose(MainFrame& f, std::optional<QString> open, std::optional<QString> save) {
        auto toStd = [](const std::optional<QString>& p) {
            return p ? std::optional<std::string>(p->toStdString()) : std::nullopt;
        };
        f.setFileChoosers([=](const std::string&) { return toStd(open); },
                          [=](const std::string&, const std::string&) { return toStd(save); });
    }

    static std::string saveChangesText(test::Fixture& fx, const char* name) {
        return fx.text(216).toStdString() + " \"" + name + "\" ?";
    }

  private slots:
    void init() { QSettings(QStringLiteral("HALCYON"), QStringLiteral("velora-guitest")).clear(); }

    void exitIsAskedTwiceAndOnlyYesThenNoEnds() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.show();
        setByte(fx.doc.image().main(), kMarker, 0x12);

        fx.messenger.answers = {MsgAnswer::No};
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(fx.messenger.ids(), std::vector<int>{138}); // No: not even the save question
        QCOMPARE(fx.messenger.shown[0].caption, fx.text(139).toStdString());
        QCOMPARE(fx.messenger.shown[0].buttons, MsgButtons::YesNo);

        fx.messenger.shown.clear();
        fx.messenger.answers = {MsgAnswer::Yes, MsgAnswer::Cancel};
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(fx.messenger.shown.size(), 2u);
        QCOMPARE(fx.messenger.shown[1].text, saveChangesText(fx, "velora.dat"));
        QCOMPARE(fx.messenger.shown[1].buttons, MsgButtons::YesNoCancel);
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12});
        QVERIFY(fx.doc.isModified());
        QCOMPARE(fx.doc.fileName(), std::string("velora.dat"));
        QVERIFY(!QSettings(QStringLiteral("HALCYON"), QStringLiteral("velora-guitest"))
                     .contains(QStringLiteral("Backup/LastWinPos")));

        fx.messenger.answers = {MsgAnswer::Yes, MsgAnswer::No};
        QVERIFY(f.close());
        QVERIFY(!f.isVisible());
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12}); // discarded, not reset
        QVERIFY(QSettings(QStringLiteral("HALCYON"), QStringLiteral("velora-guitest"))
                    .contains(QStringLiteral("Backup/LastWinPos")));
    }

    // As the user does it: Yes to both questions, then Escape in the real file dialog keeps the
    // program open with the edit.
    void exitWithKeysStopsWhenTheFileDialogIsLeft() {
        test::Fixture fx;
        QtMessenger real;
        fx.messenger.forward = &real;
        MainFrame f(fx.ctx, fx.registry);
        f.show();
        setByte(fx.doc.image().main(), kMarker, 0x12);
        const std::pair<const char*, Qt::Key> steps[] = {
            {"QMessageBox", Qt::Key_Y}, {"QMessageBox", Qt::Key_Y}, {"QFileDialog", Qt::Key_Escape}};
        QStringList seen;
        QPointer<QWidget> last;
        QTimer keys;
        connect(&keys, &QTimer::timeout, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w == last || seen.size() == qsizetype(std::size(steps))) return;
            last = w;
            seen << QString::fromLatin1(w->metaObject()->className());
            QTest::keyClick(w, steps[seen.size() - 1].second);
        });
        keys.start(20);
        QVERIFY(!f.close());
        keys.stop();
        QCOMPARE(seen, (QStringList{QStringLiteral("QMessageBox"), QStringLiteral("QMessageBox"),
                                    QStringLiteral("QFileDialog")}));
        QCOMPARE(fx.messenger.ids(), (std::vector<int>{138, -1}));
        QVERIFY(f.isVisible());
        QVERIFY(fx.doc.isModified());
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12});
    }

    void saveWritesTheCurrentFileAndAsksBeforeReplacingIt() {
        test::Fixture fx;
        fx.doc.setFolder(dir.path().toStdString() + "/");
        QFile::remove(path("velora.dat"));
        MainFrame f(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), kMarker, 0x21);
        f.runCommand(cmd::kSave); // never saved: no question
        QVERIFY(fx.messenger.shown.empty());
        QCOMPARE(markerIn(path("velora.dat")), Byte{0x21});
        QVERIFY(!fx.doc.isModified());

        setByte(fx.doc.image().main(), kMarker, 0x22);
        const QByteArray before = contents(path("velora.dat"));
        fx.messenger.answers = {MsgAnswer::Cancel};
        f.runCommand(cmd::kSave);
        QCOMPARE(fx.messenger.shown.size(), 1u);
        const Message& ask = fx.messenger.shown[0];
        QCOMPARE(ask.text,
                 fx.text(217).toStdString() + "\n\n" + fx.text(218).toStdString() + " : velora.dat");
        QCOMPARE(ask.caption, fx.text(205).toStdString());
        QCOMPARE(ask.buttons, MsgButtons::OkCancel);
        QVERIFY(ask.defaultCancel);
        QCOMPARE(contents(path("velora.dat")), before);
        QVERIFY(fx.doc.isModified());

        fx.messenger.answers = {MsgAnswer::Ok};
        f.runCommand(cmd::kSave);
        QCOMPARE(markerIn(path("velora.dat")), Byte{0x22});
        QVERIFY(!fx.doc.isModified());
    }

    void saveAsThatCannotWriteShowsTheSystemsReason() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        const QString title = f.windowTitle();
        setByte(fx.doc.image().main(), kMarker, 0x31);
        choose(f, std::nullopt, path("no-such-folder/fleet.dat"));
        f.runCommand(cmd::kSaveAs);
        QCOMPARE(fx.messenger.shown.size(), 1u);
        QCOMPARE(fx.messenger.shown[0].text, std::string(std::strerror(ENOENT)));
        QCOMPARE(fx.messenger.shown[0].caption, fx.text(204).toStdString());
        QCOMPARE(fx.messenger.shown[0].icon, MsgIcon::Error);
        QVERIFY(fx.doc.isModified());
        QCOMPARE(f.windowTitle(), title);
        QVERIFY(!QFile::exists(path("no-such-folder/fleet.dat")));
    }

    // Yes in the save question runs Save As; leaving its file dialog cancels Open.
    void openAfterSaveQuestion() {
        test::Fixture fx;
        const QString source = dataFile(fx, "source.dat", 0x44);
        MainFrame f(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), kMarker, 0x12);

        choose(f, source, std::nullopt);
        fx.messenger.answers = {MsgAnswer::Yes};
        f.runCommand(cmd::kOpen);
        QCOMPARE(fx.messenger.shown.at(0).text, saveChangesText(fx, "velora.dat"));
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12});
        QCOMPARE(fx.doc.fileName(), std::string("velora.dat"));
        QVERIFY(fx.doc.isModified());

        // Yes with a file chosen saves the edit there before the other file comes in.
        setByte(fx.doc.image().main(), kMarker, 0x13);
        const QString other = dataFile(fx, "other.dat", 0x55);
        choose(f, other, path("kept.dat"));
        fx.messenger.answers = {MsgAnswer::Yes};
        f.runCommand(cmd::kOpen);
        QCOMPARE(markerIn(path("kept.dat")), Byte{0x13});
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x55});

        // Cancel in the save question: no file dialog, nothing loaded.
        setByte(fx.doc.image().main(), kMarker, 0x14);
        bool asked = false;
        f.setFileChoosers([&](const std::string&) { return asked = true, std::optional<std::string>(); }, {});
        fx.messenger.answers = {MsgAnswer::Cancel};
        f.runCommand(cmd::kOpen);
        QVERIFY(!asked);
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x14});
    }

    void openThatFailsLeavesTheDataSet_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("text");
        QTest::newRow("cannot be opened (status 1)") << QStringLiteral("missing.dat") << 207;
        QTest::newRow("not a data file (status 2)") << QStringLiteral("notes.dat") << 220;
    }

    void openThatFailsLeavesTheDataSet() {
        QFETCH(QString, file);
        QFETCH(int, text);
        QFile notes(path("notes.dat"));
        QVERIFY(notes.open(QIODevice::WriteOnly | QIODevice::Truncate));
        notes.write(QByteArray(30000, 'x'));
        notes.close();

        test::Fixture fx;
        fx.doc.setFolder("/home/user/radios/");
        MainFrame f(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), kMarker, 0x12);
        const QString title = f.windowTitle();
        choose(f, dir.filePath(file), std::nullopt);
        fx.messenger.answers = {MsgAnswer::No}; // discard the edit
        f.runCommand(cmd::kOpen);
        QCOMPARE(fx.messenger.ids(), (std::vector<int>{-1, text}));
        QCOMPARE(fx.messenger.shown[1].caption, fx.text(204).toStdString());
        QCOMPARE(fx.messenger.shown[1].icon, MsgIcon::Error);
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12});
        QVERIFY(fx.doc.isModified());
        QCOMPARE(fx.doc.fileName(), std::string("velora.dat"));
        QCOMPARE(fx.doc.folder(), std::string("/home/user/radios/"));
        QCOMPARE(f.windowTitle(), title);
    }

    // New keeps the model but drops every edit and closes the editors.
    void newDataSetKeepsTheModel() {
        test::Fixture fx;
        fx.makeDualBand();
        fx.registry.addEditor(cmd::kKeyAssignment, [](AppContext&, EditorHost&) {
            return new test::DummyView(QStringLiteral("keys"));
        });
        MainFrame f(fx.ctx, fx.registry);
        f.runCommand(cmd::kKeyAssignment);
        const QString title = f.windowTitle();
        fx.doc.setFileName("fleet.dat");
        setByte(fx.doc.image().main(), kMarker, 0x12);
        fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::No};
        f.runCommand(cmd::kNew);
        QCOMPARE(fx.messenger.shown.at(1).text, saveChangesText(fx, "fleet.dat"));
        QVERIFY(!f.editorWindow(cmd::kKeyAssignment));
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0xFF});
        QVERIFY(fx.ctx.dualBand());
        QCOMPARE(f.windowTitle(), title);
        QVERIFY(!fx.doc.isModified());
    }

    void readFromRadioOffersToSaveUnsavedEditsFirst() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), kMarker, 0x12);
        bool dialogOpened = false;
        QTimer::singleShot(0, &f, [&] {
            if (auto* dlg = f.findChild<TransferDialog*>()) {
                dialogOpened = true;
                dlg->reject();
            }
        });
        fx.messenger.answers = {MsgAnswer::Cancel};
        f.runCommand(cmd::kReadRadio);
        QCOMPARE(fx.messenger.shown.size(), 1u);
        QCOMPARE(fx.messenger.shown[0].text, saveChangesText(fx, "velora.dat"));
        QVERIFY2(!dialogOpened, "Cancel keeps the edits and reads nothing");
        QCOMPARE(byteAt(fx.doc.image().main(), kMarker), Byte{0x12});
    }

    // Ctrl+S while a typed entry is still open in its editor saves the entry too.
    void saveTakesWhatTheOpenEditorShows() {
        struct Case {
            const char* editor;
            int command;
            std::function<void(QWidget* view)> type;
        } cases[] = {
            {"form field", cmd::kScanInfo,
             [](QWidget* view) {
                 auto* dwell = static_cast<CFormView*>(view)->lineEdit(0, forms::scan::kDwell);
                 const QString typed =
                     dwell->text() == QStringLiteral("2.0") ? QStringLiteral("3") : QStringLiteral("2");
                 dwell->setFocus();
                 QTest::keyClick(dwell, Qt::Key_A, Qt::ControlModifier);
                 QTest::keyClicks(dwell, typed);
             }},
            {"grid cell", cmd::kChannelInfo,
             [](QWidget* view) {
                 CMSFlexGrid* grid = static_cast<CChInfoView*>(view)->grid();
                 grid->setCurrent(3, channels::kColRx);
                 grid->setFocus();
                 QTest::keyClick(grid, Qt::Key_1);
                 QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("50.125"));
             }},
        };
        for (const Case& c : cases) {
            test::Fixture fx;
            fx.doc.setFolder(dir.path().toStdString() + "/");
            QFile::remove(path("velora.dat"));
            registerFeatures(fx.registry);
            MainFrame f(fx.ctx, fx.registry);
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QApplication::setActiveWindow(&f);
            f.runCommand(c.command);
            QCoreApplication::processEvents();
            const ImageCopy before = fx.doc.image().working();
            c.type(f.editorWindow(c.command)->widget());
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_S));
            QVERIFY2(!(fx.doc.image().working() == before), c.editor);
            MemoryImage saved;
            QVERIFY(readDataFile(saved, path("velora.dat").toStdString()).ok());
            QVERIFY2(saved.staging().main == fx.doc.image().working().main, c.editor);
            QVERIFY2(!fx.doc.isModified(), c.editor);
        }
    }

    void dualBandTitleNamesBothModels() {
        test::Fixture fx;
        fx.makeDualBand();
        MainFrame f(fx.ctx, fx.registry);
        QCOMPARE(f.windowTitle(),
                 QStringLiteral("VELORA  [ RM-420 VHF : 148-174 MHz (K) ] [ RM-430 UHF : 450-490 MHz (K) ] "
                                "[ %1 : velora.dat ]")
                     .arg(fx.text(96)));
    }
};

QTEST_MAIN(FileCommandsGuiTest)
#include "file_commands_gui_test.moc"
