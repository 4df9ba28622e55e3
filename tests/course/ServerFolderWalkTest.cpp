// The size walk's bounds against real FTP servers on loopback: how deep it goes, and folders it
// meets again through links.

#include "servers/ServerModes.h"
#include "support/ConfigTest.h"

#include "course/ServerFolderWalk.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using Outcome = ServerFolderWalk::Outcome;

class ServerFolderWalkTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        Shared().FtpClient = std::make_unique<cFTP>();
    }

    void TearDown() override
    {
        Shared().FtpClient->CloseConnection();
        server.reset();
        ConfigTest::TearDown();
    }

    void serverFile(const QString &path, qint64 size) const
    {
        const QString linux = server->rootPath() + path;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(linux).absolutePath()));
        QFile file(linux);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size)) << linux.toStdString();
    }

    // A link on the server's disk: path names target.
    void serverLink(const QString &path, const QString &target) const
    {
        ASSERT_TRUE(QFile::link(target, server->rootPath() + path)) << path.toStdString();
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

    std::unique_ptr<FtpTestServer> server;
};

class ServerFolderWalkServerTest
    : public ServerFolderWalkTest
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        ServerFolderWalkTest::SetUp();
        server = startOrSkip(GetParam().kind, ServerAccess::LocalFolder);
        if (!server)
            return;
        ASSERT_TRUE(openSharedClient(*server, GetParam()));
    }
};

TEST_P(ServerFolderWalkServerTest, GoesSixtyFourLevelsDeepAndNoDeeper)
{
    const struct
    {
        int levels; // folders below the first, one inside the other
        Outcome outcome;
        int folders; // entered
    } cases[] = {
        {ServerFolderWalk::MaxDepth, Outcome::Counted, ServerFolderWalk::MaxDepth + 1},
        {ServerFolderWalk::MaxDepth + 1, Outcome::TooDeep, ServerFolderWalk::MaxDepth + 1},
    };
    for (const auto &c : cases) {
        // A file of one byte in every folder of the chain.
        const QString first = u"/chain%1"_s.arg(c.levels);
        QString folder = first;
        for (int level = 0; level <= c.levels; ++level, folder += u"/d"_s)
            serverFile(folder + u"/f.txt"_s, 1);
        int folders = 0;
        const ServerFolderWalk::Result walked = walk(first, &folders);
        EXPECT_EQ(walked.outcome, c.outcome) << c.levels;
        EXPECT_EQ(folders, c.folders) << c.levels;
        if (c.outcome == Outcome::Counted) {
            EXPECT_EQ(walked.bytes, c.levels + 1) << c.levels;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerFolderWalkServerTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// A server that names the folder a link leads to when the walk stands in it.
TEST_F(ServerFolderWalkTest, FolderMetAgainThroughALinkIsCountedOnce)
{
    QString why;
    server = FtpTestServer::startScripted(u"canonical-pwd"_s, &why);
    ASSERT_TRUE(server) << why.toStdString();
    ASSERT_TRUE(
        Shared().FtpClient->OpenConnection(server->site(), server->user(), server->password()));
    serverFile(u"/site/real/a.txt"_s, 100);
    serverFile(u"/site/real/sub/b.txt"_s, 20);
    serverLink(u"/site/alias"_s, u"real"_s);        // the same folder under two names
    serverLink(u"/site/real/sub/up"_s, u"../.."_s); // a loop back to /site
    const struct
    {
        const char *folder;
        Outcome outcome;
        qint64 bytes;
    } cases[] = {
        {"/site", Outcome::Counted, 120},
        // Through the loop, the walk of the real folder reaches /site, and stops at the
        // folders it walked.
        {"/site/real", Outcome::Counted, 120},
        // The first folder must be where the client stands.
        {"/site/alias", Outcome::NotEntered, 0},
    };
    for (const auto &c : cases) {
        const ServerFolderWalk::Result walked = walk(QLatin1String(c.folder));
        EXPECT_EQ(walked.outcome, c.outcome) << c.folder;
        EXPECT_EQ(walked.bytes, c.bytes) << c.folder;
    }
}
