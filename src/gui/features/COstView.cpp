#include "features/COstView.h"

#include "features/AreaGrid.h"
#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "views/EditorHost.h"

namespace velora::gui {

namespace {
constexpr int kControlNameEditor = 1237;
constexpr int kControlToneEditor = 1236;
constexpr int kTitleNumber = 259;
} // namespace

std::vector<forms::ost::Entry>& COstView::pasteBuffer() {
    static std::vector<forms::ost::Entry> buffer;
    return buffer;
}

COstView::COstView(AppContext& ctx, EditorHost& frame) : GridFormView(ctx, frame, "ost", Qt::AlignCenter) {
    setObjectName(QStringLiteral("ostView"));
    if (!toneArea().nameDisplayShown()) {
        // Without the extended-capacity start option the setting does not exist.
        for (QWidget* w :
             {labelWidget(0, forms::ost::kNameDisplay), valueWidget(0, forms::ost::kNameDisplay)})
            if (w) w->hide();
    }
    AreaGrid* g = grid(0);
    setControlId(g, forms::ost::kControlGrid);
    setControlId(g->textEditor(), kControlNameEditor);
    setControlId(g->toneCombo(), kControlToneEditor);
    g->setRowTitleCaption(kTitleNumber);
    g->enableRowCommands([] { return !pasteBuffer().empty(); });
    connect(g, &CMSFlexGrid::command, this, &COstView::rowCommand);
    frame.onGridClipboardDiscarded(this, [] { pasteBuffer().clear(); });
    refreshView();
    g->setFocus();
}

void COstView::rowCommand(int command) {
    AreaGrid* g = grid(0);
    g->closeEditor();
    const std::vector<int> rows = g->selectedAreaRows();
    switch (command) {
    case CMSFlexGrid::CmdCopy:
        if (!rows.empty()) pasteBuffer() = toneArea().copyEntries(rows);
        break;
    case CMSFlexGrid::CmdPaste:
        if (!pasteBuffer().empty()) toneArea().pasteEntries(g->pasteAreaRow(), pasteBuffer());
        break;
    case CMSFlexGrid::CmdDelete:
        toneArea().clearEntries(rows);
        break;
    default:
        return;
    }
    g->refreshCells();
}

} // namespace velora::gui
