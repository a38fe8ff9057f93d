#pragma once
// The emergency information view: emergency group/channel, times, locator tones, mode and type and
// what the type calls, on one page. It tells the user when no key holds the emergency function.
#include "features/Emergency.h"
#include "features/FeatureFormView.h"

namespace velora::gui {

class CEmerView : public FeatureFormView {
    Q_OBJECT
  public:
    CEmerView(AppContext& ctx, EditorHost& frame);

    forms::EmergencyArea& emergencyArea() { return static_cast<forms::EmergencyArea&>(area()); }
};

} // namespace velora::gui
