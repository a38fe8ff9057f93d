#pragma once
// The embedded message view: two free lines of text stored with the data set, in the fixed-pitch
// font, each edit as wide as its 32 characters.
#include "features/FeatureFormView.h"

namespace velora::gui {

class CEmbView : public FeatureFormView {
    Q_OBJECT
  public:
    CEmbView(AppContext& ctx, EditorHost& frame);
};

} // namespace velora::gui
