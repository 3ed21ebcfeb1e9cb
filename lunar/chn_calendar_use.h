#pragma once
// The lunar day record: what the calendar control reads for every day it shows.

#include <string>
#include <string_view>

namespace lunar {

// Filled by SetDate for one calendar day. Texts are UTF-8.
struct TChnCal {
    int FCnYearNo = 0;        // lunar year of the last successful fill; 0 before the first
    int FCnMonthNo = 0;       // lunar month of the last successful fill, negated for a leap month
    double FDateTime = 0;     // the date of the last SetDate call (days since 1899-12-30)
    std::string FSolarTerm;   // solar term falling on the date, else empty
    std::string FHoliday;     // Gregorian festival, else empty
    std::string FCnMonth;     // 正月 .. 腊月, or 闰二 .. for a leap month
    std::string FDayGanZhi;   // sexagenary name of the day
    std::string FYearGanZhi;  // sexagenary name of the solar-term year
    std::string FMonthGanZhi; // sexagenary name of the solar-term month
    std::string FCnHolDay;    // lunar festival, else empty
    std::string FCnYear;      // lunar year in decimal digits
    std::string FCnDay;       // 初一 .. 三十
    std::string FAnimal;      // zodiac animal of the lunar year
    std::string FConstellation; // Western zodiac sign, two characters
    std::string FEraText;     // dynasty, ruler and era before 1949, else empty

    // Fills the record for the calendar day of Date (time of day ignored). A fill
    // that cannot be done leaves every field but FDateTime as it was.
    void SetDate(double Date);
};

// Gregorian festival of Date; Day is the day of the month of Date. Empty if none.
std::string_view HolidayOfDate(int Day, double Date) noexcept;

// Lunar festival of lunar month LMonth (a leap month counts as its number), day
// LDay, falling on Date; 除夕 is found by looking at the next day. Empty if none.
std::string_view CnHolidayOfDate(int LMonth, int LDay, double Date) noexcept;

// Dynasty, ruler and era of Year, e.g. "[清]德宗 爱新觉罗载湉 光绪26年"; empty from
// 1949 on and before -2069.
std::string EraText(int Year);

// Lunar month name: 正月 .. 冬月, 腊月; a leap month 闰二 .. 闰十一, 闰十二.
std::string_view CnMonthName(int Month, bool IsLeap) noexcept;

namespace uncached {
// EraText reading the rows of the table afresh on every call.
std::string EraText(int Year);
} // namespace uncached

} // namespace lunar
