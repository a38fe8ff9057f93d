// The key assignment and function port views as a user drives them: the in-place function list,
// switching heads, the function-port window that will not close while inconsistent; with
// photographs and the time to open each view.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "features/AreaGrid.h"
#include "features/CFuncPortView.h"
#include "features/CKeyView.h"
#include "features/PanelPicture.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::gui;

namespace {

// Head 1 of the first type (7 keys); with `dualHead` a second head of the second type (13 keys).
void fitHeads(test::Fixture& fx, bool dualHead) {
    auto id = identificationOf(fx.doc.image());
    id.setDualHead(dualHead);
    id.setHeadType(kHead1, 0);
    id.setHeadType(kHead2, 1);
    setIdentification(fx.doc.image().main(), id);
}

struct Setup {
    explicit Setup(test::Fixture& fx) : frame(fx.ctx, fx.registry) {
        registerFeatures(fx.registry);
        frame.resize(1000, 700);
        frame.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&frame), "frame shown");
        QApplication::setActiveWindow(&frame);
    }
    template <class View> View* open(int command, qint64* ns = nullptr) {
        QElapsedTimer t;
        t.start();
        frame.runCommand(command); // as the Edit menu and the tree do
        QCoreApplication::processEvents();
        if (ns) *ns = t.nsecsElapsed();
        QMdiSubWindow* w = frame.editorWindow(command);
        return w ? qobject_cast<View*>(w->widget()) : nullptr;
    }
    MainFrame frame;
};

std::vector<int> listCodes(const QComboBox* list) {
    std::vector<int> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->itemData(i).toInt());
    return out;
}

std::vector<int> choiceCodes(const forms::GridArea& area, int page, int row) {
    std::vector<int> out;
    for (const auto& it : area.gridChoicesAt(page, row, forms::kValueColumn))
        out.push_back(it.stored);
    return out;
}

Byte keyByte(test::Fixture& fx, int head, int position) {
    return fx.doc.image().main()[keys::keyOffset(head, position)];
}

} // namespace

class FeatureViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void keyListOpensByKeyAndStoresTheChoice() {
        struct Case {
            const char* name;
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            bool dropsDown;
        } cases[] = {
            {"Enter", Qt::Key_Return, Qt::NoModifier, false},
            {"F4", Qt::Key_F4, Qt::NoModifier, true},
            {"Alt+Down", Qt::Key_Down, Qt::AltModifier, true},
        };
        for (const Case& c : cases) {
            test::Fixture fx;
            fitHeads(fx, false);
            Setup s(fx);
            auto* view = s.open<CKeyView>(cmd::kKeyAssignment);
            QVERIFY2(view, c.name);
            AreaGrid* grid = view->currentGrid();
            grid->setCurrent(3, 1); // the third key of a first-type head is position 4
            grid->setFocus();
            QTest::keyClick(grid, c.key, c.mods);
            QVERIFY2(grid->listOpen(), c.name);
            QComboBox* list = grid->list();
            QCOMPARE(list->view()->isVisible(), c.dropsDown);
            QCOMPARE(listCodes(list), choiceCodes(view->keyArea(), 0, 2));
            QCOMPARE(list->currentData().toInt(), int(keyByte(fx, 0, 4)));
            if (c.dropsDown) QTest::keyClick(list->view(), Qt::Key_Escape);
            // Down in the list stores the next function at once; Enter ends the edit and moves on.
            const int next = list->itemData(list->currentIndex() + 1).toInt();
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(int(keyByte(fx, 0, 4)), next);
            QCOMPARE(view->helpContext(), std::optional<int>(keys::keyFunctionHelp(next)));
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY2(!grid->listOpen(), c.name);
            QCOMPARE(grid->textMatrix(3, 1), QString::fromStdString(view->keyArea().keyFunctionText(0, 4)));
            QCOMPARE(grid->row(), 4);
        }
    }

    void typedKeyAndClickOpenTheList() {
        test::Fixture fx;
        fitHeads(fx, false);
        Setup s(fx);
        auto* view = s.open<CKeyView>(cmd::kKeyAssignment);
        AreaGrid* grid = view->currentGrid();
        // The typed character goes on to the list, which selects and stores a function starting with it.
        const QString target = fx.text(340);
        grid->setCurrent(4, 1);
        QTest::keyClicks(grid, target.left(1));
        QVERIFY(grid->listOpen());
        QVERIFY(grid->list()->currentText().startsWith(target.left(1)));
        QCOMPARE(int(keyByte(fx, 0, 5)), grid->list()->currentData().toInt());
        QTest::keyClick(grid->list(), Qt::Key_Escape);
        QVERIFY(!grid->listOpen());

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 0)).center());
        QVERIFY(grid->listOpen());
        QCOMPARE(grid->row(), 1);
        // The framed key follows the current row.
        QCOMPARE(view->picture(0)->framed(), keys::keyRect(0));
    }

    void ctrlTabSwitchesHeads() {
        test::Fixture fx;
        fitHeads(fx, true);
        Setup s(fx);
        auto* view = s.open<CKeyView>(cmd::kKeyAssignment);
        QVERIFY(view->tabs()->tabBar()->isVisible());
        view->currentGrid()->setFocus();
        const struct {
            Qt::KeyboardModifiers mods;
            int head;
            int rows;
        } steps[] = {{Qt::ControlModifier, 1, 13},
                     {Qt::ControlModifier, 0, 7},
                     {Qt::ControlModifier | Qt::ShiftModifier, 1, 13}};
        for (const auto& step : steps) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, step.mods);
            QCOMPARE(view->head(), step.head);
            QCOMPARE(view->currentGrid()->rows() - 1, step.rows);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view->currentGrid()));
        }
        // Head 2's list offers head 2's functions and stores into head 2's keys.
        AreaGrid* grid = view->currentGrid();
        grid->setCurrent(13, 1);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(listCodes(grid->list()), choiceCodes(view->keyArea(), 1, 12));
        QTest::keyClick(grid->list(), Qt::Key_Up);
        QCOMPARE(int(keyByte(fx, 1, 12)), grid->list()->currentData().toInt());
        QCOMPARE(view->picture(1)->framed(), keys::keyRect(12));

        // A single head has no tabs to switch.
        test::Fixture single;
        fitHeads(single, false);
        Setup s1(single);
        auto* one = s1.open<CKeyView>(cmd::kKeyAssignment);
        QVERIFY(!one->tabs()->tabBar()->isVisible());
        QTest::keyClick(one->currentGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(one->head(), 0);
    }

    void functionPortFrameStaysWhileInconsistent() {
        test::Fixture fx;
        Setup s(fx);
        auto* view = s.open<CFuncPortView>(cmd::kFunctionPort);
        QVERIFY(view);
        QMdiSubWindow* window = s.frame.editorWindow(cmd::kFunctionPort);
        AreaGrid* grid = view->currentGrid();
        auto choose = [&](int row, int code) {
            grid->setCurrent(row, 1);
            QTest::keyClick(grid, Qt::Key_Return);
            QComboBox* list = grid->list();
            const int index = list->findData(code);
            QVERIFY(index >= 0);
            while (list->currentIndex() != index)
                QTest::keyClick(list, list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
            QTest::keyClick(list, Qt::Key_Tab); // ends the edit and moves on
            QVERIFY(!grid->listOpen());
        };
        // Remote select 2 without remote select 1 on the third row (pin 0).
        choose(3, 1);
        QCOMPARE(grid->textMatrix(3, 1), fx.text(532));
        QVERIFY(!window->close());
        QCOMPARE(fx.messenger.ids(), std::vector<int>{port::kTextInconsistent});
        QCOMPARE(s.frame.editorWindow(cmd::kFunctionPort), window);

        choose(4, 0); // with remote select 1 beside it the set is in order
        QVERIFY(window->close());
        QCOMPARE(fx.messenger.ids().size(), std::size_t(1));
    }

    void photographsAndOpeningTimes() {
        // VELORA_SHOT_DIR=dir keeps the pictures; the times are printed either way.
        for (bool dual : {true, false}) {
            test::Fixture fx;
            fitHeads(fx, dual);
            if (dual) fx.makeDualBand();
            Setup s(fx);
            qint64 keyNs = 0, portNs = 0;
            auto* keysView = s.open<CKeyView>(cmd::kKeyAssignment, &keyNs);
            const QString tag = dual ? QStringLiteral("dual") : QStringLiteral("single");
            keysView->currentGrid()->setCurrent(2, 1);
            test::saveShot(keysView, QStringLiteral("keys-%1-head1").arg(tag));
            if (dual) {
                keysView->setCurrentPage(1);
                keysView->currentGrid()->setCurrent(5, 1);
                keysView->currentGrid()->openList(true);
                test::saveShot(keysView, QStringLiteral("keys-%1-head2-list").arg(tag));
                test::saveShot(keysView->currentGrid()->list()->view()->window(),
                               QStringLiteral("keys-%1-head2-popup").arg(tag));
                keysView->endEdits();
            }
            auto* portView = s.open<CFuncPortView>(cmd::kFunctionPort, &portNs);
            for (int t = 0; t < 2; ++t) {
                portView->setCurrentPage(t);
                portView->currentGrid()->setCurrent(2, 1);
                portView->currentGrid()->openList();
                test::saveShot(portView, QStringLiteral("port-%1-tab%2").arg(tag).arg(t));
                portView->endEdits();
            }
            test::saveShot(&s.frame, QStringLiteral("frame-%1").arg(tag));
            qInfo("%s: key assignment view opens in %.1f ms, function port view in %.1f ms", qPrintable(tag),
                  keyNs / 1e6, portNs / 1e6);
        }
    }
};

QTEST_MAIN(FeatureViewsTest)
#include "feature_views_test.moc"
