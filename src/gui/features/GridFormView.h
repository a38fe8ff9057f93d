#pragma once
// A form view whose tab pages also carry a grid of the area (key assignment, function port, DTMF
// auto-dial codes, OST entries, channel lists): the generic form view for the fields, Close and
// Help, one AreaGrid per page below the fields (hidden on pages without rows), and what such an
// editor does as an MDI child: help by focus, refreshing the views a change concerns, ending an
// open in-place edit when the page or the active window changes.
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "channels/ChannelStore.h"
#include "features/GridArea.h"
#include "forms/CFormView.h"
#include "frame/EditorView.h"

class QHBoxLayout;

namespace velora::gui {

class AreaGrid;
class MainFrame;

class GridFormView : public CFormView, public EditorView {
    Q_OBJECT
  public:
    ~GridFormView() override;

    // EditorView
    void refreshFromImage() override { refreshView(); }
    std::optional<int> helpContext() const override;
    // Grid copy and paste (Ctrl+C, Ctrl+V) act on the current grid's rows, or in its open editor.
    bool handleCommand(int command) override;

    int page() const { return currentPage(); }
    const forms::FeatureArea& featureArea() const { return *owned_; }
    AreaGrid* grid(int page) const;
    AreaGrid* currentGrid() const { return grid(page()); }
    // Ends the list edit of every page.
    void endEdits();
    // The fields, the grids and which tabs show.
    void refreshView();

  protected:
    // The view owns its area; an area with grids is both a feature area and a grid area.
    template <class Area>
    GridFormView(AppContext& ctx, MainFrame& frame, std::unique_ptr<Area>&& area, Qt::Alignment rowTitleAlign)
        : CFormView(*area, ctx.texts, ctx.fixedFont), ctx_(ctx), frame_(frame), gridArea_(*area),
          owned_(std::move(area)) {
        buildGrids(rowTitleAlign);
    }
    // An area as the registry names it ("dtmf", "remote_list"), made with the channel store it
    // may work through; it must be a grid area too.
    GridFormView(AppContext& ctx, MainFrame& frame, std::string_view areaName, Qt::Alignment rowTitleAlign);

    // The row below a page's fields that holds its grid; a view may add beside it.
    QHBoxLayout* gridRow(int page) const;
    // Help topic of a field with the focus.
    virtual int fieldHelp(int page, int field) const;
    // The grid's current row moved, a value changed, or the view was (de)activated.
    virtual void gridShown(int /*page*/, bool /*active*/) {}

    bool eventFilter(QObject* obj, QEvent* e) override;

    AppContext& ctx_;
    MainFrame& frame_;

  private:
    struct Owned {
        std::unique_ptr<ChannelStore> store;
        std::unique_ptr<forms::FeatureArea> area;
        forms::GridArea* grid = nullptr;
    };
    static Owned make(AppContext& ctx, std::string_view areaName);
    GridFormView(AppContext& ctx, MainFrame& frame, Owned&& owned, Qt::Alignment rowTitleAlign);
    void buildGrids(Qt::Alignment rowTitleAlign);
    void refreshOthers(unsigned views);
    void apply(const forms::FieldEffects& fx);
    void onActivated(bool active);

    forms::GridArea& gridArea_;
    std::unique_ptr<ChannelStore> store_; // outlives the area that works through it
    std::unique_ptr<forms::FeatureArea> owned_;
    std::vector<AreaGrid*> grids_;
    std::vector<QHBoxLayout*> rows_;
    QMetaObject::Connection activation_;
    bool active_ = false;
};

} // namespace velora::gui
