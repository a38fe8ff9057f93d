#include "features/CFuncPortView.h"

#include "features/AreaGrid.h"
#include "forms/CoreBridge.h"

namespace velora::gui {

CFuncPortView::CFuncPortView(AppContext& ctx, EditorHost& frame)
    : GridFormView(ctx, frame, std::make_unique<port::FunctionPortArea>(ctx.doc, ctx.boxes), Qt::AlignLeft) {
    setObjectName(QStringLiteral("funcPortView"));
    for (int t = 0; t < pageCount(); ++t)
        setControlId(grid(t)->list(), port::kControlList);
    refreshView();
    if (AreaGrid* g = currentGrid()) g->setFocus();
}

bool CFuncPortView::mayClose(bool closingAll) {
    // An open list's choice is in the image already; its edit ends before the check looks.
    endEdits();
    return portArea().mayClose(closingAll);
}

} // namespace velora::gui
