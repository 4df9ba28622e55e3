// Every transfer under scripted faults: a server that cuts, stalls, lies about sizes and
// confirmations, floods its replies, points elsewhere, names files hostilely, or lets an
// intruder at the data port. Whatever the fault, each operation ends within the timeouts with
// a clear error, reports success only with the server's confirmation, keeps the user's files
// and the server's earlier version, and writes nowhere but where it was told. The matrix
// (fault x operation -> outcome) is printed in the test log.

#include "servers/ServerModes.h"
#include "support/VellixTest.h"

#include "course/ArchiveCatalogue.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>

#include <iostream>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

enum class Expect { Succeeds, Fails, Either };

// What each operation must come to under a fault, in either mode.
struct Fault
{
    const char *script; // the scripted server's faults
    Expect upload = Expect::Succeeds;
    Expect download = Expect::Succeeds;
    Expect listing = Expect::Succeeds;
    Expect refresh = Expect::Succeeds;
};

constexpr auto S = Expect::Succeeds;
constexpr auto F = Expect::Fails;
constexpr auto E = Expect::Either;

// Faults that meet different operations share a server: each operation still meets one of them.
const Fault Faults[] = {
    {"stall-after=RETR", S, F, S, S},
    {"stall-after=STOR+short-data=1000", F, F, S, F},
    // The upload is confirmed, but the session is gone before the file could be put in place.
    // The size of a download comes from the listing.
    {"drop-after=STOR+no-size", F, S, S, F},
    {"long-data=100", S, F, S, S},
    {"stall-data=1000", S, F, S, S},
    {"cut-data=1000", F, F, S, E},
    {"no-confirm", F, F, S, F},
    {"long-line", F, F, F, F},
    {"endless-reply", F, F, F, F},
    // Features offered, then refused as unknown: the client does as if they had not been offered.
    {"pasv-elsewhere+evil-names+refuse=MLST,SIZE"},
    {"intruder+no-rename-over+refuse=MLSD,EPSV"},
    // A server that renames nothing keeps the old file of every upload that must replace it.
    {"refuse=RNTO", F, S, S, F},
    // A catalogue is not rebuilt from folders that could not be listed.
    {"refuse=MLSD,LIST", S, S, F, F},
};

std::string faultName(const testing::TestParamInfo<Fault> &info)
{
    std::string name = info.param.script;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

const QByteArray OldVersion = "the server's earlier version\n";
const QByteArray UsersFile = "the user's own file\n";

} // namespace

class FaultSuiteTest
    : public VellixTest
    , public testing::WithParamInterface<Fault>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        server = FtpTestServer::startScripted(QString::fromLatin1(GetParam().script));
        ASSERT_TRUE(server);
    }

    void TearDown() override
    {
        Shared().FtpClient.reset();
        server.reset();
        VellixTest::TearDown();
    }

    QString root(const QString &relative) const { return server->rootPath() + u'/' + relative; }

    // The server's folder and the local folder as every operation finds them.
    void layOut()
    {
        QDir(server->rootPath()).removeRecursively();
        QDir().mkpath(server->rootPath());
        writeFile(root(u"target.bin"_s), OldVersion);
        writeFile(root(u"file.bin"_s), content);
        writeFile(root(u"DV/smith/spring/November_2006/week 1.pdf"_s), "pdf");
        QDir(tempPath(u"down"_s)).removeRecursively();
        writeFile(tempPath(u"down/file.bin"_s), UsersFile);
    }

    // Connects a client with short timeouts, so that a stalled server costs seconds.
    bool open(cFTP &client, bool passive)
    {
        client.setTimeouts({2s, 2s, 2s});
        if (passive)
            client.SetModePassive();
        return client.OpenConnection(server->site(), server->user(), server->password());
    }

public:
    // One operation's outcome: whether it reported success, and what it said otherwise.
    struct Outcome
    {
        bool succeeded = false;
        QString said;
    };

    Outcome upload(bool passive)
    {
        cFTP client;
        const QString local = Platform::DosPath::toDos(writeFile(tempPath(u"up.bin"_s), content));
        const bool done = open(client, passive) && client.FTPUploadFile(local, u"target.bin"_s);
        const Outcome outcome{done, client.GetLastErrorMessage()};
        // Only the server's confirmation puts the new file in place; else the old one stays,
        // and a session that is still there leaves no partial file behind.
        EXPECT_EQ(readFile(root(u"target.bin"_s)), done ? content : OldVersion);
        if (!client.GetFTPDirectory().isEmpty()) {
            EXPECT_EQ(
                QDir(server->rootPath()).entryList({u".vellix-*"_s}, QDir::Files | QDir::Hidden),
                QStringList());
        }
        return outcome;
    }

    Outcome download(bool passive)
    {
        cFTP client;
        const bool done =
            open(client, passive) &&
            client.FTPDownloadFile(Platform::DosPath::toDos(tempPath(u"down"_s)) + u"\\file.bin"_s,
                                   u"file.bin"_s);
        // The user's file stays as it was unless the download succeeded, and nothing is beside it.
        EXPECT_EQ(readFile(tempPath(u"down/file.bin"_s)), done ? content : UsersFile);
        EXPECT_EQ(filesBelow(tempPath(u"down"_s)), QStringList{u"file.bin"_s});
        return {done, client.GetLastErrorMessage()};
    }

    Outcome listing(bool passive)
    {
        cFTP client;
        const bool done = open(client, passive) && client.GetDirectoryListing(u"*"_s) != nullptr;
        for (const cDirItem &item : *client.Directory()) {
            EXPECT_FALSE(item.Filename.isEmpty() || item.Filename == u"."_s ||
                         item.Filename == u".."_s || item.Filename.contains(u'/'))
                << item.Filename.toStdString();
        }
        return {done, client.GetLastErrorMessage()};
    }

    Outcome refresh(bool passive)
    {
        SharedState &state = Shared();
        cFTP &client = CreateSharedClient();
        state.CourseName = u"smith"_s;
        state.ArchiveName = u"spring"_s;
        state.WebRoot = u"/DV"_s;
        state.ArchiveDir = u"/DV/smith/spring"_s;
        state.HomeDir = u"/"_s;
        state.HostFolder = u"C:\\Dovrelle\\"_s;
        state.StartMonth = state.EndMonth = u"11"_s;
        state.StartYear = state.EndYear = u"2006"_s;
        state.CatalogueUploadFailed = false;
        const bool connected = open(client, passive);
        if (connected)
            RefreshArchive();
        const bool done = connected && !state.CatalogueUploadFailed &&
                          QFile::exists(root(u"DV/smith/spring/index.htm"_s));
        return {done, client.GetLastErrorMessage()};
    }

protected:
    std::unique_ptr<FtpTestServer> server;
    const QByteArray content = patterned(10 * 255 + 7);
};

TEST_P(FaultSuiteTest, EveryOperationEndsCleanly)
{
    const Fault &fault = GetParam();
    const struct
    {
        const char *name;
        Expect expected;
        Outcome (FaultSuiteTest::*run)(bool passive);
    } operations[] = {
        {"FTPUploadFile", fault.upload, &FaultSuiteTest::upload},
        {"FTPDownloadFile", fault.download, &FaultSuiteTest::download},
        {"GetDirectoryListing", fault.listing, &FaultSuiteTest::listing},
        {"RefreshArchive", fault.refresh, &FaultSuiteTest::refresh},
    };
    for (const bool passive : {false, true}) {
        for (const auto &operation : operations) {
            const std::string where = std::string(fault.script) + " x " + operation.name +
                                      (passive ? " (passive)" : " (active)");
            SCOPED_TRACE(where);
            layOut();
            const Outcome outcome = (this->*operation.run)(passive);
            std::cout << where << " -> "
                      << (outcome.succeeded ? std::string("done")
                                            : "failed: " + outcome.said.toStdString())
                      << std::endl;
            if (operation.expected != Expect::Either) {
                EXPECT_EQ(outcome.succeeded, operation.expected == Expect::Succeeds);
            }
            // A failure always says why.
            if (!outcome.succeeded && operation.run != &FaultSuiteTest::refresh) {
                EXPECT_FALSE(outcome.said.isEmpty());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultSuiteTest, testing::ValuesIn(Faults), faultName);
