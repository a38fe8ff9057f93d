#pragma once
// One page of a grid feature area in the grid control: the row titles, the area's value columns,
// and the in-place editor the area names for a cell: a list of the area's choices (stored the
// moment one is selected), a filtered text edit, or an editable tone combo whose typed text is
// taken as typed. Typed cells are stored when their editor is left; leaving any editor ends the
// edit, which lets the area tidy up what lost its last user.
#include <QPointer>

#include "base/TextSource.h"
#include "forms/FieldTypes.h"
#include "forms/GridArea.h"
#include "grid/CMSFlexGrid.h"

#include <QComboBox>

namespace velora::gui {

class FilteredLineEdit;

class AreaGrid : public CMSFlexGrid {
    Q_OBJECT
  public:
    AreaGrid(forms::GridArea& area, int page, const TextSource& texts, Qt::Alignment titleAlign,
             const QFont& fixedFont, QWidget* parent = nullptr);

    int page() const { return page_; }
    // Shows another page of the area in this grid (one grid under tabs); an open edit is stored first.
    void setPage(int page);
    // Off: cells that cannot be edited now look like the others, and the view names its undo steps.
    void setShadeDisabledCells(bool on) { shadeDisabled_ = on; }
    void setNamesUndoSteps(bool on) { namesUndoSteps_ = on; }
    // Rows for the current configuration, then their texts. A page without rows hides its grid.
    void rebuild();
    void refreshCells();
    bool hasRows() const { return rows() > 1; }
    // The title over the row titles (a message number), for grids whose rows are numbered.
    void setRowTitleCaption(int text);
    // The grid menu (copy, paste, clear) and Delete on a row selection send `command`.
    void enableRowCommands(std::function<bool()> pasteAvailable);
    bool hasRowCommands() const { return rowCommands_; }
    void setDecimalPoint(char point) { point_ = point; }
    // The area's row of the current cell (0-based), -1 without rows.
    int currentAreaRow() const { return rows() > 1 ? row() - 1 : -1; }
    // The area's rows a row command works on: the selected ones (none without a selection), and
    // where a paste starts: the first selected row, else the current one.
    std::vector<int> selectedAreaRows() const;
    int pasteAreaRow() const { return (hasRowSelection() ? selectedRows().first : row()) - 1; }
    int currentHelp() const;

    QComboBox* list() const { return list_; }
    FilteredLineEdit* textEditor() const { return edit_; }
    QComboBox* toneCombo() const { return combo_; }
    // Any in-place editor is open; listOpen: the choice list.
    bool editing() const { return editor() != nullptr; }
    bool listOpen() const { return editor() == static_cast<QWidget*>(list_); }
    // Opens the current cell's editor; `typed` goes on to it, `popup` drops a list down.
    bool openList(bool popup = false, const QKeyEvent* typed = nullptr) {
        return openEditor(popup ? Open::Popup : Open::Click, typed);
    }
    enum class Open { Click, Enter, Popup, Typed, Empty };
    bool openEditor(Open how, const QKeyEvent* typed = nullptr);
    // Ends an open edit: a typed cell is stored unless `commit` is false (Escape), and the area's
    // edit-ended rules run; `focusGrid` hands the focus back.
    void closeEditor(bool focusGrid = true, bool commit = true);
    // The grid, its editors or a part of one.
    bool owns(const QObject* obj) const;

  signals:
    // What a commit or the end of an edit asks the view to show.
    void changed(const forms::FieldEffects& fx);
    void currentAreaRowChanged(int row);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    // A Tab queued for the grid before its editor took the focus ends the edit like one in the editor.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    void setColumnWidths(int rowCount);
    void fillList();
    void fillCombo(int r, int c);
    void refreshRow(int row);
    forms::FieldEffects commitText();
    QLineEdit* typedEdit() const;
    bool editorKey(QKeyEvent* k);
    // Ends the edit (storing what was typed) and moves to the next (+1) or previous (-1) cell.
    void commitAndMove(int direction);
    bool isEditorPart(const QObject* obj) const;

    forms::GridArea& area_;
    int page_;
    const TextSource& texts_;
    Qt::Alignment titleAlign_;
    QComboBox* list_;
    FilteredLineEdit* edit_;
    QComboBox* combo_;
    QStringList comboItems_;
    int titleCaption_ = 0;
    int editRow_ = 0;
    int editCol_ = 0;
    char point_ = '.';
    bool rowCommands_ = false;
    bool shadeDisabled_ = true;
    bool namesUndoSteps_ = true;
    bool closing_ = false;
    bool committing_ = false;
};

} // namespace velora::gui
