#pragma once
// The two actions of the main window's wallpaper pictures: compose the note and
// the month picture onto the next background and make it the wallpaper, and
// open the background list window.

#include <QString>

class QWidget;

namespace wallpaper {

enum class ComposeResult {
    Cancelled,         // the user answered the confirmation box with cancel
    BackgroundMissing, // the background picture does not exist; the index moved on
    RoundTripFailed,   // the JPEG round trip failed; nothing applied
    ApplyFailed,       // the desktop did not take the picture
    Applied,           // the wallpaper is set and the index moved back
};

// Creates the hidden windows of the composer that do not exist yet.
void EnsureComposerWindows();

} // namespace wallpaper

// The click on imgAppToDesk. Asks first when the user wants to be asked (the box
// centred on mainWindow), mixes the month picture and the note's text onto the
// background of FBackgroundIndex, writes "Content.bmp", "Mix.bmp" and "Mix.Jpg"
// in the picture folder, applies "Mix.bmp" and moves the index on. A picture
// that cannot be read or written, or a mix outside the background, throws
// std::runtime_error with its text (the application's error report shows it);
// the other failures stop silently, as the result says.
wallpaper::ComposeResult imgAppToDeskClick(const QString& notePlainText, const QString& FMonthPicturePath,
                                           QString& FBackgroundName, int& FBackgroundIndex, QWidget* mainWindow = nullptr);

// The click on imgAddToDesk: shows the list window modally, centred on the main
// window, and reloads the list when it closes.
void imgAddToDeskClick(QWidget* mainWindow, QString& FBackgroundName, int& FBackgroundIndex);
