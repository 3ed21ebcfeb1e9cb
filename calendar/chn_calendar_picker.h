#pragma once
// TChnCalendar: the month calendar of the main window. It shows one Gregorian
// month as a 9 x 7 grid of days, each with its day number and a line of lunar
// text, keeps one selected date and reports changes to its owner.
//
// The control composes a base image of its own size (white ground, frame, large
// year and month numbers, a blended background picture) whenever the date or an
// appearance property changes; its surface and every grid cell are copies of
// that image with text on top. Painting never recomposes the base image.

#include "cal_paint.h"
#include "lunar/chn_calendar_use.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QPainter;

namespace calendar {

class TDrawGrid;
class TTitleLabel;
class TUpDown;
struct TGridDrawState;
enum class TUDBtnType;

// One day slot of the grid: slots 1..37 hold days, 40..42 information texts
// about the selected day.
struct TcnDateInf {
    int Day = 0;         // Gregorian day of month
    bool Valid = false;  // the slot holds a day or an information text
    QString DayText;     // day number, or the information text
    QString CnMonth;     // lunar month name of the day
    QString CnDay;       // lunar day name of the day
    QString CnText;      // text of the cell's lower half
    QColor DayColor;
    QColor CnColor;
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
// Raised before a part of a day cell is drawn. The handler may change Text, or
// draw the part itself on aCanvas and set defaultDraw to false.
using TDrawDateCellEvent = std::function<void(QObject* Sender, int Day, QPainter* aCanvas, QRect R,
                                              bool Selected, QString& Text, bool& defaultDraw)>;

class TChnCalendar : public QWidget {
    Q_OBJECT
public:
    static constexpr int SlotCount = 50;
    static constexpr int YearMin = 1;
    static constexpr int YearMax = 2100;

    explicit TChnCalendar(QWidget* parent = nullptr);
    ~TChnCalendar() override;

    // The selected date and time (days since 1899-12-30). A write of a new value
    // in years 1..2100 refills the month and raises OnChange; other values are
    // ignored.
    double DateTime() const { return FDateTime; }
    void SetDateTime(double Value);

    // Lunar month name, day name and both together of the selected date.
    QString CnDate() const { return FCnDate; }
    QString CnMonth() const { return FCnMonth; }
    QString CnDay() const { return FCnDay; }
    void SetCnDate(const QString& v) { FCnDate = v; }
    void SetCnMonth(const QString& v) { FCnMonth = v; }
    void SetCnDay(const QString& v) { FCnDay = v; }

    bool ShowTitle() const { return FShowTitle; }
    void SetShowTitle(bool Value);
    bool ShowWeekNum() const { return FShowWeekNum; }
    void SetShowWeekNum(bool Value);
    bool ShowFrame() const { return FShowFrame; }
    void SetShowFrame(bool Value);
    bool ShowBackYearMonth() const { return FShowBackYearMonth; }
    void SetShowBackYearMonth(bool Value);
    bool ShowWeekNumLine() const { return FShowWeekNumLine; }
    void SetShowWeekNumLine(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }

    QFont FontDate() const { return FFontDate; }
    void SetFontDate(const QFont& Value);
    QFont FontCnDate() const { return FFontCnDate; }
    void SetFontCnDate(const QFont& Value);
    // The fonts' own colours are kept but never drawn: cells use their day and
    // lunar colours instead.
    QColor FontDateColor() const { return FFontDateColor; }
    void SetFontDateColor(const QColor& Value) { FFontDateColor = Value; }
    QColor FontCnDateColor() const { return FFontCnDateColor; }
    void SetFontCnDateColor(const QColor& Value) { FFontCnDateColor = Value; }

    // Colours that repaint the grid.
    QColor ColorTitleWeekLine() const { return FColorTitleWeekLine; }
    void SetColorTitleWeekLine(const QColor& Value) { SetGridColor(FColorTitleWeekLine, Value); }
    QColor ColorTitleWeekEnd() const { return FColorTitleWeekEnd; }
    void SetColorTitleWeekEnd(const QColor& Value) { SetGridColor(FColorTitleWeekEnd, Value); }
    QColor ColorTitleWeek() const { return FColorTitleWeek; }
    void SetColorTitleWeek(const QColor& Value) { SetGridColor(FColorTitleWeek, Value); }
    QColor ColorSelectedStart() const { return FColorSelectedStart; }
    void SetColorSelectedStart(const QColor& Value) { SetGridColor(FColorSelectedStart, Value); }
    QColor ColorSelectedEnd() const { return FColorSelectedEnd; }
    void SetColorSelectedEnd(const QColor& Value) { SetGridColor(FColorSelectedEnd, Value); }
    QColor ColorSelectedFrame() const { return FColorSelectedFrame; }
    void SetColorSelectedFrame(const QColor& Value) { SetGridColor(FColorSelectedFrame, Value); }
    QColor ColorWeekNum() const { return FColorWeekNum; }
    void SetColorWeekNum(const QColor& Value);

    // Colours of the day slots: a write refills the month (and raises OnChange).
    QColor ColorCnDate() const { return FColorCnDate; }
    void SetColorCnDate(const QColor& Value) { SetSlotColor(FColorCnDate, Value); }
    QColor ColorDate() const { return FColorDate; }
    void SetColorDate(const QColor& Value) { SetSlotColor(FColorDate, Value); }
    QColor ColorHoliday() const { return FColorHoliday; }
    void SetColorHoliday(const QColor& Value) { SetSlotColor(FColorHoliday, Value); }
    QColor ColorLunarHolDay() const { return FColorLunarHolDay; }
    void SetColorLunarHolDay(const QColor& Value) { SetSlotColor(FColorLunarHolDay, Value); }
    QColor ColorCnHolDay() const { return FColorCnHolDay; }
    void SetColorCnHolDay(const QColor& Value) { SetSlotColor(FColorCnHolDay, Value); }

    // Colours of the base image: a write recomposes it.
    QColor ColorShowFrame() const { return FColorShowFrame; }
    void SetColorShowFrame(const QColor& Value);
    QColor ColorBackYear() const { return FColorBackYear; }
    void SetColorBackYear(const QColor& Value) { SetBackColor(FColorBackYear, Value); }
    QColor ColorBackMonth() const { return FColorBackMonth; }
    void SetColorBackMonth(const QColor& Value) { SetBackColor(FColorBackMonth, Value); }

    // Font colours of the title labels.
    QColor ColorTitleToday() const;
    void SetColorTitleToday(const QColor& Value);
    QColor ColorTitleMonth() const;
    void SetColorTitleMonth(const QColor& Value);
    QColor ColorTitleYear() const;
    void SetColorTitleYear(const QColor& Value);
    QColor ColorTitleSelected() const;
    void SetColorTitleSelected(const QColor& Value);

    // Stored; used from the next repaint.
    QColor ColorTitleConstellation() const { return FColorTitleConstellation; }
    void SetColorTitleConstellation(const QColor& Value) { FColorTitleConstellation = Value; }
    QColor ColorTitleAnimalsYear() const { return FColorTitleAnimalsYear; }
    void SetColorTitleAnimalsYear(const QColor& Value) { FColorTitleAnimalsYear = Value; }

    // Background picture and how it is placed; each write recomposes the base image.
    QImage BackGround() const { return FBackGround; }
    void SetBackGround(const QImage& Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { SetBackFlag(FCenter, Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { SetBackFlag(FStretch, Value); }
    bool Transparent() const { return FTransparent; }  // kept; no drawing step reads it
    void SetTransparent(bool Value) { SetBackFlag(FTransparent, Value); }
    unsigned char AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(unsigned char Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnDateClick;
    TNotifyEvent OnDateSelect;
    TDrawDateCellEvent OnDrawDateCell;
    TDrawDateCellEvent OnDrawCnDateCell;

    // Composes the base image from the current date and appearance properties.
    void RebuildBackground();
    // Shares the grid's client area out among its rows and columns.
    void LayoutGrid();

    // Read access for the owner and for tests.
    const TcnDateInf& DaySlot(int slot) const; // 1..50; anything else gives an empty slot
    QString WeekNum(int row) const;            // 1..6
    TDrawGrid* Grid() const { return FGrid; }
    const QImage& BackBitmap() const { return FBackBitmap; }
    const QImage& PictureBitmap() const { return FPictureBitmap; }

    // The current local date and time; replaceable so tests can pick "today".
    static double Now();
    static void SetNowFunction(std::function<double()> now);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Property helpers.
    void SetGridColor(QColor& field, const QColor& value);
    void SetSlotColor(QColor& field, const QColor& value);
    void SetBackColor(QColor& field, const QColor& value);
    void SetBackFlag(bool& field, bool value);
    void RebuildAndInvalidate();

    // Month fill (chn_calendar_picker.cpp).
    void FillMonth();
    void FillDays(int year, int month);

    // Grid handlers.
    void GridDrawCell(QPainter& canvas, int ACol, int ARow, QRect Rect, const TGridDrawState& State);
    void GridSelectCell(int ACol, int ARow, bool& CanSelect);
    void GridClick();
    void GridMouseDown();

    // Painting (chn_calendar_draw.cpp).
    void DrawCellContent(QPainter& p, int ACol, int ARow, int w, int h, const TGridDrawState& State);
    void DrawHeaderCell(QPainter& p, int ACol, int w, int h);
    void DrawWeekNumCell(QPainter& p, int ARow, int w, int h);
    void DrawDayCell(QPainter& p, int slot, int w, int h, const TGridDrawState& State);
    void DrawInfoCell(QPainter& p, int slot, int w, int h);
    void DrawFrame(QPainter& p);
    void DrawBackYearMonth(QPainter& p);
    void PlacePicture();

    // Title strip, navigation and menus (chn_calendar_title.cpp).
    void CreateTitleParts();
    void CreateWnd();
    void BuildMenus();
    void ApplyLayoutSwitch(bool showTitle);
    void SetMonthLabelText(const QString& text);
    void TodayClick();
    void MonthLabelClick();
    void YearLabelClick();
    void MonthMenuClick(QAction* item);
    void YearMenuClick(QAction* item);
    void MonthUpDownClick();
    void YearUpDownClick();
    void ShowDateOfUpDowns();

    TDrawGrid* FGrid = nullptr;
    TTitleLabel* FTodayLabel = nullptr;
    TTitleLabel* FMonthLabel = nullptr;
    TTitleLabel* FMonthUnitLabel = nullptr;
    TTitleLabel* FYearLabel = nullptr;
    TTitleLabel* FYearUnitLabel = nullptr;
    TTitleLabel* FDateLineLabel = nullptr;
    TUpDown* FYearUpDown = nullptr;
    TUpDown* FMonthUpDown = nullptr;
    QMenu* FMonthMenu = nullptr;
    QMenu* FYearMenu = nullptr;
    int FMonthLabelRight = 43; // fixed right edge of the right-aligned month number

    QImage FCellBitmap;
    QImage FBackBitmap;
    QImage FPictureBitmap;
    lunar::TChnCal FChnCal;

    std::array<TcnDateInf, SlotCount + 1> FDays{}; // index 0 unused
    std::array<QString, 7> FWeekNums;              // index 0 unused

    bool FMouseClicked = false;
    bool FSelecting = false;
    bool FWindowCreated = false;

    double FDateTime = 0;
    QString FCnDate;
    QString FCnMonth;
    QString FCnDay;

    bool FShowTitle = false;
    bool FShowWeekNum = false;
    bool FShowFrame = true;
    bool FShowBackYearMonth = true;
    bool FShowWeekNumLine = true;
    bool FHideSelection = false;
    QFont FFontDate;
    QFont FFontCnDate;
    QFont FInfoFont;     // "宋体" 9 points: week numbers and information texts
    QFont FBackYearFont; // "Arial Black" 48 points
    QFont FBackMonthFont; // "Arial Black" 90 points
    QColor FFontDateColor;
    QColor FFontCnDateColor{0xEE, 0xEE, 0xEE};

    QColor FColorTitleWeekLine{0xC5, 0xC5, 0xC5};
    QColor FColorTitleWeekEnd{0xFF, 0x00, 0x00};
    QColor FColorTitleWeek{0x4F, 0x4F, 0x4F};
    QColor FColorCnDate{0x00, 0x80, 0x00};
    QColor FColorDate{0x4F, 0x4F, 0x4F};
    QColor FColorHoliday{0xFF, 0x80, 0x00};
    QColor FColorLunarHolDay{0x53, 0x53, 0xFF};
    QColor FColorCnHolDay{0xFF, 0x80, 0x00};
    QColor FColorSelectedStart{0x00, 0xAE, 0x53};
    QColor FColorSelectedEnd{0x00, 0xD5, 0x65};
    QColor FColorSelectedFrame{0x00, 0x93, 0x46};
    QColor FColorWeekNum{0x80, 0x80, 0x80};
    QColor FColorShowFrame{0x80, 0x80, 0x80};
    QColor FColorBackYear{0xFF, 0xE8, 0xDD};
    QColor FColorBackMonth{0xEB, 0xEB, 0xEB};
    QColor FColorTitleConstellation{0x00, 0x00, 0x00};
    QColor FColorTitleAnimalsYear{0x00, 0x00, 0x00};

    // What FPictureBitmap was last placed from.
    struct TPlacement {
        qint64 PictureKey = 0;
        QSize Size;
        bool Center = false;
        bool Stretch = false;
        bool operator==(const TPlacement&) const = default;
    };
    TPlacement FPlacement;

    QImage FBackGround;
    bool FCenter = false;
    bool FStretch = false;
    bool FTransparent = false;
    unsigned char FAlphaBlend = 50;
};

} // namespace calendar
