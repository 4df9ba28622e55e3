// Delete and Copy Down on a server that stops answering a command: Exit, pressed while the
// operation waits for the server's answer, ends the wait at once rather than at the server's
// timeout, and the operation stops there as cancelled, asking the server nothing more.

#include "operations/ListOperationsTest.h"

#include "course/RunScope.h"
#include "operations/LocalFileOperations.h"
#include "operations/RemoteFileOperations.h"

#include <QElapsedTimer>

using namespace std::chrono_literals;

namespace {

// Hooks that press Exit as the window does, once the server's log since `logged` shows the
// command: exitedIn takes the number of the session the Exit came in.
cFTP::Hooks exitOnceAsked(RecordingWindow &window, const QString &log, qsizetype logged,
                          const QByteArray &command, std::optional<quint64> &exitedIn)
{
    cFTP &client = *Shared().FtpClient;
    return {.pumpMessages =
                [&window, &client, log, logged, command, &exitedIn] {
                    if (exitedIn || !VellixTest::readFile(log).mid(logged).contains(command))
                        return;
                    exitedIn = client.connectionNumber();
                    window.stopped = true;
                    client.stopTransfer();
                    RunScope::requestCancel();
                },
            .cancelRequested = &RunScope::cancelRequested};
}

} // namespace

using StalledServerTest = ListOperationsTest;

TEST_P(StalledServerTest, ExitEndsTheWaitForTheServersAnswer)
{
    const struct
    {
        const char *operation;
        QByteArray stalled; // the command the server does not answer
        std::function<void(RemoteFileOperations &)> run;
        QStringList boxes;
    } cases[] = {
        {"Delete",
         "DELE a.txt",
         &RemoteFileOperations::deleteChecked,
         {u"Are you sure you want to delete the checked files?"_s,
          u"File 'a.txt', delete was cancelled by user!"_s}},
        {"Copy Down",
         "SIZE a.txt",
         &RemoteFileOperations::copyDown,
         {u"File, 'a.txt', was cancelled by the user."_s}},
    };
    serverFile(u"a.txt"_s, "a");
    serverFile(u"b.txt"_s, "b");
    cFTP &client = *Shared().FtpClient;
    // Without a way out, the test fails after this, not after the usual half minute.
    client.setTimeouts({5s, 5s, 5s});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.operation);
        list();
        window.check({u"a.txt"_s, u"b.txt"_s});
        window.stopped = false;
        ui().clear();
        ui().answer(Ui::Answer::Yes);
        const qsizetype logged = readFile(server->logPath()).size();
        const auto asked = [&] { return readFile(server->logPath()).mid(logged); };
        const quint64 session = client.connectionNumber();
        std::optional<quint64> exitedIn;
        client.setHooks(exitOnceAsked(window, server->logPath(), logged, c.stalled, exitedIn));
        RemoteFileOperations operations(window, LocalFolder);
        c.run(operations);
        client.setHooks({});

        EXPECT_EQ(exitedIn, session) << "Exit came only once the wait was over";
        EXPECT_EQ(texts(ui().boxes()), c.boxes);
        EXPECT_FALSE(asked().contains(" b.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(Scripted, StalledServerTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true,
                                                    u"stall-after=DELE,SIZE"_s}),
                         serverModeParameterName);

// Rename on a server that stops answering the rename, or the upload of the catalogue rebuilt
// after it, in either list (the local one renames the server's copy when the user wants it):
// Exit ends the wait at once, and the rename ends without a new session, a second upload or the
// connection counted as failed; as the server may have carried the rename out, the user hears
// that the catalogue needs a refresh rather than have it name the old file.
using StalledRenameTest = ListOperationsTest;

TEST_P(StalledRenameTest, ExitEndsTheWaitAndAsksForARefresh)
{
    const QString asked = u"'a.txt'\r\nNew Filename:"_s;
    const QString refresh = u"Sorry, you'll have to refresh the archive manually."_s;
    const struct
    {
        const char *list;
        std::function<void(ListWindowPort &)> rename;
        qsizetype offers; // boxes between the new name and the refresh
    } cases[] = {
        {"Remote Drive",
         [](ListWindowPort &window) { RemoteFileOperations(window, LocalFolder).renamefile(); }, 0},
        {"Local Drive",
         [](ListWindowPort &window) { LocalFileOperations(window, LocalFolder).renamefile(); }, 1},
    };
    cFTP &client = *Shared().FtpClient;
    client.setTimeouts({20s, 20s, 20s});
    const QByteArray stalled = GetParam().fault.section(u'=', 1).toUtf8();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        emptyBothFolders();
        serverFile(u"a.txt"_s, "a");
        writeFile(localPath(u"a.txt"_s), "a");
        if (client.GetFTPDirectory().isEmpty()) {
            ASSERT_TRUE(OpenSharedSession() && EnterMonthFolder());
        }
        window.model().setRows({FileRow::listed(u"a.txt"_s, 1, 0.0)});
        window.selected = 0;
        window.stopped = false;
        ui().clear();
        ui().answerInput(u"b.txt"_s);
        ui().answer(Ui::Answer::Yes);
        const qsizetype logged = readFile(server->logPath()).size();
        const quint64 session = client.connectionNumber();
        std::optional<quint64> exitedIn;
        client.setHooks(exitOnceAsked(window, server->logPath(), logged, stalled, exitedIn));
        QElapsedTimer waited;
        waited.start();
        c.rename(window);
        client.setHooks({});
        RunScope::clearCancel();

        EXPECT_EQ(exitedIn, session) << "Exit came only once the wait was over";
        EXPECT_LT(waited.elapsed(), 10000) << "the wait ran to the server's timeout";
        const QStringList boxes = texts(ui().boxes());
        EXPECT_EQ(boxes.size(), c.offers + 2) << boxes.join(u" # "_s).toStdString();
        EXPECT_EQ(boxes.value(0), asked);
        EXPECT_EQ(boxes.value(c.offers + 1), refresh);
        EXPECT_EQ(client.connectionNumber(), session) << "a new session after the Exit";
        EXPECT_FALSE(Shared().ConnectionFailed);
        EXPECT_FALSE(Shared().CatalogueUploadFailed) << "a second upload would follow the Exit";
        EXPECT_FALSE(window.busy);
    }
}

INSTANTIATE_TEST_SUITE_P(Rename, StalledRenameTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true,
                                                    u"stall-after=RNTO"_s}),
                         serverModeParameterName);
INSTANTIATE_TEST_SUITE_P(
    Catalogue, StalledRenameTest,
    testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true, u"stall-after=DELE"_s},
                    ServerMode{FtpTestServer::Kind::Scripted, false, u"stall-after=STOR"_s}),
    serverModeParameterName);
