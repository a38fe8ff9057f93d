#include "features/CTestFreqView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "grid/CMSFlexGrid.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {

namespace tf = forms::testfreq;
constexpr int kTextClose = 13, kTextHelp = 14;
constexpr int kControlClose = 1011, kControlHelp = 111;
constexpr int kRowHeight = 18;

constexpr grid::GridColumn kColumns[] = {
    {tf::kTextNumber, 60, grid::kAlignCentre, true},
    {tf::kTextRx, 80, grid::kAlignRight, true},
    {tf::kTextTx, 80, grid::kAlignRight, true},
};

QPushButton* button(const QString& text, int id, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    setControlId(b, id);
    return b;
}

} // namespace

forms::testfreq::Clip& CTestFreqView::pasteBuffer() {
    static tf::Clip clip;
    return clip;
}

CTestFreqView::CTestFreqView(AppContext& ctx, EditorHost& frame, QWidget* parent)
    : QWidget(parent), ctx_(ctx), frame_(frame), area_(ctx.doc, ctx.boxes) {
    setObjectName(QStringLiteral("testFreqView"));
    setWindowTitle(ctx_.text(area_.titleText()));

    tabs_ = new QTabBar(this);
    setControlId(tabs_, tf::kControlTabs);
    for (const forms::FieldPage& p : area_.pages())
        tabs_->addTab(ctx_.text(p.tabText));
    tabs_->setFocusPolicy(Qt::NoFocus);

    grid_ = new CMSFlexGrid(this);
    setControlId(grid_, tf::kControlGrid);
    grid_->setupColumns(kColumns, ctx_.texts, ctx_.fixedFont);
    grid_->setRows(kTestChannels + 1);
    grid_->numberRows();
    grid_->setEmphasiseCurrent(true);
    grid_->setWrapAround(false);
    grid_->setContextMenu(CMSFlexGrid::MenuKind::Copy, &ctx_.texts);
    grid_->setPasteAvailable([this] { return area_.canPaste(pasteBuffer(), model()); });
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // all 16 entries show
    // The given widths are a minimum: titles and frequencies in the user's font must stay readable.
    const QFontMetrics header(grid_->horizontalHeader()->font());
    const int frequencyWidth = grid_->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")) + 12;
    int width = grid_->verticalHeader()->width() + 2 * grid_->frameWidth();
    for (int c = 1; c < grid_->cols(); ++c) {
        const int need = std::max(header.horizontalAdvance(grid_->textMatrix(0, c)) + 12, frequencyWidth);
        if (grid_->columnWidth(c - 1) < need) grid_->setColumnWidth(c - 1, need);
        width += grid_->columnWidth(c - 1);
    }
    grid_->setFixedSize(width, grid_->horizontalHeader()->sizeHint().height() + kTestChannels * kRowHeight +
                                   2 * grid_->frameWidth());

    edit_ = new FilteredLineEdit(grid_->viewport());
    setControlId(edit_, tf::kControlEdit);
    edit_->setAlignment(Qt::AlignRight);
    edit_->hide();

    auto* close = button(ctx_.text(kTextClose), kControlClose, this);
    auto* help = button(ctx_.text(kTextHelp), kControlHelp, this);
    connect(close, &QPushButton::clicked, this, [this] {
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
    connect(help, &QPushButton::clicked, this, [this] { frame_.showHelpTopic(area_.defaultHelp()); });

    // The form keeps together at the top left whatever the window's size: tabs as wide as their
    // texts, the buttons under the grid's right edge.
    tabs_->setExpanding(false);
    auto* buttonRow = new QWidget(this);
    auto* buttons = new QHBoxLayout(buttonRow);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttonRow->setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 0, Qt::AlignLeft);
    layout->addWidget(grid_, 0, Qt::AlignLeft);
    layout->addWidget(buttonRow, 0, Qt::AlignLeft);
    layout->addStretch();

    connect(tabs_, &QTabBar::currentChanged, this, [this](int) {
        closeEditor(true);
        refill();
        grid_->setFocus();
    });
    connect(grid_, &CMSFlexGrid::rowColChange, this, [this](int r, int c) {
        if (grid_->editor() && (r != editRow_ || c != editCol_)) closeEditor(true);
    });
    connect(grid_, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) {
                if (b != Qt::LeftButton || r < 1 || c < 1) return;
                grid_->clearRowSelection();
                startEditing();
            });
    connect(grid_, &CMSFlexGrid::command, this, &CTestFreqView::rowCommand);
    frame_.onGridClipboardDiscarded(this, [] { pasteBuffer() = {}; });
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w || w->widget() != this) return;
        // Back from elsewhere: what changed there shows, and typing goes to the grid.
        if (grid_->editor()) closeEditor(true);
        grid_->setFocus();
        refill();
    });
    // On the application: the MDI area's own application-wide filter would take Ctrl+Tab first.
    qApp->installEventFilter(this);

    refill();
    grid_->setCurrent(1, 1);
    grid_->setFocus();
    resize(sizeHint());
}

CTestFreqView::~CTestFreqView() {
    qApp->removeEventFilter(this);
}

int CTestFreqView::model() const {
    const int t = tabs_->currentIndex();
    return t > 0 && area_.pageAvailable(t) ? t : kModel1;
}

void CTestFreqView::setModel(int model) {
    if (area_.pageAvailable(model)) tabs_->setCurrentIndex(model);
}

void CTestFreqView::refill() {
    // A single-band data set has no tabs; the grid takes their place.
    const bool dual = area_.pageAvailable(kModel2);
    tabs_->setVisible(dual);
    if (!dual && tabs_->currentIndex() != kModel1) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(kModel1);
    }
    for (int r = 1; r < grid_->rows(); ++r)
        refreshRow(r);
}

void CTestFreqView::refreshRow(int row) {
    for (int c = tf::kColRx; c <= tf::kColTx; ++c)
        grid_->setTextMatrix(row, c, fromCore(area_.gridCellTextAt(model(), row - 1, c).text));
}

void CTestFreqView::apply(const forms::FieldEffects& fx, int row) {
    if (fx.refreshAll)
        refill();
    else
        refreshRow(row);
}

// ---- Editing ---------------------------------------------------------------------------------------

bool CTestFreqView::startEditing(const QKeyEvent* typed, bool empty, bool byEnter) {
    const int row = grid_->row(), col = grid_->col();
    if (row < 1 || col < 1) return false;
    const int editCol = forms::editableColumn(area_, model(), row - 1, col);
    if (editCol < 1 || (byEnter && editCol != col)) return false;
    const char point = ctx_.doc.codec().decimalSeparator();
    const forms::EditFormat fmt = area_.gridEditFormat(model(), row - 1, editCol);
    if (typed) {
        const QString t = typed->text();
        if (t.size() != 1 || !forms::opensEditor(fmt.charClass, char32_t(t.at(0).unicode()), point))
            return false;
    }
    if (editCol != col) grid_->setCurrent(row, editCol);
    editRow_ = row;
    editCol_ = editCol;
    edit_->setCharClass(fmt.charClass);
    edit_->setDecimalPoint(point);
    edit_->setLimit(fmt.maxLength);
    grid_->showEditor(CMSFlexGrid::EditorKind::Edit, edit_,
                      empty ? QString() : grid_->textMatrix(row, editCol), true);
    edit_->setModified(empty);
    if (typed) grid_->forwardKeyToEditor(typed);
    return true;
}

void CTestFreqView::commitEditor() {
    if (committing_ || cancelling_) return;
    // Only typed text is stored: an entry left as it was shown, even an empty one, stays as it is.
    if (!edit_->isModified()) return;
    committing_ = true; // a message box of this commit takes the focus: no second commit
    apply(area_.commitGridText(model(), editRow_ - 1, editCol_, toCore(edit_->text())), editRow_);
    edit_->setModified(false);
    committing_ = false;
}

void CTestFreqView::closeEditor(bool commit) {
    if (!grid_->editor()) return;
    if (commit) commitEditor();
    cancelling_ = true;
    grid_->hideEditor(false);
    cancelling_ = false;
}

bool CTestFreqView::editorKey(QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        closeEditor(true);
        grid_->nextCell();
        grid_->setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeEditor(true);
        grid_->nextCell();
        grid_->setFocus();
        return true;
    case Qt::Key_Escape:
        // The cell keeps what it showed; nothing is stored.
        closeEditor(false);
        grid_->setFocus();
        return true;
    default:
        return false;
    }
}

bool CTestFreqView::gridKey(QKeyEvent* k) {
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!k->isAutoRepeat()) startEditing(nullptr, false, true);
        return true;
    case Qt::Key_Delete:
        if (grid_->hasRowSelection()) {
            rowCommand(CMSFlexGrid::CmdDelete);
            return true;
        }
        return startEditing(nullptr, true);
    case Qt::Key_Backspace:
        if (grid_->hasRowSelection()) return true;
        return startEditing(nullptr, true);
    default:
        break;
    }
    if (!k->text().isEmpty() && k->text().at(0) > QLatin1Char(' ')) {
        startEditing(k);
        return true; // never a keyboard search in the grid
    }
    return false;
}

void CTestFreqView::switchTab(bool backwards) {
    if (!area_.pageAvailable(kModel2)) return; // one model: nothing to switch to
    closeEditor(true);
    const int count = tabs_->count();
    tabs_->setCurrentIndex((tabs_->currentIndex() + (backwards ? count - 1 : 1)) % count);
    grid_->setFocus();
}

bool CTestFreqView::eventFilter(QObject* obj, QEvent* e) {
    if ((e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
        (obj == grid_ || obj == edit_)) {
        // Ctrl+Tab is this window's own key, not the MDI area's window switch.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() & Qt::ControlModifier &&
            (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)) {
            if (e->type() == QEvent::KeyPress) {
                switchTab(k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier));
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
    if (e->type() == QEvent::FocusOut && obj == edit_ && grid_->editor() && !committing_ && !cancelling_) {
        // Our own message boxes do not end the edit; anything else commits it.
        if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
            commitEditor();
            closeEditor(false);
        }
    }
    return QWidget::eventFilter(obj, e);
}

// ---- Commands --------------------------------------------------------------------------------------

bool CTestFreqView::handleCommand(int command) {
    switch (command) {
    case CMSFlexGrid::CmdCopy:
    case CMSFlexGrid::CmdPaste:
    case CMSFlexGrid::CmdDelete:
        if (edit_->hasFocus()) {
            if (command == CMSFlexGrid::CmdCopy) edit_->copy();
            if (command == CMSFlexGrid::CmdPaste) {
                // Through the key path, so the paste passes the editor's character filter.
                QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
                QApplication::sendEvent(edit_, &paste);
            }
            return true;
        }
        rowCommand(command);
        return true;
    default:
        return false;
    }
}

void CTestFreqView::rowCommand(int command) {
    closeEditor(true);
    auto [first, last] = grid_->selectedRows();
    const bool rows = grid_->hasRowSelection();
    switch (command) {
    case CMSFlexGrid::CmdCopy:
        if (rows) pasteBuffer() = area_.copyEntries(model(), first - 1, last - 1);
        break;
    case CMSFlexGrid::CmdPaste:
        apply(area_.pasteEntries(pasteBuffer(), model(), (rows ? first : grid_->row()) - 1), grid_->row());
        break;
    case CMSFlexGrid::CmdDelete:
        if (rows) apply(area_.clearEntries(model(), first - 1, last - 1), grid_->row());
        break;
    default:
        break;
    }
}

std::optional<int> CTestFreqView::helpContext() const {
    QWidget* focus = QApplication::focusWidget();
    const bool inGrid = focus && (focus == grid_ || grid_->isAncestorOf(focus));
    if (inGrid && grid_->col() >= 1) return area_.gridCellHelpAt(model(), grid_->row() - 1, grid_->col());
    return area_.defaultHelp();
}

bool CTestFreqView::mayClose(bool closingAll) {
    closeEditor(true);
    // Only the user's own close reminds; closing every editor at once (New, Open, a read) does not.
    if (!closingAll) tf::remindToWrite(ctx_.boxes);
    return true;
}

} // namespace velora::gui
