// The test frequency view driven through its grid: commits, clearing a pair, the close reminder, and
// the tabs of a dual-band data set.
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "features/CTestFreqView.h"
#include "frame/MainFrame.h"
#include "grid/CMSFlexGrid.h"

using namespace velora;
using namespace velora::gui;

namespace {

// Types into the current cell of a grid and commits with Enter.
void typeCell(CMSFlexGrid* grid, const QString& text) {
    QTest::keyClicks(grid, text);
    QTest::keyClick(grid, Qt::Key_Return);
}

} // namespace

class TestFrequencyViewTest : public QObject {
    Q_OBJECT

    struct Frame {
        test::Fixture fx;
        std::unique_ptr<MainFrame> frame;
        Frame() {
            fx.registry.addEditor(cmd::kTestFrequency,
                                  [](AppContext& c, EditorHost& f) { return new CTestFreqView(c, f); });
            frame = std::make_unique<MainFrame>(fx.ctx, fx.registry);
            frame->resize(1280, 800);
            frame->show();
        }
        CTestFreqView* openTestFrequency() {
            frame->openEditor(cmd::kTestFrequency);
            return qobject_cast<CTestFreqView*>(frame->editorWindow(cmd::kTestFrequency)->widget());
        }
    };

  private slots:
    void dualBandTabsSwitchModelsAndKeepPastesApart() {
        Frame f;
        f.fx.makeDualBand();
        CTestFreqView* v = f.openTestFrequency();
        QVERIFY(v->tabs()->isVisible());
        v->grid()->selectRows(1, 2);
        v->handleCommand(CMSFlexGrid::CmdCopy);
        QTest::keyClick(v->grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(v->model(), kModel2);
        QVERIFY(!v->area().canPaste(CTestFreqView::pasteBuffer(), v->model()));
        test::saveShot(f.frame.get(), QStringLiteral("test_frequency_dual"));
        QTest::keyClick(v->grid(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(v->model(), kModel1);
    }

    void testFrequencyCommitsClearsPairsAndRemindsOnClose() {
        Frame f;
        CTestFreqView* v = f.openTestFrequency();
        QVERIFY(v);
        f.frame->editorWindow(cmd::kTestFrequency)->move(20, 20);
        test::saveShot(f.frame.get(), QStringLiteral("test_frequency"));
        QVERIFY(!v->tabs()->isVisible()); // single band: no tabs, Ctrl+Tab does nothing
        QTest::keyClick(v->grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(v->model(), kModel1);

        v->grid()->setCurrent(3, 1);
        typeCell(v->grid(), QStringLiteral("150"));
        QCOMPARE(v->grid()->textMatrix(3, 1), QStringLiteral("150.00000"));
        v->grid()->setCurrent(3, 2);
        QTest::keyClick(v->grid(), Qt::Key_Delete); // opens the editor empty
        QTest::keyClick(v->grid(), Qt::Key_Return);
        QCOMPARE(v->grid()->textMatrix(3, 1), QString()); // the receive frequency went with it
        QCOMPARE(v->grid()->textMatrix(3, 2), QString());

        v->grid()->setCurrent(3, 2);
        typeCell(v->grid(), QStringLiteral("151")); // no receive frequency: typed into its cell
        QCOMPARE(v->grid()->textMatrix(3, 1), QStringLiteral("151.00000"));

        // Tab stores and moves right, Shift+Tab left, both going on across the row's end.
        struct Move {
            Qt::Key key;
            int row, col;
        } moves[] = {{Qt::Key_Tab, 5, 2}, {Qt::Key_Backtab, 4, 2}};
        for (const Move& m : moves) {
            v->grid()->setCurrent(5, 1);
            QTest::keyClicks(v->grid(), QStringLiteral("152"));
            QTest::keyClick(v->grid(), m.key);
            QCOMPARE(v->grid()->textMatrix(5, 1), QStringLiteral("152.00000"));
            QCOMPARE(std::pair(v->grid()->row(), v->grid()->col()), std::pair(m.row, m.col));
        }

        // A cell opened and left as it was stores nothing: the empty transmit cell of an entry beyond
        // the defaults keeps its receive frequency.
        struct Leave {
            const char* how;
            bool byMouse;
        } leaves[] = {{"click away", true}, {"Enter", false}};
        for (const Leave& l : leaves) {
            v->grid()->setCurrent(14, 1);
            typeCell(v->grid(), QStringLiteral("155"));
            if (l.byMouse) {
                auto click = [&](int r, int c) {
                    QTest::mouseClick(v->grid()->viewport(), Qt::LeftButton, {},
                                      v->grid()->cellRect(r, c).center());
                };
                click(14, 2);
                QVERIFY(v->grid()->editor());
                click(15, 1);
            } else {
                v->grid()->setCurrent(14, 2);
                QTest::keyClick(v->grid(), Qt::Key_Return);
                QVERIFY(v->grid()->editor());
                QTest::keyClick(v->grid(), Qt::Key_Return);
            }
            QVERIFY2(v->grid()->textMatrix(14, 1) == QStringLiteral("155.00000"), l.how);
        }

        f.fx.messenger.shown.clear();
        f.frame->editorWindow(cmd::kTestFrequency)->close();
        QCOMPARE(f.fx.messenger.ids(), std::vector<int>{227});
        f.openTestFrequency();
        f.fx.messenger.shown.clear();
        f.frame->closeAllEditors();
        QVERIFY(f.fx.messenger.shown.empty()); // closing every editor at once does not remind
    }
};

QTEST_MAIN(TestFrequencyViewTest)
#include "test_frequency_view_test.moc"
