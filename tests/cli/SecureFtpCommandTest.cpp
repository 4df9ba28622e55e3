// `vellix ftp --secure` run as its own process against real SFTP servers.

#include "CliRun.h"
#include "NamesAndLinks.h"
#include "servers/ServerModes.h"
#include "servers/SftpSuite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

class SecureFtpCommandTest : public SftpServerSuite
{
protected:
    void SetUp() override
    {
        SftpServerSuite::SetUp();
        if (m_server && server().rootPath().isEmpty())
            GTEST_SKIP() << "needs the server's folder";
    }

    QStringList login() const
    {
        return {u"ftp"_s,    u"--site"_s,     server().site(),
                u"--user"_s, server().user(), u"--secure"_s};
    }

    // Runs a script that starts in the server's home folder; line 1 goes there.
    CliRun script(const QStringList &lines)
    {
        return runVellix(login(), server().password(),
                         u"cd \""_s + server().homeDir() + u"\"\n"_s + lines.join(u'\n'));
    }
};

// The secure library lists the names and times, writes the local files and finds the failures
// itself: the same rules hold. The commands themselves are the plain suite's; this one walks them
// over the secure channel.
TEST_P(SecureFtpCommandTest, ListsNamesAndTimesReplacesLinksAndTellsWhatTheLibraryFound)
{
    NamesAndLinks::layOutServerNames(server().rootPath());
    const NamesAndLinks::LocalLinks links(server().rootPath(), tempPath());
    const CliRun listing = script({u"ls"_s});
    EXPECT_EQ(listing.exitCode, 0) << listing.err.toStdString();
    // Only the first login names the server's new host key.
    EXPECT_TRUE(listing.err.startsWith(u"vellix: New host key of "_s)) << listing.err.toStdString();
    EXPECT_TRUE(listing.err.contains(u" SHA256:"_s)) << listing.err.toStdString();
    EXPECT_EQ(listing.err.count(u'\n'), 1) << listing.err.toStdString();
    QStringList names = NamesAndLinks::expectedNames() << u"a.txt|3"_s << u"b.txt|5"_s;
    names.sort();
    EXPECT_EQ(NamesAndLinks::listedNames(listing.out), names);

    const CliRun run = script(links.script());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    links.expectReplaced();

    const QString file = writeFile(server().rootPath() + u"/summer.txt"_s, "12345");
    const qint64 july = QDateTime(QDate(2007, 7, 15), QTime(8, 30), Qt::UTC).toSecsSinceEpoch();
    QFile touched(file);
    ASSERT_TRUE(touched.open(QIODevice::ReadOnly));
    ASSERT_TRUE(touched.setFileTime(QDateTime::fromSecsSinceEpoch(july, Qt::UTC),
                                    QFileDevice::FileModificationTime));
    // The size of exactly that file: a look-alike name has none.
    const CliRun sizes = script({u"size summer.txt"_s, u"size summer?txt"_s});
    EXPECT_EQ(sizes.exitCode, 1);
    EXPECT_EQ(sizes.out, u"5\n"_s) << sizes.err.toStdString();

    // Seconds since 1970 in every zone, which reaches vellix through its environment.
    for (const char *zone : {"UTC", "Europe/Berlin", "America/New_York"}) {
        setEnvironment("TZ", zone);
        const CliRun summer = script({u"ls summer.txt"_s});
        EXPECT_EQ(summer.exitCode, 0) << zone << ": " << summer.err.toStdString();
        EXPECT_EQ(summer.out, u"summer.txt|5|%1|-\n"_s.arg(july)) << zone;
    }

    // A failed get says what the secure library found, not a guess, naming the command once, and
    // writes nothing.
    const QDir local(tempPath(u"local"_s));
    ASSERT_TRUE(local.mkpath(u"."_s));
    const CliRun failed = script({u"get \"no such file\" \"%1\""_s.arg(local.filePath(u"got"_s))});
    EXPECT_EQ(failed.exitCode, 1) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.startsWith(u"vellix: line 2: get: no such file: "_s))
        << failed.err.toStdString();
    EXPECT_FALSE(failed.err.contains(u"the server has no such file, or it is empty"_s))
        << failed.err.toStdString();
    EXPECT_TRUE(local.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

INSTANTIATE_TEST_SUITE_P(Servers, SecureFtpCommandTest, testing::ValuesIn(SftpTestServer::kinds()),
                         sftpKindParameterName);
