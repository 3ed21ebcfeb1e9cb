#pragma once
// The main window: the calendar, the day-note editor beneath it and the date label.

#include <QWidget>

class QLabel;
class QTextEdit;
namespace calendar {
class TChnCalendar;
}

extern bool NoteReady; // the editor holds the note of the selected day and the store is idle

class TMainFrm : public QWidget {
    Q_OBJECT
public:
    explicit TMainFrm(QWidget* parent = nullptr);

    // Note store: load the note of the calendar's day into the editor, or store the
    // editor's document as that day's note.
    void LoadDayNote();
    void SaveDayNote();

    void LoadFormSize();
    void SaveFormSize();

    // Saves the note and the window bounds, then ends the program.
    void CloseAndSave();

    // Shows the load failure; tests replace it to count messages.
    static void (*ShowMessage)(const QString& message);

    calendar::TChnCalendar* chnRili = nullptr;
    QTextEdit* rdtAbc = nullptr;
    QLabel* lblDateTime = nullptr;

    QString FMonthPicturePath;
    QString FBackgroundName;
    int FBackgroundIndex = 0;
    int FNotePage = 0;
    // Bounds recorded just before SaveFormSize.
    int FSavedWidth = 750, FSavedHeight = 500, FSavedLeft = 0, FSavedTop = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void chnRiliChange(QObject* Sender);
    void rdtAbcChange();
    void ColorNoteEditor();
    void SaveNoteAndBounds();
    QString DayKey() const;

    bool FShown = false;
    bool FClosing = false;
};

extern TMainFrm* MainFrm;
