#pragma once
// The function port view: the input and output pins on two tabs, each pin's function chosen from an
// in-place list. Its window does not close while the remote-select inputs are out of order.
#include "features/FunctionPort.h"
#include "features/GridFormView.h"

namespace velora::gui {

class CFuncPortView : public GridFormView {
    Q_OBJECT
  public:
    CFuncPortView(AppContext& ctx, EditorHost& frame);

    port::FunctionPortArea& portArea() { return static_cast<port::FunctionPortArea&>(area()); }

    // EditorView
    bool mayClose(bool closingAll) override;
};

} // namespace velora::gui
