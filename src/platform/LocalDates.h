#pragma once

#include <QDateTime>

#include <optional>

namespace Platform {

// Turns many UTC date-times into local automation dates, as AutomationDate::fromDateTime
// does, with the time zone read once, as the object is made, rather than for every date: a
// listing converts as many dates as it has entries.
class LocalDates
{
public:
    LocalDates();

    double fromDateTime(const QDateTime &dateTime) const;
    // The way back: the seconds since 1970 UTC of a local automation date, rounded to the
    // nearest, as QDateTime gives them: an hour that comes twice reads as its first time;
    // nothing for a wall-clock time the start of summer time skipped, or outside the
    // automation date's range.
    std::optional<qint64> toSeconds(double date) const;
};

} // namespace Platform
