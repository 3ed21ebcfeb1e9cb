#pragma once
// Geometry of the month calendar: how the grid's client area is shared out among
// rows and columns, where the grid sits in the control, and how a background
// picture is fitted into a box. Pure functions, no widgets.

#include <QRect>
#include <QSize>

#include <array>

namespace calendar {

inline constexpr int GridColCount = 9;  // 0 week number, 1..7 Sunday..Saturday, 8 filler
inline constexpr int GridRowCount = 7;  // 0 weekday header, 1..6 weeks
inline constexpr int HeaderRowHeight = 18;
inline constexpr int WeekNumColWidth = 18;    // column 0 while week numbers are shown
inline constexpr int NarrowFirstColWidth = 6; // column 0 otherwise

struct TGridSizes {
    std::array<int, GridColCount> ColWidths{};
    std::array<int, GridRowCount> RowHeights{};
};

// Shares a client area of clientWidth x clientHeight out among the rows and
// columns, keeping row 0 and column 0 as given: rows 1..5 and columns 1..7 get
// equal sizes one pixel short of the integer share, the last row and the filler
// column take what is left. Sizes never go below 0.
TGridSizes LayoutGridSizes(int clientWidth, int clientHeight, int col0Width, int row0Height);

// The grid's rectangle inside a control of the given size: below the title strip
// when the title is shown, else filling the control but a 2-pixel margin.
QRect GridRectFor(QSize control, bool showTitle);

// Grid cell -> day slot 1..42 ((row - 1) * 7 + column) for rows 1..6 and columns
// 1..7; 0 for any other cell.
constexpr int SlotOf(int col, int row) noexcept
{
    return (col >= 1 && col <= 7 && row >= 1 && row <= 6) ? (row - 1) * 7 + col : 0;
}

// The rectangle a picture of pw x ph takes when scaled into a bw x bh box keeping
// its aspect ratio (sizes truncated toward zero), moved to the middle of the box
// when centre is set. A picture without area has no sensible fit: the result is
// an empty rectangle and nothing gets drawn.
QRect FitPictureRect(int pw, int ph, int bw, int bh, bool centre);

} // namespace calendar
