#include "cal_geometry.h"

#include <algorithm>

namespace calendar {

TGridSizes LayoutGridSizes(int clientWidth, int clientHeight, int col0Width, int row0Height)
{
    TGridSizes s;
    s.RowHeights[0] = std::max(0, row0Height);
    s.ColWidths[0] = std::max(0, col0Width);

    // Integer division truncates toward zero, as the layout has always done.
    const int h = (clientHeight - s.RowHeights[0]) / (GridRowCount - 1);
    int usedHeight = s.RowHeights[0];
    for (int r = 1; r < GridRowCount - 1; ++r) {
        s.RowHeights[r] = std::max(0, h - 1);
        usedHeight += s.RowHeights[r];
    }
    s.RowHeights[GridRowCount - 1] = std::max(0, clientHeight - usedHeight);

    const int w = (clientWidth - s.ColWidths[0]) / (GridColCount - 2);
    int usedWidth = s.ColWidths[0];
    for (int c = 1; c < GridColCount - 1; ++c) {
        s.ColWidths[c] = std::max(0, w - 1);
        usedWidth += s.ColWidths[c];
    }
    s.ColWidths[GridColCount - 1] = std::max(0, clientWidth - usedWidth);
    return s;
}

QRect GridRectFor(QSize control, bool showTitle)
{
    if (showTitle)
        return {8, 40, std::max(0, control.width() - 15), std::max(0, control.height() - 67)};
    return {2, 2, std::max(0, control.width() - 4), std::max(0, control.height() - 4)};
}

QRect FitPictureRect(int pw, int ph, int bw, int bh, bool centre)
{
    if (pw <= 0 || ph <= 0)
        return {};
    const double ratio = double(pw) / double(ph);
    int w = 0;
    int h = 0;
    if (ph < pw) { // landscape
        w = bw;
        h = int(bw / ratio); // truncation toward zero
        if (h > bh) {
            h = bh;
            w = int(bh * ratio);
        }
    } else { // portrait or square
        h = bh;
        w = int(bh * ratio);
        if (w > bw) {
            w = bw;
            h = int(bw / ratio);
        }
    }
    QRect r(0, 0, w, h);
    if (centre)
        r.translate((bw - w) / 2, (bh - h) / 2);
    return r;
}

} // namespace calendar
