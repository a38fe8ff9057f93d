#include "frame/MemoryMapDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <vector>

#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "forms/UndoNote.h"
#include "grid/CMSFlexGrid.h"
#include "views/EditorHost.h"

namespace velora::gui {

namespace {

constexpr int kTextTitle = 177;
constexpr int kTextClose = 13;
constexpr int kControlGrid = 1058;
constexpr int kControlEdit = 1012;
constexpr int kControlAddress = 1597;
constexpr int kControlClose = 1051;
constexpr int kControlDeck = 1012;
constexpr int kControlHead = 1013;
// The sizes the layout was drawn for, in pixels; a larger fixed-pitch font widens them.
constexpr int kMinTitleWidth = 50;
constexpr int kMinByteWidth = 28;
constexpr int kSeparatorWidth = 10;
constexpr int kMinRowHeight = 16;

using MM = MemoryMap;

bool isDataCol(int col) {
    return MM::isHexCol(col) || MM::isCharCol(col);
}

} // namespace

MemoryMapDialog::MemoryMapDialog(AppContext& ctx, MemoryMapMode mode, MemoryMapPositions& positions,
                                 EditorHost* frame, QWidget* parent)
    : QDialog(parent), ctx_(ctx), positions_(positions), frame_(frame),
      map_(std::make_unique<MemoryMap>(ctx.doc, mode)) {
    setObjectName(QStringLiteral("memoryMapDialog"));
    setWindowTitle(ctx_.text(kTextTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));

    grid_ = new CMSFlexGrid(this);
    setControlId(grid_, kControlGrid);
    // One fixed-pitch font for titles and bytes, so every column of the dump lines up.
    const QFont fixed = ctx_.fixedFont;
    grid_->setFont(fixed);
    grid_->horizontalHeader()->setFont(fixed);
    grid_->verticalHeader()->setFont(fixed);
    std::vector<grid::GridColumn> columns(MM::kGridCols, grid::GridColumn{0, 0, grid::kAlignCentre, true});
    grid_->setupColumns(columns, ctx_.texts, fixed);
    const QFontMetrics fm(fixed);
    const int byteWidth = std::max(kMinByteWidth, fm.horizontalAdvance(QStringLiteral("__F")) + 10);
    const int titleWidth = std::max(kMinTitleWidth, fm.horizontalAdvance(QStringLiteral("   3FF_")) + 10);
    const int rowHeight = std::max(kMinRowHeight, fm.height() + 2);
    for (int c = 1; c < MM::kGridCols; ++c)
        grid_->setColumnWidth(c - 1, c == MM::kSeparatorCol ? kSeparatorWidth : byteWidth);
    grid_->verticalHeader()->setFixedWidth(titleWidth);
    grid_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid_->horizontalHeader()->setFixedHeight(rowHeight + 1);
    grid_->setRows(map_->rows() + 1);
    grid_->setWrapAround(false);
    grid_->setEmphasiseCurrent(true);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    int width = titleWidth + 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    grid_->setFixedSize(width, rowHeight + 1 + MM::kVisibleRows * rowHeight + 2 * grid_->frameWidth());
    fillHeaders();

    edit_ = new FilteredLineEdit(grid_->viewport());
    setControlId(edit_, kControlEdit);
    edit_->setFont(fixed);
    edit_->setAlignment(Qt::AlignCenter);
    edit_->setFrame(false);
    edit_->hide();

    address_ = new QLabel(this);
    setControlId(address_, kControlAddress);
    address_->setFont(fixed);
    address_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 12);
    address_->setFrameShape(QFrame::StyledPanel);
    close_ = new QPushButton(ctx_.text(kTextClose), this);
    setControlId(close_, kControlClose);
    connect(close_, &QPushButton::clicked, this, &MemoryMapDialog::closeApplying);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(address_);
    bottom->addStretch();
    bottom->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(grid_, &CMSFlexGrid::rowColChange, this, [this](int r, int c) {
        if (grid_->editor() && (r != editRow_ || c != editCol_)) closeEditor(true);
        address_->setText(fromCore(map_->addressText(r, c)));
    });
    connect(grid_, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) {
                if (b == Qt::LeftButton && r >= 1 && isDataCol(c)) startEditing();
            });
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fillVisibleRows(); });
    // On the application: the MDI area's own application-wide filter would take Ctrl+Tab first.
    qApp->installEventFilter(this);

    // Where this mode's map was left; its rows are filled before anything is shown.
    const MemoryMapPosition at = positions_.of(mode);
    for (int r = at.topRow; r < at.topRow + MM::kVisibleRows; ++r)
        fillRow(r);
    restorePosition();
    grid_->setFocus();
}

void MemoryMapDialog::restorePosition() {
    const MemoryMapPosition at = positions_.of(map_->mode());
    grid_->setTopRow(at.topRow);
    grid_->setCurrent(at.row, at.col);
    address_->setText(fromCore(map_->addressText(grid_->row(), grid_->col())));
}

void MemoryMapDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Scrolling needs the grid's real size, which it has only now.
    if (placed_) return;
    placed_ = true;
    restorePosition();
    fillVisibleRows();
}

MemoryMapDialog::~MemoryMapDialog() {
    qApp->removeEventFilter(this);
}

void MemoryMapDialog::fillHeaders() {
    grid_->setTextMatrix(0, 0, QString());
    for (int c = 1; c < MM::kGridCols; ++c)
        grid_->setTextMatrix(0, c, fromCore(MM::columnTitle(c)));
    for (int r = 1; r <= map_->rows(); ++r)
        grid_->setTextMatrix(r, 0, fromCore(map_->rowTitle(r)));
}

void MemoryMapDialog::fillRow(int row) {
    if (row < 1 || row > map_->rows() || !grid_->textMatrix(row, MM::kHexFirstCol).isEmpty()) return;
    for (int c = MM::kHexFirstCol; c <= MM::kHexLastCol; ++c)
        showByte(row, c);
}

void MemoryMapDialog::fillVisibleRows() {
    const int top = grid_->verticalScrollBar()->value() + 1;
    for (int r = top; r <= top + MM::kVisibleRows; ++r)
        fillRow(r);
}

// Both cells of the byte under (row, col).
void MemoryMapDialog::showByte(int row, int col) {
    const int hexCol = MM::isHexCol(col) ? col : MM::partnerCol(col);
    grid_->setTextMatrix(row, hexCol, fromCore(map_->cellText(row, hexCol)));
    const int charCol = MM::partnerCol(hexCol);
    grid_->setTextMatrix(row, charCol, fromCore(map_->cellText(row, charCol)));
}

void MemoryMapDialog::moveTo(int row, int col) {
    grid_->setCurrent(row, col);
    fillVisibleRows();
}

bool MemoryMapDialog::moveRight() {
    const int row = grid_->row(), col = grid_->col();
    if (col == MM::kHexLastCol || col == MM::kCharLastCol) {
        if (auto to = map_->wrapRight(row, col)) moveTo(to->row, to->col);
        return true; // never onto the separator or past the last byte
    }
    moveTo(row, std::min(col + 1, MM::kCharLastCol));
    return true;
}

bool MemoryMapDialog::moveLeft() {
    const int row = grid_->row(), col = grid_->col();
    if (col == MM::kHexFirstCol || col == MM::kCharFirstCol) {
        if (auto to = map_->wrapLeft(row, col)) moveTo(to->row, to->col);
        return true;
    }
    moveTo(row, std::max(col - 1, MM::kHexFirstCol));
    return true;
}

bool MemoryMapDialog::startEditing(const QKeyEvent* typed, bool empty) {
    const int row = grid_->row(), col = grid_->col();
    if (!isDataCol(col)) return false;
    const bool hex = MM::isHexCol(col);
    if (typed) {
        const QString t = typed->text();
        if (t.size() != 1 || t.at(0).unicode() > 0xFF) return false;
        const char32_t c = t.at(0).unicode();
        if (hex ? !forms::opensEditor(forms::CharClass::Hex, c) : c < U' ') return false;
    }
    editRow_ = row;
    editCol_ = col;
    edit_->setCharClass(hex ? forms::CharClass::Hex : forms::CharClass::Any);
    edit_->setLimit(MM::editLength(col));
    edit_->setMaxLength(MM::editLength(col));
    grid_->showEditor(CMSFlexGrid::EditorKind::Edit, edit_, empty ? QString() : grid_->textMatrix(row, col),
                      true);
    edit_->setModified(empty); // Backspace and Delete asked for the empty text
    if (typed) grid_->forwardKeyToEditor(typed);
    return true;
}

void MemoryMapDialog::commitEditor() {
    // Only typed text changes a byte: an opened and left cell keeps it, even where its character
    // cell shows nothing.
    if (!edit_->isModified()) return;
    const QString text = edit_->text();
    // A character the image cannot hold as one byte is not stored.
    if (text.size() == 1 && text.at(0).unicode() > 0xFF) return;
    if (map_->commitText(editRow_, editCol_, toCore(text))) showByte(editRow_, editCol_);
}

void MemoryMapDialog::closeEditor(bool commit) {
    if (!grid_->editor() || closing_) return;
    closing_ = true;
    if (commit) commitEditor();
    grid_->hideEditor(false);
    closing_ = false;
}

void MemoryMapDialog::closeApplying() {
    closeEditor(true);
    describeUndoStep(undoCaption(windowTitle()));
    const MemoryMapApplyResult result = map_->applyTo(ctx_.doc, ctx_.boxes);
    positions_.remember(map_->mode(), {grid_->topRow(), grid_->row(), grid_->col()});
    accept();
    if (!frame_) return;
    if (result.identificationChanged) frame_->identificationChanged();
    frame_->refreshViews();
}

bool MemoryMapDialog::gridKey(QKeyEvent* k) {
    const bool ctrl = k->modifiers() & Qt::ControlModifier;
    switch (k->key()) {
    case Qt::Key_Right:
        return !ctrl && moveRight();
    case Qt::Key_Left:
        return !ctrl && moveLeft();
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!k->isAutoRepeat()) startEditing();
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        startEditing(nullptr, true);
        return true;
    case Qt::Key_Escape:
        reject(); // nothing written back, the position not remembered
        return true;
    case Qt::Key_F1:
        return true;
    default:
        break;
    }
    if (!ctrl && !k->text().isEmpty() && k->text().at(0) >= QLatin1Char(' ')) {
        startEditing(k);
        return true; // never a keyboard search in the grid
    }
    return false;
}

bool MemoryMapDialog::editorKey(QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeEditor(true);
        grid_->setFocus();
        moveRight();
        return true;
    case Qt::Key_Escape:
        // The cell keeps what it showed.
        closeEditor(false);
        grid_->setFocus();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        closeEditor(true);
        grid_->setFocus();
        return true;
    case Qt::Key_F1:
        return true;
    default:
        return false;
    }
}

bool MemoryMapDialog::eventFilter(QObject* obj, QEvent* e) {
    if ((e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
        (obj == grid_ || obj == edit_)) {
        // Ctrl+Tab is this window's own key, not the MDI area's window switch.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() & Qt::ControlModifier &&
            (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)) {
            if (e->type() == QEvent::KeyPress) {
                closeEditor(true);
                moveTo(grid_->row(), MM::partnerCol(grid_->col()));
            } else {
                e->accept();
            }
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (obj == grid_ && grid_->editor()) {
            // Keys queued for the grid before its editor took the focus belong to the editor.
            if (!editorKey(k)) grid_->forwardKeyToEditor(k);
            return true;
        }
        if (obj == grid_) return gridKey(k);
        if (obj == edit_) return editorKey(k);
    }
    if (e->type() == QEvent::FocusOut && obj == edit_ && grid_->editor() && !closing_) closeEditor(true);
    return QDialog::eventFilter(obj, e);
}

void MemoryMapDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) return;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && QApplication::focusWidget() != close_) {
        grid_->setFocus();
        moveRight();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- The Deck/Head question ------------------------------------------------------------------------

DeckHeadDialog::DeckHeadDialog(AppContext& ctx, MemoryMapPositions& positions, EditorHost* frame,
                               QWidget* parent)
    : QDialog(parent), ctx_(ctx), positions_(positions), frame_(frame),
      deck_(new QPushButton(QStringLiteral("Deck"), this)),
      head_(new QPushButton(QStringLiteral("Head"), this)) {
    setObjectName(QStringLiteral("deckHeadDialog"));
    setWindowTitle(QStringLiteral("Select Deck or Head"));
    setControlId(deck_, kControlDeck);
    setControlId(head_, kControlHead);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(deck_);
    layout->addWidget(head_);
    // Wide enough for the title beside the title bar's buttons, not only for its own two buttons.
    const int titleRoom = fontMetrics().horizontalAdvance(windowTitle()) +
                          4 * style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    setFixedSize(layout->sizeHint().expandedTo(QSize(titleRoom, 0)));
    connect(deck_, &QPushButton::clicked, this, [this] { openMap(MemoryMapMode::Deck); });
    connect(head_, &QPushButton::clicked, this, [this] { openMap(MemoryMapMode::Head); });
}

void DeckHeadDialog::openMap(MemoryMapMode mode) {
    MemoryMapDialog map(ctx_, mode, positions_, frame_, this);
    map.exec();
    accept();
}

void runMemoryMap(AppContext& ctx, EditorHost& frame) {
    static MemoryMapPositions positions;
    DeckHeadDialog(ctx, positions, &frame, frame.hostWindow()).exec();
}

} // namespace velora::gui
