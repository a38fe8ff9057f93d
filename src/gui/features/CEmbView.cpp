#include "features/CEmbView.h"

namespace velora::gui {

CEmbView::CEmbView(AppContext& ctx, MainFrame& frame) : FeatureFormView(ctx, frame, "message") {
    setObjectName(QStringLiteral("embView"));
}

} // namespace velora::gui
