#include "chn_calendar_picker.h"

#include "cal_geometry.h"
#include "draw_grid.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"
#include "title_parts.h"

#include <QCursor>
#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QTime>

#include <cmath>
#include <utility>

namespace calendar {

namespace {

std::function<double()>& NowFunction()
{
    static std::function<double()> now;
    return now;
}

const QColor WeekendDayColor(0xFF, 0x00, 0x00);
const QColor FirstLunarDayColor(0xFF, 0x00, 0x00);

QString FromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Sets a flag for the lifetime of the guard, so that an exception thrown while
// the control moves the grid's cell itself cannot leave the flag standing.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
};

} // namespace

double TChnCalendar::Now()
{
    if (NowFunction())
        return NowFunction()();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    double day = 0;
    lunar::EncodeDate(d.year(), d.month(), d.day(), day);
    return day + now.time().msecsSinceStartOfDay() / 86400000.0;
}

void TChnCalendar::SetNowFunction(std::function<double()> now)
{
    NowFunction() = std::move(now);
}

TChnCalendar::TChnCalendar(QWidget* parent)
    : QWidget(parent)
{
    platform::InstallFontSubstitutions();
    resize(313, 253);

    FFontDate = platform::MakeFont(QStringLiteral("黑体"), 9);
    FFontDate.setBold(true);
    FFontCnDate = platform::MakeFont(QStringLiteral("宋体"), 9);
    FInfoFont = platform::MakeFont(QStringLiteral("宋体"), 9);
    FBackYearFont = platform::MakeFont(QStringLiteral("Arial Black"), 48);
    FBackMonthFont = platform::MakeFont(QStringLiteral("Arial Black"), 90);
    FFontDateColor = palette().color(QPalette::WindowText);

    // Labels first, so that the grid covers them while the title is hidden.
    CreateTitleParts();

    FGrid = new TDrawGrid(GridColCount, GridRowCount, this);
    FGrid->setObjectName(QStringLiteral("FGrid"));
    FGrid->setGeometry(GridRectFor(size(), true));
    FGrid->SetColWidth(0, NarrowFirstColWidth);
    FGrid->SetRowHeight(0, HeaderRowHeight);
    FGrid->OnDrawCell = [this](QObject*, QPainter& canvas, int c, int r, QRect rect, TGridDrawState state) {
        GridDrawCell(canvas, c, r, rect, state);
    };
    FGrid->OnSelectCell = [this](QObject*, int c, int r, bool& canSelect) { GridSelectCell(c, r, canSelect); };
    FGrid->OnClick = [this](QObject*) { GridClick(); };
    FGrid->OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { GridMouseDown(); };
    FGrid->installEventFilter(this);
    setFocusProxy(FGrid);

    // The up-downs lie on top of everything; they are hidden with the title.
    FMonthUpDown->raise();
    FYearUpDown->raise();

    LayoutGrid();
    FBackBitmap = QImage(size(), QImage::Format_RGB32);
    RebuildBackground();
}

TChnCalendar::~TChnCalendar() = default;

const TcnDateInf& TChnCalendar::DaySlot(int slot) const
{
    static const TcnDateInf empty;
    return (slot >= 1 && slot <= SlotCount) ? FDays[slot] : empty;
}

QString TChnCalendar::WeekNum(int row) const
{
    return (row >= 1 && row <= 6) ? FWeekNums[row] : QString();
}

// ---- Properties -----------------------------------------------------------

void TChnCalendar::SetShowWeekNum(bool Value)
{
    if (Value == FShowWeekNum)
        return;
    FShowWeekNum = Value;
    // Only column 0 changes; the other columns keep their widths until the
    // next layout pass, which the filler column absorbs meanwhile.
    FGrid->SetColWidth(0, Value ? WeekNumColWidth : NarrowFirstColWidth);
    FGrid->Repaint();
}

void TChnCalendar::SetShowFrame(bool Value)
{
    SetBackFlag(FShowFrame, Value);
}

void TChnCalendar::SetShowBackYearMonth(bool Value)
{
    SetBackFlag(FShowBackYearMonth, Value);
}

void TChnCalendar::SetShowWeekNumLine(bool Value)
{
    if (Value == FShowWeekNumLine)
        return;
    FShowWeekNumLine = Value;
    FGrid->Repaint();
}

void TChnCalendar::SetFontDate(const QFont& Value)
{
    if (Value == FFontDate)
        return;
    FFontDate = Value;
    FGrid->Repaint();
}

void TChnCalendar::SetFontCnDate(const QFont& Value)
{
    if (Value == FFontCnDate)
        return;
    FFontCnDate = Value;
    FGrid->Repaint();
}

void TChnCalendar::SetGridColor(QColor& field, const QColor& value)
{
    if (value == field)
        return;
    field = value;
    FGrid->Repaint();
}

void TChnCalendar::SetColorWeekNum(const QColor& Value)
{
    if (Value == FColorWeekNum)
        return;
    FColorWeekNum = Value;
    if (FShowWeekNum)
        FGrid->Repaint();
}

void TChnCalendar::SetSlotColor(QColor& field, const QColor& value)
{
    if (value == field)
        return;
    field = value;
    FillMonth(); // the slots carry their colours: fill again for the same date
}

void TChnCalendar::RebuildAndInvalidate()
{
    RebuildBackground();
    update();
}

void TChnCalendar::SetBackColor(QColor& field, const QColor& value)
{
    if (value == field)
        return;
    field = value;
    RebuildAndInvalidate();
}

void TChnCalendar::SetBackFlag(bool& field, bool value)
{
    if (value == field)
        return;
    field = value;
    RebuildAndInvalidate();
}

void TChnCalendar::SetColorShowFrame(const QColor& Value)
{
    if (Value == FColorShowFrame)
        return;
    FColorShowFrame = Value;
    if (FShowFrame)
        RebuildAndInvalidate();
}

void TChnCalendar::SetBackGround(const QImage& Value)
{
    if (Value.isNull() && FBackGround.isNull())
        return;
    FBackGround = Value; // implicitly shared: the copy detaches only if either side changes
    RebuildAndInvalidate();
}

void TChnCalendar::SetAlphaBlend(unsigned char Value)
{
    if (Value == FAlphaBlend)
        return;
    FAlphaBlend = Value;
    RebuildAndInvalidate();
}

QColor TChnCalendar::ColorTitleToday() const { return FTodayLabel->FontColor(); }
void TChnCalendar::SetColorTitleToday(const QColor& Value) { FTodayLabel->SetFontColor(Value); }
QColor TChnCalendar::ColorTitleMonth() const { return FMonthLabel->FontColor(); }
void TChnCalendar::SetColorTitleMonth(const QColor& Value) { FMonthLabel->SetFontColor(Value); }
QColor TChnCalendar::ColorTitleYear() const { return FYearLabel->FontColor(); }
void TChnCalendar::SetColorTitleYear(const QColor& Value) { FYearLabel->SetFontColor(Value); }
QColor TChnCalendar::ColorTitleSelected() const { return FDateLineLabel->FontColor(); }
void TChnCalendar::SetColorTitleSelected(const QColor& Value) { FDateLineLabel->SetFontColor(Value); }

// ---- Month fill -----------------------------------------------------------

void TChnCalendar::SetDateTime(double Value)
{
    // Compared exactly, time of day included.
    if (Value == FDateTime || !std::isfinite(Value))
        return;
    int year = 0, month = 0, day = 0;
    if (!lunar::DecodeDate(Value, year, month, day) || year < YearMin || year > YearMax)
        return;
    FDateTime = Value;
    FillMonth();
}

void TChnCalendar::FillMonth()
{
    int year = 0, month = 0, day = 0;
    if (!lunar::DecodeDate(FDateTime, year, month, day))
        return;
    FYearUpDown->SetPosition(year);
    FMonthUpDown->SetPosition(month);

    // Nothing raised while filling may escape to the event loop: a failure ends
    // the fill where it happened, keeping the slots filled so far.
    try {
        FChnCal.SetDate(FDateTime);
        FCnMonth = FromUtf8(FChnCal.FCnMonth);
        FCnDay = FromUtf8(FChnCal.FCnDay);
        FCnDate = FCnMonth + FCnDay;

        FYearLabel->SetCaption(QString::number(year));
        SetMonthLabelText(QString::number(month));

        for (int slot = 40; slot <= 42; ++slot)
            FDays[slot].Valid = true;
        FDays[41].DayText = FromUtf8(FChnCal.FYearGanZhi);
        FDays[42].DayText = FromUtf8(FChnCal.FAnimal) + QStringLiteral("年");

        const QString datePart = year >= 1949
            ? QStringLiteral("%1-%2-%3").arg(year, 4, 10, QLatin1Char('0'))
                  .arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0'))
            : FromUtf8(FChnCal.FEraText);
        FDateLineLabel->SetCaption(datePart + QStringLiteral(" 农历") + FCnDate);

        FillDays(year, month);

        RebuildBackground();
        FGrid->Repaint();
        if (OnChange)
            OnChange(this);
    } catch (...) {
        // Discarded on purpose; see above.
    }
}

void TChnCalendar::FillDays(int year, int month)
{
    for (QString& w : FWeekNums)
        w.clear();
    for (int slot = 1; slot <= 37; ++slot) {
        TcnDateInf& s = FDays[slot];
        s.Valid = false;
        s.CnMonth.clear();
        s.CnDay.clear();
        s.CnText.clear();
        s.DayColor = (slot % 7 == 1 || slot % 7 == 0) ? WeekendDayColor : FColorDate;
    }

    double first = 0;
    if (!lunar::EncodeDate(year, month, 1, first))
        return;
    const int start = lunar::DayOfWeek(first); // 1 = Sunday .. 7 = Saturday
    const int daysInMonth = QDate(year, month, 1).daysInMonth();
    int selectedDay = 0;
    {
        int y = 0, m = 0;
        lunar::DecodeDate(FDateTime, y, m, selectedDay);
    }

    int lastWeek = -1;
    int row = 1;
    for (int d = 1; d <= daysInMonth; ++d) {
        const int i = start + d - 1; // [1, 37]
        double date = 0;
        lunar::EncodeDate(year, month, d, date);
        FChnCal.SetDate(date);

        const int week = QDate(year, month, d).weekNumber();
        if (week != lastWeek && row <= 6) {
            lastWeek = week;
            FWeekNums[row++] = QString::number(week);
        }

        TcnDateInf& s = FDays[i];
        s.DayText = QString::number(d);
        s.Day = d;
        s.CnMonth = FromUtf8(FChnCal.FCnMonth);
        s.CnDay = FromUtf8(FChnCal.FCnDay);
        // Rising precedence: lunar day (month name on the first of a lunar
        // month), Gregorian festival, solar term, lunar festival.
        if (s.CnDay != QStringLiteral("初一")) {
            s.CnText = s.CnDay;
            s.CnColor = FColorCnDate;
        } else {
            s.CnText = s.CnMonth;
            s.CnColor = FirstLunarDayColor;
        }
        if (!FChnCal.FHoliday.empty()) {
            s.CnText = FromUtf8(FChnCal.FHoliday);
            s.CnColor = FColorHoliday;
        }
        if (!FChnCal.FSolarTerm.empty()) {
            s.CnText = FromUtf8(FChnCal.FSolarTerm);
            s.CnColor = FColorLunarHolDay;
        }
        if (!FChnCal.FCnHolDay.empty()) {
            s.CnText = FromUtf8(FChnCal.FCnHolDay);
            s.CnColor = FColorCnHolDay;
        }

        if (d == selectedDay) {
            FDays[40].DayText = FromUtf8(FChnCal.FConstellation);
            TFlagGuard selecting(FSelecting);
            FGrid->SetRow((i - 1) / 7 + 1);
            FGrid->SetCol((i - 1) % 7 + 1);
        }
        s.Valid = true;
    }
}

// ---- The user's choice of a day -------------------------------------------

void TChnCalendar::GridSelectCell(int ACol, int ARow, bool& CanSelect)
{
    if (FSelecting)
        return; // the control moves the cell itself
    CanSelect = false;
    const int slot = SlotOf(ACol, ARow);
    if (slot < 1 || slot > 37 || !FDays[slot].Valid)
        return;
    CanSelect = true;
    try {
        int year = 0, month = 0, day = 0;
        double date = 0;
        if (lunar::DecodeDate(FDateTime, year, month, day) &&
            lunar::EncodeDate(year, month, FDays[slot].Day, date))
            SetDateTime(date);
        if (FMouseClicked && OnDateClick)
            OnDateClick(this);
    } catch (...) {
        // A failing handler must not take the grid's event down with it.
    }
}

void TChnCalendar::GridClick()
{
    // The click notifications that the fill's own moves of the current cell
    // cause are no choice of the user; only the others may report a selection.
    if (FSelecting || !OnDateSelect)
        return;
    int col = -1, row = -1;
    if (FGrid->MouseToCell(FGrid->mapFromGlobal(QCursor::pos()), col, row) &&
        col == FGrid->Col() && row == FGrid->Row())
        OnDateSelect(this);
}

void TChnCalendar::GridMouseDown()
{
    FMouseClicked = true;
}

void TChnCalendar::leaveEvent(QEvent* event)
{
    FMouseClicked = false;
    QWidget::leaveEvent(event);
}

bool TChnCalendar::eventFilter(QObject* watched, QEvent* event)
{
    // The pointer leaving any part of the control ends a run of clicks.
    if (event->type() == QEvent::Leave)
        FMouseClicked = false;
    return QWidget::eventFilter(watched, event);
}

void TChnCalendar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        update();
        FGrid->update();
    }
    QWidget::changeEvent(event);
}

} // namespace calendar
