#include "desk_bg_set.h"

#include "desktop_wallpaper.h"
#include "global.h"
#include "image_io.h"

#include "platform/program_dir.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <stdexcept>

TDeskBGSetFrm* DeskBGSetFrm = nullptr;
TPicPreviewFrm* PicPreviewFrm = nullptr;

TDeskBGSetFrm::TDeskBGSetFrm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DeskBGSetFrm"));
    FPictureDir = wallpaper::PictureDir();
}

void TDeskBGSetFrm::PrepareContent(const QString& notePlainText)
{
    QString text = notePlainText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    FContentLines.clear();
    FContentLines.append(text);
}

QImage TDeskBGSetFrm::RenderContentImage(const QString& text, int width)
{
    constexpr int height = 400;
    if (width <= 0)
        throw std::runtime_error(QStringLiteral("无效的图片宽度 %1").arg(width).toStdString());
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);

    // The window colour is the ground colour of edit windows: white in the usual
    // scheme, so the frame vanishes in the mix.
    const QPalette palette = QGuiApplication::palette();
    QPainter p(&img);
    p.setPen(QPen(palette.color(QPalette::Active, QPalette::Base), 1));
    p.setBrush(Qt::white);
    p.drawRect(0, 0, width - 1, height - 1);

    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15); // 11 points at 96 dots per inch
    p.setFont(font);
    p.setPen(palette.color(QPalette::Active, QPalette::Text));
    p.setBackgroundMode(Qt::TransparentMode);

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QRect textRect(QPoint(20, 10), QPoint(305, 389)); // right 306, bottom 390 exclusive
    p.setClipRect(textRect);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
    p.end();
    return img;
}

void TDeskBGSetFrm::DrawContentImage(int width)
{
    QString text;
    for (const QString& line : FContentLines)
        text += line + QStringLiteral("\r\n");
    const QImage img = RenderContentImage(text, width);
    wallpaper::WriteBmp24(img, platform::ResolveIn(FPictureDir, QStringLiteral("Content.bmp")));
}

void TDeskBGSetFrm::ApplyWallpaper(const QString& path)
{
    wallpaper::DesktopWallpaper* desktop = wallpaper::CurrentDesktopWallpaper();
    if (!desktop)
        throw std::runtime_error("没有可设置壁纸的桌面");
    desktop->Apply(path);
}

TPicPreviewFrm::TPicPreviewFrm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PicPreviewFrm"));
}
