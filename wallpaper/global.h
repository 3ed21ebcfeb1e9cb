#pragma once
// State shared by the start-up and the wallpaper composer: the background list
// in memory and the ask-before-apply flags.

#include <QList>
#include <QString>

// One line of the background list file.
struct TPicBGList {
    int Index = 0;     // the line's position, counted from 0
    QString FileName;  // the line's text
};

extern QList<TPicBGList> BackgroundList; // every line of the list file, in file order
extern int BackgroundCount;              // the number of lines read

extern bool AskBeforeApply;     // ask before a wallpaper is applied
extern bool ApplyConfirmed;     // the user confirmed in this run
extern QString ConfigSetBgPath; // program directory + "data\configSetBg.ini"
