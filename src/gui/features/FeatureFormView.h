#pragma once
// A feature editor built on the generic form view, living in an MDI child window (scan
// information, embedded message, optional features, the channel edit view, and with grids below
// the fields the GridFormView editors). It owns its area, shows changes made elsewhere when it is
// activated or told to, opens help by the focused field, closes its window and tells the other
// views what a commit changed.
#include <memory>
#include <optional>
#include <string_view>

#include "channels/ChannelStore.h"
#include "forms/CFormView.h"
#include "views/AppContext.h"
#include "views/EditorView.h"

namespace velora::gui {

class EditorHost;

class FeatureFormView : public CFormView, public EditorView {
    Q_OBJECT
  public:
    ~FeatureFormView() override;

    // EditorView
    void refreshFromImage() override { refreshAll(); }
    std::optional<int> helpContext() const override;
    void commitPendingEdit() override { commitFocused(); }

  protected:
    // `areaName` as the area registry names it ("scan", "options").
    FeatureFormView(AppContext& ctx, EditorHost& frame, std::string_view areaName);
    // An area the view makes itself, with the channel store it works through (if any); the store
    // outlives the area.
    FeatureFormView(AppContext& ctx, EditorHost& frame, std::unique_ptr<forms::FeatureArea> area,
                    std::unique_ptr<ChannelStore> store = nullptr);

    // The MDI area activated a window, this view's (`active`) or another one.
    virtual void windowActivated(bool active);
    // Other open views show what a change here concerns (forms::views bits).
    virtual void refreshOthers(unsigned views);
    // Nothing may reach the area any more: called first by every destructor down the line.
    void detach();

    AppContext& ctx_;
    EditorHost& frame_;

  private:
    // The area and the channel store it may work through, made before the form that shows them.
    struct Owned {
        std::unique_ptr<ChannelStore> store;
        std::unique_ptr<forms::FeatureArea> area;
    };
    static Owned make(AppContext& ctx, std::string_view areaName);
    FeatureFormView(AppContext& ctx, EditorHost& frame, Owned&& owned);

    Owned owned_;
    QMetaObject::Connection activation_;
};

} // namespace velora::gui
