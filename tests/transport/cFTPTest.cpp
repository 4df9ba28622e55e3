// The FTP client against real servers on loopback (active and passive), and its failures.

#include "ClientSuite.h"
#include "servers/SilentFtpServer.h"

#include "platform/AutomationDate.h"
#include "platform/DosPath.h"
#include "platform/PartialName.h"
#include "platform/Prefix.h"
#include "transport/BlockTransfers.h"
#include "transport/InternetError.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The plain channel's upload tells every 255-byte block and then the whole once more; its
// download counts one byte ahead in every block but the last and tells nothing of an empty file.
Progress plainProgress(qint32 size, bool up)
{
    Progress events;
    const qint32 blocks = size / cFTP::BlockSize + 1;
    for (qint32 block = 1; block < blocks; ++block)
        events.append({up ? block * cFTP::BlockSize : block * cFTP::BlockSize + 1, size});
    if (up || size > 0)
        events.append({size, size});
    return events;
}

// The secure channel tells its progress often, each step further than the last, of the same
// whole, up to it, and the whole once more in 32 bits. An empty file need tell nothing.
testing::AssertionResult wentUpTo(const QSignalSpy &progress, const QSignalSpy &progress32,
                                  qint64 total)
{
    if (total == 0)
        return testing::AssertionSuccess();
    if (progress.count() < 1 + total / (2 << 20))
        return testing::AssertionFailure() << progress.count() << " steps only";
    qint64 done = -1;
    for (const QList<QVariant> &step : progress) {
        if (step.at(1).toLongLong() != total || step.at(0).toLongLong() <= done)
            return testing::AssertionFailure() << step.at(0).toLongLong() << " after " << done;
        done = step.at(0).toLongLong();
    }
    if (done != total)
        return testing::AssertionFailure() << "ended at " << done;
    if (progress32.last() != QList<QVariant>{qint32(total), qint32(total)})
        return testing::AssertionFailure() << "the 32-bit progress ended elsewhere";
    return testing::AssertionSuccess();
}

QString connectError(quint32 code)
{
    return u"InternetConnect error code: "_s + QString::number(code) + u" Message: "_s +
           InternetError::text(code);
}

} // namespace

using cFTPTest = ClientFixture;

// Scenarios that both channels walk alike.
using ClientTest = ClientSuite;

INSTANTIATE_TEST_SUITE_P(Channels, ClientTest, testing::ValuesIn(channels(true, true)),
                         testing::PrintToStringParamName());

// An upload replaces its target whole and takes its permissions: a private file stays private,
// a program stays runnable. What a failed upload left beside the target, under the target's
// temporary name, goes with it, also when it is a link another user put there.
TEST_P(ClientTest, AnUploadReplacesItsTargetAndWhatAFailedOneLeftBehind)
{
    const QString stale = PartialName::pathFor(u"run me.sh"_s);
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/stale"_s, "half a program"), stale));
    ASSERT_EQ(onServer(stale), "half a program");
    ASSERT_TRUE(
        client.FTPUploadFile(putLocal(u"up/run me.sh"_s, "a longer first copy"), u"run me.sh"_s));
    EXPECT_NE(onServer(stale), "half a program");
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/run me.sh"_s, "short"), u"run me.sh"_s));
    EXPECT_EQ(onServer(u"run me.sh"_s), "short");

    if (server->rootPath().isEmpty())
        GTEST_SKIP() << "the permissions need the server's folder";
    const QString folder = server->rootPath() + u'/' + work + u'/';
    const QString elsewhere = writeFile(folder + u"elsewhere"_s, "kept");
    ASSERT_TRUE(QFile::link(elsewhere, folder + stale));
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/run me.sh"_s, "linked"), u"run me.sh"_s));
    EXPECT_EQ(readFile(elsewhere), "kept");
    EXPECT_FALSE(QFileInfo(folder + u"run me.sh"_s).isSymLink());
    const QByteArray target = QFile::encodeName(folder + u"run me.sh"_s);
    for (const mode_t mode : {0600, 0751}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(target.constData(), mode), 0);
        ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/run me.sh"_s, "again"), u"run me.sh"_s));
        struct stat status = {};
        ASSERT_EQ(::stat(target.constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
}

// Every byte goes both ways, from a local path in DOS form (on drive C:); an old local file is
// replaced whole. An upload reads its file in runs of blocks: a size goes on past the end of the
// first run. A cancel leaves both sides as they were.
TEST_P(ClientTest, TransfersKeepEveryByteTellTheirProgressAndCanBeCancelled)
{
    const bool secure = GetParam().secure.has_value();
    // Where a local file lies, and the path the client is handed for it.
    const auto local = [this](bool dosForm, const QString &relative) {
        const QString linuxPath =
            dosForm ? Platform::Prefix::path(u"drive_c/"_s + relative) : tempPath(relative);
        QDir().mkpath(QFileInfo(linuxPath).absolutePath());
        return std::pair(linuxPath,
                         dosForm ? u"C:\\"_s + QString(relative).replace(u'/', u'\\') : linuxPath);
    };
    QSignalSpy progress(&client, &cFTP::TransferProgress);
    QSignalSpy progress32(&client, &cFTP::FileTransferProgress);
    const auto told = [&](qint32 size, bool up) {
        return secure ? wentUpTo(progress, progress32, size)
               : progressOf(progress32) == plainProgress(size, up)
                   ? testing::AssertionSuccess()
                   : testing::AssertionFailure() << progress32.count() << " steps";
    };
    // Only the secure channel takes Linux paths as well.
    for (const bool dosForm : secure ? QList{true, false} : QList{true}) {
        for (const qint32 size :
             {0, 255, 300, 510, BlockTransfers::RunBlocks * cFTP::BlockSize + 300, 3000001}) {
            const QString name = u"file %1 %2.bin"_s.arg(size).arg(dosForm ? u"dos"_s : u"linux"_s);
            SCOPED_TRACE(name.toStdString());
            const QByteArray content = patterned(size);
            const auto [upPath, upGiven] = local(dosForm, u"up/"_s + name);
            writeFile(upPath, content);
            progress.clear();
            progress32.clear();
            ASSERT_TRUE(client.FTPUploadFile(upGiven, name));
            EXPECT_TRUE(told(size, true));
            EXPECT_TRUE(onServer(name) == content);
            EXPECT_EQ(client.GetFTPFileSize(name), size);

            const auto [downPath, downGiven] = local(dosForm, u"down/"_s + name);
            if (size > 0)
                writeFile(downPath, patterned(size + 1000));
            progress.clear();
            progress32.clear();
            // The plain channel does not fetch an empty file.
            EXPECT_EQ(client.FTPDownloadFile(downGiven, name), secure || size > 0)
                << client.GetLastErrorMessage().toStdString();
            EXPECT_TRUE(told(size, false));
            EXPECT_TRUE(readFile(downPath) == content);
            EXPECT_EQ(QFile::exists(downPath), secure || size > 0);
        }
    }

    // A cancel ends a transfer after the block it was seen in: the server keeps its copy, the
    // local side keeps the user's file, nothing but a hidden partial file is left beside either
    // (which a later transfer continues), and the session goes on.
    const QString up = putLocal(u"up.bin"_s, patterned(3 << 20));
    ASSERT_TRUE(client.FTPUploadFile(up, u"served.bin"_s));
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"old.bin"_s, "the server's copy"), u"kept.bin"_s));
    const QString owned = putLocal(u"own/owned.bin"_s, "the user's copy");
    const QStringList serverBefore = listed(u"*"_s);
    const std::pair<const char *, std::function<bool()>> transfers[] = {
        {"upload", [&] { return client.FTPUploadFile(up, u"kept.bin"_s); }},
        {"download", [&] { return client.FTPDownloadFile(owned, u"served.bin"_s); }},
    };
    for (const auto &[what, transfer] : transfers) {
        SCOPED_TRACE(what);
        progress.clear();
        client.setHooks({.cancelRequested = [&] { return progress.count() > 0; }});
        EXPECT_FALSE(transfer());
        client.setHooks({});
        EXPECT_EQ(progress.count(), 1) << "progress after the cancel";
        EXPECT_EQ(withoutPartials(listed(u"*"_s)), serverBefore);
        EXPECT_EQ(onServer(u"kept.bin"_s), "the server's copy");
        EXPECT_EQ(withoutPartials(QDir(tempPath(u"own"_s)).entryList(QDir::Files | QDir::Hidden)),
                  QStringList{u"owned.bin"_s});
        EXPECT_EQ(readFile(tempPath(u"own/owned.bin"_s)), "the user's copy");
        ASSERT_EQ(client.GetFTPDirectory(), workPath()) << "the session was lost";
    }
}

TEST_P(ClientTest, APageTravelsWithItsCompanionFolder)
{
    client.setTemporaryFolder(u"C:\\"_s); // where the page's upload copy is written
    putLocal(u"site/a b.htm"_s, "<img src=\"a b_files/pic.gif\"><a href=\"a%20b_files/pic.gif\">"
                                "A b_files</a>");
    putLocal(u"site/a b_files/pic.gif"_s, "GIF89a");
    putLocal(u"site/a b_files/Thumbs.db"_s, "thumbnails");
    const QByteArray pageOnServer =
        "<img src=\"a_b_files/pic.gif\"><a href=\"a_b_files/pic.gif\">A b_files</a>";
    const QDir driveC(Platform::DosPath::toLinux(u"C:\\"_s));
    const QStringList localBefore = driveC.entryList(QDir::Files);

    ASSERT_TRUE(client.FTPUploadFile(dos(u"site/a b.htm"_s), u"a b.htm"_s));
    EXPECT_EQ(listed(u"*"_s), QStringList({u"a b.htm"_s, u"a_b_files/"_s}));
    EXPECT_EQ(listed(u"a_b_files/*"_s), QStringList{u"pic.gif"_s}); // no thumbnail database
    EXPECT_EQ(onServer(u"a b.htm"_s), pageOnServer);
    EXPECT_EQ(client.GetFTPDirectory(), workPath());
    EXPECT_EQ(driveC.entryList(QDir::Files), localBefore); // no copy of the page is left

    ASSERT_TRUE(client.FTPDownloadFile(dos(u"down/a b.htm"_s), u"a b.htm"_s));
    EXPECT_EQ(readFile(tempPath(u"down/a b.htm"_s)), pageOnServer);
    EXPECT_EQ(readFile(tempPath(u"down/a_b_files/pic.gif"_s)), "GIF89a");
    EXPECT_EQ(client.GetFTPDirectory(), workPath());

    EXPECT_TRUE(client.DeleteFTPFile(u"a b.htm"_s));
    EXPECT_EQ(listed(u"*"_s), QStringList());
    EXPECT_EQ(client.GetFTPDirectory(), workPath());

    // A companion folder that is a link to another folder's: the delete of its page comes back
    // to the page's folder, not to the folder above the link's target.
    if (server->rootPath().isEmpty())
        return;
    const QString folder = server->rootPath() + u'/' + work;
    writeFile(folder + u"/b.htm"_s, "page");
    writeFile(folder + u"/other/b.htm"_s, "another page");
    writeFile(folder + u"/other/b_files/pic.gif"_s, "GIF89a");
    ASSERT_TRUE(QFile::link(u"other/b_files"_s, folder + u"/b_files"_s));
    EXPECT_TRUE(client.DeleteFTPFile(u"b.htm"_s));
    EXPECT_FALSE(QFile::exists(folder + u"/b.htm"_s));
    EXPECT_TRUE(QFile::exists(folder + u"/other/b.htm"_s));
    EXPECT_EQ(client.GetFTPDirectory(), workPath());
}

// A download into a pipe writes into it, which stays a pipe. A device is written into and a
// socket refused alike: those are the local file's own rules. An upload of a pipe that no one
// writes into waits for its bytes where the user can give up, not in opening it: the cancel ends
// it, and nothing is left on the server. Should the upload hang in opening the pipe, a writer that
// comes and goes at once ends the wait, so the test fails rather than hangs.
TEST_P(ClientTest, PipesAreWrittenIntoAndAnUploadOfOneWithoutWriterCanBeCancelled)
{
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/lesson.txt"_s, "a lesson"), u"lesson.txt"_s));
    const QString path = tempPath(u"down/target"_s);
    ASSERT_TRUE(makePipe(path));
    // The pipe's reader is there before the download; what it gets waits in the pipe.
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(client.FTPDownloadFile(dos(u"down/target"_s), u"lesson.txt"_s))
        << client.failureReason().toStdString();
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 8);
    EXPECT_STREQ(received, "a lesson");
    ::close(reader);
    EXPECT_TRUE(isPipe(path));
    EXPECT_EQ(QDir(tempPath(u"down"_s))
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"target"_s});

    const QString pipe = tempPath(u"up/silent.fifo"_s);
    ASSERT_TRUE(makePipe(pipe));
    std::promise<void> returned;
    bool rescued = false;
    std::thread rescuer([&, upload = returned.get_future()] {
        if (upload.wait_for(10s) == std::future_status::timeout)
            rescued =
                ::close(::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK)) == 0;
    });
    int asked = 0;
    client.setHooks({.cancelRequested = [&] { return ++asked > 3; }});
    EXPECT_FALSE(client.FTPUploadFile(dos(u"up/silent.fifo"_s), u"silent.bin"_s));
    client.setHooks({});
    returned.set_value();
    rescuer.join();
    EXPECT_FALSE(rescued) << "the upload waited in opening the pipe";
    EXPECT_EQ(listed(u"*"_s), QStringList{u"lesson.txt"_s});
    ASSERT_EQ(client.GetFTPDirectory(), workPath()) << "the session was lost";
}

// A second login replaces the first, which stands in the test's folder, and starts in the login
// folder; a refused one leaves no session, and a closed session does nothing.
TEST_P(ClientTest, ASecondLoginReplacesTheFirstAndARefusedOneLeavesNoSession)
{
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"a.txt"_s, "a"), u"a.txt"_s));
    ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
    if (GetParam().secure != SftpTestServer::Kind::External) {
        EXPECT_EQ(client.GetFTPDirectory(), server->homeDir());
    }
    EXPECT_EQ(client.GetFTPFileSize(workPath() + u"/a.txt"_s), 1);

    // The server's words for the refusal are the command line's --tls scenario.
    EXPECT_FALSE(client.OpenConnection(server->site(), server->user(), server->password() + u'x'));
    EXPECT_EQ(client.GetFTPDirectory(), QString());
    EXPECT_EQ(client.GetFTPFileSize(u"a.txt"_s), -2);

    ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
    client.CloseConnection();
    EXPECT_EQ(client.GetFTPDirectory(), QString());
    EXPECT_FALSE(client.FTPUploadFile(putLocal(u"b.txt"_s, "b"), u"b.txt"_s));
}

// Names with blanks, quotes and letters of any script survive every operation, also as folder
// names and as the new name of a rename. "a" and `a" "b.txt` both exist: a name made of two
// names must not read as them.
TEST_P(ClientTest, NamesWithBlanksQuotesAndAccentsSurvive)
{
    const QStringList names{u"my file.txt"_s,
                            u"it's \"quoted\".txt"_s,
                            u"Tom & Jerry.txt"_s,
                            u"Übung März é 日本語.txt"_s,
                            u"a"_s,
                            u"a\" \"b.txt"_s};
    QStringList renamed;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray content = name.toUtf8();
        ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/"_s + name, content), name));
        EXPECT_EQ(onServer(name), content);
        EXPECT_EQ(client.GetFTPFileSize(name), content.size());
        EXPECT_TRUE(client.FTPDownloadFile(dos(u"down/"_s + name), name));
        EXPECT_EQ(readFile(tempPath(u"down/"_s + name)), content);
        // Server names may hold backslashes, which stand as they are.
        renamed << u"renamed\\"_s + name;

        const QString folder = u"folder "_s + name;
        ASSERT_TRUE(client.CreateFTPDirectory(folder));
        ASSERT_TRUE(client.SetFTPDirectory(folder));
        EXPECT_EQ(client.GetFTPDirectory(), workPath() + u'/' + folder);
        ASSERT_TRUE(client.SetFTPDirectory(u".."_s));
        EXPECT_TRUE(client.RemoveFTPDirectory(folder));
    }
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(listed(u"*"_s), sorted);

    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(client.RenameFTPFile(names.at(i), renamed.at(i))) << names.at(i).toStdString();
        EXPECT_EQ(onServer(renamed.at(i)), names.at(i).toUtf8());
    }
    renamed.sort();
    EXPECT_EQ(listed(u"*"_s), renamed);
    for (const QString &name : std::as_const(renamed))
        EXPECT_TRUE(client.DeleteFTPFile(name)) << name.toStdString();
    EXPECT_EQ(listed(u"*"_s), QStringList());
}

// Listings of folders and patterns become records; the engine's patterns are its own suite's.
// The plain channel looks a size up as a pattern, a blank as "?", so that without a file of
// exactly that name a look-alike answers; the secure channel asks for the name as it is.
TEST_P(ClientTest, ListingsAndSizeLookUpsFindTheirEntries)
{
    const QString five = putLocal(u"five.txt"_s, "12345");
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub"_s));
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub/inner"_s));
    for (const QString &remote : {u"sub/file1.txt"_s, u"sub/file2.txt"_s, u"sub/fileX.htm"_s,
                                  workPath() + u"/sub/inner/deep.txt"_s})
        ASSERT_TRUE(client.FTPUploadFile(five, remote)) << remote.toStdString();

    const QString lastError = client.GetLastErrorMessage();
    const struct
    {
        QString filter;
        QStringList names;
    } cases[] = {
        {u"sub/*"_s, {u"file1.txt"_s, u"file2.txt"_s, u"fileX.htm"_s, u"inner/"_s}},
        {u"sub"_s, {u"file1.txt"_s, u"file2.txt"_s, u"fileX.htm"_s, u"inner/"_s}},
        {u"sub/file1.txt"_s, {u"file1.txt"_s}},
        {workPath() + u"/sub/inner/*"_s, {u"deep.txt"_s}},
        {u"*"_s, {u"sub/"_s}},
        {u"sub/nothing?"_s, {}},
        {u"sub/FILE1.TXT"_s, {}},
    };
    for (const auto &[filter, names] : cases)
        EXPECT_EQ(listed(filter), names) << filter.toStdString();
    // Nothing found is no failure to record.
    EXPECT_EQ(client.GetLastErrorMessage(), lastError);
    EXPECT_EQ(listed(u"nowhere/*"_s), QStringList());

    // The server's time of the file: the time of its upload. Its exact second in every zone is
    // the command line's listing scenario's.
    ASSERT_NE(client.GetDirectoryListing(u"sub/*"_s), nullptr);
    const cDirItem *file = client.Directory()->Item(u"FILE1.TXT"_s);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::tuple(file->FileSize, file->Normal, file->Directory),
              std::tuple(5, true, false));
    EXPECT_NEAR(file->LastWriteTime,
                Platform::AutomationDate::fromDateTime(QDateTime::currentDateTime()), 1.0 / 24);
    const cDirItem *folder = client.Directory()->Item(u"inner"_s);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(std::pair(folder->Normal, folder->Directory), std::pair(false, true));

    const std::pair<QString, QByteArray> files[] = {{u"my file.txt"_s, "eleven byte"},
                                                    {u"my_file.txt"_s, "four"},
                                                    {u"look_alike.txt"_s, "six b."}};
    for (const auto &[name, content] : files)
        ASSERT_TRUE(client.FTPUploadFile(putLocal(u"up/"_s + name, content), name));
    const bool secure = GetParam().secure.has_value();
    const std::pair<QString, qint64> sizes[] = {
        {u"my file.txt"_s, 11},
        {u"my_file.txt"_s, 4},
        {u"look alike.txt"_s, secure ? -1 : 6},
        {workPath() + u"/my_file.txt"_s, 4},
        {u"missing.txt"_s, -1},
    };
    for (const auto &[name, size] : sizes)
        EXPECT_EQ(client.GetFTPFileSize(name), size) << name.toStdString();
}

// The plain channel: block transfers, wildcard size look-ups and the server's own refusals.
using cFTPServerTest = ClientSuite;

INSTANTIATE_TEST_SUITE_P(Servers, cFTPServerTest, testing::ValuesIn(channels(true, false)),
                         testing::PrintToStringParamName());

// A page whose upload copy cannot be made, or whose copy's upload is cancelled, does not go
// up: neither unchanged (its links would name a folder the server does not have) nor twice.
// Names in a page's companion folder on the server never lead out of the local folder, and
// never replace anything there but a file. How a refused name is told is the command line's
// scenario.
TEST_P(cFTPServerTest, APageGoesUpOnlyWithItsCopyAndComesDownOnlyIntoItsFolder)
{
    putLocal(u"site/a b.htm"_s, QByteArray(600, 'p') + "<img src=\"a b_files/pic.gif\">");
    putLocal(u"site/a b_files/pic.gif"_s, "GIF89a");
    const struct
    {
        const char *how;
        QString temporaryFolder;
        bool cancel;
    } cases[] = {
        {"no folder for the copy", u"C:\\no such folder\\"_s, false},
        {"copy's upload cancelled", u"C:\\"_s, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        client.setTemporaryFolder(c.temporaryFolder);
        // The cancel request comes after the first block.
        int blocks = 0;
        if (c.cancel) {
            client.setHooks(
                {.pumpMessages = [&] { ++blocks; }, .cancelRequested = [&] { return blocks > 0; }});
        }
        EXPECT_FALSE(client.FTPUploadFile(dos(u"site/a b.htm"_s), u"a b.htm"_s));
        // The companion files went up first and stay; only the page's own partial file goes.
        EXPECT_EQ(listed(u"*"_s), QStringList{u"a_b_files/"_s});
        // A cancelled copy ends the upload: no second transfer of the page alone.
        EXPECT_EQ(blocks, c.cancel ? 1 : 0);
        client.setHooks({});
    }

    if (server->rootPath().isEmpty())
        GTEST_SKIP() << "needs the server's folder";
    const QString folder = server->rootPath() + u'/' + work + u"/page_files/"_s;
    writeFile(server->rootPath() + u'/' + work + u"/page.htm"_s, "<img src=\"page_files/a.gif\">");
    writeFile(folder + u"a.gif"_s, "GIF89a");
    writeFile(folder + u"b\\..\\..\\up.txt"_s, "not for this side");
    // A pipe the user keeps where a part would go stays a pipe.
    writeFile(folder + u"pipe.gif"_s, "not for a pipe");
    const QString pipe = tempPath(u"down/page_files/pipe.gif"_s);
    ASSERT_TRUE(makePipe(pipe));
    QSignalSpy taken(&client, &cFTP::LocalFileRefused);

    ASSERT_TRUE(client.FTPDownloadFile(dos(u"down/page.htm"_s), u"page.htm"_s));
    EXPECT_EQ(readFile(tempPath(u"down/page_files/a.gif"_s)), "GIF89a");
    ASSERT_EQ(taken.size(), 1);
    EXPECT_EQ(taken.at(0).at(0).toString(), Platform::DosPath::toDos(pipe));
    EXPECT_TRUE(isPipe(pipe));
    // Nothing but the page and its one picture.
    EXPECT_EQ(filesBelow(tempPath(u"down"_s)), QStringList({u"page.htm"_s, u"page_files/a.gif"_s}));
}

// Closing the session from the message loop under a transfer, or stopping the transfer at exit
// (the cancel requested besides, as the windows do), ends the transfer cleanly: a stop lets the
// cut upload take its small partial file away before the plain channel closes the session. The
// message loop runs as every wait of the next connect begins, not only once a server keeps it
// waiting: a connect of many quick answers holds the thread no longer than one that stalls.
TEST_P(cFTPServerTest, ClosingOrStoppingUnderATransferEndsItCleanly)
{
    EXPECT_TRUE(client.stopClosesSession());
    bool stopped = false;
    QSignalSpy progress(&client, &cFTP::TransferProgress);
    const std::pair<const char *, std::function<void()>> ends[] = {
        {"close", [&] { client.CloseConnection(); }},
        {"stop",
         [&] {
             if (!progress.isEmpty()) {
                 client.stopTransfer();
                 stopped = true;
             }
         }},
    };
    for (const auto &[how, end] : ends) {
        SCOPED_TRACE(how);
        progress.clear();
        const QString folder = client.GetFTPDirectory();
        const QStringList before = listed(u"*"_s);
        client.setHooks({.pumpMessages = end, .cancelRequested = [&] { return stopped; }});
        EXPECT_FALSE(
            client.FTPUploadFile(putLocal(u"big.bin"_s, patterned(10 * 255)), u"big.bin"_s));
        client.setHooks({});
        if (!stopped) {
            EXPECT_TRUE(
                client.GetLastErrorMessage().startsWith(u"InternetWriteFile error code: 12111 "_s))
                << client.GetLastErrorMessage().toStdString();
        }
        EXPECT_EQ(client.GetFTPDirectory(), QString());
        int pumps = 0;
        client.setHooks({.pumpMessages = [&pumps] { ++pumps; }});
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        client.setHooks({});
        // The TCP connect, the greeting, AUTH TLS, USER, PASS, FEAT and PWD at least.
        EXPECT_GE(pumps, 7);
        EXPECT_EQ(client.GetFTPDirectory(), server->homeDir());
        if (stopped) {
            ASSERT_TRUE(client.SetFTPDirectory(folder));
            EXPECT_EQ(listed(u"*"_s), before) << "the cut upload left its partial file";
        }
    }
}

// Deleting, changing the folder and a download that leaves the local side as it was are the
// command line's failed-command scenario.
TEST_P(cFTPServerTest, RefusalsAreToldInTheServersWords)
{
    const std::pair<const char *, std::function<bool()>> refusals[] = {
        {"rename", [&] { return client.RenameFTPFile(u"missing.txt"_s, u"other.txt"_s); }},
        {"remove folder", [&] { return client.RemoveFTPDirectory(u"missing"_s); }},
        {"get", [&] { return client.SimpleFTPGetFile(dos(u"got.txt"_s), u"missing.txt"_s); }},
    };
    for (const auto &[operation, call] : refusals) {
        EXPECT_FALSE(call()) << operation;
        EXPECT_TRUE(client.GetLastErrorMessage().startsWith(u"550"_s))
            << operation << ": " << client.GetLastErrorMessage().toStdString();
    }
}

// A server that stops answering in the middle of a transfer, while the data it was sent or
// sending waits in the system's buffers: the transfer keeps the message loop running, so that
// a Cancel pressed while it waits (a timer here) ends it, long before any timeout would.
TEST_F(cFTPTest, ACancelEndsATransferThatTheServerKeepsWaiting)
{
    const auto server = startOrSkip(FtpTestServer::Kind::Pyftpdlib);
    ASSERT_TRUE(server);
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
    // The last upload's partial, too small to continue, went not with its lost session but
    // with the next one.
    ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
    EXPECT_EQ(QDir(server->rootPath()).entryList(QDir::Files | QDir::Hidden), QStringList{remote});
}

// A transfer cut after its first megabyte leaves a partial that the next transfer continues,
// moving only the rest and checking the whole file (the plain continuation in either direction is
// the command line's "-c" scenario); a partial that is no part of the file any more, or a server
// that cannot continue a download, starts over; a file whose check fails comes once more from the
// start, not through a link that stands in the partial's place.
TEST_F(cFTPTest, ACutTransferResumesWhatIsStillPartOfTheFile)
{
    constexpr qint64 Size = 3 << 20;
    const QString cut = u"cut-once=%1"_s.arg(1 << 20);
    const QString serverFile = u"lesson.bin"_s;
    const QString localFile = tempPath(u"lesson.bin"_s);
    // FromStart: the server takes the restart and sends from the first byte; what it moves before
    // the client stops reading varies, the whole file that follows does not.
    enum class Again { Rest, Whole, RestThenWhole, FromStart };
    const struct
    {
        const char *title;
        bool upload;
        QString faults;
        bool changed; // on the side it comes from, after the cut
        Again moved;
        bool linked = false;   // the partial is moved elsewhere after the cut, a link in its place
        bool keptDate = false; // the changed file keeps its old date, from before the cut
    } cases[] = {
        {"download of a file changed since", false, cut, true, Again::Whole},
        {"upload of a file changed since", true, cut, true, Again::Whole},
        {"download without REST", false, cut + u"+refuse=REST"_s, false, Again::Whole},
        {"upload without REST", true, cut + u"+refuse=REST"_s, false, Again::Rest},
        {"download that fails its check", false, cut + u"+wrong-hash"_s, false,
         Again::RestThenWhole},
        {"upload that fails its check", true, cut + u"+wrong-hash"_s, false, Again::RestThenWhole,
         true},
        {"download that ignores REST", false, cut + u"+ignore-rest"_s, false, Again::FromStart},
        {"download without SIZE", false, cut + u"+no-size"_s, false, Again::Rest},
        {"upload without SIZE", true, cut + u"+no-size"_s, false, Again::Rest},
        {"upload of a file replaced under its old date", true, cut + u"+refuse=HASH"_s, true,
         Again::Whole, false, true},
    };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto setDate = [](const QString &path, const QDateTime &date) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(date, QFileDevice::FileModificationTime);
    };
    for (const auto &c : cases) {
        // Each direction meets the cut in both modes: pairs of cases alternate.
        const bool passive = (&c - cases) / 2 % 2 == 1;
        SCOPED_TRACE(
            u"%1, %2"_s.arg(QLatin1StringView(c.title), passive ? u"passive"_s : u"active"_s)
                .toStdString());
        passive ? client.SetModePassive() : client.SetModeActive();
        const auto server = FtpTestServer::startScripted(c.faults);
        ASSERT_TRUE(server);
        const QString onServer = server->rootPath() + u'/' + serverFile;
        QFile::remove(localFile);
        writeFile(c.upload ? localFile : onServer, patterned(Size));
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        const auto transfer = [&] {
            return c.upload ? client.FTPUploadFile(dos(u"lesson.bin"_s), serverFile)
                            : client.FTPDownloadFile(dos(u"lesson.bin"_s), serverFile);
        };
        ASSERT_FALSE(transfer());
        const QString partial = c.upload
                                    ? server->rootPath() + u'/' + PartialName::pathFor(serverFile)
                                    : PartialName::pathFor(localFile);
        const qint64 kept = QFileInfo(partial).size();
        ASSERT_GT(kept, 0) << "no partial was kept";
        const QString from = c.upload ? localFile : onServer;
        const QString elsewhere = server->rootPath() + u"/elsewhere.bin"_s;
        if (c.linked) {
            ASSERT_TRUE(QFile::rename(partial, elsewhere) && QFile::link(elsewhere, partial));
        }
        if (c.changed) {
            writeFile(from, patterned(Size).replace('a', 'b'));
            // A file copied in with its date kept (cp -p) is older than the cut by its date.
            ASSERT_TRUE(setDate(from, c.keptDate ? now.addSecs(-600) : now.addSecs(120)));
            if (c.keptDate) {
                ASSERT_TRUE(setDate(partial, now.addSecs(-120)));
            }
        }

        QSignalSpy resumed(&client, &cFTP::TransferResumed);
        const qsizetype before = movedBytes(server->logPath()).size();
        ASSERT_TRUE(transfer()) << client.GetLastErrorMessage().toStdString();
        const QList<qint64> moved = movedBytes(server->logPath()).mid(before);
        const QList<qint64> expected = c.moved == Again::Rest    ? QList<qint64>{Size - kept}
                                       : c.moved == Again::Whole ? QList<qint64>{Size}
                                                                 : QList<qint64>{Size - kept, Size};
        if (c.moved == Again::FromStart)
            EXPECT_EQ(moved.value(moved.size() - 1), Size);
        else
            EXPECT_EQ(moved, expected);
        EXPECT_EQ(resumed.count(), c.moved == Again::Whole ? 0 : 1);
        EXPECT_TRUE(readFile(c.upload ? onServer : localFile) == readFile(from));
        EXPECT_FALSE(QFile::exists(partial)) << "the partial stayed";
        EXPECT_FALSE(QFileInfo(onServer).isSymLink());
        client.CloseConnection();
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
        const bool opened = client.OpenConnection(site, u"user"_s, u"secret"_s,
                                                  [&] { return pumps >= c.pumpsBeforeStop; });
        // Cancelled, the login kept, stopped where it waited, the server reached only under way.
        EXPECT_EQ(std::tuple(opened, client.connectFailureReason(), client.loginRefused(), pumps,
                             server.connectionCount() > 0),
                  std::tuple(false, u"Connecting was cancelled."_s, false, c.pumpsBeforeStop,
                             c.pumpsBeforeStop > 0));
        if (!c.secure) {
            EXPECT_EQ(client.GetLastErrorMessage(),
                      connectError(InternetError::OperationCancelled));
        }
    }
}

// A failed connect leaves no session, and the plain form records it with its number. Without a
// session every form fails and changes nothing: the plain forms record why; the secure ones leave
// the text a plain failure left.
TEST_F(cFTPTest, FailedConnectsLeaveNoSessionAndEveryFormFailsCleanly)
{
    client.CloseConnection();
    EXPECT_EQ(client.GetLastErrorMessage(), QString());
    EXPECT_FALSE(client.OpenConnection(u"nohost.invalid"_s, u"user"_s, u"secret"_s));
    EXPECT_EQ(client.GetLastErrorMessage(), connectError(InternetError::NameNotResolved));
    const QString refused = u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort());
    for (const bool secure : {false, true}) {
        SCOPED_TRACE(secure ? "secure" : "plain");
        client.setSecure(secure);
        EXPECT_FALSE(client.OpenConnection(refused, u"user"_s, u"secret"_s));
        const QString lastError = client.GetLastErrorMessage();
        EXPECT_EQ(client.GetFTPDirectory(), QString());
        if (!secure) {
            EXPECT_TRUE(client.GetLastErrorMessage().startsWith(
                u"FtpGetCurrentDirectory error code: 12019 "_s))
                << client.GetLastErrorMessage().toStdString();
        }
        EXPECT_EQ(client.GetFTPFileSize(u"a.txt"_s), -2);
        EXPECT_FALSE(client.SetFTPDirectory(u"/web"_s));
        EXPECT_FALSE(client.FTPUploadFile(putLocal(u"a.htm"_s, "a"), u"a.htm"_s));
        EXPECT_FALSE(client.DeleteFTPFile(u"a.htm"_s));
        EXPECT_FALSE(client.FTPDownloadFile(dos(u"b.txt"_s), u"a.txt"_s));
        EXPECT_FALSE(QFile::exists(tempPath(u"b.txt"_s)));
        EXPECT_EQ(client.GetDirectoryListing(u"*"_s) != nullptr, secure);
        EXPECT_EQ(client.Directory()->Count(), 0);
        client.CloseConnection();
        if (secure) {
            EXPECT_EQ(client.GetLastErrorMessage(), lastError);
        }
    }
}
