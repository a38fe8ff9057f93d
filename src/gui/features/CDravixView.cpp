#include "features/CDravixView.h"

namespace velora::gui {

CDravixView::CDravixView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "dravix") {
    setObjectName(QStringLiteral("dravixView"));
}

} // namespace velora::gui
