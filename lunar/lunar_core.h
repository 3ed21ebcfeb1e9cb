#pragma once
// Calendar arithmetic, cyclic names, solar terms and lunar dates.
//
// Dates are year, month and day numbers read as Julian up to 1582-10-04 and as
// Gregorian from 1582-10-15; the ten days between do not exist. Every day maps to
// one absolute day count, FixedDay, on which all higher rules work. Operations that
// can fail return false and leave their outputs untouched.

#include <array>
#include <string_view>

#include "leap_months_table.h"

namespace lunar {

// ---- Calendar arithmetic ---------------------------------------------------------

enum : int { KindGap = 0, KindJulian = 1, KindGregorian = 2 };

// Truncating division and remainder, as the rules below are written: both round
// toward zero, so the remainder takes the sign of the dividend (C++ / and %).
constexpr int Div(int a, int b) noexcept { return a / b; }
constexpr int Mod(int a, int b) noexcept { return a % b; }

constexpr int CalendarKind(int Year, int Month, int Day) noexcept {
    if (Year < 1582) return KindJulian;
    if (Year > 1582) return KindGregorian;
    if (Month < 10) return KindJulian;
    if (Month > 10) return KindGregorian;
    if (Day <= 4) return KindJulian;
    if (Day >= 15) return KindGregorian;
    return KindGap;
}

constexpr bool LeapYear(int Year) noexcept {
    if (CalendarKind(Year, 1, 1) == KindGregorian)
        return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
    if (Year >= 0) return Mod(Year, 4) == 0;
    return Mod(Year - 3, 4) == 0; // -1, -5, -9 ... are leap years
}

// Days in the month; 0 for month 0 and any month above 12 (and below 0).
constexpr int MonthDays(int Year, int Month) noexcept {
    switch (Month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2: return LeapYear(Year) ? 29 : 28;
    default: return 0;
    }
}

// Day plus the lengths of months 1..Month-1; Day 0 is allowed.
constexpr int DayOfYear(int Year, int Month, int Day) noexcept {
    int d = Day;
    for (int i = 1; i < Month && i <= 12; ++i) d += MonthDays(Year, i);
    return d;
}

// Absolute day number: 1 is Monday 0001-01-01 of the proleptic Gregorian calendar;
// the Julian count joins it without a break at the reform. 0 for the gap days.
constexpr int FixedDay(int Year, int Month, int Day) noexcept {
    const int y1 = Year - 1;
    const int d = DayOfYear(Year, Month, Day);
    switch (CalendarKind(Year, Month, Day)) {
    case KindJulian: return d + 365 * y1 + Div(y1, 4) - 2;
    case KindGregorian: return d + 365 * y1 + Div(y1, 4) - Div(y1, 100) + Div(y1, 400);
    default: return 0;
    }
}

static_assert(FixedDay(1582, 10, 4) == 577735);
static_assert(FixedDay(1582, 10, 15) == 577736);
static_assert(FixedDay(1, 1, 1) == -1);
static_assert(FixedDay(-849, 1, 21) == -310443);

// The Julian date for N <= 577735, the Gregorian date from 577736; false for N < 0.
constexpr bool FixedDayToDate(int N, int& Year, int& Month, int& Day) noexcept {
    if (N < 0) return false;
    int y1 = 0;   // whole years before the date
    int rest = 0; // [0, 365] days of the date's year before it
    if (N <= 577735) {
        const int z = N + 1; // days since Julian 0001-01-01
        const int cycles = z / 1461;
        const int r = z % 1461;
        const int years = r / 365 < 3 ? r / 365 : 3;
        y1 = 4 * cycles + years;
        rest = r - 365 * years;
    } else {
        const int z = N - 1; // days since Gregorian 0001-01-01
        const int n400 = z / 146097;
        int r = z % 146097;
        const int n100 = r / 36524 < 3 ? r / 36524 : 3;
        r -= 36524 * n100;
        const int n4 = r / 1461;
        r %= 1461;
        const int n1 = r / 365 < 3 ? r / 365 : 3;
        y1 = 400 * n400 + 100 * n100 + 4 * n4 + n1;
        rest = r - 365 * n1;
    }
    const int year = y1 + 1;
    int month = 1;
    while (rest >= MonthDays(year, month)) rest -= MonthDays(year, month++);
    Year = year;
    Month = month;
    Day = rest + 1;
    return true;
}

namespace detail {
constexpr bool RoundTrips(int N, int Year, int Month, int Day) {
    int y = 0, m = 0, d = 0;
    return FixedDayToDate(N, y, m, d) && y == Year && m == Month && d == Day;
}
} // namespace detail
static_assert(detail::RoundTrips(577735, 1582, 10, 4) && detail::RoundTrips(577736, 1582, 10, 15));
static_assert(detail::RoundTrips(0, 1, 1, 2) && detail::RoundTrips(FixedDay(2000, 2, 29), 2000, 2, 29));
static_assert(detail::RoundTrips(FixedDay(1500, 2, 29), 1500, 2, 29));

// ---- Cyclic names ----------------------------------------------------------------

inline constexpr std::array<std::string_view, 10> TianGan = {
    "甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
inline constexpr std::array<std::string_view, 12> DiZhi = {
    "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
inline constexpr std::array<std::string_view, 12> Animals = {
    "鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
inline constexpr std::array<std::string_view, 12> Constellations = {
    "白羊", "金牛", "双子", "巨蟹", "狮子", "处女", "天秤", "天蝎", "射手", "摩羯", "宝瓶", "双鱼"};
// First day of each sign, month * 100 + day.
inline constexpr std::array<int, 12> ConstellationStarts = {
    120, 219, 321, 421, 521, 622, 723, 823, 923, 1023, 1123, 1222};
// Numerals 1..10 at indexes 1..10.
inline constexpr std::array<std::string_view, 11> CnNumerals = {
    "", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
inline constexpr std::array<std::string_view, 6> CnDayPrefixes = {
    "初", "十", "廿", "卅", "二", "三"};
// Month names 1..12 at indexes 1..12.
inline constexpr std::array<std::string_view, 13> CnMonthNames = {
    "", "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "冬", "腊"};

// Sixty-cycle index of the day: (FixedDay + 14) mod 60. The gap days continue the
// count of the Julian days before them.
constexpr int DayGanZhi(int Year, int Month, int Day) noexcept {
    int n = CalendarKind(Year, Month, Day) == KindGap ? 577735 + (Day - 4) : FixedDay(Year, Month, Day);
    int r = Mod(n + 14, 60);
    return r < 0 ? r + 60 : r; // only reached before year 1
}
static_assert(DayGanZhi(2000, 1, 1) == 54);

constexpr int YearGanZhi(int Year) noexcept {
    int r = Year > 0 ? Mod(Year - 4, 60) : Mod(Year - 3, 60);
    return r < 0 ? r + 60 : r;
}
static_assert(YearGanZhi(4) == 0 && YearGanZhi(1) == 57 && YearGanZhi(-1) == 56);

constexpr int YearAnimal(int Year) noexcept {
    int r = Year > 0 ? Mod(Year - 4, 12) : Mod(Year - 3, 12);
    return r < 0 ? r + 12 : r;
}
static_assert(YearAnimal(2024) == 4);

constexpr bool SplitGanZhi(int Index, int& Stem, int& Branch) noexcept {
    if (Index < 0 || Index > 59) {
        Stem = Branch = -1;
        return false;
    }
    Stem = Index % 10;
    Branch = Index % 12;
    return true;
}

constexpr int GanZhiOf(int Stem, int Branch) noexcept {
    if (Stem < 0 || Stem >= 10 || Branch < 0 || Branch >= 12) return -1;
    for (int j = 0; j <= 6; ++j) {
        int i = Stem + 10 * j;
        if (i < 60 && i % 12 == Branch) return i;
    }
    return -1;
}
static_assert(GanZhiOf(0, 1) == -1 && GanZhiOf(9, 11) == 59);

constexpr int Constellation(int Month, int Day) noexcept {
    const int c = Month * 100 + Day;
    for (int i = 0; i < 12; ++i)
        if (c < ConstellationStarts[i]) return (i + 9) % 12;
    return (11 + 10) % 12;
}

// The table entry, or an empty string outside the table (0..59, 0..11, 0..11).
std::string_view GanZhiName(int Index) noexcept;
std::string_view AnimalName(int Index) noexcept;
std::string_view ConstellationName(int Index) noexcept;
// 初一 .. 初十, 十一 .. 十九, 二十, 廿一 .. 廿九, 三十; empty outside 1..30.
std::string_view CnDayName(int Day) noexcept;

// ---- Solar terms -----------------------------------------------------------------

// Index 0..23, starting with 立春. Term n (1..24, 1 = 小寒 of early January) is named
// TermNames[(n + 21) mod 24].
inline constexpr std::array<std::string_view, 24> TermNames = {
    "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至", "小暑", "大暑",
    "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至", "小寒", "大寒"};

// Moment of term N of Year from the closed-form series: 1.0 is the start of
// January 1 in China Standard Time.
long double TermDayOfYear(int Year, int N) noexcept;

// Day of the year on which term N of Year falls: Floor of TermDayOfYear, moved by
// one day where TermCorrections says the series lands on the wrong side of midnight.
int TermDay(int Year, int N) noexcept;

// Month and day of term Index + 1 of Year; false unless Index is 0..23.
bool TermDate(int Year, int Index, int& Month, int& Day) noexcept;

// Name of the term falling on the date (a date-time value), else empty.
std::string_view SolarTermOfDate(double Date) noexcept;
// The same for year, month and day numbers.
std::string_view SolarTermOfDay(int Year, int Month, int Day) noexcept;

// Sixty-cycle index of the solar-term year (it begins on the day of 立春).
int DateYearGanZhi(int Year, int Month, int Day) noexcept;

// Solar-term year and month (1 from 立春, 2 from 惊蛰, ..., 12 from 小寒).
void SolarMonth(int Year, int Month, int Day, int& SolarYear, int& MonthNo) noexcept;

// Sixty-cycle index of the solar-term month.
int MonthGanZhi(int Year, int Month, int Day) noexcept;

// ---- Lunar months and days -------------------------------------------------------

inline constexpr int FirstLunarYear = -849;
inline constexpr int LastLunarYear = 2100;
inline constexpr int LunarEpoch = FixedDay(-849, 1, 21); // start of the lunation count
inline constexpr long double MeanMonth = 29.530588L;

// Raw digit of the LeapMonths table: 0 none, 1..12 leap month after that month,
// -1 for a character that is no digit or a year outside the table.
constexpr int LeapDigit(int Year) noexcept {
    if (Year < FirstLunarYear || Year > LastLunarYear) return -1;
    const char ch = LeapMonths[static_cast<unsigned>(Year + 849)];
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'c') return ch - 'a' + 10;
    return -1;
}

// The leap month of the lunar year, 0..12 (0 when there is none).
constexpr int LeapMonth(int Year) noexcept {
    const int w = LeapDigit(Year);
    return w < 0 ? 0 : w;
}

namespace detail {
// Running count of leap years from -849 on (year 0 has no entry), plus one for
// every year from 1200 through 1499. Index Year + 849 for negative years,
// Year + 848 from year 1 on.
inline constexpr std::array<int, 2949> LeapCounts = [] {
    std::array<int, 2949> counts{};
    int running = 0;
    int slot = 0;
    for (int y = FirstLunarYear; y <= LastLunarYear; ++y) {
        if (y == 0) continue;
        if (LeapDigit(y) != 0) ++running;
        counts[static_cast<unsigned>(slot++)] = running + (y >= 1200 && y <= 1499 ? 1 : 0);
    }
    return counts;
}();
} // namespace detail

constexpr int LeapCount(int Year) noexcept {
    if (Year == 0) Year = -1;
    if (Year < FirstLunarYear) return 0;
    if (Year > LastLunarYear) Year = LastLunarYear;
    const int slot = Year < 0 ? Year + 849 : Year + 848;
    return detail::LeapCounts[static_cast<unsigned>(slot)];
}

static_assert(LeapCount(-849) == 0 && LeapCount(-1) == 311 && LeapCount(1) == 311);
static_assert(LeapCount(1199) == 752 && LeapCount(1200) == 754);
static_assert(LeapCount(1499) == 864 && LeapCount(1500) == 863);
static_assert(LeapCount(1900) == 1011 && LeapCount(2000) == 1047 && LeapCount(2100) == 1084);

// One row of per-year day corrections: dates From..Through (both included) of Year
// get Change added to their lunar day, wrapping into 1..30.
struct DayCorrection {
    int Year, FromMonth, FromDay, ThroughMonth, ThroughDay, Change;
};
// Before 1929 the calendar was reckoned on Beijing local time, which puts a few new
// moons on another day than the series (reckoned on UTC+8) does; the 2018 row
// covers a new moon the series puts just after midnight.
inline constexpr std::array<DayCorrection, 5> DayCorrections = {{
    {1914, 11, 17, 12, 16, +1},
    {1916, 2, 3, 3, 3, +1},
    {1920, 11, 10, 12, 9, +1},
    {1924, 3, 5, 4, 3, +1},
    {2018, 11, 7, 12, 6, -1},
}};

// Term days the series puts on the wrong side of midnight: term N (1..24) of Year
// falls on RightMonth-RightDay instead of SeriesMonth-SeriesDay.
struct TermCorrection {
    int Year, N, SeriesMonth, SeriesDay, RightMonth, RightDay;
};
inline constexpr std::array<TermCorrection, 9> TermCorrections = {{
    {1923, 4, 2, 20, 2, 19},  // 雨水, on Beijing local time
    {2016, 13, 7, 6, 7, 7},   // 小暑
    {2020, 23, 12, 6, 12, 7}, // 大雪
    {2037, 18, 9, 22, 9, 23}, // 秋分
    {2040, 19, 10, 7, 10, 8}, // 寒露
    {2042, 14, 7, 22, 7, 23}, // 大暑
    {2059, 4, 2, 18, 2, 19},  // 雨水
    {2085, 1, 1, 5, 1, 4},    // 小寒
    {2097, 9, 5, 4, 5, 5},    // 立夏
}};

// Lunar day 1..30 of the date; -1 when no new moon qualifies (the gap days).
int LunarDay(int Year, int Month, int Day) noexcept;
// Lunar month 1..12, negated for a leap month.
int LunarMonth(int Year, int Month, int Day) noexcept;

// Lunar day and month; false for years outside -849..2100.
bool LunarMonthDay(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept;
// Lunar date with its year; false for years outside -849..2100.
bool SolarToLunar(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth,
                  int& LYear) noexcept;
// The date of the given lunar date, found by bisection; false when none is found.
bool LunarToSolar(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                  int& Day) noexcept;
// SolarToLunar of a date-time value (decoded with the proleptic Gregorian calendar).
bool DateToLunar(double Date, bool& IsLeap, int& LDay, int& LMonth, int& LYear) noexcept;

// The same rules evaluated afresh on every call, with no per-year cache. Used to
// prove that the cached results above are the same.
namespace uncached {
long double TermDayOfYear(int Year, int N) noexcept;
int TermDay(int Year, int N) noexcept;
bool TermDate(int Year, int Index, int& Month, int& Day) noexcept;
std::string_view SolarTermOfDay(int Year, int Month, int Day) noexcept;
int DateYearGanZhi(int Year, int Month, int Day) noexcept;
void SolarMonth(int Year, int Month, int Day, int& SolarYear, int& MonthNo) noexcept;
int MonthGanZhi(int Year, int Month, int Day) noexcept;
int LunarDay(int Year, int Month, int Day) noexcept;
int LunarMonth(int Year, int Month, int Day) noexcept;
bool LunarMonthDay(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept;
bool SolarToLunar(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth,
                  int& LYear) noexcept;
bool LunarToSolar(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                  int& Day) noexcept;
} // namespace uncached

} // namespace lunar
