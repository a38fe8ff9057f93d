#include "features/CFeatureView.h"

namespace velora::gui {

CFeatureView::CFeatureView(AppContext& ctx, MainFrame& frame) : FeatureFormView(ctx, frame, "options") {
    setObjectName(QStringLiteral("featureView"));
}

} // namespace velora::gui
