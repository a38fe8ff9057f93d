#pragma once
// The 2-tone view: the three decode codes on three tabs of one form. A code whose two decoders
// share a format has decoder 2 turned off whenever the view opens or comes to the front.
#include "features/FeatureFormView.h"
#include "features/TwoTone.h"

namespace velora::gui {

class CTwoToneView : public FeatureFormView {
    Q_OBJECT
  public:
    CTwoToneView(AppContext& ctx, EditorHost& frame);
    ~CTwoToneView() override;

    forms::TwoToneArea& toneArea() { return static_cast<forms::TwoToneArea&>(area()); }

  private:
    void resolveFormats();
    QMetaObject::Connection activation_;
};

} // namespace velora::gui
