#include "features/CKeyView.h"

#include <QHBoxLayout>

#include "features/AreaGrid.h"
#include "features/PanelPicture.h"
#include "forms/CoreBridge.h"

namespace velora::gui {

CKeyView::CKeyView(AppContext& ctx, EditorHost& frame)
    : GridFormView(ctx, frame, std::make_unique<keys::KeyAssignmentArea>(ctx.doc, ctx.boxes),
                   Qt::AlignRight) {
    setObjectName(QStringLiteral("keyView"));
    setControlId(tabs(), keys::kControlTabs);
    for (int h = 0; h < pageCount(); ++h) {
        setControlId(grid(h), keys::kControlGrid);
        auto* picture = new PanelPicture;
        setControlId(picture, keys::kControlPicture);
        picture->setHead(keyArea().secondHeadType(h));
        gridRow(h)->addWidget(picture, 1, Qt::AlignTop);
        pictures_.push_back(picture);
    }
    refreshView();
    if (AreaGrid* g = currentGrid()) g->setFocus();
}

PanelPicture* CKeyView::picture(int head) const {
    return head >= 0 && head < int(pictures_.size()) ? pictures_[std::size_t(head)] : nullptr;
}

int CKeyView::fieldHelp(int page, int field) const {
    // The knob's help is the stored mode's.
    if (field == keys::KeyAssignmentArea::kKnob) return keyArea().knobHelp(page);
    return GridFormView::fieldHelp(page, field);
}

void CKeyView::gridShown(int page, bool active) {
    PanelPicture* p = picture(page);
    AreaGrid* g = grid(page);
    if (!p || !g) return;
    p->setHead(keyArea().secondHeadType(page));
    // Only the active view frames a key; with no current row nothing is framed.
    p->setFramed(active ? keyArea().rowRect(page, g->currentAreaRow()) : std::nullopt);
}

} // namespace velora::gui
