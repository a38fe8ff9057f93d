#include "forms/CFormView.h"
#include "forms/CoreBridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "forms/FilteredLineEdit.h"
#include "forms/SpinEdit.h"
#include "forms/ToneCombo.h"
#include "forms/UndoNote.h"
#include "model/ToneCodec.h"

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
    if (area_.pageCount() <= 1) {
        // A single page is the form itself: no tab, and no empty tab frame around it.
        tabs_->tabBar()->hide();
        tabs_->setDocumentMode(true);
    }

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
    // Nested layouts (columns, frames) keep sizes cached from before the fields were filled, and
    // the window is sized from them before it is first shown.
    for (QLayout* l : findChildren<QLayout*>())
        l->invalidate();
}

CFormView::~CFormView() {
    qApp->removeEventFilter(this);
}

bool CFormView::joinsPrevious(int page, int field) const {
    // An edit continues the previous edit's row when it shares its label (a group/channel pair) or
    // has no label of its own beside a labelled one (the "-" between two numbers of a pair).
    if (field <= 0) return false;
    const forms::FieldDescriptor& d = *area_.descriptor(page, field);
    const forms::FieldDescriptor& prev = *area_.descriptor(page, field - 1);
    auto isEdit = [](FieldKind k) { return k == FieldKind::Edit || k == FieldKind::EditSpin; };
    if (!isEdit(d.kind) || !isEdit(prev.kind) || prev.labelText == 0) return false;
    return d.labelText == prev.labelText || d.labelText == 0;
}

int CFormView::secondColumnStart(int page) const {
    // A long page is set in two columns, broken where a section starts (a group frame, or the first
    // of a run of check boxes outside a frame) nearest to the middle; -1 keeps one column.
    constexpr int kMaxRows = 12;
    int rows = 0;
    int frameEnd = 0;                        // past the fields of the last frame
    std::vector<std::pair<int, int>> starts; // field, its row
    for (int i = 0; i < area_.fieldCount(page); ++i) {
        const FieldKind kind = area_.descriptor(page, i)->kind;
        const bool afterCheck = i > 0 && area_.descriptor(page, i - 1)->kind == FieldKind::Check;
        if (kind == FieldKind::Frame || (kind == FieldKind::Check && i >= frameEnd && !afterCheck))
            if (rows > 0) starts.emplace_back(i, rows);
        if (kind == FieldKind::Frame) frameEnd = area_.frameEnd(page, i);
        if (!joinsPrevious(page, i)) ++rows;
    }
    if (rows <= kMaxRows) return -1;
    int best = -1, bestDistance = rows * 2;
    for (auto [field, row] : starts)
        if (std::abs(2 * row - rows) < bestDistance) {
            best = field;
            bestDistance = std::abs(2 * row - rows);
        }
    return best;
}

QWidget* CFormView::makeEdit(Field& f, const forms::FieldDescriptor& d, QWidget* host) {
    const forms::EditFormat fmt = area_.editFormat(f.page, f.field);
    auto* edit = new FilteredLineEdit(host);
    edit->setReadOnly(d.kind == FieldKind::Text);
    edit->setCharClass(fmt.charClass);
    edit->setDecimalPoint(area_.document().codec().decimalSeparator());
    edit->setLimit(fmt.maxLength);
    if (fmt.fixedPitch) edit->setFont(sizedLike(fixedFont_, edit->font()));
    f.edit = edit;
    if (d.kind == FieldKind::Combo) return edit; // sized by its combo
    // Wide enough for the longest entry and for the field's special text; a fixed-pitch text one
    // character more, so the cursor after a full line hides nothing.
    const QFontMetrics fm(edit->font());
    // The table's length is the most the field ever takes; the current one may be less.
    const int longest = std::max(d.maxLength, fmt.maxLength);
    const int chars = longest > 0 ? longest : 16;
    const bool numeric = fmt.charClass == forms::CharClass::Digits ||
                         fmt.charClass == forms::CharClass::Decimal ||
                         fmt.charClass == forms::CharClass::DigitsOrC;
    int width = fmt.fixedPitch
                    ? fm.horizontalAdvance(QString(chars + 1, QLatin1Char(' ')))
                    : fm.horizontalAdvance(QString(std::max(chars, 2), QLatin1Char(numeric ? '0' : 'W')));
    if (fmt.specialText) width = std::max(width, fm.horizontalAdvance(fromCore(area_.text(fmt.specialText))));
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    edit->setFixedWidth(
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(width + 6, 0), edit).width());
    return edit;
}

void CFormView::makeList(Field& f, QWidget* host) {
    auto* combo = new QComboBox(host);
    // As wide as its longest item, never squeezed below it.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    f.list = combo;
    // Filled before anything measures it: a list measured empty keeps the room of seven letters
    // as its least width, however short its items turn out.
    fillList(f);
    const int page = f.page, field = f.field;
    connect(combo, &QComboBox::activated, this, [this, page, field, combo](int index) {
        forms::FieldEffects fx = area_.commitChoice(page, field, combo->itemData(index).toInt());
        showField(page, field);
        apply(fields_[std::size_t(page)][std::size_t(field)], fx);
    });
}

void CFormView::makeCombo(Field& f, const forms::FieldDescriptor& d, QWidget* host) {
    makeEdit(f, d, host);
    // A tone combo offers the tone texts unless the area names its own items.
    QStringList items;
    for (const forms::ValueItem& it : area_.valueList(f.page, f.field))
        items << fromCore(area_.text(it.text));
    if (items.isEmpty()) {
        const std::string off(area_.text(kTextToneOff));
        const char point = area_.document().codec().decimalSeparator();
        for (std::size_t i = 0; i < kToneChoiceCount; ++i)
            items << fromCore(toneChoiceText(i, off, point));
    }
    QComboBox* combo = makeToneCombo(host, f.edit, items);
    combo->setMaxVisibleItems(12);
    f.list = combo;
    const int page = f.page, field = f.field;
    connect(combo, &QComboBox::activated, this, [this, page, field, combo](int index) {
        const QVariant data = combo->itemData(index);
        Field& self = fields_[std::size_t(page)][std::size_t(field)];
        forms::FieldEffects fx = area_.commitChoice(page, field, data.isValid() ? data.toInt() : index);
        showField(page, field);
        self.edit->setModified(false); // what was chosen is stored; nothing typed is pending
        apply(self, fx);
    });
}

void CFormView::buildPage(int page, QWidget* host) {
    auto* grid = new QGridLayout(host);
    grid->setVerticalSpacing(4);
    grid->setHorizontalSpacing(8); // a label never touches its field
    const int split = secondColumnStart(page);
    // Two columns are laid out apart, each as compact as its own rows allow.
    QGridLayout* columns[2] = {grid, nullptr};
    if (split >= 0) {
        for (QGridLayout*& c : columns) {
            c = new QGridLayout;
            c->setVerticalSpacing(4);
            c->setHorizontalSpacing(8);
        }
        grid->addLayout(columns[0], 0, 0, Qt::AlignTop);
        grid->setColumnMinimumWidth(1, 16);
        grid->addLayout(columns[1], 0, 2, Qt::AlignTop);
    }
    auto& list = fields_[std::size_t(page)];
    Rows top{columns[0], -1};
    Rows frame;
    bool inFrame = false;
    int frameEnd = 0; // past the fields the current frame holds
    QHBoxLayout* lastValueBox = nullptr;
    for (int i = 0; i < area_.fieldCount(page); ++i) {
        const forms::FieldDescriptor& d = *area_.descriptor(page, i);
        Field f;
        f.page = page;
        f.field = i;
        f.kind = d.kind;
        const QString label = d.labelText ? fromCore(std::string(texts_.text(d.labelText))) : QString();
        if (i == split) {
            top = Rows{columns[1], -1};
            inFrame = false;
        }
        if (inFrame && (d.kind == FieldKind::Frame || i >= frameEnd)) {
            inFrame = false;
            lastValueBox = nullptr; // a row inside the frame is not continued outside it
        }
        const bool joins = lastValueBox && joinsPrevious(page, i);
        // A line spans its column; a single column's also the stretch beside it.
        const int span = split >= 0 ? 2 : 3;
        Rows& at = inFrame ? frame : top;
        if (!joins) ++at.row;
        switch (d.kind) {
        case FieldKind::None: {
            lastValueBox = nullptr;
            // A line divides the fields above it from those below; closing a page it would hang
            // under whatever column ends last, dividing nothing.
            if (i + 1 == area_.fieldCount(page)) break;
            auto* line = new QFrame(host);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            at.grid->addWidget(line, at.row, 0, 1, span);
            f.label = line;
            break;
        }
        case FieldKind::Frame: {
            // The fields the frame holds sit inside it.
            auto* box = new QGroupBox(label, host);
            auto* inner = new QGridLayout(box);
            inner->setVerticalSpacing(4);
            inner->setHorizontalSpacing(8);
            inner->setColumnStretch(2, 1);
            // Held at the top, so a frame beside a taller one keeps its rows together.
            at.grid->addWidget(box, at.row, 0, 1, 2, Qt::AlignTop);
            frame = Rows{inner, -1};
            inFrame = true;
            frameEnd = area_.frameEnd(page, i);
            f.label = box;
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::Check: {
            auto* box = new QCheckBox(label, host);
            at.grid->addWidget(box, at.row, 0, 1, 2);
            f.label = f.value = f.check = box;
            connect(box, &QCheckBox::clicked, this, [this, page, i](bool checked) {
                forms::FieldEffects fx = area_.commitChoice(page, i, checked ? 1 : 0);
                showField(page, i);
                apply(fields_[std::size_t(page)][std::size_t(i)], fx);
            });
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::List:
        case FieldKind::Combo: {
            if (d.kind == FieldKind::List)
                makeList(f, host);
            else
                makeCombo(f, d, host);
            f.value = f.list;
            f.label = new QLabel(label, host);
            at.grid->addWidget(f.label, at.row, 0);
            at.grid->addWidget(f.list, at.row, 1, Qt::AlignLeft);
            lastValueBox = nullptr;
            break;
        }
        case FieldKind::Text:
        case FieldKind::Edit:
        case FieldKind::EditSpin: {
            f.value = makeEdit(f, d, host);
            auto* box = joins ? lastValueBox : new QHBoxLayout;
            box->setSpacing(2);
            if (joins) {
                box->insertWidget(box->count() - 1, new QLabel(QStringLiteral(" - "), host));
            } else if (label.isEmpty()) {
                // An edit without a label (a line of free text) takes the label's place too.
                at.grid->addLayout(box, at.row, 0, 1, 2, Qt::AlignLeft);
                box->addStretch();
            } else {
                f.label = new QLabel(label, host);
                at.grid->addWidget(f.label, at.row, 0);
                at.grid->addLayout(box, at.row, 1, Qt::AlignLeft);
                box->addStretch();
            }
            box->insertWidget(box->count() - 1, f.edit);
            if (d.kind == FieldKind::EditSpin) {
                f.spin = new SpinButtons(host);
                f.spin->setFixedHeight(f.edit->sizeHint().height());
                box->insertWidget(box->count() - 1, f.spin);
                FilteredLineEdit* edit = f.edit;
                connect(f.spin, &SpinButtons::stepped, this, [this, page, i, edit](int direction) {
                    // The typed text is committed by the step itself, before the value moves.
                    forms::FieldEffects fx = area_.stepField(page, i, toCore(edit->text()), direction);
                    showField(page, i);
                    apply(fields_[std::size_t(page)][std::size_t(i)], fx);
                    QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
                });
            }
            lastValueBox = box;
            break;
        }
        }
        setControlId(f.label == f.value ? nullptr : f.label, d.labelControl);
        setControlId(f.value, d.valueControl);
        setControlId(f.spin, d.spinControl);
        for (auto [id, w] : {std::pair{d.labelControl, f.label},
                             {d.valueControl, f.value},
                             std::pair<int, QWidget*>{d.spinControl, f.spin}})
            if (id && w && !byId_.contains(id)) byId_.insert(id, w);
        if (f.value) byWidget_.insert(f.value, {page, i});
        list.push_back(f);
    }
    grid->setColumnStretch(split >= 0 ? 3 : 2, 1);
    grid->setRowStretch(split >= 0 ? 1 : top.row + 1, 1);
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

FilteredLineEdit* CFormView::lineEdit(int page, int field) const {
    if (!valueWidget(page, field)) return nullptr;
    return fields_[std::size_t(page)][std::size_t(field)].edit;
}

void CFormView::commitFocused() {
    if (Field* f = fieldOf(QApplication::focusWidget()); f && isOwnWidget(QApplication::focusWidget()))
        commitEdit(*f);
}

SpinButtons* CFormView::spinButtons(int page, int field) const {
    if (!valueWidget(page, field)) return nullptr;
    return fields_[std::size_t(page)][std::size_t(field)].spin;
}

QWidget* CFormView::control(int id) const {
    return byId_.value(id, nullptr);
}

void CFormView::fillList(Field& f) {
    std::vector<forms::ValueItem> items = area_.valueList(f.page, f.field);
    if (f.kind == FieldKind::Combo && items.empty()) return; // the tone texts, filled once
    QComboBox* combo = f.list;
    bool same = combo->count() == int(items.size());
    for (int k = 0; same && k < combo->count(); ++k)
        same = combo->itemData(k).toInt() == items[std::size_t(k)].stored &&
               combo->itemText(k) == fromCore(area_.text(items[std::size_t(k)].text));
    if (same) return;
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const forms::ValueItem& it : items)
        combo->addItem(fromCore(area_.text(it.text)), int(it.stored));
}

void CFormView::showField(int page, int field) {
    if (!valueWidget(page, field)) return;
    Field& f = fields_[std::size_t(page)][std::size_t(field)];
    const forms::FieldText ft = area_.fieldText(page, field);
    const QString text = fromCore(ft.text);
    switch (f.kind) {
    case FieldKind::Edit:
    case FieldKind::EditSpin:
    case FieldKind::Text:
        // A model change may change how much an edit takes (a wider display).
        f.edit->setLimit(area_.editFormat(page, field).maxLength);
        f.edit->setText(text); // also clears the modified flag: nothing typed since
        break;
    case FieldKind::List:
        fillList(f);
        f.list->setCurrentIndex(text.isEmpty() ? -1 : f.list->findText(text, Qt::MatchExactly));
        break;
    case FieldKind::Combo: {
        fillList(f);
        const int k = text.isEmpty() ? -1 : f.list->findText(text, Qt::MatchExactly);
        f.list->setCurrentIndex(k);
        if (k < 0) f.list->setEditText(text);
        f.edit->setModified(false);
        break;
    }
    case FieldKind::Check:
        f.check->setChecked(ft.value > 0);
        break;
    case FieldKind::None:
    case FieldKind::Frame:
        break;
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

void CFormView::apply(const Field& f, const forms::FieldEffects& fx) {
    describeUndoStep(undoCaption(f.label));
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
    if (!f.edit || f.edit->isReadOnly() || !f.edit->isModified()) return;
    if (committing_) return; // a message box of this commit took the focus
    committing_ = true;
    forms::FieldEffects fx = area_.commitField(f.page, f.field, toCore(f.edit->text()));
    showField(f.page, f.field);
    apply(f, fx);
    committing_ = false;
}

void CFormView::leave(Field& f) {
    if (committing_) return;
    committing_ = true;
    forms::FieldEffects fx = area_.leaveField(f.page, f.field);
    apply(f, fx);
    committing_ = false;
}

int CFormView::visiblePages() const {
    int n = 0;
    for (int p = 0; p < tabs_->count(); ++p)
        n += tabs_->isTabVisible(p) ? 1 : 0;
    return n;
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

CFormView::Field* CFormView::fieldOf(const QObject* obj) {
    return const_cast<Field*>(std::as_const(*this).fieldOf(obj));
}

const CFormView::Field* CFormView::fieldOf(const QObject* obj) const {
    for (const QObject* o = obj; o && o != this; o = o->parent()) {
        auto it = byWidget_.constFind(const_cast<QObject*>(o));
        if (it != byWidget_.cend() && it->first >= 0)
            return &fields_[std::size_t(it->first)][std::size_t(it->second)];
    }
    return nullptr;
}

int CFormView::helpTopicFor(const QWidget* w) const {
    const Field* f = fieldOf(w);
    if (!f) return area_.defaultHelp();
    // Looked up by control id, first match in page order, as the help table is keyed.
    const int id = f->value ? f->value->property("controlId").toInt() : 0;
    auto ref =
        id ? area_.findValueControl(id) : std::optional<forms::FieldRef>(forms::FieldRef{f->page, f->field});
    return ref ? area_.helpTopic(ref->page, ref->field) : area_.defaultHelp();
}

bool CFormView::eventFilter(QObject* obj, QEvent* e) {
    QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride && t != QEvent::FocusOut) return false;
    if (!isOwnWidget(obj)) return false;
    if (t == QEvent::FocusOut) {
        // A list's own drop-down takes the focus without the field being left.
        if (static_cast<QFocusEvent*>(e)->reason() == Qt::PopupFocusReason) return false;
        if (Field* f = fieldOf(obj); f && f->value == obj) {
            commitEdit(*f);
            leave(*f);
        }
        return false;
    }
    auto* k = static_cast<QKeyEvent*>(e);
    int direction = 0;
    if (isCtrlTab(k, &direction)) {
        // A form with one page to show leaves the key to the main window's next-window switch.
        if (visiblePages() < 2) return false;
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
            if (Field* f = fieldOf(obj); f && (f->value == obj || f->edit == obj)) commitEdit(*f);
        return false;
    case Qt::Key_F1:
        emit helpRequested(helpTopicFor(qobject_cast<QWidget*>(obj)));
        return true;
    default:
        return false;
    }
}

} // namespace velora::gui
