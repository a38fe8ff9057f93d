#include "features/AreaGrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "forms/UndoNote.h"

namespace velora::gui {

namespace {
constexpr int kMinTitleWidth = 125; // the original widths of the list grids, in pixels
constexpr int kMinValueWidth = 160;
constexpr int kMinNumberWidth = 40; // a numbered grid's row titles
constexpr int kMinTypedWidth = 90;
constexpr int kRowHeight = 18;

QString qtext(const TextSource& t, int n) {
    return fromCore(std::string(t.text(n)));
}

bool isListGrid(const forms::GridArea& area, int page) {
    return area.gridColumnCount(page) == 1 && area.gridCellEditor(page, 0, 1) == forms::CellEditor::List;
}
} // namespace

AreaGrid::AreaGrid(forms::GridArea& area, int page, const TextSource& texts, Qt::Alignment titleAlign,
                   const QFont& fixedFont, QWidget* parent)
    : CMSFlexGrid(parent), area_(area), page_(page), texts_(texts), titleAlign_(titleAlign),
      list_(new QComboBox(viewport())), edit_(new FilteredLineEdit(viewport())),
      combo_(CMSFlexGrid::makeToneEditor(viewport(), {})) {
    std::vector<grid::GridColumn> columns{{0, kMinTitleWidth, grid::kAlignRight, true}};
    for (int c = 1; c <= area_.gridColumnCount(page_); ++c) {
        const forms::EditFormat fmt = area_.gridEditFormat(page_, 0, c);
        const bool typed = area_.gridCellEditor(page_, 0, c) != forms::CellEditor::List;
        // Numbers sit in the middle of their cells, texts at the left.
        const int align =
            typed && fmt.charClass == forms::CharClass::Digits ? grid::kAlignCentre : grid::kAlignLeft;
        columns.push_back({area_.gridColumnTitleAt(page_, c), kMinValueWidth, align, !fmt.fixedPitch});
    }
    setupColumns(columns, texts_, fixedFont);
    setTextMatrix(0, 0, QString());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the grid is as tall as its rows
    verticalHeader()->setDefaultAlignment(titleAlign_ | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setStretchLastSection(true);
    setEmphasiseCurrent(true);
    setWrapAround(false);
    list_->hide();
    list_->setMaxVisibleItems(16);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    edit_->hide();
    combo_->setMaxVisibleItems(12);
    for (QObject* o : {static_cast<QObject*>(list_), static_cast<QObject*>(edit_),
                       static_cast<QObject*>(combo_), static_cast<QObject*>(combo_->lineEdit())})
        o->installEventFilter(this);
    connect(list_, &QComboBox::activated, this, [this](int index) {
        forms::FieldEffects fx =
            area_.commitGridChoice(page_, editRow_ - 1, editCol_, list_->itemData(index).toInt());
        refreshRow(editRow_);
        emit changed(fx);
    });
    connect(combo_, &QComboBox::activated, this, [this](int index) {
        // A tone chosen from the list is stored at once; nothing typed is pending after it.
        forms::FieldEffects fx =
            area_.commitGridText(page_, editRow_ - 1, editCol_, toCore(combo_->itemText(index)));
        combo_->lineEdit()->setModified(false);
        refreshRow(editRow_);
        emit changed(fx);
    });
    connect(this, &AreaGrid::changed, this, [this] {
        if (namesUndoSteps_)
            describeUndoStep(
                undoCaption(textMatrix(editRow_, 0) + QLatin1Char(' ') + textMatrix(0, editCol_)));
    });
    connect(this, &CMSFlexGrid::rowColChange, this, [this](int r, int c) {
        if (editing() && (r != editRow_ || c != editCol_)) closeEditor();
        emit currentAreaRowChanged(currentAreaRow());
    });
    connect(this, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) {
                if (b == Qt::LeftButton && r >= 1 && c >= 1) openEditor(Open::Click);
            });
    rebuild();
}

void AreaGrid::setPage(int page) {
    if (page == page_) return;
    closeEditor(false);
    page_ = page;
    refreshCells();
}

void AreaGrid::setRowTitleCaption(int text) {
    titleCaption_ = text;
    setTextMatrix(0, 0, text ? qtext(texts_, text) : QString());
    rebuild();
}

void AreaGrid::enableRowCommands(std::function<bool()> pasteAvailable) {
    rowCommands_ = true;
    setContextMenu(MenuKind::Copy, &texts_);
    setPasteAvailable(std::move(pasteAvailable));
}

void AreaGrid::setColumnWidths(int n) {
    const bool listGrid = isListGrid(area_, page_);
    const QFontMetrics header(verticalHeader()->font());
    const QFontMetrics titles(horizontalHeader()->font());
    int titleWidth = listGrid ? kMinTitleWidth : kMinNumberWidth;
    if (titleCaption_) titleWidth = std::max(titleWidth, titles.horizontalAdvance(textMatrix(0, 0)) + 16);
    for (int r = 0; r < n; ++r)
        titleWidth = std::max(titleWidth, header.horizontalAdvance(textMatrix(r + 1, 0)) + 16);
    verticalHeader()->setFixedWidth(titleWidth);

    int width = titleWidth;
    // Wide enough for every text an editor may put in the cell, with a list's arrow beside it.
    const int arrow =
        list_->sizeHint().width() - list_->fontMetrics().horizontalAdvance(list_->currentText());
    for (int c = 1; c < cols(); ++c) {
        int w = std::max(listGrid ? kMinValueWidth : kMinTypedWidth,
                         titles.horizontalAdvance(textMatrix(0, c)) + 16);
        const forms::CellEditor kind = area_.gridCellEditor(page_, 0, c);
        if (kind == forms::CellEditor::List) {
            const QFontMetrics fm(font());
            for (int r = 0; r < n; ++r)
                for (const forms::ValueItem& it : area_.gridChoicesAt(page_, r, c))
                    w = std::max(w, fm.horizontalAdvance(qtext(texts_, it.text)) + arrow + 8);
        } else {
            const forms::EditFormat fmt = area_.gridEditFormat(page_, 0, c);
            const QFontMetrics fm(fmt.fixedPitch ? fixedFont() : font());
            const bool digits = fmt.charClass == forms::CharClass::Digits;
            if (fmt.maxLength > 0)
                w = std::max(
                    w,
                    fm.horizontalAdvance(QString(fmt.maxLength + 1, QLatin1Char(digits ? '0' : 'W'))) + 12);
            if (kind == forms::CellEditor::Combo)
                for (const std::string& t : area_.gridTextChoices(page_, 0, c))
                    w = std::max(w, fm.horizontalAdvance(fromCore(t)) + arrow + 8);
        }
        setColumnWidth(c - 1, w);
        width += w;
    }
    const int frame = 2 * frameWidth();
    setFixedSize(width + frame,
                 horizontalHeader()->sizeHint().height() + std::max(n, 1) * kRowHeight + frame);
}

void AreaGrid::rebuild() {
    closeEditor(false);
    const int n = area_.gridRowCount(page_);
    setRows(n + 1);
    for (int r = 0; r < n; ++r) {
        setTextMatrix(r + 1, 0, fromCore(area_.gridRowTitle(page_, r)));
        verticalHeaderItem(r)->setTextAlignment(titleAlign_ | Qt::AlignVCenter);
    }
    setColumnWidths(n);
    // Shown again only once it sits in its page: a grid without a parent would be a window.
    if (n == 0)
        hide();
    else if (parentWidget() && isHidden())
        show();
    refreshCells();
    if (n > 0) setCurrent(1, 1);
}

void AreaGrid::refreshRow(int row) {
    if (row < 1 || row >= rows()) return;
    for (int c = 1; c < cols(); ++c) {
        const QString t = fromCore(area_.gridCellTextAt(page_, row - 1, c).text);
        if (textMatrix(row, c) != t || !item(row - 1, c - 1)) setTextMatrix(row, c, t);
        // A cell that cannot be edited now is painted like a fixed cell.
        const QBrush paint = !shadeDisabled_ || area_.isGridCellEnabledAt(page_, row - 1, c)
                                 ? QBrush()
                                 : palette().brush(QPalette::Disabled, QPalette::Button);
        if (QTableWidgetItem* it = item(row - 1, c - 1); it && it->background() != paint)
            it->setBackground(paint);
    }
}

void AreaGrid::refreshCells() {
    if (area_.gridRowCount(page_) != rows() - 1) {
        rebuild();
        return;
    }
    for (int r = 1; r < rows(); ++r)
        refreshRow(r);
}

std::vector<int> AreaGrid::selectedAreaRows() const {
    std::vector<int> out;
    if (!hasRowSelection()) return out;
    for (auto [first, last] = selectedRows(); first <= last; ++first)
        out.push_back(first - 1);
    return out;
}

int AreaGrid::currentHelp() const {
    return area_.gridCellHelpAt(page_, std::max(0, currentAreaRow()), std::max(1, col()));
}

bool AreaGrid::owns(const QObject* obj) const {
    for (const QObject* o = obj; o; o = o->parent())
        if (o == this || o == list_ || o == edit_ || o == combo_) return true;
    return false;
}

bool AreaGrid::isEditorPart(const QObject* obj) const {
    return obj == list_ || obj == edit_ || obj == combo_ || obj == combo_->lineEdit();
}

QLineEdit* AreaGrid::typedEdit() const {
    if (editor() == static_cast<QWidget*>(edit_)) return edit_;
    if (editor() == static_cast<QWidget*>(combo_)) return combo_->lineEdit();
    return nullptr;
}

void AreaGrid::fillList() {
    list_->clear();
    int widest = 0;
    for (const forms::ValueItem& it : area_.gridChoicesAt(page_, row() - 1, col())) {
        const QString t = qtext(texts_, it.text);
        list_->addItem(t, int(it.stored));
        widest = std::max(widest, list_->fontMetrics().horizontalAdvance(t));
    }
    list_->view()->setMinimumWidth(widest + 2 * list_->view()->frameWidth() +
                                   list_->view()->verticalScrollBar()->sizeHint().width() + 12);
}

void AreaGrid::fillCombo(int r, int c) {
    QStringList items;
    for (const std::string& t : area_.gridTextChoices(page_, r, c))
        items << fromCore(t);
    if (items == comboItems_) return; // the same tone list for every row: filled once
    comboItems_ = items;
    combo_->clear();
    combo_->addItems(items);
}

bool AreaGrid::openEditor(Open how, const QKeyEvent* typed) {
    if (editing()) {
        if (typed) forwardKeyToEditor(typed);
        if (how == Open::Popup && listOpen()) list_->showPopup();
        return true;
    }
    if (rows() < 2 || row() < 1 || col() < 1) return false;
    const int r = row() - 1;
    int c = col();
    if (const int to = forms::editableColumn(area_, page_, r, c); to != c) {
        // A cell that waits for another hands over to the cell it waits for; Enter opens nothing.
        if (to < 1 || how == Open::Enter) return false;
        setCurrent(row(), to);
        c = to;
    }
    const forms::CellEditor kind = area_.gridCellEditor(page_, r, c);
    if (kind == forms::CellEditor::List) {
        if (how == Open::Empty) return false;
        fillList();
        editRow_ = row();
        editCol_ = c;
        // A stored value outside the list shows as an empty cell and no selection.
        showEditor(EditorKind::List, list_, textMatrix(editRow_, c), true);
        if (typed) forwardKeyToEditor(typed);
        if (how == Open::Popup) list_->showPopup();
        return true;
    }
    const forms::EditFormat fmt = area_.gridEditFormat(page_, r, c);
    if (typed) {
        const QString t = typed->text();
        if (t.size() != 1 || !forms::opensEditor(fmt.charClass, char32_t(t.at(0).unicode()), point_))
            return false;
    }
    FilteredLineEdit* edit = edit_;
    QWidget* widget = edit_;
    if (kind == forms::CellEditor::Combo) {
        fillCombo(r, c);
        widget = combo_;
        edit = static_cast<FilteredLineEdit*>(combo_->lineEdit());
    }
    // The tone editor keeps its own rule unless the area names another.
    if (kind == forms::CellEditor::Text || fmt.charClass != forms::CharClass::Any)
        edit->setCharClass(fmt.charClass);
    if (kind == forms::CellEditor::Text || fmt.maxLength > 0) edit->setLimit(fmt.maxLength);
    edit->setDecimalPoint(point_);
    edit->setFont(fmt.fixedPitch ? fixedFont() : font());
    editRow_ = row();
    editCol_ = c;
    const bool empty = how == Open::Empty;
    showEditor(kind == forms::CellEditor::Combo ? EditorKind::Combo : EditorKind::Edit, widget,
               empty ? QString() : textMatrix(editRow_, c), true);
    edit->setModified(empty); // opened empty: storing the empty text is what was asked
    if (typed) forwardKeyToEditor(typed);
    if (how == Open::Popup && kind == forms::CellEditor::Combo) combo_->showPopup();
    return true;
}

forms::FieldEffects AreaGrid::commitText() {
    QLineEdit* edit = typedEdit();
    // Only what the user typed is stored: an untouched editor leaves the cell's bytes alone.
    if (!edit || !edit->isModified() || committing_) return {};
    committing_ = true; // a message box of this commit takes the focus: no second commit
    forms::FieldEffects fx = area_.commitGridText(page_, editRow_ - 1, editCol_, toCore(edit->text()));
    edit->setModified(false);
    committing_ = false;
    return fx;
}

void AreaGrid::closeEditor(bool focusGrid, bool commit) {
    if (!editing() || closing_) return;
    closing_ = true;
    forms::FieldEffects fx = commit ? commitText() : forms::FieldEffects{};
    const bool hadFocus = QApplication::focusWidget() && owns(QApplication::focusWidget()) &&
                          QApplication::focusWidget() != this;
    hideEditor(false);
    if (focusGrid || hadFocus) setFocus(Qt::OtherFocusReason);
    fx += area_.gridEditEnded(page_);
    refreshCells(); // Escape shows the stored text again
    closing_ = false;
    emit changed(fx);
}

void AreaGrid::keyPressEvent(QKeyEvent* e) {
    if (editing()) {
        // Keys queued for the grid before the editor took the focus belong to the editor.
        if (!editorKey(e)) forwardKeyToEditor(e);
        return;
    }
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    bool handled = false;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !mods)
        handled = e->isAutoRepeat() || openEditor(Open::Enter);
    else if (e->key() == Qt::Key_F4 && !mods)
        handled = openEditor(Open::Popup);
    else if (e->key() == Qt::Key_Down && mods == Qt::AltModifier)
        handled = openEditor(Open::Popup);
    else if ((e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) && !mods) {
        // Delete on a row selection clears the rows; on a single cell both keys open it empty.
        if (hasRowSelection()) {
            if (e->key() == Qt::Key_Delete && rowCommands_) emit command(CmdDelete);
            handled = true;
        } else {
            handled = openEditor(Open::Empty);
        }
    } else if (!mods && !e->text().isEmpty() && e->text().at(0) > QLatin1Char(' '))
        handled = openEditor(Open::Typed, e) || true; // never a keyboard search in the grid
    if (handled) {
        e->accept();
        return;
    }
    CMSFlexGrid::keyPressEvent(e);
}

bool AreaGrid::focusNextPrevChild(bool next) {
    if (!editing()) return CMSFlexGrid::focusNextPrevChild(next);
    commitAndMove(next ? +1 : -1);
    return true;
}

bool AreaGrid::editorKey(QKeyEvent* k) {
    // An open drop-down has its own keys.
    if (listOpen() && list_->view()->isVisible()) return false;
    if (editor() == static_cast<QWidget*>(combo_) && combo_->view()->isVisible()) return false;
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (k->modifiers() & Qt::ControlModifier) return false;
        // The grid keeps the focus: the next cell (Shift: the one before) is typed next.
        commitAndMove(k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier) ? -1 : +1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // As in the channel grid, so a row can be typed without reaching for the mouse.
        commitAndMove(+1);
        return true;
    case Qt::Key_Escape:
        // A typed cell shows its stored text again; a list's choice is stored already.
        closeEditor(true, false);
        return true;
    default:
        return false;
    }
}

void AreaGrid::commitAndMove(int direction) {
    const grid::GridState from{editRow_, editCol_, topRow(), editRow_};
    closeEditor();
    // The commit may have rebuilt the rows; the move starts from the cell that was edited.
    const grid::GridState to =
        direction > 0 ? grid::nextCell(shape(), from) : grid::previousCell(shape(), from);
    if (to.row < rows() && to.col < cols()) setCurrent(to.row, to.col);
}

bool AreaGrid::eventFilter(QObject* obj, QEvent* e) {
    if (isEditorPart(obj)) {
        if (e->type() == QEvent::KeyPress && editing()) return editorKey(static_cast<QKeyEvent*>(e));
        if (e->type() == QEvent::FocusOut && editing() && !closing_ && !committing_) {
            // An editor's own drop-down (a window of its own under it) takes the focus without
            // ending the edit; anything else ends it.
            bool toDropDown = static_cast<QFocusEvent*>(e)->reason() == Qt::PopupFocusReason;
            for (const QObject* o = QApplication::focusWidget(); o && !toDropDown; o = o->parent())
                toDropDown = o == editor();
            if (!toDropDown) closeEditor(false);
        }
        return false;
    }
    return CMSFlexGrid::eventFilter(obj, e);
}

} // namespace velora::gui
