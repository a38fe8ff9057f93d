#pragma once
// A feature area whose values sit in a two-column grid instead of form fields: a row title in the
// first column and a value chosen from a drop-down list in the second (the key assignment panel, the
// function-port pins). The grid of page p is shown on the area's tab page p. Rows are counted from 0
// without the title row. The GUI grid, printing and `velora-cli fields`/`set` all walk it the same way.
#include <string>
#include <vector>

#include "features/FieldTypes.h"

namespace velora::forms {

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
};

} // namespace velora::forms
