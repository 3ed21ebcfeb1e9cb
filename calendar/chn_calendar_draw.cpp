// Painting of TChnCalendar: the base image under everything and the grid cells.

#include "chn_calendar_picker.h"

#include "cal_geometry.h"
#include "draw_grid.h"
#include "lunar/date_time.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace calendar {

namespace {

// The plain Windows style draws flat one-pixel frames; every other style has a
// themed edit frame of its own.
bool StyleHasThemedFrame(const QStyle* style)
{
    return style && style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

} // namespace

void TChnCalendar::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.drawImage(event->rect().topLeft(), FBackBitmap, event->rect());
}

void TChnCalendar::LayoutGrid()
{
    const TGridSizes sizes = LayoutGridSizes(FGrid->ClientWidth(), FGrid->ClientHeight(),
                                             FGrid->ColWidth(0), FGrid->RowHeight(0));
    for (int c = 0; c < GridColCount; ++c)
        FGrid->SetColWidth(c, sizes.ColWidths[c]);
    for (int r = 0; r < GridRowCount; ++r)
        FGrid->SetRowHeight(r, sizes.RowHeights[r]);
}

// ---- Base image -----------------------------------------------------------

void TChnCalendar::RebuildBackground()
{
    if (FBackBitmap.size() != size() || FBackBitmap.format() != QImage::Format_RGB32)
        FBackBitmap = QImage(size(), QImage::Format_RGB32);
    if (FBackBitmap.isNull())
        return;
    FBackBitmap.fill(Qt::white); // whatever the control's own colour
    {
        QPainter p(&FBackBitmap);
        p.setFont(font());
        if (FShowFrame)
            DrawFrame(p);
        if (FShowBackYearMonth)
            DrawBackYearMonth(p);
    }
    if (FBackGround.isNull() || FBackGround.width() <= 0 || FBackGround.height() <= 0) {
        FPictureBitmap = QImage();
        return;
    }
    PlacePicture();
    BlendBitmap(FBackBitmap, FPictureBitmap, QPoint(0, 0), std::nullopt, FAlphaBlend);
}

void TChnCalendar::DrawFrame(QPainter& p)
{
    const QRect client(0, 0, width(), height());
    if (StyleHasThemedFrame(style())) {
        // The edit-like border of a drop-down list, as the style draws it.
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = client;
        frame.state = QStyle::State_Enabled | QStyle::State_Sunken;
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
        frame.midLineWidth = 0;
        style()->drawPrimitive(QStyle::PE_FrameLineEdit, &frame, &p, this);
        return;
    }
    p.setPen(FColorShowFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(client.adjusted(0, 0, -1, -1));
}

void TChnCalendar::DrawBackYearMonth(QPainter& p)
{
    int year = 0, month = 0, day = 0;
    if (!lunar::DecodeDate(FDateTime, year, month, day))
        return;
    const QRect g = FGrid->geometry();
    const int left = g.x();
    const int right = g.x() + g.width();
    const int top = g.y();
    const int bottom = g.y() + g.height();
    // Half of the bottom coordinate, not the middle of the grid.
    const QRect yearRect(QPoint(left, top + 6), QPoint(right - 1, bottom / 2 + 6 - 1));
    const QRect monthRect(QPoint(left, bottom / 2), QPoint(right - 1, bottom - 1));

    const auto withControlStyle = [this](QFont f) {
        f.setItalic(font().italic());
        f.setUnderline(font().underline());
        f.setStrikeOut(font().strikeOut());
        return f;
    };
    p.setFont(withControlStyle(FBackYearFont));
    p.setPen(FColorBackYear);
    DrawTextLine(p, yearRect, Qt::AlignCenter, QString::number(year));
    p.setFont(withControlStyle(FBackMonthFont));
    p.setPen(FColorBackMonth);
    DrawTextLine(p, monthRect, Qt::AlignCenter, QString::number(month));
}

void TChnCalendar::PlacePicture()
{
    const int W = width();
    const int H = height();
    // Placing (and above all scaling) the picture depends on none of the date
    // texts: redo it only when the picture or its placement changed.
    const TPlacement placement{FBackGround.cacheKey(), size(), FCenter, FStretch};
    if (!FPictureBitmap.isNull() && placement == FPlacement)
        return;
    FPlacement = placement;
    FPictureBitmap = QImage(W, H, QImage::Format_RGB32);
    FPictureBitmap.fill(Qt::white);
    QPainter p(&FPictureBitmap);
    const int pw = FBackGround.width();
    const int ph = FBackGround.height();
    if (FStretch) {
        const QRect target = FitPictureRect(pw, ph, W, H, FCenter);
        if (!target.isEmpty()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(target, FBackGround);
        }
    } else if (FCenter) {
        p.drawImage(QPoint((W - pw) / 2, (H - ph) / 2), FBackGround);
    } else {
        p.drawImage(QPoint(0, 0), FBackGround);
    }
}

// ---- Grid cells -----------------------------------------------------------

void TChnCalendar::GridDrawCell(QPainter& canvas, int ACol, int ARow, QRect Rect, const TGridDrawState& State)
{
    const int w = Rect.width();
    const int h = Rect.height();
    if (w <= 0 || h <= 0)
        return;
    if (FCellBitmap.size() != Rect.size())
        FCellBitmap = QImage(Rect.size(), QImage::Format_RGB32);
    {
        QPainter p(&FCellBitmap);
        // The part of the base image under the cell.
        const QRect source = Rect.translated(FGrid->pos());
        if (!FBackBitmap.rect().contains(source))
            p.fillRect(FCellBitmap.rect(), Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), FBackBitmap, source);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setFont(font());
        p.setBrush(Qt::NoBrush);
        try {
            DrawCellContent(p, ACol, ARow, w, h, State);
        } catch (...) {
            // Whatever failed (an owner's draw handler, say), the cell still
            // shows what was drawn so far.
        }
    }
    canvas.drawImage(Rect.topLeft(), FCellBitmap);
}

void TChnCalendar::DrawCellContent(QPainter& p, int ACol, int ARow, int w, int h, const TGridDrawState& State)
{
    if (ARow == 0) {
        DrawHeaderCell(p, ACol, w, h);
        return;
    }
    if (ACol == 0) {
        DrawWeekNumCell(p, ARow, w, h);
        return;
    }
    if (ACol < 1 || ACol > 7)
        return; // the filler column shows the base image only

    const bool showSelection = State.Selected && (!FHideSelection || State.Focused);
    if (showSelection)
        FillGradient(p, QRect(0, 0, w, h), 256, TGradientDirection::TopToBottom, FColorSelectedStart,
                     FColorSelectedEnd);
    const int slot = SlotOf(ACol, ARow);
    if (slot < 1 || !FDays[slot].Valid)
        return;
    if (slot < 40)
        DrawDayCell(p, slot, w, h, State);
    else
        DrawInfoCell(p, slot, w, h);
}

void TChnCalendar::DrawHeaderCell(QPainter& p, int ACol, int w, int h)
{
    const QString text = HeaderCellText(ACol, w, FShowWeekNum);
    const QColor color = ACol == 0 ? FColorWeekNum
                         : (ACol == 1 || ACol == 7) ? FColorTitleWeekEnd
                                                    : FColorTitleWeek;
    p.setPen(color);
    DrawTextLine(p, QRect(0, 0, w - 2, h), Qt::AlignHCenter | Qt::AlignTop, text);

    // The header's underline runs on over all nine columns.
    p.setPen(FColorTitleWeekLine);
    p.drawLine(0, h - 4, w - 1, h - 4);
    if (ACol == 0 && FShowWeekNum && FShowWeekNumLine)
        p.drawLine(w - 1, 0, w - 1, h - 1);
}

void TChnCalendar::DrawWeekNumCell(QPainter& p, int ARow, int w, int h)
{
    if (!FShowWeekNum || ARow < 1 || ARow > 6 || FWeekNums[ARow].isEmpty())
        return;
    p.setFont(FInfoFont);
    p.setPen(FColorWeekNum);
    DrawTextLine(p, QRect(0, 0, w, h), Qt::AlignCenter, FWeekNums[ARow]);
    if (FShowWeekNumLine) {
        p.setPen(QPen(FColorTitleWeekLine, 1, Qt::SolidLine));
        p.drawLine(w - 1, 0, w - 1, h - 1);
    }
}

void TChnCalendar::DrawDayCell(QPainter& p, int slot, int w, int h, const TGridDrawState& State)
{
    const TcnDateInf& s = FDays[slot];
    const QRect whole(0, 0, w, h);

    // Upper half: the day number.
    QString text = s.DayText;
    bool defaultDraw = true;
    p.setFont(FFontDate);
    p.setPen(s.DayColor);
    if (OnDrawDateCell)
        OnDrawDateCell(this, s.DayText.toInt(), &p, whole, State.Selected, text, defaultDraw);
    if (defaultDraw)
        DrawTextLine(p, QRect(2, 0, w - 4, h / 2), Qt::AlignHCenter | Qt::AlignBottom, text);

    // Lower half: the lunar text, then the selection frame.
    text = s.CnText;
    defaultDraw = true;
    p.setFont(FFontCnDate);
    p.setPen(s.CnColor);
    p.setBrush(Qt::NoBrush);
    if (OnDrawCnDateCell)
        OnDrawCnDateCell(this, s.DayText.toInt(), &p, whole, State.Selected, text, defaultDraw);
    if (!defaultDraw)
        return;
    DrawTextLine(p, QRect(2, h / 2, w - 4, h - h / 2), Qt::AlignHCenter | Qt::AlignTop, text);
    if (State.Selected && (!FHideSelection || State.Focused)) {
        p.setPen(QPen(FColorSelectedFrame, 1, Qt::SolidLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, w - 1, h - 1);
    }
}

void TChnCalendar::DrawInfoCell(QPainter& p, int slot, int w, int h)
{
    const TcnDateInf& s = FDays[slot];
    if (s.DayText.isEmpty())
        return;
    p.setFont(FInfoFont);
    p.setPen(slot == 40 ? FColorTitleConstellation : FColorTitleAnimalsYear);
    // The sexagenary year (column 6, right-aligned) and the animal (column 7,
    // left-aligned) meet at their border and read as one phrase.
    const int align = slot == 40 ? Qt::AlignHCenter : slot == 41 ? Qt::AlignRight : Qt::AlignLeft;
    DrawTextClipped(p, QRect(0, 8, w, h - 8), align | Qt::AlignTop, s.DayText);
}

} // namespace calendar
