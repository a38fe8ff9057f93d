#pragma once
#include <QMdiSubWindow>

namespace velora::gui {

// The MDI child window of an editor: its title follows the view's window title, and a view may
// refuse to close (unless every editor is being closed at once).
class ChildFrame : public QMdiSubWindow {
    Q_OBJECT
  public:
    ChildFrame(QWidget* view, const bool& closingAll);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    const bool& closingAll_;
};

} // namespace velora::gui
