#include "features/AreaGrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "forms/CoreBridge.h"

namespace velora::gui {

namespace {
constexpr int kMinTitleWidth = 125; // the original column widths, in pixels
constexpr int kMinValueWidth = 160;
constexpr int kRowHeight = 18;

QString qtext(const TextSource& t, int n) {
    return fromCore(std::string(t.text(n)));
}
} // namespace

AreaGrid::AreaGrid(forms::GridArea& area, int page, const TextSource& texts, Qt::Alignment titleAlign,
                   QWidget* parent)
    : CMSFlexGrid(parent), area_(area), page_(page), texts_(texts), titleAlign_(titleAlign),
      list_(new QComboBox(viewport())) {
    const grid::GridColumn columns[] = {{0, kMinTitleWidth, grid::kAlignRight, true},
                                        {area_.gridColumnTitle(), kMinValueWidth, grid::kAlignLeft, true}};
    setupColumns(columns, texts_, font());
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
    list_->installEventFilter(this);
    connect(list_, &QComboBox::activated, this, [this](int index) {
        forms::FieldEffects fx = area_.commitGridCell(page_, editRow_ - 1, list_->itemData(index).toInt());
        refreshRow(editRow_);
        emit changed(fx);
    });
    connect(this, &CMSFlexGrid::rowColChange, this, [this](int r, int) {
        if (listOpen() && r != editRow_) closeList();
        emit currentAreaRowChanged(currentAreaRow());
    });
    connect(this, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) {
                if (b == Qt::LeftButton && r >= 1 && c == 1) openList();
            });
    rebuild();
}

void AreaGrid::rebuild() {
    closeList(false);
    const int n = area_.gridRowCount(page_);
    setRows(n + 1);
    const QFontMetrics fm(font());
    const QFontMetrics header(verticalHeader()->font());
    int titleWidth = kMinTitleWidth;
    int valueWidth = std::max(
        kMinValueWidth, QFontMetrics(horizontalHeader()->font()).horizontalAdvance(textMatrix(0, 1)) + 16);
    // Wide enough for every text the list may put in the cell, with the list's arrow beside it.
    const int arrow =
        list_->sizeHint().width() - list_->fontMetrics().horizontalAdvance(list_->currentText());
    for (int r = 0; r < n; ++r) {
        const QString title = fromCore(area_.gridRowTitle(page_, r));
        setTextMatrix(r + 1, 0, title);
        verticalHeaderItem(r)->setTextAlignment(titleAlign_ | Qt::AlignVCenter);
        titleWidth = std::max(titleWidth, header.horizontalAdvance(title) + 16);
        for (const forms::ValueItem& it : area_.gridChoices(page_, r))
            valueWidth = std::max(valueWidth, fm.horizontalAdvance(qtext(texts_, it.text)) + arrow + 8);
    }
    verticalHeader()->setFixedWidth(titleWidth);
    setColumnWidth(0, valueWidth);
    const int frame = 2 * frameWidth();
    setFixedSize(titleWidth + valueWidth + frame,
                 horizontalHeader()->sizeHint().height() + std::max(n, 1) * kRowHeight + frame);
    refreshCells();
    setCurrent(1, 1);
}

void AreaGrid::refreshRow(int row) {
    if (row < 1 || row >= rows()) return;
    const QString t = fromCore(area_.gridCellText(page_, row - 1).text);
    if (textMatrix(row, 1) != t) setTextMatrix(row, 1, t);
}

void AreaGrid::refreshCells() {
    if (area_.gridRowCount(page_) != rows() - 1) {
        rebuild();
        return;
    }
    for (int r = 1; r < rows(); ++r)
        refreshRow(r);
}

int AreaGrid::currentHelp() const {
    return area_.gridCellHelp(page_, std::max(0, currentAreaRow()));
}

bool AreaGrid::owns(const QObject* obj) const {
    for (const QObject* o = obj; o; o = o->parent())
        if (o == this || o == list_) return true;
    return false;
}

void AreaGrid::fillList() {
    list_->clear();
    int widest = 0;
    for (const forms::ValueItem& it : area_.gridChoices(page_, row() - 1)) {
        const QString t = qtext(texts_, it.text);
        list_->addItem(t, int(it.stored));
        widest = std::max(widest, list_->fontMetrics().horizontalAdvance(t));
    }
    list_->view()->setMinimumWidth(widest + 2 * list_->view()->frameWidth() +
                                   list_->view()->verticalScrollBar()->sizeHint().width() + 12);
}

bool AreaGrid::openList(bool popup, const QKeyEvent* typed) {
    if (rows() < 2 || row() < 1 || !area_.isGridCellEnabled(page_, row() - 1)) return false;
    if (!listOpen()) {
        fillList();
        editRow_ = row();
        // A stored value outside the list shows as an empty cell and no selection.
        showEditor(EditorKind::List, list_, textMatrix(editRow_, 1), true);
    }
    if (typed) forwardKeyToEditor(typed);
    if (popup) list_->showPopup();
    return true;
}

void AreaGrid::closeList(bool focusGrid) {
    if (!listOpen() || closing_) return;
    closing_ = true;
    const bool hadFocus = list_->hasFocus();
    hideEditor(false);
    if (focusGrid || hadFocus) setFocus(Qt::OtherFocusReason);
    forms::FieldEffects fx = area_.gridEditEnded(page_);
    refreshCells();
    closing_ = false;
    emit changed(fx);
}

void AreaGrid::keyPressEvent(QKeyEvent* e) {
    if (listOpen()) {
        // Keys queued for the grid before the list took the focus belong to the list.
        if (!listKey(e)) forwardKeyToEditor(e);
        return;
    }
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    bool opened = false;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !mods)
        opened = e->isAutoRepeat() || openList();
    else if (e->key() == Qt::Key_F4 && !mods)
        opened = openList(true);
    else if (e->key() == Qt::Key_Down && mods == Qt::AltModifier)
        opened = openList(true);
    else if (!mods && !e->text().isEmpty() && e->text().at(0) > QLatin1Char(' '))
        opened = openList(false, e) || true; // never a keyboard search in the grid
    if (opened) {
        e->accept();
        return;
    }
    CMSFlexGrid::keyPressEvent(e);
}

bool AreaGrid::listKey(QKeyEvent* k) {
    if (list_->view()->isVisible()) return false; // the open drop-down has its own keys
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (k->modifiers() & Qt::ControlModifier) return false;
        // The edit ends and the focus moves on from the grid as Tab would move it.
        closeList();
        QKeyEvent tab(QEvent::KeyPress, k->key(), k->modifiers());
        QCoreApplication::sendEvent(this, &tab);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // The selection is stored already; Escape shows the stored value again like Enter.
        closeList();
        return true;
    default:
        return false;
    }
}

bool AreaGrid::eventFilter(QObject* obj, QEvent* e) {
    if (obj == list_) {
        if (e->type() == QEvent::KeyPress && listOpen()) return listKey(static_cast<QKeyEvent*>(e));
        if (e->type() == QEvent::FocusOut && listOpen()) {
            // The list's own drop-down (a window of its own under the list) takes the focus without
            // ending the edit.
            bool toDropDown = static_cast<QFocusEvent*>(e)->reason() == Qt::PopupFocusReason;
            for (const QObject* o = QApplication::focusWidget(); o && !toDropDown; o = o->parent())
                toDropDown = o == list_;
            if (!toDropDown) closeList(false);
        }
        return false;
    }
    return CMSFlexGrid::eventFilter(obj, e);
}

} // namespace velora::gui
