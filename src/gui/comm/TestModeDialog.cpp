#include "comm/TestModeDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "comm/AdjustmentDialog.h"
#include "comm/Tuning.h"
#include "model/ModelCatalogue.h"
#include "print/ReportPrinting.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {

constexpr int kHelpTestMode = comm::testhelp::kDialog;
constexpr int kHelpChannel = comm::testhelp::kChannel, kHelpSignalling = comm::testhelp::kSignalling,
              kHelpSpacing = comm::testhelp::kSpacing, kHelpNoiseBlanker = comm::testhelp::kNoiseBlanker,
              kHelpPrint = comm::testhelp::kPrint;

QToolButton* arrowButton(Qt::ArrowType arrow) {
    auto* b = new QToolButton;
    b->setArrowType(arrow);
    b->setFocusPolicy(Qt::NoFocus); // the edit box keeps the focus, and commits when it loses it
    b->setAutoRepeat(true);
    b->setFixedSize(18, 12);
    return b;
}

QLineEdit* readOnlyBox() {
    auto* e = new QLineEdit;
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMinimumWidth(110);
    return e;
}

// The marker over the RX or TX labels: highlighted while that side is active.
void mark(QLabel* label, bool active) {
    label->setAutoFillBackground(active);
    label->setStyleSheet(
        active ? QStringLiteral("background: palette(highlight); color: palette(highlighted-text);"
                                " padding: 0 4px;")
               : QStringLiteral("padding: 0 4px;"));
}

} // namespace

void GuiTestModeUi::pumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void GuiTestModeUi::waitWhilePumping(std::chrono::milliseconds ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms.count()), &loop, &QEventLoop::quit);
    loop.exec();
}

void GuiTestModeUi::repaint() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->repaint();
}

comm::TestModeShared& TestModeDialog::shared() {
    static comm::TestModeShared values;
    return values;
}

void TestModeDialog::run(AppContext& ctx, EditorHost& frame) {
    if (ctx.dualBand()) return;
    GuiTestModeUi ui(ctx);
    comm::RadioProtocol protocol(ctx.port);
    protocol.setMessagePump([&ui] { ui.pumpMessages(); });
    comm::TestModeSession session(protocol, ctx.texts, ui, shared(), ctx.doc.image());
    frame.beginTransfer();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const comm::EntryResult entered = session.begin();
    QApplication::restoreOverrideCursor();
    if (entered == comm::EntryResult::Ok) {
        TestModeDialog dlg(ctx, session, frame.hostWindow());
        dlg.exec();
        session.end();
    }
    frame.endTransfer();
}

TestModeDialog::TestModeDialog(AppContext& ctx, comm::TestModeSession& session, QWidget* parent)
    : QDialog(parent), ctx_(ctx), session_(session) {
    setObjectName(QStringLiteral("testMode"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    setWindowTitle(ctx.text(185));
    const ModelIdentification id = identificationOf(ctx.doc.image());
    noiseBlanker_ = comm::offersNoiseBlanker(id.bandCode(kModel1));

    // Test channel.
    channelEdit_ = new QLineEdit;
    channelEdit_->setObjectName(QStringLiteral("channelEdit"));
    channelEdit_->setMaxLength(2);
    channelEdit_->setFixedWidth(40);
    channelUp_ = arrowButton(Qt::UpArrow);
    channelDown_ = arrowButton(Qt::DownArrow);
    channelRx_ = readOnlyBox();
    channelTx_ = readOnlyBox();
    channelRx_->setObjectName(QStringLiteral("channelRx"));
    channelTx_->setObjectName(QStringLiteral("channelTx"));
    channelRxLabel_ = new QLabel(ctx.text(192));
    channelTxLabel_ = new QLabel(ctx.text(193));

    auto spinBox = [](QToolButton* up, QToolButton* down) {
        auto* v = new QVBoxLayout;
        v->setSpacing(0);
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(up);
        v->addWidget(down);
        return v;
    };
    auto* channelGroup = new QGroupBox(ctx.text(186));
    auto* cg = new QGridLayout(channelGroup);
    cg->addWidget(new QLabel(ctx.text(188)), 0, 0);
    auto* ch = new QHBoxLayout;
    ch->addWidget(channelEdit_);
    ch->addLayout(spinBox(channelUp_, channelDown_));
    ch->addStretch(1);
    cg->addLayout(ch, 0, 1, 1, 2);
    cg->addWidget(new QLabel(ctx.text(189)), 1, 0);
    cg->addWidget(channelRxLabel_, 1, 1);
    cg->addWidget(channelRx_, 1, 2);
    cg->addWidget(channelTxLabel_, 2, 1);
    cg->addWidget(channelTx_, 2, 2);

    // Test signalling.
    signallingEdit_ = new QLineEdit;
    signallingEdit_->setObjectName(QStringLiteral("signallingEdit"));
    signallingEdit_->setMaxLength(1);
    signallingEdit_->setFixedWidth(40);
    signallingUp_ = arrowButton(Qt::UpArrow);
    signallingDown_ = arrowButton(Qt::DownArrow);
    signallingRx_ = readOnlyBox();
    signallingTx_ = readOnlyBox();
    signallingRxLabel_ = new QLabel(ctx.text(192));
    signallingTxLabel_ = new QLabel(ctx.text(193));
    auto* signallingGroup = new QGroupBox(ctx.text(187));
    auto* sg = new QGridLayout(signallingGroup);
    sg->addWidget(new QLabel(ctx.text(190)), 0, 0);
    auto* sh = new QHBoxLayout;
    sh->addWidget(signallingEdit_);
    sh->addLayout(spinBox(signallingUp_, signallingDown_));
    sh->addStretch(1);
    sg->addLayout(sh, 0, 1, 1, 2);
    sg->addWidget(new QLabel(ctx.text(191)), 1, 0);
    sg->addWidget(signallingRxLabel_, 1, 1);
    sg->addWidget(signallingRx_, 1, 2);
    sg->addWidget(signallingTxLabel_, 2, 1);
    sg->addWidget(signallingTx_, 2, 2);

    // Channel spacing or noise blanker, and the options the radio keeps hidden.
    spacingGroup_ = new QGroupBox(ctx.text(375));
    wide_ = new QRadioButton(ctx.text(119));
    narrow_ = new QRadioButton(ctx.text(120));
    wide_->setObjectName(QStringLiteral("wide"));
    narrow_->setObjectName(QStringLiteral("narrow"));
    spacingCombo_ = new QComboBox;
    spacingCombo_->addItems({ctx.text(119), ctx.text(120)});
    spacingCombo_->hide();
    auto* spacingRow = new QHBoxLayout(spacingGroup_);
    spacingRow->addWidget(wide_);
    spacingRow->addWidget(narrow_);
    spacingRow->addWidget(spacingCombo_);
    noiseBlankerLabel_ = new QLabel(ctx.text(121));
    noiseBlankerCombo_ = new QComboBox;
    noiseBlankerCombo_->setObjectName(QStringLiteral("noiseBlanker"));
    noiseBlankerCombo_->addItems({ctx.text(122), ctx.text(123)});
    // Never shown, but the dialog owns them: they go with it.
    companderCombo_ = new QComboBox(this);
    beatShiftCombo_ = new QComboBox(this);
    mskCombo_ = new QComboBox(this);
    for (QComboBox* c : {companderCombo_, beatShiftCombo_, mskCombo_}) {
        c->addItems({ctx.text(122), ctx.text(123)});
        c->hide();
    }
    if (noiseBlanker_) {
        noiseBlankerCombo_->setCurrentIndex(0);
        for (QWidget* w : std::initializer_list<QWidget*>{spacingGroup_, wide_, narrow_})
            w->setEnabled(false);
    } else {
        noiseBlankerCombo_->clear();
        noiseBlankerCombo_->setEnabled(false);
        noiseBlankerLabel_->setEnabled(false);
        wide_->setChecked(true);
    }
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(spacingGroup_, 1);
    auto* nb = new QVBoxLayout;
    nb->addStretch(1);
    nb->addWidget(noiseBlankerLabel_);
    nb->addWidget(noiseBlankerCombo_);
    optionsRow->addLayout(nb);

    // Adjustment items.
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("adjustmentList"));
    for (int item : comm::availableAdjustmentItems(id.bandCode(kModel1), session.shared().statusExtension)) {
        auto* entry =
            new QListWidgetItem(ctx.text(comm::kAdjustmentItems[static_cast<std::size_t>(item)].nameText));
        entry->setData(Qt::UserRole, item);
        list_->addItem(entry);
    }
    if (list_->count() > 0) list_->setCurrentRow(0);

    // Buttons: none of them is a default button, Enter has rules of its own here.
    tx_ = new QPushButton(ctx.text(18));
    tx_->setObjectName(QStringLiteral("tx"));
    tx_->setCheckable(true);
    close_ = new QPushButton(ctx.text(13));
    close_->setObjectName(QStringLiteral("close"));
    help_ = new QPushButton(ctx.text(14));
    print_ = new QPushButton(ctx.text(17));
    print_->setObjectName(QStringLiteral("print"));
    for (QPushButton* b : {tx_, close_, help_, print_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    tx_->setText(ctx.text(20));
    tx_->setMinimumHeight(40);

    auto* left = new QVBoxLayout;
    left->addWidget(channelGroup);
    left->addWidget(signallingGroup);
    left->addLayout(optionsRow);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(list_, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tx_);
    buttons->addStretch(1);
    buttons->addWidget(print_);
    buttons->addWidget(close_);
    buttons->addWidget(help_);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top, 1);
    v->addLayout(buttons);
    setMinimumSize(620, 380);

    shownChannel_ = session.channel();
    shownSignalling_ = session.signalling();
    showChannel();
    showSignalling();
    showTransmit();

    connect(channelUp_, &QToolButton::clicked, this, [this] {
        shownChannel_ = session_.stepChannel(shownChannel_, +1);
        showChannel();
    });
    connect(channelDown_, &QToolButton::clicked, this, [this] {
        shownChannel_ = session_.stepChannel(shownChannel_, -1);
        showChannel();
    });
    connect(signallingUp_, &QToolButton::clicked, this, [this] {
        shownSignalling_ = (shownSignalling_ + 1) % comm::kTestSignallingCount;
        showSignalling();
    });
    connect(signallingDown_, &QToolButton::clicked, this, [this] {
        shownSignalling_ = (shownSignalling_ + comm::kTestSignallingCount - 1) % comm::kTestSignallingCount;
        showSignalling();
    });
    connect(tx_, &QPushButton::clicked, this, [this] {
        tx_->setChecked(session_.transmitting()); // the radio's state decides, not the click
        whenIdle([this] {
            tx_->setFocus();
            act([this] { return session_.toggleTransmit(); });
        });
    });
    connect(wide_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) act([this] { return session_.setSpacing(0); });
    });
    connect(narrow_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) act([this] { return session_.setSpacing(1); });
    });
    connect(spacingCombo_, &QComboBox::activated, this,
            [this](int i) { act([this, i] { return session_.setSpacing(i); }); });
    connect(noiseBlankerCombo_, &QComboBox::activated, this,
            [this](int i) { act([this, i] { return session_.setNoiseBlanker(i); }); });
    connect(companderCombo_, &QComboBox::activated, this,
            [this](int i) { act([this, i] { return session_.setCompander(i); }); });
    connect(beatShiftCombo_, &QComboBox::activated, this,
            [this](int i) { act([this, i] { return session_.setBeatShift(i); }); });
    connect(mskCombo_, &QComboBox::activated, this,
            [this](int i) { act([this, i] { return session_.setMskRate(i); }); });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* it) { openAdjustment(it->data(Qt::UserRole).toInt()); });
    connect(print_, &QPushButton::clicked, this, [this] { whenIdle([this] { printSheet(); }); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kHelpTestMode); });

    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    channelEdit_->setFocus();
}

void TestModeDialog::done(int result) {
    closing_ = true; // an edit box losing the focus now must not send anything
    QDialog::done(result);
}

void TestModeDialog::act(const std::function<bool()>& action) {
    if (busy_ || closing_) return; // one radio action at a time; the pump lets clicks through meanwhile
    busy_ = true;
    const bool ok = action();
    setIdle();
    showTransmit();
    if (!ok) reject();
}

void TestModeDialog::setIdle() {
    busy_ = false;
    if (pending_ && !closing_)
        QMetaObject::invokeMethod(this, std::exchange(pending_, {}), Qt::QueuedConnection);
}

void TestModeDialog::whenIdle(std::function<void()> action) {
    if (closing_) return;
    if (busy_) {
        // A click let through by the radio's message pump: it runs once the radio is done.
        if (!pending_) pending_ = std::move(action);
        return;
    }
    commitTyped(); // what was typed goes to the radio before the button acts
    if (!closing_) action();
}

void TestModeDialog::commitTyped() {
    if (busy_ || closing_) return; // the marks stay: the next button or focus change sends it
    if (std::exchange(channelTyped_, false)) commitChannel();
    if (std::exchange(signallingTyped_, false)) commitSignalling();
}

void TestModeDialog::commitChannel() {
    bool numeric = false;
    const int n = channelEdit_->text().trimmed().toInt(&numeric);
    if (numeric && n >= 1 && n <= comm::kTestChannelCount && session_.channelDefined(n - 1))
        act([this, n] { return session_.selectChannel(n - 1); });
    shownChannel_ = session_.channel();
    showChannel();
}

void TestModeDialog::commitSignalling() {
    bool numeric = false;
    const int n = signallingEdit_->text().trimmed().toInt(&numeric);
    if (numeric && n >= 1 && n <= comm::kTestSignallingCount)
        act([this, n] { return session_.selectSignalling(n - 1); });
    shownSignalling_ = session_.signalling();
    showSignalling();
}

void TestModeDialog::showChannel() {
    channelEdit_->setText(QString::number(shownChannel_ + 1));
    const auto [rx, tx] = session_.channelTexts(ctx_.doc.codec(), shownChannel_);
    channelRx_->setText(QString::fromStdString(rx));
    channelTx_->setText(QString::fromStdString(tx));
}

void TestModeDialog::showSignalling() {
    signallingEdit_->setText(QString::number(shownSignalling_ + 1));
    auto [rx, tx] = comm::signallingTexts(ctx_.texts, shownSignalling_);
    // Tone frequencies in the texts carry the user's decimal separator.
    const QChar separator = QLocale().decimalPoint().at(0);
    signallingRx_->setText(QString::fromStdString(rx).replace(QLatin1Char('.'), separator));
    signallingTx_->setText(QString::fromStdString(tx).replace(QLatin1Char('.'), separator));
}

void TestModeDialog::showTransmit() {
    const bool on = session_.transmitting();
    tx_->setChecked(on);
    for (QWidget* w : std::initializer_list<QWidget*>{channelEdit_, channelUp_, channelDown_, signallingEdit_,
                                                      signallingUp_, signallingDown_, list_})
        w->setEnabled(!on);
    if (noiseBlanker_) {
        noiseBlankerCombo_->setEnabled(!on);
    } else {
        wide_->setEnabled(!on);
        narrow_->setEnabled(!on);
    }
    for (QLabel* l : {channelRxLabel_, signallingRxLabel_})
        mark(l, !on);
    for (QLabel* l : {channelTxLabel_, signallingTxLabel_})
        mark(l, on);
}

void TestModeDialog::openAdjustment(int item) {
    if (busy_ || closing_) return;
    // Opening switches the transmitter off first; a cancelled prompt ends test mode.
    busy_ = true;
    const bool ready = session_.prepareAdjustment();
    setIdle();
    showTransmit();
    if (!ready) {
        reject();
        return;
    }
    AdjustmentDialog dlg(ctx_, session_, item, this);
    const bool shown = dlg.start();
    bool closeTestMode = dlg.closesTestMode();
    if (shown) {
        dlg.exec();
        closeTestMode = dlg.closesTestMode();
    }
    session_.adjustmentClosed(dlg.transmitterMayBeOn());
    shownChannel_ = session_.channel();
    showChannel();
    showTransmit();
    if (closeTestMode) reject();
}

void TestModeDialog::printSheet() {
    if (busy_ || closing_) return;
    QWidget* had = focusWidget();
    // The sheet prints what the radio holds now; a cancelled read prints nothing.
    busy_ = true;
    const bool read = session_.run(comm::TestOp::ReadStatus);
    setIdle();
    if (!read) return;
    print::TestSheetValues values{session_.shared().record, {}};
    for (int i = 0; i < list_->count(); ++i)
        values.items.push_back(list_->item(i)->data(Qt::UserRole).toInt());
    printTestSheet(ctx_, values, this);
    (had ? had : print_)->setFocus();
}

comm::TestModeFocus TestModeDialog::focusKind() const {
    const QWidget* f = focusWidget();
    if (f == close_) return comm::TestModeFocus::Close;
    if (f == help_) return comm::TestModeFocus::Help;
    if (f == tx_) return comm::TestModeFocus::Transmit;
    if (f == print_) return comm::TestModeFocus::Print;
    if (f == list_) return comm::TestModeFocus::AdjustmentList;
    return comm::TestModeFocus::Other;
}

bool TestModeDialog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut && !busy_ && !closing_ &&
        (watched == channelEdit_ || watched == signallingEdit_)) {
        (watched == channelEdit_ ? channelTyped_ : signallingTyped_) = true;
        // A click takes the focus before the button sees its press: talking to the radio now would
        // let the release through first and lose the click. The commit waits for the press.
        if (static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason)
            QMetaObject::invokeMethod(this, &TestModeDialog::commitTyped, Qt::QueuedConnection);
        else
            commitTyped();
    }
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F1) {
        int context = kHelpTestMode;
        if (watched == channelEdit_) context = kHelpChannel;
        if (watched == signallingEdit_) context = kHelpSignalling;
        if (watched == wide_ || watched == narrow_) context = kHelpSpacing;
        if (watched == noiseBlankerCombo_) context = kHelpNoiseBlanker;
        if (watched == print_) context = kHelpPrint;
        if (watched == list_ && list_->currentItem())
            context = comm::kAdjustmentItems[static_cast<std::size_t>(
                                                 list_->currentItem()->data(Qt::UserRole).toInt())]
                          .help;
        HelpWindow::showContext(this, context);
        return true;
    }
    comm::TestModeKey key;
    if (k->key() == Qt::Key_Space && k->modifiers() == Qt::NoModifier)
        key = comm::TestModeKey::Space;
    else if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        key = comm::TestModeKey::Enter;
    else
        return QDialog::eventFilter(watched, e);
    switch (comm::testModeKeyAction(key, focusKind())) {
    case comm::TestModeKeyAction::None:
        return QDialog::eventFilter(watched, e);
    case comm::TestModeKeyAction::ToggleTransmit:
        // The edit box loses the focus first, which commits what was typed there.
        tx_->setFocus();
        act([this] { return session_.toggleTransmit(); });
        return true;
    case comm::TestModeKeyAction::OpenAdjustment:
        if (list_->currentItem()) openAdjustment(list_->currentItem()->data(Qt::UserRole).toInt());
        return true;
    case comm::TestModeKeyAction::NextControl:
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace velora::gui
