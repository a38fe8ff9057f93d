#pragma once
// The Dravix view: own fleet and ID, data transmit modulation delay and side tone on one page.
#include "features/FeatureFormView.h"

namespace velora::gui {

class CDravixView : public FeatureFormView {
    Q_OBJECT
  public:
    CDravixView(AppContext& ctx, EditorHost& frame);
};

} // namespace velora::gui
