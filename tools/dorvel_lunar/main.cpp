// dorvel-lunar: the lunar calendar in a terminal.
//
//   dorvel-lunar                   today's card
//   dorvel-lunar 2024-02-10        the card of a day
//   dorvel-lunar --month 2024-02   a month as a grid, weeks starting on Sunday
//   dorvel-lunar --tsv FROM TO     one tab-separated line per day, with a header
//
// Dates are YYYY-MM-DD of the Gregorian calendar (proleptic before 1582), years
// 1..2100. Bad input gets one line on standard error and exit status 2.

#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chn_calendar_use.h"
#include "date_args.h"
#include "date_time.h"
#include "lunar_core.h"

namespace {

constexpr int ExitBadInput = 2;
using lunar_cli::Date;
using lunar_cli::FirstYear;
using lunar_cli::LastYear;
using lunar_cli::ParseDate;

int Fail(const std::string& message) {
    std::fprintf(stderr, "dorvel-lunar: %s\n", message.c_str());
    return ExitBadInput;
}

double DateTimeOf(const Date& d) {
    double dt = 0;
    lunar::EncodeDate(d.Year, d.Month, d.Day, dt);
    return dt;
}

Date Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

struct LunarNumbers {
    int Year = 0, Month = 0, Day = 0; // Month negative for a leap month
};

LunarNumbers LunarOf(const Date& d) {
    bool leap = false;
    LunarNumbers out;
    if (lunar::SolarToLunar(d.Year, d.Month, d.Day, leap, out.Day, out.Month, out.Year) && leap)
        out.Month = -out.Month;
    return out;
}

// Terminal columns of a UTF-8 text: CJK characters take two.
int Columns(std::string_view text) {
    int columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        columns += length >= 3 ? 2 : 1;
        i += length;
    }
    return columns;
}

std::string Centered(std::string_view text, int width) {
    const int pad = width - Columns(text);
    if (pad <= 0) return std::string(text);
    return std::string(static_cast<std::size_t>(pad / 2), ' ') + std::string(text) +
           std::string(static_cast<std::size_t>(pad - pad / 2), ' ');
}

std::string TrimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// ---- The card of one day ---------------------------------------------------------

int PrintCard(const Date& date) {
    static constexpr const char* Weekdays[8] = {"", "星期日", "星期一", "星期二", "星期三",
                                                "星期四", "星期五", "星期六"};
    const double dt = DateTimeOf(date);
    lunar::TChnCal cal;
    cal.SetDate(dt);
    const LunarNumbers lunar = LunarOf(date);

    std::string out;
    out += "公历：" + std::to_string(date.Year) + "年" + std::to_string(date.Month) + "月" +
           std::to_string(date.Day) + "日 " + Weekdays[lunar::DayOfWeek(dt)] + "\n";
    if (lunar.Day < 1)
        out += "农历：无（1582年10月5日至14日在改历时删去，这一天并不存在）\n";
    else
        out += "农历：" + cal.FCnYear + "年" + cal.FCnMonth + (lunar.Month < 0 ? "月" : "") + cal.FCnDay + "\n";
    out += "干支：" + cal.FYearGanZhi + "年 " + cal.FMonthGanZhi + "月 " + cal.FDayGanZhi + "日\n";
    out += "生肖：" + cal.FAnimal + "\n";
    out += "星座：" + cal.FConstellation + "座\n";
    if (!cal.FSolarTerm.empty()) out += "节气：" + cal.FSolarTerm + "\n";
    std::string festivals = cal.FHoliday;
    if (!cal.FCnHolDay.empty()) festivals += (festivals.empty() ? "" : "、") + cal.FCnHolDay;
    if (!festivals.empty()) out += "节日：" + festivals + "\n";
    if (!cal.FEraText.empty()) out += "纪年：" + cal.FEraText + "\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

// ---- A month as a grid -----------------------------------------------------------

// What a day cell shows, in rising precedence: the lunar day (the month's name on
// its first day), the Gregorian festival, the solar term, the lunar festival.
std::string CellText(const lunar::TChnCal& cal) {
    std::string text = cal.FCnDay == "初一" ? cal.FCnMonth : cal.FCnDay;
    if (!cal.FHoliday.empty()) text = cal.FHoliday;
    if (!cal.FSolarTerm.empty()) text = cal.FSolarTerm;
    if (!cal.FCnHolDay.empty()) text = cal.FCnHolDay;
    return text;
}

int PrintMonth(const Date& month) {
    constexpr int CellWidth = 8;
    static constexpr const char* WeekHeader[7] = {"日", "一", "二", "三", "四", "五", "六"};
    const Date first{month.Year, month.Month, 1};
    const double firstDt = DateTimeOf(first);
    // Month length in the proleptic Gregorian calendar of the date-time values
    // (February 1500 has 28 days there).
    int length = 28;
    double probe = 0;
    while (length < 31 && lunar::EncodeDate(month.Year, month.Month, length + 1, probe)) ++length;

    lunar::TChnCal cal;
    std::string out;
    const std::string title = std::to_string(month.Year) + "年" + std::to_string(month.Month) + "月";
    out += TrimmedRight(Centered(title, CellWidth * 7)) + "\n";
    std::string header;
    for (const char* name : WeekHeader) header += Centered(name, CellWidth);
    out += TrimmedRight(header) + "\n";

    const int lead = lunar::DayOfWeek(firstDt) - 1; // empty cells before day 1
    std::string numbers, texts;
    for (int i = 0; i < lead; ++i) {
        numbers += std::string(CellWidth, ' ');
        texts += std::string(CellWidth, ' ');
    }
    for (int day = 1; day <= length; ++day) {
        cal.SetDate(firstDt + (day - 1));
        numbers += Centered(std::to_string(day), CellWidth);
        texts += Centered(CellText(cal), CellWidth);
        if ((lead + day) % 7 == 0 || day == length) {
            out += TrimmedRight(numbers) + "\n" + TrimmedRight(texts) + "\n";
            numbers.clear();
            texts.clear();
        }
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

// ---- Tab-separated lines ---------------------------------------------------------

void AppendField(std::string& line, std::string_view field) {
    line += field;
    line += '\t';
}

int PrintTsv(const Date& from, const Date& to) {
    std::vector<char> buffer(1 << 20);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    std::fputs("date\tlyear\tlmonth\tlday\tcnmonth\tcnday\tterm\tholiday\tcnholiday\tyeargz\tmonthgz\t"
               "daygz\tanimal\tconstellation\tera\n",
               stdout);
    const double last = DateTimeOf(to);
    std::string line;
    line.reserve(256);
    char date[16];
    for (double dt = DateTimeOf(from); dt <= last; dt += 1) {
        Date d;
        lunar::DecodeDate(dt, d.Year, d.Month, d.Day);
        lunar::TChnCal cal; // fresh for every line: no line depends on the ones before
        cal.SetDate(dt);
        const LunarNumbers lunar = LunarOf(d);
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
        line.clear();
        AppendField(line, date);
        AppendField(line, std::to_string(lunar.Year));
        AppendField(line, std::to_string(lunar.Month));
        AppendField(line, std::to_string(lunar.Day));
        AppendField(line, cal.FCnMonth);
        AppendField(line, cal.FCnDay);
        AppendField(line, cal.FSolarTerm);
        AppendField(line, cal.FHoliday);
        AppendField(line, cal.FCnHolDay);
        AppendField(line, cal.FYearGanZhi);
        AppendField(line, cal.FMonthGanZhi);
        AppendField(line, cal.FDayGanZhi);
        AppendField(line, cal.FAnimal);
        AppendField(line, cal.FConstellation);
        line += cal.FEraText;
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (std::fflush(stdout) != 0) return Fail("写出结果失败");
    return 0;
}

void PrintUsage(std::FILE* to) {
    std::fputs("用法：dorvel-lunar [YYYY-MM-DD]\n"
               "      dorvel-lunar --month YYYY-MM\n"
               "      dorvel-lunar --tsv FROM TO\n"
               "不带参数时显示今天；年份为 1 至 2100。\n",
               to);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string error;
    if (args.empty()) return PrintCard(Today());
    if (args[0] == "-h" || args[0] == "--help") {
        if (args.size() != 1) return Fail("--help 不带参数");
        PrintUsage(stdout);
        return 0;
    }
    if (args[0] == "--month") {
        if (args.size() != 2) return Fail("--month 需要一个 YYYY-MM 形式的月份");
        const auto month = ParseDate(args[1], false, error);
        return month ? PrintMonth(*month) : Fail(error);
    }
    if (args[0] == "--tsv") {
        if (args.size() != 3) return Fail("--tsv 需要起止两个 YYYY-MM-DD 形式的日期");
        const auto from = ParseDate(args[1], true, error);
        if (!from) return Fail(error);
        const auto to = ParseDate(args[2], true, error);
        if (!to) return Fail(error);
        if (DateTimeOf(*from) > DateTimeOf(*to))
            return Fail("起始日期 " + std::string(args[1]) + " 晚于结束日期 " + std::string(args[2]));
        return PrintTsv(*from, *to);
    }
    if (args[0].size() > 1 && args[0][0] == '-' && (args[0][1] < '0' || args[0][1] > '9'))
        return Fail("未知选项“" + std::string(args[0]) + "”，用 --help 查看用法");
    if (args.size() != 1) return Fail("只能给出一个日期，用 --help 查看用法");
    const auto date = ParseDate(args[0], true, error);
    return date ? PrintCard(*date) : Fail(error);
}
