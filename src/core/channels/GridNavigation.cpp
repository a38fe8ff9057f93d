#include "channels/GridNavigation.h"

#include <algorithm>

namespace velora::grid {

namespace {
GridState freeSelection(GridState s) {
    s.highlight = false;
    s.selectByRow = false;
    s.rowSelEnd = s.row;
    return s;
}
int clampRow(GridShape shape, int r) {
    return std::clamp(r, 1, std::max(1, shape.lastRow()));
}
} // namespace

GridState nextCell(GridShape shape, GridState s) {
    if (s.col < shape.lastCol()) {
        ++s.col;
    } else if (s.row < shape.lastRow()) {
        ++s.row;
        s.col = 1;
    }
    return s;
}

GridState previousCell(GridShape shape, GridState s) {
    if (s.col > 1) {
        --s.col;
    } else if (s.row > 1) {
        --s.row;
        s.col = shape.lastCol();
    }
    return s;
}

std::pair<int, int> selectedRows(const GridState& s) {
    return std::minmax(s.row, s.rowSelEnd);
}

KeyOutcome gridKey(GridShape shape, GridState s, GridKey key, KeyModifiers mods, int pageSize, bool wrap) {
    switch (key) {
    case GridKey::Enter:
        // With Ctrl or Shift held the grid stays where it is.
        if (mods.shift || mods.ctrl) return {true, s};
        return {true, freeSelection(nextCell(shape, s))};
    case GridKey::PageUp:
    case GridKey::PageDown: {
        if (mods.ctrl || pageSize <= 0) return {false, s};
        int delta = key == GridKey::PageUp ? -pageSize : pageSize;
        s.topRow = clampRow(shape, s.topRow + delta);
        s.row = clampRow(shape, s.row + delta);
        return {true, freeSelection(s)};
    }
    case GridKey::Left:
        if (wrap && !mods.shift && s.col == 1 && s.row > 1) {
            --s.row;
            s.col = shape.lastCol();
        } else if (s.col > 1) {
            --s.col;
        }
        return {true, freeSelection(s)};
    case GridKey::Right:
        if (wrap && !mods.shift && s.col == shape.lastCol() && s.row < shape.lastRow()) {
            ++s.row;
            s.col = 1;
        } else if (s.col < shape.lastCol()) {
            ++s.col;
        }
        return {true, freeSelection(s)};
    case GridKey::Up:
    case GridKey::Down: {
        int delta = key == GridKey::Up ? -1 : 1;
        if (mods.shift) {
            if (!s.highlight) s.rowSelEnd = s.row;
            s.col = 1;
            s.highlight = true;
            s.selectByRow = true;
            s.rowSelEnd = clampRow(shape, s.rowSelEnd + delta);
            return {true, s};
        }
        s.row = clampRow(shape, s.row + delta);
        return {true, freeSelection(s)};
    }
    }
    return {false, s};
}

GridState clickFixedColumn(GridShape shape, GridState s, int row, bool shift) {
    row = clampRow(shape, row);
    if (shift && s.highlight) {
        s.rowSelEnd = row;
    } else {
        s.row = row;
        s.rowSelEnd = row;
    }
    s.col = 1;
    s.highlight = true;
    s.selectByRow = true;
    return s;
}

GridState clickCell(GridShape shape, GridState s, int row, int col) {
    s.row = clampRow(shape, row);
    s.col = std::clamp(col, 1, std::max(1, shape.lastCol()));
    return freeSelection(s);
}

} // namespace velora::grid
