#pragma once
// The memory map service tool: the Deck/Head question, then one area of the memory image as a
// hexadecimal dump whose single bytes the technician overwrites. The bytes are edited in the map's
// own buffer (the core's MemoryMap); Close writes them back and every open view shows them, Escape
// or the window's close box leaves the data set as it was.
#include <QDialog>
#include <memory>

#include "dataset/MemoryMap.h"
#include "views/AppContext.h"

class QLabel;
class QPushButton;

namespace velora::gui {

class CMSFlexGrid;
class FilteredLineEdit;
class EditorHost;

class MemoryMapDialog : public QDialog {
    Q_OBJECT
  public:
    // `frame` (may be null) has its views refreshed after Close.
    MemoryMapDialog(AppContext& ctx, MemoryMapMode mode, MemoryMapPositions& positions, EditorHost* frame,
                    QWidget* parent = nullptr);
    ~MemoryMapDialog() override;

    const MemoryMap& map() const { return *map_; }
    CMSFlexGrid* grid() const { return grid_; }
    FilteredLineEdit* editor() const { return edit_; }
    QLabel* addressLabel() const { return address_; }
    QPushButton* closeButton() const { return close_; }
    // Close: the buffer goes into the data set, the position is remembered, the views refresh.
    void closeApplying();

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void restorePosition();
    void fillHeaders();
    // Rows are filled when they come into view; a row whose first cell is still empty gets its texts.
    void fillVisibleRows();
    void fillRow(int row);
    void showByte(int row, int col);
    void moveTo(int row, int col);
    bool moveRight();
    bool moveLeft();
    bool startEditing(const QKeyEvent* typed = nullptr, bool empty = false);
    void commitEditor();
    void closeEditor(bool commit);
    bool gridKey(QKeyEvent* k);
    bool editorKey(QKeyEvent* k);

    AppContext& ctx_;
    MemoryMapPositions& positions_;
    EditorHost* frame_;
    std::unique_ptr<MemoryMap> map_;
    CMSFlexGrid* grid_ = nullptr;
    FilteredLineEdit* edit_ = nullptr;
    QLabel* address_ = nullptr;
    QPushButton* close_ = nullptr;
    int editRow_ = 0;
    int editCol_ = 0;
    bool closing_ = false;
    bool placed_ = false;
};

// The question before the map: Deck opens the main area, Head the extension area. The question
// closes with the map.
class DeckHeadDialog : public QDialog {
    Q_OBJECT
  public:
    DeckHeadDialog(AppContext& ctx, MemoryMapPositions& positions, EditorHost* frame,
                   QWidget* parent = nullptr);

    QPushButton* deckButton() const { return deck_; }
    QPushButton* headButton() const { return head_; }

  private:
    void openMap(MemoryMapMode mode);

    AppContext& ctx_;
    MemoryMapPositions& positions_;
    EditorHost* frame_;
    QPushButton* deck_;
    QPushButton* head_;
};

// The main frame's memory-map command; where each mode's map was left is kept for the whole run.
void runMemoryMap(AppContext& ctx, EditorHost& frame);

} // namespace velora::gui
