// Undo and redo through the real editors: edits in three different views taken back and redone to
// the very same bytes, a multi-row paste as one step, the menu naming the step, Open starting over.
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "channels/CChInfoView.h"
#include "channels/ChannelGui.h"
#include "channels/ChannelStore.h"
#include "features/AreaGrid.h"
#include "features/CFeatureView.h"
#include "features/CKeyView.h"
#include "features/OptionalFeatures.h"
#include "forms/FilteredLineEdit.h"
#include "forms/UndoNote.h"
#include "frame/MainFrame.h"
#include "frame/UndoController.h"
#include "grid/CMSFlexGrid.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::gui;

namespace {

// The event loop goes idle, as it does after every user action.
void idle() {
    QEventLoop loop;
    QTimer::singleShot(1, &loop, &QEventLoop::quit);
    loop.exec();
}

QString plain(QString menuText) {
    return menuText.remove(QLatin1Char('&'));
}

struct Setup {
    explicit Setup(test::Fixture& fx) : fx(fx), frame(fx.ctx, fx.registry) {
        auto id = identificationOf(fx.doc.image());
        id.setDualHead(false);
        id.setHeadType(kHead1, 0);
        setIdentification(fx.doc.image().main(), id);
        registerFeatures(fx.registry);
        frame.resize(1100, 760);
        frame.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&frame), "frame shown");
        QApplication::setActiveWindow(&frame);
        undo = &frame.undoController();
    }
    template <class View> View* open(int command) {
        frame.runCommand(command);
        QCoreApplication::processEvents();
        QMdiSubWindow* w = frame.editorWindow(command);
        return w ? qobject_cast<View*>(w->widget()) : nullptr;
    }
    CMSFlexGrid* channelGrid() {
        auto* view = open<CChInfoView>(cmd::kChannelInfo);
        view->setGroup(0);
        return view->grid();
    }
    void typeCell(CMSFlexGrid* grid, int row, int col, const QString& text) {
        grid->setCurrent(row, col);
        grid->setFocus();
        QTest::keyClick(grid, text.at(0).toLatin1());
        for (int i = 1; i < text.size(); ++i)
            QTest::keyClick(QApplication::focusWidget(), text.at(i).toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        idle();
    }
    // Ctrl+Z (or the redo keys) where the focus is, as the user presses them.
    void press(QKeySequence keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
        QTest::keySequence(target, keys);
        idle();
    }
    const ImageCopy& image() const { return fx.doc.image().working(); }

    test::Fixture& fx;
    MainFrame frame;
    UndoController* undo = nullptr;
};

} // namespace

class UndoGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { channelPasteBuffer().clear(); }

    void editsInThreeEditorsUndoAndRedoToTheSameBytes() {
        test::Fixture fx;
        Setup s(fx);
        std::vector<ImageCopy> states{s.image()};
        std::vector<QString> names;

        s.typeCell(s.channelGrid(), 3, channels::kColRx, QStringLiteral("150.125"));
        states.push_back(s.image());
        names.push_back(QStringLiteral("Channel 1-3 RX Freq"));
        QCOMPARE(plain(s.undo->undoAction()->text()), QStringLiteral("Undo ") + names.back());
        QMenu* edit = s.frame.menuBar()->findChild<QMenu*>(QStringLiteral("menu42"));
        QVERIFY(edit);
        QCOMPARE(edit->actions().value(0), s.undo->undoAction());

        auto* optionsView = s.open<CFeatureView>(cmd::kOptionalFeatures);
        QVERIFY(optionsView);
        auto* size =
            qobject_cast<FilteredLineEdit*>(optionsView->valueWidget(0, forms::options::kChannelTextSize));
        const QString sizeBefore = size->text();
        size->setFocus();
        QTest::keyClick(size, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(size, QStringLiteral("3"));
        QTest::keyClick(size, Qt::Key_Tab);
        idle();
        QVERIFY(!(s.image() == states.back()));
        states.push_back(s.image());
        names.push_back(undoCaption(optionsView->labelWidget(0, forms::options::kChannelTextSize)));

        auto* keysView = s.open<CKeyView>(cmd::kKeyAssignment);
        QVERIFY(keysView);
        AreaGrid* keys = keysView->currentGrid();
        keys->setCurrent(3, 1);
        keys->setFocus();
        QTest::keyClick(keys, Qt::Key_Return);
        QVERIFY(keys->listOpen());
        QTest::keyClick(keys->list(), Qt::Key_Down);
        QTest::keyClick(keys->list(), Qt::Key_Return);
        idle();
        QVERIFY(!(s.image() == states.back()));
        states.push_back(s.image());
        QCOMPARE(s.undo->history().undoCount(), std::size_t(3));

        // Back to the start, the open views showing each state, then forward again.
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            if (i <= names.size())
                QCOMPARE(plain(s.undo->undoAction()->text()), QStringLiteral("Undo ") + names[i - 1]);
            s.press(QKeySequence(Qt::CTRL | Qt::Key_Z));
            QVERIFY2(s.image() == states[i - 1], qPrintable(QStringLiteral("undo to state %1").arg(i - 1)));
        }
        QVERIFY(!s.undo->undoAction()->isEnabled());
        QVERIFY(!fx.doc.isModified());
        QCOMPARE(findChInfoView(s.frame)->grid()->textMatrix(3, channels::kColRx), QString());
        QCOMPARE(size->text(), sizeBefore);

        const QKeySequence redoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Y),
                                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                         QKeySequence(Qt::CTRL | Qt::Key_Y)};
        for (std::size_t i = 1; i < states.size(); ++i) {
            s.press(redoKeys[i - 1]);
            QVERIFY2(s.image() == states[i], qPrintable(QStringLiteral("redo to state %1").arg(i)));
        }
        QCOMPARE(findChInfoView(s.frame)->grid()->textMatrix(3, channels::kColRx),
                 QStringLiteral("150.12500"));
        QVERIFY(fx.doc.isModified());
    }

    void pasteOfSeveralRowsIsOneStep() {
        test::Fixture fx;
        Setup s(fx);
        CMSFlexGrid* grid = s.channelGrid();
        for (int row = 1; row <= 4; ++row)
            s.typeCell(grid, row, channels::kColRx, QStringLiteral("15%1").arg(row));
        grid->selectRows(1, 4);
        s.frame.runCommand(cmd::kGridCopy);
        grid->clearRowSelection();
        grid->setCurrent(10, 1);
        const ImageCopy beforePaste = s.image();
        const std::size_t steps = s.undo->history().undoCount();
        s.frame.runCommand(cmd::kGridPaste);
        idle();
        QCOMPARE(grid->textMatrix(13, channels::kColRx), QStringLiteral("154.00000"));
        QCOMPARE(s.undo->history().undoCount(), steps + 1);
        QCOMPARE(plain(s.undo->undoAction()->text()), QStringLiteral("Undo Paste"));

        grid->setFocus();
        s.press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(s.image() == beforePaste);
        for (int row = 10; row <= 13; ++row)
            QCOMPARE(grid->textMatrix(row, channels::kColRx), QString());
        QCOMPARE(plain(s.undo->redoAction()->text()), QStringLiteral("Redo Paste"));
    }

    void undoingAModelChangeShowsTheFormerModel() {
        test::Fixture fx;
        fx.doc.setFileName("site.dat");
        Setup s(fx);
        s.channelGrid();
        const QString title = s.frame.windowTitle();
        auto id = identificationOf(fx.doc.image());
        QVERIFY(id.setModelCode(2));
        id.setBandCode(kModel1, 6);
        setIdentification(fx.doc.image(), id); // as Model Information or the memory map store it
        fx.doc.codec().loadBandLimits(id);
        fx.doc.setFileName("velora.dat"); // as Model Information names a changed model
        s.frame.updateTitle();
        idle();
        QVERIFY(s.frame.windowTitle() != title);
        s.press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(s.frame.windowTitle(), title);
        QCOMPARE(fx.doc.fileName(), std::string("site.dat")); // Save goes to the file that was open
        QCOMPARE(fx.doc.codec().bandLimits(kModel1).group, BandGroup::Vhf);
        QVERIFY(findChInfoView(s.frame));
    }

    void savingMakesNoStep() {
        test::Fixture fx;
        {
            // A name stored without its padding, as an older file may hold it.
            ChannelStore store(fx.doc, fx.texts);
            store.setChannelFieldText("151", 0, 0, ChannelField::RxFrequency, nullptr);
            store.setChannelFieldText("NAME", 0, 0, ChannelField::Name, nullptr);
            store.channelName(0, 0)[15] = 0;
        }
        Setup s(fx);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("set.dat")).toStdString();
        s.frame.setFileChoosers(
            {}, [path](const std::string&, const std::string&) { return std::optional<std::string>(path); });
        s.frame.runCommand(cmd::kSaveAs);
        idle();
        QVERIFY(!s.undo->history().canUndo());
        QVERIFY(!fx.doc.isModified());
    }

    void openStartsAFreshHistory() {
        test::Fixture fx;
        Setup s(fx);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("set.dat")).toStdString();
        s.frame.setFileChoosers(
            [path](const std::string&) { return std::optional<std::string>(path); },
            [path](const std::string&, const std::string&) { return std::optional<std::string>(path); });
        CMSFlexGrid* grid = s.channelGrid();
        s.typeCell(grid, 2, channels::kColRx, QStringLiteral("151"));
        QVERIFY(s.undo->undoAction()->isEnabled());
        s.frame.runCommand(cmd::kOpen);
        idle();
        QVERIFY(!s.undo->history().canUndo());
        QVERIFY(!s.undo->history().canRedo());
        QVERIFY(!s.undo->undoAction()->isEnabled());
        QCOMPARE(plain(s.undo->undoAction()->text()), QStringLiteral("Undo"));
    }
};

QTEST_MAIN(UndoGuiTest)
#include "undo_gui_test.moc"
