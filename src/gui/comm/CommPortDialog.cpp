#include "comm/CommPortDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/RadioFinder.h"
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
        auto* adapter = new QLabel;
        adapter->setObjectName(QStringLiteral("adapter%1").arg(p));
        group->addButton(radio, p);
        buttons_[static_cast<std::size_t>(p - 1)] = radio;
        paths_[static_cast<std::size_t>(p - 1)] = edit;
        adapters_[static_cast<std::size_t>(p - 1)] = adapter;
        int col = (p - 1) / kPerColumn, row = (p - 1) % kPerColumn;
        grid->addWidget(radio, row, 3 * col);
        grid->addWidget(edit, row, 3 * col + 1);
        grid->addWidget(adapter, row, 3 * col + 2);
        grid->setColumnMinimumWidth(3 * col + 1, edit->minimumWidth());
    }

    delay_ = new QCheckBox(ctx.text(180));
    delay_->setObjectName(QStringLiteral("closeDelay"));
    delay_->setChecked(ctx.port.closeDelay());

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ctx.text(11), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    buttons->addButton(ctx.text(12), QDialogButtonBox::RejectRole);
    auto* help = buttons->addButton(ctx.text(14), QDialogButtonBox::HelpRole);
    auto* find = buttons->addButton(ctx.text(comm::kTextFindRadio), QDialogButtonBox::ActionRole);
    find->setObjectName(QStringLiteral("findRadio"));
    connect(find, &QPushButton::clicked, this, &CommPortDialog::findRadios);
    found_ = new QLabel;
    found_->setObjectName(QStringLiteral("foundRadios"));
    found_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kHelpContext); });

    auto* v = new QVBoxLayout(this);
    v->addWidget(box);
    v->addWidget(delay_);
    v->addWidget(found_);
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

// The port the user picks is the one device opened, to be sure it answers as a serial line. A USB
// adapter is then named by its own udev name, shown in place, so the port stays with the cable.
void CommPortDialog::choose(int port) {
    const std::string path = pathOf(port);
    if (const auto result = comm::SerialPort::probe(path); !result.ok()) {
        showUsable(port, result);
        return;
    }
    if (const std::string stable = comm::TtyProbe().stablePath(path); !stable.empty() && stable != path)
        pathEdit(port)->setText(QString::fromStdString(stable));
}

// Every usable port in turn; a port that answered neither way says why.
void CommPortDialog::findRadios() {
    QStringList lines;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int p = 1; p <= kPorts; ++p) {
        if (!portButton(p)->isEnabled()) continue;
        comm::SerialPort line;
        line.setDevicePath(p, pathOf(p));
        line.setPortNumber(p);
        const auto found = comm::findRadio(line);
        lines << QString::fromStdString(comm::foundText(ctx_.texts, "COM" + std::to_string(p), found));
    }
    QApplication::restoreOverrideCursor();
    found_->setText(lines.join(QLatin1Char('\n')));
}

void CommPortDialog::showUsable(int port, const comm::PortResult& result) {
    auto* radio = portButton(port);
    const auto adapter = result.ok() ? comm::TtyProbe().describe(pathOf(port)) : std::nullopt;
    adapterLabel(port)->setText(
        adapter ? QString::fromStdString(comm::portLabel(*adapter, ctx_.texts.text(comm::kTextSerialNumber)))
                : QString());
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
