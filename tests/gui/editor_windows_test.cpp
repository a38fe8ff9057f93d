// Editor windows as a technician meets them: the size each opens at, the window state it opens
// into, which one comes to the front, and the window keys of the main frame.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "features/PanelPicture.h"
#include "frame/MainFrame.h"
#include "frame/NavigationTree.h"
#include "grid/CMSFlexGrid.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::gui;

namespace {

// The default data set, or one with two control heads (the second of the 13-key type) and two bands.
void makeDataSet(test::Fixture& fx, bool dual) {
    if (!dual) return;
    fx.makeDualBand();
    auto id = identificationOf(fx.doc.image());
    id.setDualHead(true);
    id.setHeadType(kHead1, 0);
    id.setHeadType(kHead2, 1);
    setIdentification(fx.doc.image(), id);
}

// Visible widgets of `view` that are squeezed below their own minimum or cut their text, lists
// wider than their items, names and codes in a smaller or proportional font, separator lines with
// nothing under them, and panel pictures lying over another visible control, by object or class
// name.
QStringList layoutFaults(QWidget* view) {
    QStringList faults;
    auto name = [](const QWidget* w) {
        return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                         : w->objectName();
    };
    for (QWidget* w : view->findChildren<QWidget*>()) {
        // A tab widget places its own bar.
        if (!w->isVisibleTo(view) || w->isWindow() || w->inherits("QTabBar")) continue;
        // An explicit minimum (a fixed size among them) overrides the hint, as layouts take it.
        const QSize hint = w->minimumSizeHint(), set = w->minimumSize();
        const QSize need(set.width() > 0 ? set.width() : hint.width(),
                         set.height() > 0 ? set.height() : hint.height());
        const QSizePolicy sp = w->sizePolicy();
        const bool squeezedW =
            need.width() > w->width() && !(sp.horizontalPolicy() & QSizePolicy::IgnoreFlag);
        const bool squeezedH =
            need.height() > w->height() && !(sp.verticalPolicy() & QSizePolicy::IgnoreFlag);
        if ((squeezedW || squeezedH) && w->parentWidget() &&
            !w->parentWidget()->inherits("QAbstractScrollArea"))
            faults << name(w) + QStringLiteral(" squeezed");
        // A text is cut where a fixed width, not the layout, holds its control below the text.
        if ((qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->wordWrap()) || qobject_cast<QCheckBox*>(w))
            if (w->sizeHint().width() > w->width()) faults << name(w) + QStringLiteral(" text cut");
        // A list is as wide as its longest item, whenever it was measured.
        if (auto* list = qobject_cast<QComboBox*>(w);
            list && list->sizeAdjustPolicy() == QComboBox::AdjustToContents &&
            list->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed &&
            list->width() != list->sizeHint().width())
            faults << name(w) + QStringLiteral(" wider than its items");
        // Text in a font of its own (fixed-pitch names and codes) reads at the size of the text
        // beside it.
        const auto smaller = [&](const QFont& f) {
            return QFontMetricsF(f).xHeight() < 0.9 * QFontMetricsF(view->font()).xHeight();
        };
        // Measured, not as the font database reports it: some fixed-pitch faces do not say so.
        const auto proportional = [](const QFont& f) {
            const QFontMetricsF m(f);
            return m.horizontalAdvance(QLatin1Char('i')) != m.horizontalAdvance(QLatin1Char('W'));
        };
        if (w->testAttribute(Qt::WA_SetFont) && smaller(w->font()))
            faults << name(w) + QStringLiteral(" in a smaller font");
        if (auto* grid = qobject_cast<CMSFlexGrid*>(w);
            grid && (smaller(grid->fixedFont()) || proportional(grid->fixedFont())))
            faults << name(w) + QStringLiteral(" names not in fixed pitch at the row's size");
        // A separator line divides what is above it from what is below.
        if (auto* line = qobject_cast<QFrame*>(w);
            line && line->frameShape() == QFrame::HLine && w->parentWidget()) {
            bool below = false;
            for (QWidget* other : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                below |= other != w && other->isVisibleTo(view) && other->y() > w->geometry().bottom();
            if (!below) faults << name(w) + QStringLiteral(" separates nothing");
        }
        if (auto* picture = qobject_cast<PanelPicture*>(w)) {
            const QRect at(picture->mapTo(view, QPoint(0, 0)), picture->size());
            for (QWidget* other : picture->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != picture && other->isVisibleTo(view) && !other->isAncestorOf(picture) &&
                    QRect(other->mapTo(view, QPoint(0, 0)), other->size()).intersects(at))
                    faults << name(picture) + QStringLiteral(" over ") + name(other);
        }
    }
    return faults;
}

struct Frame {
    explicit Frame(test::Fixture& fx, QSize size = {1400, 1000}) : f(fx.ctx, fx.registry) {
        f.resize(size);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QApplication::setActiveWindow(&f);
    }
    MainFrame f;
};

} // namespace

class EditorWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    // Every editor opens where its whole form shows without scrolling, never below its minimum, on
    // the default data set and on one with two heads and two bands.
    void everyEditorOpensShowingAllItsContent() {
        QStringList failures;
        for (const bool dual : {false, true}) {
            test::Fixture fx;
            makeDataSet(fx, dual);
            registerFeatures(fx.registry);
            Frame w(fx);
            for (const auto& e : editorList()) {
                if (!w.f.isCommandAvailable(e.command)) continue;
                w.f.runCommand(e.command);
                QCoreApplication::processEvents();
                QMdiSubWindow* sub = w.f.editorWindow(e.command);
                QVERIFY(sub);
                QWidget* view = sub->widget();
                const QString what = QStringLiteral("%1%2").arg(fx.text(e.treeText), dual ? " (dual)" : "");
                if (view->width() < view->sizeHint().width() || view->height() < view->sizeHint().height())
                    failures << what + QStringLiteral(": %1x%2 below its size hint %3x%4")
                                           .arg(view->width())
                                           .arg(view->height())
                                           .arg(view->sizeHint().width())
                                           .arg(view->sizeHint().height());
                // Every page of the editor, as it shows when turned to.
                auto* tabs = view->findChild<QTabWidget*>();
                for (int page = 0; page < (tabs ? tabs->count() : 1); ++page) {
                    if (tabs && !tabs->isTabVisible(page)) continue;
                    if (tabs) tabs->setCurrentIndex(page);
                    QCoreApplication::processEvents();
                    const QString name =
                        QStringLiteral("editor-%1-%2%3").arg(e.command).arg(page).arg(dual ? "-dual" : "");
                    test::saveShot(sub, name);
                    if (const QStringList faults = layoutFaults(view); !faults.isEmpty())
                        failures << name + QStringLiteral(": ") + faults.join(QStringLiteral(", "));
                }
                sub->close();
                QCoreApplication::processEvents();
            }
        }
        for (const QString& f : failures)
            qWarning("%s", qPrintable(f));
        QVERIFY(failures.isEmpty());
    }

    // Opened while the others are maximised, an editor opens maximised with its form filling the
    // window, and returns to its own size; opened from the tree it comes to the front with the focus.
    void anEditorOpensIntoTheAreasStateAndInFront() {
        test::Fixture fx;
        registerFeatures(fx.registry);
        Frame w(fx, {900, 700});
        w.f.runCommand(cmd::kChannelInfo);
        w.f.editorWindow(cmd::kChannelInfo)->showMaximized();
        w.f.runCommand(cmd::kTreeView);
        NavigationTree* tree = w.f.navigationTree();
        QTreeWidgetItem* root = tree->tree()->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->data(0, Qt::UserRole).toInt() == cmd::kEmbeddedMessage)
                tree->tree()->setCurrentItem(root->child(i));
        tree->activateWindow();
        QTest::keyClick(tree->tree(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QMdiSubWindow* sub = w.f.editorWindow(cmd::kEmbeddedMessage);
        QVERIFY(sub);
        QCOMPARE(w.f.mdiArea()->activeSubWindow(), sub);
        QVERIFY(sub->isMaximized());
        QCOMPARE(sub->geometry(), w.f.mdiArea()->viewport()->rect());
        QCOMPARE(sub->widget()->geometry(), sub->contentsRect());
        QVERIFY(sub->widget()->isAncestorOf(QApplication::focusWidget()));
        test::saveShot(&w.f, QStringLiteral("maximised-open"));
        // A maximised form keeps together: tabs as wide as their texts, buttons under the grid.
        w.f.runCommand(cmd::kTestFrequency);
        QCoreApplication::processEvents();
        QWidget* freq = w.f.editorWindow(cmd::kTestFrequency)->widget();
        QVERIFY(w.f.editorWindow(cmd::kTestFrequency)->isMaximized());
        auto* bar = freq->findChild<QTabBar*>();
        auto* grid = freq->findChild<QTableWidget*>();
        QVERIFY(bar->width() <= bar->sizeHint().width());
        for (auto* b : freq->findChildren<QPushButton*>()) {
            const QRect at(b->mapTo(freq, QPoint(0, 0)), b->size());
            QVERIFY(at.right() <= grid->geometry().right() && at.top() > grid->geometry().bottom());
        }
        sub->showNormal();
        QVERIFY(sub->widget()->width() >= sub->widget()->sizeHint().width());
        QVERIFY(sub->widget()->height() >= sub->widget()->sizeHint().height());
    }

    // Ctrl+F4 closes the active editor; Ctrl+Tab and Ctrl+Shift+Tab go to the next and previous
    // window, except in a form that turns its own pages with them.
    void windowKeysActOnTheActiveEditor() {
        test::Fixture fx;
        makeDataSet(fx, true);
        registerFeatures(fx.registry);
        Frame w(fx);
        const int opened[] = {cmd::kChannelInfo, cmd::kScanInfo, cmd::kKeyAssignment};
        for (int c : opened)
            w.f.runCommand(c);
        auto active = [&w] { return w.f.mdiArea()->activeSubWindow(); };
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            int from;
            int to; // the active editor after the key; 0: it closed
        } steps[] = {
            {Qt::Key_Tab, Qt::ControlModifier, cmd::kKeyAssignment, cmd::kKeyAssignment}, // head tabs
            {Qt::Key_Tab, Qt::ControlModifier, cmd::kScanInfo, cmd::kKeyAssignment},
            {Qt::Key_Tab, Qt::ControlModifier, cmd::kChannelInfo, cmd::kScanInfo},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, cmd::kScanInfo, cmd::kChannelInfo},
            {Qt::Key_F4, Qt::ControlModifier, cmd::kScanInfo, 0},
        };
        for (const auto& s : steps) {
            w.f.openEditor(s.from);
            QCoreApplication::processEvents();
            QTest::keyClick(QApplication::focusWidget(), s.key, s.mods);
            QCoreApplication::processEvents();
            if (s.to == 0)
                QTRY_VERIFY(!w.f.editorWindow(s.from));
            else
                QCOMPARE(active(), w.f.editorWindow(s.to));
        }
    }
};

QTEST_MAIN(EditorWindowsTest)
#include "editor_windows_test.moc"
