// Draws the artwork of the main window into PNG files. Run it after changing a
// picture here; the files it writes are committed under assets/.
//
// usage: dorvel-make-artwork ASSETS_DIR      (cmake --build build --target artwork)

#include "platform/fonts.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

const QColor kInk(0x2f, 0x3e, 0x52);      // text and glyphs
const QColor kAccent(0x3d, 0x6f, 0xb6);   // the program's blue
const QColor kAccentDark(0x2c, 0x56, 0x93);
const QColor kLine(0xd8, 0xe3, 0xf3);     // the window's outline colour
const QColor kRed(0xd9, 0x3b, 0x3b);

QFont font(const char* family, int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont f(QString::fromUtf8(family));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool draw(const QDir& dir, const char* name, int w, int h, const std::function<void(QPainter&)>& paint)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p);
    p.end();
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "dorvel-make-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The window background: a light band behind the header that fades out, and a
// soft glow in the top-right corner. Everything else is transparent, so the white
// shape below shows through and stretching the picture never distorts a shape.
void background(QPainter& p)
{
    const int w = 742, h = 466;
    QLinearGradient band(0, 0, 0, 80);
    band.setColorAt(0.0, QColor(0xe9, 0xf0, 0xfa));
    band.setColorAt(1.0, QColor(0xf6, 0xf9, 0xfd, 0));
    p.fillRect(0, 0, w, 80, band);
    QRadialGradient glow(w * 0.78, 0, w * 0.45);
    glow.setColorAt(0.0, QColor(0xcf, 0xe0, 0xf5, 120));
    glow.setColorAt(1.0, QColor(0xcf, 0xe0, 0xf5, 0));
    p.fillRect(0, 0, w, h / 3, glow);
    QLinearGradient foot(0, h - 40, 0, h);
    foot.setColorAt(0.0, QColor(0xf3, 0xf6, 0xfb, 0));
    foot.setColorAt(1.0, QColor(0xe9, 0xf0, 0xfa, 160));
    p.fillRect(0, h - 40, w, 40, foot);
}

// A small desk calendar page with a red binding and the day number.
void calendarIcon(QPainter& p, const QRectF& r, const QString& day)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawRoundedRect(r.translated(0, 1.5), 5, 5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 5, 5);
    QPainterPath top;
    top.addRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.32), 5, 5);
    top.addRect(QRectF(r.left(), r.top() + r.height() * 0.16, r.width(), r.height() * 0.16));
    p.fillPath(top.simplified(), kRed);
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(kInk);
    p.setFont(font("Arial", int(r.height() * 0.5), QFont::Bold));
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.3, r.width(), r.height() * 0.7), Qt::AlignCenter, day);
}

void logo(QPainter& p)
{
    calendarIcon(p, QRectF(4, 8, 38, 40), QStringLiteral("15"));
    p.setPen(kAccentDark);
    p.setFont(font("Arial", 24, QFont::Bold));
    p.drawText(QRectF(50, 6, 160, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Dorvel"));
    p.setPen(kInk);
    p.setFont(font("微软雅黑", 15, QFont::Medium));
    p.drawText(QRectF(51, 32, 160, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("桌面日历"));
}

void captionButton(QPainter& p, int w, int h, const QColor& fill, const QColor& glyph, bool close)
{
    if (fill.isValid())
        p.fillRect(0, 0, w, h, fill);
    p.setPen(QPen(glyph, 1.4, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(w / 2.0, h / 2.0);
    if (close) {
        p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
        p.drawLine(c + QPointF(-4.5, 4.5), c + QPointF(4.5, -4.5));
    } else {
        p.drawLine(c + QPointF(-5, 0.5), c + QPointF(5, 0.5));
    }
}

void pillButton(QPainter& p, const QRectF& r, const QString& text, int pixelSize)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0x4f, 0x82, 0xc8));
    g.setColorAt(1.0, kAccentDark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setPen(Qt::white);
    p.setFont(font("微软雅黑", pixelSize, QFont::Medium));
    p.drawText(r, Qt::AlignCenter, text);
}

// The "choose background pictures" card: a framed landscape and two lines of text.
void addToDesk(QPainter& p)
{
    const QRectF card(1, 1, 198, 91);
    p.setPen(QPen(kLine, 1));
    QLinearGradient g(card.topLeft(), card.bottomLeft());
    g.setColorAt(0.0, Qt::white);
    g.setColorAt(1.0, QColor(0xf1, 0xf5, 0xfb));
    p.setBrush(g);
    p.drawRoundedRect(card, 8, 8);

    const QRectF pic(14, 17, 64, 50);
    p.setPen(Qt::NoPen);
    QLinearGradient sky(pic.topLeft(), pic.bottomLeft());
    sky.setColorAt(0.0, QColor(0x7f, 0xb1, 0xe3));
    sky.setColorAt(1.0, QColor(0xd7, 0xe8, 0xf7));
    p.setBrush(sky);
    p.drawRoundedRect(pic, 5, 5);
    p.setBrush(QColor(0xff, 0xd6, 0x6b));
    p.drawEllipse(QPointF(pic.right() - 15, pic.top() + 13), 6, 6);
    QPainterPath hills;
    hills.moveTo(pic.left(), pic.bottom() - 8);
    hills.cubicTo(pic.left() + 18, pic.bottom() - 26, pic.left() + 28, pic.bottom() - 24, pic.left() + 40, pic.bottom() - 12);
    hills.cubicTo(pic.left() + 48, pic.bottom() - 20, pic.left() + 58, pic.bottom() - 18, pic.right(), pic.bottom() - 10);
    hills.lineTo(pic.right(), pic.bottom());
    hills.lineTo(pic.left(), pic.bottom());
    hills.closeSubpath();
    QPainterPath frame;
    frame.addRoundedRect(pic, 5, 5);
    p.fillPath(hills.intersected(frame), QColor(0x4c, 0x8c, 0x6e));
    // the "+" badge
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(pic.right(), pic.bottom()), 10, 10);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(pic.right() - 4.5, pic.bottom()), QPointF(pic.right() + 4.5, pic.bottom()));
    p.drawLine(QPointF(pic.right(), pic.bottom() - 4.5), QPointF(pic.right(), pic.bottom() + 4.5));

    p.setPen(kInk);
    p.setFont(font("微软雅黑", 16, QFont::Medium));
    p.drawText(QRectF(94, 22, 100, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("壁纸图片"));
    p.setPen(QColor(0x7a, 0x8a, 0x9e));
    p.setFont(font("微软雅黑", 12));
    p.drawText(QRectF(94, 48, 100, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("添加与轮换背景"));
}

void dateIcon(QPainter& p)
{
    calendarIcon(p, QRectF(1, 1, 13, 13), QString());
    p.setPen(kAccentDark);
    p.setFont(font("微软雅黑", 11, QFont::Medium));
    p.drawText(QRectF(17, 0, 27, 15), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("日期"));
}

void colorIcon(QPainter& p)
{
    p.setPen(kInk);
    p.setFont(font("Arial", 10, QFont::Bold));
    p.drawText(QRectF(0, -1, 9, 10), Qt::AlignCenter, QStringLiteral("A"));
    p.fillRect(QRectF(0, 8.5, 9, 2.5), kRed);
    const QColor swatches[] = {kRed, QColor(0x2e, 0x9e, 0x5b), kAccent};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(swatches[i]);
        p.drawRoundedRect(QRectF(11 + (i % 2) * 4.5, 1 + (i / 2) * 5, 4, 4), 1, 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dorvel-make-artwork ASSETS_DIR\n");
        return 2;
    }
    platform::InstallFontSubstitutions();
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;

    const QColor none;
    bool ok = draw(dir, "background.png", 742, 466, background);
    ok = draw(dir, "logo.png", 210, 56, logo) && ok;
    ok = draw(dir, "close_normal.png", 39, 20, [&](QPainter& p) { captionButton(p, 39, 20, none, QColor(0x6b, 0x78, 0x8a), true); }) && ok;
    ok = draw(dir, "close_highlight.png", 39, 20, [](QPainter& p) { captionButton(p, 39, 20, QColor(0xe8, 0x11, 0x23), Qt::white, true); }) && ok;
    ok = draw(dir, "close_down.png", 39, 20, [](QPainter& p) { captionButton(p, 39, 20, QColor(0xa8, 0x0c, 0x1a), Qt::white, true); }) && ok;
    ok = draw(dir, "mini_normal.png", 28, 20, [&](QPainter& p) { captionButton(p, 28, 20, none, QColor(0x6b, 0x78, 0x8a), false); }) && ok;
    ok = draw(dir, "mini_highlight.png", 28, 20, [](QPainter& p) { captionButton(p, 28, 20, QColor(0xe2, 0xe8, 0xf1), kInk, false); }) && ok;
    ok = draw(dir, "mini_down.png", 28, 20, [](QPainter& p) { captionButton(p, 28, 20, QColor(0xc6, 0xd1, 0xe0), kInk, false); }) && ok;
    ok = draw(dir, "app_to_desk.png", 84, 29, [](QPainter& p) { pillButton(p, QRectF(1, 2, 82, 25), QStringLiteral("应用到桌面"), 13); }) && ok;
    ok = draw(dir, "add_to_desk.png", 200, 93, addToDesk) && ok;
    ok = draw(dir, "date.png", 44, 15, dateIcon) && ok;
    ok = draw(dir, "red_color.png", 20, 11, colorIcon) && ok;
    // The desktop menu's icon.
    ok = draw(dir, "icon.png", 256, 256, [](QPainter& p) { calendarIcon(p, QRectF(20, 24, 216, 208), QStringLiteral("15")); }) && ok;
    return ok ? 0 : 1;
}
