#include "features/GridFormView.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/FrameCommands.h"
#include "features/AreaGrid.h"
#include "forms/FilteredLineEdit.h"

namespace velora::gui {

namespace {
forms::GridArea& gridAreaOf(forms::FeatureArea& area) {
    auto* grid = dynamic_cast<forms::GridArea*>(&area);
    Q_ASSERT(grid);
    return *grid;
}
} // namespace

GridFormView::GridFormView(AppContext& ctx, EditorHost& frame, std::string_view areaName,
                           Qt::Alignment rowTitleAlign)
    : FeatureFormView(ctx, frame, areaName), gridArea_(gridAreaOf(area())) {
    buildGrids(rowTitleAlign);
}

GridFormView::GridFormView(AppContext& ctx, EditorHost& frame, std::unique_ptr<forms::FeatureArea> area,
                           Qt::Alignment rowTitleAlign)
    : FeatureFormView(ctx, frame, std::move(area)), gridArea_(gridAreaOf(this->area())) {
    buildGrids(rowTitleAlign);
}

void GridFormView::buildGrids(Qt::Alignment rowTitleAlign) {
    const char point = ctx_.doc.codec().decimalSeparator();
    for (int p = 0; p < pageCount(); ++p) {
        auto* grid = new AreaGrid(gridArea_, p, ctx_.texts, rowTitleAlign, ctx_.fixedFont);
        grid->setObjectName(QStringLiteral("grid%1").arg(p));
        grid->setDecimalPoint(point);
        auto* row = new QHBoxLayout;
        row->addWidget(grid, 0, Qt::AlignTop | Qt::AlignLeft);
        // Below the page's fields; the page's last row is the one that stretches.
        QWidget* host = tabs()->widget(p);
        if (auto* form = qobject_cast<QGridLayout*>(host->layout())) {
            const int at = form->rowCount();
            form->setRowStretch(at - 1, 0);
            form->addLayout(row, at, 0, 1, form->columnCount());
            form->setRowStretch(at, 1);
        } else {
            (host->layout() ? host->layout() : new QVBoxLayout(host))->addItem(row);
        }
        grids_.push_back(grid);
        rows_.push_back(row);
        connect(grid, &AreaGrid::changed, this, [this, p](const forms::FieldEffects& fx) {
            apply(fx);
            gridShown(p, active_);
        });
        connect(grid, &AreaGrid::currentAreaRowChanged, this, [this, p] { gridShown(p, active_); });
    }

    connect(tabs(), &QTabWidget::currentChanged, this, [this](int p) {
        if (p < 0) return;
        for (AreaGrid* g : grids_)
            if (g->page() != p) g->closeEditor(false);
        if (AreaGrid* g = grid(p)) {
            g->refreshCells();
            if (g->hasRows()) g->setFocus(Qt::TabFocusReason);
        }
        gridShown(p, active_);
    });
    refreshView();
    // A grid asks for little room of its own: the editor opens at least as large as a new window
    // does by default, and larger when its form needs it.
    resize(sizeHint().expandedTo(QSize(640, 480)));
}

GridFormView::~GridFormView() {
    // Nothing may reach the grids while they go.
    detach();
    for (AreaGrid* g : grids_) {
        g->disconnect(this);
        delete g;
    }
    grids_.clear();
}

AreaGrid* GridFormView::grid(int page) const {
    return page >= 0 && page < int(grids_.size()) ? grids_[std::size_t(page)] : nullptr;
}

QHBoxLayout* GridFormView::gridRow(int page) const {
    return page >= 0 && page < int(rows_.size()) ? rows_[std::size_t(page)] : nullptr;
}

void GridFormView::endEdits() {
    for (AreaGrid* g : grids_)
        g->closeEditor(false);
}

void GridFormView::refreshView() {
    refreshAll();
    for (AreaGrid* g : grids_)
        g->refreshCells();
    int shown = 0;
    for (int p = 0; p < pageCount(); ++p)
        shown += tabs()->isTabVisible(p) ? 1 : 0;
    // A single page is the form itself, as in every form view.
    tabs()->tabBar()->setVisible(shown > 1);
    tabs()->setDocumentMode(shown <= 1);
    gridShown(page(), active_);
}

void GridFormView::apply(const forms::FieldEffects& fx) {
    for (forms::FieldRef r : fx.showFields)
        showField(r.page, r.field);
    if (fx.refreshAll || fx.pagesChanged) refreshView();
    if (fx.refreshEnables)
        for (int p = 0; p < pageCount(); ++p)
            refreshEnables(p);
    if (fx.otherViews) refreshOthers(fx.otherViews);
}

bool GridFormView::handleCommand(int command) {
    AreaGrid* g = currentGrid();
    if (!g || !g->hasRows() || (command != cmd::kGridCopy && command != cmd::kGridPaste)) return false;
    if (QLineEdit* edit = g->textEditor()->isVisible() ? g->textEditor() : g->toneCombo()->lineEdit();
        edit->hasFocus()) {
        if (command == cmd::kGridCopy) edit->copy();
        if (command == cmd::kGridPaste) {
            // Through the key path, so the paste passes the editor's character filter.
            QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
            QApplication::sendEvent(edit, &paste);
        }
        return true;
    }
    if (!g->hasRowCommands()) return false;
    emit g->command(command == cmd::kGridCopy ? CMSFlexGrid::CmdCopy : CMSFlexGrid::CmdPaste);
    return true;
}

void GridFormView::commitPendingEdit() {
    for (AreaGrid* g : grids_)
        if (g->editing()) g->closeEditor();
    commitFocused();
}

void GridFormView::windowActivated(bool active) {
    const bool was = active_;
    active_ = active;
    if (!active) {
        // An edit left open in a window that is no longer active is ended, not left hanging.
        if (was) endEdits();
        gridShown(page(), false);
        return;
    }
    if (was) return;
    // Changes made elsewhere show; typing goes to the grid unless a field of the form had the focus.
    QWidget* focus = QApplication::focusWidget();
    AreaGrid* g = currentGrid();
    const bool toGrid = !focus || focus == this || !isAncestorOf(focus) || (g && g->owns(focus));
    refreshView();
    if (g && g->hasRows() && toGrid) g->setFocus(Qt::OtherFocusReason);
}

int GridFormView::fieldHelp(int page, int field) const {
    return featureArea().helpTopic(page, field);
}

std::optional<int> GridFormView::helpContext() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return featureArea().defaultHelp();
    for (AreaGrid* g : grids_)
        if (g->owns(focus)) return g->currentHelp();
    for (int p = 0; p < pageCount(); ++p)
        for (int f = 0; f < featureArea().fieldCount(p); ++f)
            if (QWidget* w = valueWidget(p, f); w && (w == focus || w->isAncestorOf(focus)))
                return fieldHelp(p, f);
    return featureArea().defaultHelp();
}

bool GridFormView::eventFilter(QObject* obj, QEvent* e) {
    const QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride) return CFormView::eventFilter(obj, e);
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w || !(w == this || isAncestorOf(w))) return CFormView::eventFilter(obj, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F1) {
        // F1 in an editor hands the focus back to its grid first, so the help is the row's.
        for (AreaGrid* g : grids_)
            if (g->editing() && g->owns(obj) && obj != g) g->closeEditor();
        if (t == QEvent::ShortcutOverride) return false; // the main window's help key may take it
        emit helpRequested(helpContext().value_or(area().defaultHelp()));
        return true;
    }
    // Ctrl+Tab switches pages as in every form view; every other key of a grid or its list is the
    // grid's own (Enter opens the list there rather than moving the focus).
    if (k->modifiers() & Qt::ControlModifier && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab))
        return CFormView::eventFilter(obj, e);
    for (AreaGrid* g : grids_)
        if (g->owns(obj)) return false;
    return CFormView::eventFilter(obj, e);
}

} // namespace velora::gui
