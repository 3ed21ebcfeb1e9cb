#pragma once
// The start-up sequence: data module, main window, the hidden composer windows.

// Creates DM, MainFrm and the hidden windows, in that order. Returns false (and
// creates no window) when the note database cannot be opened. Needs a QApplication.
bool StartUp();

// Shows the main window (its first show applies the saved bounds and loads the note).
void ShowMainWindow();

// Destroys what StartUp created, last first.
void ShutDown();
