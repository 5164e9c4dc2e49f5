#pragma once

#include <QAbstractScrollArea>
#include <QRect>

#include <array>
#include <vector>

#include "ui/CellPainter.h"

class ChannelsContext;

// The channel grid of the main window's first page: a header row and one row per channel
// slot, 21 columns, every cell drawn by the CellPainter. The header row and the slot column
// stay in place while the rest scrolls. Whole rows are selected; the right button toggles the
// boolean columns of a used channel; a double click or Enter asks for the channel editor.
//
// Rows: 0 is the header, row r (1..200) shows channel slot r - 1.
class ChannelGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 21;
    static constexpr int RowCount = 201;
    static constexpr int GridLineWidth = 2;
    static constexpr int FontPointSize = 12;

    ChannelGrid(ChannelsContext& channels, CellPainter& painter, QWidget* parent = nullptr);

    // Column widths and row heights measured in the grid's font and spread over the width of
    // the visible area; the grid scrolls sideways only when the natural widths do not fit.
    // Also run on every resize of the grid.
    void LayoutGrid();

    // Current (selected) row: 1..200 for a channel, 0 for the header row (nothing highlighted).
    int currentRow() const { return currentRow_; }
    // Clamps to 0..200, makes it the only selected row, scrolls it into view and repaints.
    void setCurrentRow(int row);

    // Several rows can be selected: Ctrl + click adds or removes one, Shift + click or
    // Shift + arrow keys select from the anchor (the row last clicked) to the current row.
    bool isRowSelected(int row) const;
    // The slots (row - 1) of the selected rows in ascending order; the current row's slot
    // when nothing else is selected; empty on the header row.
    std::vector<int> selectedSlots() const;
    // Selects exactly the given slots (0..199), the first of them becoming current.
    void selectSlots(const std::vector<int>& slotList);

    // Repaints every visible cell (after a file load, a radio read, a new configuration, a
    // range change or the channel editor). Same as update().
    void Refresh();

    int columnWidth(int column) const;
    int rowHeight(int row) const;
    // Rectangle of a cell in viewport coordinates at the current scroll position.
    QRect cellRect(int column, int row) const;
    // The cell under a viewport point; false outside every cell.
    bool cellAt(const QPoint& pos, int* column, int* row) const;

    // Paints one cell through the painter: the header lines for row 0, channel row - 1 for
    // rows 1..200; other rows paint nothing.
    void DrawCell(QPainter& canvas, const QRect& rect, int column, int row, CellDrawState state);

signals:
    // Double click or Enter: the main window opens the channel editor on currentRow() - 1.
    void editChannelRequested();
    void currentRowChanged(int row);
    // A right click flipped a boolean of channel slot `slot` (column 8..20).
    void channelToggled(int slot, int column);
    // The grid's context menu is wanted at globalPos: a right click on the slot-index column,
    // the context-menu key or Shift+F10. The row clicked is selected first unless it already is.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool NothingSelected() const;     // no row selected: the current row stands for the selection
    int ColumnLeft(int column) const; // unscrolled content x of a column
    int RowTop(int row) const;        // unscrolled content y of a row
    int ContentWidth() const;
    int ContentHeight() const;
    void UpdateScrollBars();
    void EnsureRowVisible(int row);
    int PageRows() const;
    bool ToggleMark(int column, int row);
    enum class Pick { Only, Toggle, Range, AddRange };
    // Moves the current row and updates the selection the way the user's modifiers ask.
    void MoveCurrent(int row, Pick pick);
    static Pick PickFor(Qt::KeyboardModifiers mods, bool click);

    ChannelsContext& channels_;
    CellPainter& painter_;
    std::array<int, ColumnCount> widths_{};
    int headerHeight_ = 0;
    int dataHeight_ = 0;
    int currentRow_ = 1;
    int anchorRow_ = 1;
    std::array<bool, RowCount> selected_{};
};
