// The FTP engine against real servers on loopback, in active and in passive mode.

#include "servers/ServerModes.h"
#include "servers/SilentFtpServer.h"
#include "support/VellixTest.h"

#include "transport/AddressRace.h"
#include "transport/InternetError.h"
#include "transport/Session.h"
#include "transport/Socket.h"
#include "transport/TlsStream.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Ftp::FileTransfer;
using Ftp::TransferType;
using Ftp::InternetError::Code;

class SessionTest
    : public VellixTest
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        server = startOrSkip(GetParam().kind);
        if (!server)
            return;
        session.setPassive(GetParam().passive);
        // The TLS servers' own certificates; their trust is the TLS suite's.
        session.setCertificateCheck([](auto &&...) { return QString(); });
        ASSERT_TRUE(session.connect(server->site(), server->user(), server->password()))
            << session.lastError() << " " << session.lastResponse().toStdString();
        ASSERT_TRUE(session.setCurrentDirectory(server->homeDir()));
    }

    bool put(const QString &remote, const QByteArray &content)
    {
        return session.putFile(writeFile(tempPath(u"put/"_s + remote), content), remote,
                               TransferType::Binary);
    }

    // The file's bytes, or "(failed)".
    QByteArray got(const QString &remote)
    {
        return session.getFile(remote, tempPath(u"got.bin"_s), TransferType::Binary)
                   ? readFile(tempPath(u"got.bin"_s))
                   : QByteArray("(failed)");
    }

    std::unique_ptr<FtpTestServer> server;
    Ftp::Session session;
};

INSTANTIATE_TEST_SUITE_P(Servers, SessionTest, testing::ValuesIn(serverModesWithTls()),
                         serverModeParameterName);

// Sizes around the transfer buffer and TLS record sizes. On a TLS server each transfer is a
// data connection that the server accepts only when it resumes the control's TLS session.
TEST_P(SessionTest, WholeFileTransfersAsciiModeAndOneTransferAtATime)
{
    for (const qsizetype size : {0, 1, 16384, 256 * 1024 + 1, 3 * 1024 * 1024 + 17}) {
        SCOPED_TRACE(size);
        const QByteArray content = patterned(size);
        const QString name = u"file-%1.bin"_s.arg(size);
        ASSERT_TRUE(put(name, content)) << session.lastResponse().toStdString();
        EXPECT_TRUE(got(name) == content);
    }

    // Text mode: the server sends line ends as CR LF, unless it is set up to send text as it is
    // stored (vsftpd's default).
    ASSERT_TRUE(put(u"text.txt"_s, "one\ntwo\n"));
    ASSERT_TRUE(session.getFile(u"text.txt"_s, tempPath(u"text-a.txt"_s), TransferType::Ascii));
    const bool vsftpd = GetParam().kind == FtpTestServer::Kind::Vsftpd ||
                        GetParam().kind == FtpTestServer::Kind::VsftpdTls;
    const QByteArray text = vsftpd ? "one\ntwo\n" : "one\r\ntwo\r\n";
    if (GetParam().kind != FtpTestServer::Kind::External) {
        EXPECT_EQ(readFile(tempPath(u"text-a.txt"_s)), text);
    }

    // One transfer at a time: other commands wait for its end, and an aborted download leaves
    // the session usable. A closed session is no lost one (a session closed under a transfer is
    // the client's scenario).
    const QByteArray content = patterned(8 * 1024 * 1024);
    ASSERT_TRUE(put(u"big.bin"_s, content));
    auto transfer =
        session.openFile(u"big.bin"_s, FileTransfer::Direction::Read, TransferType::Binary);
    ASSERT_TRUE(transfer);
    EXPECT_FALSE(session.setCurrentDirectory(u"/"_s));
    EXPECT_EQ(session.lastError(), Code::FtpTransferInProgress);
    char block[255];
    ASSERT_EQ(transfer->read(block, sizeof block), 255);
    transfer->abort();
    transfer.reset();
    EXPECT_TRUE(got(u"big.bin"_s) == content);

    session.close();
    EXPECT_FALSE(session.currentDirectory());
    EXPECT_EQ(session.lastError(), Code::IncorrectHandleState);
}

TEST_P(SessionTest, LineBreaksInArgumentsAreRefusedBeforeSending)
{
    const QString injected[] = {u"a\r\nDELE victim.txt"_s, u"a\nb"_s, u"a"_s + QChar(0) + u"b"_s};
    ASSERT_TRUE(put(u"victim.txt"_s, "keep me"));
    for (const QString &argument : injected) {
        EXPECT_FALSE(session.deleteFile(argument));
        EXPECT_EQ(session.lastError(), Code::InvalidParameter);
        EXPECT_FALSE(session.createDirectory(argument));
        EXPECT_FALSE(session.rename(u"victim.txt"_s, argument));
        EXPECT_EQ(session.lastError(), Code::InvalidParameter);
    }
    EXPECT_EQ(got(u"victim.txt"_s), "keep me");
}

// Failures that need no particular server.
class SessionFailureTest : public VellixTest
{
protected:
    Ftp::Session session;
};

TEST_F(SessionFailureTest, Ipv6InBothModes)
{
    QString why;
    const auto server = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why, true);
    ASSERT_TRUE(server) << why.toStdString();
    ASSERT_TRUE(server->site().startsWith(u"[::1]:"));
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive);
        session.setPassive(passive);
        ASSERT_TRUE(session.connect(server->site(), server->user(), server->password()));
        ASSERT_TRUE(session.putFile(writeFile(tempPath(u"v6.txt"_s), "over v6"), u"v6.txt"_s,
                                    TransferType::Binary));
        QList<Ftp::Entry> entries;
        ASSERT_TRUE(session.find(u"*"_s, &entries));
        EXPECT_EQ(entries.size(), 1);
        EXPECT_EQ(session.isPassive(), passive);
    }
}

TEST_F(SessionFailureTest, ActiveModeFallsBackToPassiveOnce)
{
    const auto server = startOrSkip(FtpTestServer::unavailableReason(FtpTestServer::Kind::Vsftpd),
                                    FtpTestServer::startWithoutActiveMode);
    if (!server)
        return;
    ASSERT_TRUE(session.connect(server->site(), server->user(), server->password()));
    ASSERT_FALSE(session.isPassive());
    ASSERT_TRUE(
        session.putFile(writeFile(tempPath(u"a.txt"_s), "a"), u"a.txt"_s, TransferType::Binary))
        << session.lastResponse().toStdString();
    EXPECT_TRUE(session.isPassive());
    QList<Ftp::Entry> entries;
    EXPECT_TRUE(session.find(u"*"_s, &entries));
    EXPECT_EQ(entries.size(), 1);
}

// A listener whose queue is full and that never accepts leaves a connect to it unanswered, as an
// address that drops every packet does.
struct UnansweredAddress
{
    explicit UnansweredAddress(const QHostAddress &address, quint16 port = 0)
    {
        listener.setListenBacklogSize(0);
        EXPECT_TRUE(listener.listen(address, port)) << address.toString().toStdString();
        listener.pauseAccepting();
        for (QTcpSocket &each : queued)
            each.connectToHost(address, listener.serverPort());
    }
    QTcpServer listener;
    QTcpSocket queued[8];
};

// The connect ends at its timeout with no connection, rather than leave the greeting to be
// waited for on a socket that never connected.
TEST_F(SessionFailureTest, AConnectLeftUnansweredTimesOutWithoutAConnection)
{
    const UnansweredAddress dead(QHostAddress::LocalHost);
    Ftp::Socket socket;
    EXPECT_FALSE(socket.connectToHost(u"127.0.0.1"_s, dead.listener.serverPort(), 300ms));
    EXPECT_EQ(std::pair(socket.error(), socket.isOpen()), std::pair(quint32(Code::Timeout), false));
}

// A host whose first addresses are dead (a broken IPv6 route, a host that moved) is reached on
// the next one a moment later, not after a timeout for each; however many addresses are dead,
// the connect waits out one timeout, not one for each; and a stop request ends the wait.
TEST_F(SessionFailureTest, DeadAddressesCostOneTimeoutBetweenThem)
{
    const QHostAddress v6(u"::1"_s), dead4(u"127.0.0.2"_s), dead4b(u"127.0.0.3"_s);
    const QHostAddress live(QHostAddress::LocalHost);
    EXPECT_EQ(Ftp::AddressRace::attemptOrder({dead4, dead4b, live, v6}),
              (QList{dead4, v6, dead4b, live}));

    QString why;
    const auto server = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why);
    ASSERT_TRUE(server) << why.toStdString();
    const UnansweredAddress deadAddresses[] = {UnansweredAddress(v6, server->port()),
                                               UnansweredAddress(dead4, server->port()),
                                               UnansweredAddress(dead4b, server->port())};
    const struct
    {
        QList<QHostAddress> addresses;
        std::chrono::milliseconds timeout;
        quint32 error;
        std::chrono::milliseconds within;
        int asksBeforeStop = -1; // the stop request, after the watch was asked that often
    } cases[] = {
        {{v6, dead4, live}, 20s, Code::NoError, 10s},
        {{v6, dead4, dead4b}, 3s, Code::Timeout, 6s},
        {{v6, dead4, dead4b}, 20s, Code::OperationCancelled, 10s, 20},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(each.error);
        int asks = 0;
        Ftp::AddressRace race([&] { return ++asks != each.asksBeforeStop; });
        QElapsedTimer clock;
        clock.start();
        const Ftp::Socket connected(race.connect(each.addresses, server->port(), each.timeout));
        EXPECT_LT(clock.elapsed(), each.within.count());
        EXPECT_EQ(race.error(), each.error);
        EXPECT_EQ(connected.peerAddress(), each.error ? QHostAddress() : live);
    }
}

// A session that timed out is over: its next reply could belong to any command. A server mute
// from the start is the upload command's network-fault scenario.
TEST_F(SessionFailureTest, ASilentServerTimesOutAndEndsTheSession)
{
    session.setTimeouts({1000ms, 1000ms, 1000ms});
    SilentFtpServer stalling(SilentFtpServer::Behaviour::StallAfterLogin);
    ASSERT_TRUE(stalling.isListening());
    ASSERT_TRUE(session.connect(stalling.site(), u"u"_s, u"p"_s));
    EXPECT_EQ(session.currentDirectory(), u"/"_s);
    QElapsedTimer clock;
    clock.start();
    QList<Ftp::Entry> entries;
    EXPECT_FALSE(session.find(u"*"_s, &entries));
    EXPECT_EQ(session.lastError(), Code::Timeout);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(session.currentDirectory());
    EXPECT_EQ(session.lastError(), Code::FtpDropped);
    EXPECT_TRUE(session.connect(stalling.site(), u"u"_s, u"p"_s));
}

// A server that pauses in the middle of a download, longer than the transfer's slices of
// waiting and shorter than its timeout, with and without TLS: the download waits it out.
TEST_F(SessionFailureTest, DownloadWaitsOutAPausingServer)
{
    for (const auto kind : {FtpTestServer::Kind::Pyftpdlib, FtpTestServer::Kind::PyftpdlibTls}) {
        SCOPED_TRACE(FtpTestServer::kindName(kind).toStdString());
        const auto server = startOrSkip(kind);
        ASSERT_TRUE(server);
        session.setCertificateCheck([](auto &&...) { return QString(); });
        ASSERT_TRUE(session.connect(server->site(), server->user(), server->password()));
        // More than the connection's buffers hold, so that the reader catches up with the pause.
        const QByteArray content = patterned(16 * 1024 * 1024);
        writeFile(server->rootPath() + u"/big.bin"_s, content);
        auto transfer =
            session.openFile(u"big.bin"_s, FileTransfer::Direction::Read, TransferType::Binary);
        ASSERT_TRUE(transfer);
        int slicesWaited = 0;
        transfer->setWatch([&] {
            if (++slicesWaited == 4)
                server->resume();
            return true;
        });

        // One byte more than the file, to see one too many.
        QByteArray received(content.size() + 1, Qt::Uninitialized);
        ASSERT_EQ(transfer->read(received.data(), 255), 255);
        ASSERT_TRUE(server->suspend());
        const qsizetype rest = transfer->read(received.data() + 255, received.size() - 255);
        server->resume();
        ASSERT_EQ(rest, content.size() - 255) << session.lastError();
        EXPECT_GE(slicesWaited, 4);
        EXPECT_TRUE(received.first(content.size()) == content);
        EXPECT_TRUE(transfer->finish()) << session.lastError();
    }
}

// A server that offers MLST, SIZE and EPSV and then answers them, and MLSD, as unknown: the
// session does without each from its first refusal on, and asks for it no more. Without REST an
// upload goes on with APPE, asking REST only once; a download cannot go on, and is refused in the
// server's words.
TEST_F(SessionFailureTest, CommandsThatTurnOutUnknownAreAskedOnceAndDoneWithout)
{
    const auto server = FtpTestServer::startScripted(u"refuse=MLST,MLSD,SIZE,EPSV,REST"_s);
    ASSERT_TRUE(server);
    const QString file = server->rootPath() + u"/a.txt"_s;
    writeFile(file, "12345");
    session.setPassive(true);
    ASSERT_TRUE(session.connect(server->site(), server->user(), server->password()));
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        QList<Ftp::Entry> entries;
        ASSERT_TRUE(session.find(u"a.txt"_s, &entries)) << session.lastResponse().toStdString();
        ASSERT_EQ(entries.size(), 1);
        EXPECT_EQ(entries[0].size, 5);
        ASSERT_TRUE(session.find(u"*"_s, &entries));
        EXPECT_EQ(entries.size(), 1);
        EXPECT_FALSE(session.fileSize(u"a.txt"_s));
        EXPECT_EQ(session.lastError(), Code::ExtendedError);
    }
    for (const QByteArray more : {"678", "90"}) {
        auto upload = session.openFile(u"a.txt"_s, FileTransfer::Direction::Write,
                                       TransferType::Binary, QFileInfo(file).size());
        ASSERT_TRUE(upload) << session.lastResponse().toStdString();
        ASSERT_TRUE(upload->write(more.constData(), more.size()));
        ASSERT_TRUE(upload->finish());
    }
    EXPECT_EQ(readFile(file), "1234567890");
    EXPECT_FALSE(
        session.openFile(u"a.txt"_s, FileTransfer::Direction::Read, TransferType::Binary, 5));
    EXPECT_TRUE(session.lastResponse().startsWith(u"500"_s))
        << session.lastResponse().toStdString();

    const QList<QByteArray> sent = readFile(server->logPath()).split('\n');
    const std::pair<const char *, int> asked[] = {
        {"MLST", 1}, {"MLSD", 1}, {"SIZE", 1}, {"EPSV", 1}, {"REST", 2}};
    for (const auto &[verb, times] : asked) {
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [&](const QByteArray &line) { return line.startsWith(verb); }),
                  times)
            << verb;
    }
}
