#include "forms/CFormView.h"
#include "forms/CoreBridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"

namespace velora::gui {

using forms::FieldKind;

namespace {
bool isCtrlTab(const QKeyEvent* k, int* direction) {
    if (!(k->modifiers() & Qt::ControlModifier)) return false;
    if (k->key() == Qt::Key_Backtab || (k->key() == Qt::Key_Tab && (k->modifiers() & Qt::ShiftModifier))) {
        *direction = -1;
        return true;
    }
    if (k->key() == Qt::Key_Tab) {
        *direction = +1;
        return true;
    }
    return false;
}
} // namespace

CFormView::CFormView(forms::FeatureArea& area, const TextSource& texts, const QFont& fixedFont,
                     QWidget* parent)
    : QWidget(parent), area_(area), texts_(texts), fixedFont_(fixedFont) {
    auto text = [this](int n) { return fromCore(std::string(texts_.text(n))); };
    setWindowTitle(text(area_.titleText()));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    fields_.resize(std::size_t(area_.pageCount()));
    for (int p = 0; p < area_.pageCount(); ++p) {
        auto* host = new QWidget;
        buildPage(p, host);
        int caption = area_.pages()[std::size_t(p)].tabText;
        tabs_->addTab(host, caption ? text(caption) : QString());
    }
    if (area_.pageCount() <= 1) tabs_->tabBar()->hide();

    close_ = new QPushButton(text(13), this);
    help_ = new QPushButton(text(14), this);
    for (QPushButton* b : {close_, help_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    setControlId(close_, kCloseControl);
    setControlId(help_, kHelpControl);
    byId_.insert(kCloseControl, close_);
    byId_.insert(kHelpControl, help_);
    connect(close_, &QPushButton::clicked, this, [this] { emit closeRequested(); });
    connect(help_, &QPushButton::clicked, this, [this] { emit helpRequested(area_.defaultHelp()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_);
    buttons->addWidget(help_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
        if (page < 0) return;
        refreshEnables(page);
    });
    // Ctrl+Tab must reach the view before an MDI area takes it to switch windows; a filter on the
    // application installed after the MDI area runs first.
    qApp->installEventFilter(this);
    refreshAll();
}

CFormView::~CFormView() {
    qApp->removeEventFilter(this);
}

void CFormView::buildPage(int page, QWidget* host) {
    auto* grid = new QGridLayout(host);
    grid->setColumnStretch(2, 1);
    grid->setVerticalSpacing(4);
    auto& list = fields_[std::size_t(page)];
    int row = -1;
    QHBoxLayout* lastValueBox = nullptr;
    FieldKind lastKind = FieldKind::None;
    for (int i = 0; i < area_.fieldCount(page); ++i) {
        const forms::FieldDescriptor& d = *area_.descriptor(page, i);
        Field f;
        f.page = page;
        f.field = i;
        QString label = d.labelText ? fromCore(std::string(texts_.text(d.labelText))) : QString();
        // An edit without a label text of its own continues the previous edit's row (a pair).
        bool joins = (d.kind == FieldKind::Edit || d.kind == FieldKind::EditSpin) && d.labelText == 0 &&
                     lastValueBox && (lastKind == FieldKind::Edit || lastKind == FieldKind::EditSpin);
        if (!joins) ++row;
        switch (d.kind) {
        case FieldKind::None: {
            auto* line = new QFrame(host);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, row, 0, 1, 3);
            f.label = line;
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::Frame: {
            auto* title = new QLabel(label, host);
            QFont bold = title->font();
            bold.setBold(true);
            title->setFont(bold);
            grid->addWidget(title, row, 0, 1, 3);
            f.label = title;
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::Check: {
            auto* box = new QCheckBox(label, host);
            grid->addWidget(box, row, 0, 1, 3);
            f.label = f.value = box;
            connect(box, &QCheckBox::clicked, this, [this, page, i](bool checked) {
                forms::FieldEffects fx = area_.commitChoice(page, i, checked ? 1 : 0);
                showField(page, i);
                apply(fields_[std::size_t(page)][std::size_t(i)], fx);
            });
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::List: {
            auto* combo = new QComboBox(host);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            f.label = new QLabel(label, host);
            f.value = combo;
            grid->addWidget(f.label, row, 0);
            grid->addWidget(combo, row, 1, Qt::AlignLeft);
            connect(combo, &QComboBox::activated, this, [this, page, i, combo](int index) {
                forms::FieldEffects fx = area_.commitChoice(page, i, combo->itemData(index).toInt());
                showField(page, i);
                apply(fields_[std::size_t(page)][std::size_t(i)], fx);
            });
            lastValueBox = nullptr;
            break;
        }
        // A tone combo is edited as text here (the core normalises it); plain text is shown read-only.
        case FieldKind::Combo:
        case FieldKind::Text:
        case FieldKind::Edit:
        case FieldKind::EditSpin: {
            forms::EditFormat fmt = area_.editFormat(page, i);
            auto* edit = new FilteredLineEdit(host);
            edit->setReadOnly(d.kind == FieldKind::Text);
            edit->setCharClass(fmt.charClass);
            edit->setLimit(fmt.maxLength);
            if (fmt.fixedPitch) edit->setFont(fixedFont_);
            QFontMetrics fm(edit->font());
            // Wide enough for a special value's text too.
            int chars = fmt.maxLength > 0 ? std::max(fmt.maxLength, 4) : 16;
            edit->setFixedWidth(std::max(40, fm.horizontalAdvance(QLatin1Char('W')) * chars + 12));
            f.edit = edit;
            f.value = edit;
            auto* box = joins ? lastValueBox : new QHBoxLayout;
            box->setSpacing(2);
            if (joins) {
                box->addWidget(new QLabel(QStringLiteral("-"), host));
            } else {
                f.label = new QLabel(label, host);
                grid->addWidget(f.label, row, 0);
                grid->addLayout(box, row, 1, Qt::AlignLeft);
            }
            box->addWidget(edit);
            if (d.kind == FieldKind::EditSpin) {
                f.spin = new SpinButtons(host);
                f.spin->setFixedHeight(edit->sizeHint().height());
                box->addWidget(f.spin);
                connect(f.spin, &SpinButtons::stepped, this, [this, page, i, edit](int direction) {
                    // The typed text is committed by the step itself, before the value moves.
                    forms::FieldEffects fx = area_.stepField(page, i, toCore(edit->text()), direction);
                    showField(page, i);
                    apply(fields_[std::size_t(page)][std::size_t(i)], fx);
                    QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
                });
            }
            if (!joins) box->addStretch();
            lastValueBox = box;
            break;
        }
        }
        lastKind = d.kind;
        setControlId(f.label, d.labelControl);
        setControlId(f.value, d.valueControl);
        setControlId(f.spin, d.spinControl);
        for (auto [id, w] : {std::pair{d.labelControl, f.label},
                             {d.valueControl, f.value},
                             std::pair<int, QWidget*>{d.spinControl, f.spin}})
            if (id && w && !byId_.contains(id)) byId_.insert(id, w);
        if (f.value) byWidget_.insert(f.value, {page, i});
        list.push_back(f);
    }
    grid->setRowStretch(row + 1, 1);
}

int CFormView::currentPage() const {
    return tabs_->currentIndex();
}
void CFormView::setCurrentPage(int page) {
    tabs_->setCurrentIndex(page);
}
int CFormView::pageCount() const {
    return tabs_->count();
}

QWidget* CFormView::valueWidget(int page, int field) const {
    if (page < 0 || page >= int(fields_.size()) || field < 0 ||
        field >= int(fields_[std::size_t(page)].size()))
        return nullptr;
    return fields_[std::size_t(page)][std::size_t(field)].value;
}

QWidget* CFormView::labelWidget(int page, int field) const {
    if (!valueWidget(page, field) && (page < 0 || page >= int(fields_.size()))) return nullptr;
    if (field < 0 || field >= int(fields_[std::size_t(page)].size())) return nullptr;
    return fields_[std::size_t(page)][std::size_t(field)].label;
}

SpinButtons* CFormView::spinButtons(int page, int field) const {
    if (!valueWidget(page, field)) return nullptr;
    return fields_[std::size_t(page)][std::size_t(field)].spin;
}

QWidget* CFormView::control(int id) const {
    return byId_.value(id, nullptr);
}

void CFormView::fillList(Field& f) {
    auto* combo = qobject_cast<QComboBox*>(f.value);
    if (!combo) return;
    std::vector<forms::ValueItem> items = area_.valueList(f.page, f.field);
    bool same = combo->count() == int(items.size());
    for (int k = 0; same && k < combo->count(); ++k)
        same = combo->itemData(k).toInt() == items[std::size_t(k)].stored &&
               combo->itemText(k) == fromCore(area_.text(items[std::size_t(k)].text));
    if (same) return;
    combo->clear();
    for (const forms::ValueItem& it : items)
        combo->addItem(fromCore(area_.text(it.text)), int(it.stored));
}

void CFormView::showField(int page, int field) {
    if (!valueWidget(page, field)) return;
    Field& f = fields_[std::size_t(page)][std::size_t(field)];
    forms::FieldText ft = area_.fieldText(page, field);
    if (f.edit) {
        f.edit->setText(fromCore(ft.text)); // also clears the modified flag: nothing typed since
    } else if (auto* combo = qobject_cast<QComboBox*>(f.value)) {
        fillList(f);
        combo->setCurrentIndex(-1);
        if (!ft.text.empty()) combo->setCurrentIndex(combo->findText(fromCore(ft.text), Qt::MatchExactly));
    } else if (auto* box = qobject_cast<QCheckBox*>(f.value)) {
        box->setChecked(ft.value > 0);
    }
}

void CFormView::refreshEnables(int page) {
    if (page < 0 || page >= int(fields_.size())) return;
    for (Field& f : fields_[std::size_t(page)]) {
        if (!f.value) continue;
        bool on = area_.isFieldEnabled(f.page, f.field);
        f.value->setEnabled(on);
        if (f.spin) f.spin->setEnabled(on);
    }
}

void CFormView::refreshAll() {
    for (int p = 0; p < int(fields_.size()); ++p) {
        for (int i = 0; i < int(fields_[std::size_t(p)].size()); ++i)
            showField(p, i);
        refreshEnables(p);
    }
    updatePageVisibility();
}

void CFormView::updatePageVisibility() {
    for (int p = 0; p < tabs_->count(); ++p)
        tabs_->setTabVisible(p, area_.pageAvailable(p));
    if (!tabs_->isTabVisible(tabs_->currentIndex())) tabs_->setCurrentIndex(0);
}

void CFormView::apply(const Field&, const forms::FieldEffects& fx) {
    for (forms::FieldRef r : fx.showFields)
        showField(r.page, r.field);
    if (fx.refreshAll) refreshAll();
    if (fx.refreshEnables)
        for (int p = 0; p < int(fields_.size()); ++p)
            refreshEnables(p);
    if (fx.pagesChanged) updatePageVisibility();
    if (fx.otherViews) emit refreshViews(fx.otherViews);
}

void CFormView::commitEdit(Field& f) {
    // Only what the user typed is committed: an untouched edit showing an out-of-range byte as
    // empty text must leave that byte alone.
    if (!f.edit || !f.edit->isModified()) return;
    if (committing_) return; // a message box of this commit took the focus
    committing_ = true;
    forms::FieldEffects fx = area_.commitField(f.page, f.field, toCore(f.edit->text()));
    showField(f.page, f.field);
    apply(f, fx);
    committing_ = false;
}

void CFormView::switchPage(int direction) {
    int count = tabs_->count();
    std::vector<int> visible;
    for (int p = 0; p < count; ++p)
        if (tabs_->isTabVisible(p)) visible.push_back(p);
    tabs_->tabBar()->setFocus(Qt::TabFocusReason);
    if (visible.size() < 2) return;
    auto pos = std::find(visible.begin(), visible.end(), tabs_->currentIndex());
    int k = pos == visible.end() ? 0 : int(pos - visible.begin());
    int n = int(visible.size());
    tabs_->setCurrentIndex(visible[std::size_t((k + direction + n) % n)]);
}

bool CFormView::isOwnWidget(QObject* obj) const {
    auto* w = qobject_cast<QWidget*>(obj);
    return w && (w == this || isAncestorOf(w));
}

CFormView::Field* CFormView::fieldOf(QObject* obj) {
    for (QObject* o = obj; o && o != this; o = o->parent()) {
        auto it = byWidget_.constFind(o);
        if (it != byWidget_.cend() && it->first >= 0)
            return &fields_[std::size_t(it->first)][std::size_t(it->second)];
    }
    return nullptr;
}

bool CFormView::eventFilter(QObject* obj, QEvent* e) {
    QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride && t != QEvent::FocusOut) return false;
    if (!isOwnWidget(obj)) return false;
    if (t == QEvent::FocusOut) {
        auto* fe = static_cast<QFocusEvent*>(e);
        if (fe->reason() != Qt::PopupFocusReason)
            if (Field* f = fieldOf(obj); f && f->edit == obj) commitEdit(*f);
        return false;
    }
    auto* k = static_cast<QKeyEvent*>(e);
    int direction = 0;
    if (isCtrlTab(k, &direction)) {
        if (t == QEvent::ShortcutOverride) {
            e->accept(); // deliver it as a key press here, not as a window-switching shortcut
            return true;
        }
        switchPage(direction);
        return true;
    }
    if (t != QEvent::KeyPress) return false;
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (obj == close_ || obj == help_) return false;
        // Enter acts as Tab everywhere else.
        QCoreApplication::postEvent(obj, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return true;
    case Qt::Key_Tab:
        // The pending entry goes in first, so enables it changes hold when the focus arrives.
        if (!(k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            if (Field* f = fieldOf(obj); f && f->edit == obj) commitEdit(*f);
        return false;
    case Qt::Key_F1: {
        int topic = area_.defaultHelp();
        if (Field* f = fieldOf(obj)) {
            int id = f->value ? f->value->property("controlId").toInt() : 0;
            auto ref = id ? area_.findValueControl(id)
                          : std::optional<forms::FieldRef>(forms::FieldRef{f->page, f->field});
            if (ref) topic = area_.helpTopic(ref->page, ref->field);
        }
        emit helpRequested(topic);
        return true;
    }
    default:
        return false;
    }
}

} // namespace velora::gui
