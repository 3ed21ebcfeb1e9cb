#include "clock.h"

namespace platform {

namespace {
QDateTime& pinned()
{
    static QDateTime t;
    return t;
}
} // namespace

QDateTime Now()
{
    return pinned().isValid() ? pinned() : QDateTime::currentDateTime();
}

void SetNowForTesting(const QDateTime& now)
{
    pinned() = now;
}

double ToDateTimeValue(const QDateTime& t)
{
    static const QDate epoch(1899, 12, 30);
    const QTime time = t.time();
    return double(epoch.daysTo(t.date())) + time.msecsSinceStartOfDay() / 86400000.0;
}

} // namespace platform
