#include "cal_paint.h"

#include <QFontMetrics>
#include <QHash>
#include <QStaticText>
#include <QLocale>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

namespace calendar {

namespace {

// Round to nearest, halves to even (the default floating-point rounding mode).
int RoundEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

void FillGradient(QPainter& p, const QRect& rect, int count, TGradientDirection direction,
                  const QColor& start, const QColor& end)
{
    if (count < 1)
        return;
    const int r0 = start.red(), g0 = start.green(), b0 = start.blue();
    const double stepR = double(end.red() - r0) / count;
    const double stepG = double(end.green() - g0) / count;
    const double stepB = double(end.blue() - b0) / count;
    const bool vertical = direction == TGradientDirection::TopToBottom;
    const double bandSize = double(vertical ? rect.height() : rect.width()) / count;

    for (int k = 0; k < count; ++k) {
        const int from = RoundEven(k * bandSize);
        const int to = RoundEven((k + 1) * bandSize);
        if (to <= from)
            continue;
        const QColor c(std::clamp(r0 + RoundEven((k + 1) * stepR), 0, 255),
                       std::clamp(g0 + RoundEven((k + 1) * stepG), 0, 255),
                       std::clamp(b0 + RoundEven((k + 1) * stepB), 0, 255));
        const QRect band = vertical ? QRect(rect.left(), rect.top() + from, rect.width(), to - from)
                                    : QRect(rect.left() + from, rect.top(), to - from, rect.height());
        p.fillRect(band, c);
    }
}

void BlendBitmap(QImage& dest, const QImage& src, QPoint origin, std::optional<QRgb> key,
                 unsigned weight)
{
    if (dest.format() != QImage::Format_RGB32)
        dest.convertTo(QImage::Format_RGB32);
    if (src.isNull() || dest.isNull())
        return;
    const QImage s = src.format() == QImage::Format_RGB32 ? src : src.convertToFormat(QImage::Format_RGB32);

    const int a = int(weight % 100); // [0, 99]
    const QRgb keyRgb = (key ? *key : s.pixel(0, 0)) & 0xFFFFFFu;
    if (a == 0)
        return; // dest * 100 / 100: nothing changes

    // The part of src that lands inside dest.
    const int x0 = std::max(0, -origin.x());
    const int x1 = std::min(s.width(), dest.width() - origin.x());
    const int y0 = std::max(0, -origin.y());
    const int y1 = std::min(s.height(), dest.height() - origin.y());
    // Per-component terms of (d * (100 - a) + v * a) / 100; both stay in [0, 255].
    std::array<int, 256> destPart{};
    std::array<int, 256> srcPart{};
    for (int v = 0; v < 256; ++v) {
        destPart[v] = v * (100 - a);
        srcPart[v] = v * a;
    }
    const auto mix = [&](int d, int v) { return std::min((destPart[d] + srcPart[v]) / 100, 255); };

    for (int y = y0; y < y1; ++y) {
        const QRgb* srcLine = reinterpret_cast<const QRgb*>(s.constScanLine(y));
        QRgb* destLine = reinterpret_cast<QRgb*>(dest.scanLine(y + origin.y())) + origin.x();
        for (int x = x0; x < x1; ++x) {
            const QRgb sp = srcLine[x] & 0xFFFFFFu;
            if (sp == keyRgb)
                continue;
            const QRgb dp = destLine[x];
            destLine[x] = qRgb(mix(qRed(dp), qRed(sp)), mix(qGreen(dp), qGreen(sp)), mix(qBlue(dp), qBlue(sp)));
        }
    }
}

QString WeekDayName(int weekday, bool longName)
{
    if (weekday < 1 || weekday > 7)
        return {};
    if (longName) {
        // QLocale counts 1 = Monday .. 7 = Sunday.
        const int qtDay = weekday == 1 ? 7 : weekday - 1;
        return QLocale::system().dayName(qtDay, QLocale::LongFormat);
    }
    static const char16_t* const shortNames[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};
    return QString::fromUtf16(shortNames[weekday - 1]);
}

QString HeaderCellText(int col, int cellWidth, bool showWeekNum)
{
    if (col == 0)
        return showWeekNum ? QStringLiteral("W") : QString();
    if (col >= 1 && col <= 7)
        return WeekDayName(col, cellWidth - 2 > 36);
    return {};
}

namespace {

// Shaped, elided lines by text, font and width. A month shows the same few dozen
// texts over and over; shaping them once makes a repaint mostly glyph copies.
// Painting happens on the GUI thread only.
struct TLineKey {
    QString Text;
    QFont Font;
    int Width;
    bool operator==(const TLineKey&) const = default;
};

size_t qHash(const TLineKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.Text, k.Font, k.Width);
}

struct TLine {
    QStaticText Text;
    int Width = 0;
    int Height = 0;
};

const TLine& ShapedLine(const QFont& font, const QString& text, int width)
{
    static QHash<TLineKey, TLine> cache;
    TLineKey key{text, font, width};
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 4000)
        cache.clear(); // bounded: texts of other months fall out
    const QFontMetrics fm(font);
    TLine line;
    const QString shown = fm.elidedText(text, Qt::ElideRight, width);
    line.Text.setText(shown);
    line.Text.setTextFormat(Qt::PlainText);
    line.Text.setPerformanceHint(QStaticText::AggressiveCaching);
    line.Text.prepare(QTransform(), font);
    line.Width = fm.horizontalAdvance(shown);
    line.Height = fm.height();
    return *cache.insert(std::move(key), std::move(line));
}

} // namespace

void DrawTextLine(QPainter& p, const QRect& rect, int alignment, const QString& text)
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const TLine& line = ShapedLine(p.font(), text, rect.width());
    int x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.left() + rect.width() - line.Width;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - line.Width) / 2;
    int y = rect.top();
    if (alignment & Qt::AlignBottom)
        y = rect.top() + rect.height() - line.Height;
    else if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - line.Height) / 2;
    p.save();
    p.setClipRect(rect, Qt::IntersectClip); // a line taller than its rectangle is cut
    p.drawStaticText(QPoint(x, y), line.Text);
    p.restore();
}

void DrawTextClipped(QPainter& p, const QRect& rect, int alignment, const QString& text)
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const QFontMetrics fm = p.fontMetrics();
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = fm.elidedText(line, Qt::ElideRight, rect.width());
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.drawText(rect, alignment, lines.join(QLatin1Char('\n')));
    p.restore();
}

} // namespace calendar
