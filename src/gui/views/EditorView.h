#pragma once
// What the main frame asks of an editor view. A view is a QWidget that also derives from this;
// every hook has a sensible default so a simple view only builds its widgets.
#include <optional>

namespace velora::gui {

class EditorView {
  public:
    virtual ~EditorView() = default;
    // Fill the controls again from the working copy (after a change another editor made).
    virtual void refreshFromImage() {}
    // Commands without a menu item (grid copy and paste, channel functions); true when handled.
    virtual bool handleCommand(int /*command*/) { return false; }
    // Help context for F1 while the view is active.
    virtual std::optional<int> helpContext() const { return std::nullopt; }
    // Whether the frame may close now; closingAll is set while every editor is being closed at once.
    virtual bool mayClose(bool /*closingAll*/) { return true; }
    // What was typed into the view's open field or cell goes into the data set now, as leaving it
    // would store it: a command is about to read or replace the data set.
    virtual void commitPendingEdit() {}
};

} // namespace velora::gui
