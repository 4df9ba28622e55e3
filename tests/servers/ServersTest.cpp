// The test servers themselves: each greets, takes a login, uploads and lists in passive and active
// mode (checked with curl, a client of its own), and goes away with everything it started.
#include "servers/FtpTestServer.h"
#include "servers/SilentFtpServer.h"
#include "support/VellixTest.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = FtpTestServer::Kind;

namespace {

// Long enough for a loopback server to answer, short enough to wait for silence.
constexpr int quietMs = 300;
constexpr int answerMs = 5000;

// The next reply line, or empty when none comes in time.
QByteArray readLine(QTcpSocket &socket, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!socket.canReadLine() && !deadline.hasExpired())
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    return socket.canReadLine() ? socket.readLine().trimmed() : QByteArray();
}

QByteArrayList lines(const QByteArray &text)
{
    QByteArrayList result = text.split('\n');
    for (QByteArray &line : result)
        line = line.trimmed();
    return result;
}

bool connectTo(QTcpSocket &socket, const QString &host, quint16 port)
{
    socket.connectToHost(host, port);
    return socket.waitForConnected(answerMs);
}

struct CurlResult
{
    bool ok = false;
    QByteArray output;
    QString error;
};

// curl with the server's login given on standard input, never on the command line.
CurlResult curl(const FtpTestServer &server, const QStringList &arguments)
{
    QString login = server.user() + u':' + server.password();
    login.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
    QProcess process;
    process.start(u"/usr/bin/curl"_s,
                  QStringList{u"-q"_s, u"-sS"_s, u"--max-time"_s, u"20"_s, u"-K"_s, u"-"_s} +
                      arguments);
    process.write("user = \"" + login.toUtf8() + "\"\n");
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(30000);
    return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// URL of a server path below the test folder; "%2F" makes curl start from the root.
QString urlOf(const FtpTestServer &server, const QString &relative)
{
    QString path = server.homeDir();
    if (!path.endsWith(u'/'))
        path += u'/';
    return u"ftp://"_s + server.site() + u"/%2F"_s + path.mid(1) + relative;
}

struct ServerCase
{
    Kind kind;
    bool ipv6;
};

void PrintTo(const ServerCase &serverCase, std::ostream *out)
{
    *out << FtpTestServer::kindName(serverCase.kind).toStdString()
         << (serverCase.ipv6 ? " on ::1" : "");
}

std::string caseName(const testing::TestParamInfo<ServerCase> &info)
{
    return (FtpTestServer::kindName(info.param.kind) + (info.param.ipv6 ? u"_ipv6"_s : QString()))
        .toStdString();
}

std::vector<ServerCase> everyServer()
{
    std::vector<ServerCase> cases;
    for (const Kind kind : FtpTestServer::kinds())
        cases.push_back({kind, false});
    cases.push_back({Kind::Pyftpdlib, true});
    return cases;
}

std::vector<ServerCase> localServers()
{
    return {{Kind::Pyftpdlib, false}, {Kind::Vsftpd, false}};
}

class ServerTest
    : public VellixTest
    , public testing::WithParamInterface<ServerCase>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        const Kind kind = GetParam().kind;
        if (const QString reason = FtpTestServer::unavailableReason(kind); !reason.isEmpty()) {
            GTEST_SKIP() << reason.toStdString();
        }
        QString why;
        m_server = FtpTestServer::start(kind, &why, GetParam().ipv6);
        ASSERT_TRUE(m_server) << why.toStdString();
    }

    FtpTestServer &server() { return *m_server; }

private:
    std::unique_ptr<FtpTestServer> m_server;
};

class EveryServerTest : public ServerTest
{
};

class LocalServerTest : public ServerTest
{
};

TEST_P(EveryServerTest, GreetsWith220)
{
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, server().host(), server().port()));
    EXPECT_TRUE(readLine(socket, answerMs).startsWith("220 "));
}

TEST_P(EveryServerTest, LogsInUploadsAndListsInPassiveAndActiveMode)
{
    const struct
    {
        QString mode;
        QStringList arguments;
    } modes[] = {
        {u"passive"_s, {}},
        // "-": the data connection goes to the address of the control connection.
        {u"active"_s, {u"-P"_s, u"-"_s}},
    };
    for (const auto &mode : modes) {
        SCOPED_TRACE(mode.mode.toStdString());
        const QString name = mode.mode + u".txt"_s;
        const QByteArray content = "uploaded in " + mode.mode.toUtf8() + " mode\n";
        const QString local = writeFile(tempPath(name), content);

        const CurlResult upload =
            curl(server(), mode.arguments + QStringList{u"-T"_s, local, urlOf(server(), name)});
        ASSERT_TRUE(upload.ok) << upload.error.toStdString();
        const CurlResult listing =
            curl(server(), mode.arguments + QStringList{u"--list-only"_s, urlOf(server(), {})});
        ASSERT_TRUE(listing.ok) << listing.error.toStdString();
        EXPECT_TRUE(lines(listing.output).contains(name.toUtf8())) << listing.output.toStdString();
        if (!server().rootPath().isEmpty()) {
            EXPECT_EQ(readFile(server().rootPath() + u'/' + name), content);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TestServers, EveryServerTest, testing::ValuesIn(everyServer()), caseName);

// Files and folders a test writes into the served folder (as whatever user it runs as) can be
// replaced and added to through the server.
TEST_P(LocalServerTest, ServerAccountCanChangeWhatTheTestWrote)
{
    writeFile(server().rootPath() + u"/course/old.txt"_s, "written by the test\n");
    const QString local = writeFile(tempPath(u"new.txt"_s), "written through the server\n");

    for (const QString &target : {u"course/old.txt"_s, u"course/new.txt"_s}) {
        const CurlResult upload = curl(server(), {u"-T"_s, local, urlOf(server(), target)});
        ASSERT_TRUE(upload.ok) << target.toStdString() << ": " << upload.error.toStdString();
        EXPECT_EQ(readFile(server().rootPath() + u'/' + target), "written through the server\n");
    }
}

TEST_P(LocalServerTest, StoppingEndsOpenSessionsAndFreesThePort)
{
    QString why;
    auto stopped = FtpTestServer::start(GetParam().kind, &why);
    ASSERT_TRUE(stopped) << why.toStdString();
    QTcpSocket session;
    ASSERT_TRUE(connectTo(session, stopped->host(), stopped->port()));
    ASSERT_TRUE(readLine(session, answerMs).startsWith("220 "));
    const QString stoppedHost = stopped->host();
    const quint16 stoppedPort = stopped->port();
    stopped.reset();

    EXPECT_TRUE(session.state() == QAbstractSocket::UnconnectedState ||
                session.waitForDisconnected(answerMs));
    QTcpSocket refused;
    EXPECT_FALSE(connectTo(refused, stoppedHost, stoppedPort));
    // The other server of the same kind goes on answering.
    QTcpSocket other;
    ASSERT_TRUE(connectTo(other, server().host(), server().port()));
    EXPECT_TRUE(readLine(other, answerMs).startsWith("220 "));
}

TEST_P(LocalServerTest, OnlyPyftpdlibCanBeSuspended)
{
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, server().host(), server().port()));
    ASSERT_TRUE(readLine(socket, answerMs).startsWith("220 "));
    if (GetParam().kind != Kind::Pyftpdlib) {
        EXPECT_FALSE(server().suspend());
        EXPECT_FALSE(server().resume());
        return;
    }
    ASSERT_TRUE(server().suspend());
    socket.write("NOOP\r\n");
    EXPECT_EQ(readLine(socket, quietMs), QByteArray());
    ASSERT_TRUE(server().resume());
    EXPECT_TRUE(readLine(socket, answerMs).startsWith("200"));
}

INSTANTIATE_TEST_SUITE_P(TestServers, LocalServerTest, testing::ValuesIn(localServers()), caseName);

class TestServerSupportTest : public VellixTest
{
};

TEST_F(TestServerSupportTest, SilentServerAnswersOnlyWhatItPromises)
{
    using Behaviour = SilentFtpServer::Behaviour;
    const struct
    {
        Behaviour behaviour;
        QByteArray command;
        QByteArray reply; // empty: no reply at all
    } exchanges[] = {
        {Behaviour::Mute, {}, {}},
        {Behaviour::Mute, "USER vellixftp", {}},
        {Behaviour::StallAfterLogin, {}, "220 ready"},
        {Behaviour::StallAfterLogin, "USER vellixftp", "331 Password required"},
        {Behaviour::StallAfterLogin, "PASS secret", "230 Logged in"},
        {Behaviour::StallAfterLogin, "FEAT", "211 End"},
        {Behaviour::StallAfterLogin, "pwd", "257 \"/\""},
        {Behaviour::StallAfterLogin, "TYPE I", {}},
        {Behaviour::StallAfterLogin, "PWD", {}}, // silent for good
    };
    std::unique_ptr<SilentFtpServer> server;
    QTcpSocket socket;
    for (const auto &exchange : exchanges) {
        SCOPED_TRACE(exchange.command.toStdString());
        if (!server || exchange.command.isEmpty()) {
            socket.abort();
            server = std::make_unique<SilentFtpServer>(exchange.behaviour);
            ASSERT_TRUE(server->isListening());
            ASSERT_TRUE(connectTo(socket, server->host(), server->port()));
            EXPECT_TRUE(QTest::qWaitFor([&] { return server->connectionCount() == 1; }));
        } else {
            socket.write(exchange.command + "\r\n");
        }
        EXPECT_EQ(readLine(socket, exchange.reply.isEmpty() ? quietMs : answerMs), exchange.reply);
    }
    // The destructor must not wait for the client that is still connected.
    server.reset();
    EXPECT_TRUE(socket.state() == QAbstractSocket::UnconnectedState ||
                socket.waitForDisconnected(answerMs));
}

TEST_F(TestServerSupportTest, UnusedPortRefusesConnections)
{
    const quint16 port = FtpTestServer::unusedPort();
    ASSERT_NE(port, 0);
    QTcpSocket socket;
    EXPECT_FALSE(connectTo(socket, u"127.0.0.1"_s, port));
    EXPECT_EQ(socket.error(), QAbstractSocket::ConnectionRefusedError);
}

// Puts an environment variable back as it was.
class EnvironmentGuard
{
public:
    explicit EnvironmentGuard(const char *name)
        : m_name(name)
        , m_value(qgetenv(name))
    {}
    ~EnvironmentGuard()
    {
        if (m_value.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_value);
    }

private:
    const char *m_name;
    QByteArray m_value;
};

TEST_F(TestServerSupportTest, ExternalServerIsReadFromTheEnvironment)
{
    const EnvironmentGuard guard("VELLIX_TEST_FTP");
    const struct
    {
        QByteArray setting;
        QString site; // empty: refused
        QString user;
        QString password;
        QString homeDir;
    } cases[] = {
        {"ftp.example.org:21:teacher:secret:/www", u"ftp.example.org:21"_s, u"teacher"_s,
         u"secret"_s, u"/www"_s},
        {"[::1]:2121:teacher:pa:ss:/srv/ftp", u"[::1]:2121"_s, u"teacher"_s, u"pa:ss"_s,
         u"/srv/ftp"_s},
        {"host:21:teacher::/", u"host:21"_s, u"teacher"_s, {}, u"/"_s},
        {"host:21:teacher:secret", {}, {}, {}, {}},
        {"host:port:teacher:secret:/www", {}, {}, {}, {}},
        {"host:0:teacher:secret:/www", {}, {}, {}, {}},
        {"host:21::secret:/www", {}, {}, {}, {}},
        {"host:21:teacher:secret:www", {}, {}, {}, {}},
        {"[::1:21:teacher:secret:/www", {}, {}, {}, {}},
    };
    for (const auto &testCase : cases) {
        SCOPED_TRACE(testCase.setting.toStdString());
        qputenv("VELLIX_TEST_FTP", testCase.setting);
        QString why;
        const auto server = FtpTestServer::start(Kind::External, &why);
        if (testCase.site.isEmpty()) {
            EXPECT_FALSE(server);
            EXPECT_TRUE(why.contains(u"VELLIX_TEST_FTP"_s)) << why.toStdString();
            continue;
        }
        ASSERT_TRUE(server) << why.toStdString();
        EXPECT_EQ(server->site(), testCase.site);
        EXPECT_EQ(server->user(), testCase.user);
        EXPECT_EQ(server->password(), testCase.password);
        EXPECT_EQ(server->homeDir(), testCase.homeDir);
        EXPECT_EQ(server->rootPath(), QString());
        EXPECT_FALSE(server->suspend());
    }
    qunsetenv("VELLIX_TEST_FTP");
    EXPECT_FALSE(FtpTestServer::kinds().contains(Kind::External));
    qputenv("VELLIX_TEST_FTP", "host:21:teacher:secret:/www");
    EXPECT_TRUE(FtpTestServer::kinds().contains(Kind::External));
}

} // namespace
