#pragma once
// Command-line dates of dorvel-lunar: "YYYY-MM-DD" or "YYYY-MM", years 1..2100.

#include <optional>
#include <string>
#include <string_view>

namespace lunar_cli {

inline constexpr int FirstYear = 1;
inline constexpr int LastYear = 2100;

struct Date {
    int Year = 0, Month = 0, Day = 0;
};

// "YYYY-MM" (withDay false) or "YYYY-MM-DD"; a one-digit month or day is fine.
// Gives an error text when the input is no such date or lies outside the years.
std::optional<Date> ParseDate(std::string_view text, bool withDay, std::string& error);

} // namespace lunar_cli
