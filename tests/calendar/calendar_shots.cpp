// Renders the calendar offscreen for February 2024 with a blended background
// picture and saves PNG screenshots, for looking at the control by eye.
//   calendar_shots [output-directory]   (default /tmp)

#include "calendar/chn_calendar_picker.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

// A landscape picture: sky gradient, a sun and green hills.
QImage MakePicture()
{
    QImage img(400, 260, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(0x4A, 0x90, 0xD9));
    sky.setColorAt(1, QColor(0xF0, 0xE6, 0xC8));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xC8, 0x3C));
    p.drawEllipse(QPoint(300, 70), 35, 35);
    p.setBrush(QColor(0x3C, 0x8C, 0x3C));
    p.drawEllipse(QRect(-80, 170, 320, 200));
    p.setBrush(QColor(0x2E, 0x6E, 0x30));
    p.drawEllipse(QRect(160, 190, 340, 200));
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QApplication app(argc, argv);
    platform::InstallFontSubstitutions();
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");

    double feb10 = 0;
    lunar::EncodeDate(2024, 2, 10, feb10);
    calendar::TChnCalendar::SetNowFunction([feb10] { return feb10 + 0.5; });

    for (const QSize size : {QSize(313, 253), QSize(427, 250)}) {
        for (const bool withPicture : {false, true}) {
            calendar::TChnCalendar cal;
            cal.resize(size);
            cal.show();
            if (withPicture) {
                cal.SetStretch(true);
                cal.SetBackGround(MakePicture());
                cal.SetAlphaBlend(50);
            }
            cal.SetDateTime(feb10);
            const QString name = QStringLiteral("%1/cal_%2x%3%4.png")
                                     .arg(outDir).arg(size.width()).arg(size.height())
                                     .arg(withPicture ? QStringLiteral("_pic") : QString());
            cal.grab().save(name);
        }
    }
    return 0;
}
