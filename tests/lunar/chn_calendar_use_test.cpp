// Festivals, era names and the lunar day record.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chn_calendar_use.h"
#include "date_time.h"
#include "era_table.h"
#include "lunar_core.h"

namespace lunar {
namespace {

double Day(int y, int m, int d) {
    double dt = 0;
    EXPECT_TRUE(EncodeDate(y, m, d, dt)) << y << "-" << m << "-" << d;
    return dt;
}

TChnCal FilledAt(int y, int m, int d) {
    TChnCal cal;
    cal.SetDate(Day(y, m, d));
    return cal;
}

// ---- Festivals -------------------------------------------------------------------

struct HolidayCase {
    const char* Name;
    int Year, Month, Day;
    const char* Holiday;
};

class HolidayOfDateTest : public testing::TestWithParam<HolidayCase> {};

TEST_P(HolidayOfDateTest, NamesTheGregorianFestival) {
    const HolidayCase& c = GetParam();
    EXPECT_EQ(HolidayOfDate(c.Day, Day(c.Year, c.Month, c.Day)), c.Holiday);
}

INSTANTIATE_TEST_SUITE_P(Cases, HolidayOfDateTest, testing::Values(
    HolidayCase{"new_year", 2024, 1, 1, "元旦节"},
    HolidayCase{"valentine", 2024, 2, 14, "情人节"},
    HolidayCase{"labour_day", 2024, 5, 1, "劳动节"},
    HolidayCase{"youth_day", 2024, 5, 4, "青年节"},
    HolidayCase{"first_sunday_of_may", 2024, 5, 5, ""},
    HolidayCase{"mothers_day", 2024, 5, 12, "母亲节"},
    HolidayCase{"third_sunday_of_may", 2024, 5, 19, ""},
    HolidayCase{"fathers_day", 2024, 6, 16, "父亲节"},
    HolidayCase{"second_sunday_of_june", 2024, 6, 9, ""},
    HolidayCase{"teachers_day", 2024, 9, 10, "教师节"},
    HolidayCase{"national_day", 2024, 10, 1, "国庆节"},
    HolidayCase{"elders_day", 2024, 10, 6, "老人节"},
    HolidayCase{"halloween", 2024, 10, 31, "万圣节"},
    HolidayCase{"journalists_day", 2024, 11, 8, "记者日"},
    HolidayCase{"third_thursday", 2024, 11, 21, ""},
    HolidayCase{"thanksgiving", 2024, 11, 28, "感恩节"},
    HolidayCase{"fifth_thursday_2029", 2029, 11, 29, ""},
    HolidayCase{"christmas", 2024, 12, 25, "圣诞节"},
    HolidayCase{"ordinary_day", 2024, 3, 9, ""}),
    [](const testing::TestParamInfo<HolidayCase>& info) { return std::string(info.param.Name); });

TEST(CnHolidayOfDate, FixedDaysAndNewYearsEve) {
    const double anyDay = Day(2024, 6, 1);
    EXPECT_EQ(CnHolidayOfDate(1, 1, anyDay), "春节");
    EXPECT_EQ(CnHolidayOfDate(1, 15, anyDay), "元宵节");
    EXPECT_EQ(CnHolidayOfDate(5, 5, anyDay), "端午节");
    EXPECT_EQ(CnHolidayOfDate(-5, 5, anyDay), "端午节") << "a leap fifth month keeps 端午";
    EXPECT_EQ(CnHolidayOfDate(7, 7, anyDay), "七夕节");
    EXPECT_EQ(CnHolidayOfDate(8, 15, anyDay), "中秋节");
    EXPECT_EQ(CnHolidayOfDate(9, 9, anyDay), "重阳节");
    EXPECT_EQ(CnHolidayOfDate(12, 8, anyDay), "腊八节");
    EXPECT_EQ(CnHolidayOfDate(3, 3, anyDay), "");

    // 12/30 before 正月初一; 12/29 before 正月初一; 12/29 before 12/30.
    EXPECT_EQ(CnHolidayOfDate(12, 30, Day(2024, 2, 9)), "除夕");
    EXPECT_EQ(CnHolidayOfDate(12, 29, Day(2025, 1, 28)), "除夕");
    EXPECT_EQ(CnHolidayOfDate(12, 29, Day(2024, 2, 8)), "");
    // The next day lies beyond the engine's years.
    EXPECT_EQ(CnHolidayOfDate(12, 29, Day(2100, 12, 31)), "");
    EXPECT_EQ(FilledAt(2100, 12, 31).FCnHolDay, "");
}

// ---- Era names -------------------------------------------------------------------

struct EraCase {
    const char* Name;
    int Year;
    const char* Text;
};

class EraTextTest : public testing::TestWithParam<EraCase> {};

TEST_P(EraTextTest, GivesDynastyRulerAndEra) {
    const EraCase& c = GetParam();
    EXPECT_EQ(EraText(c.Year), c.Text);
    EXPECT_EQ(uncached::EraText(c.Year), c.Text);
}

INSTANTIATE_TEST_SUITE_P(Cases, EraTextTest, testing::Values(
    EraCase{"y1900", 1900, "[清]德宗 爱新觉罗载湉 光绪26年"},
    EraCase{"y1875_first_year", 1875, "[清]德宗 爱新觉罗载湉 光绪元年"},
    EraCase{"y1910_empty_title", 1910, "[清] 爱新觉罗溥仪 宣统2年"},
    EraCase{"y1911_empty_name", 1911, "[近、现代]中华民国  民国元年"},
    EraCase{"y1948", 1948, "[近、现代]中华民国  民国38年"},
    EraCase{"y1949", 1949, ""},
    EraCase{"y2024", 2024, ""},
    EraCase{"y1", 1, "[西汉]平帝 刘衍 元始元年"},
    EraCase{"y_minus1", -1, "[西汉]哀帝 刘欣 元寿元年"},
    EraCase{"y0", 0, "[西汉]哀帝 刘欣 元寿2年"},
    EraCase{"y913_third_field_unused", 913, "[五代/梁]末帝 朱友贞 乾化元年"},
    EraCase{"y1279_counted_from_1271", 1279, "[元]世祖 孛儿只斤·忽必烈 至元9年"},
    EraCase{"y465_empty_row_skipped", 465, "[南朝/宋]明帝 刘彧 泰始元年"},
    // 北魏 starts again at 386, but 东晋's rows cover that year first.
    EraCase{"y386_earlier_row_wins", 386, "[东晋]孝武帝 司马曜 太元11年"},
    EraCase{"y9_empty_title", 9, "[新] 王莽 始建国元年"},
    EraCase{"y_minus2069_first", -2069, "[夏]禹  禹元年"},
    EraCase{"y_minus2070", -2070, ""},
    EraCase{"y1644", 1644, "[清]世祖 爱新觉罗福临 顺治元年"}),
    [](const testing::TestParamInfo<EraCase>& info) { return std::string(info.param.Name); });

TEST(EraTable, RowsAreWellFormed) {
    int nonZeroPassed = 0;
    for (std::string_view row : EraTable) {
        int commas = 0;
        for (char ch : row) commas += ch == ',';
        EXPECT_EQ(commas, 6) << row;
        const std::size_t second = row.find(',', row.find(',') + 1);
        nonZeroPassed += row.substr(second + 1, 2) != "0,";
    }
    EXPECT_EQ(nonZeroPassed, 6);
}

// The cached texts and the row-by-row lookup agree for every year of the table.
TEST(EraTable, CachedTextsMatchTheLookup) {
    for (int year = -2100; year <= 2100; ++year)
        ASSERT_EQ(EraText(year), uncached::EraText(year)) << year;
}

// ---- The lunar day record --------------------------------------------------------

struct RecordCase {
    const char* Name;
    int Year, Month, Day;
    const char *CnMonth, *CnDay, *SolarTerm, *Holiday, *CnHolDay, *CnYear, *YearGanZhi, *Animal,
        *Constellation, *EraText;
};

class RecordTextTest : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordTextTest, FreshRecordDescribesTheDay) {
    const RecordCase& c = GetParam();
    const TChnCal cal = FilledAt(c.Year, c.Month, c.Day);
    EXPECT_EQ(cal.FCnMonth, c.CnMonth);
    EXPECT_EQ(cal.FCnDay, c.CnDay);
    EXPECT_EQ(cal.FSolarTerm, c.SolarTerm);
    EXPECT_EQ(cal.FHoliday, c.Holiday);
    EXPECT_EQ(cal.FCnHolDay, c.CnHolDay);
    EXPECT_EQ(cal.FCnYear, c.CnYear);
    EXPECT_EQ(cal.FYearGanZhi, c.YearGanZhi);
    EXPECT_EQ(cal.FAnimal, c.Animal);
    EXPECT_EQ(cal.FConstellation, c.Constellation);
    EXPECT_EQ(cal.FEraText, c.EraText);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordTextTest, testing::Values(
    RecordCase{"d2024_03_08_festival", 2024, 3, 8, "正月", "廿八", "", "妇女节", "", "2024", "甲辰", "龙", "双鱼", ""},
    RecordCase{"d2024_02_04_lichun", 2024, 2, 4, "腊月", "廿五", "立春", "", "", "2023", "甲辰", "兔", "宝瓶", ""},
    RecordCase{"d2024_02_09_chuxi", 2024, 2, 9, "腊月", "三十", "", "", "除夕", "2023", "甲辰", "兔", "宝瓶", ""},
    RecordCase{"d2024_02_10_chunjie", 2024, 2, 10, "正月", "初一", "", "", "春节", "2024", "甲辰", "龙", "宝瓶", ""},
    RecordCase{"d2023_03_22_leap_month", 2023, 3, 22, "闰二", "初一", "", "", "", "2023", "癸卯", "兔", "白羊", ""},
    RecordCase{"d2033_12_22_leap_eleventh", 2033, 12, 22, "闰十一", "初一", "", "", "", "2033", "癸丑", "牛", "摩羯", ""},
    RecordCase{"d1900_01_31_chunjie", 1900, 1, 31, "正月", "初一", "", "", "春节", "1900", "己亥", "鼠", "宝瓶",
               "[清]德宗 爱新觉罗载湉 光绪26年"},
    RecordCase{"d1900_01_15_lunar_1899", 1900, 1, 15, "腊月", "十五", "", "", "", "1899", "己亥", "猪", "摩羯",
               "[清]德宗 爱新觉罗载湉 光绪25年"},
    RecordCase{"d1916_02_03_chunjie", 1916, 2, 3, "正月", "初一", "", "", "春节", "1916", "乙卯", "龙", "宝瓶",
               "[近、现代]中华民国  民国6年"},
    RecordCase{"d1914_11_17_month10", 1914, 11, 17, "十月", "初一", "", "", "", "1914", "甲寅", "虎", "天蝎",
               "[近、现代]中华民国  民国4年"},
    RecordCase{"d1920_11_10_month10", 1920, 11, 10, "十月", "初一", "", "", "", "1920", "庚申", "猴", "天蝎",
               "[近、现代]中华民国  民国10年"},
    RecordCase{"d2025_04_28_month4", 2025, 4, 28, "四月", "初一", "", "", "", "2025", "乙巳", "蛇", "金牛", ""},
    RecordCase{"d1582_10_10_gap", 1582, 10, 10, "二月", "", "", "", "", "1582", "壬午", "马", "天秤",
               "[明]神宗 朱翊钧 万历10年"}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.Name); });

TEST(TChnCal, SexagenaryNamesOfTheNewYear) {
    const TChnCal cal = FilledAt(2024, 2, 10);
    EXPECT_EQ(cal.FDayGanZhi, "甲辰");
    EXPECT_EQ(cal.FMonthGanZhi, "丙寅");
    EXPECT_EQ(cal.FCnYearNo, 2024);
    EXPECT_EQ(cal.FCnMonthNo, 1);
}

// Every fill describes its own date, whatever was filled before.
TEST(TChnCal, TextsDoNotDependOnEarlierFills) {
    TChnCal cal;
    cal.SetDate(Day(2022, 6, 1));
    cal.SetDate(Day(2023, 1, 22)); // lunar 2023 opens before 立春
    EXPECT_EQ(cal.FYearGanZhi, "壬寅");
    EXPECT_EQ(cal.FAnimal, "兔");
    cal.SetDate(Day(2023, 3, 1));
    EXPECT_EQ(cal.FYearGanZhi, "癸卯");
    EXPECT_EQ(cal.FAnimal, "兔");

    cal.SetDate(Day(1910, 6, 1));
    cal.SetDate(Day(1911, 12, 31));
    EXPECT_EQ(cal.FEraText, "[近、现代]中华民国  民国元年");
    cal.SetDate(Day(1912, 1, 15)); // still lunar 1911
    EXPECT_EQ(cal.FEraText, "[近、现代]中华民国  民国元年");
    EXPECT_EQ(cal.FCnYear, "1911");

    cal.SetDate(Day(2023, 3, 21));
    EXPECT_EQ(cal.FCnMonth, "二月");
    EXPECT_EQ(cal.FCnMonthNo, 2);
    cal.SetDate(Day(2023, 3, 22));
    EXPECT_EQ(cal.FCnMonth, "闰二");
    EXPECT_EQ(cal.FCnMonthNo, -2);
    cal.SetDate(Day(2023, 4, 20));
    EXPECT_EQ(cal.FCnMonth, "三月");

    // Month 3 of another lunar year rebuilds the month's sexagenary name.
    cal.SetDate(Day(2024, 4, 20));
    EXPECT_EQ(cal.FCnMonth, "三月");
    EXPECT_EQ(cal.FMonthGanZhi, GanZhiName(MonthGanZhi(2024, 4, 20)));
    EXPECT_EQ(cal.FCnYearNo, 2024);

    // Any order of fills gives the same texts as a fresh record.
    for (double dt = Day(2023, 1, 1); dt < Day(2023, 3, 1); dt += 1) {
        cal.SetDate(dt);
        TChnCal fresh;
        fresh.SetDate(dt);
        ASSERT_EQ(cal.FYearGanZhi, fresh.FYearGanZhi) << dt;
        ASSERT_EQ(cal.FMonthGanZhi, fresh.FMonthGanZhi) << dt;
        ASSERT_EQ(cal.FCnMonth, fresh.FCnMonth) << dt;
        ASSERT_EQ(cal.FAnimal, fresh.FAnimal) << dt;
        ASSERT_EQ(cal.FEraText, fresh.FEraText) << dt;
    }
}

TEST(TChnCal, LunarYearZeroOnAFreshRecord) {
    const TChnCal cal = FilledAt(1, 1, 1);
    EXPECT_EQ(cal.FCnYear, "0");
    EXPECT_EQ(cal.FCnYearNo, 0);
    EXPECT_EQ(cal.FCnMonth, "冬月");
    EXPECT_EQ(cal.FCnDay, "十九");
    EXPECT_EQ(cal.FAnimal, AnimalName(YearAnimal(0)));
}

TEST(TChnCal, FailedFillKeepsEveryText) {
    TChnCal cal = FilledAt(2024, 2, 10);
    const TChnCal before = cal;
    for (double bad : {Day(2101, 1, 1), 1e9, -1e9, std::nan("")}) {
        cal.SetDate(bad);
        EXPECT_EQ(cal.FCnYearNo, before.FCnYearNo);
        EXPECT_EQ(cal.FCnMonthNo, before.FCnMonthNo);
        EXPECT_EQ(cal.FCnMonth, before.FCnMonth);
        EXPECT_EQ(cal.FCnDay, before.FCnDay);
        EXPECT_EQ(cal.FCnHolDay, before.FCnHolDay);
        EXPECT_EQ(cal.FYearGanZhi, before.FYearGanZhi);
        EXPECT_EQ(cal.FEraText, before.FEraText);
    }
    cal.SetDate(Day(2101, 1, 1));
    EXPECT_EQ(cal.FDateTime, Day(2101, 1, 1));
}

TEST(TChnCal, TimeOfDayIsIgnored) {
    TChnCal morning, evening;
    morning.SetDate(Day(2024, 2, 9) + 0.01);
    evening.SetDate(Day(2024, 2, 9) + 0.99);
    EXPECT_EQ(morning.FCnHolDay, "除夕");
    EXPECT_EQ(evening.FCnHolDay, "除夕");
    EXPECT_EQ(evening.FDateTime, Day(2024, 2, 9) + 0.99);
}

} // namespace
} // namespace lunar
