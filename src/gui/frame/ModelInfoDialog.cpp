#include "frame/ModelInfoDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/HelpWindow.h"

namespace velora::gui {

namespace {
constexpr int kHelpContext = 21;
char decimalSeparator() {
    char c = QLocale::system().decimalPoint().at(0).toLatin1();
    return c ? c : '.';
}
} // namespace

QComboBox* ModelInfoDialog::combo(const char* name) {
    auto* c = new QComboBox;
    c->setObjectName(QString::fromLatin1(name));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

ModelInfoDialog::ModelInfoDialog(AppContext& ctx, ModelChangeHost& host, QWidget* parent)
    : QDialog(parent), ctx_(ctx), host_(host), form_(identificationOf(ctx.doc.image())) {
    setObjectName(QStringLiteral("modelInfo"));
    setWindowTitle(ctx.text(141));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));

    singleHead_ = new QRadioButton(ctx.text(156));
    dualHead_ = new QRadioButton(ctx.text(157));
    singleBand_ = new QRadioButton(ctx.text(150));
    dualBand_ = new QRadioButton(ctx.text(151));
    singleHead_->setObjectName(QStringLiteral("singleHead"));
    dualHead_->setObjectName(QStringLiteral("dualHead"));
    singleBand_->setObjectName(QStringLiteral("singleBand"));
    dualBand_->setObjectName(QStringLiteral("dualBand"));
    auto* heads = new QButtonGroup(this);
    heads->addButton(singleHead_);
    heads->addButton(dualHead_);
    auto* bands = new QButtonGroup(this);
    bands->addButton(singleBand_);
    bands->addButton(dualBand_);
    head1_ = combo("head1Type");
    head2_ = combo("head2Type");
    model1_ = combo("model1");
    band1_ = combo("band1");
    board1_ = combo("board1");
    model2_ = combo("model2");
    band2_ = combo("band2");
    board2_ = combo("board2");

    auto* headBox = new QGroupBox(ctx.text(155));
    auto* hg = new QGridLayout(headBox);
    hg->addWidget(singleHead_, 0, 0);
    hg->addWidget(dualHead_, 0, 1);
    hg->addWidget(new QLabel(ctx.text(158)), 1, 0);
    hg->addWidget(head1_, 1, 1);
    hg->addWidget(new QLabel(ctx.text(159)), 2, 0);
    hg->addWidget(head2_, 2, 1);
    hg->setColumnStretch(1, 1);

    auto* radioBox = new QGroupBox(ctx.text(152));
    auto* rg = new QGridLayout(radioBox);
    rg->addWidget(singleBand_, 0, 0);
    rg->addWidget(dualBand_, 0, 1);
    int row = 1;
    auto unit = [&](int typeText, QComboBox* model, QComboBox* band, QComboBox* board) {
        rg->addWidget(new QLabel(ctx.text(typeText)), row, 0);
        rg->addWidget(model, row++, 1);
        rg->addWidget(new QLabel(ctx.text(145)), row, 0);
        rg->addWidget(band, row++, 1);
        rg->addWidget(new QLabel(ctx.text(147)), row, 0);
        rg->addWidget(board, row++, 1);
    };
    unit(143, model1_, band1_, board1_);
    rg->setRowMinimumHeight(row++, 8);
    unit(144, model2_, band2_, board2_);
    rg->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(ctx.text(11), QDialogButtonBox::AcceptRole);
    buttons->addButton(ctx.text(12), QDialogButtonBox::RejectRole);
    auto* help = buttons->addButton(ctx.text(14), QDialogButtonBox::HelpRole);
    ok->setObjectName(QStringLiteral("ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kHelpContext); });

    auto* v = new QVBoxLayout(this);
    v->addWidget(headBox);
    v->addWidget(radioBox);
    v->addWidget(buttons);

    // Every user choice goes to the form, which decides what the other controls show.
    auto onClick = [this](QRadioButton* b, void (ModelInfoForm::*f)()) {
        connect(b, &QRadioButton::clicked, this, [this, f] {
            (form_.*f)();
            showForm();
        });
    };
    onClick(singleHead_, &ModelInfoForm::chooseSingleHead);
    onClick(dualHead_, &ModelInfoForm::chooseDualHead);
    onClick(singleBand_, &ModelInfoForm::chooseSingleBand);
    onClick(dualBand_, &ModelInfoForm::chooseDualBand);
    auto onPick = [this](QComboBox* box, void (ModelInfoForm::*f)(int)) {
        connect(box, &QComboBox::activated, this, [this, box, f](int index) {
            if (updating_ || index < 0) return;
            (form_.*f)(box->itemData(index).toInt());
            showForm();
        });
    };
    onPick(head1_, &ModelInfoForm::chooseHead1Type);
    onPick(head2_, &ModelInfoForm::chooseHead2Type);
    onPick(model1_, &ModelInfoForm::chooseModel1);
    onPick(band1_, &ModelInfoForm::chooseBand1);
    onPick(board1_, &ModelInfoForm::chooseBoard1);
    onPick(model2_, &ModelInfoForm::chooseModel2);
    onPick(band2_, &ModelInfoForm::chooseBand2);
    onPick(board2_, &ModelInfoForm::chooseBoard2);

    showForm();
}

void ModelInfoDialog::fill(QComboBox* box, const std::vector<ListItem>& items, int selected, bool enabled) {
    box->clear();
    for (const auto& item : items) {
        QString text = item.textNumber >= 0 ? ctx_.text(item.textNumber) : QString::fromStdString(item.text);
        box->addItem(text, item.data);
    }
    box->setCurrentIndex(enabled ? box->findData(selected) : -1);
    box->setEnabled(enabled);
}

void ModelInfoDialog::showForm() {
    updating_ = true;
    const auto& c = form_.config();
    const char sep = decimalSeparator();
    singleHead_->setChecked(!c.dualHead);
    dualHead_->setChecked(c.dualHead);
    singleBand_->setChecked(!c.dualBand);
    dualBand_->setChecked(c.dualBand);
    fill(head1_, headTypeList(), c.head1Type, true);
    fill(head2_, headTypeList(), c.head2Type, form_.head2Enabled());
    fill(model1_, form_.model1Items(), c.model1, true);
    fill(band1_, form_.band1Items(sep), c.band1, true);
    fill(board1_, optionBoardList(), c.board1, true);
    fill(model2_, form_.model2Items(), c.model2, form_.model2Enabled());
    fill(band2_, form_.band2Items(sep), c.band2, form_.model2Enabled());
    fill(board2_, optionBoardList(), c.board2, form_.model2Enabled());
    updating_ = false;
}

void ModelInfoDialog::accept() {
    if (confirmModelChange(ctx_.doc, ctx_.boxes, form_.config(), host_, &result_) ==
        ModelOkOutcome::Cancelled)
        return;
    QDialog::accept();
}

} // namespace velora::gui
