#pragma once
// A feature editor that is a form and nothing more (scan information, embedded message, optional
// features, ...): the generic form view over a registered area, living in an MDI child window.
// It owns its area, shows changes made elsewhere when it is activated or told to, opens help by
// the focused field and tells the other views what a commit changed.
#include <memory>
#include <optional>
#include <string_view>

#include "app/AppContext.h"
#include "channels/ChannelStore.h"
#include "forms/CFormView.h"
#include "frame/EditorView.h"

namespace velora::gui {

class MainFrame;

class FeatureFormView : public CFormView, public EditorView {
    Q_OBJECT
  public:
    ~FeatureFormView() override;

    // EditorView
    void refreshFromImage() override { refreshAll(); }
    std::optional<int> helpContext() const override;

  protected:
    // `areaName` as the area registry names it ("scan", "options").
    FeatureFormView(AppContext& ctx, MainFrame& frame, std::string_view areaName);

  private:
    // The area and the channel store it may work through, made before the form that shows them.
    struct Owned {
        std::unique_ptr<ChannelStore> store;
        std::unique_ptr<forms::FeatureArea> area;
    };
    static Owned make(AppContext& ctx, std::string_view areaName);
    FeatureFormView(AppContext& ctx, MainFrame& frame, Owned&& owned);

    MainFrame& frame_;
    Owned owned_;
    QMetaObject::Connection activation_;
};

} // namespace velora::gui
