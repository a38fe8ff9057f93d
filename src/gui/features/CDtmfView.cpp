#include "features/CDtmfView.h"

#include "features/AreaGrid.h"
#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"
#include "views/EditorHost.h"

namespace velora::gui {

namespace {
constexpr int kControlCodeEditor = 1453;
constexpr int kTitleNumber = 259;
} // namespace

std::vector<forms::dtmf::AutoDialRecord>& CDtmfView::pasteBuffer() {
    static std::vector<forms::dtmf::AutoDialRecord> buffer;
    return buffer;
}

CDtmfView::CDtmfView(AppContext& ctx, EditorHost& frame) : GridFormView(ctx, frame, "dtmf", Qt::AlignCenter) {
    setObjectName(QStringLiteral("dtmfView"));
    AreaGrid* g = autoDialGrid();
    setControlId(g, forms::dtmf::kControlGrid);
    setControlId(g->textEditor(), kControlCodeEditor);
    g->setRowTitleCaption(kTitleNumber);
    g->enableRowCommands([] { return !pasteBuffer().empty(); });
    connect(g, &CMSFlexGrid::command, this, &CDtmfView::rowCommand);
    frame.onGridClipboardDiscarded(this, [] { pasteBuffer().clear(); });
    refreshView();
}

void CDtmfView::rowCommand(int command) {
    AreaGrid* g = autoDialGrid();
    g->closeEditor();
    const std::vector<int> rows = g->selectedAreaRows();
    switch (command) {
    case CMSFlexGrid::CmdCopy:
        if (!rows.empty()) pasteBuffer() = dtmfArea().copyAutoDial(rows);
        break;
    case CMSFlexGrid::CmdPaste:
        if (!pasteBuffer().empty()) dtmfArea().pasteAutoDial(g->pasteAreaRow(), pasteBuffer());
        break;
    case CMSFlexGrid::CmdDelete:
        dtmfArea().clearAutoDial(rows);
        break;
    default:
        return;
    }
    g->refreshCells();
}

} // namespace velora::gui
