#include "chn_calendar_use.h"

#include <charconv>
#include <vector>

#include "date_time.h"
#include "era_table.h"
#include "lunar_core.h"

namespace lunar {

// ---- Festivals -------------------------------------------------------------------

std::string_view HolidayOfDate(int Day, double Date) noexcept {
    int year = 0, month = 0, day = 0;
    if (!DecodeDate(Date, year, month, day)) return {};
    double cell = 0;
    const int weekday = EncodeDate(year, month, Day, cell) ? DayOfWeek(cell) : 0; // 1 = Sunday
    const int week = (Day - 1) / 7;
    switch (month) {
    case 1: if (Day == 1) return "元旦节"; break;
    case 2: if (Day == 14) return "情人节"; break;
    case 3: if (Day == 8) return "妇女节"; break;
    case 4: if (Day == 1) return "愚人节"; break;
    case 5:
        if (Day == 1) return "劳动节";
        if (Day == 4) return "青年节";
        if (weekday == 1 && week == 1) return "母亲节";
        break;
    case 6:
        if (Day == 1) return "儿童节";
        if (weekday == 1 && week == 2) return "父亲节";
        break;
    case 7: if (Day == 1) return "建党节"; break;
    case 8: if (Day == 1) return "建军节"; break;
    case 9: if (Day == 10) return "教师节"; break;
    case 10:
        if (Day == 1) return "国庆节";
        if (Day == 6) return "老人节";
        if (Day == 31) return "万圣节";
        break;
    case 11:
        if (Day == 8) return "记者日";
        if (weekday == 5 && week == 3) return "感恩节";
        break;
    case 12: if (Day == 25) return "圣诞节"; break;
    default: break;
    }
    return {};
}

std::string_view CnHolidayOfDate(int LMonth, int LDay, double Date) noexcept {
    const int month = LMonth < 0 ? -LMonth : LMonth;
    switch (month * 100 + LDay) {
    case 101: return "春节";
    case 115: return "元宵节";
    case 505: return "端午节";
    case 707: return "七夕节";
    case 815: return "中秋节";
    case 909: return "重阳节";
    case 1208: return "腊八节";
    default: break;
    }
    if (month != 12) return {};
    switch (LDay) {
    case 1: case 5: case 7: case 8: case 9: case 15: return {};
    default: break;
    }
    bool leap = false;
    int nextDay = 0, nextMonth = 0, nextYear = 0;
    if (DateToLunar(Date + 1, leap, nextDay, nextMonth, nextYear) && nextMonth == 1 && nextDay == 1)
        return "除夕";
    return {};
}

// ---- Era names -------------------------------------------------------------------

namespace {

constexpr int FirstEraYear = -2069;
constexpr int EraEndYear = 1949; // from here on there is no era text

struct EraRow {
    int FirstYear = 0;
    std::string_view Fields[7];
};

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// Cuts a row at its commas into seven trimmed fields; missing fields stay empty.
EraRow ParseRow(std::string_view row) {
    EraRow out;
    for (int i = 0; i < 7; ++i) {
        const std::size_t comma = row.find(',');
        out.Fields[i] = Trimmed(row.substr(0, comma));
        if (comma == std::string_view::npos) break;
        row.remove_prefix(comma + 1);
    }
    const std::string_view first = out.Fields[0];
    int value = 0;
    const auto [end, error] = std::from_chars(first.data(), first.data() + first.size(), value);
    out.FirstYear = error == std::errc() && end == first.data() + first.size() ? value : 0;
    return out;
}

std::string EraTextOfRow(const EraRow& row, int Year) {
    std::string text;
    text.reserve(96);
    text += '[';
    text += row.Fields[3];
    text += ']';
    text += row.Fields[4];
    text += ' ';
    text += row.Fields[5];
    text += ' ';
    text += row.Fields[6];
    if (Year == row.FirstYear) text += "元";
    else text += std::to_string(Year - row.FirstYear + 1);
    text += "年";
    return text;
}

template <class RowAt> std::string EraTextFrom(int Year, RowAt rowAt) {
    if (Year >= EraEndYear || Year < FirstEraYear) return {};
    for (std::size_t i = 0; i + 1 < EraTable.size(); ++i) {
        const EraRow row = rowAt(i);
        const int end = rowAt(i + 1).FirstYear;
        if (row.FirstYear <= Year && Year < end) return EraTextOfRow(row, Year);
    }
    return {};
}

// Every era text, parsed from the table once: index Year - FirstEraYear.
const std::vector<std::string>& EraTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<EraRow> rows;
        rows.reserve(EraTable.size());
        for (std::string_view row : EraTable) rows.push_back(ParseRow(row));
        std::vector<std::string> all;
        all.reserve(EraEndYear - FirstEraYear);
        for (int year = FirstEraYear; year < EraEndYear; ++year)
            all.push_back(EraTextFrom(year, [&](std::size_t i) -> const EraRow& { return rows[i]; }));
        return all;
    }();
    return texts;
}

} // namespace

std::string EraText(int Year) {
    if (Year >= EraEndYear || Year < FirstEraYear) return {};
    return EraTexts()[static_cast<std::size_t>(Year - FirstEraYear)];
}

namespace uncached {
std::string EraText(int Year) {
    return EraTextFrom(Year, [](std::size_t i) { return ParseRow(EraTable[i]); });
}
} // namespace uncached

// ---- The lunar day record --------------------------------------------------------

std::string_view CnMonthName(int Month, bool IsLeap) noexcept {
    static constexpr std::string_view Ordinary[13] = {
        "", "正月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "冬月", "腊月"};
    // A leap month is 闰 and the month's name without 月; the eleventh and twelfth
    // are written with numerals, as calendars print them (闰十一, not 闰冬).
    static constexpr std::string_view Leap[13] = {
        "", "闰正", "闰二", "闰三", "闰四", "闰五", "闰六", "闰七", "闰八", "闰九", "闰十", "闰十一", "闰十二"};
    if (Month < 1 || Month > 12) return {};
    return IsLeap ? Leap[Month] : Ordinary[Month];
}

void TChnCal::SetDate(double Date) {
    FDateTime = Date;
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(Date, y, m, d)) return;
    bool isLeap = false;
    int lDay = 0, lMonth = 0, lYear = 0;
    if (!SolarToLunar(y, m, d, isLeap, lDay, lMonth, lYear)) return;

    // Every text describes the date itself. The ones that depend only on the
    // lunar year or month are kept when that did not change since the last fill.
    if (lYear != FCnYearNo || FCnYear.empty()) {
        FCnYear = std::to_string(lYear);
        FAnimal = AnimalName(YearAnimal(lYear));
        FEraText = EraText(lYear);
    }
    FCnYearNo = lYear;
    FYearGanZhi = GanZhiName(DateYearGanZhi(y, m, d));

    const int monthNo = isLeap ? -lMonth : lMonth;
    if (monthNo != FCnMonthNo || FCnMonth.empty()) FCnMonth = CnMonthName(lMonth, isLeap);
    FCnMonthNo = monthNo;
    FMonthGanZhi = GanZhiName(MonthGanZhi(y, m, d));

    FCnDay = CnDayName(lDay);
    FDayGanZhi = GanZhiName(DayGanZhi(y, m, d));
    FConstellation = ConstellationName(Constellation(m, d));
    FHoliday = HolidayOfDate(d, Date);
    FCnHolDay = CnHolidayOfDate(lMonth, lDay, Date);
    FSolarTerm = SolarTermOfDay(y, m, d);
}

} // namespace lunar
