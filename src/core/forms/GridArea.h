#pragma once
// A feature area whose values sit in a two-column grid instead of form fields: a row title in the
// first column and a value chosen from a drop-down list in the second (the key assignment panel, the
// function-port pins). The grid of page p is shown on the area's tab page p. Rows are counted from 0
// without the title row. The GUI grid, printing and `velora-cli fields`/`set` all walk it the same way.
#include <string>
#include <string_view>
#include <vector>

#include "forms/FieldTypes.h"

namespace velora::forms {

// How a cell's in-place editor takes its value.
enum class CellEditor : std::uint8_t {
    List,  // a drop-down list of gridChoicesAt, committed by commitGridChoice
    Text,  // typed text, committed by commitGridText
    Combo, // typed text with suggestions (gridTextChoices), committed by commitGridText
};

// The value column of a grid that has only one.
inline constexpr int kValueColumn = 1;

class GridArea {
  public:
    virtual ~GridArea() = default;

    // Value columns are counted from 1 (column 0 holds the row titles).
    virtual int gridColumnCount(int /*page*/) const { return 1; }
    // Message of a value column's title.
    virtual int gridColumnTitleAt(int page, int col) const = 0;
    // The column's part of a cell's key ("name" in "ost.1.5.name"); empty: the key names page and row only.
    virtual std::string gridColumnKey(int /*page*/, int /*col*/) const { return {}; }
    // Rows the grid of `page` has in the current configuration.
    virtual int gridRowCount(int page) const = 0;
    // What the row stands for (key position, pin value): stable however the rows are arranged.
    virtual int gridRowId(int page, int row) const = 0;
    // First column: the row's name.
    virtual std::string gridRowTitle(int page, int row) const = 0;
    // A value cell's text and the stored value behind it (-1 when there is none).
    virtual FieldText gridCellTextAt(int page, int row, int col) const = 0;
    virtual bool isGridCellEnabledAt(int /*page*/, int /*row*/, int /*col*/) const { return true; }
    virtual CellEditor gridCellEditor(int /*page*/, int /*row*/, int /*col*/) const {
        return CellEditor::List;
    }
    // Help topic for F1 on the cell or its editor.
    virtual int gridCellHelpAt(int page, int row, int col) const = 0;

    // List cells: the items the in-place list offers now, in order, and storing a chosen item's value.
    // A value not among the choices (or -1, no selection) stores nothing.
    virtual std::vector<ValueItem> gridChoicesAt(int, int, int) const { return {}; }
    virtual FieldEffects commitGridChoice(int, int, int, int /*value*/) { return {}; }
    // The in-place list was left. Work that waits for the end of an edit (clearing settings that
    // lost their last user) runs here; a caller committing without a list (scripts) calls it after
    // its commits.
    virtual FieldEffects gridEditEnded(int) { return {}; }

    // Typed cells: a combo cell's suggestions, as texts (tones), and how the editor filters and
    // limits what is typed.
    virtual std::vector<std::string> gridTextChoices(int, int, int) const { return {}; }
    virtual EditFormat gridEditFormat(int, int, int) const { return {}; }
    // A typed cell's text, as its in-place editor holds it when it loses the focus: validated,
    // converted and stored. Texts the cell refuses change nothing.
    virtual FieldEffects commitGridText(int, int, int, std::string_view) { return {}; }
};

// The cell an edit of (row, col) opens in: the cell itself, or for a cell that waits for another (a
// channel without its group, a transmit frequency without its receive frequency) the nearest
// editable cell before it in the row; 0 when there is none.
inline int editableColumn(const GridArea& area, int page, int row, int col) {
    while (col >= 1 && !area.isGridCellEnabledAt(page, row, col))
        --col;
    return col;
}

} // namespace velora::forms
