#include "lunar_core.h"

#include <cmath>
#include <mutex>

#include "date_time.h"

namespace lunar {

namespace {

// ---- Name tables built at compile time -------------------------------------------

// A short UTF-8 name stored in place: up to two CJK characters of three bytes.
struct ShortName {
    char Text[7] = {};
    int Size = 0;
    constexpr void Append(std::string_view part) {
        for (char ch : part) Text[Size++] = ch;
    }
    constexpr std::string_view View() const { return {Text, static_cast<std::size_t>(Size)}; }
};

// Entry i is TianGan[i mod 10] followed by DiZhi[i mod 12]: 甲子, 乙丑, ..., 癸亥.
constexpr std::array<ShortName, 60> GanZhiNames = [] {
    std::array<ShortName, 60> names{};
    for (int i = 0; i < 60; ++i) {
        names[i].Append(TianGan[i % 10]);
        names[i].Append(DiZhi[i % 12]);
    }
    return names;
}();

// Lunar day names 1..30 from a prefix and a numeral; 10 is 初十, 20 二十, 30 三十.
constexpr std::array<ShortName, 31> CnDayNames = [] {
    std::array<ShortName, 31> names{};
    for (int day = 1; day <= 30; ++day) {
        int tens = day / 10;
        int unit = day % 10;
        if (unit == 0) {
            unit = 10;
            tens = day == 10 ? 0 : tens + 2;
        }
        names[day].Append(CnDayPrefixes[tens]);
        names[day].Append(CnNumerals[unit]);
    }
    return names;
}();

static_assert(GanZhiNames[0].View() == "甲子" && GanZhiNames[59].View() == "癸亥");
static_assert(CnDayNames[10].View() == "初十" && CnDayNames[20].View() == "二十");
static_assert(CnDayNames[21].View() == "廿一" && CnDayNames[30].View() == "三十");

// ---- The series --------------------------------------------------------------

constexpr long double Pi = 3.141592653589793238462643383279502884L;

long double Frac(long double x) { return x - std::floor(x); }

int FloorToInt(long double x) { return static_cast<int>(std::floor(x)); }

long double SeriesTermDayOfYear(int Year, int N) noexcept {
    const long double y = Year > 0 ? Year : Year + 1;
    const long double m = y - 100;
    const long double a =
        y * (365.2423112L - 6.4e-14L * m * m - 3.047e-8L * m) + 15.218427L * N + 1721050.71301L;
    const long double b = 0.0003L * y - 0.372781384L - 0.2617913325L * N;
    const long double d =
        (1.945L * std::sin(b) - 0.01206L * std::sin(2 * b)) * (1.048994L - 2.583e-5L * y);
    const long double e = -0.0018L * std::sin(2.313908653L * y - 0.439822951L - 3.0443L * N);
    const int yearStart = FixedDay(static_cast<int>(y), 1, 0);
    return a + d + e - yearStart - 1721425;
}

int SeriesTermDay(int Year, int N) noexcept {
    int day = FloorToInt(SeriesTermDayOfYear(Year, N));
    for (const TermCorrection& row : TermCorrections) {
        if (row.Year == Year && row.N == N)
            day += DayOfYear(Year, row.RightMonth, row.RightDay) -
                   DayOfYear(Year, row.SeriesMonth, row.SeriesDay);
    }
    return day;
}

// Days of the fifteen new moons v = -1..13 after lunation k of the year, on the
// FixedDay scale in China Standard Time. They depend on the year alone.
using MoonDays = std::array<int, 15>;

MoonDays SeriesMoonDays(int Year) noexcept {
    const int k = FloorToInt((Year - 1900) * 12.3685L);
    const long double t = (Year - 1899.5L) / 100;
    const long double t2 = t * t;
    const long double t3 = t2 * t;
    const long double base =
        0.75933L - 0.0002172L * t2 - 1.55e-7L * t3 + 0.53058868L * k - 0.000837L * t + 8.0L / 24 + 0.5L;
    const long double r = 57.29577951308232L;
    const long double ms0 = 2 * Pi * Frac(0.08084821133L * k) + 359.2242L / r -
                            (0.0000333L / r) * t2 - (0.00000347L / r) * t3;
    const long double mm0 = 2 * Pi * Frac(0.07171366128L * k) + 306.0253L / r +
                            (0.0107306L / r) * t2 + (0.00001236L / r) * t3;
    const long double f0 = 2 * Pi * Frac(0.08519585128L * k) + 21.2964L / r -
                           (0.0016528L / r) * t2 - (0.00000239L / r) * t3;
    MoonDays days{};
    for (int v = -1; v <= 13; ++v) {
        const long double ms = ms0 + 0.507984293L * v;
        const long double mm = mm0 + 6.73377553L * v;
        const long double f = f0 + 6.818486628L * v;
        const long double c = (0.1734L - 0.000393L * t) * std::sin(ms) - 0.4068L * std::sin(mm) +
                              0.0021L * std::sin(2 * ms) + 0.0161L * std::sin(2 * mm) +
                              0.0104L * std::sin(2 * f) - 0.0074L * std::sin(ms - mm) -
                              0.0051L * std::sin(ms + mm);
        const long double j = (29 * k + 693595) + 28 * v + (base + 1.53058868L * v + c);
        days[static_cast<unsigned>(v + 1)] = FloorToInt(j);
    }
    return days;
}

struct LunarDate {
    int Year = 0, Month = 0, Day = 0;
};

// ---- Sources of the per-year values ------------------------------------------
//
// Each rule below is written once, as a template over where its per-year values
// (new-moon days, term days, the date of the lunar new year) come from: evaluated
// afresh, or remembered per year after the first evaluation. Both give the same
// numbers by construction; the slow test compares them over the whole range.

template <class Source> int LunarDayOf(int Year, int Month, int Day) noexcept;
template <class Source>
bool LunarMonthDayOf(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept;
template <class Source>
bool LunarToSolarOf(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                    int& Day) noexcept;

struct Fresh {
    static MoonDays Moons(int Year) noexcept { return SeriesMoonDays(Year); }
    static int Term(int Year, int N) noexcept { return SeriesTermDay(Year, N); }
    static bool NewYear(int Year, LunarDate& out) noexcept {
        return LunarToSolarOf<Fresh>(Year, 1, 1, false, out.Year, out.Month, out.Day);
    }
};

constexpr int CachedYears = LastLunarYear - FirstLunarYear + 1;

struct YearSlot {
    std::once_flag MoonOnce;
    MoonDays Moons{};
    std::once_flag TermOnce;
    std::array<int, 26> Terms{}; // index 1..25
    std::once_flag NewYearOnce;
    bool NewYearFound = false;
    LunarDate NewYear;
};

YearSlot& SlotOf(int Year) noexcept {
    static YearSlot slots[CachedYears];
    return slots[Year - FirstLunarYear];
}

bool Cached(int Year) noexcept { return Year >= FirstLunarYear && Year <= LastLunarYear; }

struct Remembered {
    static const MoonDays& Moons(int Year) noexcept {
        YearSlot& slot = SlotOf(Year);
        std::call_once(slot.MoonOnce, [&] { slot.Moons = SeriesMoonDays(Year); });
        return slot.Moons;
    }
    static int Term(int Year, int N) noexcept {
        if (!Cached(Year) || N < 1 || N > 25) return SeriesTermDay(Year, N);
        YearSlot& slot = SlotOf(Year);
        std::call_once(slot.TermOnce, [&] {
            for (int n = 1; n <= 25; ++n) slot.Terms[n] = SeriesTermDay(Year, n);
        });
        return slot.Terms[N];
    }
    static bool NewYear(int Year, LunarDate& out) noexcept {
        YearSlot& slot = SlotOf(Year);
        std::call_once(slot.NewYearOnce, [&] {
            LunarDate found;
            slot.NewYearFound = LunarToSolarOf<Remembered>(Year, 1, 1, false, found.Year,
                                                           found.Month, found.Day);
            slot.NewYear = found;
        });
        if (slot.NewYearFound) out = slot.NewYear;
        return slot.NewYearFound;
    }
};

// ---- Solar-term rules --------------------------------------------------------

template <class Source> bool TermDateOf(int Year, int Index, int& Month, int& Day) noexcept {
    if (Index < 0 || Index > 23) return false;
    int c = Source::Term(Year, Index + 1);
    for (int i = 1; i <= 12; ++i) {
        const int days = MonthDays(Year, i);
        if (c <= days) {
            Month = i;
            Day = c;
            return true;
        }
        c -= days;
    }
    return false; // not reached: every term falls inside its year
}

template <class Source> std::string_view SolarTermOfDayOf(int Year, int Month, int Day) noexcept {
    if (Month < 1 || Month > 12) return {};
    int m = 0, d = 0;
    if (TermDateOf<Source>(Year, 2 * Month - 2, m, d) && m == Month && d == Day)
        return TermNames[(2 * (Month - 1) + 22) % 24];
    if (TermDateOf<Source>(Year, 2 * Month - 1, m, d) && m == Month && d == Day)
        return TermNames[(2 * (Month - 1) + 23) % 24];
    return {};
}

template <class Source> int DateYearGanZhiOf(int Year, int Month, int Day) noexcept {
    const int d = DayOfYear(Year, Month, Day);
    return YearGanZhi(d < Source::Term(Year, 3) ? Year - 1 : Year);
}

template <class Source>
void SolarMonthOf(int Year, int Month, int Day, int& SolarYear, int& MonthNo) noexcept {
    const int d = DayOfYear(Year, Month, Day);
    if (d < Source::Term(Year, 3)) {
        // Before 立春: month 12 from the 小寒 of this same January, else month 11.
        SolarYear = Year - 1;
        MonthNo = d < Source::Term(Year, 1) ? 11 : 12;
        return;
    }
    SolarYear = Year;
    int month = 1;
    for (int i = 1; i <= 12; ++i) {
        if (d < Source::Term(Year, 2 * i + 1)) break;
        month = i;
    }
    MonthNo = month;
}

template <class Source> int MonthGanZhiOf(int Year, int Month, int Day) noexcept {
    int solarYear = 0, p = 0;
    SolarMonthOf<Source>(Year, Month, Day, solarYear, p);
    const int s = YearGanZhi(solarYear) % 10;
    static constexpr int FirstStem[10] = {2, 4, 6, 8, 0, 2, 4, 6, 8, 0};
    const int stem = (FirstStem[s] + p - 1) % 10;
    const int branch = (p + 1) % 12;
    return GanZhiOf(stem, branch);
}

// ---- Lunar rules -------------------------------------------------------------

template <class Source> int LunarDayOf(int Year, int Month, int Day) noexcept {
    const auto& moons = Source::Moons(Year);
    const int fixed = FixedDay(Year, Month, Day);
    int result = -1;
    for (int moon : moons) {
        const int d0 = fixed - moon;
        if (d0 >= 0 && d0 <= 29) result = d0 + 1; // the latest new moon not after the date
    }
    if (result < 1) return result;
    for (const DayCorrection& row : DayCorrections) {
        if (row.Year != Year) continue;
        const int c = Month * 100 + Day;
        if (c >= row.FromMonth * 100 + row.FromDay && c <= row.ThroughMonth * 100 + row.ThroughDay) {
            result += row.Change;
            if (result > 30) result -= 30;
            if (result < 1) result += 30;
        }
    }
    return result;
}

// Whole-number adjustments of the month count for the early years.
constexpr int MonthCountAdjustment(int Year) noexcept {
    int adj = 0;
    if (Year <= 240) ++adj;
    if (Year <= 237) --adj;
    if (Year < 24) ++adj;
    if (Year < 9) --adj;
    if (Year <= -255) ++adj;
    if (Year <= -256) adj += 2;
    if (Year <= -722) ++adj;
    return adj;
}

// The month rule, given the date's lunar day (corrections included).
int LunarMonthFromDay(int Year, int Month, int Day, int lunarDay) noexcept {
    int e = lunarDay % 100;
    if (e < 0) e += 100; // -1 (no new moon) reads as 99
    const int fixed = FixedDay(Year, Month, Day);
    const long double span = static_cast<long double>(fixed - LunarEpoch - e) / MeanMonth;
    const int q = static_cast<int>(std::nearbyint(span)); // ties to even
    const int n = q - LeapCount(Year) + MonthCountAdjustment(Year) - 3;
    const int m = Mod(n, 12) + 1;

    if (LeapDigit(Year - 1) == m && Month == 1 && Day < e) return -m;
    const int w = LeapDigit(Year);
    const int next = m + 1 > 12 ? 1 : m + 1;
    if (w == m) {
        if (Month >= 3) return -m;
        return w == 12 ? -m : m + 1;
    }
    if (w > m) return next;
    if (Month < m && w > 0) return next;
    return m;
}

template <class Source>
bool LunarMonthDayOf(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept {
    if (Year < FirstLunarYear || Year > LastLunarYear) return false;
    const int day = LunarDayOf<Source>(Year, Month, Day);
    const int month = LunarMonthFromDay(Year, Month, Day, day);
    IsLeap = month < 0;
    LDay = day;
    LMonth = month < 0 ? -month : month;
    return true;
}

template <class Source>
bool LunarToSolarOf(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                    int& Day) noexcept {
    if (IsLeap && LeapMonth(LYear) != LMonth) return false;
    enum { None, Up, Down } direction = None;
    int lo = FixedDay(LYear, 1, 1);
    int hi = FixedDay(LYear + 1, 12, 31);
    int trackedYear = LYear;
    int previousMonth = 0;
    bool finalStep = false;
    int steps = 0;
    while (hi > lo) {
        if (++steps > 100) return false;
        int mid = Div(lo + hi, 2);
        if (finalStep) ++mid;
        if (hi - lo == 1) finalStep = true;
        int y = 0, m = 0, d = 0;
        if (!FixedDayToDate(mid, y, m, d)) return false;
        bool leap = false;
        int ld = 0, lm = 0;
        if (!LunarMonthDayOf<Source>(y, m, d, leap, ld, lm)) return false;
        if (direction == Up && lm < previousMonth) ++trackedYear;
        if (direction == Down && lm > previousMonth) --trackedYear;
        int order = 0; // <0: the probe lies before the wanted date
        if (trackedYear != LYear) order = trackedYear < LYear ? -1 : 1;
        else if (lm != LMonth) order = lm < LMonth ? -1 : 1;
        else if (leap != IsLeap) order = IsLeap ? -1 : 1;
        else if (ld != LDay) order = ld < LDay ? -1 : 1;
        if (order == 0) {
            Year = y;
            Month = m;
            Day = d;
            return true;
        }
        if (order < 0) {
            lo = mid;
            direction = Up;
        } else {
            hi = mid;
            direction = Down;
        }
        previousMonth = lm;
    }
    return false;
}

template <class Source>
bool SolarToLunarOf(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth,
                    int& LYear) noexcept {
    bool leap = false;
    int ld = 0, lm = 0;
    if (!LunarMonthDayOf<Source>(Year, Month, Day, leap, ld, lm)) return false;
    int ly = Year;
    LunarDate newYear;
    if (Source::NewYear(Year, newYear)) {
        const bool before = Year != newYear.Year   ? Year < newYear.Year
                            : Month != newYear.Month ? Month < newYear.Month
                                                     : Day < newYear.Day;
        if (before) ly = Year - 1;
    }
    IsLeap = leap;
    LDay = ld;
    LMonth = lm;
    LYear = ly;
    return true;
}

} // namespace

// ---- Names -----------------------------------------------------------------------

std::string_view GanZhiName(int Index) noexcept {
    if (Index < 0 || Index > 59) return {};
    return GanZhiNames[static_cast<unsigned>(Index)].View();
}

std::string_view AnimalName(int Index) noexcept {
    if (Index < 0 || Index > 11) return {};
    return Animals[static_cast<unsigned>(Index)];
}

std::string_view ConstellationName(int Index) noexcept {
    if (Index < 0 || Index > 11) return {};
    return Constellations[static_cast<unsigned>(Index)];
}

std::string_view CnDayName(int Day) noexcept {
    if (Day < 1 || Day > 30) return {};
    return CnDayNames[static_cast<unsigned>(Day)].View();
}

// ---- Cached entry points ---------------------------------------------------------

long double TermDayOfYear(int Year, int N) noexcept { return SeriesTermDayOfYear(Year, N); }
int TermDay(int Year, int N) noexcept { return Remembered::Term(Year, N); }

bool TermDate(int Year, int Index, int& Month, int& Day) noexcept {
    return TermDateOf<Remembered>(Year, Index, Month, Day);
}

std::string_view SolarTermOfDay(int Year, int Month, int Day) noexcept {
    return SolarTermOfDayOf<Remembered>(Year, Month, Day);
}

std::string_view SolarTermOfDate(double Date) noexcept {
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(Date, y, m, d)) return {};
    return SolarTermOfDay(y, m, d);
}

int DateYearGanZhi(int Year, int Month, int Day) noexcept {
    return DateYearGanZhiOf<Remembered>(Year, Month, Day);
}

void SolarMonth(int Year, int Month, int Day, int& SolarYear, int& MonthNo) noexcept {
    SolarMonthOf<Remembered>(Year, Month, Day, SolarYear, MonthNo);
}

int MonthGanZhi(int Year, int Month, int Day) noexcept {
    return MonthGanZhiOf<Remembered>(Year, Month, Day);
}

int LunarDay(int Year, int Month, int Day) noexcept {
    if (!Cached(Year)) return LunarDayOf<Fresh>(Year, Month, Day);
    return LunarDayOf<Remembered>(Year, Month, Day);
}

int LunarMonth(int Year, int Month, int Day) noexcept {
    return LunarMonthFromDay(Year, Month, Day, LunarDay(Year, Month, Day));
}

bool LunarMonthDay(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept {
    return LunarMonthDayOf<Remembered>(Year, Month, Day, IsLeap, LDay, LMonth);
}

bool SolarToLunar(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth,
                  int& LYear) noexcept {
    return SolarToLunarOf<Remembered>(Year, Month, Day, IsLeap, LDay, LMonth, LYear);
}

bool LunarToSolar(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                  int& Day) noexcept {
    return LunarToSolarOf<Remembered>(LYear, LMonth, LDay, IsLeap, Year, Month, Day);
}

bool DateToLunar(double Date, bool& IsLeap, int& LDay, int& LMonth, int& LYear) noexcept {
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(Date, y, m, d)) return false;
    return SolarToLunar(y, m, d, IsLeap, LDay, LMonth, LYear);
}

// ---- Uncached entry points -------------------------------------------------------

namespace uncached {

long double TermDayOfYear(int Year, int N) noexcept { return SeriesTermDayOfYear(Year, N); }
int TermDay(int Year, int N) noexcept { return Fresh::Term(Year, N); }

bool TermDate(int Year, int Index, int& Month, int& Day) noexcept {
    return TermDateOf<Fresh>(Year, Index, Month, Day);
}

std::string_view SolarTermOfDay(int Year, int Month, int Day) noexcept {
    return SolarTermOfDayOf<Fresh>(Year, Month, Day);
}

int DateYearGanZhi(int Year, int Month, int Day) noexcept {
    return DateYearGanZhiOf<Fresh>(Year, Month, Day);
}

void SolarMonth(int Year, int Month, int Day, int& SolarYear, int& MonthNo) noexcept {
    SolarMonthOf<Fresh>(Year, Month, Day, SolarYear, MonthNo);
}

int MonthGanZhi(int Year, int Month, int Day) noexcept {
    return MonthGanZhiOf<Fresh>(Year, Month, Day);
}

int LunarDay(int Year, int Month, int Day) noexcept { return LunarDayOf<Fresh>(Year, Month, Day); }

int LunarMonth(int Year, int Month, int Day) noexcept {
    return LunarMonthFromDay(Year, Month, Day, LunarDayOf<Fresh>(Year, Month, Day));
}

bool LunarMonthDay(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth) noexcept {
    return LunarMonthDayOf<Fresh>(Year, Month, Day, IsLeap, LDay, LMonth);
}

bool SolarToLunar(int Year, int Month, int Day, bool& IsLeap, int& LDay, int& LMonth,
                  int& LYear) noexcept {
    return SolarToLunarOf<Fresh>(Year, Month, Day, IsLeap, LDay, LMonth, LYear);
}

bool LunarToSolar(int LYear, int LMonth, int LDay, bool IsLeap, int& Year, int& Month,
                  int& Day) noexcept {
    return LunarToSolarOf<Fresh>(LYear, LMonth, LDay, IsLeap, Year, Month, Day);
}

} // namespace uncached

} // namespace lunar
