#include "channels/CopyDialog.h"
#include "forms/CoreBridge.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "channels/CChInfoView.h"
#include "channels/ChEditArea.h"
#include "channels/ChannelGui.h"
#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"
#include "forms/ToneCombo.h"
#include "forms/UndoNote.h"
#include "grid/CMSFlexGrid.h"
#include "model/ToneCodec.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

using namespace channels;
using forms::FieldKind;

CopyDialog::CopyDialog(CopyDialogKind kind, AppContext& ctx, EditorHost& frame, CChInfoView& info,
                       QWidget* parent)
    : QDialog(parent ? parent : &info), kind_(kind), spec_(copyDialogSpec(kind)), ctx_(ctx), frame_(frame),
      info_(info), store_(std::make_unique<ChannelStore>(ctx.doc, ctx.texts)), group_(info.group()),
      channel_(info.channel()) {
    setObjectName(QStringLiteral("copyDialog%1").arg(int(kind)));
    setWindowTitle(ctx_.text(spec_.title));
    setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));
    build();
}

CopyDialog::~CopyDialog() = default;

QString CopyDialog::initialText(int field) const {
    const int g = group_ + 1, c = channel_ + 1;
    switch (kind_) {
    case CopyDialogKind::ChannelCopy:
        return QString::number(field % 2 == 0 ? g : c);
    case CopyDialogKind::GroupCopy:
    case CopyDialogKind::GroupJump:
        return QString::number(g);
    case CopyDialogKind::FrequencyCopy: {
        QString rx = fromCore(store_->channelFieldText(group_, channel_, ChannelField::RxFrequency).text);
        return field == 0 ? fromCore(sourceText(toCore(rx))) : rx;
    }
    case CopyDialogKind::ToneCopy: {
        QString tone = fromCore(store_->channelFieldText(group_, channel_, ChannelField::Decode).text);
        return field == 0 ? fromCore(sourceText(toCore(tone))) : tone;
    }
    }
    return {};
}

void CopyDialog::build() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const int count = int(spec_.fields.size());
    fields_.resize(std::size_t(count));
    // Sources (read-only) on the left, "to", destinations on the right; one row per pair.
    int sources = 0;
    for (const auto& d : spec_.fields)
        sources += d.kind == FieldKind::Text ? 1 : 0;
    QStringList tones;
    const std::string off(ctx_.texts.text(kTextToneOff));
    for (std::size_t i = 0; i < kToneChoiceCount; ++i)
        tones << fromCore(toneChoiceText(i, off, ctx_.doc.codec().decimalSeparator()));

    for (int i = 0; i < count; ++i) {
        const forms::FieldDescriptor& d = spec_.fields[std::size_t(i)];
        Field& f = fields_[std::size_t(i)];
        auto* label = new QLabel(ctx_.text(d.labelText), this);
        setControlId(label, d.labelControl);
        const bool source = d.kind == FieldKind::Text;
        const int row = source ? i : i - sources;
        const int column = source ? 0 : (sources ? 3 : 0);
        grid->addWidget(label, row, column);
        auto makeEdit = [&](QWidget* parent) {
            auto* e = new FilteredLineEdit(parent);
            e->setCharClass(d.charClass);
            e->setDecimalPoint(ctx_.doc.codec().decimalSeparator());
            e->setLimit(d.maxLength);
            e->installEventFilter(this);
            return e;
        };
        QWidget* cell = nullptr;
        if (source) {
            auto* text = new QLabel(initialText(i), this);
            text->setFrameShape(QFrame::StyledPanel);
            text->setFrameShadow(QFrame::Sunken);
            text->setMinimumWidth(90);
            // As high as the edits beside it, not stretched to the button column's height.
            text->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            text->setFixedHeight(QLineEdit().sizeHint().height());
            f.value = cell = text;
        } else if (d.kind == FieldKind::Combo) {
            f.edit = makeEdit(this);
            auto* combo = makeToneCombo(this, f.edit, tones);
            combo->setMaxVisibleItems(12);
            const QString t = initialText(i);
            combo->setCurrentIndex(combo->findText(t, Qt::MatchExactly));
            combo->setEditText(t);
            combo->setMinimumWidth(100);
            f.value = cell = combo;
        } else {
            f.edit = makeEdit(this);
            f.edit->setText(initialText(i));
            f.edit->setMinimumWidth(d.maxLength > 3 ? 100 : 50);
            f.value = f.edit;
            // Only group and channel numbers are clamped; a frequency reaches the channel check as typed.
            if (d.charClass == forms::CharClass::Digits)
                f.max = d.labelText == 344 ? store_->perGroupLimit() : kGroupCount;
            if (d.kind == FieldKind::EditSpin) {
                auto* box = new QWidget(this);
                auto* h = new QHBoxLayout(box);
                h->setContentsMargins(0, 0, 0, 0);
                h->setSpacing(2);
                f.edit->setParent(box);
                h->addWidget(f.edit, 1);
                f.spin = new SpinButtons(box);
                f.spin->setFixedHeight(f.edit->sizeHint().height());
                h->addWidget(f.spin);
                connect(f.spin, &SpinButtons::stepped, this, [this, i](int direction) {
                    Field& fd = fields_[std::size_t(i)];
                    commitNumber(i);
                    int shown = fd.edit->text().toInt();
                    fd.edit->setText(QString::number(stepNumberField(shown, fd.max, direction)));
                    QTimer::singleShot(0, fd.edit, [e = fd.edit] { e->selectAll(); });
                });
                cell = box;
            } else {
                cell = f.edit;
            }
        }
        setControlId(f.value, d.valueControl);
        setControlId(f.spin, d.spinControl);
        grid->addWidget(cell, row, column + 1);
    }
    if (spec_.toText && sources) {
        auto* to = new QLabel(ctx_.text(spec_.toText), this);
        setControlId(to, 1363);
        to->setAlignment(Qt::AlignCenter);
        grid->addWidget(to, 0, 2, std::max(1, sources), 1);
        grid->setColumnMinimumWidth(2, 30);
    }

    auto* buttons = new QVBoxLayout;
    for (const DialogButton& b : spec_.buttons) {
        auto* button = new QPushButton(ctx_.text(b.text), this);
        setControlId(button, b.id);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        if (b.id == kButtonAction) {
            action_ = button;
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &CopyDialog::onAction);
        } else if (b.id == kButtonCancel) {
            cancel_ = button;
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
        } else {
            connect(button, &QPushButton::clicked, this,
                    [this] { HelpWindow::showContext(this, spec_.help); });
        }
    }
    buttons->addStretch();
    // F1 asks for the dialog's topic, as its Help button does; the frame's F1 does not reach here.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { HelpWindow::showContext(this, spec_.help); });
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (Field& f : fields_)
        if (f.edit) {
            QTimer::singleShot(0, f.edit, [e = f.edit] {
                e->setFocus();
                e->selectAll();
            });
            break;
        }
}

void CopyDialog::commitNumber(int field) {
    Field& f = fields_[std::size_t(field)];
    // Group Jump keeps what was typed: a number naming no group is refused on Jump, not altered.
    if (!f.edit || f.max == 0 || kind_ == CopyDialogKind::GroupJump) return;
    std::string t = toCore(f.edit->text());
    commitNumberField(t, f.max);
    f.edit->setText(fromCore(t));
}

void CopyDialog::onAction() {
    describeUndoStep(undoCaption(windowTitle()));
    for (int i = 0; i < int(fields_.size()); ++i)
        commitNumber(i);
    auto number = [this](int field) { return fields_[std::size_t(field)].edit->text().toInt() - 1; };
    switch (kind_) {
    case CopyDialogKind::ChannelCopy: {
        const int dg = number(2), dc = number(3);
        if (!copyChannelTo(*store_, ctx_.boxes, group_, channel_, dg, dc)) return;
        if (info_.group() == dg) info_.setChannel(dc);
        info_.refreshAll();
        frame_.refreshOtherViews(kChannelDependents | forms::views::kChannelEdit);
        return; // stays open for further copies
    }
    case CopyDialogKind::FrequencyCopy:
        copyFrequency(*store_, ctx_.boxes, group_, channel_, toCore(fields_[1].edit->text()));
        accept();
        return;
    case CopyDialogKind::ToneCopy:
        copyTone(*store_, ctx_.boxes, group_, channel_, toCore(fields_[1].edit->text()));
        accept();
        return;
    case CopyDialogKind::GroupCopy:
        if (!copyGroupTo(*store_, ctx_.boxes, group_, number(1))) return;
        info_.refreshAll();
        frame_.refreshOtherViews(kChannelDependents | forms::views::kChannelEdit);
        return;
    case CopyDialogKind::GroupJump: {
        auto g = jumpTarget(toCore(fields_[0].edit->text()), ctx_.boxes);
        if (!g) {
            fields_[0].edit->setFocus();
            fields_[0].edit->selectAll();
            return;
        }
        info_.setGroup(*g);
        accept();
        return;
    }
    }
}

bool CopyDialog::eventFilter(QObject* obj, QEvent* e) {
    for (int i = 0; i < int(fields_.size()); ++i) {
        if (obj != fields_[std::size_t(i)].edit) continue;
        if (e->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason)
            commitNumber(i);
        if (e->type() == QEvent::KeyPress && kind_ == CopyDialogKind::ChannelCopy && i == 2) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                focusNextChild(); // Enter in the destination group moves on to the channel
                return true;
            }
        }
    }
    return QDialog::eventFilter(obj, e);
}

} // namespace velora::gui
