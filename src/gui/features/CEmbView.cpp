#include "features/CEmbView.h"

namespace velora::gui {

CEmbView::CEmbView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "message") {
    setObjectName(QStringLiteral("embView"));
}

} // namespace velora::gui
