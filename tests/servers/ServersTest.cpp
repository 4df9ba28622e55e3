// The test servers themselves, where the suites that use them would not notice a fault:
// VELLIX_TEST_FTP is read as documented, and an sshd that goes takes its sessions along, stopped
// ones too.
#include "servers/FtpTestServer.h"
#include "servers/SftpSuite.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;
using Kind = FtpTestServer::Kind;

namespace {

constexpr int answerMs = 5000;

TEST_F(VellixTest, ExternalServerIsReadFromTheEnvironment)
{
    // The site, user, password and home folder read. A malformed setting fails the suites that
    // use it; only a valid one refused would pass unnoticed, as they would skip.
    const struct
    {
        QByteArray setting;
        QStringList login;
    } cases[] = {
        {"ftp.example.org:21:teacher:secret:/www",
         {u"ftp.example.org:21"_s, u"teacher"_s, u"secret"_s, u"/www"_s}},
        {"[::1]:2121:teacher:pa:ss:/srv/ftp",
         {u"[::1]:2121"_s, u"teacher"_s, u"pa:ss"_s, u"/srv/ftp"_s}},
        {"host:21:teacher::/", {u"host:21"_s, u"teacher"_s, {}, u"/"_s}},
    };
    for (const auto &testCase : cases) {
        SCOPED_TRACE(testCase.setting.toStdString());
        setEnvironment("VELLIX_TEST_FTP", testCase.setting);
        const auto server = FtpTestServer::start(Kind::External);
        ASSERT_TRUE(server);
        EXPECT_EQ((QStringList{server->site(), server->user(), server->password(),
                               server->homeDir(), server->rootPath()}),
                  testCase.login + QStringList{QString()});
        EXPECT_FALSE(server->suspend());
    }
    unsetEnvironment("VELLIX_TEST_FTP");
    EXPECT_FALSE(FtpTestServer::kinds().contains(Kind::External));
    setEnvironment("VELLIX_TEST_FTP", "host:21:teacher:secret:/www");
    EXPECT_TRUE(FtpTestServer::kinds().contains(Kind::External));
}

using SshdTestServers = SftpServerSuite;

// Opens an SSH connection as far as the server's key exchange offer. By then sshd has forked the
// connection's session and that session its unprivileged child, which also holds the connection.
bool openSshSession(QTcpSocket &socket, const SftpTestServer &server)
{
    socket.connectToHost(server.host(), server.port());
    if (!socket.waitForConnected(answerMs) || !socket.waitForReadyRead(answerMs) ||
        !socket.readLine().startsWith("SSH-2.0-"))
        return false;
    socket.write("SSH-2.0-VellixServersTest\r\n");
    return socket.bytesAvailable() > 0 || socket.waitForReadyRead(answerMs);
}

TEST_P(SshdTestServers, AServerThatGoesTakesItsStoppedSessionsAlong)
{
    QTcpSocket session;
    ASSERT_TRUE(openSshSession(session, server()));
    ASSERT_TRUE(server().suspendSessions());
    const quint16 port = server().port();
    m_server.reset();
    EXPECT_TRUE(session.state() == QAbstractSocket::UnconnectedState ||
                session.waitForDisconnected(answerMs))
        << "a process of the session outlived its server";
    QTcpSocket refused;
    refused.connectToHost(u"127.0.0.1"_s, port);
    EXPECT_FALSE(refused.waitForConnected(answerMs));
}

INSTANTIATE_TEST_SUITE_P(Sshd, SshdTestServers, testing::Values(SftpTestServer::Kind::Sshd),
                         sftpKindParameterName);

} // namespace
