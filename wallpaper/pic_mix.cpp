#include "pic_mix.h"

#include <algorithm>
#include <stdexcept>

TMixPicFrm* MixPicFrm = nullptr;

namespace wallpaper {

QImage& MixPicture(QImage& first, QImage& second, int topRow, int weight)
{
    if (!first.isNull() && first.format() != QImage::Format_RGB32)
        first.convertTo(QImage::Format_RGB32);
    if (!second.isNull() && second.format() != QImage::Format_RGB32)
        second.convertTo(QImage::Format_RGB32);

    const int h = std::min(first.height(), second.height());
    const int wMin = std::min(first.width(), second.width());
    const int wMax = std::max(first.width(), second.width());

    const bool secondIsDestination = second.height() > first.height();
    QImage& dst = secondIsDestination ? second : first;
    const QImage& src = secondIsDestination ? first : second;
    const qint64 offset = secondIsDestination ? topRow : 0;

    // Source column x lands on destination column x0 + x; only the columns that
    // exist in both pictures are touched.
    const qint64 x0 = qint64(wMax) - wMin - 50;
    const qint64 xBegin = std::max<qint64>(0, -x0);
    const qint64 xEnd = std::min<qint64>({qint64(wMin), qint64(src.width()), qint64(dst.width()) - x0});
    const qint64 w = weight;

    for (int r = 0; r < h; ++r) {
        const qint64 dy = r + offset;
        if (dy < 0 || dy >= dst.height())
            throw std::runtime_error("Scan line index out of range");
        uchar* d = dst.scanLine(int(dy));
        const uchar* s = src.constScanLine(r);
        for (qint64 x = xBegin; x < xEnd; ++x) {
            const uchar* sp = s + 4 * x;
            if (sp[0] == 255 && sp[1] == 255 && sp[2] == 255)
                continue;
            uchar* dp = d + 4 * (x0 + x);
            for (int b = 0; b < 4; ++b) {
                const qint64 dv = dp[b];
                dp[b] = uchar(dv + (qint64(sp[b]) - dv) * w / 100); // division truncates toward zero
            }
        }
    }
    return dst;
}

bool MixFits(const QImage& first, const QImage& second, int topRow)
{
    if (second.height() <= first.height())
        return true; // the first picture is the destination, from row 0
    return first.height() == 0 || (topRow >= 0 && qint64(topRow) + first.height() <= second.height());
}

} // namespace wallpaper

TMixPicFrm::TMixPicFrm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MixPicFrm"));
}

void TMixPicFrm::ClearSlotsClick()
{
    img1 = QImage();
    img2 = QImage();
}
