// The server folder helpers against real FTP servers on loopback: entering the month folder,
// and the size walk with its bounds (depth, folders met again through links), its limits and
// its reset of a login that leads to a wrong folder.

#include "course/SeenBox.h"
#include "servers/ServerModes.h"
#include "servers/StartOrSkip.h"
#include "support/ConfigTest.h"

#include "course/ConfigFile.h"
#include "course/LoginStore.h"
#include "course/ServerFolderWalk.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>

#include <limits>

using namespace Qt::StringLiterals;
using Platform::Ui;
using Outcome = ServerFolderWalk::Outcome;

namespace {

const QString MonthPath = u"/DV/smith/algebra/May"_s;

} // namespace

class ServerFoldersTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        Shared().FtpClient = std::make_unique<cFTP>();
    }

    // Walks a folder; folders counts the folders the walk entered.
    ServerFolderWalk::Result walk(const QString &folder, int *folders = nullptr)
    {
        ServerFolderWalk walker(*Shared().FtpClient, {.beforeFolder = [folders] {
            if (folders)
                ++*folders;
            return true;
        }});
        return walker.walk(folder);
    }
};

TEST_F(ServerFoldersTest, SizeWalkThatCannotConnectCountsNothing)
{
    // A reconnect that fails, as the status window's does against a dead server.
    int reconnects = 0;
    Shared().Reconnect = [&] {
        ++reconnects;
        Shared().ConnectionFailed = true;
        return false;
    };
    EXPECT_EQ(RemoteFolderSize(MonthPath), 0.0);
    EXPECT_EQ(reconnects, 1);
    // The report of the failed connect is taken back.
    EXPECT_FALSE(Shared().ConnectionFailed);
    EXPECT_FALSE(Shared().AbortFlag);
}

class ServerFoldersServerTest : public SharedClientSuite<ServerFoldersTest>
{
protected:
    void serverFile(const QString &path, qint64 size) const
    {
        writeSizedFile(server->rootPath() + path, size);
    }
};

TEST_P(ServerFoldersServerTest, MonthFolderAndSizeWalkWithinItsBoundsAndALoginThatLeadsAstray)
{
    // Entering the month folder needs the server to report exactly that path.
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/DV/smith/algebra/May"_s));
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/home/smith/pub/DV/smith/algebra/May"_s));
    const std::tuple<const char *, QString, QString, QString, bool, QString> months[] = {
        {"the month folder", u"/"_s, u"DV"_s, u"May"_s, true, u"/DV"_s},
        {"below the login folder", u"/home/smith"_s, u"pub/DV"_s, u"May"_s, true,
         u"/home/smith/pub/DV"_s},
        // The client already stands in "May": only an exact comparison tells "may" apart.
        {"another case", u"/"_s, u"DV"_s, u"may"_s, false, u"/DV"_s},
        {"a trailing slash", u"/"_s, u"DV"_s, u"May/"_s, false, u"/DV"_s},
        // A missing folder is the refresh-archive command's case.
    };
    Shared().CourseName = u"smith"_s;
    Shared().ArchiveName = u"algebra"_s;
    cFTP &client = *Shared().FtpClient;
    for (const auto &[what, homeDir, webRootPath, monthFolder, entered, webRoot] : months) {
        ASSERT_TRUE(client.SetFTPDirectory(MonthPath));
        Shared().HomeDir = homeDir;
        Shared().WebRootPath = webRootPath;
        Shared().MonthFolder = monthFolder;
        EXPECT_EQ(EnterMonthFolder(), entered) << what;
        EXPECT_EQ(Shared().WebRoot, webRoot) << what;
        EXPECT_EQ(Shared().RemoteRoot, u"/"_s) << what;
    }

    // Folders come before files in most listings: each level must go on with its own list
    // after the walk below it has listed other folders.
    serverFile(u"/DV/smith/algebra/April/notes.txt"_s, 7);
    serverFile(u"/DV/smith/algebra/May/a-sub/b-sub/deep.pdf"_s, 3000);
    serverFile(u"/DV/smith/algebra/May/a-sub/b-sub/deeper.pdf"_s, 40000);
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/DV/smith/algebra/May/a-sub/b-sub/c-empty"_s));
    serverFile(u"/DV/smith/algebra/May/a-sub/mid.htm"_s, 200);
    serverFile(u"/DV/smith/algebra/May/lesson.doc"_s, 10);
    serverFile(u"/DV/smith/algebra/May/z-last.doc"_s, 500000);
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/DV/smith/algebra/Empty"_s));
    Shared().MonthFolderPath = MonthPath;

    EXPECT_EQ(RemoteFolderSize(u"/DV/smith/algebra/Empty"_s), 0.0);
    // The month total is kept also when the walk passes through the month folder.
    EXPECT_EQ(RemoteFolderSize(u"/DV/smith/algebra"_s), 543217.0);
    EXPECT_EQ(Shared().MonthFolderSize, 543210);
    Shared().MonthFolderSize = 0;
    EXPECT_EQ(RemoteFolderSize(MonthPath), 543210.0);
    EXPECT_EQ(Shared().MonthFolderSize, 543210);
    EXPECT_TRUE(ui().boxes().isEmpty());
    EXPECT_FALSE(Shared().AbortFlag);

    // With 3 GiB and 1.5 GiB the sum passes 2^31 - 1.
    serverFile(u"/DV/smith/big/video.mp4"_s, 3LL << 30);
    serverFile(u"/DV/smith/big/sub/more.mp4"_s, 3LL << 29);
    Shared().MonthFolderPath = u"/DV/smith/big"_s;
    EXPECT_EQ(RemoteFolderSize(u"/DV/smith/big"_s), std::numeric_limits<qint32>::max());
    EXPECT_EQ(Shared().MonthFolderSize, std::numeric_limits<qint32>::max());

    // The walk goes sixty-four levels deep and no deeper: folders below the first (one inside
    // the other), the outcome, the folders entered.
    const std::tuple<int, Outcome, int> cases[] = {
        {ServerFolderWalk::MaxDepth, Outcome::Counted, ServerFolderWalk::MaxDepth + 1},
        {ServerFolderWalk::MaxDepth + 1, Outcome::TooDeep, ServerFolderWalk::MaxDepth + 1},
    };
    for (const auto &[levels, outcome, entered] : cases) {
        // A file of one byte in every folder of the chain.
        const QString first = u"/chain%1"_s.arg(levels);
        QString folder = first;
        for (int level = 0; level <= levels; ++level, folder += u"/d"_s)
            serverFile(folder + u"/f.txt"_s, 1);
        int folders = 0;
        const ServerFolderWalk::Result walked = walk(first, &folders);
        EXPECT_EQ(walked.outcome, outcome) << levels;
        EXPECT_EQ(folders, entered) << levels;
        if (outcome == Outcome::Counted) {
            EXPECT_EQ(walked.bytes, levels + 1) << levels;
        }
    }

    // A folder that cannot be entered resets the login. Which stored keys a reset clears is
    // the reset's own rule, tested with it; here the walk must lead to it, and forget the user
    // name too.
    Shared().RemoteDir = MonthPath;
    Shared().UserId = server->user();
    Shared().Password = server->password();
    Shared().LoggedIn = true;
    ASSERT_TRUE(LoginStore().write(u"smith"_s, u"ftpPwd"_s, u"stored"_s));

    EXPECT_EQ(RemoteFolderSize(u"/DV/smith/algebra/Missing"_s), -1.0);

    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"Bad directory passed.\r\nYour login data has been reset."_s,
                               u"Get Currect Directory Size"_s, Ui::Icon::Critical}}));
    EXPECT_EQ(Shared().UserId + Shared().Password, QString());
    EXPECT_FALSE(Shared().LoggedIn);
    EXPECT_TRUE(Shared().AbortFlag);
    EXPECT_EQ(LoginStore().read(ConfigFile(), u"smith"_s, u"ftpPwd"_s), QString());

    // On a server that names a folder by the path that led there, two links back to their own
    // folder make paths without number at every level: the walk ends after its most folders.
    if (GetParam().kind != FtpTestServer::Kind::Pyftpdlib)
        return;
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/loops"_s));
    for (const QString &name : {u"a"_s, u"b"_s})
        ASSERT_TRUE(QFile::link(u"."_s, server->rootPath() + u"/loops/"_s + name));
    int entered = 0;
    ServerFolderWalk walker(
        client, {.beforeFolder = [&entered] { return ++entered < 1000; }, .mostFolders = 20});
    EXPECT_EQ(walker.walk(u"/loops"_s).outcome, Outcome::TooMany);
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerFoldersServerTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// Servers that name the folder a link leads to when the walk stands in it: a plain one, and
// SFTP, whose client reads a folder entered through a link as not entered.
TEST_F(ServerFoldersTest, FolderMetAgainThroughALinkIsCountedOnce)
{
    const std::unique_ptr<FtpTestServer> plain = FtpTestServer::startScripted(u"canonical-pwd"_s);
    ASSERT_TRUE(plain);
    const std::unique_ptr<SftpTestServer> secure = startOrSkip(SftpTestServer::Kind::Sshd);
    for (const ServerLogin *server :
         std::initializer_list<const ServerLogin *>{plain.get(), secure.get()}) {
        if (!server)
            continue; // this machine runs no SFTP server
        cFTP &client = *Shared().FtpClient;
        client.CloseConnection();
        client.setSecure(server == secure.get());
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        writeSizedFile(server->rootPath() + u"/site/real/a.txt"_s, 100);
        writeSizedFile(server->rootPath() + u"/site/real/sub/b.txt"_s, 20);
        // The same folder under two names, and a loop back to /site.
        ASSERT_TRUE(QFile::link(u"real"_s, server->rootPath() + u"/site/alias"_s));
        ASSERT_TRUE(QFile::link(u"../.."_s, server->rootPath() + u"/site/real/sub/up"_s));
        const QString home = server->homeDir() == u"/"_s ? QString() : server->homeDir();
        const std::tuple<const char *, Outcome, qint64> cases[] = {
            {"/site", Outcome::Counted, 120},
            // Through the loop, the walk of the real folder reaches /site, and stops at the
            // folders it walked.
            {"/site/real", Outcome::Counted, 120},
            // The first folder must be where the client stands.
            {"/site/alias", Outcome::NotEntered, 0},
        };
        for (const auto &[folder, outcome, bytes] : cases) {
            const ServerFolderWalk::Result walked = walk(home + QLatin1String(folder));
            EXPECT_EQ(walked.outcome, outcome) << folder << (client.secure() ? " (SFTP)" : "");
            EXPECT_EQ(walked.bytes, bytes) << folder << (client.secure() ? " (SFTP)" : "");
        }
    }
}
