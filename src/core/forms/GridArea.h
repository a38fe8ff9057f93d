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

class GridArea {
  public:
    virtual ~GridArea() = default;

    // Message of the value column's title.
    virtual int gridColumnTitle() const = 0;
    // Rows the grid of `page` has in the current configuration.
    virtual int gridRowCount(int page) const = 0;
    // What the row stands for (key position, pin value): stable however the rows are arranged.
    virtual int gridRowId(int page, int row) const = 0;
    // First column: the row's name.
    virtual std::string gridRowTitle(int page, int row) const = 0;
    // Second column: the value's text and the stored value behind it (-1 when there is none).
    virtual FieldText gridCellText(int page, int row) const = 0;
    virtual bool isGridCellEnabled(int, int) const { return true; }
    // The items the in-place list offers for the row now, in order.
    virtual std::vector<ValueItem> gridChoices(int page, int row) const = 0;
    // Stores a chosen item's value; a value not among gridChoices (or -1, no selection) stores nothing.
    virtual FieldEffects commitGridCell(int page, int row, int value) = 0;
    // The in-place list was left. Work that waits for the end of an edit (clearing settings that
    // lost their last user) runs here; a caller committing without a list (scripts) calls it after
    // its commits.
    virtual FieldEffects gridEditEnded(int) { return {}; }
    // Help topic for F1 on the row or its list.
    virtual int gridCellHelp(int page, int row) const = 0;

    // --- Grids with several value columns or typed cells ----------------------------------------
    // Value columns are counted from 1 (column 0 holds the row titles). The defaults describe the
    // single list column above, so a grid of that kind needs none of these.
    virtual int gridColumnCount(int /*page*/) const { return 1; }
    virtual int gridColumnTitleAt(int /*page*/, int /*col*/) const { return gridColumnTitle(); }
    // The column's part of a cell's key ("name" in "ost.1.5.name"); empty: the key names page and row only.
    virtual std::string gridColumnKey(int /*page*/, int /*col*/) const { return {}; }
    virtual FieldText gridCellTextAt(int page, int row, int /*col*/) const { return gridCellText(page, row); }
    virtual bool isGridCellEnabledAt(int page, int row, int /*col*/) const {
        return isGridCellEnabled(page, row);
    }
    virtual CellEditor gridCellEditor(int /*page*/, int /*row*/, int /*col*/) const {
        return CellEditor::List;
    }
    virtual std::vector<ValueItem> gridChoicesAt(int page, int row, int /*col*/) const {
        return gridChoices(page, row);
    }
    virtual FieldEffects commitGridChoice(int page, int row, int /*col*/, int value) {
        return commitGridCell(page, row, value);
    }
    // A combo cell's suggestions, as texts (tones).
    virtual std::vector<std::string> gridTextChoices(int, int, int) const { return {}; }
    // How a typed cell's editor filters and limits what is typed.
    virtual EditFormat gridEditFormat(int, int, int) const { return {}; }
    // A typed cell's text, as its in-place editor holds it when it loses the focus: validated,
    // converted and stored. Texts the cell refuses change nothing.
    virtual FieldEffects commitGridText(int, int, int, std::string_view) { return {}; }
    virtual int gridCellHelpAt(int page, int row, int /*col*/) const { return gridCellHelp(page, row); }
};

} // namespace velora::forms
