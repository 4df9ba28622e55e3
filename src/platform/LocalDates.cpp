#include "platform/LocalDates.h"

#include "platform/AutomationDate.h"

#include <algorithm>
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

} // namespace Platform
