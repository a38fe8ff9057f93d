#pragma once
// The navigation window: the data set's title as root and one item per editor; a double click or
// Enter opens that editor through the main frame.
#include <QDialog>
#include <QTreeWidget>

namespace velora::gui {

struct AppContext;
class MainFrame;

class NavigationTree : public QDialog {
    Q_OBJECT
  public:
    NavigationTree(AppContext& ctx, MainFrame& frame);
    QTreeWidget* tree() const { return tree_; }

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void openItem(QTreeWidgetItem* item);
    MainFrame& frame_;
    QTreeWidget* tree_;
};

} // namespace velora::gui
