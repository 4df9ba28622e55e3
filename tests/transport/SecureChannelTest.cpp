// The secure channel's listing parser and time conversion, the command texts
// of the secure forms and the names around web pages: everything that needs no server.

#include "support/VellixTest.h"

#include "platform/AutomationDate.h"
#include "transport/CSFtp.h"
#include "transport/PageNames.h"
#include "transport/SecureCommand.h"
#include "transport/cDirList.h"

#include <cctype>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr double Hour = 1.0 / 24.0;

// Runs a test in a fixed local time zone, restoring the zone afterwards.
class LocalZone
{
public:
    explicit LocalZone(const char *zone)
        : m_hadZone(qEnvironmentVariableIsSet("TZ"))
        , m_savedZone(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_hadZone)
            qputenv("TZ", m_savedZone);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_hadZone;
    QByteArray m_savedZone;
};

struct ListedEntry
{
    QString name;
    qint32 size;
    bool folder;
    double date;
};

struct ListingCase
{
    const char *title;
    QString reply;
    QList<ListedEntry> entries;
};

void PrintTo(const ListingCase &listing, std::ostream *out)
{
    *out << listing.title;
}

} // namespace

using SecureChannelTest = VellixTest;

class SecureListingTest
    : public VellixTest
    , public testing::WithParamInterface<ListingCase>
{
};

TEST_P(SecureListingTest, GivesTheEntriesUpToTheFirstMalformedLine)
{
    const LocalZone berlin("Europe/Berlin"); // standard offset +1 h, summer +2 h
    cDirList list;
    list.Add(0x80, 0, 0, 0, 1, u"left over.txt"_s);

    CSFtp::ParseSecureListing(GetParam().reply, list);

    ASSERT_EQ(list.Count(), GetParam().entries.size());
    int position = 1;
    for (const ListedEntry &expected : GetParam().entries) {
        const cDirItem *item = list.Item(position++);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Filename, expected.name);
        EXPECT_EQ(item->FileSize, expected.size);
        EXPECT_EQ(item->Directory, expected.folder);
        EXPECT_EQ(item->Normal, !expected.folder);
        EXPECT_DOUBLE_EQ(item->LastWriteTime, expected.date);
        EXPECT_DOUBLE_EQ(item->CreationTime, expected.date);
        EXPECT_DOUBLE_EQ(item->LastAccessTime, expected.date);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SecureListingTest,
    testing::Values(
        ListingCase{
            "one file", u"a.txt|12|0|-rw-r--r--\r\n"_s, {{u"a.txt"_s, 12, false, 25569 + Hour}}},
        ListingCase{"dots skipped, folder",
                    u".|0|0|drwxr-xr-x\r\n..|0|0|drwxr-xr-x\r\ndocs|0|0|drwxr-xr-x\r\n"_s,
                    {{u"docs"_s, 0, true, 25569 + Hour}}},
        ListingCase{"three fields end the walk",
                    u"a.txt|12|0|-rw-r--r--\r\nb.txt|3|0\r\nc.txt|1|0|-rw-r--r--\r\n"_s,
                    {{u"a.txt"_s, 12, false, 25569 + Hour}}},
        ListingCase{"size not a number", u"x|abc|0|-rw\r\ny|1|0|-rw\r\n"_s, {}},
        ListingCase{"time not a number",
                    u"a|1|0|-rw\r\nb|1|soon|-rw\r\nc|1|0|-rw"_s,
                    {{u"a"_s, 1, false, 25569 + Hour}}},
        ListingCase{"number at the start of the size",
                    u"a|12 bytes|86400|-rw"_s,
                    {{u"a"_s, 12, false, 25570 + Hour}}},
        ListingCase{"summer time is not applied",
                    u"july|1|15638400|-rw"_s,
                    {{u"july"_s, 1, false, 25569 + 181 + Hour}}},
        ListingCase{"low 32 bits of a size",
                    u"big.iso|5000000000|0|-rw"_s,
                    {{u"big.iso"_s, 705032704, false, 25569 + Hour}}},
        ListingCase{"a name holding a bar",
                    u"a|b.txt|5|0|-rw\r\n"_s,
                    {{u"a|b.txt"_s, 5, false, 25569 + Hour}}},
        ListingCase{"cut at the first NUL",
                    u"a|1|0|-rw\r\n"_s + QChar(0) + u"b|2|0|-rw"_s,
                    {{u"a"_s, 1, false, 25569 + Hour}}},
        ListingCase{"empty reply", QString(), {}}),
    [](const testing::TestParamInfo<ListingCase> &info) {
        std::string name = info.param.title;
        for (char &c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(SecureChannelTest, UnixTimeToLocalUsesTheStandardOffsetOnly)
{
    {
        const LocalZone newYork("America/New_York");
        EXPECT_DOUBLE_EQ(CSFtp::UnixTimeToLocal(0), 25569 - 5 * Hour);
        EXPECT_DOUBLE_EQ(CSFtp::UnixTimeToLocal(15638400), 25569 + 181 - 5 * Hour);
    }
    const LocalZone utc("UTC");
    EXPECT_DOUBLE_EQ(CSFtp::UnixTimeToLocal(-86400), 25568);
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
        {u"a|b.txt|5|0|-rw"_s, 5}, // read as the listing parser reads it
        {QString(), -1},
        {nul + u"a|3|0|-"_s, -1},
        {u"a.txt|none|0|-rw"_s, 0},
        {u"no such file"_s, 0},
        {u"big|5000000000|0|-rw"_s, 705032704},
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
    EXPECT_FALSE(PageNames::staysBehind(u"pic.gif"_s));
    EXPECT_EQ(PageNames::uploadFolderName(u"C:\\web\\it's a b_files"_s), u"its_a_b_files"_s);
    EXPECT_EQ(PageNames::serverFolder(u"/my site/it's a.htm"_s), u"/my_site/it's_a_files"_s);
    EXPECT_EQ(PageNames::serverParent(u"/x/y/a.htm"_s), u"/x/y"_s);
    EXPECT_EQ(PageNames::serverParent(u"/a.htm"_s), QString());
    EXPECT_EQ(PageNames::serverParent(u"a.htm"_s), u"a.htm"_s);
}
