#pragma once
// The operator selectable tone view: the OST settings and the grid of sixteen entries, names typed
// in place and tones typed or chosen; the grid menu copies, pastes and clears entries.
#include <vector>

#include "features/GridFormView.h"
#include "features/OperatorTone.h"

namespace velora::gui {

class COstView : public GridFormView {
    Q_OBJECT
  public:
    COstView(AppContext& ctx, EditorHost& frame);

    forms::OperatorToneArea& toneArea() { return static_cast<forms::OperatorToneArea&>(area()); }

  private:
    void rowCommand(int command);
    // Entries copied for the run; a new data set empties it.
    static std::vector<forms::ost::Entry>& pasteBuffer();
};

} // namespace velora::gui
