#pragma once
// The channel edit view: every setting of the grid's current channel as a form. It follows the
// channel information view, and moving to another group or channel here moves the grid.
#include "channels/ChEditArea.h"
#include "features/FeatureFormView.h"

namespace velora::gui {

class CChEditView : public FeatureFormView {
    Q_OBJECT
  public:
    CChEditView(AppContext& ctx, EditorHost& frame);

    bool handleCommand(int command) override;

    // Shows another channel (the grid moved).
    void follow(int g, int c);
    // The narrow-band rule runs first, so a restricted wide channel shows as narrow.
    void refreshAll() override;

    channels::ChEditArea& area() { return static_cast<channels::ChEditArea&>(CFormView::area()); }
    QWidget* valueWidget(int field) const { return CFormView::valueWidget(0, field); }
    FilteredLineEdit* edit(int field) const { return lineEdit(0, field); }
    SpinButtons* spin(int field) const { return spinButtons(0, field); }

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void windowActivated(bool active) override;
    void refreshOthers(unsigned views) override;

  private:
    struct Parts {
        std::unique_ptr<ChannelStore> store;
        std::unique_ptr<channels::ChEditArea> area;
    };
    static Parts make(AppContext& ctx, EditorHost& frame);
    CChEditView(AppContext& ctx, EditorHost& frame, Parts&& parts);
    void takeGridChannel();

    bool movingGrid_ = false; // the grid following this view must not send it back
};

} // namespace velora::gui
