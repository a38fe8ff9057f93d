#include "features/CFeatureView.h"

namespace velora::gui {

CFeatureView::CFeatureView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "options") {
    setObjectName(QStringLiteral("featureView"));
}

} // namespace velora::gui
