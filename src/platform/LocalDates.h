#pragma once

#include <QDateTime>

namespace Platform {

// Turns many UTC date-times into local automation dates, as AutomationDate::fromDateTime
// does, with the time zone read once, as the object is made, rather than for every date: a
// listing converts as many dates as it has entries.
class LocalDates
{
public:
    LocalDates();

    double fromDateTime(const QDateTime &dateTime) const;
};

} // namespace Platform
