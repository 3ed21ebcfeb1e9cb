#pragma once
// Small painting helpers of the month calendar: the banded selection gradient,
// the weighted blend of a picture into the base image, weekday names and
// one-line text with an ellipsis.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QPainter;

namespace calendar {

enum class TGradientDirection { TopToBottom, LeftToRight };

// Fills rect with count bands of solid colour running from start to end. Band k
// has the colour start + round((k + 1) * step) and spans round(k * size) to
// round((k + 1) * size); rounding is to nearest, halves to even. So the first
// band is one step past start and the last band is exactly end. Bands of zero
// size draw nothing; count < 1 draws nothing at all.
void FillGradient(QPainter& p, const QRect& rect, int count, TGradientDirection direction,
                  const QColor& start, const QColor& end);

// Blends src into dest at origin, weighted weight mod 100 for src (so 100 acts
// as 0 and 150 as 50). Pixels of src equal to the key colour are left out; with
// no key given the key is src's top-left pixel. Both images end up as 32-bit RGB
// without alpha.
void BlendBitmap(QImage& dest, const QImage& src, QPoint origin, std::optional<QRgb> key,
                 unsigned weight);

// Weekday 1 = Sunday .. 7 = Saturday: the locale's long name, or the one-character
// short name "日" .. "六". Any other weekday gives an empty text.
QString WeekDayName(int weekday, bool longName);

// Header text of grid column col for a cell of the given width: "W" over the
// week numbers (when shown), weekday names in columns 1..7, long ones only when
// the cell is wide enough to hold them, nothing in the filler column.
QString HeaderCellText(int col, int cellWidth, bool showWeekNum);

// Draws text on one line inside rect, cut with an ellipsis when too wide.
void DrawTextLine(QPainter& p, const QRect& rect, int alignment, const QString& text);

// Draws text without wrapping (line breaks still start new lines), each line
// cut with an ellipsis when too wide, clipped to rect.
void DrawTextClipped(QPainter& p, const QRect& rect, int alignment, const QString& text);

} // namespace calendar
