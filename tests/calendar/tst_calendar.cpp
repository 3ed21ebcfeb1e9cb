// Tests of the month-calendar control TChnCalendar and its parts, offscreen.

#include "calendar/cal_geometry.h"
#include "calendar/cal_paint.h"
#include "calendar/chn_calendar_picker.h"
#include "calendar/draw_grid.h"
#include "calendar/title_parts.h"
#include "lunar/chn_calendar_use.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTest>

#include <memory>
#include <stdexcept>

using calendar::TChnCalendar;
using calendar::TDrawGrid;
using calendar::TUpDown;

namespace {

double Day(int y, int m, int d)
{
    double v = 0;
    if (!lunar::EncodeDate(y, m, d, v))
        qFatal("bad test date %d-%d-%d", y, m, d);
    return v;
}

// The date-time of a time of day on a date: the fraction counts away from
// 1899-12-30, so before that day it is subtracted.
double DayAt(int y, int m, int d, double timeOfDay)
{
    const double day = Day(y, m, d);
    return day < 0 ? day - timeOfDay : day + timeOfDay;
}

QString Ymd(double dt)
{
    int y = 0, m = 0, d = 0;
    lunar::DecodeDate(dt, y, m, d);
    return QStringLiteral("%1-%2-%3").arg(y, 4, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

// Slot of day d of the month shown: weekday of the 1st plus d - 1.
int SlotOfDay(int y, int m, int d)
{
    return lunar::DayOfWeek(Day(y, m, 1)) + d - 1;
}

QString U8(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TChnCalendar> cal;
    TDrawGrid* grid = nullptr;
    int changes = 0;
    int dateClicks = 0;
    int dateSelects = 0;
    double now = 0;

    // A shown calendar whose "today" is 2013-01-03 10:30 unless a test moves it.
    void Make(QSize size = QSize(313, 253))
    {
        cal.reset(new TChnCalendar);
        cal->resize(size);
        cal->show();
        QVERIFY(QTest::qWaitForWindowExposed(cal.get()));
        grid = cal->Grid();
        changes = dateClicks = dateSelects = 0;
        cal->OnChange = [this](QObject* sender) { QCOMPARE(sender, cal.get()); ++changes; };
        cal->OnDateClick = [this](QObject*) { ++dateClicks; };
        cal->OnDateSelect = [this](QObject*) { ++dateSelects; };
    }

    QPoint CellCentre(int col, int row) const { return grid->CellRect(col, row).center(); }

    void ClickCell(int col, int row)
    {
        const QPoint p = CellCentre(col, row);
        QCursor::setPos(grid->mapToGlobal(p));
        QTest::mouseClick(grid, Qt::LeftButton, {}, p);
    }

    QImage GrabCell(int col, int row)
    {
        const QImage all = cal->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return all.copy(grid->CellRect(col, row).translated(grid->pos()));
    }

    // The grid cell (column, row) that shows day d of the month shown.
    void CellOfDay(int y, int m, int d, int& col, int& row)
    {
        const int slot = SlotOfDay(y, m, d);
        col = (slot - 1) % 7 + 1;
        row = (slot - 1) / 7 + 1;
    }

private slots:
    void initTestCase()
    {
        platform::InstallFontSubstitutions();
        TChnCalendar::SetNowFunction([this] { return now; });
    }
    void init() { now = Day(2013, 1, 3) + 0.4375; }
    void cleanup() { cal.reset(); }

    // ---- geometry --------------------------------------------------------

    void layout_data()
    {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<bool>("showTitle");
        QTest::addColumn<QRect>("gridRect");
        QTest::addColumn<int>("row1");
        QTest::addColumn<int>("row6");
        QTest::addColumn<int>("col1");
        QTest::addColumn<int>("col8");
        QTest::newRow("default 313x253 titled") << QSize(313, 253) << true << QRect(8, 40, 298, 186) << 27 << 33 << 40 << 12;
        QTest::newRow("resized 419x250 titled") << QSize(419, 250) << true << QRect(8, 40, 404, 183) << 26 << 35 << 55 << 13;
        QTest::newRow("313x253 untitled") << QSize(313, 253) << false << QRect(2, 2, 309, 249) << 37 << 46 << 42 << 9;
    }
    void layout()
    {
        QFETCH(QSize, control);
        QFETCH(bool, showTitle);
        Make();
        cal->resize(control);
        cal->SetShowTitle(showTitle);
        QFETCH(QRect, gridRect);
        QFETCH(int, row1);
        QCOMPARE(grid->geometry(), gridRect);
        QCOMPARE(grid->RowHeight(0), 18);
        QCOMPARE(grid->ColWidth(0), 6);
        for (int r = 1; r <= 5; ++r)
            QCOMPARE(grid->RowHeight(r), row1);
        QFETCH(int, row6);
        QFETCH(int, col1);
        QFETCH(int, col8);
        QCOMPARE(grid->RowHeight(6), row6);
        for (int c = 1; c <= 7; ++c)
            QCOMPARE(grid->ColWidth(c), col1);
        QCOMPARE(grid->ColWidth(8), col8);
        QCOMPARE(cal->BackBitmap().size(), control);
        QCOMPARE(cal->findChild<TUpDown*>("FYearUpDown")->isVisible(), showTitle);
        QCOMPARE(grid->PopupMenu(), showTitle ? nullptr : cal->findChild<QMenu*>("FYearMenu"));
    }

    void tinyControlKeepsSizesNonNegative()
    {
        Make();
        cal->resize(10, 10);
        for (int c = 0; c < grid->ColCount(); ++c)
            QVERIFY(grid->ColWidth(c) >= 0);
        for (int r = 0; r < grid->RowCount(); ++r)
            QVERIFY(grid->RowHeight(r) >= 0);
        cal->grab(); // paints without failing
    }

    void showWeekNumChangesOnlyColumn0()
    {
        Make();
        cal->SetShowWeekNum(true);
        QCOMPARE(grid->ColWidth(0), 18);
        QCOMPARE(grid->ColWidth(1), 40);
        cal->SetShowWeekNum(false);
        QCOMPARE(grid->ColWidth(0), 6);
        cal->SetShowWeekNum(true);
        cal->resize(419, 250); // the next layout pass shares out the rest again
        QCOMPARE(grid->ColWidth(0), 18);
        QCOMPARE(grid->ColWidth(1), (404 - 18) / 7 - 1);
    }

    void fitPictureRect_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<bool>("centre");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("landscape centred") << QSize(400, 200) << QSize(313, 253) << true << QRect(0, 48, 313, 156);
        QTest::newRow("landscape top-left") << QSize(400, 200) << QSize(313, 253) << false << QRect(0, 0, 313, 156);
        QTest::newRow("landscape limited by height") << QSize(1000, 900) << QSize(313, 253) << false << QRect(0, 0, 281, 253);
        QTest::newRow("portrait centred") << QSize(200, 400) << QSize(313, 253) << true << QRect(93, 0, 126, 253);
        QTest::newRow("portrait limited by width") << QSize(300, 310) << QSize(100, 253) << false << QRect(0, 0, 100, 103);
        QTest::newRow("square") << QSize(50, 50) << QSize(313, 253) << true << QRect(30, 0, 253, 253);
        QTest::newRow("height 0 fits nowhere") << QSize(50, 0) << QSize(313, 253) << true << QRect();
    }
    void fitPictureRect()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, box);
        QFETCH(bool, centre);
        QFETCH(QRect, expected);
        QCOMPARE(calendar::FitPictureRect(picture.width(), picture.height(), box.width(), box.height(), centre),
                 expected);
    }

    // ---- painting helpers -------------------------------------------------

    void blendBitmap_data()
    {
        QTest::addColumn<uint>("weight");
        QTest::addColumn<QRgb>("expected"); // dest #204060 under src #A0C0E0
        QTest::newRow("50") << 50u << qRgb(0x60, 0x80, 0xA0);
        QTest::newRow("100 acts as 0") << 100u << qRgb(0x20, 0x40, 0x60);
        QTest::newRow("150 acts as 50") << 150u << qRgb(0x60, 0x80, 0xA0);
        QTest::newRow("99 shows the picture almost alone") << 99u << qRgb(0x9E, 0xBE, 0xDE);
        QTest::newRow("0") << 0u << qRgb(0x20, 0x40, 0x60);
    }
    void blendBitmap()
    {
        QFETCH(uint, weight);
        QFETCH(QRgb, expected);
        QImage dest(4, 4, QImage::Format_RGB32);
        dest.fill(qRgb(0x20, 0x40, 0x60));
        QImage src(4, 4, QImage::Format_RGB32);
        src.fill(qRgb(0xA0, 0xC0, 0xE0));
        calendar::BlendBitmap(dest, src, {0, 0}, QRgb(0xFFFFFF), weight);
        QCOMPARE(dest.pixel(2, 2) & 0xFFFFFF, expected & 0xFFFFFF);
    }

    void blendBitmapKeyColour()
    {
        // The top-left pixel is pure red: every pure red pixel stays out.
        QImage dest(3, 3, QImage::Format_RGB32);
        dest.fill(qRgb(0, 0, 0xFF));
        QImage src(3, 3, QImage::Format_ARGB32);
        src.fill(qRgb(0xFF, 0, 0));
        src.setPixel(1, 1, qRgb(0, 0xFF, 0));
        calendar::BlendBitmap(dest, src, {0, 0}, std::nullopt, 50);
        QCOMPARE(dest.format(), QImage::Format_RGB32);
        QCOMPARE(dest.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
        QCOMPARE(dest.pixel(2, 1) & 0xFFFFFF, 0x0000FFu);
        QCOMPARE(dest.pixel(1, 1) & 0xFFFFFF, 0x007F7Fu);
        // Shifted by the origin, pixels outside dest are skipped.
        calendar::BlendBitmap(dest, src, {2, 2}, QRgb(0x123456), 100 + 99);
        QCOMPARE(dest.pixel(2, 2) & 0xFFFFFF, 0xFC0002u);
    }

    void fillGradient_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("y");
        QTest::addColumn<QRgb>("expected");
        // #00AE53 -> #00D565 in 256 bands: a 27-pixel cell
        QTest::newRow("27 px, row 0") << 27 << 0 << qRgb(0x00, 0xAF, 0x53);
        QTest::newRow("27 px, row 1") << 27 << 1 << qRgb(0x00, 0xB0, 0x54);
        QTest::newRow("27 px, row 25") << 27 << 25 << qRgb(0x00, 0xD3, 0x64);
        QTest::newRow("27 px, row 26") << 27 << 26 << qRgb(0x00, 0xD4, 0x65);
        QTest::newRow("256 px, first band one step on") << 256 << 0 << qRgb(0x00, 0xAE, 0x53);
        QTest::newRow("256 px, last band the end colour") << 256 << 255 << qRgb(0x00, 0xD5, 0x65);
    }
    void fillGradient()
    {
        QFETCH(int, height);
        QFETCH(int, y);
        QFETCH(QRgb, expected);
        QImage img(3, height, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        calendar::FillGradient(p, img.rect(), 256, calendar::TGradientDirection::TopToBottom,
                               QColor(0x00, 0xAE, 0x53), QColor(0x00, 0xD5, 0x65));
        p.end();
        QCOMPARE(img.pixel(1, y) & 0xFFFFFF, expected & 0xFFFFFF);
    }

    void fillGradientWithoutBandsDrawsNothing()
    {
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        calendar::FillGradient(p, img.rect(), 0, calendar::TGradientDirection::LeftToRight, Qt::black, Qt::black);
        p.end();
        QCOMPARE(img.pixel(2, 2), qRgb(255, 255, 255));
    }

    void headerText_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("showWeekNum");
        QTest::addColumn<QString>("expected");
        const QLocale l = QLocale::system();
        QTest::newRow("38 px: short Sunday") << 1 << 38 << false << QStringLiteral("日");
        QTest::newRow("38 px: short Saturday") << 7 << 38 << false << QStringLiteral("六");
        QTest::newRow("39 px: long Sunday") << 1 << 39 << false << l.dayName(7, QLocale::LongFormat);
        QTest::newRow("39 px: long Wednesday") << 4 << 39 << false << l.dayName(3, QLocale::LongFormat);
        QTest::newRow("week column shown") << 0 << 18 << true << QStringLiteral("W");
        QTest::newRow("week column hidden") << 0 << 6 << false << QString();
        QTest::newRow("filler") << 8 << 12 << true << QString();
    }
    void headerText()
    {
        QFETCH(int, col);
        QFETCH(int, width);
        QFETCH(bool, showWeekNum);
        QFETCH(QString, expected);
        QCOMPARE(calendar::HeaderCellText(col, width, showWeekNum), expected);
        QCOMPARE(calendar::WeekDayName(0, true), QString());
        QCOMPARE(calendar::WeekDayName(8, false), QString());
    }

    // ---- month fill -------------------------------------------------------

    void slotPlacement_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<int>("firstSlot");
        QTest::addColumn<int>("lastSlot");
        QTest::newRow("September 2024 starts on Sunday") << QDate(2024, 9, 1) << 1 << 30;
        QTest::newRow("March 2025: 31 days from Saturday") << QDate(2025, 3, 1) << 7 << 37;
        QTest::newRow("February 2015: 28 days from Sunday") << QDate(2015, 2, 1) << 1 << 28;
        QTest::newRow("February 2024: leap, from Thursday") << QDate(2024, 2, 1) << 5 << 33;
    }
    void slotPlacement()
    {
        QFETCH(QDate, month);
        QFETCH(int, firstSlot);
        QFETCH(int, lastSlot);
        Make();
        cal->SetDateTime(Day(month.year(), month.month(), 1));
        for (int slot = 1; slot <= 39; ++slot) {
            const bool holdsDay = slot >= firstSlot && slot <= lastSlot;
            QCOMPARE(cal->DaySlot(slot).Valid, holdsDay);
            if (holdsDay) {
                QCOMPARE(cal->DaySlot(slot).Day, slot - firstSlot + 1);
                QCOMPARE(cal->DaySlot(slot).DayText, QString::number(slot - firstSlot + 1));
            }
        }
        for (int slot = 40; slot <= 42; ++slot)
            QVERIFY(cal->DaySlot(slot).Valid);
        for (int slot = 43; slot <= 50; ++slot)
            QVERIFY(!cal->DaySlot(slot).Valid);
        // The selected day is the grid's current cell.
        QCOMPARE(grid->Row(), (firstSlot - 1) / 7 + 1);
        QCOMPARE(grid->Col(), (firstSlot - 1) % 7 + 1);
    }

    void weekNumbers_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("January 2011") << QDate(2011, 1, 1) << QStringList{"52", "1", "2", "3", "4", "5"};
        QTest::newRow("September 2024 from Sunday") << QDate(2024, 9, 1) << QStringList{"35", "36", "37", "38", "39", "40"};
        QTest::newRow("February 2015: four Sunday rows") << QDate(2015, 2, 1) << QStringList{"5", "6", "7", "8", "9", ""};
    }
    void weekNumbers()
    {
        QFETCH(QDate, month);
        QFETCH(QStringList, expected);
        Make();
        cal->SetDateTime(Day(month.year(), month.month(), 15));
        for (int row = 1; row <= 6; ++row)
            QCOMPARE(cal->WeekNum(row), expected.at(row - 1));
    }

    void cellTextsFollowTheRecord_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::newRow("2024-02 new year") << QDate(2024, 2, 1);
        QTest::newRow("2023-03 leap month") << QDate(2023, 3, 1);
        QTest::newRow("2024-12") << QDate(2024, 12, 1);
        QTest::newRow("1900-01 before 1949") << QDate(1900, 1, 1);
    }
    void cellTextsFollowTheRecord()
    {
        QFETCH(QDate, month);
        Make();
        cal->SetColorDate(QColor(0x11, 0x22, 0x33));
        cal->SetDateTime(Day(month.year(), month.month(), 1));
        lunar::TChnCal rec;
        for (int d = 1; d <= month.daysInMonth(); ++d) {
            rec.SetDate(Day(month.year(), month.month(), d));
            const calendar::TcnDateInf& s = cal->DaySlot(SlotOfDay(month.year(), month.month(), d));
            QString text;
            QColor color;
            if (U8(rec.FCnDay) != QStringLiteral("初一")) {
                text = U8(rec.FCnDay);
                color = cal->ColorCnDate();
            } else {
                text = U8(rec.FCnMonth);
                color = QColor(0xFF, 0, 0);
            }
            if (!rec.FHoliday.empty()) { text = U8(rec.FHoliday); color = cal->ColorHoliday(); }
            if (!rec.FSolarTerm.empty()) { text = U8(rec.FSolarTerm); color = cal->ColorLunarHolDay(); }
            if (!rec.FCnHolDay.empty()) { text = U8(rec.FCnHolDay); color = cal->ColorCnHolDay(); }
            QCOMPARE(s.CnText, text);
            QCOMPARE(s.CnColor, color);
            QCOMPARE(s.CnDay, U8(rec.FCnDay));
            const int weekday = QDate(month.year(), month.month(), d).dayOfWeek(); // 7 = Sunday
            QCOMPARE(s.DayColor, (weekday == 6 || weekday == 7) ? QColor(0xFF, 0, 0) : QColor(0x11, 0x22, 0x33));
        }
    }

    void cellTextsOfFebruary2024_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colorOf");
        QTest::newRow("04 solar term 立春") << 4 << QStringLiteral("立春") << "LunarHolDay";
        QTest::newRow("05 lunar day 廿六") << 5 << QStringLiteral("廿六") << "CnDate";
        QTest::newRow("09 New Year's Eve") << 9 << QStringLiteral("除夕") << "CnHolDay";
        QTest::newRow("10 lunar new year 春节") << 10 << QStringLiteral("春节") << "CnHolDay";
        QTest::newRow("14 Gregorian festival") << 14 << QStringLiteral("情人节") << "Holiday";
    }
    void cellTextsOfFebruary2024()
    {
        QFETCH(int, day);
        QFETCH(QString, text);
        QFETCH(QString, colorOf);
        Make();
        cal->SetColorCnHolDay(QColor(0x01, 0x02, 0x03)); // tell the festival colours apart
        cal->SetDateTime(Day(2024, 2, 10));
        const calendar::TcnDateInf& s = cal->DaySlot(SlotOfDay(2024, 2, day));
        QCOMPARE(s.CnText, text);
        const QColor expected = colorOf == "LunarHolDay" ? cal->ColorLunarHolDay()
                              : colorOf == "CnHolDay"    ? cal->ColorCnHolDay()
                              : colorOf == "Holiday"     ? cal->ColorHoliday()
                                                         : cal->ColorCnDate();
        QCOMPARE(s.CnColor, expected);
        // Information texts of the selected day and the date line.
        QCOMPARE(cal->DaySlot(40).DayText, QStringLiteral("宝瓶"));
        QCOMPARE(cal->DaySlot(41).DayText, QStringLiteral("甲辰"));
        QCOMPARE(cal->DaySlot(42).DayText, QStringLiteral("龙年"));
        QCOMPARE(cal->CnDate(), QStringLiteral("正月初一"));
        QCOMPARE(cal->findChild<QLabel*>("FDateLineLabel")->text(), QStringLiteral("2024-02-10 农历正月初一"));
    }

    void festivalOutranksSolarTerm()
    {
        // Look for a day that is both a lunar festival and a solar-term day.
        lunar::TChnCal rec;
        double found = 0;
        for (double d = Day(1980, 1, 1); d < Day(2060, 1, 1) && found == 0; d += 1) {
            rec.SetDate(d);
            if (!rec.FSolarTerm.empty() && !rec.FCnHolDay.empty())
                found = d;
        }
        QVERIFY2(found != 0, "no day with both a lunar festival and a solar term");
        Make();
        cal->SetDateTime(found);
        int y = 0, m = 0, d = 0;
        lunar::DecodeDate(found, y, m, d);
        const calendar::TcnDateInf& s = cal->DaySlot(SlotOfDay(y, m, d));
        QCOMPARE(s.CnText, U8(rec.FCnHolDay));
        QCOMPARE(s.CnColor, cal->ColorCnHolDay());
    }

    void dateLineBefore1949ShowsEra()
    {
        Make();
        cal->SetDateTime(Day(1900, 1, 31));
        lunar::TChnCal rec;
        rec.SetDate(Day(1900, 1, 31));
        QCOMPARE(cal->findChild<QLabel*>("FDateLineLabel")->text(),
                 U8(rec.FEraText) + QStringLiteral(" 农历正月初一"));
        QCOMPARE(cal->findChild<QLabel*>("FYearLabel")->text(), QStringLiteral("1900"));
        QCOMPARE(cal->findChild<QLabel*>("FMonthLabel")->text(), QStringLiteral("1"));
    }

    // ---- OnChange ---------------------------------------------------------

    void onChangeCounts()
    {
        Make();
        QCOMPARE(cal->DateTime(), now); // window creation selected today, with its time
        cal->SetDateTime(Day(2020, 5, 6));
        cal->SetDateTime(Day(2020, 5, 6));
        QCOMPARE(changes, 1);
        cal->SetDateTime(Day(2020, 5, 6) + 0.25); // another time of the same day
        QCOMPARE(changes, 2);
        cal->SetDateTime(Day(2020, 5, 7)); // same month: filled again all the same
        QCOMPARE(changes, 3);
    }

    void outOfRangeDatesAreIgnored_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("2101-01-01") << Day(2101, 1, 1);
        QTest::newRow("9999-12-31") << Day(9999, 12, 31);
        QTest::newRow("far beyond") << 1e12;
        QTest::newRow("before year 1") << -1e9;
        QTest::newRow("not a number") << std::nan("");
        QTest::newRow("infinity") << HUGE_VAL;
    }
    void outOfRangeDatesAreIgnored()
    {
        QFETCH(double, value);
        Make();
        const double before = cal->DateTime();
        cal->SetDateTime(value);
        QCOMPARE(cal->DateTime(), before);
        QCOMPARE(changes, 0);
    }

    void rangeEnds()
    {
        Make();
        cal->SetDateTime(Day(1, 1, 1));
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("0001-01-01"));
        cal->SetDateTime(Day(2100, 12, 31));
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("2100-12-31"));
        QCOMPARE(changes, 2);
    }

    void colourWritesRefill()
    {
        Make();
        cal->SetColorCnDate(QColor(0x12, 0x34, 0x56));
        QCOMPARE(changes, 1);
        cal->SetColorCnDate(QColor(0x12, 0x34, 0x56)); // unchanged: nothing to do
        QCOMPARE(changes, 1);
        QCOMPARE(cal->DaySlot(SlotOfDay(2013, 1, 3)).CnColor, QColor(0x12, 0x34, 0x56));
        cal->SetColorSelectedEnd(Qt::blue); // repaint only
        cal->SetColorBackYear(Qt::blue);    // rebuild only
        QCOMPARE(changes, 1);
    }

    void handlerExceptionsAreSwallowed()
    {
        Make();
        cal->OnChange = [](QObject*) { throw std::runtime_error("handler failed"); };
        cal->SetDateTime(Day(2020, 5, 6));
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("2020-05-06"));
        cal->OnDrawDateCell = [](QObject*, int, QPainter*, QRect, bool, QString&, bool&) {
            throw std::runtime_error("draw failed");
        };
        cal->grab();
        cal->OnDateClick = [](QObject*) { throw std::runtime_error("click failed"); };
        ClickCell(2, 2);
        QVERIFY(cal->DateTime() != Day(2020, 5, 6));
    }

    // ---- the user's choice ------------------------------------------------

    void clickingTheSelectedDay()
    {
        Make(); // today 2013-01-03 10:30
        int col = 0, row = 0;
        CellOfDay(2013, 1, 3, col, row);
        ClickCell(col, row);
        QCOMPARE(cal->DateTime(), Day(2013, 1, 3)); // now at 00:00
        QCOMPARE(changes, 1);
        QCOMPARE(dateSelects, 1);
        ClickCell(col, row);
        QCOMPARE(changes, 1);
        QCOMPARE(dateSelects, 2);
    }

    void clickingAnotherDay()
    {
        Make();
        int col = 0, row = 0;
        CellOfDay(2013, 1, 20, col, row);
        ClickCell(col, row);
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("2013-01-20"));
        QCOMPARE(grid->Col(), col);
        QCOMPARE(grid->Row(), row);
        QCOMPARE(changes, 1);
        QCOMPARE(dateSelects, 1); // at the release only
    }

    void refusedClicks_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        // January 2013 runs from Tuesday (slot 3) to Thursday (slot 33).
        QTest::newRow("header row") << 4 << 0;
        QTest::newRow("week-number column") << 0 << 2;
        QTest::newRow("filler column") << 8 << 2;
        QTest::newRow("empty cell before the 1st") << 1 << 1;
        QTest::newRow("empty cell after the last") << 7 << 5;
        QTest::newRow("information text") << 6 << 6;
    }
    void refusedClicks()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        Make();
        const double before = cal->DateTime();
        const int c0 = grid->Col(), r0 = grid->Row();
        ClickCell(col, row);
        QCOMPARE(cal->DateTime(), before);
        QCOMPARE(grid->Col(), c0);
        QCOMPARE(grid->Row(), r0);
        QCOMPARE(changes, 0);
        QCOMPARE(dateSelects, 0);
    }

    void arrowKeys_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("right to the next day") << QDate(2013, 1, 3) << int(Qt::Key_Right) << QDate(2013, 1, 4);
        QTest::newRow("down a week") << QDate(2013, 1, 3) << int(Qt::Key_Down) << QDate(2013, 1, 10);
        QTest::newRow("left onto an empty cell") << QDate(2013, 1, 1) << int(Qt::Key_Left) << QDate(2013, 1, 1);
        QTest::newRow("up onto the header") << QDate(2013, 1, 3) << int(Qt::Key_Up) << QDate(2013, 1, 3);
        QTest::newRow("down onto an empty cell") << QDate(2013, 1, 31) << int(Qt::Key_Down) << QDate(2013, 1, 31);
        QTest::newRow("right into the filler") << QDate(2013, 1, 5) << int(Qt::Key_Right) << QDate(2013, 1, 5);
        QTest::newRow("left into the week numbers") << QDate(2013, 1, 6) << int(Qt::Key_Left) << QDate(2013, 1, 6);
        QTest::newRow("down onto an information text") << QDate(2025, 3, 26) << int(Qt::Key_Down) << QDate(2025, 3, 26);
    }
    void arrowKeys()
    {
        QFETCH(QDate, start);
        QFETCH(int, key);
        QFETCH(QDate, expected);
        Make();
        cal->SetDateTime(Day(start.year(), start.month(), start.day()));
        changes = 0;
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key(key));
        QCOMPARE(Ymd(cal->DateTime()), expected.toString(Qt::ISODate));
        QCOMPARE(changes, start == expected ? 0 : 1);
        int col = 0, row = 0;
        CellOfDay(expected.year(), expected.month(), expected.day(), col, row);
        QCOMPARE(grid->Col(), col);
        QCOMPARE(grid->Row(), row);
        QCOMPARE(dateClicks, 0); // no mouse press has set the click flag
    }

    void dateClickNeedsAnEarlierPress()
    {
        Make();
        ClickCell(4, 2); // the first press sets the flag only after it was handled
        QCOMPARE(dateClicks, 0);
        ClickCell(5, 2);
        QCOMPARE(dateClicks, 1);
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(dateClicks, 2);
        QEvent leave(QEvent::Leave); // the pointer leaves a part of the control
        QApplication::sendEvent(grid, &leave);
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(dateClicks, 2);
        QCOMPARE(changes, 4);
    }

    // ---- navigation -------------------------------------------------------

    void navigation_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("month up in December") << QDate(2012, 12, 15) << "month+" << "2013-01-15";
        QTest::newRow("month down in January") << QDate(2013, 1, 15) << "month-" << "2012-12-15";
        QTest::newRow("31 March on to April") << QDate(2013, 3, 31) << "month+" << "2013-04-30";
        QTest::newRow("31 January on to February") << QDate(2012, 1, 31) << "month+" << "2012-02-29";
        QTest::newRow("menu February on 30 January") << QDate(2013, 1, 30) << "MenuMonth_1" << "2013-02-28";
        QTest::newRow("menu 1900 on 29 February 2012") << QDate(2012, 2, 29) << "MenuYear_1900" << "1900-02-28";
        QTest::newRow("menu history 10") << QDate(2012, 5, 5) << "MenuYear_History_10" << "0010-05-05";
        QTest::newRow("year up on 29 February 2012") << QDate(2012, 2, 29) << "year+" << "2013-02-28";
        QTest::newRow("year down from 2100") << QDate(2100, 6, 1) << "year-" << "2099-06-01";
        QTest::newRow("no month after December 2100") << QDate(2100, 12, 31) << "month+" << "2100-12-31";
        QTest::newRow("no month before January 1") << QDate(1, 1, 1) << "month-" << "0001-01-01";
        QTest::newRow("no year after 2100") << QDate(2100, 3, 1) << "year+" << "2100-03-01";
    }
    void navigation()
    {
        QFETCH(QDate, start);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        Make();
        cal->SetDateTime(DayAt(start.year(), start.month(), start.day(), 0.75));
        auto* monthUpDown = cal->findChild<TUpDown*>("FMonthUpDown");
        auto* yearUpDown = cal->findChild<TUpDown*>("FYearUpDown");
        if (action == "month+" || action == "month-" || action == "year+" || action == "year-") {
            TUpDown* ud = action.startsWith("month") ? monthUpDown : yearUpDown;
            // The upper arrow steps forward, the lower one back.
            const QPoint arrow(ud->width() / 2, action.endsWith('+') ? 2 : ud->height() - 3);
            QTest::mouseClick(ud, Qt::LeftButton, {}, arrow);
        } else {
            QAction* item = nullptr;
            for (QAction* a : cal->findChildren<QAction*>(action))
                if (!a->menu())
                    item = a;
            QVERIFY(item);
            item->trigger();
        }
        QCOMPARE(Ymd(cal->DateTime()), expected);
        const bool moved = expected != start.toString(Qt::ISODate);
        if (moved)
            QCOMPARE(cal->DateTime() - std::floor(cal->DateTime()), 0.0); // time of day dropped
        // The up-downs stand at the date shown, also after a refused step.
        QCOMPARE(yearUpDown->Position(), expected.left(4).toInt());
        QCOMPARE(monthUpDown->Position(), expected.mid(5, 2).toInt());
    }

    void refusedStepDoesNotJumpLater()
    {
        Make();
        cal->SetDateTime(Day(2100, 12, 10));
        auto* monthUpDown = cal->findChild<TUpDown*>("FMonthUpDown");
        monthUpDown->Step(calendar::TUDBtnType::btNext);
        monthUpDown->Step(calendar::TUDBtnType::btNext);
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("2100-12-10"));
        monthUpDown->Step(calendar::TUDBtnType::btPrev);
        QCOMPARE(Ymd(cal->DateTime()), QStringLiteral("2100-11-10"));
    }

    void todayKeepsTheTime()
    {
        Make();
        cal->SetDateTime(Day(2001, 2, 3));
        changes = 0;
        now = Day(2013, 1, 3) + 0.5;
        cal->findChild<QAction*>("MenuMonth_ToDay")->trigger();
        QCOMPARE(cal->DateTime(), now);
        now += 0.001;
        cal->findChild<QAction*>("MenuYear_ToDay")->trigger();
        QCOMPARE(cal->DateTime(), now);
        now += 0.001;
        auto* todayLabel = cal->findChild<QLabel*>("FTodayLabel");
        QTest::mouseClick(todayLabel, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(cal->DateTime(), now);
        QCOMPARE(changes, 3);
    }

    // ---- menus ------------------------------------------------------------

    void monthMenu()
    {
        Make();
        auto* menu = cal->findChild<QMenu*>("FMonthMenu");
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 14);
        QCOMPARE(items[0]->objectName(), QStringLiteral("MenuMonth_ToDay"));
        QCOMPARE(items[0]->text(), QStringLiteral("今日"));
        QCOMPARE(menu->defaultAction(), items[0]);
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[1]->objectName(), QStringLiteral("MenuMonth_ToDay_"));
        for (int m = 1; m <= 12; ++m) {
            QCOMPARE(items[m + 1]->objectName(), QStringLiteral("MenuMonth_%1").arg(m - 1));
            QCOMPARE(items[m + 1]->text(), QLocale::system().monthName(m, QLocale::LongFormat));
            QCOMPARE(items[m + 1]->data().toInt(), m);
        }
    }

    void yearMenu()
    {
        Make();
        auto* menu = cal->findChild<QMenu*>("FYearMenu");
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 24);
        QCOMPARE(items[0]->objectName(), QStringLiteral("MenuYear_ToDay"));
        QCOMPARE(menu->defaultAction(), items[0]);
        QCOMPARE(items[1]->objectName(), QStringLiteral("MenuYear_ToDay_1"));
        QCOMPARE(items[2]->text(), QStringLiteral("历史日期"));
        QCOMPARE(items[2]->objectName(), QStringLiteral("MenuYear_History"));
        QCOMPARE(items[3]->objectName(), QStringLiteral("MenuYear_ToDay_2"));
        QCOMPARE(items[4]->text(), QStringLiteral("1900"));
        QCOMPARE(items[23]->text(), QStringLiteral("2090"));

        const QList<QAction*> centuries = items[2]->menu()->actions();
        QCOMPARE(centuries.size(), 19);
        QCOMPARE(centuries[0]->text(), QStringLiteral("0"));
        QCOMPARE(centuries[0]->objectName(), QStringLiteral("MenuYear_History_10"));
        QCOMPARE(centuries[18]->text(), QStringLiteral("1800"));
        QCOMPARE(centuries[18]->objectName(), QStringLiteral("MenuYear_History_1810"));
        const QList<QAction*> first = centuries[0]->menu()->actions();
        QCOMPARE(first.size(), 10);
        QCOMPARE(first.front()->data().toInt(), 10);
        QCOMPARE(first.back()->data().toInt(), 100);
        QCOMPARE(first.back()->objectName(), QStringLiteral("MenuYear_History_100"));

        // Every year offered, and where: 1 to 9 and 2100 nowhere, 1901 to 1909
        // only under "1900".
        QMap<int, QStringList> offeredUnder;
        const std::function<void(QMenu*)> walk = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                if (a->menu())
                    walk(a->menu());
                else if (a->data().toInt() > 0)
                    offeredUnder[a->data().toInt()] << m->title();
            }
        };
        walk(menu);
        for (int y = 1; y <= 9; ++y)
            QVERIFY(!offeredUnder.contains(y));
        QVERIFY(!offeredUnder.contains(2100));
        for (int y = 1901; y <= 1909; ++y)
            QCOMPARE(offeredUnder[y], QStringList{"1900"});
        QCOMPARE(offeredUnder[1900], (QStringList{"1800", "1900"}));
        QCOMPARE(offeredUnder[2099], QStringList{"2090"});
    }

    void contextMenus()
    {
        Make();
        auto* yearMenu = cal->findChild<QMenu*>("FYearMenu");
        auto* yearLabel = cal->findChild<QLabel*>("FYearLabel");
        QContextMenuEvent onLabel(QContextMenuEvent::Mouse, QPoint(3, 3), yearLabel->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(yearLabel, &onLabel);
        QVERIFY(yearMenu->isVisible());
        yearMenu->hide();

        // With the title shown the grid has no menu; without it, the year menu.
        QContextMenuEvent onGrid(QContextMenuEvent::Mouse, QPoint(50, 50), grid->mapToGlobal(QPoint(50, 50)));
        QApplication::sendEvent(grid, &onGrid);
        QVERIFY(!yearMenu->isVisible());
        cal->SetShowTitle(false);
        QApplication::sendEvent(grid, &onGrid);
        QVERIFY(yearMenu->isVisible());
        yearMenu->hide();

        QCursor::setPos(yearLabel->mapToGlobal(QPoint(4, 4)));
        QTest::mouseClick(yearLabel, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(yearMenu->isVisible());
        QCOMPARE(yearMenu->pos(), yearLabel->mapToGlobal(QPoint(4, 4)));
        yearMenu->hide();
    }

    // ---- title strip ------------------------------------------------------

    void titleLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("today") << "FTodayLabel" << QPoint(272, 18);
        QTest::newRow("month unit") << "FMonthUnitLabel" << QPoint(45, 20);
        QTest::newRow("year") << "FYearLabel" << QPoint(120, 0);
        QTest::newRow("year unit") << "FYearUnitLabel" << QPoint(205, 18);
        QTest::newRow("date line") << "FDateLineLabel" << QPoint(10, 236);
    }
    void titleLabels()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, topLeft);
        Make();
        cal->resize(420, 300); // labels keep their places
        QCOMPARE(cal->findChild<QLabel*>(name)->pos(), topLeft);
    }

    void monthNumberIsRightAligned()
    {
        Make();
        auto* label = cal->findChild<QLabel*>("FMonthLabel");
        QCOMPARE(label->y(), 3);
        QCOMPARE(label->x() + label->width(), 43); // 34 plus one blank at 96 dpi
        cal->SetDateTime(Day(2013, 12, 1));
        QCOMPARE(label->text(), QStringLiteral("12"));
        QCOMPARE(label->x() + label->width(), 43);
        auto* ud = cal->findChild<TUpDown*>("FMonthUpDown");
        QCOMPARE(ud->pos(), QPoint(60, 10));
        const int extent = ud->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QCOMPARE(ud->size(), QSize(extent, extent * 3 / 2));
        QCOMPARE(cal->findChild<TUpDown*>("FYearUpDown")->pos(), QPoint(220, 10));
    }

    // ---- pixels -----------------------------------------------------------

    void selectionGradientAndFrame()
    {
        Make();
        int col = 0, row = 0;
        CellOfDay(2013, 1, 3, col, row);
        const QImage cell = GrabCell(col, row);
        QCOMPARE(cell.height(), 27);
        QCOMPARE(cell.pixel(1, 1) & 0xFFFFFF, 0x00B054u);
        QCOMPARE(cell.pixel(1, 25) & 0xFFFFFF, 0x00D364u);
        QCOMPARE(cell.pixel(0, 13) & 0xFFFFFF, 0x009346u); // the frame
        QCOMPARE(cell.pixel(20, 26) & 0xFFFFFF, 0x009346u);
    }

    void hideSelectionWithoutFocus()
    {
        Make();
        int col = 0, row = 0;
        CellOfDay(2013, 1, 3, col, row);
        bool selectedSeen = false;
        cal->OnDrawDateCell = [&](QObject*, int day, QPainter*, QRect, bool selected, QString&, bool&) {
            if (day == 3)
                selectedSeen = selected;
        };
        grid->clearFocus();
        cal->SetHideSelection(true);
        const QImage cell = GrabCell(col, row);
        QVERIFY(selectedSeen); // the draw event still says selected
        QVERIFY((cell.pixel(1, 1) & 0xFFFFFF) != 0x00B054u);
        QVERIFY((cell.pixel(0, 13) & 0xFFFFFF) != 0x009346u);
    }

    void weekendDayNumbersAreRed()
    {
        Make();
        cal->SetColorDate(QColor(0, 0, 0xFF));
        cal->SetColorTitleWeekEnd(QColor(0, 0xFF, 0));
        cal->SetShowBackYearMonth(false);
        cal->SetDateTime(Day(2013, 1, 16)); // away from the cells looked at
        const auto countUpper = [this](int col, int row, QRgb color) {
            const QImage cell = GrabCell(col, row);
            int n = 0;
            for (int y = 0; y < cell.height() / 2; ++y)
                for (int x = 0; x < cell.width(); ++x)
                    n += (cell.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
            return n;
        };
        // Row 2: Sunday 6 .. Saturday 12.
        QVERIFY(countUpper(1, 2, qRgb(0xFF, 0, 0)) > 0);
        QVERIFY(countUpper(7, 2, qRgb(0xFF, 0, 0)) > 0);
        QCOMPARE(countUpper(3, 2, qRgb(0xFF, 0, 0)), 0);
        QVERIFY(countUpper(3, 2, qRgb(0, 0, 0xFF)) > 0);
    }

    void drawEventsReplaceTextAndFrame()
    {
        Make();
        int col = 0, row = 0;
        CellOfDay(2013, 1, 3, col, row);
        cal->OnDrawCnDateCell = [](QObject*, int, QPainter*, QRect, bool, QString&, bool& defaultDraw) {
            defaultDraw = false;
        };
        QImage cell = GrabCell(col, row);
        QVERIFY((cell.pixel(0, 13) & 0xFFFFFF) != 0x009346u); // no frame either
        cal->OnDrawCnDateCell = {};
        // A handler that empties the texts leaves only the gradient and frame.
        cal->OnDrawDateCell = [](QObject*, int, QPainter*, QRect, bool, QString& text, bool&) { text.clear(); };
        cal->OnDrawCnDateCell = [](QObject*, int, QPainter*, QRect, bool, QString& text, bool&) { text.clear(); };
        cell = GrabCell(col, row);
        QImage plain(cell.size(), QImage::Format_RGB32);
        {
            QPainter p(&plain);
            calendar::FillGradient(p, plain.rect(), 256, calendar::TGradientDirection::TopToBottom,
                                   cal->ColorSelectedStart(), cal->ColorSelectedEnd());
            p.setPen(cal->ColorSelectedFrame());
            p.drawRect(0, 0, plain.width() - 1, plain.height() - 1);
        }
        QCOMPARE(cell, plain);
    }

    void plainWhiteWithoutBackNumbers()
    {
        Make();
        cal->SetShowBackYearMonth(false);
        cal->SetShowFrame(false);
        // Row 1, column 1 of January 2013 is empty; so is week column 0.
        for (const QPoint cellPos : {QPoint(1, 1), QPoint(0, 3), QPoint(8, 3)}) {
            const QImage cell = GrabCell(cellPos.x(), cellPos.y());
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < cell.width(); ++x)
                    QCOMPARE(cell.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
        }
        cal->SetShowBackYearMonth(true);
        const QImage back = cal->BackBitmap();
        // The large numbers lie inside the grid only: nothing of them above it.
        for (int x = 0; x < back.width(); x += 3)
            QCOMPARE(back.pixel(x, 30) & 0xFFFFFF, 0xFFFFFFu);
    }

    void weekNumberColumn()
    {
        Make();
        cal->SetShowBackYearMonth(false);
        cal->SetShowFrame(false);
        cal->SetDateTime(Day(2015, 2, 10)); // five week rows, row 6 without a number
        cal->SetShowWeekNum(true);
        const QRgb line = cal->ColorTitleWeekLine().rgb() & 0xFFFFFF;
        QImage cell = GrabCell(0, 2);
        QCOMPARE(cell.width(), 18);
        QCOMPARE(cell.pixel(17, 0) & 0xFFFFFF, line);
        cell = GrabCell(0, 6);
        for (int y = 0; y < cell.height(); ++y)
            QCOMPARE(cell.pixel(17, y) & 0xFFFFFF, 0xFFFFFFu);
        cal->SetShowWeekNumLine(false);
        cell = GrabCell(0, 2);
        QCOMPARE(cell.pixel(17, 0) & 0xFFFFFF, 0xFFFFFFu);
    }

    void backgroundPicture()
    {
        Make();
        cal->SetShowBackYearMonth(false);
        cal->SetShowFrame(false);
        QImage picture(100, 50, QImage::Format_RGB32);
        picture.fill(qRgb(0xFF, 0, 0));         // its corner: the key colour
        picture.setPixel(60, 30, qRgb(0, 0, 0)); // one dark pixel
        cal->SetAlphaBlend(150);
        cal->SetBackGround(picture);
        QCOMPARE(cal->PictureBitmap().size(), cal->size());
        QImage back = cal->BackBitmap();
        QCOMPARE(back.pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu); // red is the key: not blended
        QCOMPARE(back.pixel(60, 30) & 0xFFFFFF, 0x7F7F7Fu); // black at 50 over white
        cal->SetAlphaBlend(100);
        QCOMPARE(cal->BackBitmap().pixel(60, 30) & 0xFFFFFF, 0xFFFFFFu);
        cal->SetBackGround(QImage());
        QVERIFY(cal->PictureBitmap().isNull());
    }

    void pictureFitsWhenStretched()
    {
        Make();
        cal->SetShowBackYearMonth(false);
        cal->SetShowFrame(false);
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(qRgb(0, 0, 0x80));
        cal->SetStretch(true);
        cal->SetCenter(true);
        cal->SetBackGround(picture);
        const QImage& placed = cal->PictureBitmap();
        QCOMPARE(placed.pixel(150, 47) & 0xFFFFFF, 0xFFFFFFu);
        QCOMPARE(placed.pixel(150, 48) & 0xFFFFFF, 0x000080u);
        QCOMPARE(placed.pixel(150, 203) & 0xFFFFFF, 0x000080u);
        QCOMPARE(placed.pixel(150, 204) & 0xFFFFFF, 0xFFFFFFu);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestCalendar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calendar.moc"
