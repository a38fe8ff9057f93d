#pragma once
// The optional features view: radio-wide options on two tab pages; shown again when channel, group,
// key or function-port data change elsewhere.
#include "features/FeatureFormView.h"

namespace velora::gui {

class CFeatureView : public FeatureFormView {
    Q_OBJECT
  public:
    CFeatureView(AppContext& ctx, EditorHost& frame);
};

} // namespace velora::gui
