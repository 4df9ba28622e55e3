// The bound of a folder listing, against a server whose listings name a great many files: a
// folder of as many entries as a listing may hold is listed whole, one of more is not listed
// at all and the client says why, while the session goes on; `vellix ftp ls` says why too.

#include "cli/CliRun.h"
#include "servers/FtpTestServer.h"
#include "support/VellixTest.h"

#include "transport/ListingLimit.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QDir>

using namespace Qt::StringLiterals;

class ListingLimitTest : public VellixTest
{
protected:
    // A server whose listings name that many files more than the folder holds, and a session
    // on it standing in an empty folder.
    void start(int entries)
    {
        server = FtpTestServer::startScripted(u"many-entries=%1"_s.arg(entries));
        ASSERT_TRUE(server);
        ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/empty"_s));
        client.SetModePassive();
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        ASSERT_TRUE(client.SetFTPDirectory(u"/empty"_s));
    }

    void stop()
    {
        client.CloseConnection();
        server.reset();
    }

    void TearDown() override
    {
        stop();
        VellixTest::TearDown();
    }

    std::unique_ptr<FtpTestServer> server;
    cFTP client;
};

TEST_F(ListingLimitTest, AFolderOfMoreEntriesThanAListingMayHoldIsNotListed)
{
    const struct
    {
        int entries;
        bool listed;
    } cases[] = {
        {ListingLimit::MaxEntries, true},
        {ListingLimit::MaxEntries + 1, false},
    };
    for (const auto &c : cases) {
        start(c.entries);
        const std::shared_ptr<cDirList> listing = client.GetDirectoryListing(u"*"_s);
        if (c.listed) {
            // That a listed folder tells no reason is every list window's scenario.
            ASSERT_NE(listing, nullptr);
            EXPECT_EQ(listing->Count(), c.entries);
        } else {
            EXPECT_EQ(listing, nullptr);
            EXPECT_EQ(client.Directory()->Count(), 0);
            // The client's reason in full is the list window's scenario; `vellix ftp ls` says
            // why too.
            const CliRun run = runVellix({u"ftp"_s, u"--site"_s, server->site(), u"--user"_s,
                                          server->user(), u"--passive"_s, u"ls"_s, u"/empty/*"_s},
                                         server->password());
            EXPECT_NE(run.exitCode, 0);
            EXPECT_TRUE(run.err.contains(ListingLimit::tooManyEntriesText()))
                << run.err.toStdString();
            EXPECT_EQ(run.out, QString());
        }
        // The session goes on.
        EXPECT_TRUE(client.SetFTPDirectory(u"/"_s)) << c.entries;
        EXPECT_EQ(client.GetFTPDirectory(), u"/"_s) << c.entries;
        stop();
    }
}
