#pragma once
// The grid's keyboard and selection rules, decided without a widget. Coordinates are the grid's
// own: row 0 is the fixed title row, column 0 the fixed first column, data starts at (1, 1).
#include <utility>

namespace velora::grid {

struct GridShape {
    int rows = 1; // including the title row
    int cols = 1; // including the fixed first column
    int lastRow() const { return rows - 1; }
    int lastCol() const { return cols - 1; }
};

struct GridState {
    int row = 1;
    int col = 1;
    int topRow = 1;         // first visible data row
    int rowSelEnd = 1;      // the other end of the row selection
    bool highlight = false; // a row selection is present
    bool selectByRow = false;
};

enum class GridKey { Enter, Left, Right, Up, Down, PageUp, PageDown };

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
};

struct KeyOutcome {
    bool handled = false; // false: the key is not the grid's, leave it to the default handling
    GridState state;
};

// pageSize: fully visible rows from the first visible one, 0 when not known yet.
// wrap: Left/Right continue on the previous/next row at the row ends.
KeyOutcome gridKey(GridShape shape, GridState state, GridKey key, KeyModifiers mods, int pageSize, bool wrap);

// The cell after the current one: next column, else column 1 of the next row; stays on the last cell.
GridState nextCell(GridShape shape, GridState state);
// The cell before the current one: previous column, else the last column of the row above; stays on
// the first cell.
GridState previousCell(GridShape shape, GridState state);

// The selected rows in ascending order, however the selection was made.
std::pair<int, int> selectedRows(const GridState& state);

// A click on the fixed first column selects that row (with Shift, extends to it); a click on a
// data cell goes back to single-cell mode.
GridState clickFixedColumn(GridShape shape, GridState state, int row, bool shift);
GridState clickCell(GridShape shape, GridState state, int row, int col);

} // namespace velora::grid
