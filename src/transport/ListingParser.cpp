#include "transport/ListingParser.h"

#include "transport/ListingStream.h"
#include "transport/NameCodec.h"

#include <QList>
#include <QVarLengthArray>

#include <algorithm>
#include <limits>
#include <string_view>

namespace Ftp {

namespace {

// A run of non-blank bytes of a line and where it ends, so that the name after the last
// column can be cut from the line as it stands, blanks inside and before it included.
struct Column
{
    QByteArrayView text;
    qsizetype end; // offset just past the column
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A line of ls has nine columns, a longer name a few more: they fit without a heap allocation.
using Columns = QVarLengthArray<Column, 16>;

Columns columnsOf(QByteArrayView line)
{
    Columns columns;
    qsizetype at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const qsizetype begin = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > begin)
            columns.append({line.sliced(begin, at - begin), at});
    }
    return columns;
}

qsizetype blanksAt(QByteArrayView line, qsizetype from)
{
    qsizetype at = from;
    while (at < line.size() && isBlank(line[at]))
        ++at;
    return at - from;
}

QByteArrayView withoutLineEnd(QByteArrayView line)
{
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    return line;
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit);
}

// Digits only, and nothing beyond the largest qint64. Read here: every line has several
// numbers, and the locale-aware conversion of QByteArrayView costs more than the rest of it.
std::optional<qint64> sizeIn(QByteArrayView text)
{
    if (!isDigits(text))
        return std::nullopt;
    constexpr qint64 Largest = std::numeric_limits<qint64>::max();
    qint64 size = 0;
    for (const char c : text) {
        const int digit = c - '0';
        if (size > (Largest - digit) / 10)
            return std::nullopt;
        size = size * 10 + digit;
    }
    return size;
}

std::optional<int> numberIn(QByteArrayView text, int lowest, int highest)
{
    if (text.size() > 4)
        return std::nullopt;
    const auto number = sizeIn(text);
    return number && *number >= lowest && *number <= highest ? std::optional(int(*number))
                                                             : std::nullopt;
}

bool sameLetters(QByteArrayView text, const char *letters)
{
    return text.compare(QByteArrayView(letters), Qt::CaseInsensitive) == 0;
}

// The entry with its name: decoded, without folder part. Nothing for an empty name and for
// "." and "..", which name the folder itself and its parent.
std::optional<Entry> named(Entry entry, QByteArrayView nameBytes)
{
    const QByteArrayView bytes = nameBytes.sliced(nameBytes.lastIndexOf('/') + 1);
    entry.name = NameCodec::decode(bytes);
    if (!NameCodec::isUtf8(bytes))
        entry.rawName = bytes.toByteArray();
    if (entry.name.isEmpty() || entry.name == QLatin1String(".") ||
        entry.name == QLatin1String(".."))
        return std::nullopt;
    return entry;
}

// "10:22" or "9:05".
std::optional<QTime> clockTime(QByteArrayView text)
{
    const qsizetype colon = text.indexOf(':');
    if (colon < 1 || colon > 2 || text.size() - colon - 1 != 2)
        return std::nullopt;
    const auto hour = numberIn(text.first(colon), 0, 23);
    const auto minute = numberIn(text.sliced(colon + 1), 0, 59);
    if (!hour || !minute)
        return std::nullopt;
    return QTime(*hour, *minute);
}

// --- MLSD --------------------------------------------------------------------------------

enum class MlsdKind { File, Directory, Symlink, None };

MlsdKind mlsdKindOf(QByteArrayView type)
{
    if (sameLetters(type, "file"))
        return MlsdKind::File;
    if (sameLetters(type, "dir"))
        return MlsdKind::Directory;
    const QByteArray lower = type.toByteArray().toLower();
    if (lower.startsWith("os.unix=slink") || lower.startsWith("os.unix=symlink"))
        return MlsdKind::Symlink;
    return MlsdKind::None; // cdir, pdir, devices and kinds we cannot transfer
}

// "YYYYMMDDHHMMSS" with an optional fraction of a second (".sss", any number of digits).
std::optional<QDateTime> mlsdTime(QByteArrayView text)
{
    if (text.size() < 14 || !isDigits(text.first(14)))
        return std::nullopt;
    int msecs = 0;
    if (const QByteArrayView fraction = text.sliced(14); !fraction.isEmpty()) {
        if (fraction.front() != '.' || !isDigits(fraction.sliced(1)))
            return std::nullopt;
        const QByteArrayView digits = fraction.sliced(1);
        for (qsizetype i = 0; i < 3; ++i) // milliseconds: the first three digits
            msecs = msecs * 10 + (i < digits.size() ? digits[i] - '0' : 0);
    }
    const auto field = [&](qsizetype from, qsizetype length) {
        return text.sliced(from, length).toInt();
    };
    const QDate date(field(0, 4), field(4, 2), field(6, 2));
    const QTime time(field(8, 2), field(10, 2), field(12, 2), msecs);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// --- LIST, Unix form -------------------------------------------------------------------------

// "-rw-r--r--", possibly followed by '+', '.' or '@' for extended attributes.
bool isUnixMode(QByteArrayView text)
{
    if (text.size() < 10 || text.size() > 11)
        return false;
    const QByteArrayView permissionLetters("rwxsStTlL-");
    const QByteArrayView permissions = text.sliced(1, 9);
    if (!std::all_of(permissions.begin(), permissions.end(),
                     [&](char c) { return permissionLetters.contains(c); }))
        return false;
    return text.size() == 10 || QByteArrayView("+.@").contains(text[10]);
}

int monthIn(QByteArrayView text)
{
    // Every line has one: its three letters, in lower case, are looked up in one string.
    static constexpr std::string_view Months = "janfebmaraprmayjunjulaugsepoctnovdec";
    if (text.size() != 3)
        return 0;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    const char letters[3] = {lower(text[0]), lower(text[1]), lower(text[2])};
    for (std::size_t month = 0; month < Months.size() / 3; ++month) {
        if (Months.substr(month * 3, 3) == std::string_view(letters, 3))
            return int(month) + 1;
    }
    return 0;
}

// A date that ls shows without a year lies within the last half year, or a little ahead when
// the server's clock runs ahead: the latest year that puts it no later than a day from now.
std::optional<QDateTime> recentDate(int month, int day, QTime time, const QDateTime &nowUtc)
{
    const QDateTime latest = nowUtc.addDays(1);
    const int thisYear = nowUtc.date().year();
    // Searching eight years back finds the last 29 February even across a century.
    for (int year = thisYear + 1; year >= thisYear - 8; --year) {
        const QDate date(year, month, day);
        if (!date.isValid())
            continue;
        const QDateTime when(date, time, Qt::UTC);
        if (when <= latest)
            return when;
    }
    return std::nullopt;
}

// "Nov 14 10:22" or "Nov 14 2006".
std::optional<QDateTime> unixDate(QByteArrayView monthText, QByteArrayView dayText,
                                  QByteArrayView yearOrTime, const QDateTime &nowUtc)
{
    const int month = monthIn(monthText);
    const auto day = numberIn(dayText, 1, 31);
    if (month == 0 || !day)
        return std::nullopt;
    if (const auto time = clockTime(yearOrTime))
        return recentDate(month, *day, *time, nowUtc);
    const auto year = yearOrTime.size() == 4 ? numberIn(yearOrTime, 1, 9999) : std::nullopt;
    const QDate date = year ? QDate(*year, month, *day) : QDate();
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(0, 0), Qt::UTC);
}

std::optional<Entry> unixEntry(QByteArrayView line, const QDateTime &nowUtc)
{
    const Columns columns = columnsOf(line);
    if (columns.isEmpty() || !isUnixMode(columns[0].text))
        return std::nullopt;
    const char kind = columns[0].text.front();
    if (kind != '-' && kind != 'd' && kind != 'l')
        return std::nullopt; // devices, pipes and sockets hold nothing to transfer

    // Link count, owner and group may each be missing, and owners may be any text: the size
    // is the number right before the first column that starts a date.
    for (qsizetype i = 2; i + 2 < columns.size(); ++i) {
        const auto size = sizeIn(columns[i - 1].text);
        if (!size)
            continue;
        const auto modified =
            unixDate(columns[i].text, columns[i + 1].text, columns[i + 2].text, nowUtc);
        if (!modified)
            continue;
        const qsizetype nameStart = columns[i + 2].end + 1;
        if (nameStart >= line.size())
            return std::nullopt;
        QByteArrayView name = line.sliced(nameStart);
        if (kind == 'l') {
            if (const qsizetype arrow = name.indexOf(" -> "); arrow >= 0)
                name = name.first(arrow);
        }
        Entry entry;
        entry.size = *size;
        entry.modified = *modified;
        entry.isDirectory = kind == 'd';
        entry.isSymlink = kind == 'l';
        return named(std::move(entry), name);
    }
    return std::nullopt;
}

// --- LIST, DOS/IIS form -----------------------------------------------------------------------

// IIS writes "<DIR>" in a column as wide as the sizes: the name starts this many bytes on.
constexpr qsizetype DirColumnPadding = 10;

// "11-14-06" or "11-14-2006".
std::optional<QDate> dosDate(QByteArrayView text)
{
    const qsizetype first = text.indexOf('-');
    const qsizetype second = first < 0 ? -1 : text.indexOf('-', first + 1);
    if (second < 0)
        return std::nullopt;
    const auto month = numberIn(text.first(first), 1, 12);
    const auto day = numberIn(text.sliced(first + 1, second - first - 1), 1, 31);
    const QByteArrayView yearText = text.sliced(second + 1);
    auto year = numberIn(yearText, 0, 9999);
    if (!month || !day || !year || (yearText.size() != 2 && yearText.size() != 4))
        return std::nullopt;
    if (yearText.size() == 2)
        *year += *year < 70 ? 2000 : 1900;
    const QDate date(*year, *month, *day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// "10:22AM", "12:05PM" or "22:05".
std::optional<QTime> dosTime(QByteArrayView text)
{
    const bool morning = text.size() > 2 && sameLetters(text.last(2), "AM");
    const bool afternoon = text.size() > 2 && sameLetters(text.last(2), "PM");
    if (!morning && !afternoon)
        return clockTime(text);
    const auto time = clockTime(text.chopped(2));
    if (!time || time->hour() < 1 || time->hour() > 12)
        return std::nullopt;
    // 12 AM is the hour after midnight, 12 PM the hour after noon.
    const int hour = time->hour() % 12 + (afternoon ? 12 : 0);
    return QTime(hour, time->minute());
}

std::optional<Entry> dosEntry(QByteArrayView line)
{
    const Columns columns = columnsOf(line);
    if (columns.size() < 4)
        return std::nullopt;
    const auto date = dosDate(columns[0].text);
    const auto time = dosTime(columns[1].text);
    if (!date || !time)
        return std::nullopt;

    Entry entry;
    entry.modified = QDateTime(*date, *time, Qt::UTC);
    const Column &sizeOrDir = columns[2];
    qsizetype nameStart = sizeOrDir.end + 1;
    if (sameLetters(sizeOrDir.text, "<DIR>")) {
        entry.isDirectory = true;
        const qsizetype blanks = blanksAt(line, sizeOrDir.end);
        nameStart = sizeOrDir.end + (blanks >= DirColumnPadding ? DirColumnPadding : blanks);
    } else {
        const auto size = sizeIn(sizeOrDir.text);
        if (!size)
            return std::nullopt;
        entry.size = *size;
    }
    if (nameStart >= line.size())
        return std::nullopt;
    return named(std::move(entry), line.sliced(nameStart));
}

} // namespace

std::optional<Entry> ListingParser::parseMlsdLine(QByteArrayView line)
{
    line = withoutLineEnd(line);
    // Facts end at the first blank; the name is everything after that one blank.
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return std::nullopt;
    QByteArrayView facts = line.first(blank);
    if (!facts.isEmpty() && !facts.endsWith(';'))
        return std::nullopt; // not a list of facts

    Entry entry;
    MlsdKind kind = MlsdKind::File; // the type fact is optional
    while (!facts.isEmpty()) {
        const qsizetype end = facts.indexOf(';');
        const QByteArrayView fact = facts.first(end);
        facts = facts.sliced(end + 1);
        const qsizetype equals = fact.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArrayView name = fact.first(equals);
        const QByteArrayView value = fact.sliced(equals + 1);
        // A fact we cannot read is passed over as if the server had not sent it.
        if (sameLetters(name, "type")) {
            kind = mlsdKindOf(value);
        } else if (sameLetters(name, "size")) {
            entry.size = sizeIn(value).value_or(0);
        } else if (sameLetters(name, "modify")) {
            entry.modified = mlsdTime(value).value_or(QDateTime());
        }
    }
    if (kind == MlsdKind::None)
        return std::nullopt;
    entry.isDirectory = kind == MlsdKind::Directory;
    entry.isSymlink = kind == MlsdKind::Symlink;
    return named(std::move(entry), line.sliced(blank + 1));
}

std::optional<QDateTime> ListingParser::parseTimeValue(QByteArrayView text)
{
    return mlsdTime(text);
}

std::optional<Entry> ListingParser::parseListLine(QByteArrayView line, const QDateTime &nowUtc)
{
    line = withoutLineEnd(line);
    if (line.isEmpty())
        return std::nullopt;
    if (isDigit(line.front()))
        return dosEntry(line);
    const QDateTime now = nowUtc.isValid() ? nowUtc.toUTC() : QDateTime::currentDateTimeUtc();
    return unixEntry(line, now);
}

QList<Entry> ListingParser::parse(QByteArrayView reply, Format format, const QDateTime &nowUtc)
{
    QList<Entry> entries;
    ListingStream stream(format, nowUtc, [&entries](Entry &&entry) {
        entries.append(std::move(entry));
        return true;
    });
    stream.feed(reply);
    stream.finish();
    return entries;
}

std::optional<int> ListingParser::parseUnixMode(QByteArrayView line)
{
    const Columns columns = columnsOf(line);
    if (columns.isEmpty() || !isUnixMode(columns[0].text))
        return std::nullopt;
    const QByteArrayView column = columns[0].text;
    int mode = 0;
    // Owner, group and others: read, write, and execute with its special bit.
    for (int who = 0; who < 3; ++who) {
        const QByteArrayView letters = column.sliced(1 + 3 * who, 3);
        const int shift = 6 - 3 * who;
        if (letters[0] == 'r')
            mode |= 04 << shift;
        if (letters[1] == 'w')
            mode |= 02 << shift;
        if (QByteArrayView("xst").contains(letters[2]))
            mode |= 01 << shift;
        if (QByteArrayView("sStT").contains(letters[2]))
            mode |= 04000 >> who;
    }
    return mode;
}

} // namespace Ftp
