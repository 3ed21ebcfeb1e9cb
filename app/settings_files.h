#pragma once
// The two small settings files beside the program. Each line has a fixed meaning
// by position; there are no sections or keys despite the ".ini".

#include <QString>

class QSize;

// data\FormSize.ini: note page, then the window's width, height, left and top.
struct FormSizeValues {
    int NotePage = 1;
    int Width = 750;
    int Height = 500;
    int Left = 0;
    int Top = 0;

    // The values a new file gets: centred on a screen of the given size.
    static FormSizeValues Defaults(const QSize& screen);
};

// Reads the file. nullopt-like: returns false when the file does not exist. A short
// file or a line that is not an integer keeps the default of that value.
bool ReadFormSize(const QString& path, const FormSizeValues& defaults, FormSizeValues& out);
bool WriteFormSize(const QString& path, const FormSizeValues& values);

// data\configSetBg.ini: one integer; above 0 means ask before applying a wallpaper.
// Returns false when the file does not exist. Empty or garbled content reads as
// "ask" (true), the safe choice.
bool ReadAskBeforeApply(const QString& path, bool& ask);
bool WriteAskBeforeApply(const QString& path, bool ask);
