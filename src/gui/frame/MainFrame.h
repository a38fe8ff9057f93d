#pragma once
// The main window: menus, toolbar and status bar from the core's command tables, one MDI child
// window per editor, the navigation tree, the File commands, and the radio and model dialogs.
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "dataset/FileCommands.h"
#include "frame/NavigationTree.h"
#include "views/AppContext.h"
#include "views/EditorHost.h"
#include "views/EditorRegistry.h"

class QMenu;

namespace velora::gui {

class UndoController;

class MainFrame : public QMainWindow, public EditorHost {
    Q_OBJECT
  public:
    MainFrame(AppContext& ctx, const EditorRegistry& registry, QWidget* parent = nullptr);
    ~MainFrame() override;

    AppContext& context() { return ctx_; }

    // Runs a command as the menu would (editors, dialogs, File commands).
    void runCommand(int command);
    QAction* action(int command) const override;
    bool isCommandAvailable(int command) const;

    void openEditor(int command) override;
    QMdiSubWindow* editorWindow(int command) const override;
    void closeAllEditors();
    void refreshViews() override;
    void refreshOtherViews(unsigned views) override;
    void identificationChanged() override;
    void showHelpTopic(int topic) override;
    QWidget* hostWindow() override { return this; }
    QMetaObject::Connection onGridClipboardDiscarded(QObject* receiver, std::function<void()> f) override;
    // What was typed into an open editor's field or cell goes into the data set, as leaving it would
    // store it. Every command that reads or replaces the data set calls this first.
    void commitPendingEdit();
    void updateTitle();
    void rebuildMenus();
    void updatePortPane();
    QLabel* portPane() const { return portPane_; }
    NavigationTree* navigationTree() const { return tree_; }
    QMdiArea* mdiArea() const override { return mdi_; }
    UndoController& undoController() const { return *undo_; }
    // Shows a data set that undo or redo restored; a restored model identification rebuilds the
    // window as Model Information does (the caller has closed the editors).
    void showRestoredDataSet(bool modelChanged);

    // A radio transfer runs on this thread between begin and end; a close request meanwhile is
    // held back and carried out when the transfer has ended.
    void beginTransfer() override;
    void endTransfer() override;
    bool transferRunning() const { return transfers_ > 0; }
    bool closeDeferred() const { return closeDeferred_; }

    // The file dialogs; tests replace them.
    using OpenChooser = std::function<std::optional<std::string>(const std::string& folder)>;
    using SaveChooser =
        std::function<std::optional<std::string>(const std::string& folder, const std::string& name)>;
    void setFileChoosers(OpenChooser open, SaveChooser save);
    FileCommands& fileCommands() { return *files_; }
    // Opens a data file without the dialog (the command line, File > Recent Files); a file that
    // cannot be read leaves the data set as it was, with its editor open.
    void openFile(const std::string& path);

    // The window's placement as stored at exit (a minimised window keeps the state it returns to).
    void storePlacement();
    void restorePlacement();

  signals:
    // The grid clipboard no longer fits the data set (new model configuration, new data set).
    void gridClipboardDiscarded();
    void editorsChanged();
    // The title was brought up to date with the data set: a new one, another model or file name.
    void dataSetShown();

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    class FileDialogs;
    void createActions();
    void createToolBar();
    void createStatusBar();
    void updateClock();
    void updateCommandStates();
    void afterNewDataSet();
    void doModelInformation();
    void doReadRadio();
    void doWriteRadio();
    void doCommPort();
    void openTree();
    void tile(Qt::Orientation stacking);
    void showHelp(int command);
    void addRecentFilesMenu(QMenu* file);
    void openRecentFile(const std::string& path);
    // The data file just opened or saved heads File > Recent Files.
    void rememberFile();

    AppContext& ctx_;
    const EditorRegistry& registry_;
    std::unique_ptr<FileDialogs> fileUi_;
    std::unique_ptr<FileCommands> files_;
    QMdiArea* mdi_;
    std::map<int, QAction*> actions_;
    QLabel* portPane_ = nullptr;
    QLabel* datePane_ = nullptr;
    QLabel* timePane_ = nullptr;
    QTimer clock_;
    QPointer<NavigationTree> tree_;
    UndoController* undo_ = nullptr;
    bool closingAll_ = false;
    bool exitConfirmed_ = false;
    int transfers_ = 0;
    bool closeDeferred_ = false;
    bool maximisedBeforeMinimise_ = false;
};

} // namespace velora::gui
