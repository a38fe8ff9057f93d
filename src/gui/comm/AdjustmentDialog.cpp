#include "comm/AdjustmentDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "model/ModelCatalogue.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {

QProgressBar* bar(int min, int max) {
    auto* b = new QProgressBar;
    b->setRange(min, max);
    b->setTextVisible(false);
    b->setMinimumWidth(260);
    return b;
}

QSpinBox* spin(int min, int max) {
    auto* s = new QSpinBox;
    s->setRange(min, max);
    s->setKeyboardTracking(false); // a typed number goes out once, when it is complete
    s->setFixedWidth(70);
    return s;
}

} // namespace

AdjustmentDialog::AdjustmentDialog(AppContext& ctx, comm::TestModeSession& testMode, int item,
                                   QWidget* parent)
    : QDialog(parent), ctx_(ctx), testMode_(testMode), session_(testMode, item) {
    setObjectName(QStringLiteral("adjustment"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));

    tabs_ = new QTabBar;
    tabs_->setObjectName(QStringLiteral("points"));
    tabs_->setExpanding(false);
    if (session_.info().tabs == 4)
        for (int text : comm::kTabTexts)
            tabs_->addTab(ctx.text(text));
    tabs_->setVisible(session_.info().tabs == 4);

    valueText_ = new QLabel;
    valueText_->setObjectName(QStringLiteral("valueText"));
    valueBar_ = bar(comm::kMinValue, comm::kMaxValue);
    value_ = spin(comm::kMinValue, comm::kMaxValue);
    value_->setObjectName(QStringLiteral("value"));
    auto* valueBox = new QGroupBox;
    auto* vg = new QGridLayout(valueBox);
    vg->addWidget(valueText_, 0, 0, 1, 2);
    vg->addWidget(valueBar_, 1, 0);
    vg->addWidget(value_, 1, 1);

    volumeText_ = new QLabel;
    volumeBar_ = bar(0, comm::kMaxVolume);
    volume_ = spin(0, comm::kMaxVolume);
    volume_->setObjectName(QStringLiteral("volume"));
    auto* volumeBox = new QGroupBox(ctx.text(comm::kTextVolume));
    auto* wg = new QGridLayout(volumeBox);
    wg->addWidget(volumeText_, 0, 0, 1, 2);
    wg->addWidget(volumeBar_, 1, 0);
    wg->addWidget(volume_, 1, 1);
    auto* maxLabel = new QLabel(QString::asprintf("%3d", comm::kMaxVolume));
    wg->addWidget(maxLabel, 2, 0, Qt::AlignRight);

    rx_ = new QLineEdit;
    txBox_ = new QLineEdit;
    for (QLineEdit* e : {rx_, txBox_}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    }
    rx_->setObjectName(QStringLiteral("rx"));
    auto* freq = new QGridLayout;
    freq->addWidget(new QLabel(ctx.text(192)), 0, 0);
    freq->addWidget(rx_, 0, 1);
    freq->addWidget(new QLabel(ctx.text(193)), 1, 0);
    freq->addWidget(txBox_, 1, 1);

    ok_ = new QPushButton(ctx.text(11));
    cancel_ = new QPushButton(ctx.text(12));
    help_ = new QPushButton(ctx.text(14));
    tx_ = new QPushButton(ctx.text(20));
    tx_->setObjectName(QStringLiteral("tx"));
    tx_->setCheckable(true);
    tx_->setEnabled(session_.info().transmitAllowed);
    tx_->setMinimumHeight(40);
    for (QPushButton* b : {ok_, cancel_, help_, tx_}) {
        b->setAutoDefault(false); // Enter commits a typed number, it does not close the dialog
        b->setDefault(false);
    }
    auto* side = new QVBoxLayout;
    side->addLayout(freq);
    side->addWidget(tx_);
    side->addStretch(1);
    auto* middle = new QHBoxLayout;
    auto* bars = new QVBoxLayout;
    bars->addWidget(valueBox);
    bars->addWidget(volumeBox);
    bars->addStretch(1);
    middle->addLayout(bars, 1);
    middle->addLayout(side);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    auto* v = new QVBoxLayout(this);
    v->addWidget(tabs_);
    v->addLayout(middle, 1);
    v->addLayout(buttons);

    connect(value_, &QSpinBox::valueChanged, this,
            [this](int n) { act([this, n] { return session_.setValue(n); }); });
    connect(volume_, &QSpinBox::valueChanged, this,
            [this](int n) { act([this, n] { return session_.setVolume(n); }); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int t) {
        if (t >= 0 && t != session_.tab()) act([this, t] { return session_.setTab(t); });
    });
    connect(tx_, &QPushButton::clicked, this, [this] {
        tx_->setFocus();
        act([this] { return session_.toggleTransmit(); });
    });
    connect(ok_, &QPushButton::clicked, this, &AdjustmentDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &AdjustmentDialog::reject);
    connect(help_, &QPushButton::clicked, this,
            [this] { HelpWindow::showContext(this, session_.info().help); });
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool AdjustmentDialog::start() {
    busy_ = true;
    const bool started = session_.open();
    busy_ = false;
    if (!started) closeTestMode_ = session_.cancel();
    refresh();
    return started;
}

void AdjustmentDialog::act(const std::function<bool()>& action) {
    if (busy_ || closing_) {
        refresh(); // a change that came in while the radio was busy is not taken
        return;
    }
    busy_ = true;
    const bool ok = action();
    busy_ = false;
    refresh();
    if (!ok) reject();
}

void AdjustmentDialog::refresh() {
    const QSignalBlocker b1(value_), b2(volume_), b3(tabs_);
    const int tab = session_.tab();
    setWindowTitle(
        QString::fromStdString(comm::adjustmentTitle(ctx_.texts, session_.item(), session_.spacing())));
    if (session_.info().tabs == 4) tabs_->setCurrentIndex(tab);
    valueText_->setText(QString::fromStdString(comm::adjustmentValueText(ctx_.texts, session_.value())));
    valueBar_->setValue(session_.value());
    value_->setValue(session_.value());
    volumeText_->setText(QString::fromStdString(comm::adjustmentValueText(ctx_.texts, session_.volume())));
    volumeBar_->setValue(session_.volume());
    volume_->setValue(session_.volume());
    const bool on = session_.transmitting();
    tx_->setChecked(on);
    volume_->setEnabled(!on);
    volumeBar_->setEnabled(!on);
    const std::uint8_t band = identificationOf(ctx_.doc.image()).bandCode(kModel1);
    auto texts = comm::adjustmentFrequencyTexts(session_.item(), tab, band);
    if (!texts) texts = testMode_.channelTexts(ctx_.doc.codec(), testMode_.channel());
    rx_->setText(QString::fromStdString(texts->first));
    txBox_->setText(QString::fromStdString(texts->second));
}

void AdjustmentDialog::accept() {
    if (busy_ || closing_) return;
    busy_ = true;
    const bool stopped = session_.accept();
    busy_ = false;
    if (!stopped) {
        reject();
        return;
    }
    closing_ = true;
    QDialog::accept();
}

void AdjustmentDialog::reject() {
    if (busy_ || closing_) return;
    busy_ = true;
    closeTestMode_ = session_.cancel();
    busy_ = false;
    closing_ = true;
    QDialog::reject();
}

comm::AdjustmentFocus AdjustmentDialog::focusKind() const {
    const QWidget* f = focusWidget();
    if (f == ok_) return comm::AdjustmentFocus::Ok;
    if (f == cancel_) return comm::AdjustmentFocus::Cancel;
    if (f == tx_) return comm::AdjustmentFocus::Transmit;
    if (f == help_) return comm::AdjustmentFocus::Help;
    if (f == tabs_) return comm::AdjustmentFocus::TabStrip;
    return comm::AdjustmentFocus::Other;
}

bool AdjustmentDialog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F1) {
        HelpWindow::showContext(this, session_.info().help);
        return true;
    }
    comm::AdjustmentKey key;
    switch (k->key()) {
    case Qt::Key_Right:
        key = comm::AdjustmentKey::Right;
        break;
    case Qt::Key_Left:
        key = comm::AdjustmentKey::Left;
        break;
    case Qt::Key_Up:
        key = comm::AdjustmentKey::Up;
        break;
    case Qt::Key_Down:
        key = comm::AdjustmentKey::Down;
        break;
    case Qt::Key_Space:
        key = comm::AdjustmentKey::Space;
        break;
    case Qt::Key_Tab:
        if (!(k->modifiers() & Qt::ControlModifier)) return QDialog::eventFilter(watched, e);
        key = comm::AdjustmentKey::CtrlTab;
        break;
    default:
        return QDialog::eventFilter(watched, e);
    }
    using Kind = comm::AdjustmentKeyAction::Kind;
    const comm::AdjustmentKeyAction a =
        comm::adjustmentKeyAction(key, focusKind(), session_.item(), session_.transmitting());
    switch (a.kind) {
    case Kind::None:
        // Space on an item that may not transmit does nothing at all.
        return key == comm::AdjustmentKey::Space && !session_.info().transmitAllowed
                   ? true
                   : QDialog::eventFilter(watched, e);
    case Kind::Value: {
        const int target = std::clamp(session_.value() + a.delta, comm::kMinValue, comm::kMaxValue);
        act([this, target] { return session_.setValue(target); });
        return true;
    }
    case Kind::Volume: {
        const int target = std::clamp(session_.volume() + a.delta, 0, comm::kMaxVolume);
        act([this, target] { return session_.setVolume(target); });
        return true;
    }
    case Kind::Transmit:
        tx_->setFocus();
        act([this] { return session_.toggleTransmit(); });
        return true;
    case Kind::NextTab: {
        const int next = (session_.tab() + 1) % session_.info().tabs;
        act([this, next] { return session_.setTab(next); });
        return true;
    }
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace velora::gui
