#include "date_args.h"

#include "date_time.h"

namespace lunar_cli {

namespace {

// Reads 1 to MaxDigits decimal digits from text at pos.
bool ReadNumber(std::string_view text, std::size_t& pos, int maxDigits, int& value) {
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && pos - start < static_cast<std::size_t>(maxDigits) && text[pos] >= '0' &&
           text[pos] <= '9')
        value = value * 10 + (text[pos++] - '0');
    return pos > start;
}

} // namespace

std::optional<Date> ParseDate(std::string_view text, bool withDay, std::string& error) {
    const char* form = withDay ? "YYYY-MM-DD" : "YYYY-MM";
    Date date;
    std::size_t pos = 0;
    bool ok = ReadNumber(text, pos, 4, date.Year) && pos < text.size() && text[pos++] == '-' &&
              ReadNumber(text, pos, 2, date.Month);
    if (ok && withDay) ok = pos < text.size() && text[pos++] == '-' && ReadNumber(text, pos, 2, date.Day);
    if (!ok || pos != text.size()) {
        error = "“" + std::string(text) + "”不是 " + form + " 形式的日期";
        return std::nullopt;
    }
    if (date.Year < FirstYear || date.Year > LastYear) {
        error = "年份 " + std::to_string(date.Year) + " 超出范围，只支持 1 至 2100 年";
        return std::nullopt;
    }
    if (date.Month < 1 || date.Month > 12) {
        error = "“" + std::string(text) + "”的月份不存在";
        return std::nullopt;
    }
    double unused = 0;
    if (withDay && !lunar::EncodeDate(date.Year, date.Month, date.Day, unused)) {
        error = "“" + std::string(text) + "”这一天不存在";
        return std::nullopt;
    }
    return date;
}

} // namespace lunar_cli
