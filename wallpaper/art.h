#pragma once
// The small pictures of the composer's windows, drawn in code.

#include <QPixmap>

namespace wallpaper::art {

QPixmap Question(int w, int h);             // the question mark of the confirmation box
QPixmap Logo();                             // the logo of the list window
QPixmap ListBackground(int w, int h);       // the list window's background
enum class CloseLook { Normal, Highlight, Down };
QPixmap CloseButton(CloseLook look);        // 39 x 20

} // namespace wallpaper::art
