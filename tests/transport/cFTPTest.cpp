// The FTP client against real servers on loopback (active and passive), and its failures.

#include "servers/ServerModes.h"
#include "servers/SilentFtpServer.h"
#include "support/VellixTest.h"

#include "platform/AutomationDate.h"
#include "platform/DosPath.h"
#include "transport/BlockTransfers.h"
#include "transport/InternetError.h"
#include "transport/PartialUpload.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTimer>
#include <QUuid>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
namespace InternetError = Ftp::InternetError;

namespace {

using Progress = QList<std::pair<qint32, qint32>>;

Progress progressOf(const QSignalSpy &spy)
{
    Progress events;
    for (const QList<QVariant> &arguments : spy)
        events.append({arguments.at(0).toInt(), arguments.at(1).toInt()});
    return events;
}

QString connectError(quint32 code)
{
    return u"InternetConnect error code: "_s + QString::number(code) + u" Message: "_s +
           InternetError::text(code);
}

} // namespace

class cFTPTest : public VellixTest
{
protected:
    // DOS path of a file in the test's folder (its folder is created).
    QString dos(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(tempPath(relative)).absolutePath());
        return Platform::DosPath::toDos(tempPath(relative));
    }
    QString putLocal(const QString &relative, const QByteArray &content) const
    {
        writeFile(tempPath(relative), content);
        return dos(relative);
    }

    cFTP client;
};

class cFTPServerTest
    : public cFTPTest
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        cFTPTest::SetUp();
        server = startOrSkip(GetParam().kind);
        if (!server)
            return;
        if (GetParam().passive)
            client.SetModePassive();
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()))
            << client.GetLastErrorMessage().toStdString();
        // Each test works in a fresh folder of its own, also on a shared external server.
        work = u"case-"_s + QUuid::createUuid().toString(QUuid::Id128).left(12);
        ASSERT_TRUE(client.SetFTPDirectory(server->homeDir()));
        ASSERT_TRUE(client.CreateFTPDirectory(work));
        ASSERT_TRUE(client.SetFTPDirectory(work));
    }

    void TearDown() override
    {
        // The client leaves before its server stops.
        client.CloseConnection();
        server.reset();
        cFTPTest::TearDown();
    }

    // The transfers see a cancel request after that many blocks.
    void cancelAfterBlocks(int count)
    {
        client.setHooks({.pumpMessages =
                             [this, count] {
                                 if (++blocks == count)
                                     cancelled = true;
                             },
                         .cancelRequested = [this] { return cancelled; }});
    }

    QString workPath() const
    {
        const QString home = server->homeDir();
        return (home.endsWith(u'/') ? home : home + u'/') + work;
    }

    // The bytes the server holds: read from its folder when the test can see it, else fetched.
    QByteArray onServer(const QString &name)
    {
        if (!server->rootPath().isEmpty())
            return readFile(server->rootPath() + u'/' + work + u'/' + name);
        const QString fetched = dos(u"fetched/"_s + QUuid::createUuid().toString(QUuid::Id128));
        return client.SimpleFTPGetFile(fetched, name)
                   ? readFile(Platform::DosPath::toLinux(fetched))
                   : QByteArray("(missing)");
    }

    QStringList listed(const QString &filter) { return listedNames(client, filter); }

    std::unique_ptr<FtpTestServer> server;
    QString work;
    int blocks = 0;
    bool cancelled = false;
};

// An upload tells every 255-byte block and then the whole once more; a download counts one byte
// ahead in every block but the last and does not fetch an empty file. An upload reads its file
// in runs of blocks: the last size goes on past the end of the first run.
TEST_P(cFTPServerTest, BlockTransfersKeepTheBytesAndReportEveryBlock)
{
    const auto expected = [](qint32 size, bool up) {
        Progress events;
        const qint32 blocks = size / cFTP::BlockSize + 1;
        for (qint32 block = 1; block < blocks; ++block)
            events.append({up ? block * cFTP::BlockSize : block * cFTP::BlockSize + 1, size});
        if (up || size > 0)
            events.append({size, size});
        return events;
    };
    QSignalSpy progress(&client, &cFTP::FileTransferProgress);
    for (const qint32 size :
         {0, 255, 300, 510, BlockTransfers::RunBlocks * cFTP::BlockSize + 300}) {
        SCOPED_TRACE(size);
        const QByteArray content = patterned(size);
        const QString name = u"file "_s + QString::number(size) + u".bin"_s;

        progress.clear();
        EXPECT_TRUE(client.FTPUploadFile(putLocal(u"up/"_s + name, content), name));
        EXPECT_EQ(progressOf(progress), expected(size, true));
        EXPECT_TRUE(onServer(name) == content);

        progress.clear();
        EXPECT_EQ(client.FTPDownloadFile(dos(u"down/"_s + name), name), size > 0)
            << client.GetLastErrorMessage().toStdString();
        EXPECT_EQ(progressOf(progress), expected(size, false));
        EXPECT_TRUE(readFile(tempPath(u"down/"_s + name)) == content);
        EXPECT_EQ(QFile::exists(tempPath(u"down/"_s + name)), size > 0);
    }
}

// What a failed upload left beside its target, under the target's temporary name, goes with
// the next upload of that file.
TEST_P(cFTPServerTest, AnUploadReplacesWhatAFailedOneLeftBehind)
{
    const QString stale = PartialUpload::pathFor(u"lesson.txt"_s);
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/stale"_s, "half a lesson"), stale));
    ASSERT_EQ(onServer(stale), "half a lesson");
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/lesson.txt"_s, "a lesson"), u"lesson.txt"_s));
    EXPECT_EQ(onServer(u"lesson.txt"_s), "a lesson");
    EXPECT_NE(onServer(stale), "half a lesson");
}

TEST_P(cFTPServerTest, ALargeFileTravelsWhole)
{
    constexpr qint32 Size = 1000001; // 3921 full blocks and 146 bytes
    const QByteArray content = patterned(Size);
    QSignalSpy progress(&client, &cFTP::FileTransferProgress);

    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"big.bin"_s, content), u"big.bin"_s));
    Progress events = progressOf(progress);
    ASSERT_EQ(events.size(), 3922);
    EXPECT_EQ(events.first(), std::pair(255, Size));
    EXPECT_EQ(events.at(3920), std::pair(999855, Size));
    EXPECT_EQ(events.last(), std::pair(Size, Size));
    EXPECT_TRUE(onServer(u"big.bin"_s) == content);

    progress.clear();
    // The local file is written from its first byte: a longer old file leaves nothing behind.
    writeFile(tempPath(u"back.bin"_s), patterned(Size + 1000));
    ASSERT_TRUE(client.FTPDownloadFile(dos(u"back.bin"_s), u"big.bin"_s))
        << client.GetLastErrorMessage().toStdString();
    events = progressOf(progress);
    ASSERT_EQ(events.size(), 3922);
    EXPECT_EQ(events.first(), std::pair(256, Size));
    EXPECT_EQ(events.at(3920), std::pair(999856, Size));
    EXPECT_EQ(events.last(), std::pair(Size, Size));
    EXPECT_TRUE(readFile(tempPath(u"back.bin"_s)) == content);
}

TEST_P(cFTPServerTest, APageTravelsWithItsCompanionFolder)
{
    client.setTemporaryFolder(u"C:\\"_s); // where the page's upload copy is written
    putLocal(u"site/a b.htm"_s, "<img src=\"a b_files/pic.gif\"><a href=\"a%20b_files/pic.gif\">"
                                "A b_files</a>");
    putLocal(u"site/a b_files/pic.gif"_s, "GIF89a");
    putLocal(u"site/a b_files/Thumbs.db"_s, "thumbnails");
    const QByteArray pageOnServer =
        "<img src=\"a_b_files/pic.gif\"><a href=\"a_b_files/pic.gif\">A b_files</a>";

    ASSERT_TRUE(client.FTPUploadFile(dos(u"site/a b.htm"_s), u"a b.htm"_s));
    EXPECT_EQ(listed(u"*"_s), QStringList({u"a b.htm"_s, u"a_b_files/"_s}));
    EXPECT_EQ(listed(u"a_b_files/*"_s), QStringList{u"pic.gif"_s}); // no thumbnail database
    EXPECT_EQ(onServer(u"a b.htm"_s), pageOnServer);
    EXPECT_EQ(client.GetFTPDirectory(), workPath());
    const QDir driveC(Platform::DosPath::toLinux(u"C:\\"_s));
    EXPECT_EQ(driveC.entryList({u"*.tmp"_s}, QDir::Files), QStringList()); // the copy is gone

    ASSERT_TRUE(client.FTPDownloadFile(dos(u"down/a b.htm"_s), u"a b.htm"_s));
    EXPECT_EQ(readFile(tempPath(u"down/a b.htm"_s)), pageOnServer);
    EXPECT_EQ(readFile(tempPath(u"down/a_b_files/pic.gif"_s)), "GIF89a");
    EXPECT_EQ(client.GetFTPDirectory(), workPath());

    EXPECT_TRUE(client.DeleteFTPFile(u"a b.htm"_s));
    EXPECT_EQ(client.GetDirectoryListing(u"*"_s), nullptr);
    EXPECT_EQ(client.Directory()->Count(), 0);
}

// A page whose upload copy cannot be made, or whose copy's upload is cancelled, does not go
// up: neither unchanged (its links would name a folder the server does not have) nor twice.
TEST_P(cFTPServerTest, APageWithoutItsCopyDoesNotGoUp)
{
    putLocal(u"site/a b.htm"_s, QByteArray(600, 'p') + "<img src=\"a b_files/pic.gif\">");
    putLocal(u"site/a b_files/pic.gif"_s, "GIF89a");
    const struct
    {
        const char *how;
        QString temporaryFolder;
        int cancelAfterBlocks; // 0: no cancel
        QStringList left;      // on the server afterwards
    } cases[] = {
        // The companion files went up first and stay; only the page's own partial file goes.
        {"no folder for the copy", u"C:\\no such folder\\"_s, 0, {u"a_b_files/"_s}},
        {"copy's upload cancelled", u"C:\\"_s, 1, {u"a_b_files/"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        client.setTemporaryFolder(c.temporaryFolder);
        if (c.cancelAfterBlocks > 0)
            cancelAfterBlocks(c.cancelAfterBlocks);
        EXPECT_FALSE(client.FTPUploadFile(dos(u"site/a b.htm"_s), u"a b.htm"_s));
        EXPECT_EQ(listed(u"*"_s), c.left);
        // A cancelled copy ends the upload: no second transfer of the page alone.
        EXPECT_EQ(blocks, c.cancelAfterBlocks);
        client.setHooks({});
        blocks = 0;
        cancelled = false;
    }
}

// Names in a page's companion folder on the server never lead out of the local folder.
TEST_P(cFTPServerTest, APageDownloadRefusesNamesThatLeaveItsFolder)
{
    if (server->rootPath().isEmpty())
        GTEST_SKIP() << "needs the server's folder";
    const QString folder = server->rootPath() + u'/' + work + u"/page_files/"_s;
    writeFile(server->rootPath() + u'/' + work + u"/page.htm"_s, "<img src=\"page_files/a.gif\">");
    writeFile(folder + u"a.gif"_s, "GIF89a");
    const QStringList refused{u"x\\..\\..\\..\\PWNED.txt"_s, u"b\\..\\..\\up.txt"_s, u"a\\b"_s};
    for (const QString &name : refused)
        writeFile(folder + name, "not for this side");
    QSignalSpy refusals(&client, &cFTP::ServerNameRefused);

    ASSERT_TRUE(client.FTPDownloadFile(dos(u"down/page.htm"_s), u"page.htm"_s));
    EXPECT_EQ(readFile(tempPath(u"down/page_files/a.gif"_s)), "GIF89a");
    QStringList told;
    for (const QList<QVariant> &arguments : refusals)
        told << arguments.at(0).toString();
    told.sort();
    QStringList sortedRefused = refused;
    sortedRefused.sort();
    EXPECT_EQ(told, sortedRefused);
    // Nothing but the page and its one picture, inside the local folder or above it.
    EXPECT_EQ(filesBelow(tempPath(u"down"_s)), QStringList({u"page.htm"_s, u"page_files/a.gif"_s}));
    EXPECT_FALSE(QFile::exists(tempPath(u"../PWNED.txt"_s)));
}

TEST_P(cFTPServerTest, ListingsBecomeRecords)
{
    const QString local = putLocal(u"five.txt"_s, "12345");
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub"_s));
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub/inner"_s));
    for (const QString &remote :
         {u"sub/file1.txt"_s, u"sub/file2.txt"_s, u"sub/fileX.htm"_s, u"sub/inner/deep.txt"_s})
        ASSERT_TRUE(client.SimpleFTPPutFile(local, remote)) << remote.toStdString();

    // The engine's patterns are its own suite's; here, what the records make of a listing.
    // Nothing found is no failure to record.
    EXPECT_EQ(client.GetDirectoryListing(u"sub/nothing?"_s), nullptr);
    EXPECT_EQ(client.GetLastErrorMessage(), QString());

    ASSERT_NE(client.GetDirectoryListing(u"sub/*"_s), nullptr);
    const cDirItem *file = client.Directory()->Item(u"FILE1.TXT"_s);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileSize, 5);
    EXPECT_TRUE(file->Normal);
    EXPECT_FALSE(file->Directory);
    const double now = Platform::AutomationDate::fromDateTime(QDateTime::currentDateTime());
    EXPECT_LT(std::abs(file->LastWriteTime - now), 1.0 / 24) << file->LastWriteTime;
    EXPECT_TRUE(client.Directory()->Item(u"inner"_s)->Directory);
}

TEST_P(cFTPServerTest, FileSizesAreFoundByName)
{
    ASSERT_TRUE(client.SimpleFTPPutFile(putLocal(u"a.txt"_s, "eleven byte"), u"my file.txt"_s));
    ASSERT_TRUE(client.SimpleFTPPutFile(putLocal(u"b.txt"_s, "four"), u"my_file.txt"_s));
    ASSERT_TRUE(client.SimpleFTPPutFile(putLocal(u"c.txt"_s, "six b."), u"look_alike.txt"_s));
    EXPECT_EQ(client.GetFTPFileSize(u"my file.txt"_s), 11); // looked up as "my?file.txt"
    EXPECT_EQ(client.GetFTPFileSize(u"my_file.txt"_s), 4);
    // Without a file of exactly that name, the look-alike that "look?alike.txt" finds.
    EXPECT_EQ(client.GetFTPFileSize(u"look alike.txt"_s), 6);
    EXPECT_EQ(client.GetFTPFileSize(u"missing.txt"_s), -1);
}

// A cancel ends a transfer after the block it was seen in; the server keeps no partial upload,
// the local side keeps the user's old file with nothing beside it, and the session goes on.
TEST_P(cFTPServerTest, CancelEndsATransferAndLeavesNoPartialFile)
{
    const QByteArray content = patterned(100 * 255);
    ASSERT_TRUE(client.SimpleFTPPutFile(putLocal(u"served.bin"_s, content), u"served.bin"_s));
    writeFile(tempPath(u"down/served.bin"_s), "the user's own file");
    QSignalSpy progress(&client, &cFTP::FileTransferProgress);
    for (const bool up : {true, false}) {
        SCOPED_TRACE(up ? "upload" : "download");
        blocks = 0;
        cancelled = false;
        progress.clear();
        cancelAfterBlocks(3);
        EXPECT_FALSE(up ? client.FTPUploadFile(putLocal(u"big.bin"_s, content), u"big.bin"_s)
                        : client.FTPDownloadFile(dos(u"down/served.bin"_s), u"served.bin"_s));
        EXPECT_EQ(blocks, 3);
        EXPECT_EQ(progress.count(), 2);
        client.setHooks({});
    }
    EXPECT_EQ(client.GetFTPFileSize(u"big.bin"_s), -1)
        << client.GetLastErrorMessage().toStdString();
    EXPECT_EQ(readFile(tempPath(u"down/served.bin"_s)), "the user's own file");
    EXPECT_EQ(QDir(tempPath(u"down"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"served.bin"_s});
    EXPECT_EQ(client.GetFTPFileSize(u"served.bin"_s), content.size());
}

TEST_P(cFTPServerTest, ClosingFromThePumpEndsATransferCleanly)
{
    client.setHooks({.pumpMessages = [&] { client.CloseConnection(); }});
    EXPECT_FALSE(client.FTPUploadFile(putLocal(u"big.bin"_s, patterned(10 * 255)), u"big.bin"_s));
    EXPECT_TRUE(client.GetLastErrorMessage().startsWith(u"InternetWriteFile error code: 12111 "_s))
        << client.GetLastErrorMessage().toStdString();

    client.setHooks({});
    ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
    EXPECT_EQ(client.GetFTPDirectory(), server->homeDir());
}

// Exit under a transfer: the plain channel stops it by closing the session at once.
TEST_P(cFTPServerTest, AStopClosesThePlainSessionUnderATransfer)
{
    EXPECT_TRUE(client.stopClosesSession());
    client.setHooks({.pumpMessages = [&] { client.stopTransfer(); }});
    EXPECT_FALSE(client.FTPUploadFile(putLocal(u"big.bin"_s, patterned(10 * 255)), u"big.bin"_s));
    client.setHooks({});
    EXPECT_EQ(client.GetFTPDirectory(), QString());
}

TEST_P(cFTPServerTest, RefusalsAreToldInTheServersWords)
{
    const std::pair<const char *, std::function<bool()>> refusals[] = {
        {"delete", [&] { return client.DeleteFTPFile(u"missing.txt"_s); }},
        {"rename", [&] { return client.RenameFTPFile(u"missing.txt"_s, u"other.txt"_s); }},
        {"remove folder", [&] { return client.RemoveFTPDirectory(u"missing"_s); }},
        {"change folder", [&] { return client.SetFTPDirectory(u"missing"_s); }},
        {"get", [&] { return client.SimpleFTPGetFile(dos(u"got.txt"_s), u"missing.txt"_s); }},
    };
    for (const auto &[operation, call] : refusals) {
        EXPECT_FALSE(call()) << operation;
        EXPECT_TRUE(client.GetLastErrorMessage().startsWith(u"550"_s))
            << operation << ": " << client.GetLastErrorMessage().toStdString();
    }
    EXPECT_FALSE(client.FTPDownloadFile(dos(u"got.txt"_s), u"missing.txt"_s));
    EXPECT_FALSE(QFile::exists(tempPath(u"got.txt"_s)));
}

TEST_P(cFTPServerTest, ASecondLoginReplacesTheFirstAndAWrongOneIsRefused)
{
    // The first session stands in the test's folder; the second starts in the login folder.
    ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
    EXPECT_EQ(client.GetFTPDirectory(), server->homeDir());

    cFTP stranger;
    EXPECT_FALSE(
        stranger.OpenConnection(server->site(), server->user(), server->password() + u'x'));
    EXPECT_TRUE(stranger.GetLastErrorMessage().startsWith(u"530"_s))
        << stranger.GetLastErrorMessage().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, cFTPServerTest, testing::ValuesIn(serverModesWithTls()),
                         serverModeParameterName);

// A server that stops answering in the middle of a transfer, while the data it was sent or
// sending waits in the system's buffers: the transfer keeps the message loop running, so that
// a Cancel pressed while it waits (a timer here) ends it, long before any timeout would.
TEST_F(cFTPTest, ACancelEndsATransferThatTheServerKeepsWaiting)
{
    QString why;
    const auto server = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why);
    ASSERT_TRUE(server) << why.toStdString();
    // Larger than what the system's buffers on both sides hold.
    constexpr qint64 Large = 48 << 20;
    const QString remote = u"big.bin"_s;
    const struct
    {
        const char *name;
        bool upload;
        qint64 size;
        qint64 stopAt; // the server stops once the transfer has come that far
    } cases[] = {
        {"download", false, Large, 1},
        {"upload", true, Large, 1},
        // Everything sent, the server's answer outstanding.
        {"upload's answer", true, 100000, 100000 - 2 * cFTP::BlockSize},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Short enough that a transfer left waiting fails soon without the cancel.
        client.setTimeouts({3000ms, 3000ms, 3000ms});
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        writeFile(server->rootPath() + u'/' + remote, patterned(c.upload ? 0 : c.size));
        const QString local =
            c.upload ? putLocal(u"up.bin"_s, patterned(c.size)) : dos(u"down.bin"_s);

        bool stopped = false;
        bool cancelled = false;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        const auto progress =
            QObject::connect(&client, &cFTP::TransferProgress, [&](qint64 done, qint64) {
                sinceProgress.restart();
                if (!stopped && done >= c.stopAt)
                    stopped = server->suspend();
            });
        client.setHooks({.pumpMessages = [] { QCoreApplication::processEvents(); },
                         .cancelRequested = [&] { return cancelled; }});
        // Cancel is pressed once the transfer has been kept waiting for a while; the press
        // arrives only if the message loop runs during the wait.
        QTimer press;
        press.setInterval(20);
        QObject::connect(&press, &QTimer::timeout, [&] {
            if (stopped && sinceProgress.elapsed() > 300)
                cancelled = true;
        });
        press.start();
        const bool done =
            c.upload ? client.FTPUploadFile(local, remote) : client.FTPDownloadFile(local, remote);
        press.stop();
        QObject::disconnect(progress);
        client.setHooks({});
        ASSERT_TRUE(server->resume());

        EXPECT_FALSE(done);
        EXPECT_TRUE(stopped);
        EXPECT_TRUE(cancelled) << "the transfer ended without the cancel: "
                               << client.GetLastErrorMessage().toStdString();
        if (!c.upload)
            EXPECT_FALSE(QFile::exists(tempPath(u"down.bin"_s)));
        else
            EXPECT_EQ(readFile(server->rootPath() + u'/' + remote), QByteArray());
        client.CloseConnection();
    }
}

TEST_F(cFTPTest, ConnectFailuresAreRecordedWithTheirNumbers)
{
    const std::pair<QString, quint32> cases[] = {
        {u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort()),
         InternetError::CannotConnect},
        {u"nohost.invalid"_s, InternetError::NameNotResolved},
    };
    for (const auto &[site, code] : cases) {
        EXPECT_FALSE(client.OpenConnection(site, u"user"_s, u"secret"_s));
        EXPECT_EQ(client.GetLastErrorMessage(), connectError(code));
    }
}

// While a session opens the message loop runs, and a stop request ends the connect wherever it
// waits on a server that does not answer; a connect stopped before it starts reaches no server.
// Each is a failure that keeps the login, told as cancelled.
TEST_F(cFTPTest, AStopRequestEndsTheConnectWhereverItWaits)
{
    using Silence = SilentFtpServer::Behaviour;
    const struct
    {
        const char *waitingFor;
        Silence silence;
        QByteArray silentAt;
        bool secure;
        int pumpsBeforeStop;
    } cases[] = {
        {"nothing yet", Silence::Mute, {}, false, 0},
        // More turns than a connect takes up to where the server falls silent: the stop
        // comes while the connect waits there.
        {"the greeting", Silence::Mute, {}, false, 20},
        {"the TLS handshake", Silence::StallAfterLogin, "AUTH", false, 20},
        {"the login", Silence::StallAfterLogin, "PASS", false, 20},
        {"the login folder", Silence::StallAfterLogin, "PWD", false, 20},
        {"the secure connect", Silence::Mute, {}, true, 20},
    };
    // A stop that goes unseen ends in a timeout, which the reason would tell.
    client.setTimeouts({5s, 5s, 5s});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.waitingFor);
        SilentFtpServer server(c.silence, c.silentAt);
        ASSERT_TRUE(server.isListening());
        int pumps = 0;
        client.setHooks({.pumpMessages = [&pumps] { ++pumps; }});
        client.setSecure(c.secure);
        // By name: the look-up runs beside the wait too.
        const QString site = u"localhost:"_s + QString::number(server.port());
        EXPECT_FALSE(client.OpenConnection(site, u"user"_s, u"secret"_s,
                                           [&] { return pumps >= c.pumpsBeforeStop; }));
        EXPECT_EQ(client.connectFailureReason(), u"Connecting was cancelled."_s);
        EXPECT_FALSE(client.loginRefused());
        EXPECT_EQ(pumps, c.pumpsBeforeStop);
        if (c.pumpsBeforeStop == 0) {
            EXPECT_EQ(server.connectionCount(), 0);
        }
        if (!c.secure) {
            EXPECT_EQ(client.GetLastErrorMessage(),
                      connectError(InternetError::OperationCancelled));
        }
    }
}

// The loop runs as every wait of the connect begins, not only once a server keeps it waiting:
// a connect of many quick answers holds the thread no longer than one that stalls.
TEST_F(cFTPTest, TheMessageLoopRunsWhileAQuickServerIsConnected)
{
    for (const auto kind : {FtpTestServer::Kind::Pyftpdlib, FtpTestServer::Kind::PyftpdlibTls}) {
        SCOPED_TRACE(FtpTestServer::kindName(kind).toStdString());
        QString why;
        const auto server = FtpTestServer::start(kind, &why);
        ASSERT_TRUE(server) << why.toStdString();
        int pumps = 0;
        client.setHooks({.pumpMessages = [&pumps] { ++pumps; }});
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()))
            << client.GetLastErrorMessage().toStdString();
        // The TCP connect, the greeting, AUTH TLS, USER, PASS, FEAT and PWD at least.
        EXPECT_GE(pumps, 7);
        client.CloseConnection();
    }
}

TEST_F(cFTPTest, ANeverConnectedClientFailsAndRecords)
{
    client.CloseConnection();
    EXPECT_EQ(client.GetLastErrorMessage(), QString());
    EXPECT_EQ(client.GetFTPDirectory(), QString());
    EXPECT_TRUE(
        client.GetLastErrorMessage().startsWith(u"FtpGetCurrentDirectory error code: 12019 "_s))
        << client.GetLastErrorMessage().toStdString();
    EXPECT_EQ(client.GetFTPFileSize(u"a.txt"_s), -2);
    EXPECT_EQ(client.GetDirectoryListing(u"*"_s), nullptr);
    EXPECT_EQ(client.Directory()->Count(), 0);
    EXPECT_FALSE(client.FTPUploadFile(putLocal(u"a.txt"_s, "a"), u"a.txt"_s));
    EXPECT_FALSE(client.FTPDownloadFile(dos(u"b.txt"_s), u"a.txt"_s));
    EXPECT_FALSE(QFile::exists(tempPath(u"b.txt"_s)));
}

// Holds with and without the secure library: a refused connect leaves no session.
TEST_F(cFTPTest, SecureFormsFailCleanlyWithoutASession)
{
    const QString refused = u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort());
    client.OpenConnection(refused, u"user"_s, u"secret"_s);
    const QString lastError = client.GetLastErrorMessage();
    ASSERT_FALSE(lastError.isEmpty());

    client.setSecure(true);
    EXPECT_TRUE(client.property("secure").toBool());
    EXPECT_FALSE(client.OpenConnection(refused, u"user"_s, u"secret"_s));
    EXPECT_EQ(client.GetFTPDirectory(), QString());
    EXPECT_EQ(client.GetFTPFileSize(u"a.txt"_s), -2);
    EXPECT_FALSE(client.SetFTPDirectory(u"/web"_s));
    EXPECT_FALSE(client.FTPUploadFile(putLocal(u"a.htm"_s, "a"), u"a.htm"_s));
    EXPECT_FALSE(client.DeleteFTPFile(u"a.htm"_s));
    const std::shared_ptr<cDirList> listing = client.GetDirectoryListing(u"*"_s);
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Count(), 0);
    client.CloseConnection();
    EXPECT_EQ(client.GetLastErrorMessage(), lastError);
}
