// The signalling and list editors as a user drives them: codes, names and tones typed into their
// grids, the channel cell that waits for its group, the auto-dial page that follows Auto Dial; with
// photographs and the time to open each view.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "channels/ChannelStore.h"
#include "features/AreaGrid.h"
#include "features/CChannelListView.h"
#include "features/CDtmfView.h"
#include "features/CKeyView.h"
#include "features/COstView.h"
#include "forms/FilteredLineEdit.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"
#include "model/ToneCodec.h"

using namespace velora;
using namespace velora::gui;

namespace {

struct Setup {
    explicit Setup(test::Fixture& fx) : frame(fx.ctx, fx.registry) {
        registerFeatures(fx.registry);
        frame.resize(1000, 700);
        frame.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&frame), "frame shown");
        QApplication::setActiveWindow(&frame);
    }
    QWidget* open(int command, qint64* ns = nullptr) {
        QElapsedTimer t;
        t.start();
        frame.runCommand(command); // as the Edit menu and the tree do
        if (ns) *ns = t.nsecsElapsed();
        QCoreApplication::processEvents();
        QMdiSubWindow* w = frame.editorWindow(command);
        return w ? w->widget() : nullptr;
    }
    template <class View> View* open(int command) { return qobject_cast<View*>(open(command)); }
    MainFrame frame;
};

void setAutoDial(CDtmfView* view, bool on) {
    auto* box = qobject_cast<QCheckBox*>(view->valueWidget(forms::dtmf::kTiming, forms::dtmf::kAutoDial));
    QVERIFY(box && box->isEnabled());
    if (box->isChecked() != on) box->click();
}

forms::dtmf::AutoDialRecord record(const char* chars, Byte fill) {
    forms::dtmf::AutoDialRecord r;
    r.fill(fill);
    for (std::size_t i = 0; chars[i]; ++i)
        r[i] = Byte(chars[i]);
    return r;
}

} // namespace

class FeatureViews2Test : public QObject {
    Q_OBJECT

  private slots:
    void autoDialPageFollowsAutoDial() {
        test::Fixture fx;
        Setup s(fx);
        auto* view = s.open<CDtmfView>(cmd::kDtmf);
        QVERIFY(view);
        const int page = forms::dtmf::kAutoDialPage;
        for (bool on : {true, false, true}) {
            setAutoDial(view, on);
            QCOMPARE(view->tabs()->isTabVisible(page), on);
        }
        view->setCurrentPage(page);
        QVERIFY(view->autoDialGrid()->isVisible());
        QCOMPARE(view->autoDialGrid()->rows() - 1, forms::dtmf::kAutoDialCodes);
    }

    void autoDialCodesTypedInPlace() {
        struct Case {
            const char* name;
            Qt::Key opener; // Qt::Key_unknown: the first typed character opens the editor
            const char* typed;
            Qt::Key closer;
            forms::dtmf::AutoDialRecord stored;
        } cases[] = {
            {"star and hash", Qt::Key_unknown, "1*#", Qt::Key_Return, record("1EF", 0)},
            {"lower case letters", Qt::Key_Return, "a9d", Qt::Key_Return, record("A9D", 0)},
            {"a typed blank is dropped", Qt::Key_unknown, "1 2", Qt::Key_Return, record("12", 0)},
            {"Backspace opens it empty", Qt::Key_Backspace, "", Qt::Key_Return, record("", 0xFF)},
            {"Escape keeps the code", Qt::Key_unknown, "99", Qt::Key_Escape, record("7", 0)},
        };
        for (const Case& c : cases) {
            test::Fixture fx;
            Setup s(fx);
            auto* view = s.open<CDtmfView>(cmd::kDtmf);
            setAutoDial(view, true);
            view->dtmfArea().pasteAutoDial(2, {record("7", 0)});
            view->setCurrentPage(forms::dtmf::kAutoDialPage);
            AreaGrid* grid = view->autoDialGrid();
            grid->refreshCells();
            grid->setCurrent(3, 1);
            grid->setFocus();
            if (c.opener != Qt::Key_unknown) QTest::keyClick(grid, c.opener);
            QTest::keyClicks(c.opener == Qt::Key_unknown ? static_cast<QWidget*>(grid) : grid->textEditor(),
                             c.typed);
            QVERIFY2(grid->editing(), c.name);
            QTest::keyClick(grid->textEditor(), c.closer);
            QVERIFY2(!grid->editing(), c.name);
            QVERIFY2(view->dtmfArea().copyAutoDial({2}).front() == c.stored, c.name);
            QCOMPARE(grid->textMatrix(3, 1),
                     QString::fromStdString(view->dtmfArea().gridCellTextAt(2, 2, forms::kValueColumn).text));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid));
        }
    }

    void ostNamesAndTonesAsTyped() {
        test::Fixture fx;
        Setup s(fx);
        auto* view = s.open<COstView>(cmd::kOst);
        QVERIFY(view);
        AreaGrid* grid = view->grid(0);
        auto& area = view->toneArea();
        const std::string off(fx.texts.text(262));

        // A name in capitals, cut to what the head shows.
        grid->setCurrent(2, forms::ost::kNameColumn);
        grid->setFocus();
        QTest::keyClicks(grid, "abcdefghijklmnopq");
        QTest::keyClick(grid->textEditor(), Qt::Key_Return);
        const std::string name = std::string("ABCDEFGHIJKLMNOPQ").substr(0, std::size_t(area.nameLength()));
        QCOMPARE(grid->textMatrix(2, 1), QString::fromStdString(name));

        // "74" is stored as 74, not completed to a listed tone that starts with it.
        struct Case {
            const char* typed;
            std::uint16_t stored;
        } tones[] = {{"74", textToTone("74", off)}, {"D023N", textToTone("D023N", off)}};
        for (const Case& c : tones) {
            grid->setCurrent(4, forms::ost::kTone1Column);
            grid->setFocus();
            QTest::keyClicks(grid, c.typed);
            QVERIFY(grid->toneCombo()->isVisible());
            QTest::keyClick(grid->toneCombo()->lineEdit(), Qt::Key_Return);
            QCOMPARE(area.copyEntries({3}).front().tone1, c.stored);
        }
        QVERIFY(textToTone("74", off) != textToTone("74.4", off));

        // Choosing a listed tone stores it at once.
        grid->setCurrent(4, forms::ost::kTone2Column);
        QTest::keyClick(grid, Qt::Key_Return);
        QComboBox* combo = grid->toneCombo();
        QVERIFY(combo->count() > 2);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Down);
        QCOMPARE(QString::fromStdString(toneToText(area.copyEntries({3}).front().tone2, off)),
                 combo->currentText());
        QTest::keyClick(combo->lineEdit(), Qt::Key_Escape);
        QVERIFY(!grid->editing());
    }

    void remoteChannelCellWaitsForItsGroup() {
        struct Case {
            const char* name;
            bool withGroup;
            Qt::Key key; // Qt::Key_unknown: a click
            bool opens;
            int editCol;
        } cases[] = {
            {"click without group goes to the group", false, Qt::Key_unknown, true, 1},
            {"digit without group goes to the group", false, Qt::Key_2, true, 1},
            {"Enter without group opens nothing", false, Qt::Key_Return, false, 0},
            {"click with a group opens the channel", true, Qt::Key_unknown, true, 2},
            {"Enter with a group opens the channel", true, Qt::Key_Return, true, 2},
        };
        for (const Case& c : cases) {
            test::Fixture fx;
            ChannelStore(fx.doc, fx.texts).addChannel(0, 0); // group 1 channel 1
            Setup s(fx);
            auto* view = s.open<CChannelListView>(cmd::kRemoteList);
            QVERIFY(view);
            QCOMPARE(fx.messenger.ids(), std::vector<int>{forms::chlists::kMsgRemoteNotInUse});
            AreaGrid* grid = view->grid(0);
            if (c.withGroup) {
                grid->setCurrent(5, 1);
                grid->setFocus();
                QTest::keyClicks(grid, "1");
                QTest::keyClick(grid->textEditor(), Qt::Key_Return);
                QCOMPARE(grid->textMatrix(5, 1), QStringLiteral("1"));
            }
            QCOMPARE(view->listArea().isGridCellEnabledAt(0, 4, 2), c.withGroup);
            grid->setCurrent(5, 2);
            grid->setFocus();
            if (c.key == Qt::Key_unknown)
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(5, 2).center());
            else
                QTest::keyClick(grid, c.key);
            QVERIFY2(grid->editing() == c.opens, c.name);
            if (c.opens) QVERIFY2(grid->col() == c.editCol, c.name);
            grid->closeEditor(true, false);
            QCOMPARE(fx.messenger.ids().size(), std::size_t(1));
        }
    }

    void enterAndTabMoveOnInEveryGrid() {
        struct Step {
            const char* typed; // into whatever has the focus: the grid opens its editor on it
            Qt::Key key;
            Qt::KeyboardModifiers mods = Qt::NoModifier;
        };
        struct Cell {
            int row, col;
            const char* startsWith;
        };
        struct Case {
            const char* name;
            int command;
            std::pair<int, int> start;
            std::vector<Step> steps;
            std::vector<Cell> cells;
            std::pair<int, int> end;
        } cases[] = {
            {"OST row typed with Enter",
             cmd::kOst,
             {1, 1},
             {{"fire dept1", Qt::Key_Return}, {"100", Qt::Key_Return}, {"D025", Qt::Key_Return}},
             {{1, 1, "FIRE DEP"}, {1, 2, "100"}, {1, 3, "D025"}},
             {2, 1}},
            {"OST Tab right, wrapping, Shift+Tab back",
             cmd::kOst,
             {1, 2},
             {{"74", Qt::Key_Tab}, {"D023", Qt::Key_Tab}, {"x", Qt::Key_Backtab, Qt::ShiftModifier}},
             {{1, 2, "74"}, {1, 3, "D023"}, {2, 1, "X"}},
             {1, 3}},
            {"auto-dial codes typed with Enter",
             cmd::kDtmf,
             {1, 1},
             {{"123", Qt::Key_Return}, {"456", Qt::Key_Return}},
             {{1, 1, "123"}, {2, 1, "456"}},
             {3, 1}},
            {"remote group typed with Enter",
             cmd::kRemoteList,
             {1, 1},
             {{"1", Qt::Key_Return}},
             {{1, 1, "1"}},
             {1, 2}},
            {"key list chosen and Enter",
             cmd::kKeyAssignment,
             {1, 1},
             {{"", Qt::Key_Return}, {"", Qt::Key_Down}, {"", Qt::Key_Return}},
             {},
             {2, 1}},
        };
        for (const Case& c : cases) {
            test::Fixture fx;
            ChannelStore(fx.doc, fx.texts).addChannel(0, 0);
            Setup s(fx);
            auto* view = qobject_cast<GridFormView*>(s.open(c.command));
            QVERIFY2(view, c.name);
            if (auto* dtmf = qobject_cast<CDtmfView*>(view)) {
                setAutoDial(dtmf, true);
                dtmf->setCurrentPage(forms::dtmf::kAutoDialPage);
            }
            AreaGrid* grid = view->currentGrid();
            grid->setCurrent(c.start.first, c.start.second);
            grid->setFocus();
            for (const Step& st : c.steps) {
                QTest::keyClicks(QApplication::focusWidget(), st.typed);
                QTest::keyClick(QApplication::focusWidget(), st.key, st.mods);
            }
            test::saveShot(view,
                           QStringLiteral("grid-keys-%1")
                               .arg(QString::fromLatin1(c.name).replace(QLatin1Char(' '), QLatin1Char('-'))));
            QVERIFY2(!grid->editing(), c.name);
            QCOMPARE(std::pair(grid->row(), grid->col()), c.end);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid));
            for (const Cell& cell : c.cells)
                QVERIFY2(grid->textMatrix(cell.row, cell.col).startsWith(QLatin1String(cell.startsWith)),
                         c.name);
        }
    }

    void photographsAndOpeningTimes() {
        // VELORA_SHOT_DIR=dir keeps the pictures; the times are printed either way.
        const struct {
            int command;
            const char* name;
        } views[] = {
            {cmd::kTwoTone, "two-tone"},          {cmd::kDtmf, "dtmf"}, {cmd::kDravix, "dravix"},
            {cmd::kEmergency, "emergency"},       {cmd::kOst, "ost"},   {cmd::kRemoteList, "remote-list"},
            {cmd::kRepeaterList, "repeater-list"}};
        for (bool dual : {true, false}) {
            test::Fixture fx;
            auto id = identificationOf(fx.doc.image());
            id.setDualHead(dual);
            id.setHeadType(kHead1, dual ? 1 : 0);
            id.setHeadType(kHead2, 1);
            setIdentification(fx.doc.image().main(), id);
            if (dual) fx.makeDualBand();
            Setup s(fx);
            const QString tag = dual ? QStringLiteral("dual") : QStringLiteral("single");
            for (const auto& v : views) {
                if (!dual && v.command == cmd::kRepeaterList) continue; // dual band only
                qint64 ns = 0;
                QWidget* view = s.open(v.command, &ns);
                QVERIFY2(view, v.name);
                auto* form = qobject_cast<CFormView*>(view);
                for (int p = 0; p < form->pageCount(); ++p) {
                    if (!form->tabs()->isTabVisible(p)) continue;
                    form->setCurrentPage(p);
                    test::saveShot(view,
                                   QStringLiteral("%1-%2-page%3").arg(QLatin1String(v.name), tag).arg(p));
                }
                qInfo("%s %s view opens in %.1f ms", qPrintable(tag), v.name, ns / 1e6);
            }
            if (auto* dtmf = qobject_cast<CDtmfView*>(s.open(cmd::kDtmf))) {
                setAutoDial(dtmf, true);
                dtmf->setCurrentPage(forms::dtmf::kAutoDialPage);
                dtmf->autoDialGrid()->setCurrent(2, 1);
                dtmf->autoDialGrid()->openEditor(AreaGrid::Open::Click);
                test::saveShot(dtmf, QStringLiteral("dtmf-%1-autodial-editing").arg(tag));
                dtmf->endEdits();
            }
            if (auto* ost = qobject_cast<COstView*>(s.open(cmd::kOst))) {
                ost->grid(0)->setCurrent(3, forms::ost::kTone1Column);
                ost->grid(0)->openEditor(AreaGrid::Open::Popup);
                test::saveShot(ost, QStringLiteral("ost-%1-tone-editing").arg(tag));
                ost->endEdits();
            }
            s.frame.runCommand(cmd::kTileVertical);
            test::saveShot(&s.frame, QStringLiteral("frame-views2-%1").arg(tag));
        }
    }
};

QTEST_MAIN(FeatureViews2Test)
#include "feature_views2_test.moc"
