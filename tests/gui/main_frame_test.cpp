#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "GuiTestSupport.h"
#include "app/SplashWindow.h"
#include "base/FrameCommands.h"
#include "channels/ChannelStore.h"
#include "frame/AboutDialog.h"
#include "frame/ChannelCsvDialogs.h"
#include "frame/CompareDialog.h"
#include "frame/MainFrame.h"
#include "frame/NavigationTree.h"
#include "model/DataFile.h"
#include "print/ReportPrinting.h"
#include "views/HelpWindow.h"
#include <QFileInfo>
#include <QTemporaryDir>

using namespace velora;
using namespace velora::gui;

class MainFrameTest : public QObject {
    Q_OBJECT

    static QMenu* menuTitled(MainFrame& f, const QString& title) {
        for (auto* a : f.menuBar()->actions())
            if (a->text() == title) return a->menu();
        return nullptr;
    }
    static QStringList itemTexts(QMenu* m) {
        QStringList out;
        for (auto* a : m->actions())
            if (!a->isSeparator()) out << a->text();
        return out;
    }
    // Without the access keys, which the frame moves where two items of a menu share one.
    static QStringList plain(QStringList texts) {
        for (QString& t : texts)
            t.remove(QLatin1Char('&'));
        return texts;
    }
    static void registerAll(test::Fixture& fx) {
        for (const auto& e : editorList())
            fx.registry.addEditor(e.command, [&fx, e](AppContext&, EditorHost&) {
                return new test::DummyView(fx.text(e.treeText));
            });
        fx.registry.addCommand(cmd::kTestMode, [](AppContext&, EditorHost&) {});
    }

  private slots:
    void menusCarryLanguageTexts() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        QStringList tops;
        for (auto* a : f.menuBar()->actions())
            tops << a->text();
        QCOMPARE(tops, (QStringList{fx.text(30), fx.text(39), fx.text(42), fx.text(59), fx.text(66),
                                    fx.text(68), fx.text(78)}));
        QCOMPARE(plain(itemTexts(menuTitled(f, fx.text(30)))),
                 plain({fx.text(31), fx.text(32), fx.text(kTextCompareMenu), fx.text(kTextHistoryMenu),
                        fx.text(33), fx.text(34), fx.text(kTextImportChannels), fx.text(kTextExportChannels),
                        fx.text(35), fx.text(36), fx.text(kTextExportPdf), fx.text(685),
                        fx.text(38)}));
        QCOMPARE(itemTexts(menuTitled(f, fx.text(59))),
                 (QStringList{fx.text(60), fx.text(61), fx.text(614), fx.text(62), fx.text(63)}));
        QCOMPARE(f.action(cmd::kNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(f.action(cmd::kReadRadio)->toolTip(), fx.text(90));
        QVERIFY(f.findChild<QToolBar*>(QStringLiteral("toolBar"))->actions().contains(f.action(cmd::kAbout)));
    }

    void editorsWithoutAViewAreListedButDisabled() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        auto edit = itemTexts(menuTitled(f, fx.text(42)));
        QCOMPARE(edit.size(), 15); // Undo, Redo and the editors; single band: no repeater list
        QCOMPARE(edit.at(0), fx.text(572));
        QCOMPARE(edit.at(2), fx.text(56));
        QVERIFY(!edit.contains(fx.text(55)));
        QVERIFY(!f.action(cmd::kChannelInfo)->isEnabled());
        QVERIFY(!f.action(cmd::kPrint)->isEnabled());
        QVERIFY(f.action(cmd::kModelInfo)->isEnabled());
    }

    void dualBandEnablesRepeaterListAndDisablesTestMode() {
        test::Fixture fx;
        registerAll(fx);
        {
            MainFrame single(fx.ctx, fx.registry);
            QVERIFY(single.action(cmd::kTestMode)->isEnabled());
            QVERIFY(!single.action(cmd::kRepeaterList)->isEnabled());
        }
        fx.makeDualBand();
        MainFrame f(fx.ctx, fx.registry);
        QVERIFY(itemTexts(menuTitled(f, fx.text(42))).contains(fx.text(55)));
        QVERIFY(f.action(cmd::kRepeaterList)->isEnabled());
        QVERIFY(!f.action(cmd::kTestMode)->isEnabled());
        QVERIFY(f.windowTitle().contains(QStringLiteral("RM-420")));
        QVERIFY(f.windowTitle().contains(QStringLiteral("RM-430")));
    }

    void everyMenuItemHasAnAccessKeyOfItsOwn() {
        for (const bool dual : {false, true}) {
            test::Fixture fx;
            registerAll(fx);
            if (dual) fx.makeDualBand();
            MainFrame f(fx.ctx, fx.registry);
            f.runCommand(cmd::kChannelInfo); // brings the Window menu
            QVERIFY(menuTitled(f, fx.text(72)));
            for (QAction* top : f.menuBar()->actions()) {
                top->menu()->popup(QPoint(0, 0));
                test::saveShot(top->menu(), QStringLiteral("menu-%1-%2")
                                                .arg(top->text().remove(QLatin1Char('&')))
                                                .arg(dual ? "dual" : "single"));
                top->menu()->hide();
                QSet<QKeySequence> keys;
                for (const QString& t : itemTexts(top->menu())) {
                    const QKeySequence key = QKeySequence::mnemonic(t);
                    QVERIFY2(!key.isEmpty() && !keys.contains(key),
                             qPrintable(top->text() + QStringLiteral(": ") + t));
                    keys.insert(key);
                }
            }
        }
    }

    void titleNamesModelAndFile() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        QCOMPARE(
            f.windowTitle(),
            QStringLiteral("VELORA  [ RM-420 VHF : 148-174 MHz (K) ] [ %1 : velora.dat ]").arg(fx.text(96)));
    }

    void editorOpensOnceAndBringsTheWindowMenu() {
        test::Fixture fx;
        registerAll(fx);
        MainFrame f(fx.ctx, fx.registry);
        QVERIFY(!menuTitled(f, fx.text(72)));
        f.runCommand(cmd::kKeyAssignment);
        f.runCommand(cmd::kChannelInfo);
        f.runCommand(cmd::kKeyAssignment);
        QCOMPARE(f.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(f.mdiArea()->activeSubWindow(), f.editorWindow(cmd::kKeyAssignment));
        QCOMPARE(f.editorWindow(cmd::kChannelInfo)->windowTitle(), fx.text(256));
        QCOMPARE(plain(itemTexts(menuTitled(f, fx.text(72)))),
                 plain({fx.text(73), fx.text(74), fx.text(75), fx.text(76), fx.text(77)}));
        f.resize(800, 600);
        f.show();
        f.runCommand(cmd::kTileHorizontal);
        auto* a = f.editorWindow(cmd::kKeyAssignment);
        auto* b = f.editorWindow(cmd::kChannelInfo);
        QCOMPARE(a->width(), b->width());
        QVERIFY(a->geometry().bottom() < b->geometry().top() || b->geometry().bottom() < a->geometry().top());
        f.runCommand(cmd::kCloseAll);
        QCOMPARE(f.mdiArea()->subWindowList().size(), 0);
        QTRY_VERIFY(!menuTitled(f, fx.text(72)));
    }

    // Tiling never squeezes an editor below its minimum size: the ones that need more keep it, the
    // others share the rest, and the MDI area scrolls to what does not fit.
    void tilingKeepsEveryEditorAtItsMinimumSize() {
        struct Case {
            int command;
            bool stacked;
        };
        for (Case c : {Case{cmd::kTileHorizontal, true}, Case{cmd::kTileVertical, false}}) {
            test::Fixture fx;
            const int big[] = {cmd::kChannelInfo, cmd::kKeyAssignment};
            for (const auto& e : editorList())
                fx.registry.addEditor(e.command, [&fx, e, big](AppContext&, EditorHost&) {
                    auto* v = new test::DummyView(fx.text(e.treeText));
                    if (std::find(std::begin(big), std::end(big), e.command) != std::end(big))
                        v->setMinimumSize(700, 500);
                    return v;
                });
            MainFrame f(fx.ctx, fx.registry);
            f.resize(900, 700);
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            for (int command : {cmd::kChannelInfo, cmd::kKeyAssignment, cmd::kScanInfo})
                f.runCommand(command);
            f.runCommand(c.command);
            QCoreApplication::processEvents();
            QList<QRect> placed;
            for (QMdiSubWindow* w : f.mdiArea()->subWindowList()) {
                QVERIFY(w->widget()->width() >= w->widget()->minimumWidth());
                QVERIFY(w->widget()->height() >= w->widget()->minimumHeight());
                for (const QRect& other : placed)
                    QVERIFY(!w->geometry().intersects(other));
                placed << w->geometry();
            }
            QScrollBar* bar =
                c.stacked ? f.mdiArea()->verticalScrollBar() : f.mdiArea()->horizontalScrollBar();
            QTRY_VERIFY(bar->isVisible());
            if (!qEnvironmentVariableIsEmpty("VELORA_SHOT_DIR"))
                test::saveShot(&f, c.stacked ? QStringLiteral("tile_horizontal")
                                             : QStringLiteral("tile_vertical"));
        }
    }

    // Every toolbar button has its own drawing at twice the size for high-density screens.
    void toolBarIconsAreDrawnForDoubleDensity() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        const QList<QAction*> actions = f.findChild<QToolBar*>(QStringLiteral("toolBar"))->actions();
        for (QAction* a : actions) {
            if (a->isSeparator()) continue;
            QVERIFY2(a->icon().availableSizes().contains(QSize(32, 30)), qPrintable(a->toolTip()));
            QCOMPARE(a->icon().pixmap(QSize(16, 15), 2.0).size(), QSize(32, 30));
        }
    }

    void choosingAMaximisedEditorAgainKeepsItMaximised() {
        test::Fixture fx;
        registerAll(fx);
        MainFrame f(fx.ctx, fx.registry);
        f.resize(800, 600);
        f.show();
        f.runCommand(cmd::kChannelInfo);
        auto* w = f.editorWindow(cmd::kChannelInfo);
        w->showMaximized();
        f.runCommand(cmd::kChannelInfo);
        QVERIFY(w->isMaximized());
        w->showMinimized();
        f.runCommand(cmd::kChannelInfo);
        QVERIFY(!w->isMinimized());
        QCOMPARE(f.mdiArea()->activeSubWindow(), w);
    }

    void treeListsEditorsAndOpensThem() {
        test::Fixture fx;
        registerAll(fx);
        MainFrame f(fx.ctx, fx.registry);
        f.runCommand(cmd::kTreeView);
        auto* tree = f.navigationTree();
        QVERIFY(tree);
        f.runCommand(cmd::kTreeView);
        QCOMPARE(f.findChildren<NavigationTree*>().size(), 1);
        auto* root = tree->tree()->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("RM-420"));
        QCOMPARE(root->childCount(), 13);
        tree->tree()->setCurrentItem(root->child(2));
        QTest::keyClick(tree->tree(), Qt::Key_Return);
        QVERIFY(f.editorWindow(cmd::kKeyAssignment));
        f.show();
        tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(tree));
        auto* scan = root->child(3);
        const QPoint at = tree->tree()->visualItemRect(scan).center();
        // As the window system delivers a double click: press, release, double click, release.
        auto* port = tree->tree()->viewport();
        QTest::mouseClick(port, Qt::LeftButton, {}, at);
        QVERIFY(!f.editorWindow(cmd::kScanInfo)); // a single click only selects
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, port->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &dbl);
        QTest::mouseRelease(port, Qt::LeftButton, {}, at);
        QVERIFY(f.editorWindow(cmd::kScanInfo));
        f.closeAllEditors();
        QTRY_VERIFY(!f.navigationTree());
    }

    void newAsksThenConfirmsDiscard() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        setByte(fx.doc.image().main(), 0x1800, 0x12); // an unsaved edit
        fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
        f.runCommand(cmd::kNew);
        QCOMPARE(fx.messenger.shown.size(), 2u);
        QCOMPARE(fx.messenger.shown[0].textId, 219);
        QCOMPARE(fx.messenger.shown[0].buttons, MsgButtons::OkCancel);
        QVERIFY(fx.messenger.shown[0].defaultCancel);
        QCOMPARE(fx.messenger.shown[1].buttons, MsgButtons::YesNoCancel); // Confirm discard
        QCOMPARE(fx.messenger.shown[1].caption, std::string("VELORA"));
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0x12});

        fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::No};
        f.runCommand(cmd::kNew);
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0xFF});
        QVERIFY(!fx.doc.isModified());
    }

    void helpOpensAtTheCommandsContext() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.show();
        auto* program = menuTitled(f, fx.text(59));
        program->popup(QPoint(0, 0));
        program->setActiveAction(f.action(cmd::kReadRadio));
        QTest::keyClick(program, Qt::Key_F1);
        QTRY_VERIFY(HelpWindow::instance());
        QCOMPARE(HelpWindow::instance()->currentUrl().fragment(), QStringLiteral("ctx51"));
        QVERIFY(QFileInfo::exists(HelpWindow::instance()->currentUrl().toLocalFile()));
        HelpWindow::instance()->close();
    }

    void openAndSaveAsNameTheFileInTheTitle() {
        test::Fixture fx;
        QTemporaryDir dir;
        MainFrame f(fx.ctx, fx.registry);
        const QString saved = dir.filePath(QStringLiteral("fleet.dat"));
        f.setFileChoosers([&](const std::string&) { return std::optional<std::string>(saved.toStdString()); },
                          [&](const std::string&, const std::string&) {
                              return std::optional<std::string>(saved.toStdString());
                          });
        setByte(fx.doc.image().main(), 0x1800, 0x12);
        f.runCommand(cmd::kSaveAs);
        QVERIFY(f.windowTitle().endsWith(QStringLiteral(": fleet.dat ]")));
        QVERIFY(!fx.doc.isModified());

        fx.messenger.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
        f.runCommand(cmd::kNew);
        QVERIFY(f.windowTitle().endsWith(QStringLiteral(": velora.dat ]")));
        f.runCommand(cmd::kOpen);
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0x12});
        QVERIFY(f.windowTitle().endsWith(QStringLiteral(": fleet.dat ]")));
    }

    // The file is the before side, the data set being edited the after side, and what opening the
    // file said is a note about the file in the dialog, not a box about the edited data set.
    void compareWithFileNamesBothSidesAndNotesTheFile() {
        test::Fixture fx;
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("other.dat"));
        auto file = std::make_unique<Document>(fx.doc);
        file->image().main()[0x1480] = 0x05; // a group table that is rebuilt on opening
        QVERIFY(writeDataFile(file->image(), other.toStdString()).ok());
        ChannelStore store(fx.doc, fx.texts);
        store.addChannel(2, 0);
        QVERIFY(store.setChannelFieldText("148.5", 2, 0, ChannelField::RxFrequency, &fx.boxes));
        fx.messenger.shown.clear();
        MainFrame f(fx.ctx, fx.registry);

        QString sides;
        QStringList items;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* chooser = f.findChild<QFileDialog*>(); chooser && chooser->isVisible()) {
                // Typed into the name field: selectFile leaves a field that has the focus alone.
                chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(other);
                QMetaObject::invokeMethod(chooser, &QDialog::accept);
            } else if (auto* dlg = f.findChild<CompareDialog*>(); dlg && dlg->isVisible()) {
                test::saveShot(dlg, QStringLiteral("compare-dialog"));
                sides = dlg->sides()->text();
                for (int i = 0; i < dlg->list()->count(); ++i)
                    items << dlg->list()->item(i)->text();
                dlg->reject();
            }
        });
        poll.start(10);
        f.findChild<QAction*>(QStringLiteral("compareWithFile"))->trigger();
        QVERIFY(fx.messenger.shown.empty());
        QCOMPARE(sides,
                 QStringLiteral("From other.dat (before) to the data set being edited, velora.dat (after):"));
        QVERIFY2(items.size() >= 2, qPrintable(items.join(QLatin1Char('|'))));
        QVERIFY(items[0].startsWith(QStringLiteral("Note on other.dat: ")));
        QCOMPARE(items[1], QStringLiteral("Group 3 added"));
    }

    void closeDuringATransferWaitsForItsEnd() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.show();
        f.beginTransfer();
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QVERIFY(f.closeDeferred());
        QVERIFY(fx.messenger.shown.empty()); // not even asked while the radio is busy
        fx.messenger.answers = {MsgAnswer::Yes};
        f.endTransfer();
        QTRY_VERIFY(!f.isVisible());
        QCOMPARE(fx.messenger.shown.at(0).textId, 138);
    }

    void exitAnsweredNoKeepsRunning() {
        test::Fixture fx;
        MainFrame f(fx.ctx, fx.registry);
        f.show();
        fx.messenger.answers = {MsgAnswer::No};
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(fx.messenger.shown.size(), 1u);
        QCOMPARE(fx.messenger.shown[0].textId, 138);
        QCOMPARE(fx.messenger.shown[0].caption, fx.text(139).toStdString());
        QCOMPARE(fx.messenger.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(fx.messenger.shown[0].icon, MsgIcon::Question);

        // Yes, then Cancel in the save question: the application and the data set stay as they are.
        setByte(fx.doc.image().main(), 0x1800, 0x12);
        fx.messenger.answers = {MsgAnswer::Yes, MsgAnswer::Cancel};
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(fx.messenger.shown.back().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(byteAt(fx.doc.image().main(), 0x1800), Byte{0x12});
        QVERIFY(fx.doc.isModified());
    }

    void statusBarShowsPortWithItsDevice() {
        test::Fixture fx;
        fx.port.setPortNumber(12);
        MainFrame f(fx.ctx, fx.registry);
        QCOMPARE(f.portPane()->text(), QStringLiteral("COM12"));
        QCOMPARE(f.portPane()->toolTip(), QStringLiteral("/dev/ttyS1"));
        auto* date = f.findChild<QLabel*>(QStringLiteral("timePane"));
        QVERIFY(!date->text().isEmpty());
    }

    // The application's own registry: the channel information view opens for real.
    void screenshot() {
        test::Fixture fx;
        registerFeatures(fx.registry);
        MainFrame f(fx.ctx, fx.registry);
        f.resize(1100, 700);
        f.show();
        f.runCommand(cmd::kChannelInfo);
        QVERIFY(f.findChild<QMdiSubWindow*>() != nullptr);
        f.runCommand(cmd::kTreeView);
        QTest::qWait(50);
        test::saveShot(&f, QStringLiteral("main"));
        test::saveShot(f.navigationTree(), QStringLiteral("tree"));
        AboutDialog about(fx.texts, &f);
        about.show();
        test::saveShot(&about, QStringLiteral("about"));
        QPointer<SplashWindow> splash = new SplashWindow(fx.texts, 24);
        splash->showCentred();
        QCOMPARE(splash->size(), QSize(440, 290));
        test::saveShot(splash, QStringLiteral("splash"));
        QTest::keyClick(&f, Qt::Key_Shift); // the first key press anywhere closes it
        QTRY_VERIFY(!splash);
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
