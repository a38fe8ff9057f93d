// The form-only feature views (scan information, embedded message, optional features) as a user
// drives them, and the generic form view's field kinds; with photographs and the time to open each.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "GuiTestSupport.h"
#include "base/FrameCommands.h"
#include "channels/ChannelGui.h"
#include "features/CDtmfView.h"
#include "features/CEmbView.h"
#include "features/CFeatureView.h"
#include "features/CScanInfoView.h"
#include "features/FeatureFormView.h"
#include "features/OptionalFeatures.h"
#include "features/ScanInfo.h"
#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::gui;
using forms::FieldKind;
namespace scan = forms::scan;
namespace options = forms::options;

namespace {

// One field of every kind over bytes 0x40.., for the generic view.
constexpr forms::ValueItem kTwoItems[] = {{278, 0}, {277, 1}};
constexpr forms::FieldDescriptor kKinds[] = {
    {.labelControl = 2000, .labelText = 418, .kind = FieldKind::Frame},
    {.valueControl = 2001,
     .labelText = 400,
     .kind = FieldKind::Edit,
     .charClass = forms::CharClass::Digits,
     .maxLength = 2,
     .storage = forms::numberAt(0x40, {0, 31, 1})},
    {.valueControl = 2002,
     .spinControl = 2003,
     .labelText = 401,
     .kind = FieldKind::EditSpin,
     .charClass = forms::CharClass::Digits,
     .maxLength = 2,
     .storage = forms::numberAt(0x41, {0, 15, 1})},
    {.kind = FieldKind::None},
    {.valueControl = 2004,
     .labelText = 403,
     .kind = FieldKind::List,
     .storage = forms::listAt(0x42, kTwoItems)},
    {.labelControl = 2005,
     .valueControl = 2005,
     .labelText = 409,
     .kind = FieldKind::Check,
     .storage = forms::checkAt(0x43, {278, 277})},
    {.valueControl = 2006,
     .labelText = 422,
     .kind = FieldKind::Combo,
     .charClass = forms::CharClass::Any,
     .maxLength = 5,
     .storage = forms::numberAt(0x44, {0, 200, 1})},
    {.valueControl = 2007,
     .labelText = 402,
     .kind = FieldKind::Text,
     .storage = forms::numberAt(0x45, {0, 99, 1})},
};
constexpr forms::FieldPage kKindPages[] = {{0, kKinds}};

class KindsArea : public forms::FeatureArea {
  public:
    using FeatureArea::FeatureArea;
    int titleText() const override { return 245; }
    int defaultHelp() const override { return 32; }
    std::span<const forms::FieldPage> pages() const override { return kKindPages; }
};

// Head 1 of the first type; with `dual` a second head of the second (14-character) type and a
// second band.
void configure(test::Fixture& fx, bool dual) {
    auto id = identificationOf(fx.doc.image());
    id.setDualHead(dual);
    id.setHeadType(kHead1, 0);
    id.setHeadType(kHead2, 1);
    setIdentification(fx.doc.image(), id);
    if (dual) fx.makeDualBand();
}

struct Setup {
    explicit Setup(test::Fixture& fx) : fx(fx), frame(fx.ctx, fx.registry) {
        registerFeatures(fx.registry);
        frame.resize(1000, 760);
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
    Byte& at(std::size_t offset) { return fx.doc.image().main()[offset]; }
    test::Fixture& fx;
    MainFrame frame;
};

FilteredLineEdit* editOf(CFormView* v, int page, int field) {
    return qobject_cast<FilteredLineEdit*>(v->valueWidget(page, field));
}

// Types into a field as a user would and leaves it with Tab.
void typeAndLeave(QWidget* w, const QString& text) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Backspace);
    QTest::keyClicks(w, text);
    QTest::keyClick(w, Qt::Key_Tab);
}

} // namespace

class FormFeatureViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void everyFieldKindRendersAndCommits() {
        test::Fixture fx;
        KindsArea area(fx.doc, fx.boxes);
        CFormView view(area, fx.texts, fx.ctx.fixedFont);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto main = fx.doc.image().main();
        for (std::size_t at = 0x40; at < 0x45; ++at)
            main[at] = 0;
        main[0x45] = 42;
        view.refreshAll();
        struct Case {
            int field;
            const char* widgetClass;
            std::function<void(QWidget*)> act;
            std::size_t offset;
            int stored; // the byte afterwards
        } cases[] = {
            {1, "velora::gui::FilteredLineEdit", [](QWidget* w) { typeAndLeave(w, "45"); }, 0x40, 31},
            {2, "velora::gui::FilteredLineEdit",
             [&](QWidget* w) {
                 typeAndLeave(w, "15");
                 QTest::mouseClick(view.spinButtons(0, 2)->upButton(), Qt::LeftButton);
             },
             0x41, 0},
            {4, "QComboBox",
             [](QWidget* w) {
                 w->setFocus();
                 QTest::keyClick(w, Qt::Key_Down);
             },
             0x42, 1},
            {5, "QCheckBox", [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }, 0x43, 1},
            // What is typed is what is converted: "7" is not completed to a longer item.
            {6, "QComboBox", [](QWidget* w) { typeAndLeave(w, "7"); }, 0x44, 7},
            // Read-only text takes nothing typed.
            {7, "velora::gui::FilteredLineEdit", [](QWidget* w) { typeAndLeave(w, "5"); }, 0x45, 42},
        };
        for (Case& c : cases) {
            QWidget* w = view.valueWidget(0, c.field);
            QVERIFY2(w, c.widgetClass);
            QCOMPARE(w->metaObject()->className(), c.widgetClass);
            c.act(w);
            QCOMPARE(int(main[c.offset]), c.stored);
        }
        QCOMPARE(editOf(&view, 0, 1)->text(), QString("31"));
        QCOMPARE(qobject_cast<QComboBox*>(view.valueWidget(0, 6))->currentText(), QString("7"));
        QVERIFY(editOf(&view, 0, 7)->isReadOnly());
        QCOMPARE(editOf(&view, 0, 7)->text(), QString("42"));
        // The frame holds the fields after it up to the line; the line and what follows do not.
        auto* frame = qobject_cast<QGroupBox*>(view.labelWidget(0, 0));
        QVERIFY(frame);
        QCOMPARE(frame->title(), fx.text(418));
        QVERIFY(frame->isAncestorOf(view.valueWidget(0, 2)));
        QVERIFY(!frame->isAncestorOf(view.valueWidget(0, 4)));
        QVERIFY(qobject_cast<QFrame*>(view.labelWidget(0, 3)));
    }

    void leavingAPriorityListClearsItsGroupChannelPair() {
        test::Fixture fx;
        Setup s(fx);
        s.at(0x00) = scan::kModeFixed;
        s.at(0x50) = 0;
        s.at(0x51) = 0;
        auto* view = s.open<CScanInfoView>(cmd::kScanInfo);
        QVERIFY(view);
        QCOMPARE(editOf(view, 0, scan::kPriority1Group)->text(), QString("1"));
        QWidget* group = view->valueWidget(0, scan::kPriority1Group);
        QVERIFY(group->isEnabled());
        // The group and channel sit on the priority's one row.
        QCOMPARE(view->labelWidget(0, scan::kPriority1Channel), nullptr);
        auto* list = qobject_cast<QComboBox*>(view->valueWidget(0, scan::kPriority1));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home); // Off
        QCOMPARE(int(s.at(0x00)), scan::kModeOff);
        QCOMPARE(int(s.at(0x50)), 0); // still there while the list has the focus
        QVERIFY(!group->isEnabled());
        view->control(CFormView::kCloseControl)->setFocus();
        QCOMPARE(int(s.at(0x50)), 0xFF);
        QCOMPARE(int(s.at(0x51)), 0xFF);
    }

    void textSizesFollowEachOtherInTheOptionsView() {
        test::Fixture fx;
        Setup s(fx);
        auto* view = s.open<CFeatureView>(cmd::kOptionalFeatures);
        QVERIFY(view);
        QCOMPARE(view->pageCount(), 2);
        typeAndLeave(editOf(view, 0, options::kChannelTextSize), "3");
        QCOMPARE(editOf(view, 0, options::kGroupTextSize)->text(), QString("5"));
        typeAndLeave(editOf(view, 0, options::kChannelTextSize), "");
        QCOMPARE(editOf(view, 0, options::kChannelTextSize)->text(), QString("8"));
        QCOMPARE(editOf(view, 0, options::kGroupTextSize)->text(), fx.text(options::kTextSizeOff));
        QCOMPARE(int(s.at(0x11)), 0);
    }

    void aFullEmbeddedMessageLineShowsAloneAndWhole() {
        test::Fixture fx;
        Setup s(fx);
        const QByteArray line1 = "THIS LINE FILLS ALL 32 POSITIONS";
        const QByteArray line2 = "NEIGHBOUR";
        QCOMPARE(line1.size(), 32);
        std::copy(line1.begin(), line1.end(), &s.at(0x3E80));
        std::fill(&s.at(0x3EA0), &s.at(0x3EA0) + 32, Byte(' '));
        std::copy(line2.begin(), line2.end(), &s.at(0x3EA0));
        auto* view = s.open<CEmbView>(cmd::kEmbeddedMessage);
        QVERIFY(view);
        FilteredLineEdit* edit = editOf(view, 0, 0);
        QCOMPARE(edit->text(), QString(line1));
        QCOMPARE(editOf(view, 0, 1)->text(), QString(line2));
        // All 32 characters show without scrolling.
        QVERIFY(edit->fontMetrics().horizontalAdvance(edit->text()) < edit->contentsRect().width());
    }

    // Bytes that happen to form UTF-8 are still one character each: appending keeps them.
    void appendingToAMessageLineKeepsItsBytes() {
        test::Fixture fx;
        Setup s(fx);
        const QByteArray bytes = "Caf\xC3\xA9 \xC3\xBCn\xC3\xAF"
                                 "code";
        std::fill(&s.at(0x3E80), &s.at(0x3E80) + 32, Byte(' '));
        std::copy(bytes.begin(), bytes.end(), &s.at(0x3E80));
        auto* view = s.open<CEmbView>(cmd::kEmbeddedMessage);
        QVERIFY(view);
        FilteredLineEdit* edit = editOf(view, 0, 0);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, 'X');
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&s.at(0x3E80)), bytes.size() + 1), bytes + "X");
    }

    void helpFollowsTheFocusedFieldElseTheView() {
        test::Fixture fx;
        Setup s(fx);
        struct Case {
            int command;
            int page, field; // -1: the Close button
            int topic;
        } cases[] = {
            {cmd::kOptionalFeatures, 0, options::kSquelch, 103},
            {cmd::kOptionalFeatures, -1, -1, 32},
            {cmd::kScanInfo, 0, scan::kPriority2Channel, 314},
            {cmd::kScanInfo, -1, -1, 34},
            {cmd::kEmbeddedMessage, 0, 1, 45},
        };
        for (const Case& c : cases) {
            auto* view = s.open<FeatureFormView>(c.command);
            QVERIFY(view);
            QWidget* w =
                c.page < 0 ? view->control(CFormView::kCloseControl) : view->valueWidget(c.page, c.field);
            view->setCurrentPage(std::max(c.page, 0));
            w->setEnabled(true);
            w->setFocus();
            QCOMPARE(view->helpContext(), std::optional<int>(c.topic));
        }
    }

    void changesMadeElsewhereShowInTheOpenViews() {
        test::Fixture fx;
        Setup s(fx);
        auto* optionsView = s.open<CFeatureView>(cmd::kOptionalFeatures);
        auto* scanView = s.open<CScanInfoView>(cmd::kScanInfo);
        auto* dtmfView = s.open<CDtmfView>(cmd::kDtmf);
        QVERIFY(optionsView && scanView && dtmfView);
        s.at(0x16) = 9;  // minimum volume
        s.at(0x06) = 15; // dwell time
        auto* sideTone = qobject_cast<QCheckBox*>(dtmfView->valueWidget(0, forms::dtmf::kSideTone));
        QVERIFY(sideTone);
        const bool sideToneWas = sideTone->isChecked();
        s.at(0x44) = sideToneWas ? 0 : 1; // DTMF side tone
        refreshOtherViews(s.frame,
                          forms::views::kOptionalFeatures | forms::views::kScanInfo | forms::views::kDtmf);
        QCOMPARE(editOf(optionsView, 0, options::kMinimumVolume)->text(), QString("9"));
        QCOMPARE(editOf(scanView, 0, scan::kDwell)->text(), QString("1.5"));
        QCOMPARE(sideTone->isChecked(), !sideToneWas);
    }

    // A group frame holds the fields its table gives it and no more.
    void twoToneFramesHoldOnlyTheirDecodersFields() {
        test::Fixture fx;
        Setup s(fx);
        auto* view = s.open<FeatureFormView>(cmd::kTwoTone);
        QVERIFY(view);
        auto* decode1 = qobject_cast<QGroupBox*>(view->labelWidget(0, 0));
        auto* decode2 = qobject_cast<QGroupBox*>(view->labelWidget(0, 3));
        QVERIFY(decode1 && decode2);
        const QGroupBox* expected[] = {nullptr, decode1, decode1, nullptr, decode2, decode2,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
        for (int field = 0; field < int(std::size(expected)); ++field)
            if (QWidget* w = view->valueWidget(0, field))
                for (const QGroupBox* box : {decode1, decode2})
                    QVERIFY2(box->isAncestorOf(w) == (box == expected[field]),
                             qPrintable(QString::number(field)));
    }

    void viewsOpenQuicklyOnEveryConfiguration() {
        struct View {
            int command;
            const char* name;
        } views[] = {{cmd::kScanInfo, "scan"},
                     {cmd::kEmbeddedMessage, "message"},
                     {cmd::kOptionalFeatures, "options"}};
        for (bool dual : {false, true}) {
            test::Fixture fx;
            configure(fx, dual);
            Setup s(fx);
            for (const View& v : views) {
                QVERIFY(s.frame.isCommandAvailable(v.command)); // Edit menu and tree
                qint64 ns = 0;
                auto* view = s.open<FeatureFormView>(v.command, &ns);
                QVERIFY2(view, v.name);
                qInfo("open %s (%s): %.1f ms", v.name, dual ? "dual" : "single", ns / 1e6);
                for (int p = 0; p < view->pageCount(); ++p) {
                    view->setCurrentPage(p);
                    test::saveShot(s.frame.editorWindow(v.command),
                                   QStringLiteral("%1_%2_p%3").arg(v.name, dual ? "dual" : "single").arg(p));
                }
                s.frame.editorWindow(v.command)->close();
                QCoreApplication::processEvents();
            }
        }
    }
};

QTEST_MAIN(FormFeatureViewsTest)
#include "form_feature_views_test.moc"
