// The secure channel's listing parser and time conversion, the command texts
// of the secure forms and the names around web pages: everything that needs no server.

#include "support/VellixTest.h"

#include "transport/CSFtp.h"
#include "transport/PageNames.h"
#include "transport/SecureCommand.h"
#include "transport/cDirList.h"

#include <cmath>
#include <ctime>
#include <iomanip>

using namespace Qt::StringLiterals;

namespace {

constexpr double Hour = 1.0 / 24.0;

struct ListedEntry
{
    QString name;
    qint32 size;
    bool folder;
    double date;

    bool operator==(const ListedEntry &other) const
    {
        return name == other.name && size == other.size && folder == other.folder &&
               std::abs(date - other.date) < 1e-9;
    }
};

void PrintTo(const ListedEntry &entry, std::ostream *out)
{
    *out << entry.name.toStdString() << " " << entry.size << (entry.folder ? " folder " : " file ")
         << std::setprecision(12) << entry.date;
}

} // namespace

using SecureChannelTest = VellixTest;

TEST_F(SecureChannelTest, AListingGivesTheEntriesUpToTheFirstMalformedLine)
{
    // In a fixed local time zone: Berlin's standard offset is +1 h, its summer one +2 h.
    setEnvironment("TZ", "Europe/Berlin");
    tzset();
    // The Unix epoch in Berlin's standard time.
    const double epoch = 25569 + Hour;
    const struct
    {
        const char *title;
        QString reply;
        QList<ListedEntry> entries;
    } cases[] = {
        {"one file", u"a.txt|12|0|-rw-r--r--\r\n"_s, {{u"a.txt"_s, 12, false, epoch}}},
        {"dots skipped, folder",
         u".|0|0|drwxr-xr-x\r\n..|0|0|drwxr-xr-x\r\ndocs|0|0|drwxr-xr-x\r\n"_s,
         {{u"docs"_s, 0, true, epoch}}},
        {"three fields end the walk",
         u"a.txt|12|0|-rw-r--r--\r\nb.txt|3|0\r\nc.txt|1|0|-rw-r--r--\r\n"_s,
         {{u"a.txt"_s, 12, false, epoch}}},
        {"size not a number", u"x|abc|0|-rw\r\ny|1|0|-rw\r\n"_s, {}},
        {"time not a number",
         u"a|1|0|-rw\r\nb|1|soon|-rw\r\nc|1|0|-rw"_s,
         {{u"a"_s, 1, false, epoch}}},
        {"number at the start of the size",
         u"a|12 bytes|86400|-rw"_s,
         {{u"a"_s, 12, false, epoch + 1}}},
        {"summer time is not applied",
         u"july|1|15638400|-rw"_s,
         {{u"july"_s, 1, false, epoch + 181}}},
        {"before 1970", u"old|1|-86400|-rw"_s, {{u"old"_s, 1, false, epoch - 1}}},
        {"low 32 bits of a size",
         u"big.iso|5000000000|0|-rw"_s,
         {{u"big.iso"_s, 705032704, false, epoch}}},
        {"a name holding a bar", u"a|b.txt|5|0|-rw\r\n"_s, {{u"a|b.txt"_s, 5, false, epoch}}},
        {"cut at the first NUL",
         u"a|1|0|-rw\r\n"_s + QChar(0) + u"b|2|0|-rw"_s,
         {{u"a"_s, 1, false, epoch}}},
        {"empty reply", QString(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        cDirList list;
        list.Add(0x80, 0, 0, 0, 1, u"left over.txt"_s);
        CSFtp::ParseSecureListing(c.reply, list);
        QList<ListedEntry> entries;
        for (const cDirItem &item : list) {
            EXPECT_EQ(item.Normal, !item.Directory);
            EXPECT_EQ(item.CreationTime, item.LastWriteTime);
            EXPECT_EQ(item.LastAccessTime, item.LastWriteTime);
            entries.append({item.Filename, item.FileSize, item.Directory, item.LastWriteTime});
        }
        EXPECT_EQ(entries, c.entries);
    }
}

TEST(SecureCommandTest, ReadsFoldersAndSizesFromReplies)
{
    const QString nul(QChar(0));
    EXPECT_EQ(SecureCommand::folderFromPwdReply(u"Remote directory: /home/t/web"_s + nul + u"/x"_s),
              u"/home/t/web"_s);
    EXPECT_EQ(SecureCommand::folderFromPwdReply(u"/"_s), u"/"_s);
    EXPECT_EQ(SecureCommand::folderFromPwdReply(u"not connected"_s), QString());

    const struct
    {
        QString reply;
        qint32 size;
    } sizes[] = {
        {u"a.txt|12|0|-rw-r--r--"_s, 12},
        {u"a.txt|12|0|-rw-r--r--\r\nb.txt|7|0|-rw"_s, 12},
        {QString(), -1},
        {nul + u"a|3|0|-"_s, -1},
        {u"no such file"_s, 0},
    };
    for (const auto &[reply, size] : sizes)
        EXPECT_EQ(SecureCommand::sizeFromDirReply(reply), size) << reply.toStdString();
}

TEST(PageNamesTest, NamesTheCompanionFolder)
{
    EXPECT_TRUE(PageNames::isPage(u"C:\\web\\page.HTM"_s));
    EXPECT_FALSE(PageNames::isPage(u"C:\\web\\page.html"_s));
    EXPECT_FALSE(PageNames::isPage(u"C:\\web.htm\\page"_s));
    EXPECT_FALSE(PageNames::isPage(u"htm"_s));
    EXPECT_TRUE(PageNames::isSecurePage(u"/a/B.HTM"_s));
    EXPECT_FALSE(PageNames::isSecurePage(u"/a/b.html"_s));

    EXPECT_EQ(PageNames::localFolder(u"C:\\v1.2\\a b.htm"_s), u"C:\\v1.2\\a b_files"_s);
    EXPECT_EQ(PageNames::localFolderName(u"C:\\v1.2\\a b.htm"_s), u"a b_files"_s);
    EXPECT_EQ(PageNames::localFolderName(u"/home/a.b/c d.htm"_s), u"c d_files"_s);
    EXPECT_EQ(PageNames::downloadFolderName(u"/my site/it's a.htm"_s), u"it's_a_files"_s);
    EXPECT_TRUE(PageNames::staysBehind(u"Thumbs.DB"_s));
    EXPECT_EQ(PageNames::uploadFolderName(u"C:\\web\\it's a b_files"_s), u"its_a_b_files"_s);
    EXPECT_EQ(PageNames::serverFolder(u"/my site/it's a.htm"_s), u"/my_site/it's_a_files"_s);
    EXPECT_EQ(PageNames::serverParent(u"/x/y/a.htm"_s), u"/x/y"_s);
    EXPECT_EQ(PageNames::serverParent(u"/a.htm"_s), QString());
    EXPECT_EQ(PageNames::serverParent(u"a.htm"_s), u"a.htm"_s);
}
