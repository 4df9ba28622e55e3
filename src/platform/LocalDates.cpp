#include "platform/LocalDates.h"

#include "platform/AutomationDate.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace Platform {

LocalDates::LocalDates()
{
    // The one reading of the zone; localtime_r reads it no more.
    tzset();
}

double LocalDates::fromDateTime(const QDateTime &dateTime) const
{
    if (!dateTime.isValid() || dateTime.timeSpec() != Qt::UTC)
        return AutomationDate::fromDateTime(dateTime);
    const qint64 msecs = dateTime.toMSecsSinceEpoch();
    // Whole seconds rounded down, so that the milliseconds count forward also before 1970.
    const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
    const time_t utc = time_t(seconds);
    tm local{};
    if (!localtime_r(&utc, &local))
        return AutomationDate::fromDateTime(dateTime);
    const QTime time =
        QTime(local.tm_hour, local.tm_min, local.tm_sec).addMSecs(int(msecs - seconds * 1000));
    if (!time.isValid()) // a leap second
        return AutomationDate::fromDateTime(dateTime);
    return AutomationDate::fromWallClock(
        {QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday), time});
}

std::optional<qint64> LocalDates::toSeconds(double date) const
{
    const std::optional<AutomationDate::WallClock> clock = AutomationDate::wallClock(date);
    if (!clock)
        return std::nullopt;
    const QDateTime wall(clock->date, clock->time, Qt::UTC);
    // Whole seconds, so that the zone is looked up at the second the wall clock names.
    const qint64 wallSeconds = std::llround(double(wall.toMSecsSinceEpoch()) / 1000.0);
    const auto offsetAt = [](qint64 seconds) -> qint64 {
        const time_t when = time_t(seconds);
        tm local{};
        return localtime_r(&when, &local) ? local.tm_gmtoff : 0;
    };
    // The zone's offsets a day before and after the wall clock: the one that holds at the
    // instant it gives is the answer, the larger (earlier instant) first where both hold.
    constexpr qint64 Day = 86'400;
    const qint64 before = offsetAt(wallSeconds - Day);
    const qint64 after = offsetAt(wallSeconds + Day);
    for (const qint64 offset : {std::max(before, after), std::min(before, after)}) {
        if (offsetAt(wallSeconds - offset) == offset)
            return wallSeconds - offset;
    }
    return std::nullopt;
}

} // namespace Platform
