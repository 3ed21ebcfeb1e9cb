#pragma once
// The date-time value: days since 1899-12-30 00:00 as a double, the fraction being
// the time of day. Decoded with the proleptic Gregorian calendar.

namespace lunar {

// Splits a date-time into year, month and day (time of day dropped). False for
// values outside years 1..9999; outputs untouched then.
bool DecodeDate(double dateTime, int& year, int& month, int& day) noexcept;

// The date-time of 00:00 on the given proleptic Gregorian date; false for a date
// that does not exist or lies outside years 1..9999 (out untouched).
bool EncodeDate(int year, int month, int day, double& out) noexcept;

// Day of week of a date-time, 1 = Sunday .. 7 = Saturday; 0 when DecodeDate would fail.
int DayOfWeek(double dateTime) noexcept;

} // namespace lunar
