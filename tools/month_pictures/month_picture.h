#pragma once
// The month pictures supplied with the program: one month of the calendar
// control drawn on white, 350 x 300, for the wallpaper composer to lay over a
// background (white is transparent in the mix, so only the drawing shows).

#include <QImage>
#include <QString>

namespace month_pictures {

inline constexpr int PictureWidth = 350;
inline constexpr int PictureHeight = 300;

// The grid of the month with its lunar texts and no selection. Needs a
// QApplication (the control is a widget) and the font substitutions installed.
QImage DrawMonthPicture(int year, int month);

// "YYYYMM.bmp", the name the main window looks for.
QString MonthPictureName(int year, int month);

} // namespace month_pictures
