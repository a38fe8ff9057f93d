#pragma once
// The test frequency view: the 16 test channels of a model in a grid, receive and transmit frequency
// edited in place, one tab per model on a dual-band data set. Every decision is the core's
// TestFrequencyArea; this widget shows its texts and forwards the user's input. Closing the view
// reminds the user to write the test frequencies to the radio.
#include <QWidget>
#include <optional>

#include "features/TestFrequencyArea.h"
#include "views/AppContext.h"
#include "views/EditorView.h"

class QTabBar;
class QPushButton;

namespace velora::gui {

class AreaGrid;
class CMSFlexGrid;
class FilteredLineEdit;
class EditorHost;

class CTestFreqView : public QWidget, public EditorView {
    Q_OBJECT
  public:
    CTestFreqView(AppContext& ctx, EditorHost& frame, QWidget* parent = nullptr);
    ~CTestFreqView() override;

    // EditorView
    void refreshFromImage() override { refill(); }
    bool handleCommand(int command) override;
    std::optional<int> helpContext() const override;
    bool mayClose(bool closingAll) override;
    void commitPendingEdit() override;

    int model() const;
    void setModel(int model);
    void refill();
    CMSFlexGrid* grid() const;
    FilteredLineEdit* editor() const;
    QTabBar* tabs() const { return tabs_; }
    forms::TestFrequencyArea& area() { return area_; }

    // The view's paste buffer, kept for the run and emptied when a new data set arrives.
    static forms::testfreq::Clip& pasteBuffer();

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    void apply(const forms::FieldEffects& fx);
    void rowCommand(int command);
    void switchTab(bool backwards);

    AppContext& ctx_;
    EditorHost& frame_;
    forms::TestFrequencyArea area_;
    QTabBar* tabs_ = nullptr;
    AreaGrid* grid_ = nullptr;
};

} // namespace velora::gui
