// Properties of the lunar calendar over every day of 1900..2100.

#include <gtest/gtest.h>

#include "chn_calendar_use.h"
#include "date_time.h"
#include "lunar_core.h"

namespace lunar {
namespace {

struct Lunar {
    int Year = 0, Month = 0, Day = 0; // Month negative for a leap month
};

Lunar LunarOf(int fixed) {
    int y = 0, m = 0, d = 0;
    EXPECT_TRUE(FixedDayToDate(fixed, y, m, d));
    bool leap = false;
    Lunar out;
    EXPECT_TRUE(SolarToLunar(y, m, d, leap, out.Day, out.Month, out.Year)) << y << "-" << m << "-" << d;
    if (leap) out.Month = -out.Month;
    return out;
}

// The month that follows (Year, Month): the leap month of the same number if the
// year has one there, else the next month, month 1 opening the next year.
Lunar NextMonth(const Lunar& l) {
    if (l.Month > 0 && LeapMonth(l.Year) == l.Month) return {l.Year, -l.Month, 1};
    const int number = l.Month < 0 ? -l.Month : l.Month;
    if (number == 12) return {l.Year + 1, 1, 1};
    return {l.Year, number + 1, 1};
}

TEST(LunarSweep, DaysAndMonthsFollowEachOther) {
    const int first = FixedDay(1900, 1, 31); // lunar new year 1900
    const int last = FixedDay(2100, 12, 31);
    Lunar previous = LunarOf(first);
    ASSERT_EQ(previous.Year, 1900);
    ASSERT_EQ(previous.Month, 1);
    ASSERT_EQ(previous.Day, 1);
    int months = 0;
    for (int fixed = first + 1; fixed <= last; ++fixed) {
        const Lunar l = LunarOf(fixed);
        if (l.Day == previous.Day + 1) {
            ASSERT_EQ(l.Month, previous.Month) << fixed;
            ASSERT_EQ(l.Year, previous.Year) << fixed;
        } else {
            ASSERT_EQ(l.Day, 1) << "day " << fixed << " after " << previous.Day;
            ASSERT_TRUE(previous.Day == 29 || previous.Day == 30) << fixed;
            const Lunar expected = NextMonth(previous);
            ASSERT_EQ(l.Year, expected.Year) << fixed;
            ASSERT_EQ(l.Month, expected.Month) << fixed;
            ++months;
        }
        previous = l;
    }
    EXPECT_GT(months, 2480);
}

TEST(LunarSweep, FirstDaysOfMonthsRoundTrip) {
    const int first = FixedDay(1900, 1, 1);
    const int last = FixedDay(2100, 12, 31);
    int checked = 0;
    for (int fixed = first; fixed <= last; ++fixed) {
        const Lunar l = LunarOf(fixed);
        if (l.Day != 1) continue;
        int y = 0, m = 0, d = 0;
        const bool leap = l.Month < 0;
        ASSERT_TRUE(LunarToSolar(l.Year, leap ? -l.Month : l.Month, 1, leap, y, m, d)) << fixed;
        ASSERT_EQ(FixedDay(y, m, d), fixed) << l.Year << "/" << l.Month;
        ++checked;
    }
    EXPECT_GT(checked, 2480);
}

// Every record of the range has its day texts, and a term on no more than one
// day of a month's two.
TEST(LunarSweep, RecordsAreCompleteOverTheRange) {
    double from = 0, to = 0;
    ASSERT_TRUE(EncodeDate(1900, 1, 1, from));
    ASSERT_TRUE(EncodeDate(2100, 12, 31, to));
    int terms = 0;
    for (double dt = from; dt <= to; dt += 1) {
        TChnCal cal;
        cal.SetDate(dt);
        ASSERT_FALSE(cal.FCnDay.empty()) << dt;
        ASSERT_FALSE(cal.FCnMonth.empty()) << dt;
        ASSERT_EQ(cal.FYearGanZhi.size(), 6u) << dt;
        ASSERT_EQ(cal.FMonthGanZhi.size(), 6u) << dt;
        ASSERT_EQ(cal.FDayGanZhi.size(), 6u) << dt;
        terms += !cal.FSolarTerm.empty();
    }
    EXPECT_EQ(terms, 201 * 24);
}

} // namespace
} // namespace lunar
