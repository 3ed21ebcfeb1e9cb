// The per-year values the engine remembers give the same results as evaluating
// every rule afresh, for every date from year 1 to 2100.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "lunar_core.h"

namespace lunar {
namespace {

// Compares every date of the years [from, to); returns the number of mismatches.
// The lunar year of a date is its Gregorian year, less one before the year's lunar
// new year; that new year is searched afresh once per year, as it depends on the
// year alone.
int CompareYears(int from, int to) {
    int mismatches = 0;
    for (int y = from; y < to; ++y) {
        int ny[3] = {};
        const bool newYearFound = uncached::LunarToSolar(y, 1, 1, false, ny[0], ny[1], ny[2]);
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= MonthDays(y, m); ++d) {
                bool leapA = false, leapB = false;
                int dayA = 0, monthA = 0, yearA = 0, dayB = 0, monthB = 0;
                const bool okA = SolarToLunar(y, m, d, leapA, dayA, monthA, yearA);
                const bool okB = uncached::LunarMonthDay(y, m, d, leapB, dayB, monthB);
                int yearB = y;
                if (newYearFound && (y != ny[0] ? y < ny[0] : m != ny[1] ? m < ny[1] : d < ny[2]))
                    yearB = y - 1;
                int sy = 0, sm = 0, syB = 0, smB = 0;
                SolarMonth(y, m, d, sy, sm);
                uncached::SolarMonth(y, m, d, syB, smB);
                const bool same = okA && okB && leapA == leapB && dayA == dayB && monthA == monthB &&
                                  yearA == yearB &&
                                  SolarTermOfDay(y, m, d) == uncached::SolarTermOfDay(y, m, d) &&
                                  DateYearGanZhi(y, m, d) == uncached::DateYearGanZhi(y, m, d) &&
                                  MonthGanZhi(y, m, d) == uncached::MonthGanZhi(y, m, d) &&
                                  sy == syB && sm == smB;
                if (!same) {
                    ADD_FAILURE() << "differs on " << y << "-" << m << "-" << d;
                    ++mismatches;
                }
            }
        }
    }
    return mismatches;
}

TEST(LunarCache, SameResultsAsFreshEvaluationForYears1To2100) {
    // Two halves side by side; the years are independent of each other.
    int first = 0, second = 0;
    std::thread worker([&] { first = CompareYears(1, 1300); });
    second = CompareYears(1300, 2101);
    worker.join();
    EXPECT_EQ(first + second, 0);
}

TEST(LunarCache, NewYearsAndTermsOfEveryYear) {
    for (int y = FirstLunarYear; y <= LastLunarYear; ++y) {
        int a[3] = {}, b[3] = {};
        const bool okA = LunarToSolar(y, 1, 1, false, a[0], a[1], a[2]);
        const bool okB = uncached::LunarToSolar(y, 1, 1, false, b[0], b[1], b[2]);
        ASSERT_EQ(okA, okB) << y;
        if (okA) {
            ASSERT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << y;
        }
        for (int n = 1; n <= 25; ++n) ASSERT_EQ(TermDay(y, n), uncached::TermDay(y, n)) << y << " " << n;
    }
}

} // namespace
} // namespace lunar
