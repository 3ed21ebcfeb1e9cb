#include "date_time.h"

#include <cmath>

namespace lunar {

namespace {

constexpr bool GregorianLeap(int y) noexcept { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int GregorianMonthDays(int y, int m) noexcept {
    constexpr int days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && GregorianLeap(y) ? 29 : days[m];
}

// Days since 0001-01-01 of the proleptic Gregorian calendar (that day is 0).
constexpr long GregorianSerial(int y, int m, int d) noexcept {
    const long y1 = y - 1;
    long n = 365 * y1 + y1 / 4 - y1 / 100 + y1 / 400;
    for (int i = 1; i < m; ++i) n += GregorianMonthDays(y, i);
    return n + d - 1;
}

constexpr long Epoch = GregorianSerial(1899, 12, 30);          // date-time 0
constexpr long FirstDay = GregorianSerial(1, 1, 1) - Epoch;     // 0001-01-01
constexpr long LastDay = GregorianSerial(9999, 12, 31) - Epoch; // 9999-12-31
static_assert(FirstDay == -693593 && LastDay == 2958465);

// The day of a date-time: the integer part, truncated toward zero, so that the
// fraction is the time of day on either side of 1899-12-30 (-1.25 is 1899-12-29 06:00).
bool DayOf(double dateTime, long& day) noexcept {
    if (!std::isfinite(dateTime)) return false;
    const double whole = std::trunc(dateTime);
    if (whole < FirstDay || whole > LastDay) return false;
    day = static_cast<long>(whole);
    return true;
}

} // namespace

bool DecodeDate(double dateTime, int& year, int& month, int& day) noexcept {
    long serial = 0;
    if (!DayOf(dateTime, serial)) return false;
    long z = serial + Epoch; // [0, 3652058]
    const long n400 = z / 146097;
    z %= 146097;
    const long n100 = z / 36524 < 3 ? z / 36524 : 3;
    z -= 36524 * n100;
    const long n4 = z / 1461;
    z %= 1461;
    const long n1 = z / 365 < 3 ? z / 365 : 3;
    z -= 365 * n1; // [0, 365]
    const int y = static_cast<int>(400 * n400 + 100 * n100 + 4 * n4 + n1 + 1);
    int m = 1;
    while (z >= GregorianMonthDays(y, m)) z -= GregorianMonthDays(y, m++);
    year = y;
    month = m;
    day = static_cast<int>(z) + 1;
    return true;
}

bool EncodeDate(int year, int month, int day, double& out) noexcept {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    if (day < 1 || day > GregorianMonthDays(year, month)) return false;
    out = static_cast<double>(GregorianSerial(year, month, day) - Epoch);
    return true;
}

int DayOfWeek(double dateTime) noexcept {
    long serial = 0;
    if (!DayOf(dateTime, serial)) return 0;
    // 0001-01-01 was a Monday; date-time 0 (1899-12-30) a Saturday.
    return static_cast<int>((serial + Epoch + 1) % 7) + 1;
}

} // namespace lunar
