#pragma once
// A feature view whose tab pages also carry a grid of the area (key assignment, function port,
// DTMF auto-dial codes, OST entries, channel lists): one AreaGrid per page below the fields (hidden
// on pages without rows), help by the grid's row, and an open in-place edit ended when the page or
// the active window changes. The window wiring is the feature view's.
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "features/FeatureFormView.h"
#include "forms/GridArea.h"

class QHBoxLayout;

namespace velora::gui {

class AreaGrid;
class EditorHost;

class GridFormView : public FeatureFormView {
    Q_OBJECT
  public:
    ~GridFormView() override;

    // EditorView
    void refreshFromImage() override { refreshView(); }
    std::optional<int> helpContext() const override;
    // Grid copy and paste (Ctrl+C, Ctrl+V) act on the current grid's rows, or in its open editor.
    bool handleCommand(int command) override;
    void commitPendingEdit() override;

    int page() const { return currentPage(); }
    const forms::FeatureArea& featureArea() const { return area(); }
    AreaGrid* grid(int page) const;
    AreaGrid* currentGrid() const { return grid(page()); }
    // Ends the list edit of every page.
    void endEdits();
    // The fields, the grids and which tabs show.
    void refreshView();

  protected:
    // The view owns its area; an area with grids is both a feature area and a grid area.
    GridFormView(AppContext& ctx, EditorHost& frame, std::unique_ptr<forms::FeatureArea> area,
                 Qt::Alignment rowTitleAlign);
    // An area as the registry names it ("dtmf", "remote_list"); it must be a grid area too.
    GridFormView(AppContext& ctx, EditorHost& frame, std::string_view areaName, Qt::Alignment rowTitleAlign);

    // The row below a page's fields that holds its grid; a view may add beside it.
    QHBoxLayout* gridRow(int page) const;
    // Help topic of a field with the focus.
    virtual int fieldHelp(int page, int field) const;
    // The grid's current row moved, a value changed, or the view was (de)activated.
    virtual void gridShown(int /*page*/, bool /*active*/) {}

    bool eventFilter(QObject* obj, QEvent* e) override;
    void windowActivated(bool active) override;

  private:
    void buildGrids(Qt::Alignment rowTitleAlign);
    void apply(const forms::FieldEffects& fx);

    forms::GridArea& gridArea_;
    std::vector<AreaGrid*> grids_;
    std::vector<QHBoxLayout*> rows_;
    bool active_ = false;
};

} // namespace velora::gui
