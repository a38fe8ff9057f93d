#include "features/CTwoToneView.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "views/EditorHost.h"

namespace velora::gui {

CTwoToneView::CTwoToneView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "two_tone") {
    setObjectName(QStringLiteral("twoToneView"));
    resolveFormats();
    activation_ = connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w && w->widget() == this) resolveFormats();
    });
}

CTwoToneView::~CTwoToneView() {
    disconnect(activation_); // the area goes before the base classes are done
}

void CTwoToneView::resolveFormats() {
    if (toneArea().resolveEqualFormats()) refreshAll();
}

} // namespace velora::gui
