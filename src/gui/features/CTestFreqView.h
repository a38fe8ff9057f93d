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
    void commitPendingEdit() override { closeEditor(true); }

    int model() const;
    void setModel(int model);
    void refill();
    CMSFlexGrid* grid() const { return grid_; }
    FilteredLineEdit* editor() const { return edit_; }
    QTabBar* tabs() const { return tabs_; }
    forms::TestFrequencyArea& area() { return area_; }

    // The view's paste buffer, kept for the run and emptied when a new data set arrives.
    static forms::testfreq::Clip& pasteBuffer();

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    void refreshRow(int row);
    void apply(const forms::FieldEffects& fx, int row);
    // Opens the editor of the current cell; `typed` lands in it, `empty` clears it. Enter opens no
    // editor on a transmit cell that waits for its receive frequency.
    bool startEditing(const QKeyEvent* typed = nullptr, bool empty = false, bool byEnter = false);
    void commitEditor();
    void closeEditor(bool commit);
    bool gridKey(QKeyEvent* k);
    bool editorKey(QKeyEvent* k);
    void rowCommand(int command);
    void switchTab(bool backwards);

    AppContext& ctx_;
    EditorHost& frame_;
    forms::TestFrequencyArea area_;
    QTabBar* tabs_ = nullptr;
    CMSFlexGrid* grid_ = nullptr;
    FilteredLineEdit* edit_ = nullptr;
    int editRow_ = 0;
    int editCol_ = 0;
    bool committing_ = false;
    bool cancelling_ = false;
};

} // namespace velora::gui
