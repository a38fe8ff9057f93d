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

#include "features/AreaGrid.h"
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

    grid_ = new AreaGrid(area_, kModel1, ctx_.texts, Qt::AlignHCenter, ctx_.fixedFont, this);
    setControlId(grid_, tf::kControlGrid);
    grid_->setShadeDisabledCells(false);
    grid_->setNamesUndoSteps(false); // the window's title names the step
    // The view's own columns (right-aligned frequencies, a number title); the cells are made anew
    // so they take the new alignment.
    grid_->setupColumns(kColumns, ctx_.texts, ctx_.fixedFont);
    grid_->setRows(1);
    grid_->rebuild();
    grid_->verticalHeader()->setFixedWidth(kColumns[0].widthPx);
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->enableRowCommands([this] { return area_.canPaste(pasteBuffer(), model()); });
    // The given widths are a minimum: titles and frequencies in the user's font must stay readable.
    const QFontMetrics header(grid_->horizontalHeader()->font());
    const int frequencyWidth = grid_->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")) + 12;
    int width = grid_->verticalHeader()->width() + 2 * grid_->frameWidth();
    for (int c = 1; c < grid_->cols(); ++c) {
        grid_->setColumnWidth(c - 1, kColumns[c].widthPx);
        const int need = std::max(header.horizontalAdvance(grid_->textMatrix(0, c)) + 12, frequencyWidth);
        if (grid_->columnWidth(c - 1) < need) grid_->setColumnWidth(c - 1, need);
        width += grid_->columnWidth(c - 1);
    }
    grid_->setFixedSize(width, grid_->horizontalHeader()->sizeHint().height() + kTestChannels * kRowHeight +
                                   2 * grid_->frameWidth());

    setControlId(grid_->textEditor(), tf::kControlEdit);
    grid_->textEditor()->setAlignment(Qt::AlignRight);

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
        refill(); // the grid stores an open edit in the model it was typed for
        grid_->setFocus();
    });
    connect(grid_, &AreaGrid::changed, this, [this](const forms::FieldEffects& fx) {
        if (fx.refreshAll) refill();
    });
    connect(grid_, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) {
                if (b == Qt::LeftButton && r >= 1 && c >= 1) grid_->clearRowSelection();
            });
    connect(grid_, &CMSFlexGrid::command, this, &CTestFreqView::rowCommand);
    frame_.onGridClipboardDiscarded(this, [] { pasteBuffer() = {}; });
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w || w->widget() != this) return;
        // Back from elsewhere: what changed there shows, and typing goes to the grid.
        grid_->closeEditor();
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

CMSFlexGrid* CTestFreqView::grid() const {
    return grid_;
}

FilteredLineEdit* CTestFreqView::editor() const {
    return grid_->textEditor();
}

void CTestFreqView::commitPendingEdit() {
    grid_->closeEditor(false);
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
    grid_->setDecimalPoint(ctx_.doc.codec().decimalSeparator());
    grid_->setPage(model());
    grid_->refreshCells();
}

void CTestFreqView::apply(const forms::FieldEffects& fx) {
    if (fx.refreshAll)
        refill();
    else
        grid_->refreshCells();
}

void CTestFreqView::switchTab(bool backwards) {
    if (!area_.pageAvailable(kModel2)) return; // one model: nothing to switch to
    const int count = tabs_->count();
    tabs_->setCurrentIndex((tabs_->currentIndex() + (backwards ? count - 1 : 1)) % count);
    grid_->setFocus();
}

bool CTestFreqView::eventFilter(QObject* obj, QEvent* e) {
    // Ctrl+Tab is this window's own key, not the MDI area's window switch.
    if ((e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
        (obj == grid_ || obj == grid_->textEditor())) {
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
    return QWidget::eventFilter(obj, e);
}

// ---- Commands --------------------------------------------------------------------------------------

bool CTestFreqView::handleCommand(int command) {
    switch (command) {
    case CMSFlexGrid::CmdCopy:
    case CMSFlexGrid::CmdPaste:
    case CMSFlexGrid::CmdDelete:
        if (FilteredLineEdit* edit = grid_->textEditor(); edit->hasFocus()) {
            if (command == CMSFlexGrid::CmdCopy) edit->copy();
            if (command == CMSFlexGrid::CmdPaste) {
                // Through the key path, so the paste passes the editor's character filter.
                QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
                QApplication::sendEvent(edit, &paste);
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
    grid_->closeEditor(false);
    auto [first, last] = grid_->selectedRows();
    const bool rows = grid_->hasRowSelection();
    switch (command) {
    case CMSFlexGrid::CmdCopy:
        if (rows) pasteBuffer() = area_.copyEntries(model(), first - 1, last - 1);
        break;
    case CMSFlexGrid::CmdPaste:
        apply(area_.pasteEntries(pasteBuffer(), model(), (rows ? first : grid_->row()) - 1));
        break;
    case CMSFlexGrid::CmdDelete:
        if (rows) apply(area_.clearEntries(model(), first - 1, last - 1));
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
    grid_->closeEditor(false);
    // Only the user's own close reminds; closing every editor at once (New, Open, a read) does not.
    if (!closingAll) tf::remindToWrite(ctx_.boxes);
    return true;
}

} // namespace velora::gui
