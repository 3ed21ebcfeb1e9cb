#include "art.h"

#include <QLinearGradient>
#include <QPainter>

namespace wallpaper::art {

QPixmap Question(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0x6f, 0xa8, 0xe8));
    g.setColorAt(1, QColor(0x1f, 0x5f, 0xb0));
    p.setPen(QPen(QColor(0x1a, 0x4f, 0x96), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, w - 3, h - 3));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(h * 2 / 3);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}

QPixmap Logo()
{
    QPixmap pm(160, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Arial Black"));
    f.setPixelSize(22);
    f.setWeight(QFont::Black);
    p.setFont(f);
    p.setPen(QColor(0x40, 0x80, 0x80));
    p.drawText(QRect(4, 0, 156, 40), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Dorvel"));
    return pm;
}

QPixmap ListBackground(int w, int h)
{
    QPixmap pm(w, h);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0xe4, 0xf1, 0xf1));
    g.setColorAt(0.18, QColor(0xf7, 0xfb, 0xfb));
    g.setColorAt(1, QColor(0xff, 0xff, 0xff));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(0x40, 0x80, 0x80));
    p.drawRect(0, 0, w - 1, h - 1);
    return pm;
}

QPixmap CloseButton(CloseLook look)
{
    QPixmap pm(39, 20);
    const QColor ground = look == CloseLook::Normal ? QColor(0xc8, 0xd8, 0xd8)
                          : look == CloseLook::Highlight ? QColor(0xe0, 0x50, 0x40)
                                                         : QColor(0xa0, 0x30, 0x28);
    pm.fill(ground);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(look == CloseLook::Normal ? QColor(0x30, 0x50, 0x50) : Qt::white, 2));
    p.drawLine(QPointF(15, 6), QPointF(24, 14));
    p.drawLine(QPointF(24, 6), QPointF(15, 14));
    return pm;
}

} // namespace wallpaper::art
