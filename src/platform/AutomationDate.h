#pragma once

#include <QDateTime>

#include <optional>

// The automation date the control keeps its dates in: a count of days since 30 December 1899,
// 00:00, whose fraction is the time of day. Before that day the count is negative while the
// fraction still counts forward from midnight (-1.25 is 29 December 1899, 06:00).
namespace Platform::AutomationDate {

// 1 January 1970, the start of Unix time.
inline constexpr double UnixEpoch = 25569.0;

// The date of the date-time's wall clock as seen in local time (converted to local time
// first); 0 for an invalid date-time.
double fromDateTime(const QDateTime &dateTime);

// The local date-time of an automation date, to the nearest millisecond; invalid for a value
// that is not a number or lies outside the years 100 to 9999.
QDateTime toLocalDateTime(double date);

// A date and a time of day as a local date-time's wall clock shows them.
struct WallClock
{
    QDate date;
    QTime time;
};
// The wall clock an automation date reads as, to the nearest millisecond, with no time zone to
// look up; nothing for a value toLocalDateTime finds invalid.
std::optional<WallClock> wallClock(double date);
// The automation date of a wall clock's date and time of day.
double fromWallClock(const WallClock &clock);

} // namespace Platform::AutomationDate
