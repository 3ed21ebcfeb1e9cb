#pragma once
// "Now" comes from one place so tests can start the program on any day.

#include <QDateTime>

namespace platform {

// The current local date and time, or the time set for tests.
QDateTime Now();

// Pins Now() to the given moment; an invalid QDateTime returns to the real clock.
void SetNowForTesting(const QDateTime& now);

// The description's date-time value: days since 1899-12-30 00:00, the fraction the time of day.
double ToDateTimeValue(const QDateTime& t);

} // namespace platform
