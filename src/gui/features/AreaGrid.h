#pragma once
// One page of a grid feature area (key assignment, function-port pins) in the grid control: the row
// titles, the value column, and the in-place list over the value cell that offers the area's choices
// for the row. A choice is stored the moment it is selected; leaving the list ends the edit, which
// lets the area tidy up what lost its last user.
#include <QPointer>

#include "app/TextSource.h"
#include "features/FieldTypes.h"
#include "features/GridArea.h"
#include "grid/CMSFlexGrid.h"

#include <QComboBox>

namespace velora::gui {

class AreaGrid : public CMSFlexGrid {
    Q_OBJECT
  public:
    AreaGrid(forms::GridArea& area, int page, const TextSource& texts, Qt::Alignment titleAlign,
             QWidget* parent = nullptr);

    int page() const { return page_; }
    // Rows for the current configuration, then their texts.
    void rebuild();
    void refreshCells();
    // The area's row of the current cell (0-based), -1 without rows.
    int currentAreaRow() const { return rows() > 1 ? row() - 1 : -1; }
    int currentHelp() const;

    QComboBox* list() const { return list_; }
    bool listOpen() const { return editor() == static_cast<QWidget*>(list_); }
    // Opens the list over the current value cell; `typed` goes on to it, `popup` drops it down.
    bool openList(bool popup = false, const QKeyEvent* typed = nullptr);
    // Ends an open edit (the area's edit-ended rules run); `focusGrid` hands the focus back.
    void closeList(bool focusGrid = true);
    // The grid, its list or a part of either.
    bool owns(const QObject* obj) const;

  signals:
    // What a commit or the end of an edit asks the view to show.
    void changed(const forms::FieldEffects& fx);
    void currentAreaRowChanged(int row);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    void fillList();
    void refreshRow(int row);
    bool listKey(QKeyEvent* k);

    forms::GridArea& area_;
    int page_;
    const TextSource& texts_;
    Qt::Alignment titleAlign_;
    QComboBox* list_;
    int editRow_ = 0;
    bool closing_ = false;
};

} // namespace velora::gui
