#include "features/CEmerView.h"

#include <QTimer>

namespace velora::gui {

CEmerView::CEmerView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "emergency") {
    setObjectName(QStringLiteral("emergencyView"));
    // Once the window is up: the view opens all the same.
    QTimer::singleShot(0, this, [this, &ctx] {
        if (const int message = emergencyArea().openingMessage()) ctx.boxes.warning(message);
    });
}

} // namespace velora::gui
