// The generic form view over a small demo area: pages, commits, steps, enables, keys, help.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "forms/CFormView.h"
#include "forms/FeatureArea.h"
#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"

using namespace velora;
using namespace velora::forms;

namespace {
struct Texts : TextSource {
    mutable std::map<int, std::string> cache;
    std::string_view text(int n) const override {
        static const std::map<int, std::string> known{
            {13, "Close"},        {14, "Help"},    {262, "None"},    {277, "On"},
            {278, "Off"},         {296, "Cont."},  {900, "Demo"},    {901, "Levels"},
            {902, "Switches"},    {903, "Extras"}, {910, "Volume"},  {911, "Mode"},
            {912, "Delay [sec]"}, {913, "Beep"},   {914, "Options"}, {915, "Station"}};
        auto it = known.find(n);
        return it != known.end() ? std::string_view(it->second)
                                 : std::string_view(cache[n] = "T" + std::to_string(n));
    }
};
struct SilentMessenger : Messenger {
    MsgAnswer show(const Message&) override { return MsgAnswer::Ok; }
};

constexpr ValueItem kModes[] = {{278, 0}, {277, 1}};
constexpr FieldDescriptor kLevels[] = {
    {.labelControl = 100,
     .valueControl = 101,
     .spinControl = 102,
     .labelText = 910,
     .kind = FieldKind::EditSpin,
     .help = 501,
     .charClass = CharClass::Digits,
     .maxLength = 2,
     .storage = numberAt(0x16, {0, 31, 1})},
    {.labelControl = 110,
     .valueControl = 115,
     .labelText = 911,
     .kind = FieldKind::List,
     .help = 502,
     .storage = listAt(0x2C, kModes)},
    {.labelControl = 120,
     .valueControl = 121,
     .spinControl = 122,
     .labelText = 912,
     .kind = FieldKind::EditSpin,
     .charClass = CharClass::Digits,
     .maxLength = 2,
     .storage = numberAt(0x39, {1, 30, 1}, {296, 0xFF}, StepRule::Special, 0xFF)},
};
constexpr FieldDescriptor kSwitches[] = {
    {.labelControl = 200, .labelText = 914, .kind = FieldKind::Frame},
    {.labelControl = 201,
     .valueControl = 201,
     .labelText = 913,
     .kind = FieldKind::Check,
     .storage = checkAt(0x38, {278, 277})},
    {.labelControl = 210,
     .valueControl = 211,
     .labelText = 915,
     .kind = FieldKind::Edit,
     .charClass = CharClass::Name,
     .maxLength = 8,
     .fixedPitch = true},
    {.kind = FieldKind::None},
};
constexpr FieldDescriptor kExtras[] = {
    {.labelControl = 300,
     .valueControl = 301,
     .labelText = 910,
     .kind = FieldKind::Edit,
     .charClass = CharClass::Digits,
     .maxLength = 3,
     .storage = numberAt(0x40, {0, 255, 1})},
};
constexpr FieldPage kPages[] = {{901, kLevels}, {902, kSwitches}, {903, kExtras}};

// The delay field applies only while the mode is on; the extras page exists only while Beep is ticked.
class DemoArea : public FeatureArea {
  public:
    using FeatureArea::FeatureArea;
    int titleText() const override { return 900; }
    int defaultHelp() const override { return 32; }
    std::span<const FieldPage> pages() const override { return kPages; }
    bool pageAvailable(int page) const override {
        return page != 2 ? FeatureArea::pageAvailable(page) : document().image().main()[0x38] == 1;
    }
    bool isFieldEnabled(int page, int field) const override {
        if (page == 0 && field == 2) return document().image().main()[0x2C] == 1;
        return true;
    }
    FieldEffects commitChoice(int page, int field, int value) override {
        FieldEffects fx = FeatureArea::commitChoice(page, field, value);
        if (page == 0 && field == 1) fx.refreshEnables = true;
        if (page == 1 && field == 1) {
            fx.pagesChanged = true;
            fx.otherViews |= views::kChannelInfo;
        }
        return fx;
    }
};
} // namespace

class FormViewTest : public QObject {
    Q_OBJECT
    Texts texts;
    SilentMessenger messenger;
    std::unique_ptr<MessageBoxes> boxes;
    std::unique_ptr<Document> doc;
    std::unique_ptr<DemoArea> area;
    std::unique_ptr<gui::CFormView> view;
    Byte& at(std::size_t off) { return doc->image().main()[off]; }
    gui::FilteredLineEdit* edit(int page, int field) {
        return qobject_cast<gui::FilteredLineEdit*>(view->valueWidget(page, field));
    }

  private slots:
    void init() {
        boxes = std::make_unique<MessageBoxes>(messenger, texts);
        doc = std::make_unique<Document>();
        doc->image().reset();
        at(0x16) = 12;
        at(0x2C) = 0;
        at(0x39) = 0xFF;
        at(0x38) = 1;
        area = std::make_unique<DemoArea>(*doc, *boxes);
        view = std::make_unique<gui::CFormView>(*area, texts, QFont("Courier", 9));
        view->resize(360, 260);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup() {
        view.reset();
        area.reset();
    }

    void fieldsShowTheImageAndEnablesFollowTheRules() {
        QCOMPARE(view->windowTitle(), QString("Demo"));
        QCOMPARE(edit(0, 0)->text(), QString("12"));
        QCOMPARE(edit(0, 2)->text(), QString("Cont."));
        QVERIFY(!edit(0, 2)->isEnabled());
        QVERIFY(!view->spinButtons(0, 2)->isEnabled());
        auto* mode = qobject_cast<QComboBox*>(view->control(115));
        QCOMPARE(mode->currentText(), QString("Off"));
        QCOMPARE(view->control(101), view->valueWidget(0, 0));
        QCOMPARE(view->control(1011)->objectName(), QString("ctl1011"));
    }

    void anEditCommitsClampedWhenItLosesTheFocus() {
        edit(0, 0)->setFocus();
        edit(0, 0)->selectAll();
        QTest::keyClicks(edit(0, 0), "45");
        QTest::keyClick(edit(0, 0), Qt::Key_Return); // Enter acts as Tab
        QTRY_VERIFY(!edit(0, 0)->hasFocus());
        QCOMPARE(at(0x16), Byte(31));
        QCOMPARE(edit(0, 0)->text(), QString("31"));
    }

    void anUntouchedEditLeavesAnOutOfRangeByteAlone() {
        at(0x16) = 99;
        view->refreshAll();
        QCOMPARE(edit(0, 0)->text(), QString());
        edit(0, 0)->setFocus();
        view->control(115)->setFocus();
        QCOMPARE(at(0x16), Byte(99));
    }

    void spinCommitsTheTextThenStepsThroughTheCore() {
        edit(0, 0)->setFocus();
        edit(0, 0)->selectAll();
        QTest::keyClicks(edit(0, 0), "30");
        QTest::mouseClick(view->spinButtons(0, 0)->upButton(), Qt::LeftButton);
        QCOMPARE(at(0x16), Byte(31));
        QTest::mouseClick(view->spinButtons(0, 0)->upButton(), Qt::LeftButton);
        QCOMPARE(at(0x16), Byte(0)); // wraps
        QCOMPARE(edit(0, 0)->text(), QString("0"));
        QTRY_COMPARE(edit(0, 0)->selectedText(), QString("0"));
    }

    void aListSelectionStoresAndRefreshesEnables() {
        auto* mode = qobject_cast<QComboBox*>(view->control(115));
        mode->setFocus();
        QTest::keyClick(mode, Qt::Key_Down); // selects the next item, as a user would
        QCOMPARE(at(0x2C), Byte(1));
        QVERIFY(edit(0, 2)->isEnabled());
        QTest::mouseClick(view->spinButtons(0, 2)->downButton(), Qt::LeftButton);
        QCOMPARE(at(0x39), Byte(30));
    }

    void ctrlTabCyclesThePagesBothWays() {
        QCOMPARE(view->currentPage(), 0);
        edit(0, 0)->setFocus();
        QTest::keyClick(edit(0, 0), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(view->currentPage(), 1);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == view->tabs()->tabBar());
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(view->currentPage(), 2);
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(view->currentPage(), 0); // last to first
        QTest::keyClick(focus, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(view->currentPage(), 2); // first to last
    }

    void aCheckBoxChangesWhichPagesExist() {
        QSignalSpy views(view.get(), &gui::CFormView::refreshViews);
        view->setCurrentPage(1);
        auto* beep = qobject_cast<QCheckBox*>(view->control(201));
        QVERIFY(beep->isChecked());
        beep->click();
        QCOMPARE(at(0x38), Byte(0));
        QVERIFY(!view->tabs()->isTabVisible(2));
        QCOMPARE(views.count(), 1);
        QCOMPARE(views.first().first().toUInt(), views::kChannelInfo);
        // With the third page gone, Ctrl+Tab only toggles between the two left.
        QTest::keyClick(beep, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(view->currentPage(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(view->currentPage(), 1);
    }

    void f1AsksForTheFieldsTopicOrTheDefault() {
        QSignalSpy help(view.get(), &gui::CFormView::helpRequested);
        edit(0, 0)->setFocus();
        QTest::keyClick(edit(0, 0), Qt::Key_F1);
        view->control(1011)->setFocus();
        QTest::keyClick(view->control(1011), Qt::Key_F1);
        QTest::mouseClick(view->control(gui::CFormView::kHelpControl), Qt::LeftButton);
        QCOMPARE(help.count(), 3);
        QCOMPARE(help.at(0).first().toInt(), 501);
        QCOMPARE(help.at(1).first().toInt(), 32);
        QCOMPARE(help.at(2).first().toInt(), 32);
    }

    // A form of one page is drawn without a tab and without an empty tab frame around it.
    void aSinglePageFormHasNoTabFrame() {
        static constexpr FieldPage kOnePage[] = {{0, kLevels}};
        struct OnePage : DemoArea {
            using DemoArea::DemoArea;
            std::span<const FieldPage> pages() const override { return kOnePage; }
        } one(*doc, *boxes);
        gui::CFormView form(one, texts, QFont("Courier", 9));
        form.resize(360, 200);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.tabs()->tabBar()->isVisible());
        // The page fills the tab widget: no frame is drawn around it.
        QCOMPARE(form.tabs()->currentWidget()->geometry(), form.tabs()->rect());
        if (!qEnvironmentVariableIsEmpty("VELORA_SHOTS"))
            form.grab().save(qEnvironmentVariable("VELORA_SHOTS") + "/form_single.png");
    }

    void screenshot() {
        if (qEnvironmentVariableIsEmpty("VELORA_SHOTS")) QSKIP("screenshots only on request");
        view->grab().save(qEnvironmentVariable("VELORA_SHOTS") + "/form0.png");
        view->setCurrentPage(1);
        view->grab().save(qEnvironmentVariable("VELORA_SHOTS") + "/form1.png");
    }
};

QTEST_MAIN(FormViewTest)
#include "form_view_test.moc"
