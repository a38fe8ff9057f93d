// The grid widget: keyboard rules, row selection, in-place editors over their cell.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include "channels/GridColumns.h"
#include "forms/FilteredLineEdit.h"
#include "grid/CMSFlexGrid.h"

using velora::gui::CMSFlexGrid;

namespace {
struct Titles : velora::TextSource {
    mutable std::string s;
    std::string_view text(int n) const override { return s = "T" + std::to_string(n); }
};
constexpr velora::grid::GridColumn kColumns[] = {
    {259, 40, 4, true}, {348, 90, 8, true}, {349, 90, 4, true}, {350, 120, 2, false}};
} // namespace

class FlexGridTest : public QObject {
    Q_OBJECT
    Titles titles;
    std::unique_ptr<CMSFlexGrid> grid;

    static QPoint pos(int r, int c) { return {r, c}; }
    QPoint current() const { return {grid->row(), grid->col()}; }

  private slots:
    void init() {
        grid = std::make_unique<CMSFlexGrid>();
        grid->setRows(41);
        grid->setupColumns(kColumns, titles, QFont("Courier", 9));
        grid->numberRows();
        grid->resize(400, 200);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->setFocus();
    }
    void cleanup() { grid.reset(); }

    void setUpGivesTitlesNumbersAndAlignment() {
        QCOMPARE(grid->cols(), 4);
        QCOMPARE(grid->textMatrix(0, 0), QString("T259"));
        QCOMPARE(grid->textMatrix(0, 2), QString("T349"));
        QCOMPARE(grid->textMatrix(40, 0), QString("40"));
        QCOMPARE(grid->columnWidth(2), 120);
        grid->setTextMatrix(3, 1, "146.52000");
        QCOMPARE(grid->item(2, 0)->textAlignment(), int(Qt::AlignRight | Qt::AlignBottom));
        QCOMPARE(current(), pos(1, 1));
    }

    void enterWalksTheRowAndWrapsToTheNext() {
        grid->setCurrent(1, 2);
        QTest::keyPress(grid.get(), Qt::Key_Return);
        QCOMPARE(current(), pos(1, 3));
        QTest::keyPress(grid.get(), Qt::Key_Return); // no release between: the key is held
        QCOMPARE(current(), pos(1, 3));
        QTest::keyRelease(grid.get(), Qt::Key_Return);
        QTest::keyClick(grid.get(), Qt::Key_Return);
        QCOMPARE(current(), pos(2, 1));
    }

    void leftAndRightWrapAtTheRowEnds() {
        grid->setCurrent(5, 3);
        QTest::keyClick(grid.get(), Qt::Key_Right);
        QCOMPARE(current(), pos(6, 1));
        QTest::keyClick(grid.get(), Qt::Key_Left);
        QCOMPARE(current(), pos(5, 3));
        grid->setWrapAround(false);
        QTest::keyClick(grid.get(), Qt::Key_Right);
        QCOMPARE(current(), pos(5, 3));
    }

    void pageDownMovesByTheVisibleRows() {
        int page = grid->pageSize();
        QVERIFY(page > 2);
        QTest::keyClick(grid.get(), Qt::Key_PageDown);
        QCOMPARE(grid->row(), 1 + page);
        QCOMPARE(grid->topRow(), 1 + page);
    }

    void shiftDownSelectsRowsAndTheHeaderClickToo() {
        grid->setCurrent(4, 3);
        QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(grid->hasRowSelection());
        QCOMPARE(grid->selectedRows(), std::make_pair(4, 6));
        QCOMPARE(grid->col(), 1);
        QVERIFY(grid->selectionModel()->isRowSelected(5, {}));

        QHeaderView* vh = grid->verticalHeader();
        QTest::mouseClick(vh->viewport(), Qt::LeftButton, {}, QPoint(5, vh->sectionViewportPosition(1) + 5));
        QCOMPARE(grid->selectedRows(), std::make_pair(2, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(2, 1)).center());
        QVERIFY(!grid->hasRowSelection());
        QCOMPARE(current(), pos(3, 2));
    }

    void editorLiesOverItsCellAndFollowsItWhileScrolling() {
        auto* edit = new velora::gui::FilteredLineEdit;
        grid->setCurrent(3, 2);
        grid->showEditor(CMSFlexGrid::EditorKind::Edit, edit, "ABC", true);
        QCOMPARE(edit->parentWidget(), grid->viewport());
        QCOMPARE(edit->text(), QString("ABC"));
        auto cell = [&] { return grid->visualRect(grid->model()->index(2, 1)); };
        QCOMPARE(edit->geometry(), cell().adjusted(1, 1, -1, -1));

        grid->horizontalScrollBar()->setValue(30);
        grid->setTopRow(2);
        QCOMPARE(grid->topRow(), 2);
        QCOMPARE(edit->geometry(), cell().adjusted(1, 1, -1, -1));

        grid->setTopRow(20); // its row scrolled away: out of sight, still alive and focused
        QVERIFY(edit->geometry().bottom() < 0);
        grid->setTopRow(1);
        QCOMPARE(edit->geometry(), cell().adjusted(1, 1, -1, -1));

        grid->hideEditor(true);
        QVERIFY(edit->isHidden());
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(grid->editorKind(), CMSFlexGrid::EditorKind::None);
    }

    void editorWithSpinAndToneComboTakeTheirPlaces() {
        auto* edit = new QLineEdit;
        auto* spin = new QWidget;
        grid->setCurrent(2, 1);
        grid->showEditor(CMSFlexGrid::EditorKind::EditSpin, edit, "5", false, spin);
        QRect r = grid->cellRect();
        QCOMPARE(edit->geometry(), QRect(r.left() + 3, r.top() + 3, r.width() - 21, r.height() - 6));
        QCOMPARE(spin->geometry(), QRect(r.left() + r.width() - 18, r.top() + 3, 15, r.height() - 6));
        grid->hideEditor(false);

        QComboBox* tone = CMSFlexGrid::makeToneEditor(grid.get(), {"T262", "67.0", "D023N"});
        grid->showEditor(CMSFlexGrid::EditorKind::Combo, tone, "67.0", true);
        QCOMPARE(tone->currentIndex(), 1);
        QCOMPARE(tone->geometry().left(), grid->cellRect().left() + 3);
        tone->lineEdit()->selectAll();
        QTest::keyClicks(tone->lineEdit(), "d023nx9");
        QCOMPARE(tone->currentText(), QString("D023N")); // capitals, refused x, five characters

        if (!qEnvironmentVariableIsEmpty("VELORA_SHOTS")) {
            grid->setTextMatrix(1, 1, "146.52000");
            grid->setTextMatrix(1, 3, "CH 1");
            grid->setTextMatrix(2, 1, "146.54000");
            grid->grab().save(qEnvironmentVariable("VELORA_SHOTS") + "/grid.png");
        }
    }

    // The lowest row of ink of every cell of a row (digits and capitals stand on the baseline) is
    // the same, whatever the cell's font and alignment.
    void aRowWritesOnOneBaseline() {
        grid->setTextMatrix(2, 1, "146.52000");
        grid->setTextMatrix(2, 2, "ADD");
        grid->setTextMatrix(2, 3, "CH 1");
        auto inkBottom = [](const QImage& img, QRect r) {
            for (int y = r.bottom(); y >= r.top(); --y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(img.pixel(x, y)) < 110) return y;
            return -1;
        };
        const QImage cells = grid->viewport()->grab().toImage();
        QList<int> bottoms;
        for (int c = 1; c <= 3; ++c) {
            const QRect r = grid->visualRect(grid->model()->index(1, c - 1)).adjusted(1, 1, -2, -2);
            bottoms << inkBottom(cells, r) - r.top();
        }
        QHeaderView* vh = grid->verticalHeader();
        const QImage numbers = vh->viewport()->grab().toImage();
        const QRect nr(2, vh->sectionViewportPosition(1) + 1, vh->width() - 4, vh->sectionSize(1) - 3);
        bottoms << inkBottom(numbers, nr) - nr.top();
        QVERIFY2(bottoms.first() > 0, "text drawn");
        for (int b : bottoms)
            QCOMPARE(b, bottoms.first());
    }

    void currentCellIsEmphasisedFromTheStart() {
        grid->setEmphasiseCurrent(true);
        QVERIFY(grid->verticalHeaderItem(0)->font().bold());
        QVERIFY(grid->horizontalHeaderItem(0)->font().bold());
        grid->setCurrent(3, 2);
        QVERIFY(!grid->verticalHeaderItem(0)->font().bold());
        QVERIFY(grid->horizontalHeaderItem(1)->font().bold());
    }

    // An editor starts with its text selected, so what is typed replaces it; a tone combo keeps
    // what is typed and completes nothing from its list.
    void editorTextIsReplacedAsTyped() {
        auto* edit = new velora::gui::FilteredLineEdit;
        grid->showEditor(CMSFlexGrid::EditorKind::Edit, edit, "146.52000", true);
        QTest::keyClicks(edit, "147");
        QCOMPARE(edit->text(), QString("147"));
        grid->hideEditor(false);
        QComboBox* tone = CMSFlexGrid::makeToneEditor(grid.get(), {"T262", "67.0", "74.4", "82.5"});
        grid->showEditor(CMSFlexGrid::EditorKind::Combo, tone, "T262", true);
        QTest::keyClicks(tone->lineEdit(), "74");
        QCOMPARE(tone->currentText(), QString("74"));
    }

    void typedKeysAreLeftToTheView() {
        QKeyEvent k(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(grid.get(), &k);
        QVERIFY(!k.isAccepted());
        QCOMPARE(current(), pos(1, 1)); // no keyboard search moved the cell
    }
};

QTEST_MAIN(FlexGridTest)
#include "flex_grid_test.moc"
