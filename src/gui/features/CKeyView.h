#pragma once
// The key assignment view: a tab per fitted control head, each with the up/down knob list, the key
// grid whose function cells are chosen from an in-place list, and the head's panel picture with
// the key of the current row framed.
#include <vector>

#include "features/GridFormView.h"
#include "features/KeyAssignment.h"

namespace velora::gui {

class PanelPicture;

class CKeyView : public GridFormView {
    Q_OBJECT
  public:
    CKeyView(AppContext& ctx, EditorHost& frame);

    keys::KeyAssignmentArea& keyArea() { return static_cast<keys::KeyAssignmentArea&>(area()); }
    const keys::KeyAssignmentArea& keyArea() const {
        return static_cast<const keys::KeyAssignmentArea&>(featureArea());
    }
    int head() const { return page(); }
    PanelPicture* picture(int head) const;

  protected:
    int fieldHelp(int page, int field) const override;
    void gridShown(int page, bool active) override;

  private:
    std::vector<PanelPicture*> pictures_;
};

} // namespace velora::gui
