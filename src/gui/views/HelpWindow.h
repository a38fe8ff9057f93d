#pragma once
// Help by context number: the HTML help pages under help/ beside the program (or the installed data
// folder), opened in one help window at the anchor of the context number.
#include <QDialog>
#include <QTextBrowser>

namespace velora::gui {

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    // Opens (or raises) the help window at a context; no context opens the contents page.
    static void showContext(QWidget* parent, std::optional<int> context);
    static HelpWindow* instance();
    QUrl currentUrl() const { return browser_->source(); }
    static QString helpFolder();

  private:
    explicit HelpWindow(QWidget* parent);
    QTextBrowser* browser_;
};

} // namespace velora::gui
