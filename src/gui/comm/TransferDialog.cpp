#include "comm/TransferDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "views/AppSettings.h"
#include "dataset/PreWriteCheck.h"
#include "dataset/PreWriteCheck.h"
#include "dataset/RadioHistory.h"
#include "views/HelpWindow.h"
#include "views/AppSettings.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {
struct Texts {
    int title, busyTitle, button, help;
};
constexpr Texts kRead{162, 163, 15, 51};
constexpr Texts kWrite{169, 170, 16, 52};
constexpr int kTextVerifyAfterWriting = 570;
} // namespace

TransferDialog::TransferDialog(AppContext& ctx, EditorHost& frame, Mode mode)
    : QDialog(frame.hostWindow()), ctx_(ctx), frame_(frame), mode_(mode), label_(new QLabel),
      bar_(new QProgressBar) {
    const Texts& t = mode == Mode::Read ? kRead : kWrite;
    setObjectName(mode == Mode::Read ? QStringLiteral("readRadio") : QStringLiteral("writeRadio"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    setIdleTitle();

    label_->setObjectName(QStringLiteral("blockLabel"));
    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setTextVisible(false);
    const int total = mode == Mode::Read ? comm::kReadTotal : comm::writeTotal(ctx.doc.image());
    showProgress(0, 0, total);

    go_ = new QPushButton(ctx.text(t.button));
    cancel_ = new QPushButton(ctx.text(12));
    help_ = new QPushButton(ctx.text(14));
    go_->setObjectName(QStringLiteral("start"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    go_->setDefault(true);
    connect(go_, &QPushButton::clicked, this, &TransferDialog::start);
    connect(cancel_, &QPushButton::clicked, this, &TransferDialog::reject);
    connect(help_, &QPushButton::clicked, this, [this, t] { HelpWindow::showContext(this, t.help); });
    // The help key stays with the dialog; the main window's F1 never sees a modal dialog's keys.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this, t] { HelpWindow::showContext(this, t.help); });

    if (mode == Mode::Write) {
        verify_ = new QCheckBox(ctx.text(kTextVerifyAfterWriting));
        verify_->setObjectName(QStringLiteral("verify"));
        verify_->setChecked(AppSettings(ctx.settingsApplication).verifyWrite());
        connect(verify_, &QCheckBox::toggled, this,
                [this](bool on) { AppSettings(ctx_.settingsApplication).setVerifyWrite(on); });
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(go_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    auto* v = new QVBoxLayout(this);
    v->addWidget(label_);
    v->addWidget(bar_);
    if (verify_) v->addWidget(verify_);
    v->addSpacing(6);
    v->addLayout(buttons);
    setMinimumWidth(380);
}

void TransferDialog::setIdleTitle() {
    setWindowTitle(ctx_.text(mode_ == Mode::Read ? kRead.title : kWrite.title));
}

void TransferDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (mode_ != Mode::Write || checked_) return;
    checked_ = true;
    // Runs once the dialog is on screen, so the check's messages appear over it.
    QTimer::singleShot(0, this, [this] {
        if (!comm::runPreWriteCheck(ctx_.doc, ctx_.texts, ctx_.boxes.messenger())) QDialog::reject();
    });
}

void TransferDialog::start() {
    if (running_) return;
    const Texts& t = mode_ == Mode::Read ? kRead : kWrite;
    running_ = true;
    for (auto* b : {go_, cancel_, help_})
        b->setEnabled(false);
    if (verify_) verify_->setEnabled(false);
    setWindowTitle(ctx_.text(t.busyTitle));
    frame_.beginTransfer();

    comm::RadioProtocol protocol(ctx_.port);
    protocol.setMessagePump([this] { pumpMessages(); });
    comm::RadioTransfer transfer(protocol, ctx_.texts, *this);
    transfer.setVerify(verify_ && verify_->isChecked());
    // A complete read is kept in the radio history as it arrived, before the frame adopts it.
    outcome_ = mode_ == Mode::Read ? comm::readKeepingHistory(ctx_.doc.image(), transfer, ctx_.boxes)
                                   : transfer.write(ctx_.doc.image());

    running_ = false;
    frame_.endTransfer();
    // The transfer has shown the completion message, and the warning when only the closing of the
    // port failed; such a transfer still counts, so a read is adopted.
    if (outcome_.complete()) {
        QDialog::accept();
    } else {
        // The technician must know the radio was left half written, and where.
        if (mode_ == Mode::Write)
            if (std::string partial = comm::partialWriteText(ctx_.texts, outcome_); !partial.empty())
                ctx_.boxes.warningText(std::move(partial));
        setIdleTitle();
        QDialog::reject();
    }
}

MsgAnswer TransferDialog::show(const Message& m) {
    return ctx_.boxes.show(m);
}

void TransferDialog::showProgress(int labelCounter, int position, int total) {
    label_->setText(QString::fromStdString(comm::blockLabel(ctx_.texts, labelCounter, total)));
    bar_->setRange(0, total);
    bar_->setValue(position);
}

void TransferDialog::pumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void TransferDialog::waitWhilePumping(std::chrono::milliseconds ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms.count()), &loop, &QEventLoop::quit);
    loop.exec();
}

void TransferDialog::reject() {
    if (!running_) QDialog::reject(); // Escape and Cancel do nothing while the radio is busy
}

void TransferDialog::closeEvent(QCloseEvent* e) {
    if (running_) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace velora::gui
