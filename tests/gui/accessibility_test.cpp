// Every focusable control of every editor and dialog carries a name for assistive technology, on a
// data set that shows the most controls (dual band, dual head).
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "comm/DemoRadio.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"
#include "views/AccessibleNames.h"

using namespace velora;
using namespace velora::gui;

namespace {

// The visible focusable widgets under root that a screen reader would announce without a name.
QStringList unnamed(QWidget* root, const QString& where) {
    QStringList out;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisibleTo(root) || !(w->focusPolicy() & Qt::TabFocus) || qobject_cast<QTabBar*>(w))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        // A name without a letter or digit (the dash between two joined edits) names nothing.
        if (a && !a->text(QAccessible::Name).contains(QRegularExpression(QStringLiteral("\\w"))))
            out << where + QLatin1String(": ") + QString::fromLatin1(w->metaObject()->className()) +
                       QLatin1Char(' ') + w->objectName();
    }
    return out;
}

// Every page of every tab widget in turn, so controls on hidden pages are checked too.
QStringList unnamedOnEveryPage(QWidget* root, const QString& where) {
    QStringList out = unnamed(root, where);
    for (auto* tabs : root->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            out += unnamed(tabs->widget(i), where + QLatin1Char('/') + tabs->tabText(i));
        }
    out.removeDuplicates();
    return out;
}

bool takesTab(const QWidget* w, const QWidget* root) {
    return w->isVisibleTo(root) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           !qobject_cast<const QTabBar*>(w);
}

// The order a reader takes the controls in, from the layouts alone: a grid row by row, left to right,
// a box in its order, a group box or container through its own layout.
void readingOrder(QLayout* layout, const QWidget* root, QList<QWidget*>& out);
void readingOrder(QWidget* w, const QWidget* root, QList<QWidget*>& out) {
    if (!w->isVisibleTo(root)) return;
    if (takesTab(w, root)) out << w;
    if (w->layout()) readingOrder(w->layout(), root, out);
}
void readingOrder(QLayout* layout, const QWidget* root, QList<QWidget*>& out) {
    std::vector<std::pair<std::pair<int, int>, QLayoutItem*>> items;
    auto* grid = qobject_cast<QGridLayout*>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        int row = 0, col = i, rs = 0, cs = 0;
        if (grid) grid->getItemPosition(i, &row, &col, &rs, &cs);
        items.push_back({{row, col}, layout->itemAt(i)});
    }
    std::stable_sort(items.begin(), items.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (auto& [pos, item] : items) {
        if (item->widget())
            readingOrder(item->widget(), root, out);
        else if (item->layout())
            readingOrder(item->layout(), root, out);
    }
}

// The order Tab visits the page's controls, starting at its first one.
QList<QWidget*> tabOrder(QWidget* page, const QList<QWidget*>& controls) {
    QList<QWidget*> out;
    if (controls.isEmpty()) return out;
    QWidget* w = controls.first();
    do {
        if (controls.contains(w) && !out.contains(w)) out << w;
        w = w->nextInFocusChain();
    } while (w && w != controls.first());
    Q_UNUSED(page);
    return out;
}

// Photographs (VELORA_SHOT_DIR) can be taken under a dark Fusion palette (VELORA_SHOT_DARK=1).
void darkFusion() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xe8, 0xe8, 0xe8);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x5a, 0xa9, 0xf0));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(p);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    static void dualHeadDualBand(test::Fixture& fx) {
        fx.makeDualBand();
        auto id = identificationOf(fx.doc.image());
        id.setDualHead(true);
        setIdentification(fx.doc.image(), id);
    }

    // Opens every registered editor of a dual-head, dual-band data set in the main frame in turn and
    // hands each window to `visit`; returns how many opened.
    template <class Visit>
    static int forEveryEditor(Visit visit) {
        test::Fixture fx;
        dualHeadDualBand(fx);
        registerFeatures(fx.registry);
        MainFrame frame(fx.ctx, fx.registry);
        frame.resize(1200, 800);
        frame.show();
        int opened = 0;
        for (const auto& e : editorList()) {
            if (!fx.registry.hasEditor(e.command)) continue;
            frame.runCommand(e.command);
            QCoreApplication::processEvents();
            auto* sub = frame.mdiArea()->activeSubWindow();
            if (!sub) continue;
            ++opened;
            visit(frame, e.command, fx.text(e.treeText), sub);
        }
        return opened;
    }

  private slots:
    void initTestCase() {
        AccessibleNaming::install();
        if (qEnvironmentVariableIsSet("VELORA_SHOT_DARK")) darkFusion();
    }

    void everyEditorNamesItsControls() {
        QStringList missing;
        const int opened = forEveryEditor([&](MainFrame& frame, int command, const QString& title,
                                              QMdiSubWindow* sub) {
            if (command == cmd::kChannelInfo) {
                sub->showMaximized();
                test::saveShot(&frame, QStringLiteral("main-window"));
                test::saveShot(sub, QStringLiteral("channel-grid"));
                sub->showNormal();
            }
            if (command == cmd::kKeyAssignment || command == cmd::kScanInfo) {
                const QSize normal = sub->size();
                sub->resize(sub->size().expandedTo(sub->widget()->sizeHint() + QSize(16, 40)));
                test::saveShot(sub, command == cmd::kScanInfo ? QStringLiteral("form-editor")
                                                              : QStringLiteral("key-assignment"));
                sub->resize(normal);
            }
            missing += unnamedOnEveryPage(sub, title);
        });
        QVERIFY(opened > 10);
        for (const auto& m : missing)
            qWarning("unnamed: %s", qPrintable(m));
        QVERIFY(missing.isEmpty());
    }

    void tabFollowsTheReadingOrderOnEveryFormPage() {
        QStringList wrong;
        int compared = 0;
        forEveryEditor([&](MainFrame&, int, const QString& title, QMdiSubWindow* sub) {
            for (auto* tabs : sub->findChildren<QTabWidget*>())
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    QCoreApplication::processEvents();
                    QWidget* page = tabs->widget(i);
                    QList<QWidget*> expected;
                    readingOrder(page, page, expected);
                    expected.removeAll(page);
                    const QList<QWidget*> actual = tabOrder(page, expected);
                    compared += expected.size() > 1 ? 1 : 0;
                    if (actual != expected) wrong << title + QLatin1Char('/') + tabs->tabText(i);
                }
        });
        QVERIFY(compared > 10);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void everyDialogNamesItsControls() {
        test::Fixture fx;
        dualHeadDualBand(fx);
        registerFeatures(fx.registry);
        MainFrame frame(fx.ctx, fx.registry);
        frame.show();
        std::vector<int> dialogs{cmd::kAbout, cmd::kModelInfo, cmd::kCommPort, cmd::kMemoryMap};
        for (int c : fx.registry.commands())
            if (c != cmd::kTestMode) dialogs.push_back(c);
        QStringList missing;
        auto walk = [&](int c) {
            bool seen = false;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!d) return;
                seen = true;
                missing += unnamedOnEveryPage(d, d->windowTitle());
                d->reject();
            });
            poll.start(20);
            frame.runCommand(c);
            poll.stop();
            // A modeless dialog stays open after the command.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                    seen = true;
                    missing += unnamedOnEveryPage(d, d->windowTitle());
                    d->close();
                }
            return seen;
        };
        for (int c : dialogs)
            QVERIFY2(walk(c), qPrintable(QStringLiteral("command %1 showed no dialog").arg(c)));
        // Test mode is for a single-band radio on the line.
        auto id = identificationOf(fx.doc.image());
        id.setDualBand(false);
        setIdentification(fx.doc.image(), id);
        DemoRadio radio(fx.ctx);
        QCOMPARE(radio.start(QStringLiteral(VELORA_BIN_DIR "/velora-radio-sim")), QString());
        QVERIFY(walk(cmd::kTestMode));
        radio.restorePortMapping();
        for (const auto& m : missing)
            qWarning("unnamed: %s", qPrintable(m));
        QVERIFY(missing.isEmpty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
