// Calendar arithmetic, cyclic names, solar terms and lunar dates.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "date_time.h"
#include "lunar_core.h"

namespace lunar {
namespace {

// ---- Calendar arithmetic ---------------------------------------------------------

TEST(CalendarArithmetic, ReformAndLeapYears) {
    EXPECT_EQ(CalendarKind(1582, 10, 4), KindJulian);
    EXPECT_EQ(CalendarKind(1582, 10, 5), KindGap);
    EXPECT_EQ(CalendarKind(1582, 10, 14), KindGap);
    EXPECT_EQ(CalendarKind(1582, 10, 15), KindGregorian);
    EXPECT_EQ(CalendarKind(1582, 9, 30), KindJulian);

    EXPECT_TRUE(LeapYear(1500));   // Julian rule
    EXPECT_FALSE(LeapYear(1582));  // Julian rule, not divisible by 4
    EXPECT_FALSE(LeapYear(1700));
    EXPECT_TRUE(LeapYear(2000));
    EXPECT_FALSE(LeapYear(2100));
    EXPECT_TRUE(LeapYear(-1));
    EXPECT_TRUE(LeapYear(-5));
    EXPECT_FALSE(LeapYear(-4));
    EXPECT_TRUE(LeapYear(0));

    EXPECT_EQ(MonthDays(2024, 0), 0);
    EXPECT_EQ(MonthDays(2024, 13), 0);
    EXPECT_EQ(MonthDays(1500, 2), 29);
    EXPECT_EQ(DayOfYear(2024, 3, 1), 61);
    EXPECT_EQ(DayOfYear(2024, 1, 0), 0);
}

TEST(CalendarArithmetic, FixedDayAcrossTheReform) {
    EXPECT_EQ(FixedDay(1582, 10, 4), 577735);
    EXPECT_EQ(FixedDay(1582, 10, 15), 577736);
    EXPECT_EQ(FixedDay(1, 1, 1), -1);
    EXPECT_EQ(FixedDay(-849, 1, 21), -310443);
    EXPECT_EQ(FixedDay(2024, 1, 0), FixedDay(2023, 12, 31));
    for (int day = 5; day <= 14; ++day) EXPECT_EQ(FixedDay(1582, 10, day), 0) << day;

    int y = 7, m = 7, d = 7;
    EXPECT_FALSE(FixedDayToDate(-1, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 70707) << "outputs untouched on failure";
    ASSERT_TRUE(FixedDayToDate(577735, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821004);
    ASSERT_TRUE(FixedDayToDate(577736, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821015);
}

// Every day from 0001-01-02 to 2101-12-31 converts to its day number and back.
TEST(CalendarArithmetic, FixedDayRoundTripsEveryDay) {
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(FixedDayToDate(0, y, m, d));
    for (int n = 0; n <= FixedDay(2101, 12, 31); ++n) {
        ASSERT_TRUE(FixedDayToDate(n, y, m, d));
        ASSERT_EQ(FixedDay(y, m, d), n) << y << "-" << m << "-" << d;
        ASSERT_NE(CalendarKind(y, m, d), KindGap);
    }
}

TEST(DateTime, DecodeEncodeAndWeekday) {
    double dt = -1;
    ASSERT_TRUE(EncodeDate(1899, 12, 30, dt));
    EXPECT_EQ(dt, 0.0);
    ASSERT_TRUE(EncodeDate(2024, 2, 10, dt));
    EXPECT_EQ(dt, 45332.0);
    EXPECT_EQ(DayOfWeek(dt), 7); // Saturday
    EXPECT_EQ(DayOfWeek(dt + 1.75), 1);

    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(DecodeDate(45332.99, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240210);
    ASSERT_TRUE(DecodeDate(-1.25, y, m, d)); // 1899-12-29 06:00
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    ASSERT_TRUE(EncodeDate(1, 1, 1, dt));
    EXPECT_EQ(dt, -693593.0);
    EXPECT_EQ(DayOfWeek(dt), 2); // Monday
    ASSERT_TRUE(EncodeDate(1582, 10, 10, dt)); // exists in the proleptic calendar
    ASSERT_TRUE(DecodeDate(dt, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821010);

    EXPECT_FALSE(EncodeDate(2023, 2, 29, dt));
    EXPECT_FALSE(EncodeDate(1500, 2, 29, dt)); // not leap in the proleptic Gregorian calendar
    EXPECT_FALSE(EncodeDate(0, 12, 31, dt));
    EXPECT_FALSE(EncodeDate(2024, 13, 1, dt));
    y = m = d = 9;
    EXPECT_FALSE(DecodeDate(-693594.0, y, m, d));
    EXPECT_FALSE(DecodeDate(1e12, y, m, d));
    EXPECT_FALSE(DecodeDate(std::nan(""), y, m, d));
    EXPECT_EQ(y + m + d, 27);
    EXPECT_EQ(DayOfWeek(std::nan("")), 0);
}

// ---- Cyclic names ----------------------------------------------------------------

TEST(CyclicNames, StemsBranchesAndSigns) {
    EXPECT_EQ(GanZhiName(DayGanZhi(2000, 1, 1)), "戊午");
    EXPECT_EQ(GanZhiName(YearGanZhi(4)), "甲子");
    EXPECT_EQ(YearGanZhi(1), 57);
    EXPECT_EQ(YearGanZhi(-1), 56);
    EXPECT_EQ(YearGanZhi(0), YearGanZhi(1));
    EXPECT_EQ(GanZhiName(YearGanZhi(2024)), "甲辰");
    EXPECT_EQ(AnimalName(YearAnimal(2024)), "龙");
    EXPECT_EQ(GanZhiName(0), "甲子");
    EXPECT_EQ(GanZhiName(59), "癸亥");
    EXPECT_EQ(GanZhiName(60), "");
    EXPECT_EQ(GanZhiName(-1), "");
    EXPECT_EQ(AnimalName(12), "");
    EXPECT_EQ(ConstellationName(-1), "");

    // The gap days continue the count of the Julian days before them.
    EXPECT_EQ(DayGanZhi(1582, 10, 5), (DayGanZhi(1582, 10, 4) + 1) % 60);
    EXPECT_EQ(DayGanZhi(1582, 10, 15), (DayGanZhi(1582, 10, 4) + 1) % 60);

    EXPECT_EQ(GanZhiOf(0, 1), -1);
    EXPECT_EQ(GanZhiOf(9, 11), 59);
    EXPECT_EQ(GanZhiOf(10, 0), -1);
    int stem = 0, branch = 0;
    EXPECT_TRUE(SplitGanZhi(59, stem, branch));
    EXPECT_EQ(stem * 100 + branch, 911);
    EXPECT_FALSE(SplitGanZhi(60, stem, branch));
    EXPECT_EQ(stem + branch, -2);
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(SplitGanZhi(i, stem, branch));
        EXPECT_EQ(GanZhiOf(stem, branch), i);
    }

    EXPECT_EQ(Constellation(12, 31), 9);
    EXPECT_EQ(Constellation(1, 19), 9);
    EXPECT_EQ(Constellation(1, 20), 10);
    EXPECT_EQ(Constellation(3, 21), 0);
    EXPECT_EQ(Constellation(3, 20), 11);
    EXPECT_EQ(Constellation(12, 22), 9);
    EXPECT_EQ(Constellation(12, 21), 8);

    EXPECT_EQ(CnDayName(0), "");
    EXPECT_EQ(CnDayName(31), "");
    EXPECT_EQ(CnDayName(1), "初一");
    EXPECT_EQ(CnDayName(10), "初十");
    EXPECT_EQ(CnDayName(11), "十一");
    EXPECT_EQ(CnDayName(20), "二十");
    EXPECT_EQ(CnDayName(25), "廿五");
    EXPECT_EQ(CnDayName(30), "三十");
}

// ---- Solar terms -----------------------------------------------------------------

TEST(SolarTerms, SeriesOf2000) {
    EXPECT_NEAR(static_cast<double>(TermDayOfYear(2000, 1)), 6.37, 0.005);
    EXPECT_NEAR(static_cast<double>(TermDayOfYear(2000, 3)), 35.86, 0.005);
    EXPECT_NEAR(static_cast<double>(TermDayOfYear(2000, 24)), 356.89, 0.005);
    int m = 0, d = 0;
    EXPECT_TRUE(TermDate(2000, 23, m, d));
    EXPECT_EQ(m * 100 + d, 1221);
    m = d = 5;
    EXPECT_FALSE(TermDate(2000, 24, m, d));
    EXPECT_FALSE(TermDate(2000, -1, m, d));
    EXPECT_EQ(m + d, 10);
}

struct TermCase {
    const char* Name;
    int Year, Month, Day;
    const char* Term;
};

class SolarTermOfDayTest : public testing::TestWithParam<TermCase> {};

TEST_P(SolarTermOfDayTest, NamesTheTermOfTheDay) {
    const TermCase& c = GetParam();
    EXPECT_EQ(SolarTermOfDay(c.Year, c.Month, c.Day), c.Term);
    double dt = 0;
    ASSERT_TRUE(EncodeDate(c.Year, c.Month, c.Day, dt));
    EXPECT_EQ(SolarTermOfDate(dt), c.Term);
}

// The corrected term days: each term on its right day and not on the series' day.
INSTANTIATE_TEST_SUITE_P(Cases, SolarTermOfDayTest, testing::Values(
    TermCase{"d2000_01_06_xiaohan", 2000, 1, 6, "小寒"},
    TermCase{"d2000_01_21_dahan", 2000, 1, 21, "大寒"},
    TermCase{"d2000_01_07_none", 2000, 1, 7, ""},
    TermCase{"d2024_02_04_lichun", 2024, 2, 4, "立春"},
    TermCase{"d1923_02_19_yushui", 1923, 2, 19, "雨水"},
    TermCase{"d1923_02_20_none", 1923, 2, 20, ""},
    TermCase{"d2016_07_07_xiaoshu", 2016, 7, 7, "小暑"},
    TermCase{"d2016_07_06_none", 2016, 7, 6, ""},
    TermCase{"d2020_12_07_daxue", 2020, 12, 7, "大雪"},
    TermCase{"d2020_12_06_none", 2020, 12, 6, ""},
    TermCase{"d2037_09_23_qiufen", 2037, 9, 23, "秋分"},
    TermCase{"d2037_09_22_none", 2037, 9, 22, ""},
    TermCase{"d2040_10_08_hanlu", 2040, 10, 8, "寒露"},
    TermCase{"d2040_10_07_none", 2040, 10, 7, ""},
    TermCase{"d2042_07_23_dashu", 2042, 7, 23, "大暑"},
    TermCase{"d2042_07_22_none", 2042, 7, 22, ""},
    TermCase{"d2059_02_19_yushui", 2059, 2, 19, "雨水"},
    TermCase{"d2059_02_18_none", 2059, 2, 18, ""},
    TermCase{"d2085_01_04_xiaohan", 2085, 1, 4, "小寒"},
    TermCase{"d2085_01_05_none", 2085, 1, 5, ""},
    TermCase{"d2097_05_05_lixia", 2097, 5, 5, "立夏"},
    TermCase{"d2097_05_04_none", 2097, 5, 4, ""}),
    [](const testing::TestParamInfo<TermCase>& info) { return std::string(info.param.Name); });

// The correction rows name the term by number; the number, the name and the day
// the series gives must all agree.
TEST(SolarTerms, CorrectionRowsMatchTheSeries) {
    for (const TermCorrection& row : TermCorrections) {
        const int seriesDay = static_cast<int>(std::floor(TermDayOfYear(row.Year, row.N)));
        EXPECT_EQ(seriesDay, DayOfYear(row.Year, row.SeriesMonth, row.SeriesDay)) << row.Year;
        EXPECT_EQ(TermDay(row.Year, row.N), DayOfYear(row.Year, row.RightMonth, row.RightDay))
            << row.Year;
        EXPECT_EQ(std::abs(row.RightDay - row.SeriesDay), 1) << row.Year;
    }
    EXPECT_EQ(TermNames[(TermCorrections[0].N + 21) % 24], "雨水");
    EXPECT_EQ(TermNames[(TermCorrections[1].N + 21) % 24], "小暑");
    EXPECT_EQ(TermNames[(TermCorrections[5].N + 21) % 24], "大暑");
    EXPECT_EQ(TermNames[(TermCorrections[7].N + 21) % 24], "小寒");
    EXPECT_EQ(TermNames[(TermCorrections[8].N + 21) % 24], "立夏");
}

TEST(SolarTerms, SolarYearAndMonth) {
    EXPECT_EQ(GanZhiName(DateYearGanZhi(2024, 2, 4)), "甲辰");
    EXPECT_EQ(GanZhiName(DateYearGanZhi(2024, 2, 3)), "癸卯");

    int year = 0, month = 0;
    // Before 2024's 小寒 (January 6): month 11 of 2023.
    SolarMonth(2024, 1, 5, year, month);
    EXPECT_EQ(year * 100 + month, 202311);
    EXPECT_EQ(GanZhiName(MonthGanZhi(2024, 1, 5)), "甲子");
    SolarMonth(2024, 1, 6, year, month);
    EXPECT_EQ(year * 100 + month, 202312);
    EXPECT_EQ(GanZhiName(MonthGanZhi(2024, 1, 6)), "乙丑");
    SolarMonth(2024, 2, 4, year, month);
    EXPECT_EQ(year * 100 + month, 202401);
    EXPECT_EQ(GanZhiName(MonthGanZhi(2024, 2, 10)), "丙寅");
    SolarMonth(2024, 12, 31, year, month);
    EXPECT_EQ(year * 100 + month, 202411);
    // 2085's 小寒 moved to January 4: that day opens month 12.
    SolarMonth(2085, 1, 4, year, month);
    EXPECT_EQ(year * 100 + month, 208412);
    // 1923's 雨水 moved; 立春 and the year are untouched.
    EXPECT_EQ(DateYearGanZhi(1923, 2, 19), YearGanZhi(1923));
}

// ---- Lunar dates -----------------------------------------------------------------

struct LunarCase {
    const char* Name;
    int Year, Month, Day;
    int LYear, LMonth, LDay; // LMonth negative for a leap month
};

class SolarToLunarTest : public testing::TestWithParam<LunarCase> {};

TEST_P(SolarToLunarTest, GivesTheLunarDate) {
    const LunarCase& c = GetParam();
    bool leap = false;
    int lDay = 0, lMonth = 0, lYear = 0;
    ASSERT_TRUE(SolarToLunar(c.Year, c.Month, c.Day, leap, lDay, lMonth, lYear));
    EXPECT_EQ(lYear, c.LYear);
    EXPECT_EQ(leap ? -lMonth : lMonth, c.LMonth);
    EXPECT_EQ(lDay, c.LDay);
    EXPECT_EQ(LunarMonth(c.Year, c.Month, c.Day), c.LMonth);
    EXPECT_EQ(LunarDay(c.Year, c.Month, c.Day), c.LDay);
}

INSTANTIATE_TEST_SUITE_P(Cases, SolarToLunarTest, testing::Values(
    LunarCase{"d2020_01_24_last_of_2019", 2020, 1, 24, 2019, 12, 30},
    LunarCase{"d2020_01_25_new_year", 2020, 1, 25, 2020, 1, 1},
    LunarCase{"d2020_05_23_leap4_day1", 2020, 5, 23, 2020, -4, 1},
    LunarCase{"d2020_06_21_month5_day1", 2020, 6, 21, 2020, 5, 1},
    LunarCase{"d2023_01_22_new_year", 2023, 1, 22, 2023, 1, 1},
    LunarCase{"d2023_03_21_month2_day30", 2023, 3, 21, 2023, 2, 30},
    LunarCase{"d2023_03_22_leap2_day1", 2023, 3, 22, 2023, -2, 1},
    LunarCase{"d2023_04_20_month3_day1", 2023, 4, 20, 2023, 3, 1},
    LunarCase{"d2025_07_25_leap6_day1", 2025, 7, 25, 2025, -6, 1},
    LunarCase{"d2025_08_23_month7_day1", 2025, 8, 23, 2025, 7, 1},
    LunarCase{"d2033_12_22_leap11_day1", 2033, 12, 22, 2033, -11, 1},
    LunarCase{"d2034_01_20_month12_day1", 2034, 1, 20, 2033, 12, 1},
    LunarCase{"d2034_01_19_leap11_last", 2034, 1, 19, 2033, -11, 29},
    // Corrected new moons.
    LunarCase{"d1914_11_16_month9_last", 1914, 11, 16, 1914, 9, 29},
    LunarCase{"d1914_11_17_month10_day1", 1914, 11, 17, 1914, 10, 1},
    LunarCase{"d1916_02_02_chuxi_day", 1916, 2, 2, 1915, 12, 29},
    LunarCase{"d1916_02_03_new_year", 1916, 2, 3, 1916, 1, 1},
    LunarCase{"d1916_03_03_month1_day30", 1916, 3, 3, 1916, 1, 30},
    LunarCase{"d1920_11_10_month10_day1", 1920, 11, 10, 1920, 10, 1},
    LunarCase{"d1920_12_09_month10_day30", 1920, 12, 9, 1920, 10, 30},
    LunarCase{"d1924_03_04_month1_day29", 1924, 3, 4, 1924, 1, 29},
    LunarCase{"d1924_03_05_month2_day1", 1924, 3, 5, 1924, 2, 1},
    LunarCase{"d1924_04_03_month2_day30", 1924, 4, 3, 1924, 2, 30},
    LunarCase{"d2018_11_07_month9_day30", 2018, 11, 7, 2018, 9, 30},
    LunarCase{"d2018_11_08_month10_day1", 2018, 11, 8, 2018, 10, 1},
    LunarCase{"d2018_12_06_month10_day29", 2018, 12, 6, 2018, 10, 29},
    LunarCase{"d2018_12_07_month11_day1", 2018, 12, 7, 2018, 11, 1},
    LunarCase{"d2025_04_26_month3_day29", 2025, 4, 26, 2025, 3, 29},
    LunarCase{"d2025_04_27_month3_day30", 2025, 4, 27, 2025, 3, 30},
    LunarCase{"d2025_04_28_month4_day1", 2025, 4, 28, 2025, 4, 1},
    LunarCase{"d2025_05_26_month4_day29", 2025, 5, 26, 2025, 4, 29},
    LunarCase{"d2025_05_27_month5_day1", 2025, 5, 27, 2025, 5, 1},
    // The ends of the range.
    LunarCase{"d1900_01_30_last_of_1899", 1900, 1, 30, 1899, 12, 30},
    LunarCase{"d1900_01_31_new_year", 1900, 1, 31, 1900, 1, 1},
    LunarCase{"d2100_02_08_last_of_2099", 2100, 2, 8, 2099, 12, 30},
    LunarCase{"d2100_02_09_new_year", 2100, 2, 9, 2100, 1, 1},
    LunarCase{"d0001_01_01_year0", 1, 1, 1, 0, 11, 19},
    // Year 12: the search finds 0012-12-31 as the first day of month 1.
    LunarCase{"d0012_12_31_new_year", 12, 12, 31, 12, 1, 1},
    // The ten days that do not exist.
    LunarCase{"d1582_10_05_gap", 1582, 10, 5, 1582, 2, -1},
    LunarCase{"d1582_10_14_gap", 1582, 10, 14, 1582, 2, -1}),
    [](const testing::TestParamInfo<LunarCase>& info) { return std::string(info.param.Name); });

TEST(LunarDates, NewYearOfYear12FoundInLateDecember) {
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(LunarToSolar(12, 1, 1, false, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 121231);
    // Every earlier day of that Gregorian year belongs to lunar year 11.
    for (int day = FixedDay(12, 1, 1); day < FixedDay(12, 12, 31); ++day) {
        ASSERT_TRUE(FixedDayToDate(day, y, m, d));
        bool leap = false;
        int lDay = 0, lMonth = 0, lYear = 0;
        ASSERT_TRUE(SolarToLunar(y, m, d, leap, lDay, lMonth, lYear));
        ASSERT_EQ(lYear, 11) << m << "-" << d;
    }
    for (int year : {15, 18, 240}) {
        ASSERT_TRUE(LunarToSolar(year, 1, 1, false, y, m, d)) << year;
        EXPECT_EQ(y, year);
        EXPECT_EQ(m, 12) << year;
        EXPECT_GE(d, 20) << year;
    }
}

TEST(LunarDates, FailsOutsideItsYears) {
    bool leap = true;
    int lDay = 5, lMonth = 6, lYear = 7;
    EXPECT_FALSE(SolarToLunar(2101, 1, 1, leap, lDay, lMonth, lYear));
    EXPECT_FALSE(SolarToLunar(-850, 12, 31, leap, lDay, lMonth, lYear));
    EXPECT_FALSE(LunarMonthDay(2101, 6, 1, leap, lDay, lMonth));
    EXPECT_TRUE(leap);
    EXPECT_EQ(lDay * 100 + lMonth * 10 + lYear, 567);
    EXPECT_TRUE(SolarToLunar(-849, 6, 1, leap, lDay, lMonth, lYear));
    int y = 1, m = 2, d = 3;
    EXPECT_FALSE(LunarToSolar(2024, 5, 1, true, y, m, d)) << "2024 has no leap fifth month";
    EXPECT_FALSE(LunarToSolar(2101, 1, 1, false, y, m, d));
    EXPECT_EQ(y * 100 + m * 10 + d, 123);
    double beyond = 0;
    ASSERT_TRUE(EncodeDate(2101, 1, 1, beyond));
    EXPECT_FALSE(DateToLunar(beyond, leap, lDay, lMonth, lYear));
}

TEST(LunarDates, LeapMonthsOfTheTable) {
    EXPECT_EQ(LeapMonth(2020), 4);
    EXPECT_EQ(LeapMonth(2023), 2);
    EXPECT_EQ(LeapMonth(2025), 6);
    EXPECT_EQ(LeapMonth(2033), 11);
    EXPECT_EQ(LeapMonth(2024), 0);
    EXPECT_EQ(LeapMonth(0), 0);
    EXPECT_EQ(LeapMonth(-849), 0);
    EXPECT_EQ(LeapMonth(-848), 12);
    EXPECT_EQ(LeapMonth(2101), 0);
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(LunarToSolar(2033, 11, 1, true, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20331222);
    ASSERT_TRUE(LunarToSolar(2023, 2, 1, true, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20230322);
    ASSERT_TRUE(LunarToSolar(2020, 4, 1, true, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20200523);
    ASSERT_TRUE(LunarToSolar(2025, 6, 1, true, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20250725);
}

} // namespace
} // namespace lunar
