#pragma once
// The scan information view: priority channels and their group/channel pairs, scan times, revert
// channel and the scan switches, on one page.
#include "features/FeatureFormView.h"

namespace velora::gui {

class CScanInfoView : public FeatureFormView {
    Q_OBJECT
  public:
    CScanInfoView(AppContext& ctx, EditorHost& frame);
};

} // namespace velora::gui
