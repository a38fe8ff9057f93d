#include "features/CChannelListView.h"

#include <QTimer>

#include "features/AreaGrid.h"
#include "forms/CoreBridge.h"
#include "forms/FilteredLineEdit.h"

namespace velora::gui {

namespace {
constexpr int kTitleNumber = 259;
} // namespace

CChannelListView::CChannelListView(AppContext& ctx, EditorHost& frame, Kind kind)
    : GridFormView(ctx, frame, kind == Kind::Remote ? "remote_list" : "repeater_list", Qt::AlignCenter) {
    setObjectName(kind == Kind::Remote ? QStringLiteral("remoteListView")
                                       : QStringLiteral("repeaterListView"));
    AreaGrid* g = grid(0);
    setControlId(g->textEditor(), listArea().editorControl());
    g->setRowTitleCaption(kTitleNumber);
    refreshView();
    g->setFocus();
    // Once the window is up: the view opens all the same.
    QTimer::singleShot(0, this, [this, &ctx] {
        if (const int message = listArea().openingMessage()) ctx.boxes.warning(message);
    });
}

} // namespace velora::gui
