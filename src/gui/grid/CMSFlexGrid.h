#pragma once
// The grid every table-like editor uses: a QTableWidget with the horizontal header as the fixed
// title row 0 and the vertical header as the fixed first column 0, addressed in grid coordinates
// (data from (1, 1)). It adds the current cell with emphasis of its fixed cells, row selection by
// the first column, the keyboard rules, in-place editors laid over the current cell, the context
// menus and the clipboard export. What a view does with a cell stays in the view: it listens to
// the signals, or installs an event filter on the grid for the keys it handles itself.
#include <QPointer>
#include <QTableWidget>
#include <span>

#include "base/TextSource.h"
#include "channels/GridColumns.h"
#include "channels/GridNavigation.h"

class QComboBox;

namespace velora::gui {

class FilteredLineEdit;

class CMSFlexGrid : public QTableWidget {
    Q_OBJECT
  public:
    enum class EditorKind { None = 0, Edit = 1, EditSpin = 2, List = 3, Combo = 4 };
    enum class MenuKind { None, Copy, CopyToClip, PasteOnly }; // pop-ups 0, 1, 2 of the grid menu
    enum Command {
        CmdDelete = 32740,
        CmdCopy = 32741,
        CmdPaste = 32742,
        CmdToClip = 32797,
        CmdToClipTitle = 32811
    };

    explicit CMSFlexGrid(QWidget* parent = nullptr);

    // --- Shape and contents, in grid coordinates --------------------------------------------------
    void setRows(int rows); // including the title row
    int rows() const { return rowCount() + 1; }
    void setCols(int cols); // including the fixed first column
    int cols() const { return columnCount() + 1; }
    grid::GridShape shape() const { return {rows(), cols()}; }
    // Titles, widths, alignment and fonts, one entry per column (column 0 first).
    void setupColumns(std::span<const grid::GridColumn> columns, const TextSource& texts,
                      const QFont& fixedFont);
    // Column 0 numbered 1, 2, ...; the current cell goes to (1, 1).
    void numberRows();
    // The fixed-pitch font of the columns that use it, at the size of the grid font.
    const QFont& fixedFont() const { return fixedFont_; }
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // --- Current cell, scrolling, selection ---------------------------------------------------
    int row() const { return state_.row; }
    int col() const { return state_.col; }
    void setCurrent(int row, int col);
    int topRow() const;
    void setTopRow(int row);
    bool rowIsVisible(int row) const;
    int pageSize() const; // fully visible rows from the first visible one
    void nextCell();
    bool hasRowSelection() const { return state_.highlight; }
    std::pair<int, int> selectedRows() const { return grid::selectedRows(state_); }
    void selectRows(int first, int last);
    void clearRowSelection(); // highlighting off; the row-select end becomes the current row
    void setWrapAround(bool on) { wrap_ = on; }
    void setEmphasiseCurrent(bool on);

    // --- In-place editors ---------------------------------------------------------------------
    // The cell rectangle in viewport coordinates, grown by 2 pixels on each side.
    QRect cellRect(int row, int col) const;
    QRect cellRect() const { return cellRect(row(), col()); }
    // Lays `editor` (a child the grid takes into its viewport) over the current cell; a list or
    // combo selects the entry matching `text` exactly. Nothing happens on a fixed row or column.
    void showEditor(EditorKind kind, QWidget* editor, const QString& text, bool focus,
                    QWidget* companion = nullptr);
    void hideEditor(bool clearText);
    EditorKind editorKind() const { return kind_; }
    QWidget* editor() const { return editor_; }
    // Hands a key that opened the editor on to it, so the character lands there.
    void forwardKeyToEditor(const QKeyEvent* e);
    // The editor of the tone cells: editable, at most 5 characters, the tone character rule.
    static QComboBox* makeToneEditor(QWidget* parent, const QStringList& items);

    // --- Menus and clipboard ------------------------------------------------------------------
    void setContextMenu(MenuKind kind, const TextSource* texts) {
        menuKind_ = kind;
        menuTexts_ = texts;
    }
    void setPasteAvailable(std::function<bool()> available) { pasteAvailable_ = std::move(available); }
    // Lower-right corner of the current cell, in global coordinates.
    QPoint contextMenuPoint() const;
    // The menu at `globalPos` when a row selection holds `clickedRow`; returns whether it opened.
    bool openContextMenu(const QPoint& globalPos, int clickedRow);
    static bool putTextOnClipboard(const QString& text);

  signals:
    void rowColChange(int row, int col);
    void gridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int mouseRow, int mouseCol);
    void dblClick(int row, int col);
    void command(int commandId);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    void apply(const grid::GridState& s, bool scroll = true);
    void paintSelection();
    void emphasise();
    void placeEditor();
    QTableWidgetItem* cellItem(int row, int col, bool create);
    int rowAtY(int y) const;

    grid::GridState state_;
    std::vector<int> align_;
    std::vector<bool> gridFont_;
    QFont fixedFont_;
    bool wrap_ = true;
    bool emphasise_ = false;
    bool enterDown_ = false;
    bool forwarding_ = false;
    int emphRow_ = -1;
    int emphCol_ = -1;

    EditorKind kind_ = EditorKind::None;
    QPointer<QWidget> editor_;
    QPointer<QWidget> companion_;
    int editRow_ = 0;
    int editCol_ = 0;

    MenuKind menuKind_ = MenuKind::None;
    const TextSource* menuTexts_ = nullptr;
    std::function<bool()> pasteAvailable_;
    QString cornerTitle_;
};

} // namespace velora::gui
