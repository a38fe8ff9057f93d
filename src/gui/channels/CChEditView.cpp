#include "channels/CChEditView.h"
#include "forms/CoreBridge.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "channels/CChInfoView.h"
#include "channels/ChannelGui.h"
#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"
#include "frame/HelpWindow.h"
#include "frame/MainFrame.h"
#include "grid/CMSFlexGrid.h"
#include "model/ToneCodec.h"

namespace velora::gui {

using namespace channels;
using forms::FieldKind;

CChEditView::CChEditView(AppContext& ctx, MainFrame& frame, QWidget* parent)
    : QWidget(parent), ctx_(ctx), frame_(frame), store_(std::make_unique<ChannelStore>(ctx.doc, ctx.texts)),
      area_(*store_, ctx.boxes) {
    setObjectName(QStringLiteral("chEditView"));
    if (CChInfoView* info = findChInfoView(frame_)) area_.setChannel(info->group(), info->channel());
    build();
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w || w->widget() != this) return;
        if (CChInfoView* info = findChInfoView(frame_)) area_.setChannel(info->group(), info->channel());
        refreshAll();
    });
    // The channel functions the frame has no window-wide key for work here with the grid's keys.
    for (const ChannelFunction& f : channelFunctions()) {
        if (f.command == 0 || f.command == chcmd::kGroupEdit || f.command == chcmd::kChannelEdit) continue;
        if (QAction* owned = frame_.action(f.command); owned && !owned->shortcut().isEmpty()) continue;
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(QString::fromLatin1(f.keys)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int command = f.command;
        connect(a, &QAction::triggered, this, [this, command] { handleCommand(command); });
        addAction(a);
    }
    refreshAll();
    resize(sizeHint());
    QTimer::singleShot(0, this, [this] {
        if (auto* e = edit(chedit::kGroup)) e->setFocus();
    });
}

CChEditView::~CChEditView() = default;

FilteredLineEdit* CChEditView::edit(int field) const {
    return fields_[std::size_t(field)].edit;
}

void CChEditView::build() {
    const int count = area_.fieldCount(0);
    fields_.resize(std::size_t(count));
    auto* left = new QGridLayout;
    left->setVerticalSpacing(4);
    auto* checks = new QVBoxLayout;
    QStringList tones;
    const std::string off(ctx_.texts.text(kTextToneOff));
    for (std::size_t i = 0; i < kToneChoiceCount; ++i)
        tones << fromCore(toneChoiceText(i, off, ctx_.doc.codec().decimalSeparator()));

    int row = 0;
    for (int i = 0; i < count; ++i) {
        const forms::FieldDescriptor& d = *area_.descriptor(0, i);
        Field& f = fields_[std::size_t(i)];
        const QString label = ctx_.text(d.labelText);
        const forms::EditFormat fmt = area_.editFormat(0, i);
        auto makeEdit = [&](QWidget* parent) {
            auto* e = new FilteredLineEdit(parent);
            e->setCharClass(fmt.charClass);
            e->setDecimalPoint(ctx_.doc.codec().decimalSeparator());
            e->setLimit(fmt.maxLength);
            if (fmt.fixedPitch) e->setFont(sizedLike(ctx_.fixedFont, font()));
            e->installEventFilter(this);
            return e;
        };
        if (d.kind == FieldKind::Check) {
            auto* box = new QCheckBox(label, this);
            f.label = f.value = box;
            checks->addWidget(box);
            connect(box, &QCheckBox::clicked, this,
                    [this, i](bool on) { apply(area_.commitChoice(0, i, on ? 1 : 0)); });
        } else {
            f.label = new QLabel(label, this);
            auto* box = new QHBoxLayout;
            box->setSpacing(2);
            if (d.kind == FieldKind::List) {
                auto* combo = new QComboBox(this);
                f.value = combo;
                combo->installEventFilter(this);
                connect(combo, &QComboBox::activated, this, [this, i, combo](int index) {
                    apply(area_.commitChoice(0, i, combo->itemData(index).toInt()));
                });
                box->addWidget(combo, 1);
            } else if (d.kind == kKindCombo) {
                f.edit = makeEdit(this);
                auto* combo = CMSFlexGrid::makeToneCombo(this, f.edit, tones);
                combo->setMaxVisibleItems(12);
                combo->installEventFilter(this); // its keys and focus arrive at the combo, not its edit
                f.value = combo;
                connect(combo, &QComboBox::activated, this, [this, i](int index) {
                    apply(area_.commitChoice(0, i, index));
                    fields_[std::size_t(i)].edit->setModified(false);
                });
                box->addWidget(combo, 1);
            } else {
                f.edit = makeEdit(this);
                f.value = f.edit;
                // Short numbers get short edits; the others share the column.
                if (fmt.maxLength > 0 && fmt.maxLength <= 3) {
                    f.edit->setFixedWidth(
                        f.edit->fontMetrics().horizontalAdvance(QString(5, QLatin1Char('0'))) + 12);
                    box->addWidget(f.edit);
                } else {
                    box->addWidget(f.edit, 1);
                }
                if (d.kind == FieldKind::EditSpin) {
                    f.spin = new SpinButtons(this);
                    f.spin->setFixedHeight(f.edit->sizeHint().height());
                    box->addWidget(f.spin);
                    connect(f.spin, &SpinButtons::stepped, this, [this, i](int direction) {
                        FilteredLineEdit* e = edit(i);
                        apply(area_.stepField(0, i, toCore(e->text()), direction));
                        showField(i);
                        QTimer::singleShot(0, e, [e] { e->selectAll(); });
                    });
                }
                if (fmt.maxLength > 0 && fmt.maxLength <= 3) box->addStretch(1);
            }
            left->addWidget(f.label, row, 0);
            left->addLayout(box, row, 1);
            ++row;
        }
        setControlId(f.label == f.value ? nullptr : f.label, d.labelControl);
        setControlId(f.value, d.valueControl);
        setControlId(f.spin, d.spinControl);
    }
    left->setColumnMinimumWidth(1, 150);
    checks->addStretch();

    auto* close = new QPushButton(ctx_.text(13), this);
    auto* help = new QPushButton(ctx_.text(14), this);
    setControlId(close, 1011);
    setControlId(help, 111);
    for (QPushButton* b : {close, help}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this); // Escape closes the view from the buttons too
    }
    connect(close, &QPushButton::clicked, this, [this] {
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
    connect(help, &QPushButton::clicked, this,
            [this] { HelpWindow::showContext(&frame_, area_.defaultHelp()); });

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(16);
    columns->addLayout(checks, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

void CChEditView::updateTitle() {
    QString t = ctx_.text(area_.titleText());
    if (windowTitle() != t) setWindowTitle(t);
}

void CChEditView::showField(int i) {
    Field& f = fields_[std::size_t(i)];
    forms::FieldText ft = area_.fieldText(0, i);
    const QString text = fromCore(ft.text);
    if (auto* box = qobject_cast<QCheckBox*>(f.value)) {
        box->setChecked(ft.value > 0);
    } else if (auto* combo = qobject_cast<QComboBox*>(f.value)) {
        if (combo->isEditable()) {
            int k = combo->findText(text, Qt::MatchExactly);
            combo->setCurrentIndex(k);
            if (k < 0) combo->setEditText(text);
            f.edit->setModified(false);
        } else {
            // The list is refilled: what it offers may depend on the channel.
            combo->clear();
            for (const forms::ValueItem& item : area_.valueList(0, i))
                combo->addItem(ctx_.text(item.text), int(item.stored));
            combo->setCurrentIndex(text.isEmpty() ? -1 : combo->findText(text, Qt::MatchExactly));
        }
    } else if (f.edit) {
        f.edit->setText(text);
    }
}

void CChEditView::refreshEnables() {
    for (int i = 0; i < int(fields_.size()); ++i) {
        bool on = area_.isFieldEnabled(0, i);
        fields_[std::size_t(i)].value->setEnabled(on);
        if (auto* s = fields_[std::size_t(i)].spin) s->setEnabled(on);
    }
}

void CChEditView::refreshAll() {
    if (auto* e = edit(chedit::kName)) e->setLimit(area_.editFormat(0, chedit::kName).maxLength);
    area_.applyShowRules();
    for (int i = 0; i < int(fields_.size()); ++i)
        showField(i);
    refreshEnables();
    updateTitle();
    if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget()); e && isAncestorOf(e)) e->selectAll();
}

void CChEditView::follow(int g, int c) {
    if (committing_) return;
    area_.setChannel(g, c);
    refreshAll();
}

void CChEditView::apply(const forms::FieldEffects& fx) {
    for (forms::FieldRef r : fx.showFields)
        showField(r.field);
    if (fx.refreshAll) refreshAll();
    if (fx.refreshEnables || !fx.showFields.empty()) refreshEnables();
    CChInfoView* info = findChInfoView(frame_);
    if ((fx.otherViews & forms::views::kChannelInfo) && info) {
        committing_ = true; // the grid moving must not send this view back to its old channel
        if (info->group() != area_.group()) info->setGroup(area_.group());
        if (info->channel() != area_.channel()) info->setChannel(area_.channel());
        info->refreshRow(area_.channel() + 1);
        info->refreshFreeArea();
        info->refreshGroupName();
        committing_ = false;
    }
    refreshOtherViews(frame_, fx.otherViews & ~(forms::views::kChannelInfo | forms::views::kChannelEdit));
}

void CChEditView::commitEdit(int field) {
    Field& f = fields_[std::size_t(field)];
    if (!f.edit || !f.edit->isModified() || committing_) return;
    committing_ = true; // a message box of this commit takes the focus
    forms::FieldEffects fx = area_.commitField(0, field, toCore(f.edit->text()));
    committing_ = false;
    f.edit->setModified(false);
    showField(field);
    apply(fx);
}

int CChEditView::fieldOf(QObject* obj) const {
    for (int i = 0; i < int(fields_.size()); ++i)
        if (obj == fields_[std::size_t(i)].edit || obj == fields_[std::size_t(i)].value) return i;
    return -1;
}

bool CChEditView::eventFilter(QObject* obj, QEvent* e) {
    const int field = fieldOf(obj);
    if (field < 0) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape &&
            qobject_cast<QPushButton*>(obj)) {
            if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
                QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
            return true;
        }
        return QWidget::eventFilter(obj, e);
    }
    if (e->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
        commitEdit(field); // an edit, or the combo around a tone's edit part
        if (field == chedit::kBandwidth) apply(area_.bandwidthFocusLost());
        return false;
    }
    if (e->type() != QEvent::KeyPress) return QWidget::eventFilter(obj, e);
    auto* k = static_cast<QKeyEvent*>(e);
    auto* list = qobject_cast<QComboBox*>(fields_[std::size_t(field)].value);
    const bool dropped = list && list->view()->isVisible();
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (dropped) return false;
        focusNextChild(); // Enter acts as Tab
        return true;
    case Qt::Key_Tab:
        // The receive frequency goes in first, so the enables are current when the focus arrives.
        if (field == chedit::kRx && !(k->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
            commitEdit(field);
        return false;
    case Qt::Key_Escape:
        if (dropped) return false;
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (dropped) return false;
        commitEdit(field);
        apply(area_.stepField(0, chedit::kChannel, toCore(edit(chedit::kChannel)->text()),
                              k->key() == Qt::Key_PageUp ? +1 : -1));
        return true;
    default:
        return false;
    }
}

bool CChEditView::handleCommand(int command) {
    // Any pending entry goes in first; the channel functions act on the grid's channel.
    if (QWidget* w = QApplication::focusWidget(); w && isAncestorOf(w))
        if (int f = fieldOf(w); f >= 0) commitEdit(f);
    switch (command) {
    case chcmd::kChannelCopy:
    case chcmd::kFrequencyCopy:
    case chcmd::kToneCopy:
    case chcmd::kGroupJump:
    case chcmd::kGroupCopy:
    case chcmd::kChannelInsert:
    case chcmd::kChannelDelete:
    case chcmd::kGroupUp:
    case chcmd::kGroupDown:
        if (CChInfoView* info = findChInfoView(frame_)) {
            info->handleCommand(command);
            area_.setChannel(info->group(), info->channel());
            refreshAll();
        }
        return true;
    default:
        return false;
    }
}

std::optional<int> CChEditView::helpContext() const {
    QWidget* w = QApplication::focusWidget();
    for (const Field& f : fields_) {
        if (w && (w == f.value || w == f.edit)) {
            int id = f.value->property("controlId").toInt();
            if (auto ref = area_.findValueControl(id)) return area_.helpTopic(ref->page, ref->field);
        }
    }
    return area_.defaultHelp();
}

} // namespace velora::gui
