#include "grid/CMSFlexGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "forms/ToneCombo.h"
#include "forms/UndoNote.h"

namespace velora::gui {

namespace {
Qt::Alignment dataAlignment(int code) {
    if (code == grid::kAlignLeft) return Qt::AlignLeft | Qt::AlignBottom;
    if (code == grid::kAlignRight) return Qt::AlignRight | Qt::AlignBottom;
    return Qt::AlignCenter;
}
QString qtext(const TextSource& t, int n) {
    return QString::fromStdString(std::string(t.text(n)));
}
// Editors stay in place but out of sight while their row is scrolled away, so they keep the focus.
constexpr QPoint kOffScreen{-1024, -1024};

// Every cell of a row writes on one baseline, whatever its font and alignment: the baseline of
// the grid font centred in the row, as in the row's number.
class BaselineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* view = opt.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        QStyleOptionViewItem cell = opt;
        cell.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, p, view); // background and focus

        // The row's number is centred exactly; the item text is centred on whole pixels and with
        // its own font. Both baselines are worked out the way each is drawn, and the text moved by
        // the difference.
        const QFontMetricsF row(view ? view->font() : option.font), own(opt.font);
        const int h = opt.rect.height();
        const qreal numberBaseline = (h - (row.ascent() + row.descent())) / 2 + row.ascent();
        const qreal textBaseline = (h - qRound(own.ascent() + own.descent())) / 2 + own.ascent();
        const qreal shift = numberBaseline - textBaseline;
        opt.rect.translate(0, qRound(shift));
        opt.displayAlignment = (opt.displayAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
        if (opt.state & QStyle::State_Selected)
            opt.palette.setBrush(QPalette::Text, opt.palette.brush(QPalette::HighlightedText));
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        opt.backgroundBrush = Qt::NoBrush;
        opt.features &= ~QStyleOptionViewItem::Alternate;
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, view); // the text alone
    }
};

// The row-number column. Its width is mostly fixed by the grid's first column; the view then clamps
// the header's size hint to that width, so measuring every row's number for it (the view asks after
// each change of rows, titles or size, a few times per editor opened) is work without effect.
class RowHeader : public QHeaderView {
  public:
    explicit RowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) { setSectionsClickable(true); }

    QSize sizeHint() const override {
        if (minimumWidth() != maximumWidth() || count() == 0) return QHeaderView::sizeHint();
        return {minimumWidth(), sectionSizeFromContents(0).height()};
    }
};
} // namespace

CMSFlexGrid::CMSFlexGrid(QWidget* parent) : QTableWidget(parent) {
    setVerticalHeader(new RowHeader(this));
    // A row command names the undo step it makes; connected first, so before the view acts on it.
    connect(this, &CMSFlexGrid::command, this, [this](int id) {
        if (menuTexts_ && (id == CmdPaste || id == CmdDelete))
            describeUndoStep(undoCaption(qtext(*menuTexts_, id == CmdPaste ? 82 : 83)));
    });
    // Selection is painted by the grid itself (row selection); the user never selects cells.
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setItemDelegate(new BaselineDelegate(this));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setMinimumSectionSize(16);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);
    if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeEditor(); });
    // Keys the grid leaves to Qt (Home, End) still move the current cell; keep the state in step.
    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c) {
        if (r < 0 || c < 0 || (r + 1 == state_.row && c + 1 == state_.col)) return;
        grid::GridState s = state_;
        s.row = r + 1;
        s.col = c + 1;
        apply(s, false);
    });
}

void CMSFlexGrid::setRows(int rows) {
    setRowCount(std::max(0, rows - 1));
    state_.row = std::clamp(state_.row, 1, std::max(1, rows - 1));
}

void CMSFlexGrid::setCols(int cols) {
    setColumnCount(std::max(0, cols - 1));
    align_.resize(std::size_t(std::max(cols, 1)), 0);
    gridFont_.resize(std::size_t(std::max(cols, 1)), true);
}

void CMSFlexGrid::setupColumns(std::span<const grid::GridColumn> columns, const TextSource& texts,
                               const QFont& fixedFont) {
    if (columns.empty()) return;
    fixedFont_ = sizedLike(fixedFont, font()); // fixed-pitch cells as large as the others
    setCols(int(columns.size()));
    for (std::size_t c = 0; c < columns.size(); ++c) {
        align_[c] = columns[c].align;
        gridFont_[c] = columns[c].gridFont;
        setTextMatrix(0, int(c), qtext(texts, columns[c].title));
        if (c == 0)
            verticalHeader()->setFixedWidth(columns[c].widthPx);
        else
            setColumnWidth(int(c) - 1, columns[c].widthPx);
    }
}

void CMSFlexGrid::setEmphasiseCurrent(bool on) {
    emphasise_ = on;
    emphasise(); // the current cell shows from the start, not only after the first move
}

void CMSFlexGrid::numberRows() {
    {
        // One header change for all the numbers rather than one per row.
        const QSignalBlocker quiet(model());
        for (int r = 1; r < rows(); ++r)
            setTextMatrix(r, 0, QString::number(r));
    }
    if (rows() > 1) emit model()->headerDataChanged(Qt::Vertical, 0, rows() - 2);
    setCurrent(1, 1);
}

QTableWidgetItem* CMSFlexGrid::cellItem(int row, int col, bool create) {
    if (row < 1 || col < 1 || row >= rows() || col >= cols()) return nullptr;
    QTableWidgetItem* it = item(row - 1, col - 1);
    if (!it && create) {
        it = new QTableWidgetItem;
        it->setTextAlignment(dataAlignment(align_[std::size_t(col)]));
        if (!gridFont_[std::size_t(col)]) it->setFont(fixedFont_);
        setItem(row - 1, col - 1, it);
    }
    return it;
}

QString CMSFlexGrid::textMatrix(int row, int col) const {
    if (row == 0 && col == 0) return cornerTitle_;
    if (row == 0) {
        QTableWidgetItem* h = horizontalHeaderItem(col - 1);
        return h ? h->text() : QString();
    }
    if (col == 0) {
        QTableWidgetItem* v = verticalHeaderItem(row - 1);
        return v ? v->text() : QString();
    }
    QTableWidgetItem* it = item(row - 1, col - 1);
    return it ? it->text() : QString();
}

void CMSFlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (row == 0 && col == 0) {
        cornerTitle_ = text;
        if (auto* corner = findChild<QAbstractButton*>()) corner->update();
    } else if (row == 0 && col < cols()) {
        QTableWidgetItem* h = horizontalHeaderItem(col - 1);
        if (!h) setHorizontalHeaderItem(col - 1, h = new QTableWidgetItem);
        h->setText(text);
    } else if (col == 0 && row < rows()) {
        QTableWidgetItem* v = verticalHeaderItem(row - 1);
        if (!v) setVerticalHeaderItem(row - 1, v = new QTableWidgetItem);
        v->setText(text);
    } else if (QTableWidgetItem* it = cellItem(row, col, true)) {
        it->setText(text);
    }
}

void CMSFlexGrid::setCurrent(int row, int col) {
    grid::GridState s = state_;
    s.row = std::clamp(row, 1, std::max(1, rows() - 1));
    s.col = std::clamp(col, 1, std::max(1, cols() - 1));
    if (!s.highlight) s.rowSelEnd = s.row;
    apply(s);
}

int CMSFlexGrid::topRow() const {
    int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

void CMSFlexGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(std::max(0, row - 1));
}

bool CMSFlexGrid::rowIsVisible(int row) const {
    if (row < 1 || row >= rows()) return false;
    int y = rowViewportPosition(row - 1);
    return y + rowHeight(row - 1) > 0 && y < viewport()->height();
}

int CMSFlexGrid::pageSize() const {
    int n = 0;
    for (int r = topRow(); r < rows(); ++r) {
        if (rowViewportPosition(r - 1) + rowHeight(r - 1) > viewport()->height()) break;
        ++n;
    }
    return n;
}

void CMSFlexGrid::nextCell() {
    apply(grid::nextCell(shape(), state_));
}

void CMSFlexGrid::selectRows(int first, int last) {
    grid::GridState s = state_;
    s.row = std::clamp(first, 1, std::max(1, rows() - 1));
    s.rowSelEnd = std::clamp(last, 1, std::max(1, rows() - 1));
    s.highlight = true;
    s.selectByRow = true;
    apply(s);
}

void CMSFlexGrid::clearRowSelection() {
    grid::GridState s = state_;
    s.highlight = false;
    s.selectByRow = false;
    s.rowSelEnd = s.row;
    apply(s, false);
}

void CMSFlexGrid::apply(const grid::GridState& s, bool scroll) {
    grid::GridState before = state_;
    state_ = s;
    if (rowCount() == 0 || columnCount() == 0) return;
    if (s.topRow != before.topRow) setTopRow(s.topRow);
    QModelIndex idx = model()->index(s.row - 1, s.col - 1);
    if (currentIndex() != idx) selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    if (scroll) scrollTo(idx);
    state_.topRow = topRow();
    paintSelection();
    if (before.row != s.row || before.col != s.col) {
        emphasise();
        emit rowColChange(s.row, s.col);
    }
}

void CMSFlexGrid::paintSelection() {
    selectionModel()->clearSelection();
    if (!state_.highlight) return;
    auto [first, last] = grid::selectedRows(state_);
    QItemSelection sel(model()->index(first - 1, 0), model()->index(last - 1, columnCount() - 1));
    selectionModel()->select(sel, QItemSelectionModel::Select);
}

void CMSFlexGrid::emphasise() {
    if (!emphasise_) return;
    setUpdatesEnabled(false);
    auto setBold = [](QTableWidgetItem* it, bool bold) {
        if (!it) return;
        QFont f = it->font();
        f.setBold(bold);
        it->setFont(f);
    };
    if (emphRow_ > 0) setBold(verticalHeaderItem(emphRow_ - 1), false);
    if (emphCol_ > 0) setBold(horizontalHeaderItem(emphCol_ - 1), false);
    emphRow_ = state_.row;
    emphCol_ = state_.col;
    setBold(verticalHeaderItem(emphRow_ - 1), true);
    setBold(horizontalHeaderItem(emphCol_ - 1), true);
    setUpdatesEnabled(true);
}

QRect CMSFlexGrid::cellRect(int row, int col) const {
    if (row < 1 || col < 1 || row >= rows() || col >= cols()) return {};
    return visualRect(model()->index(row - 1, col - 1)).adjusted(-2, -2, 2, 2);
}

void CMSFlexGrid::showEditor(EditorKind kind, QWidget* editor, const QString& text, bool focus,
                             QWidget* companion) {
    if (!editor || kind == EditorKind::None || row() < 1 || col() < 1) return;
    scrollTo(model()->index(row() - 1, col() - 1));
    if (editor->parentWidget() != viewport()) editor->setParent(viewport());
    if (companion && companion->parentWidget() != viewport()) companion->setParent(viewport());
    kind_ = kind;
    editor_ = editor;
    companion_ = kind == EditorKind::EditSpin ? companion : nullptr;
    editRow_ = row();
    editCol_ = col();
    placeEditor();
    for (QWidget* w : {editor_.data(), companion_.data()}) {
        if (!w) continue;
        w->setEnabled(true);
        w->show();
        w->raise();
    }
    QLineEdit* edit = qobject_cast<QLineEdit*>(editor);
    if (edit) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
        if (combo->isEditable()) combo->setEditText(text);
        edit = combo->lineEdit();
    }
    if (focus) editor->setFocus(Qt::OtherFocusReason);
    // However the editor was opened, what is typed next replaces the cell text.
    if (edit) edit->selectAll();
}

void CMSFlexGrid::hideEditor(bool clearText) {
    for (QWidget* w : {editor_.data(), companion_.data()}) {
        if (!w) continue;
        // Hand the focus back first: a focused editor commits on losing it, as a view expects.
        if (w->hasFocus()) setFocus(Qt::OtherFocusReason);
        w->hide();
        w->setEnabled(false);
    }
    if (clearText) {
        if (auto* edit = qobject_cast<QLineEdit*>(editor_.data()))
            edit->clear();
        else if (auto* combo = qobject_cast<QComboBox*>(editor_.data()))
            combo->setCurrentIndex(-1);
    }
    kind_ = EditorKind::None;
    editor_ = nullptr;
    companion_ = nullptr;
}

void CMSFlexGrid::placeEditor() {
    if (kind_ == EditorKind::None || !editor_) return;
    if (!rowIsVisible(editRow_)) {
        editor_->move(kOffScreen);
        if (companion_) companion_->move(kOffScreen);
        return;
    }
    QRect r = cellRect(editRow_, editCol_);
    int right = r.left() + r.width();
    switch (kind_) {
    case EditorKind::Edit:
        editor_->setGeometry(r.left() + 3, r.top() + 3, r.width() - 6, r.height() - 6);
        break;
    case EditorKind::EditSpin:
        editor_->setGeometry(r.left() + 3, r.top() + 3, r.width() - 21, r.height() - 6);
        if (companion_) companion_->setGeometry(right - 18, r.top() + 3, 15, r.height() - 6);
        break;
    case EditorKind::List:
    case EditorKind::Combo:
        // A combo cannot be squeezed below its own field height; it may reach into the next row.
        editor_->setGeometry(r.left() + 3, r.top() + 1, r.width() - 6,
                             std::max(r.height() - 8, editor_->sizeHint().height()));
        break;
    case EditorKind::None:
        break;
    }
}

void CMSFlexGrid::forwardKeyToEditor(const QKeyEvent* e) {
    // A key the editor does not take travels back up to the grid: it ends there.
    if (!editor_ || forwarding_) return;
    const QScopedValueRollback<bool> guard(forwarding_, true);
    QWidget* target = editor_;
    if (auto* combo = qobject_cast<QComboBox*>(editor_.data()); combo && combo->lineEdit())
        target = combo->lineEdit();
    // At once, not posted: keys typed after this one may already be queued and must not overtake it.
    QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), ushort(e->count()));
    QCoreApplication::sendEvent(target, &copy);
}

QComboBox* CMSFlexGrid::makeToneEditor(QWidget* parent, const QStringList& items) {
    auto* edit = new FilteredLineEdit(parent);
    edit->setCharClass(forms::CharClass::Tone);
    edit->setLimit(5);
    QComboBox* combo = makeToneCombo(parent, edit, items);
    combo->hide();
    return combo;
}

void CMSFlexGrid::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    state_.topRow = topRow();
    placeEditor();
}

void CMSFlexGrid::resizeEvent(QResizeEvent* e) {
    QTableWidget::resizeEvent(e);
    placeEditor();
}

void CMSFlexGrid::keyPressEvent(QKeyEvent* e) {
    grid::KeyModifiers mods{bool(e->modifiers() & Qt::ShiftModifier),
                            bool(e->modifiers() & Qt::ControlModifier)};
    auto run = [&](grid::GridKey key) {
        grid::KeyOutcome out = grid::gridKey(shape(), state_, key, mods, pageSize(), wrap_);
        if (!out.handled) return false;
        apply(out.state);
        return true;
    };
    bool handled = false;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // One move per press: the flag holds repeats off until the key is released.
        if (!e->isAutoRepeat() && !enterDown_) run(grid::GridKey::Enter);
        enterDown_ = true;
        handled = true;
        break;
    case Qt::Key_Left:
        handled = run(grid::GridKey::Left);
        break;
    case Qt::Key_Right:
        handled = run(grid::GridKey::Right);
        break;
    case Qt::Key_Up:
        handled = run(grid::GridKey::Up);
        break;
    case Qt::Key_Down:
        handled = run(grid::GridKey::Down);
        break;
    case Qt::Key_PageUp:
        handled = run(grid::GridKey::PageUp);
        break;
    case Qt::Key_PageDown:
        handled = run(grid::GridKey::PageDown);
        break;
    case Qt::Key_Menu:
        openContextMenu(contextMenuPoint(), row());
        handled = true;
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        QTableWidget::keyPressEvent(e);
        return;
    default:
        break;
    }
    // Typed characters are the view's to decide (they may open an editor), never a keyboard search.
    if (handled)
        e->accept();
    else
        e->ignore();
}

void CMSFlexGrid::keyReleaseEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) enterDown_ = false;
    QTableWidget::keyReleaseEvent(e);
}

void CMSFlexGrid::mousePressEvent(QMouseEvent* e) {
    QModelIndex idx = indexAt(e->position().toPoint());
    if (!idx.isValid()) return;
    int r = idx.row() + 1, c = idx.column() + 1;
    setFocus(Qt::MouseFocusReason);
    if (e->button() == Qt::LeftButton) apply(grid::clickCell(shape(), state_, r, c));
    emit gridMouseDown(e->button(), e->modifiers(), r, c);
    if (e->button() == Qt::RightButton) openContextMenu(e->globalPosition().toPoint(), r);
}

void CMSFlexGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid()) emit dblClick(idx.row() + 1, idx.column() + 1);
}

void CMSFlexGrid::contextMenuEvent(QContextMenuEvent* e) {
    if (e->reason() == QContextMenuEvent::Keyboard) openContextMenu(contextMenuPoint(), row());
    e->accept();
}

int CMSFlexGrid::rowAtY(int y) const {
    int r = rowAt(y);
    return r < 0 ? -1 : r + 1;
}

bool CMSFlexGrid::eventFilter(QObject* obj, QEvent* e) {
    if (obj == verticalHeader()->viewport()) {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            auto* m = static_cast<QMouseEvent*>(e);
            int r = rowAtY(int(m->position().y()));
            if (r < 1) return true;
            setFocus(Qt::MouseFocusReason);
            if (e->type() == QEvent::MouseButtonDblClick) {
                emit dblClick(r, 0);
                return true;
            }
            if (m->button() == Qt::LeftButton)
                apply(grid::clickFixedColumn(shape(), state_, r, m->modifiers() & Qt::ShiftModifier));
            emit gridMouseDown(m->button(), m->modifiers(), r, 0);
            if (m->button() == Qt::RightButton) openContextMenu(m->globalPosition().toPoint(), r);
            return true;
        }
        if (e->type() == QEvent::MouseMove) return true; // no drag selection through the header
    }
    if (obj == horizontalHeader()->viewport() && e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        int c = columnAt(int(m->position().x()));
        if (c >= 0) {
            emit gridMouseDown(m->button(), m->modifiers(), 0, c + 1);
            if (m->button() == Qt::RightButton) openContextMenu(m->globalPosition().toPoint(), 0);
        }
        return true;
    }
    if (e->type() == QEvent::Paint && qobject_cast<QAbstractButton*>(obj) && obj->parent() == this) {
        // The corner is the title cell of the fixed first column.
        auto* corner = static_cast<QWidget*>(obj);
        QPainter p(corner);
        QStyleOptionHeader opt;
        opt.initFrom(corner);
        opt.rect = corner->rect();
        opt.text = cornerTitle_;
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::OnlyOneSection;
        opt.orientation = Qt::Horizontal;
        corner->style()->drawControl(QStyle::CE_Header, &opt, &p, corner);
        return true;
    }
    return QTableWidget::eventFilter(obj, e);
}

QPoint CMSFlexGrid::contextMenuPoint() const {
    QRect r = visualRect(model()->index(row() - 1, col() - 1));
    return viewport()->mapToGlobal(r.bottomRight());
}

bool CMSFlexGrid::openContextMenu(const QPoint& globalPos, int clickedRow) {
    if (menuKind_ == MenuKind::None || !menuTexts_ || !state_.highlight) return false;
    auto [first, last] = selectedRows();
    bool inside = clickedRow >= first && clickedRow <= last;
    bool wholeGrid = clickedRow == 0 && first == 1 && last == rows() - 1;
    if (!inside && !wholeGrid) return false;
    QMenu menu(this);
    auto add = [&](int id, int textNo) {
        QAction* a = menu.addAction(qtext(*menuTexts_, textNo));
        a->setData(id);
        return a;
    };
    QAction* paste = nullptr;
    if (menuKind_ == MenuKind::PasteOnly) {
        paste = add(CmdPaste, 82);
    } else {
        add(CmdCopy, 81);
        paste = add(CmdPaste, 82);
        add(CmdDelete, 83);
        if (menuKind_ == MenuKind::CopyToClip) {
            menu.addSeparator();
            add(CmdToClip, 84);
            add(CmdToClipTitle, 85);
        }
    }
    paste->setEnabled(pasteAvailable_ && pasteAvailable_());
    if (QAction* chosen = menu.exec(globalPos)) emit command(chosen->data().toInt());
    return true;
}

bool CMSFlexGrid::putTextOnClipboard(const QString& text) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    cb->setText(text, QClipboard::Clipboard);
    return true;
}

} // namespace velora::gui
