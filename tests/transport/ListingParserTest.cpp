#include "support/VellixTest.h"

#include "transport/ListingParser.h"
#include "transport/NameCodec.h"

#include <limits>

using namespace Qt::StringLiterals;
using Ftp::Entry;
using Ftp::ListingParser;

inline void PrintTo(const QDateTime &when, std::ostream *out)
{
    *out << when.toUTC().toString(Qt::ISODateWithMs).toStdString();
}

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

// The moment the vsftpd and pyftpdlib lines below were taken from the servers.
const QDateTime ListedAt = utc(2026, 12, 5, 22, 48, 9);

enum Kind { File, Folder, Link };

struct Case
{
    QByteArray line;
    const char *name; // UTF-8
    qint64 size;
    QDateTime modified;
    Kind kind = File;
};

void expectEntry(const std::optional<Entry> &entry, const Case &want)
{
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(
        std::tuple(entry->name, entry->size, entry->modified, entry->isDirectory, entry->isSymlink),
        std::tuple(QString::fromUtf8(want.name), want.size, want.modified, want.kind == Folder,
                   want.kind == Link));
}

} // namespace

TEST_F(VellixTest, ListingParserReadsUnixAndDosLinesOfRealServers)
{
    const QDateTime lately = utc(2026, 12, 5, 22, 48);
    const QDateTime index = utc(2026, 11, 14, 10, 22);
    const QDateTime iis = utc(2006, 11, 14, 10, 22);
    const Case cases[] = {
        // vsftpd
        {"-rw-r--r--    1 0        0               2 Dec 05 22:48   lead.txt", "  lead.txt", 2,
         lately},
        {"-rw-r--r--    1 0        0               2 Dec 05 22:48 a -> b.txt", "a -> b.txt", 2,
         lately},
        {"lrwxrwxrwx    1 0        0               9 Dec 05 22:48 link -> plain.txt", "link", 9,
         lately, Link},
        // ProFTPD
        {"drwxr-xr-x   2 ftp      ftp          4096 Jan  7  2007 January_2007", "January_2007",
         4096, utc(2007, 1, 7), Folder},
        // no group
        {"-rw-r--r--   1 teacher        12 Nov 14 10:22 notes.txt", "notes.txt", 12, index},
        // owner named like a month
        {"-rw-r--r--   1 Nov      May            12 Nov 14 10:22 Nov 14 10:22 x", "Nov 14 10:22 x",
         12, index},
        // ACL mark
        {"-rw-r--r--+  1 ftp ftp 12 Nov 14 10:22 acl.txt", "acl.txt", 12, index},
        // blanks inside
        {"-rw-r--r--   1 ftp ftp 12 Nov 14 10:22 week  2 (final) .pdf", "week  2 (final) .pdf", 12,
         index},
        // link with arrow in target
        {"lrwxrwxrwx 1 ftp ftp 9 Nov 14 10:22 old -> a -> b", "old", 9, index, Link},
        // tab separated
        {"-rw-r--r--\t1\tftp\tftp\t12\tNov\t14\t10:22\ttabbed.txt", "tabbed.txt", 12, index},
        // largest size, month in capitals
        {"-rw-r--r-- 1 ftp ftp 9223372036854775807 NOV 14 10:22 huge.bin", "huge.bin",
         std::numeric_limits<qint64>::max(), index},
        // month in small letters
        {"-rw-r--r-- 1 ftp ftp 12 nov 14 10:22 small.txt", "small.txt", 12, index},
        // CR LF kept by caller
        {"-rw-r--r-- 1 ftp ftp 12 Nov 14 10:22 crlf.txt\r\n", "crlf.txt", 12, index},
        // IIS
        {"11-14-06  10:22AM       <DIR>          January_2007", "January_2007", 0, iis, Folder},
        {"11-14-2006  12:05PM                   12 index.htm", "index.htm", 12,
         utc(2006, 11, 14, 12, 5)},
        {"11-14-06  12:05AM                   12 night.htm", "night.htm", 12,
         utc(2006, 11, 14, 0, 5)},
        {"11-14-06  01:30PM           5000000000 big.bin", "big.bin", 5'000'000'000,
         utc(2006, 11, 14, 13, 30)},
        // IIS 24 hours
        {"05-27-11  09:31       <DIR>          3", "3", 0, utc(2011, 5, 27, 9, 31), Folder},
        {"05-27-2011  21:31                  689 iisstart.htm", "iisstart.htm", 689,
         utc(2011, 5, 27, 21, 31)},
        // IIS
        {"11-14-06  10:22AM                   12  lead.txt", " lead.txt", 12, iis},
        {"11-14-06  10:22PM       <DIR>            two blanks", "  two blanks", 0,
         utc(2006, 11, 14, 22, 22), Folder},
        // narrow <DIR> column
        {"11-14-06  10:22PM <DIR> narrow", "narrow", 0, utc(2006, 11, 14, 22, 22), Folder},
        // IIS
        {"01-01-70  12:00AM                    1 caf\xe9.htm", "café.htm", 1, utc(1970, 1, 1)},
        {"12-31-69  11:59PM                    1 future.htm", "future.htm", 1,
         utc(2069, 12, 31, 23, 59)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        expectEntry(ListingParser::parseListLine(c.line, ListedAt), c);
    }
}

TEST_F(VellixTest, ListingParserGivesYearlessDatesTheLatestYearNoLaterThanADayAhead)
{
    const struct
    {
        const char *date;
        QDateTime now;
        QDateTime modified;
    } cases[] = {
        {"Dec 31 23:59", utc(2027, 1, 1, 0, 10), utc(2026, 12, 31, 23, 59)},
        {"Jan 01 00:05", utc(2027, 1, 1, 0, 10), utc(2027, 1, 1, 0, 5)},
        // The server's clock runs up to a day ahead of ours.
        {"Jan 01 00:05", utc(2026, 12, 31, 23, 0), utc(2027, 1, 1, 0, 5)},
        {"Dec 06 22:47", utc(2026, 12, 5, 22, 48), utc(2026, 12, 6, 22, 47)},
        {"Dec 06 22:49", utc(2026, 12, 5, 22, 48), utc(2025, 12, 6, 22, 49)},
        {"Jun 30 12:00", utc(2026, 12, 5), utc(2026, 6, 30, 12, 0)},
        {"Feb 29 10:00", utc(2025, 3, 1), utc(2024, 2, 29, 10, 0)},
        {"Feb 29 10:00", utc(2024, 3, 1), utc(2024, 2, 29, 10, 0)},
    };
    for (const auto &c : cases) {
        const QByteArray line = QByteArray("-rw-r--r-- 1 ftp ftp 12 ") + c.date + " x.htm";
        SCOPED_TRACE(line.toStdString() + " listed " + c.now.toString(Qt::ISODate).toStdString());
        const auto entry = ListingParser::parseListLine(line, c.now);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->modified, c.modified);
    }
}

TEST_F(VellixTest, ListingParserReadsMlsdLines)
{
    const QDateTime lately = utc(2026, 12, 5, 22, 48, 8);
    const QDateTime index = utc(2006, 11, 14, 10, 22, 33);
    const Case cases[] = {
        // pyftpdlib
        {"modify=20261205224808;perm=r;size=2;type=file;unique=fe00ga7605f;   lead.txt",
         "  lead.txt", 2, lately},
        {"modify=20261205224808;perm=r;size=5000000000;type=file;unique=fe00ga76076; big.bin",
         "big.bin", 5'000'000'000, lately},
        // ProFTPD
        {"modify=20061114102233;perm=adfr;size=12;type=file;unique=FD00U1A2C;UNIX.group=1000;"
         "UNIX.mode=0644;UNIX.owner=1000; index.htm",
         "index.htm", 12, index},
        {"modify=20070107090000;perm=flcdmpe;type=dir;unique=FD00U1A2D;UNIX.group=1000;"
         "UNIX.mode=0755;UNIX.owner=1000; January_2007",
         "January_2007", 0, utc(2007, 1, 7, 9, 0), Folder},
        {"modify=20061114102233;perm=adfr;size=9;type=OS.unix=symlink;unique=FD00U1A2E;"
         "UNIX.mode=0777; link",
         "link", 9, index, Link},
        // IIS
        {"type=dir;modify=20070107090000.5; January_2007", "January_2007", 0,
         utc(2007, 1, 7, 9, 0, 0, 500), Folder},
        // long fraction
        {"type=file;modify=20061114102233.1234567;size=1; f", "f", 1,
         utc(2006, 11, 14, 10, 22, 33, 123)},
        // RFC 3659
        {"Type=OS.unix=slink:/foo;Modify=19990929003355;Size=7; link2", "link2", 7,
         utc(1999, 9, 29, 0, 33, 55), Link},
        // upper-case facts
        {"TYPE=FILE;SIZE=12;MODIFY=20061114102233; UPPER.HTM", "UPPER.HTM", 12, index},
        // no time
        {"type=file;size=12; no time.txt", "no time.txt", 12, {}},
        // unreadable time and size
        {"type=file;size=12k;modify=2006111410; odd.txt", "odd.txt", 0, {}},
        // no type
        {"size=12;modify=20061114102233; plain", "plain", 12, index},
        // no facts
        {" bare.txt", "bare.txt", 0, {}},
        // semicolon in name
        {"type=file;size=12;modify=20061114102233; a;b c.txt", "a;b c.txt", 12, index},
        // CR LF kept by caller
        {"type=file;size=1; crlf.txt\r\n", "crlf.txt", 1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        expectEntry(ListingParser::parseMlsdLine(c.line), c);
    }
}

TEST_F(VellixTest, ListingParserGivesNothingForLinesWithoutAnEntry)
{
    const QByteArray listLines[] = {
        "",
        "   ",
        "total 12",
        ".:",
        "drwxr-xr-x    3 0        0            4096 Dec 05 22:48 .",
        "drwxr-xr-x    4 0        0            4096 Dec 05 22:48 ..",
        "crw-rw-rw-   1 root     root       1,   3 Nov 14 10:22 null",
        "brw-rw----   1 root     disk       8,   0 Nov 14 10:22 sda",
        "prw-r--r--   1 ftp      ftp            0 Nov 14 10:22 fifo",
        "srwxr-xr-x   1 ftp      ftp            0 Nov 14 10:22 socket",
        "-rw-r--r--   1 ftp      ftp           12 Nov 14 10:22",
        "-rw-r--r--   1 ftp      ftp           12 Nov 14 10:22 ",
        "-rw-r--r--   1 ftp      ftp           12 Foo 14 10:22 x",
        "-rw-r--r--   1 ftp      ftp           12 Feb 30 10:22 x",
        "-rw-r--r--   1 ftp      ftp           12 Nov 14 25:22 x",
        "-rw-r--r--   1 ftp      ftp           12 Nov 14 10:2 x",
        "-rw-r--r--   1 ftp      ftp          12k Nov 14 10:22 x",
        "-rw-r--r--   1 ftp      ftp 99999999999999999999 Nov 14 10:22 x",
        "-rw-r--r--   1 ftp      ftp 9223372036854775808 Nov 14 10:22 x",
        "-rwzr--r--   1 ftp      ftp           12 Nov 14 10:22 x",
        "550 No files found.",
        "11-14-06  10:22XM                   12 x",
        "13-14-06  10:22AM                   12 x",
        "11-14-06  13:22PM                   12 x",
        "11-14-06  00:22AM                   12 x",
        "11-14-106  10:22AM                  12 x",
        "11-14-06  10:22AM                   12",
        "11-14-06  10:22AM                  -12 x",
        "11-14-06  10:22AM       <DIR>          .",
    };
    for (const QByteArray &line : listLines) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_FALSE(ListingParser::parseListLine(line, ListedAt).has_value());
    }

    const QByteArray mlsdLines[] = {
        "",
        "type=file;size=12;",
        "type=file;size=12; ",
        "modify=20061114102233;perm=flcdmpe;type=cdir;unique=FD00U1A2D; /DV/Course",
        "modify=20061114102233;perm=flcdmpe;type=pdir;unique=FD00U1A2E; ..",
        "type=dir; .",
        "type=OS.unix=chr-13/29; tty",
        "type=file;size=12 missing-semicolon.txt",
        "garbage; x",
        "-rw-r--r-- 1 ftp ftp 12 Nov 14 10:22 x",
    };
    for (const QByteArray &line : mlsdLines) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_FALSE(ListingParser::parseMlsdLine(line).has_value());
    }
}

TEST_F(VellixTest, ListingParserSplitsAWholeReplyAndDropsDotEntries)
{
    const auto names = [](const QList<Entry> &entries) {
        QStringList result;
        for (const Entry &entry : entries)
            result.append(entry.name);
        return result;
    };

    // vsftpd's answer to LIST -a, lines ending in CR LF.
    const QByteArray list = "total 20\r\n"
                            "-rw-r--r--    1 0        0               2 Dec 05 22:48   lead.txt\r\n"
                            "drwxr-xr-x    3 0        0            4096 Dec 05 22:48 .\r\n"
                            "drwxr-xr-x    4 0        0            4096 Dec 05 22:48 ..\r\n"
                            "drwxr-xr-x    2 0        0            4096 Dec 05 22:48 my folder\r\n"
                            "\r\n"
                            "-rw-r--r--    1 0        0              12 Nov 14  2006 plain.txt\r\n";
    EXPECT_EQ(names(ListingParser::parse(list, ListingParser::Format::List, ListedAt)),
              QStringList({u"  lead.txt"_s, u"my folder"_s, u"plain.txt"_s}));

    // Bare LF, and a last line without an end.
    const QByteArray mlsd = "type=cdir;modify=20061114102233; .\n"
                            "type=pdir;modify=20061114102233; ..\n"
                            "type=file;size=1; b.htm\n"
                            "type=file;size=2; a.htm";
    const QList<Entry> entries = ListingParser::parse(mlsd, ListingParser::Format::Mlsd, ListedAt);
    EXPECT_EQ(names(entries), QStringList({u"b.htm"_s, u"a.htm"_s}));
    EXPECT_EQ(entries.value(1).size, 2);

    EXPECT_TRUE(ListingParser::parse({}, ListingParser::Format::List, ListedAt).isEmpty());
    EXPECT_TRUE(ListingParser::parse("\r\n\r\n", ListingParser::Format::Mlsd, ListedAt).isEmpty());
}

TEST_F(VellixTest, ListingParserReadsPermissionBits)
{
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"-rw-r-----", 0640},  {"drwxr-x--x+", 0751}, {"-rwsr-sr-t", 07755},
        {"-rwSr-S--T", 07640}, {"-rw-r--r", {}},      {"-rw-r--r-x!", {}},
    };
    for (const auto &[column, mode] : cases) {
        SCOPED_TRACE(column);
        EXPECT_EQ(Ftp::ListingParser::parseUnixMode(column), mode);
    }
}

TEST_F(VellixTest, NameCodecReadsUtf8ElseWindows1252)
{
    const struct
    {
        QByteArray bytes;
        QString name;
    } cases[] = {
        {"index.htm", u"index.htm"_s},
        {"caf\xc3\xa9.htm", u"café.htm"_s},
        {"\xe2\x82\xac 5.txt", u"€ 5.txt"_s},
        {"\xf0\x9f\x93\x9a.pdf", u"📚.pdf"_s},
        {"\x80 5.txt", u"€ 5.txt"_s},
        {"\x93quoted\x94", u"“quoted”"_s},
        // One invalid byte makes the whole name Windows-1252, so the valid part reads as such.
        {"\xc3\xa9\xe9", u"Ã©é"_s},
        {"\xc0\xaf", u"À¯"_s},                     // overlong '/'
        {"\xed\xa0\x80", u"í\u00a0€"_s},           // an encoded surrogate
        {"\xef\xbb\xbfx", QChar(0xFEFF) + u"x"_s}, // a byte order mark stays
        {"", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(Ftp::NameCodec::decode(c.bytes), c.name);
    }
    for (const QString &name : {u"café.htm"_s, u"📚 € ü.pdf"_s, u"a b"_s})
        EXPECT_EQ(Ftp::NameCodec::decode(Ftp::NameCodec::encode(name)), name);
    EXPECT_EQ(Ftp::NameCodec::encode(u"é"_s), QByteArray("\xc3\xa9"));
    // Each line of a reply on its own.
    EXPECT_EQ(Ftp::NameCodec::decodeLines("caf\xc3\xa9|1\r\ncaf\xe9|2\r\n\xe2\x82\xac"),
              u"café|1\r\ncafé|2\r\n€"_s);
}
