#pragma once
// The main window: a frameless window with its own caption buttons, the web panel
// and the wallpaper pictures on the left, the calendar and the day-note editor on
// the right.

#include <QColor>
#include <QRect>
#include <QWidget>

#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;
class QUrl;
class QWebEngineView;
class TImage;
namespace calendar {
class TChnCalendar;
}

extern bool NoteReady; // the editor holds the note of the selected day and the store is idle

class TMainFrm : public QWidget {
    Q_OBJECT
public:
    explicit TMainFrm(QWidget* parent = nullptr);
    ~TMainFrm() override;

    // Note store: load the note of the calendar's day into the editor, or store the
    // editor's document as that day's note.
    void LoadDayNote();
    void SaveDayNote();

    void LoadFormSize();
    void SaveFormSize();

    // Replaceable for tests: the message box of a failed load, the colour dialog
    // (an invalid colour for "cancelled") and the opening of a help page.
    static void (*ShowMessage)(const QString& message);
    static QColor (*ChooseColor)(QWidget* parent, const QColor& initial);
    static void (*OpenUrl)(const QUrl& url);
    // Whether windows get the embedded browser; tests of other parts switch it off.
    static bool UseWebPanel;

    // Controls, named as on the form.
    TImage* imgBG = nullptr;
    TImage* imgLogo = nullptr;
    TImage* img_close_normal = nullptr;
    TImage* img_close_highlight = nullptr;
    TImage* img_close_down = nullptr;
    TImage* img_mini_normal = nullptr;
    TImage* img_mini_highlight = nullptr;
    TImage* img_mini_down = nullptr;
    QLabel* lblDateTime = nullptr;
    QLabel* lblSet = nullptr;
    TImage* imgAppToDesk = nullptr;
    QPushButton* btnGou = nullptr;
    QPushButton* btnX = nullptr;
    TImage* imgDate = nullptr;
    TImage* imgRedColor = nullptr;
    QWidget* pnlLeft = nullptr;
    QWidget* pnlWeb = nullptr;
    QWebEngineView* webLink = nullptr;
    TImage* imgAddToDesk = nullptr;
    QWidget* pngRight = nullptr;
    QFrame* pnlABC = nullptr;
    calendar::TChnCalendar* chnRili = nullptr;
    QTextEdit* rdtAbc = nullptr;
    QMenu* popSysset = nullptr;
    QMenu* pmDeskTopMonCal = nullptr;

    QString FMonthPicturePath;
    QString FBackgroundName;
    int FBackgroundIndex = 0;
    int FNotePage = 0;
    // Bounds recorded just before SaveFormSize.
    int FSavedWidth = 750, FSavedHeight = 500, FSavedLeft = 0, FSavedTop = 0;

    // Event handlers, named after their control and event.
    void imgBGMouseDown();
    void imgBGMouseMove();
    void img_close_normalMouseMove();
    void img_close_highlightMouseDown();
    void img_close_highlightClick();
    void img_mini_normalMouseMove();
    void img_mini_highlightMouseDown();
    void img_mini_highlightClick();
    void lblSetClick();
    void N_helpClick();
    void N_SubmitClick();
    void N_ExitPrjClick();
    void chnRiliChange(QObject* Sender);
    void rdtAbcChange();
    void rdtAbcExit();
    void btnGouClick();
    void btnXClick();
    void imgDateClick();
    void imgRedColorClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Anchor { Fixed, TopRight, AllEdges };
    struct Placed {
        QWidget* widget;
        QRect design; // at the design client size 742 x 466
        Anchor anchor;
    };

    void CreateControls();
    void CreateMenus();
    void ConfigureCalendar();
    TImage* AddImage(QWidget* parent, const char* name, const char* resource, QRect design, Anchor anchor);
    void Place(QWidget* w, QRect design, Anchor anchor);
    void FormCreate();
    void FormShow();
    void ColorNoteEditor();
    void SaveNoteAndBounds();
    void ShowCloseState(TImage* shown);
    void ShowMiniState(TImage* shown);
    void ReplaceSelection(const QString& text);
    void OpenSitePage(const QString& path, const QString& localPage);
    Qt::Edges EdgesAt(const QPoint& globalPos) const;
    QString DayKey() const;

    std::vector<Placed> FPlaced;
    QMetaObject::Connection FFocusConnection;
    bool FShown = false;
    bool FClosing = false;
    Qt::Edges FCursorEdges;
};

extern TMainFrm* MainFrm;
