#include "platform/AutomationDate.h"

#include <cmath>

namespace Platform::AutomationDate {

namespace {

constexpr qint64 MSecsPerDay = 86'400'000;
// 1 January 100 and 31 December 9999, the range the automation date covers.
constexpr double FirstDay = -657'434.0;
constexpr double LastDay = 2'958'465.0;

QDate dayZero()
{
    return QDate(1899, 12, 30);
}

} // namespace

double fromDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    return fromWallClock({local.date(), local.time()});
}

double fromWallClock(const WallClock &clock)
{
    const double days = double(dayZero().daysTo(clock.date));
    const double timeOfDay = double(clock.time.msecsSinceStartOfDay()) / MSecsPerDay;
    return days >= 0 ? days + timeOfDay : days - timeOfDay;
}

QDateTime toLocalDateTime(double date)
{
    const std::optional<WallClock> clock = wallClock(date);
    return clock ? QDateTime(clock->date, clock->time) : QDateTime();
}

std::optional<WallClock> wallClock(double date)
{
    if (!std::isfinite(date) || date <= FirstDay - 1 || date >= LastDay + 1)
        return std::nullopt;
    qint64 days = qint64(std::trunc(date));
    qint64 msecs = std::llround(std::fabs(date - double(days)) * MSecsPerDay);
    if (msecs >= MSecsPerDay) { // rounded up to the next midnight
        msecs -= MSecsPerDay;
        ++days;
    }
    return WallClock{dayZero().addDays(days), QTime::fromMSecsSinceStartOfDay(int(msecs))};
}

} // namespace Platform::AutomationDate
