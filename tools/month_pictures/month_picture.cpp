#include "month_picture.h"

#include "calendar/chn_calendar_picker.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"

#include <QPainter>

namespace month_pictures {

QImage DrawMonthPicture(int year, int month)
{
    calendar::TChnCalendar cal;
    // Laid out and painted like a shown window, but never mapped on a screen.
    cal.setAttribute(Qt::WA_DontShowOnScreen);
    cal.SetShowWeekNum(false);
    cal.SetShowFrame(false);
    cal.SetShowWeekNumLine(true);
    cal.SetShowBackYearMonth(true); // the large year and month name the picture
    cal.SetHideSelection(true);     // an unfocused control then draws no selection
    cal.SetFontDate(platform::MakePixelFont("黑体", 12, true));
    cal.SetFontCnDate(platform::MakePixelFont("宋体", 12));
    cal.resize(PictureWidth, PictureHeight);
    cal.show();
    // Window creation turns the title strip on; a wallpaper has no use for its
    // buttons and up-downs.
    cal.SetShowTitle(false);

    double first = 0;
    lunar::EncodeDate(year, month, 1, first);
    cal.SetDateTime(first);
    cal.clearFocus();

    QImage picture(PictureWidth, PictureHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    cal.render(&p);
    p.end();
    cal.hide();
    return picture;
}

QString MonthPictureName(int year, int month)
{
    return QStringLiteral("%1%2.bmp").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
}

} // namespace month_pictures
