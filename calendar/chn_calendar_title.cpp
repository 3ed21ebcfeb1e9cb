// The title strip of TChnCalendar, its navigation and popup menus, the layout
// switch between a titled and an untitled calendar, and window creation.

#include "chn_calendar_picker.h"

#include "cal_geometry.h"
#include "draw_grid.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"
#include "title_parts.h"

#include <QAction>
#include <QCursor>
#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QMenu>
#include <QResizeEvent>
#include <QShowEvent>

namespace calendar {

namespace {

TTitleLabel* MakeLabel(QWidget* parent, const char* name, const QFont& font, const QColor& color,
                       QPoint pos, bool handCursor)
{
    auto* label = new TTitleLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->SetFontColor(color);
    label->move(pos);
    if (handCursor)
        label->setCursor(Qt::PointingHandCursor);
    return label;
}

QFont TitleFont(const char* family, int points, bool bold = false, bool underline = false)
{
    QFont f = platform::MakeFont(QString::fromUtf8(family), points);
    if (bold)
        f.setBold(true);
    f.setUnderline(underline);
    return f;
}

bool IsValidDate(int y, int m, int d)
{
    return QDate::isValid(y, m, d);
}

} // namespace

void TChnCalendar::CreateTitleParts()
{
    FTodayLabel = MakeLabel(this, "FTodayLabel", TitleFont("宋体", 9, false, true), QColor(0x00, 0x00, 0xFF),
                            {272, 18}, true);
    FTodayLabel->SetCaption(QStringLiteral("今天"));
    FTodayLabel->OnClick = [this](QObject*) { TodayClick(); };

    // The month number is right-aligned: created empty at left 34 and sized to
    // one blank, its right edge stays where that blank ends.
    FMonthLabel = MakeLabel(this, "FMonthLabel", TitleFont("Arial", 24, true), QColor(0x80, 0x80, 0xC0),
                            {34, 3}, true);
    FMonthLabelRight = 34 + QFontMetrics(FMonthLabel->font()).horizontalAdvance(QLatin1Char(' '));
    FMonthLabel->OnClick = [this](QObject*) { MonthLabelClick(); };

    FMonthUnitLabel = MakeLabel(this, "FMonthUnitLabel", TitleFont("宋体", 9), Qt::black, {45, 20}, true);
    FMonthUnitLabel->SetCaption(QStringLiteral("月"));
    FMonthUnitLabel->OnClick = [this](QObject*) { MonthLabelClick(); };

    FYearLabel = MakeLabel(this, "FYearLabel", TitleFont("Arial Black", 22), QColor(0x00, 0x00, 0xFF),
                           {120, 0}, true);
    FYearLabel->OnClick = [this](QObject*) { YearLabelClick(); };

    FYearUnitLabel = MakeLabel(this, "FYearUnitLabel", TitleFont("宋体", 9), Qt::black, {205, 18}, true);
    FYearUnitLabel->SetCaption(QStringLiteral("年"));
    FYearUnitLabel->OnClick = [this](QObject*) { YearLabelClick(); };

    FDateLineLabel = MakeLabel(this, "FDateLineLabel", TitleFont("宋体", 9), QColor(0x80, 0x80, 0x80),
                               {10, 236}, false);

    FMonthMenu = new QMenu(this);
    FMonthMenu->setObjectName(QStringLiteral("FMonthMenu"));
    FYearMenu = new QMenu(this);
    FYearMenu->setObjectName(QStringLiteral("FYearMenu"));
    FMonthLabel->PopupMenu = FMonthMenu;
    FMonthUnitLabel->PopupMenu = FMonthMenu;
    FYearLabel->PopupMenu = FYearMenu;
    FYearUnitLabel->PopupMenu = FYearMenu;

    FMonthUpDown = new TUpDown(0, 13, this);
    FMonthUpDown->setObjectName(QStringLiteral("FMonthUpDown"));
    FMonthUpDown->move(60, 10);
    FMonthUpDown->OnClick = [this](QObject*, TUDBtnType) { MonthUpDownClick(); };
    FMonthUpDown->hide();

    FYearUpDown = new TUpDown(YearMin, YearMax, this);
    FYearUpDown->setObjectName(QStringLiteral("FYearUpDown"));
    FYearUpDown->move(220, 10);
    FYearUpDown->OnClick = [this](QObject*, TUDBtnType) { YearUpDownClick(); };
    FYearUpDown->hide();

    for (QWidget* part : std::initializer_list<QWidget*>{FTodayLabel, FMonthLabel, FMonthUnitLabel, FYearLabel,
                                                         FYearUnitLabel, FDateLineLabel, FMonthUpDown,
                                                         FYearUpDown})
        part->installEventFilter(this);
}

void TChnCalendar::SetMonthLabelText(const QString& text)
{
    FMonthLabel->SetCaption(text);
    FMonthLabel->move(FMonthLabelRight - FMonthLabel->width(), FMonthLabel->y());
}

// ---- Window creation and layout ------------------------------------------

void TChnCalendar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!FWindowCreated) {
        FWindowCreated = true;
        CreateWnd();
    }
}

void TChnCalendar::CreateWnd()
{
    BuildMenus();
    FGrid->SetColWidth(0, FShowWeekNum ? WeekNumColWidth : NarrowFirstColWidth);
    FGrid->SetRowHeight(0, HeaderRowHeight);
    LayoutGrid();
    SetDateTime(Now());
    SetShowTitle(true);
}

void TChnCalendar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Sizes only matter once the control is on screen; window creation lays it
    // out for the size it has then.
    if (!FWindowCreated)
        return;
    ApplyLayoutSwitch(FShowTitle);
    update();
}

void TChnCalendar::SetShowTitle(bool Value)
{
    ApplyLayoutSwitch(Value);
}

void TChnCalendar::ApplyLayoutSwitch(bool showTitle)
{
    FShowTitle = showTitle;
    FYearUpDown->setVisible(showTitle);
    FMonthUpDown->setVisible(showTitle);
    FGrid->setGeometry(GridRectFor(size(), showTitle));
    FGrid->SetPopupMenu(showTitle ? nullptr : FYearMenu);
    LayoutGrid();
    if (FPictureBitmap.size() != size() && !FPictureBitmap.isNull())
        FPictureBitmap = QImage(size(), QImage::Format_RGB32);
    RebuildBackground(); // resizes the base image to the control
    FGrid->Repaint();
    update();
}

// ---- Menus ----------------------------------------------------------------

void TChnCalendar::BuildMenus()
{
    const auto addItem = [](QMenu* menu, const QString& caption, const QString& name, int tag) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        item->setData(tag);
        return item;
    };
    const auto addSeparator = [](QMenu* menu, const QString& name) {
        QAction* item = menu->addSeparator();
        item->setObjectName(name);
        item->setData(0);
    };
    const auto addSubmenu = [](QMenu* menu, const QString& caption, const QString& name) {
        QMenu* sub = menu->addMenu(caption);
        sub->setObjectName(name);
        sub->menuAction()->setObjectName(name);
        sub->menuAction()->setData(0);
        return sub;
    };
    const QString today = QStringLiteral("今日");

    FMonthMenu->clear();
    QAction* monthToday = addItem(FMonthMenu, today, QStringLiteral("MenuMonth_ToDay"), 0);
    connect(monthToday, &QAction::triggered, this, [this] { TodayClick(); });
    FMonthMenu->setDefaultAction(monthToday);
    addSeparator(FMonthMenu, QStringLiteral("MenuMonth_ToDay_"));
    const QLocale locale = QLocale::system();
    for (int m = 1; m <= 12; ++m) {
        QAction* item = addItem(FMonthMenu, locale.monthName(m, QLocale::LongFormat),
                                QStringLiteral("MenuMonth_%1").arg(m - 1), m);
        connect(item, &QAction::triggered, this, [this, item] { MonthMenuClick(item); });
    }

    FYearMenu->clear();
    QAction* yearToday = addItem(FYearMenu, today, QStringLiteral("MenuYear_ToDay"), 0);
    connect(yearToday, &QAction::triggered, this, [this] { TodayClick(); });
    FYearMenu->setDefaultAction(yearToday);
    addSeparator(FYearMenu, QStringLiteral("MenuYear_ToDay_1"));
    QMenu* history = addSubmenu(FYearMenu, QStringLiteral("历史日期"), QStringLiteral("MenuYear_History"));
    addSeparator(FYearMenu, QStringLiteral("MenuYear_ToDay_2"));

    const auto addYear = [&](QMenu* menu, int year, const QString& prefix) {
        QAction* item = addItem(menu, QString::number(year), prefix + QString::number(year), year);
        connect(item, &QAction::triggered, this, [this, item] { YearMenuClick(item); });
    };
    // Centuries "0" .. "1800", each offering its years 10, 20, .. 100.
    for (int k = 0; k <= 18; ++k) {
        QMenu* century = addSubmenu(history, QString::number(k * 100),
                                    QStringLiteral("MenuYear_History_%1").arg(k * 100 + 10));
        for (int year = k * 100 + 10; year <= k * 100 + 100; year += 10)
            addYear(century, year, QStringLiteral("MenuYear_History_"));
    }
    // Decades 1900 .. 2090, each offering its ten years.
    for (int decade = 1900; decade <= 2090; decade += 10) {
        QMenu* sub = addSubmenu(FYearMenu, QString::number(decade), QStringLiteral("MenuYear_%1").arg(decade));
        for (int year = decade; year <= decade + 9; ++year)
            addYear(sub, year, QStringLiteral("MenuYear_"));
    }
}

void TChnCalendar::MonthLabelClick()
{
    FMonthMenu->popup(QCursor::pos());
}

void TChnCalendar::YearLabelClick()
{
    FYearMenu->popup(QCursor::pos());
}

void TChnCalendar::MonthMenuClick(QAction* item)
{
    FMonthUpDown->SetPosition(item->data().toInt());
    MonthUpDownClick();
}

void TChnCalendar::YearMenuClick(QAction* item)
{
    FYearUpDown->SetPosition(item->data().toInt());
    YearUpDownClick();
}

// ---- Navigation -----------------------------------------------------------

void TChnCalendar::TodayClick()
{
    SetDateTime(Now());
}

void TChnCalendar::ShowDateOfUpDowns()
{
    int y = 0, m = 0, d = 0;
    if (!lunar::DecodeDate(FDateTime, y, m, d))
        return;
    FYearUpDown->SetPosition(y);
    FMonthUpDown->SetPosition(m);
}

void TChnCalendar::MonthUpDownClick()
{
    int y = 0, m = 0, d = 0;
    if (!lunar::DecodeDate(FDateTime, y, m, d))
        return;
    // Positions 0 and 13 step into the previous or next year.
    const int p = FMonthUpDown->Position();
    if (p == 13) {
        ++y;
        FYearUpDown->SetPosition(y);
        FMonthUpDown->SetPosition(1);
    } else if (p == 0) {
        --y;
        FYearUpDown->SetPosition(y);
        FMonthUpDown->SetPosition(12);
    }
    m = FMonthUpDown->Position();
    if (y < YearMin || y > YearMax) {
        // The date stays; so do the up-downs, or the next step would start
        // from a month the calendar does not show.
        ShowDateOfUpDowns();
        return;
    }
    while (d > 1 && !IsValidDate(y, m, d))
        --d; // 31 March stepped on gives 30 April
    double date = 0;
    if (lunar::EncodeDate(y, m, d, date))
        SetDateTime(date);
}

void TChnCalendar::YearUpDownClick()
{
    int y = 0, m = 0, d = 0;
    if (!lunar::DecodeDate(FDateTime, y, m, d))
        return;
    y = FYearUpDown->Position();
    while (d > 0 && !IsValidDate(y, m, d))
        --d; // 29 February stepped to a common year gives 28 February
    double date = 0;
    if (d > 0 && lunar::EncodeDate(y, m, d, date))
        SetDateTime(date);
    else
        SetDateTime(Now());
}

} // namespace calendar
