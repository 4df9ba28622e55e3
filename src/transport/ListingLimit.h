#pragma once

#include <QString>

// How many entries one folder listing may hold, on every channel. A listing is read into
// memory whole, as the windows and the catalogue read its records; a folder that holds more
// is not listed at all, rather than listed in part or without end.
namespace ListingLimit {

inline constexpr int MaxEntries = 1'000'000;

// Why such a folder is not listed.
inline QString tooManyEntriesText()
{
    return QStringLiteral("The folder holds more than 1,000,000 entries, more than a listing "
                          "may hold.");
}

} // namespace ListingLimit
