// The LIST and MLSD listing parser. Any listing, read in either format, gives only entries with
// a name of their own and a sound size, kind and time; and any name, written at the end of a
// line of each server form, reads back whole with the line's size, time and kind.

#include "FuzzInput.h"

#include "transport/ListingParser.h"
#include "transport/NameCodec.h"

#include <algorithm>

using Ftp::Entry;
using Ftp::ListingParser;
using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

const QDateTime ListedAt = utc(2026, 12, 5, 22, 48, 9);

void checkEntries(const QList<Entry> &entries, QByteArrayView listing)
{
    FUZZ_CHECK(entries.size() <= listing.count('\n') + 1, entries.size());
    for (const Entry &entry : entries) {
        const QString &name = entry.name;
        FUZZ_CHECK(!name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/'),
                   name);
        FUZZ_CHECK(entry.size >= 0, entry.size);
        FUZZ_CHECK(!(entry.isDirectory && entry.isSymlink), name);
        FUZZ_CHECK(!entry.modified.isValid() || entry.modified.timeSpec() == Qt::UTC,
                   entry.modified);
    }
}

// A line of one server form up to its name, and the entry it gives.
struct Form
{
    ListingParser::Format format;
    QByteArrayView beforeName;
    qint64 size;
    QDateTime modified;
    bool isDirectory;
};

const Form Forms[] = {
    {ListingParser::Format::Mlsd, "type=file;size=5000000012;modify=20061114102233; ",
     5'000'000'012, utc(2006, 11, 14, 10, 22, 33), false},
    {ListingParser::Format::Mlsd, "modify=20070107090000;type=dir; ", 0, utc(2007, 1, 7, 9), true},
    {ListingParser::Format::List, "-rw-r--r--   1 ftp      ftp    5000000012 Nov 14 10:22 ",
     5'000'000'012, utc(2026, 11, 14, 10, 22), false},
    {ListingParser::Format::List, "drwxr-xr-x    2 0        0            4096 Jan  7  2007 ", 4096,
     utc(2007, 1, 7), true},
    {ListingParser::Format::List, "11-14-2006  12:05PM           5000000012 ", 5'000'000'012,
     utc(2006, 11, 14, 12, 5), false},
    {ListingParser::Format::List, "11-14-06  10:22PM       <DIR>          ", 0,
     utc(2006, 11, 14, 22, 22), true},
};

// Names hold neither a line break nor a folder separator; "." and ".." name no entry. Nor are
// they blanks only: Windows, whose servers write the DOS form, allows no such name, and the
// DOS reader wants a word after the size.
void checkNameReadsBack(QByteArrayView nameBytes)
{
    const QString name = Ftp::NameCodec::decode(nameBytes);
    const bool blanksOnly = std::all_of(nameBytes.begin(), nameBytes.end(),
                                        [](char c) { return c == ' ' || c == '\t'; });
    if (blanksOnly || name == u"."_s || name == u".."_s || nameBytes.contains('\n') ||
        nameBytes.contains('\r') || nameBytes.contains('/'))
        return;
    for (const Form &form : Forms) {
        const QByteArray line = form.beforeName.toByteArray().append(nameBytes);
        const QList<Entry> entries = ListingParser::parse(line, form.format, ListedAt);
        FUZZ_CHECK(entries.size() == 1 && entries.first().name == name &&
                       entries.first().size == form.size &&
                       entries.first().modified == form.modified &&
                       entries.first().isDirectory == form.isDirectory,
                   line, " gives ", entries.isEmpty() ? QString() : entries.first().name);
    }
}

} // namespace

FUZZ_TARGET(input)
{
    checkEntries(ListingParser::parse(input, ListingParser::Format::List, ListedAt), input);
    checkEntries(ListingParser::parse(input, ListingParser::Format::Mlsd, ListedAt), input);
    checkNameReadsBack(input);
}
