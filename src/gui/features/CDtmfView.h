#pragma once
// The DTMF view: timing and switches, decode settings, and while Auto Dial is on the auto-dial
// codes as a grid whose codes are typed in place; the grid menu copies, pastes and clears codes.
#include <vector>

#include "features/Dtmf.h"
#include "features/GridFormView.h"

namespace velora::gui {

class CDtmfView : public GridFormView {
    Q_OBJECT
  public:
    CDtmfView(AppContext& ctx, EditorHost& frame);

    forms::DtmfArea& dtmfArea() { return static_cast<forms::DtmfArea&>(area()); }
    AreaGrid* autoDialGrid() const { return grid(forms::dtmf::kAutoDialPage); }

  private:
    void rowCommand(int command);
    // Codes copied for the run; a new data set empties it.
    static std::vector<forms::dtmf::AutoDialRecord>& pasteBuffer();
};

} // namespace velora::gui
