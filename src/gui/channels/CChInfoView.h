#pragma once
// The channel information view: one group as a grid with a row per channel number, edited in place,
// with group stepping, row copy / paste / delete, and the channel functions. Every decision is the
// core's ChInfoLogic; this widget shows its texts and forwards the user's input.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "channels/ChInfoLogic.h"
#include "views/AppContext.h"
#include "views/EditorView.h"

class QComboBox;
class QLabel;
class QMenuBar;
class QPushButton;

namespace velora::gui {

class CMSFlexGrid;
class FilteredLineEdit;
class EditorHost;

class CChInfoView : public QWidget, public EditorView {
    Q_OBJECT
  public:
    CChInfoView(AppContext& ctx, EditorHost& frame, QWidget* parent = nullptr);
    ~CChInfoView() override;

    // EditorView
    void refreshFromImage() override { refreshAll(); }
    bool handleCommand(int command) override;
    std::optional<int> helpContext() const override;
    void commitPendingEdit() override { closeEditor(true); }

    int group() const { return logic_.group(); }
    int channel() const { return logic_.channel(); }
    void setGroup(int g);
    // Makes the channel's row current and scrolls it into view.
    void setChannel(int c);
    void refreshAll();
    void refreshRow(int row);
    void refreshFreeArea();
    void refreshGroupName();

    CMSFlexGrid* grid() const { return grid_; }
    FilteredLineEdit* textEditor() const { return textEdit_; }
    // Made on first use: see makeToneEditor().
    QComboBox* toneEditor();
    QComboBox* choiceEditor() const { return choiceEdit_; }
    QLabel* freeAreaLabel() const { return freeArea_; }
    QLabel* groupNameLabel() const { return groupName_; }
    QMenuBar* menuBar() const { return menuBar_; }
    channels::ChInfoLogic& logic() { return logic_; }

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void buildMenu();
    QComboBox* makeToneEditor();
    void updateTitle();
    void apply(const channels::ChInfoRefresh& r, int row);
    // Opens the editor of the current cell; `typed` lands in it, `empty` clears it.
    bool startEditing(const QKeyEvent* typed = nullptr, bool empty = false);
    void commitEditor();
    void closeEditor(bool commit);
    bool gridKey(QKeyEvent* k);
    bool editorKey(QKeyEvent* k);
    void onCellChanged(int row, int col);
    void onMouseDown(Qt::MouseButton b, int row, int col);
    void runDialog(int command);
    void rowCommand(int command);
    void openView(int command);
    void showHelp(int topic);

    AppContext& ctx_;
    EditorHost& frame_;
    std::unique_ptr<ChannelStore> store_;
    channels::ChInfoLogic logic_;

    QMenuBar* menuBar_ = nullptr;
    CMSFlexGrid* grid_ = nullptr;
    FilteredLineEdit* textEdit_ = nullptr;
    QComboBox* toneEdit_ = nullptr;
    QComboBox* choiceEdit_ = nullptr;
    QLabel* freeArea_ = nullptr;
    QLabel* groupName_ = nullptr;
    QPushButton* channelEditButton_ = nullptr;
    QPushButton* groupEditButton_ = nullptr;

    int editRow_ = 0; // the cell the open editor belongs to
    int editCol_ = 0;
    bool committing_ = false;
    bool cancelling_ = false;
};

} // namespace velora::gui
