#include "draw_grid.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace calendar {

TDrawGrid::TDrawGrid(int colCount, int rowCount, QWidget* parent)
    : QWidget(parent)
    , FColWidths(std::max(1, colCount), 64)
    , FRowHeights(std::max(1, rowCount), 24)
{
    setFocusPolicy(Qt::StrongFocus);
}

bool TDrawGrid::IsCell(int col, int row) const
{
    return col >= 0 && col < ColCount() && row >= 0 && row < RowCount();
}

int TDrawGrid::ColWidth(int col) const
{
    return (col >= 0 && col < ColCount()) ? FColWidths[col] : 0;
}

int TDrawGrid::RowHeight(int row) const
{
    return (row >= 0 && row < RowCount()) ? FRowHeights[row] : 0;
}

void TDrawGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= ColCount() || FColWidths[col] == std::max(0, width))
        return;
    FColWidths[col] = std::max(0, width);
    update();
}

void TDrawGrid::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= RowCount() || FRowHeights[row] == std::max(0, height))
        return;
    FRowHeights[row] = std::max(0, height);
    update();
}

void TDrawGrid::SetCol(int col)
{
    if (col != FCol && IsCell(col, FRow))
        FocusCell(col, FRow);
}

void TDrawGrid::SetRow(int row)
{
    if (row != FRow && IsCell(FCol, row))
        FocusCell(FCol, row);
}

QRect TDrawGrid::CellRect(int col, int row) const
{
    if (!IsCell(col, row))
        return {};
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += FColWidths[c];
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += FRowHeights[r];
    return {x, y, FColWidths[col], FRowHeights[row]};
}

bool TDrawGrid::MouseToCell(QPoint pos, int& col, int& row) const
{
    col = -1;
    row = -1;
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width() || pos.y() >= height())
        return false;
    int x = 0;
    for (int c = 0; c < ColCount(); ++c) {
        if (pos.x() < x + FColWidths[c]) {
            col = c;
            break;
        }
        x += FColWidths[c];
    }
    int y = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (pos.y() < y + FRowHeights[r]) {
            row = r;
            break;
        }
        y += FRowHeights[r];
    }
    if (col < 0 || row < 0) {
        col = row = -1;
        return false;
    }
    return true;
}

void TDrawGrid::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (!r.isEmpty())
        update(r);
}

bool TDrawGrid::MoveCurrent(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    if (!canSelect)
        return false;
    if (col != FCol || row != FRow) {
        InvalidateCell(FCol, FRow);
        FCol = col;
        FRow = row;
        InvalidateCell(FCol, FRow);
    }
    return true;
}

void TDrawGrid::FocusCell(int col, int row)
{
    MoveCurrent(col, row);
    Click();
}

void TDrawGrid::Click()
{
    if (OnClick)
        OnClick(this);
}

void TDrawGrid::paintEvent(QPaintEvent* event)
{
    if (!OnDrawCell)
        return;
    QPainter p(this);
    const bool focused = hasFocus();
    int y = 0;
    for (int r = 0; r < RowCount() && y < height(); y += FRowHeights[r], ++r) {
        int x = 0;
        for (int c = 0; c < ColCount() && x < width(); x += FColWidths[c], ++c) {
            const QRect cell(x, y, FColWidths[c], FRowHeights[r]);
            if (cell.isEmpty() || !event->region().intersects(cell))
                continue;
            TGridDrawState state;
            state.Selected = c == FCol && r == FRow;
            state.Focused = state.Selected && focused;
            p.save();
            p.setClipRect(cell);
            OnDrawCell(this, p, c, r, cell, state);
            p.restore();
        }
    }
}

void TDrawGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        int col = -1, row = -1;
        if (MouseToCell(pos, col, row)) {
            FPressedOnCell = true;
            MoveCurrent(col, row);
        }
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click moves nothing; it is still a press.
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && FPressedOnCell) {
        FPressedOnCell = false;
        Click();
    }
}

void TDrawGrid::keyPressEvent(QKeyEvent* event)
{
    int col = FCol;
    int row = FRow;
    switch (event->key()) {
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (IsCell(col, row))
        FocusCell(col, row);
}

void TDrawGrid::focusInEvent(QFocusEvent* event)
{
    InvalidateCell(FCol, FRow);
    QWidget::focusInEvent(event);
}

void TDrawGrid::focusOutEvent(QFocusEvent* event)
{
    InvalidateCell(FCol, FRow);
    QWidget::focusOutEvent(event);
}

void TDrawGrid::contextMenuEvent(QContextMenuEvent* event)
{
    if (!FPopupMenu) {
        event->ignore();
        return;
    }
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

} // namespace calendar
