// "vellix refresh-archive" against real FTP servers on loopback.

#include "CliRun.h"
#include "servers/ServerModes.h"
#include "support/ConfigTest.h"

#include "course/ConfigStore.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

// A course "smith" with an archive "spring" of two months on a server of the test's.
class RefreshArchiveSite : public ConfigTest
{
protected:
    void layOutSite()
    {
        registerHostProduct();
        writeFile(server->rootPath() + u"/DV/smith/spring/November_2006/week 1.pdf"_s, "pdf");
        writeFile(server->rootPath() + u"/DV/smith/spring/December_2006/notes.txt"_s, "txt");
        writeIni("[smith]\r\nstartMonth=11\r\nstartYear=2006\r\nendMonth=12\r\nendYear=2006\r\n"
                 "school=Hill\r\ndept=bio\r\ntName=Smith\r\n");
    }

    static CliRun refresh(const QString &rdir = u"/DV/smith/spring/November_2006"_s)
    {
        return runVellix({u"refresh-archive"_s, rdir}, std::nullopt);
    }

    void storeLogin(const QString &site)
    {
        ASSERT_TRUE(WriteLoginData(u"smith"_s, site, server->user(), server->password(), false));
    }

    QByteArray onServer(const QString &path) const { return readFile(server->rootPath() + path); }

    std::unique_ptr<FtpTestServer> server;
};

class RefreshArchiveTest
    : public RefreshArchiveSite
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        RefreshArchiveSite::SetUp();
        server = startOrSkip(GetParam().kind, ServerAccess::LocalFolder);
        if (!server)
            return;
        layOutSite();
    }
};

// What keeps the catalogue from being rebuilt is told and changes nothing; then it is rebuilt.
TEST_P(RefreshArchiveTest, SaysWhyItCouldNotThenRebuildsTheCatalogue)
{
    const QString month = u"/DV/smith/spring/November_2006"_s;
    const struct
    {
        QString site; // empty: no login stored
        QString rdir;
        QString error;
        bool registered = true; // the host product, whose folder takes the local copies
    } cases[] = {
        {{}, month, u"holds no login data"_s},
        {u"127.0.0.1:%1"_s.arg(FtpTestServer::unusedPort()), month, u"12029"_s},
        {u"site"_s, u"/DV"_s, u"names no archive month folder"_s},
        {u"site"_s, u"/DV/smith/autumn/May_2007"_s, u"cannot enter the month folder"_s},
        {u"site"_s, month, u"Dovrelle is not registered"_s, false},
    };
    // Whatever vellix writes on its own goes where the shell stands.
    const QString shellFolder = tempPath(u"shell"_s);
    ASSERT_TRUE(QDir().mkpath(shellFolder));
    const QString testFolder = QDir::currentPath();
    QDir::setCurrent(shellFolder);
    const auto backHome = qScopeGuard([&] { QDir::setCurrent(testFolder); });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        if (!c.site.isEmpty())
            storeLogin(c.site == u"site"_s ? server->site() : c.site);
        if (!c.registered)
            QFile::remove(Platform::Registry::defaultPath());
        const CliRun run = refresh(c.rdir);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(c.error)) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
    }
    EXPECT_EQ(runVellix({u"refresh-archive"_s}, std::nullopt).exitCode, 2);
    EXPECT_FALSE(QFile::exists(server->rootPath() + u"/DV/smith/spring/index.htm"_s));
    EXPECT_TRUE(QDir(shellFolder).isEmpty());

    layOutSite();
    storeLogin(server->site());
    const CliRun run = refresh();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, u"/DV/smith/spring/index.htm\n/DV/smith/spring/index.xml\n"
                       "/DV/smith/spring/index.xsl\n"_s);
    const QByteArray page = onServer(u"/DV/smith/spring/index.htm"_s);
    EXPECT_TRUE(page.contains("week 1.pdf") && page.contains("notes.txt")) << page.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, RefreshArchiveTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// The session drops right after the catalogue's old page is deleted, as a connection lost on
// the way does: vellix opens it again without a window and finishes, or, when the server lets
// it in no more, says why and fails.
TEST_F(RefreshArchiveSite, ReconnectsWhenTheSessionDropsAfterTheDelete)
{
    const struct
    {
        int logins;
        int exitCode;
        QString error;
    } cases[] = {
        {-1, 0, QString()},
        {1, 1, u"cannot log in to 127.0.0.1:%1: 530 No more logins."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.logins);
        server = FtpTestServer::startFaulty({.dropAfter = u"DELE"_s, .logins = c.logins});
        ASSERT_TRUE(server);
        layOutSite();
        storeLogin(server->site());

        const CliRun run = refresh();
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        const QString error = c.error.isEmpty() ? QString() : c.error.arg(server->port());
        EXPECT_EQ(run.err.isEmpty(), error.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(error)) << run.err.toStdString();
        // The archive folder is there: only the upload into it was cut short.
        EXPECT_FALSE(run.err.contains(u"cannot enter"_s)) << run.err.toStdString();
        const QByteArray page = onServer(u"/DV/smith/spring/index.htm"_s);
        EXPECT_EQ(page.contains("week 1.pdf"), c.exitCode == 0) << page.toStdString();
    }
}
