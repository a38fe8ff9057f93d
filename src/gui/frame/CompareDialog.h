#pragma once
// File > Compare with File... lists how another data file differs from the data set being edited, in
// the words of `velora-cli diff`; File > Open Radio History... opens the folder where every read
// from a radio is kept.
#include <QDialog>
#include <QListWidget>
#include <optional>
#include <string>
#include <vector>

#include "views/AppContext.h"

class QMenu;

namespace velora::gui {

class MainFrame;

// Language texts of the two menu items and the dialog.
inline constexpr int kTextCompareMenu = 568;
inline constexpr int kTextHistoryMenu = 569;
inline constexpr int kTextCompareTitle = 571;

class CompareDialog : public QDialog {
    Q_OBJECT
  public:
    CompareDialog(AppContext& ctx, const QString& file, const std::vector<std::string>& lines,
                  QWidget* parent);
    QListWidget* list() const { return list_; }

  private:
    QListWidget* list_;
};

// The comparison lines of the working copy (before) with the data file at `path` (after); nothing
// when the file cannot be opened (the reason was shown).
std::optional<std::vector<std::string>> compareWithFile(AppContext& ctx, const std::string& path);

// Adds the two items below File > Open.
void addFileMenuExtras(MainFrame& frame, QMenu* menu);

// Open Radio History: File > Open with the history folder as the dialog's folder.
void openRadioHistory(MainFrame& frame);

} // namespace velora::gui
