#pragma once
// A small owner-drawn grid: fixed numbers of columns and rows with sizes set per
// index, one current cell, and callbacks for drawing, for the question whether a
// cell may become current, for clicks and for mouse presses. It paints nothing of
// its own (no ground, no lines, no focus rectangle): every cell is drawn by the
// owner. Area not covered by cells is left to the parent widget.

#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class QMenu;
class QPainter;

namespace calendar {

struct TGridDrawState {
    bool Selected = false; // the cell is the grid's current cell
    bool Focused = false;  // ... and the grid has the input focus
};

class TDrawGrid : public QWidget {
    Q_OBJECT
public:
    TDrawGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return int(FColWidths.size()); }
    int RowCount() const { return int(FRowHeights.size()); }
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    void SetColWidth(int col, int width);   // out-of-range index: ignored
    void SetRowHeight(int row, int height);
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }

    // The current cell. Writing a different row or column asks OnSelectCell
    // first and raises OnClick afterwards, whether or not the move was allowed.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    void SetCol(int col);
    void SetRow(int row);

    // The cell's rectangle in client coordinates (sizes of the cells before it
    // summed up); empty for an index outside the grid.
    QRect CellRect(int col, int row) const;
    // The cell under a client point; false (col and row -1) when there is none.
    bool MouseToCell(QPoint pos, int& col, int& row) const;

    // Opened on a context-menu request; none by default.
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

    // Paints every cell at once (synchronously while visible).
    void Repaint() { repaint(); }
    void InvalidateCell(int col, int row);

    // Events, raised only when assigned. OnDrawCell paints one cell on the
    // grid's painter, clipped to Rect.
    std::function<void(QObject* Sender, QPainter& Canvas, int ACol, int ARow, QRect Rect,
                       TGridDrawState State)> OnDrawCell;
    std::function<void(QObject* Sender, int ACol, int ARow, bool& CanSelect)> OnSelectCell;
    std::function<void(QObject* Sender)> OnClick;
    // Raised after the grid has handled the press (focus and selection included).
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       int X, int Y)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Asks OnSelectCell and, when allowed, makes (col, row) the current cell.
    bool MoveCurrent(int col, int row);
    // A move by keyboard or by a write of Col or Row: MoveCurrent, then OnClick.
    void FocusCell(int col, int row);
    void Click();
    bool IsCell(int col, int row) const;

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    int FCol = 0;
    int FRow = 0;
    bool FPressedOnCell = false; // a left press landed on a cell; its release clicks
    QMenu* FPopupMenu = nullptr;
};

} // namespace calendar
