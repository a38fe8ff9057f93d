#pragma once
// The group edit view: the settings of the channel information view's current group, rendered by
// the generic form view from the core's group field table.
#include <QWidget>
#include <memory>

#include "channels/GrEditArea.h"
#include "views/AppContext.h"
#include "views/EditorView.h"

namespace velora::gui {

class CFormView;
class EditorHost;

class CGrEditView : public QWidget, public EditorView {
    Q_OBJECT
  public:
    CGrEditView(AppContext& ctx, EditorHost& frame, QWidget* parent = nullptr);
    ~CGrEditView() override;

    void refreshFromImage() override { refreshAll(); }
    bool handleCommand(int command) override;
    std::optional<int> helpContext() const override;
    void commitPendingEdit() override;

    void showGroup(int g);
    void refreshAll();
    CFormView* form() const { return form_; }
    channels::GrEditArea& area() { return area_; }

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    AppContext& ctx_;
    EditorHost& frame_;
    std::unique_ptr<ChannelStore> store_;
    channels::GrEditArea area_;
    CFormView* form_ = nullptr;
};

} // namespace velora::gui
