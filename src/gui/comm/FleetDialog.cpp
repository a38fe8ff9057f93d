#include "comm/FleetDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>

#include "comm/SerialPort.h"
#include "comm/TtyProbe.h"
#include "dataset/PreWriteCheck.h"
#include "forms/CoreBridge.h"
#include "print/ReportPrinting.h"
#include "views/EditorHost.h"

namespace velora::gui {

namespace {

constexpr int kTextVerify = 570; // Verify after writing
constexpr int kTextClose = 13;   // Close
constexpr int kTextFileCannotOpen = 207;
constexpr int kPortRole = Qt::UserRole;

QString utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::filesystem::path fsPath(const QString& s) {
    return std::filesystem::path(s.toStdString());
}

} // namespace

// The run's reports, made on its port threads, handed to the dialog's thread.
class FleetDialog::Relay : public comm::FleetObserver {
  public:
    explicit Relay(FleetDialog& d) : d_(d) {}
    void rowChanged(const comm::RowUpdate& u) override {
        QMetaObject::invokeMethod(
            &d_, [d = &d_, u] { d->showUpdate(u); }, Qt::QueuedConnection);
    }
    void connectPrompt(std::size_t port, std::size_t, const std::string& text) override {
        QMetaObject::invokeMethod(
            &d_,
            [d = &d_, port, t = utf8(text)] {
                d->prompts_[port] =
                    d->portNames_.size() > 1 ? t + QStringLiteral("  \u2192  ") + d->portName(port) : t;
                d->showPrompts();
            },
            Qt::QueuedConnection);
    }
    void message(const comm::FleetMessage& m) override {
        // The row's end is noted with its outcome (written or verified); the transfer's own
        // completion text would say it a second time, and "written" of a verified row.
        if (m.step == comm::FleetStep::Transfer && m.message.textId == comm::kTextWriteDone) return;
        QMetaObject::invokeMethod(
            &d_, [d = &d_, m] { d->note(d->messageLine(m)); }, Qt::QueuedConnection);
    }

  private:
    FleetDialog& d_;
};

FleetDialog::FleetDialog(AppContext& ctx, EditorHost& frame, QWidget* parent)
    : QDialog(parent ? parent : frame.hostWindow()), ctx_(ctx), frame_(frame),
      relay_(std::make_unique<Relay>(*this)) {
    setObjectName(QStringLiteral("fleetProgramming"));
    setWindowTitle(ctx.text(kTextFleetTitle));

    base_ = new QLabel;
    base_->setObjectName(QStringLiteral("fleetBase"));
    base_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    print::DeliveryHead head;
    print::describeBase(head, ctx.doc);
    QString models;
    for (const auto& m : head.models)
        models += (models.isEmpty() ? QString() : QStringLiteral(", ")) + utf8(m);
    base_->setText(
        QStringLiteral("<b>%1</b>  (%2)").arg(utf8(head.dataSet).toHtmlEscaped(), models.toHtmlEscaped()));

    open_ = new QPushButton(ctx.text(kTextOpenManifest));
    open_->setObjectName(QStringLiteral("openManifest"));
    manifestPath_ = new QLabel;
    manifestPath_->setObjectName(QStringLiteral("manifestPath"));
    manifestPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(open_, &QPushButton::clicked, this, &FleetDialog::chooseManifest);

    table_ = new QTableWidget(0, 2);
    table_->setObjectName(QStringLiteral("fleetTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(true);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Before a manifest is open: its first column and the state, not Qt's column numbers.
    table_->setHorizontalHeaderLabels({QStringLiteral("radio"), ctx_.text(kTextState)});
    table_->setMinimumSize(640, 220);

    // The prompt the technician works by: which radio to connect now.
    promptBox_ = new QFrame;
    promptBox_->setObjectName(QStringLiteral("promptBox"));
    promptBox_->setFrameShape(QFrame::StyledPanel);
    promptBox_->setAutoFillBackground(true);
    QPalette pal = promptBox_->palette();
    pal.setColor(QPalette::Window, QColor(255, 244, 196));
    pal.setColor(QPalette::WindowText, Qt::black);
    promptBox_->setPalette(pal);
    prompt_ = new QLabel;
    prompt_->setObjectName(QStringLiteral("connectPrompt"));
    QFont big = prompt_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    prompt_->setFont(big);
    prompt_->setWordWrap(true);
    skip_ = new QPushButton(ctx.text(kTextSkipWait));
    skip_->setObjectName(QStringLiteral("skipWait"));
    connect(skip_, &QPushButton::clicked, this, [this] {
        if (run_) run_->skipWait();
    });
    auto* promptRow = new QHBoxLayout(promptBox_);
    promptRow->addWidget(prompt_, 1);
    promptRow->addWidget(skip_);
    // Its room is kept while it is hidden, so the table does not jump at every radio.
    QSizePolicy keep = promptBox_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    promptBox_->setSizePolicy(keep);
    promptBox_->setVisible(false);

    ports_ = new QListWidget;
    ports_->setObjectName(QStringLiteral("fleetPorts"));
    ports_->setMaximumHeight(90);
    ports_->setAccessibleName(ctx.text(kTextPorts));
    verify_ = new QCheckBox(ctx.text(kTextVerify));
    verify_->setObjectName(QStringLiteral("fleetVerify"));
    out_ = new QLineEdit;
    out_->setObjectName(QStringLiteral("fleetOut"));
    log_ = new QLineEdit;
    log_->setObjectName(QStringLiteral("fleetLog"));
    customer_ = new QLineEdit;
    customer_->setObjectName(QStringLiteral("fleetCustomer"));
    connect(log_, &QLineEdit::editingFinished, this, [this] {
        readLogMarks();
        updateButtons();
    });
    auto browse = [this](QLineEdit* edit, void (FleetDialog::*choose)()) {
        auto* row = new QHBoxLayout;
        auto* b = new QPushButton(QStringLiteral("..."));
        b->setAccessibleName(edit->accessibleName());
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        connect(b, &QPushButton::clicked, this, choose);
        browse_.push_back(b);
        row->addWidget(edit, 1);
        row->addWidget(b);
        return row;
    };
    auto* options = new QFormLayout;
    options->addRow(ctx.text(kTextPorts), ports_);
    options->addRow(QString(), verify_);
    out_->setAccessibleName(ctx.text(kTextOutputFolder));
    log_->setAccessibleName(ctx.text(kTextLog));
    customer_->setAccessibleName(ctx.text(print::kTextCustomer));
    options->addRow(ctx.text(kTextOutputFolder), browse(out_, &FleetDialog::chooseFolder));
    options->addRow(ctx.text(kTextLog), browse(log_, &FleetDialog::chooseLog));
    options->addRow(ctx.text(print::kTextCustomer), customer_);

    notes_ = new QPlainTextEdit;
    notes_->setObjectName(QStringLiteral("fleetNotes"));
    notes_->setReadOnly(true);
    notes_->setMaximumHeight(80);
    notes_->setAccessibleName(ctx.text(kTextFleetTitle));

    start_ = new QPushButton(ctx.text(kTextStart));
    start_->setObjectName(QStringLiteral("fleetStart"));
    stop_ = new QPushButton(ctx.text(kTextStop));
    stop_->setObjectName(QStringLiteral("fleetStop"));
    print_ = new QPushButton(ctx.text(kTextPrintSheet));
    print_->setObjectName(QStringLiteral("printSheet"));
    pdf_ = new QPushButton(ctx.text(kTextExportPdf));
    pdf_->setObjectName(QStringLiteral("sheetPdf"));
    close_ = new QPushButton(ctx.text(kTextClose));
    close_->setObjectName(QStringLiteral("fleetClose"));
    connect(start_, &QPushButton::clicked, this, &FleetDialog::start);
    connect(stop_, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(print_, &QPushButton::clicked, this, &FleetDialog::printSheet);
    connect(pdf_, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, ctx_.text(kTextExportPdf), QFileInfo(log_->text()).path(), QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty()) writeSheetPdf(path);
    });
    connect(close_, &QPushButton::clicked, this, &FleetDialog::reject);
    auto* buttons = new QHBoxLayout;
    for (auto* b : {start_, stop_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (auto* b : {print_, pdf_, close_})
        buttons->addWidget(b);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(ctx.text(kTextBaseDataSet)), 0, 0);
    top->addWidget(base_, 0, 1);
    top->addWidget(open_, 1, 0);
    top->addWidget(manifestPath_, 1, 1);
    top->setColumnStretch(1, 1);

    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(table_, 1);
    v->addWidget(promptBox_);
    v->addLayout(options);
    v->addWidget(notes_);
    v->addLayout(buttons);

    listPorts();
    connect(ports_, &QListWidget::itemChanged, this, &FleetDialog::updateButtons);
    updateButtons();
}

FleetDialog::~FleetDialog() {
    if (worker_.joinable()) {
        run_->stop();
        worker_.join();
    }
}

int FleetDialog::stateColumn() const {
    return table_->columnCount() - 1;
}

QString FleetDialog::portName(std::size_t port) const {
    return port < std::size_t(portNames_.size()) ? portNames_[qsizetype(port)] : QString();
}

// The ports as the port dialog offers them: those whose device is a serial line, told without
// opening it. The current port is chosen to begin with.
void FleetDialog::listPorts() {
    ports_->clear();
    for (int p = comm::SerialPort::kFirstPort; p <= comm::SerialPort::kLastPort; ++p) {
        const std::string path = ctx_.port.devicePath(p);
        if (!comm::TtyProbe().check(path).ok()) continue;
        auto* item = new QListWidgetItem(QStringLiteral("COM%1  %2").arg(p).arg(utf8(path)), ports_);
        item->setData(kPortRole, p);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(p == ctx_.port.portNumber() ? Qt::Checked : Qt::Unchecked);
    }
}

bool FleetDialog::loadManifest(const QString& path) {
    if (running()) return false;
    manifest_.reset();
    refused_ = false;
    notes_->clear();
    table_->setRowCount(0);
    manifestPath_->setText(QDir::toNativeSeparators(path));
    std::ifstream in(fsPath(path), std::ios::binary);
    std::string error;
    std::optional<fleet::Manifest> m;
    if (!in)
        error = "cannot open " + path.toStdString();
    else
        m = fleet::readManifest(in, ctx_.texts, error);
    if (!m) {
        refused_ = true;
        note(utf8(error));
        updateButtons();
        return false;
    }

    // Every row is built now, as the run will build it: a refused row refuses the manifest. What
    // entering a value says is listed with its line rather than put up in a box per row.
    const comm::FleetCheck check = comm::checkFleet(*m, ctx_.doc, ctx_.texts, {});
    for (std::size_t r = 0; r < m->rows.size(); ++r) {
        const auto& row = check.rows[r];
        const QString refusal = row.build.refusal ? utf8(*row.build.refusal) : QString();
        for (const auto& msg : row.messages) {
            // The message that refused the row is told by the refusal, with its column.
            if (!refusal.isEmpty() && refusal.endsWith(fromCore(msg.text).simplified())) continue;
            note(fromCore(formatText(ctx_.texts.text(fleet::kTextLine),
                                     {std::to_string(m->rows[r].line), msg.text}))
                     .simplified());
        }
        if (!refusal.isEmpty()) note(refusal);
        for (const auto& c : row.build.changed)
            note(utf8(c));
    }
    for (const auto& d : check.duplicates)
        note(utf8(d));
    refused_ = !check.passed();

    QStringList heads{QStringLiteral("radio")};
    for (const auto& k : m->keys)
        heads << utf8(k);
    heads << ctx_.text(kTextState);
    table_->setColumnCount(int(heads.size()));
    table_->setHorizontalHeaderLabels(heads);
    table_->setRowCount(int(m->rows.size()));
    for (std::size_t r = 0; r < m->rows.size(); ++r) {
        const auto& mr = m->rows[r];
        table_->setItem(int(r), 0, new QTableWidgetItem(utf8(mr.label)));
        for (std::size_t c = 0; c < mr.cells.size(); ++c)
            table_->setItem(int(r), int(c) + 1, new QTableWidgetItem(utf8(mr.cells[c])));
        table_->setItem(int(r), stateColumn(), new QTableWidgetItem(ctx_.text(kTextWaiting)));
    }
    table_->resizeColumnsToContents();
    manifest_ = std::move(m);

    const QFileInfo file(path);
    out_->setText(QDir::toNativeSeparators(file.absolutePath()));
    log_->setText(QDir::toNativeSeparators(
        file.absoluteDir().filePath(file.completeBaseName() + QStringLiteral("-log.csv"))));
    readLogMarks();
    updateButtons();
    return !refused_;
}

// Rows the log shows written are marked with their logged result and left out of the next run, so
// a stopped run goes on where it stopped.
void FleetDialog::readLogMarks() {
    if (running() || !manifest_) return;
    done_ = comm::writtenInLog(fsPath(log_->text()));
    for (std::size_t r = 0; r < manifest_->rows.size(); ++r) {
        auto* item = table_->item(int(r), stateColumn());
        table_->removeCellWidget(int(r), stateColumn());
        const auto it = done_.find(manifest_->rows[r].label);
        item->setText(it != done_.end() ? utf8(it->second) : ctx_.text(kTextWaiting));
        item->setForeground(it != done_.end() ? QColor(0, 110, 0) : palette().color(QPalette::Text));
    }
}

void FleetDialog::start() {
    if (running() || !manifest_ || refused_) return;
    std::vector<comm::FleetPort> ports;
    lines_.clear();
    portNames_.clear();
    for (int i = 0; i < ports_->count(); ++i) {
        const QListWidgetItem* item = ports_->item(i);
        if (item->checkState() != Qt::Checked) continue;
        const int p = item->data(kPortRole).toInt();
        auto line = std::make_unique<comm::SerialPort>();
        line->setDevicePaths(ctx_.port.devicePaths());
        line->setPortNumber(p);
        line->setCloseDelay(ctx_.port.closeDelay());
        const std::string name = "COM" + std::to_string(p) + " (" + line->devicePath(p) + ")";
        ports.push_back({line.get(), name, false, std::to_string(p)});
        portNames_ << utf8(name);
        lines_.push_back(std::move(line));
    }
    if (ports.empty()) return;
    // A row bound to a port or device that is not chosen would never be written.
    const auto unbound = comm::unboundRows(*manifest_, ports);
    for (const auto& why : unbound)
        note(utf8(why));
    if (!unbound.empty()) return;
    baseCopy_ = ctx_.doc;
    if (!comm::runPreWriteCheck(baseCopy_, ctx_.texts, ctx_.boxes.messenger())) return;

    readLogMarks();
    comm::FleetOptions options;
    options.verify = verify_->isChecked();
    options.out = fsPath(out_->text());
    std::error_code ec;
    std::filesystem::create_directories(options.out, ec);
    const auto logPath = fsPath(log_->text());
    if (logPath.has_parent_path()) std::filesystem::create_directories(logPath.parent_path(), ec);
    run_ = std::make_unique<comm::FleetRun>(*manifest_, baseCopy_, ctx_.texts, std::move(ports), options,
                                            *relay_);
    run_->skipRows(done_);
    if (!run_->openLog(logPath)) {
        run_.reset();
        lines_.clear();
        ctx_.boxes.errorText(ctx_.boxes.text(kTextFileCannotOpen) + "\n" + log_->text().toStdString());
        return;
    }
    prompts_.clear();
    worker_ = std::thread([this] {
        run_->run();
        QMetaObject::invokeMethod(
            this, [this] { finished(); }, Qt::QueuedConnection);
    });
    updateButtons();
}

void FleetDialog::stop() {
    if (run_) run_->stop();
    stop_->setEnabled(false);
}

void FleetDialog::finished() {
    if (!worker_.joinable()) return;
    worker_.join();
    run_.reset();
    lines_.clear();
    prompts_.clear();
    showPrompts();
    readLogMarks();
    updateButtons();
    emit runFinished();
    if (closeWhenDone_) QDialog::reject();
}

void FleetDialog::showUpdate(const comm::RowUpdate& u) {
    if (!manifest_ || u.row >= manifest_->rows.size()) return;
    const int r = int(u.row), c = stateColumn();
    auto* item = table_->item(r, c);
    if (u.state == comm::RowState::Writing || u.state == comm::RowState::Verifying) {
        if (prompts_.erase(u.port)) showPrompts();
        auto* bar = qobject_cast<QProgressBar*>(table_->cellWidget(r, c));
        if (!bar) {
            bar = new QProgressBar;
            bar->setAccessibleName(utf8(manifest_->rows[u.row].label));
            table_->setCellWidget(r, c, bar);
        }
        bar->setFormat(ctx_.text(u.state == comm::RowState::Writing ? kTextWriting : kTextVerifying) +
                       QStringLiteral("  %p%"));
        bar->setRange(0, std::max(1, u.total));
        bar->setValue(u.position);
        item->setText(bar->format());
        return;
    }
    table_->removeCellWidget(r, c);
    if (!u.ended()) {
        item->setText(ctx_.text(kTextWaiting));
        return;
    }
    item->setText(utf8(u.result));
    note(rowWhere(u.port, u.row) + QStringLiteral(": ") + utf8(u.result));
    const bool good = u.state == comm::RowState::Written || u.state == comm::RowState::Verified;
    item->setForeground(good                                ? QColor(0, 110, 0)
                        : u.state == comm::RowState::Failed ? QColor(170, 0, 0)
                                                            : QColor(120, 90, 0));
    table_->scrollToItem(item);
}

void FleetDialog::showPrompts() {
    QStringList lines;
    for (const auto& [port, text] : prompts_)
        lines << text;
    prompt_->setText(lines.join(QLatin1Char('\n')));
    promptBox_->setVisible(!lines.isEmpty());
    skip_->setVisible(portNames_.size() == 1);
    skip_->setEnabled(running());
}

QString FleetDialog::rowWhere(std::size_t port, std::optional<std::size_t> row) const {
    QString where = portName(port);
    if (row && manifest_ && *row < manifest_->rows.size())
        where += QStringLiteral(" '") + utf8(manifest_->rows[*row].label) + QLatin1Char('\'');
    return where;
}

QString FleetDialog::messageLine(const comm::FleetMessage& m) const {
    const QString where = rowWhere(m.port, m.row);
    QString text = fromCore(m.message.text);
    if (m.step == comm::FleetStep::PortUnusable)
        text = ctx_.text(comm::kTextPortCannotOpen) + QLatin1Char(' ') +
               fromCore(comm::portReason(m.message.text, where.toStdString()));
    else if (m.step == comm::FleetStep::Save)
        text = ctx_.text(kTextNotSaved) + QLatin1Char(' ') + utf8(m.message.text);
    return where + QStringLiteral(": ") + text.trimmed();
}

void FleetDialog::note(const QString& line) {
    notes_->appendPlainText(line);
}

void FleetDialog::updateButtons() {
    bool anyPort = false;
    for (int i = 0; i < ports_->count(); ++i)
        anyPort = anyPort || ports_->item(i)->checkState() == Qt::Checked;
    const bool busy = running();
    start_->setEnabled(!busy && manifest_ && !refused_ && anyPort);
    stop_->setEnabled(busy && run_ && !run_->stopped());
    for (QWidget* w : std::initializer_list<QWidget*>{open_, ports_, verify_, out_, log_})
        w->setEnabled(!busy);
    for (QWidget* w : browse_)
        w->setEnabled(!busy);
    const bool log = QFileInfo::exists(log_->text());
    print_->setEnabled(log);
    pdf_->setEnabled(log);
}

void FleetDialog::chooseManifest() {
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QFileInfo(manifestPath_->text()).path(), QStringLiteral("CSV (*.csv);;* (*)"));
    if (!path.isEmpty()) loadManifest(path);
}

void FleetDialog::chooseFolder() {
    const QString path = QFileDialog::getExistingDirectory(this, QString(), out_->text());
    if (!path.isEmpty()) out_->setText(QDir::toNativeSeparators(path));
}

void FleetDialog::chooseLog() {
    QFileDialog dlg(this, QString(), log_->text(), QStringLiteral("CSV (*.csv)"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setOption(QFileDialog::DontConfirmOverwrite); // a log is added to, never overwritten
    dlg.setDefaultSuffix(QStringLiteral("csv"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    log_->setText(QDir::toNativeSeparators(dlg.selectedFiles().first()));
    readLogMarks();
    updateButtons();
}

print::DeliveryHead FleetDialog::sheetHead() const {
    print::DeliveryHead head;
    head.customer = customer_->text().trimmed().toStdString();
    head.date = print::deliveryDate(print::reportTime());
    print::describeBase(head, ctx_.doc);
    return head;
}

std::vector<fleet::LogLine> FleetDialog::sheetLog() const {
    std::ifstream in(fsPath(log_->text()), std::ios::binary);
    return fleet::readLog(in);
}

void FleetDialog::printSheet() {
    const auto head = sheetHead();
    const auto log = sheetLog();
    printPages(
        ctx_,
        [&](const ReportGeometry& g) {
            return print::deliverySheet(head, log, ctx_.texts, g.width, g.height, g.landscape);
        },
        this);
}

bool FleetDialog::writeSheetPdf(const QString& path) {
    const auto head = sheetHead();
    const auto log = sheetLog();
    if (exportPages(
            [&](const ReportGeometry& g) {
                return print::deliverySheet(head, log, ctx_.texts, g.width, g.height, g.landscape);
            },
            path))
        return true;
    ctx_.boxes.errorText(std::string(ctx_.texts.text(kTextCannotWritePdf)) + ":\n" + path.toStdString());
    return false;
}

void FleetDialog::reject() {
    if (!running()) {
        QDialog::reject();
        return;
    }
    if (ctx_.boxes.question(kTextStopAndClose, MsgButtons::YesNo) != MsgAnswer::Yes) return;
    closeWhenDone_ = true;
    stop();
}

void FleetDialog::closeEvent(QCloseEvent* e) {
    if (running()) {
        e->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace velora::gui
