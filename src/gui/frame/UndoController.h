#pragma once
// Edit > Undo and Redo for the data set. Every user action that changes the working copy becomes
// one step: when the event loop goes idle after the action (no modal dialog or message box left
// open), any change since the last step is recorded under the name the editors gave it, or the
// active editor's title. Undo and redo restore the snapshot and show it in every open view.
#include <QObject>
#include <QString>

#include "dataset/UndoHistory.h"

class QAction;

namespace velora {
class TextSource;
}

namespace velora::gui {

struct AppContext;
class MainFrame;

inline constexpr int kTextUndo = 572;
inline constexpr int kTextRedo = 573;

class UndoController : public QObject {
    Q_OBJECT
  public:
    UndoController(AppContext& ctx, MainFrame& frame);
    ~UndoController() override;

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    const UndoHistory& history() const { return history_; }

    // Names the step the current action makes; the first name given before the step is recorded
    // wins, so an outer command (Paste) is not renamed by the cell commits it runs.
    void describe(const QString& what);
    // Records the change since the last step, if any, as one step.
    void checkpoint();
    // A fresh history for a new data set (New, Open, Read from Radio).
    void reset();
    // What saving or a write changed in the working copy (padded names, version marks), and the name
    // a save gave the file, are no step of their own.
    void rebase();
    void undo();
    void redo();

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void idle();
    void restore(bool redo);
    void updateActions();
    QString fallbackName() const;

    AppContext& ctx_;
    MainFrame& frame_;
    UndoHistory history_;
    QString pendingName_;
    QAction* undo_;
    QAction* redo_;
};

} // namespace velora::gui
