#pragma once
// File > Compare with File... lists how the data set being edited differs from another data file
// (the file before, the data set after), in the words of `velora-cli diff`, with what opening the
// file said as notes about it; File > Open Radio History... opens the folder where every read
// from a radio is kept.
#include <QDialog>
#include <QListWidget>

#include "views/AppContext.h"
#include "dataset/DataSetDiff.h"
#include "views/AppContext.h"

class QLabel;
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
    CompareDialog(AppContext& ctx, const QString& file, const FileComparison& comparison, QWidget* parent);
    QLabel* sides() const { return sides_; }
    QListWidget* list() const { return list_; } // the notes, then the differences

  private:
    QLabel* sides_;
    QListWidget* list_;
};

// Adds the two items below File > Open.
void addFileMenuExtras(MainFrame& frame, QMenu* menu);

// Open Radio History: File > Open with the history folder as the dialog's folder.
void openRadioHistory(MainFrame& frame);

} // namespace velora::gui
