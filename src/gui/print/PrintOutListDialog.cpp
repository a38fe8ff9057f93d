#include "print/PrintOutListDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/LanguageFile.h"
#include "forms/CoreBridge.h"
#include "print/ReportPrinting.h"
#include "views/AppContext.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {

constexpr int kTextTitle = 97, kTextSetup = 25, kTextPreview = 36, kTextClearAll = 27, kTextSelectAll = 28;
constexpr int kTextOk = 11, kTextCancel = 12, kTextHelp = 14, kTextGroup = 345;
constexpr int kHelpContext = 8;
constexpr int kControlStart = 1379, kControlEnd = 1044;

// The check box control of each section.
int controlOf(unsigned flag) {
    switch (flag) {
    case print::section::kModel:
        return 1094;
    case print::section::kOptions:
        return 1095;
    case print::section::kKeys:
        return 1096;
    case print::section::kScan:
        return 1097;
    case print::section::kTwoTone:
        return 1098;
    case print::section::kDtmf:
        return 1099;
    case print::section::kDravix:
        return 1101;
    case print::section::kEmergency:
        return 1100;
    case print::section::kOst:
        return 1104;
    case print::section::kFunctionPort:
        return 1106;
    case print::section::kRemoteList:
        return 1107;
    case print::section::kRepeaterList:
        return 1105;
    case print::section::kTestFrequency:
        return 1102;
    case print::section::kMessage:
        return 1108;
    default:
        return 1103;
    }
}

} // namespace

PrintOutListDialog::PrintOutListDialog(AppContext& ctx, Mode mode, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mode_(mode) {
    setWindowTitle(ctx.text(kTextTitle));
    setObjectName(QStringLiteral("printOutList"));

    auto* sections = new QGroupBox(this);
    auto* grid = new QGridLayout(sections);
    const auto list = print::dialogSections();
    const int perColumn = int(list.size() + 1) / 2;
    int i = 0;
    for (const print::SectionInfo& s : list) {
        auto* box = new QCheckBox(ctx.text(s.captionText), sections);
        setControlId(box, controlOf(s.flag));
        grid->addWidget(box, i % perColumn, i / perColumn);
        boxes_[s.flag] = box;
        connect(box, &QCheckBox::clicked, this, &PrintOutListDialog::boxClicked);
        ++i;
    }
    // The group range beside Channel Information.
    start_ = new QLineEdit(QStringLiteral("1"), sections);
    end_ = new QLineEdit(QStringLiteral("160"), sections);
    setControlId(start_, kControlStart);
    setControlId(end_, kControlEnd);
    auto* range = new QHBoxLayout;
    range->addSpacing(20);
    range->addWidget(new QLabel(ctx.text(kTextGroup), sections));
    for (QLineEdit* e : {start_, end_}) {
        e->setMaxLength(3);
        e->setValidator(new QIntValidator(0, 999, e));
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        e->setAlignment(Qt::AlignRight);
        range->addWidget(e);
        if (e == start_) range->addWidget(new QLabel(QStringLiteral("-"), sections));
    }
    range->addStretch();
    grid->addLayout(range, perColumn, 0, 1, 2);
    connect(start_, &QLineEdit::editingFinished, this, [this] { rangeEdited(true); });
    connect(end_, &QLineEdit::editingFinished, this, [this] { rangeEdited(false); });

    auto* buttons = new QVBoxLayout;
    auto button = [&](int text) {
        auto* b = new QPushButton(ctx.text(text), this);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    ok_ = button(kTextOk);
    ok_->setDefault(true);
    auto* cancel = button(kTextCancel);
    buttons->addSpacing(8);
    auto* setup = button(kTextSetup);
    preview_ = button(kTextPreview);
    buttons->addSpacing(8);
    auto* clear = button(kTextClearAll);
    auto* all = button(kTextSelectAll);
    buttons->addSpacing(8);
    auto* help = button(kTextHelp);
    buttons->addStretch();
    ok_->setObjectName(QStringLiteral("ok"));
    preview_->setObjectName(QStringLiteral("preview"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(sections, 1);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &PrintOutListDialog::accepted);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(setup, &QPushButton::clicked, this, [this] { printSetup(this); });
    connect(preview_, &QPushButton::clicked, this, [this] { previewReport(ctx_, selection(), this); });
    connect(clear, &QPushButton::clicked, this, &PrintOutListDialog::clearAll);
    connect(all, &QPushButton::clicked, this, &PrintOutListDialog::selectAll);
    connect(help, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kHelpContext); });

    boxes_[print::section::kModel]->setChecked(true);
    boxes_[print::section::kMessage]->setChecked(true);
    boxes_[print::section::kRepeaterList]->setEnabled(ctx.dualBand());
    updateButtons();
}

QCheckBox* PrintOutListDialog::sectionBox(unsigned flag) const {
    auto it = boxes_.find(flag);
    return it == boxes_.end() ? nullptr : it->second;
}

print::Selection PrintOutListDialog::selection() {
    rangeEdited(true);
    rangeEdited(false);
    print::Selection s;
    s.sections = 0;
    for (const auto& [flag, box] : boxes_)
        if (box->isChecked() && box->isEnabled()) s.sections |= flag;
    s.startGroup = range_.start;
    s.endGroup = range_.end;
    return s;
}

void PrintOutListDialog::rangeEdited(bool startEdited) {
    // The other edit keeps what it holds; only the edited one may move it.
    const auto held = [](QLineEdit* e) {
        return std::clamp(e->text().toInt(), print::kFirstGroup, print::kLastGroup);
    };
    range_ = startEdited ? print::withStart({range_.start, held(end_)}, start_->text().toInt())
                         : print::withEnd({held(start_), range_.end}, end_->text().toInt());
    start_->setText(QString::number(range_.start));
    end_->setText(QString::number(range_.end));
}

void PrintOutListDialog::boxClicked() {
    updateButtons();
}

void PrintOutListDialog::updateButtons() {
    bool any = false;
    for (const auto& [flag, box] : boxes_)
        any = any || (box->isChecked() && box->isEnabled());
    const bool channels = boxes_[print::section::kChannels]->isChecked();
    start_->setEnabled(channels);
    end_->setEnabled(channels);
    ok_->setEnabled(any);
    preview_->setEnabled(any);
}

void PrintOutListDialog::clearAll() {
    for (const auto& [flag, box] : boxes_)
        box->setChecked(false);
    updateButtons();
}

void PrintOutListDialog::selectAll() {
    for (const auto& [flag, box] : boxes_)
        box->setChecked(box->isEnabled());
    updateButtons();
}

void PrintOutListDialog::accepted() {
    const print::Selection s = selection();
    if (mode_ == Mode::Print) {
        if (printReport(ctx_, s, this)) accept();
        return;
    }
    QString path = QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (exportReport(ctx_, s, path)) {
        accept();
        return;
    }
    QMessageBox::warning(this, QString::fromLatin1(LanguageFile::kCaption),
                         QStringLiteral("%1:\n%2").arg(ctx_.text(kTextCannotWritePdf), path));
}

} // namespace velora::gui
