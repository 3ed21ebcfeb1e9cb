#pragma once
// State shared by the start-up and the wallpaper composer: the background list
// in memory, the ask-before-apply flags, the list file and the picture
// conversions.

#include <QList>
#include <QString>
#include <QStringList>

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

namespace wallpaper {

// The default background: the current picture and only entry of a new list.
inline const QString DefaultBackground = QStringLiteral("A1.bmp");

// Program directory + "Data\BGPicList.ini" and + "source\DeskTopBG\".
QString BackgroundListPath();
QString PictureDir();

// A list entry must be a bare file name in the picture folder: not empty, no
// folder separator, not "." or "..", no drive letter or control character.
bool IsBareFileName(const QString& name);

// Reads the list file: nullopt-like false when it is missing; a file that exists
// but cannot be read throws. Line 1 that is not a bare name reads as the
// default background; other such lines are left out, so they are never opened.
bool ReadBackgroundListFile(QStringList& lines);

// Writes the whole list file: the current name, then the entries. Throws when
// the file cannot be written (a name GBK cannot hold included).
void WriteBackgroundListFile(const QString& current, const QStringList& entries);

// The list file with "A1.bmp" as current background and only entry.
void WriteDefaultBackgroundList();

// The rotation of the background index over a list of `count` elements.
// After a wallpaper was applied: one back, from 0 or 1 round to the last.
int IndexAfterApply(int index, int count);
// When the picture of element `index` does not exist: one on, past the end
// round to 1; element 0 keeps its index.
int IndexAfterMissing(int index, int count);

// The file name of the background the next composition uses, element `index`
// of BackgroundList; the default background when the list is empty and element
// 0 when the index lies outside the list.
QString BackgroundNameAt(int index);

} // namespace wallpaper

// Reads the list file into BackgroundList and sets the current background name
// and the index of the next composition (the last entry, or with chosen the
// last entry carrying the current name). A missing file is written with its
// defaults. A file that exists but cannot be read throws.
void LoadBackgroundList(bool chosen, QString& FBackgroundName, int& FBackgroundIndex);

// By the lower-cased extension: ".bmp" unchanged, ".jpg"/".jpeg" JpgToBmp,
// ".gif" GifToBmp, anything else an empty string.
QString ToBmpFile(const QString& path);
// Decodes the picture at full size and writes it beside the source with the
// last extension replaced by ".bmp" (24 bits per pixel). Returns that path.
// Throws when the picture cannot be decoded or written.
QString JpgToBmp(const QString& path);
QString GifToBmp(const QString& path);
