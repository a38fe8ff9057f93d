#include "comm/CommPortDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/TtyProbe.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {
constexpr int kHelpContext = 71;
constexpr int kPerColumn = 5;
} // namespace

CommPortDialog::CommPortDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("commPort"));
    setWindowTitle(ctx.text(178));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));

    auto* box = new QGroupBox(ctx.text(179));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    auto* group = new QButtonGroup(this);
    for (int p = 1; p <= kPorts; ++p) {
        auto* radio = new QRadioButton(QStringLiteral("COM%1").arg(p));
        radio->setObjectName(QStringLiteral("com%1").arg(p));
        auto* edit = new QLineEdit;
        edit->setObjectName(QStringLiteral("path%1").arg(p));
        edit->setPlaceholderText(QString::fromStdString(comm::SerialPort::defaultDevicePath(p)));
        auto mapped = ctx.port.devicePaths().find(p);
        if (mapped != ctx.port.devicePaths().end()) edit->setText(QString::fromStdString(mapped->second));
        edit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB10__")));
        edit->setToolTip(QString::fromStdString(comm::SerialPort::defaultDevicePath(p)));
        connect(edit, &QLineEdit::editingFinished, this, [this, p] { probe(p); });
        connect(radio, &QRadioButton::clicked, this, [this, p] { choose(p); });
        group->addButton(radio, p);
        buttons_[static_cast<std::size_t>(p - 1)] = radio;
        paths_[static_cast<std::size_t>(p - 1)] = edit;
        int col = (p - 1) / kPerColumn, row = (p - 1) % kPerColumn;
        grid->addWidget(radio, row, 2 * col);
        grid->addWidget(edit, row, 2 * col + 1);
        grid->setColumnMinimumWidth(2 * col + 1, edit->minimumWidth());
    }

    delay_ = new QCheckBox(ctx.text(180));
    delay_->setObjectName(QStringLiteral("closeDelay"));
    delay_->setChecked(ctx.port.closeDelay());

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ctx.text(11), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    buttons->addButton(ctx.text(12), QDialogButtonBox::RejectRole);
    auto* help = buttons->addButton(ctx.text(14), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kHelpContext); });

    auto* v = new QVBoxLayout(this);
    v->addWidget(box);
    v->addWidget(delay_);
    v->addWidget(buttons);

    for (int p = 1; p <= kPorts; ++p)
        probe(p);
}

std::string CommPortDialog::pathOf(int port) const {
    QString typed = pathEdit(port)->text().trimmed();
    return typed.isEmpty() ? comm::SerialPort::defaultDevicePath(port) : typed.toStdString();
}

// Opening a device raises its control lines, so drawing the list opens nothing: what the kernel
// publishes about the device decides.
void CommPortDialog::probe(int port) {
    const auto result = comm::TtyProbe().check(pathOf(port));
    showUsable(port, result);
    if (result.ok() && port == ctx_.port.portNumber()) portButton(port)->setChecked(true);
}

// The port the user picks is the one device opened, to be sure it answers as a serial line.
void CommPortDialog::choose(int port) {
    if (const auto result = comm::SerialPort::probe(pathOf(port)); !result.ok()) showUsable(port, result);
}

void CommPortDialog::showUsable(int port, const comm::PortResult& result) {
    auto* radio = portButton(port);
    radio->setEnabled(result.ok());
    radio->setToolTip(QString::fromStdString(result.ok() ? pathOf(port) : result.message));
    if (!result.ok() && radio->isChecked()) {
        // A checked button that became unusable leaves the port as it was.
        radio->group()->setExclusive(false);
        radio->setChecked(false);
        radio->group()->setExclusive(true);
    }
}

void CommPortDialog::accept() {
    for (int p = 1; p <= kPorts; ++p) {
        QString typed = pathEdit(p)->text().trimmed();
        if (typed.toStdString() == comm::SerialPort::defaultDevicePath(p)) typed.clear();
        ctx_.port.setDevicePath(p, typed.toStdString()); // empty removes the mapping
    }
    for (int p = 1; p <= kPorts; ++p)
        if (portButton(p)->isChecked()) ctx_.port.setPortNumber(p);
    ctx_.port.setCloseDelay(delay_->isChecked());
    QDialog::accept();
}

} // namespace velora::gui
