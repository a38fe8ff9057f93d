#include "features/CScanInfoView.h"

namespace velora::gui {

CScanInfoView::CScanInfoView(AppContext& ctx, EditorHost& frame) : FeatureFormView(ctx, frame, "scan") {
    setObjectName(QStringLiteral("scanInfoView"));
}

} // namespace velora::gui
