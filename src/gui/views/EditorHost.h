#pragma once
// What an editor asks of the window that holds it: the other editors' windows and the commands,
// telling open views to show a change, help, and holding off a close while a radio transfer runs.
// The main frame implements it, so editors never depend on the frame that assembles them.
#include <QMetaObject>
#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QObject;
class QWidget;

namespace velora::gui {

class EditorHost {
  public:
    // The window that parents the editors' dialogs and the help window.
    virtual QWidget* hostWindow() = 0;
    virtual QMdiArea* mdiArea() const = 0;
    virtual QAction* action(int command) const = 0;
    virtual QMdiSubWindow* editorWindow(int command) const = 0;
    virtual void openEditor(int command) = 0;

    // Shows the working copy again in every open view, or in the views named by forms::views bits.
    virtual void refreshViews() = 0;
    virtual void refreshOtherViews(unsigned views) = 0;
    // The model identification changed: title and menus follow it.
    virtual void identificationChanged() = 0;
    virtual void showHelpTopic(int topic) = 0;

    // A radio transfer runs on this thread between begin and end; a close request waits for it.
    virtual void beginTransfer() = 0;
    virtual void endTransfer() = 0;

    // Calls `f` (in `receiver`'s lifetime) whenever the grid clipboard no longer fits the data set.
    virtual QMetaObject::Connection onGridClipboardDiscarded(QObject* receiver, std::function<void()> f) = 0;

  protected:
    ~EditorHost() = default;
};

} // namespace velora::gui
