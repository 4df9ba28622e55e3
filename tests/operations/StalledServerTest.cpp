// A Delete on a server that stops answering: Exit, pressed while the delete waits for the
// server's answer, ends the wait at once rather than at the server's timeout, and the delete
// stops there as cancelled, asking the server nothing more.

#include "operations/ListOperationsTest.h"

#include "course/RunScope.h"
#include "operations/RemoteFileOperations.h"

using namespace std::chrono_literals;

class StalledServerTest : public ListOperationsTest
{
protected:
    std::unique_ptr<FtpTestServer> startServer() override
    {
        return startOrSkip({}, [](QString *why) {
            return FtpTestServer::startScripted(u"stall-after=DELE"_s, why);
        });
    }
};

TEST_P(StalledServerTest, ExitEndsTheWaitForTheServersAnswer)
{
    serverFile(u"a.txt"_s, "a");
    serverFile(u"b.txt"_s, "b");
    list();
    window.check({u"a.txt"_s, u"b.txt"_s});
    cFTP &client = *Shared().FtpClient;
    // Without a way out, the test fails after this, not after the usual half minute.
    client.setTimeouts({5s, 5s, 5s});
    const quint64 session = client.connectionNumber();
    std::optional<quint64> exitedIn;
    // Exit as the window does it, once the server has the delete.
    client.setHooks({.pumpMessages =
                         [&] {
                             if (exitedIn || !readFile(server->logPath()).contains("DELE "))
                                 return;
                             exitedIn = client.connectionNumber();
                             window.stopped = true;
                             client.stopTransfer();
                             RunScope::requestCancel();
                         },
                     .cancelRequested = &RunScope::cancelRequested});
    ui().answer(Ui::Answer::Yes);
    RemoteFileOperations(window, LocalFolder).deleteChecked();
    client.setHooks({});

    EXPECT_EQ(exitedIn, session) << "Exit came only once the wait was over";
    EXPECT_EQ(texts(ui().boxes()).mid(1),
              QStringList{u"File 'a.txt', delete was cancelled by user!"_s});
    EXPECT_FALSE(readFile(server->logPath()).contains("DELE b.txt"));
}

INSTANTIATE_TEST_SUITE_P(Scripted, StalledServerTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true}),
                         serverModeParameterName);
