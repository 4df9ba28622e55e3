// The built hvsftp run as its own process, as the control starts it: against OpenSSH's sshd on
// loopback, and against listeners that refuse or never answer.

#include "support/FullDisk.h"
#include "support/VellixTest.h"

#include "cli/CliRun.h"

#include "control/BatchUpload.h"
#include "platform/DosPath.h"
#include "platform/Launcher.h"
#include "platform/PartialName.h"
#include "platform/Prefix.h"
#include "servers/FtpTestServer.h"
#include "servers/ServerModes.h"
#include "servers/SftpTestServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Password = u"pass-for-the-batch"_s;

CliRun runTool(const QStringList &arguments)
{
    return runProgram(QStringLiteral(HVSFTP_PATH), arguments);
}

// The line the tool printed after echoing the command: the library's reply to it.
QString replyTo(const QString &out, const QString &command)
{
    const QStringList lines = out.split(u'\n');
    const qsizetype echo = lines.indexOf(u"hvsftp> "_s + command);
    return echo >= 0 && echo + 1 < lines.size() ? lines.at(echo + 1) : QString();
}

QString knownHostsPath()
{
    return Platform::Prefix::path(u"known_hosts"_s);
}

} // namespace

// Runs that end before a server could tell anything: wrong command lines, unreadable
// scripts, nobody listening.
class HvsftpSetupTest : public VellixTest
{
protected:
    QString script() const { return writeFile(tempPath(u"job.txt"_s), "pwd\n"); }
};

TEST_F(HvsftpSetupTest, WrongCommandLinesScriptsAndServersEndWithStatusOne)
{
    const QString closedSite = u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort());
    const QString login = u"-l smith -pw "_s + Password;
    const struct
    {
        QString arguments;
        QString error; // the start of standard error
        bool usage;
    } cases[] = {
        {login + u" -b "_s + script() + u" -x "_s + closedSite, u"hvsftp: unknown option -x"_s,
         true},
        {login + u" -b "_s + tempPath(u"missing.txt"_s) + u" -hv done "_s + closedSite,
         u"hvsftp: The script '"_s + tempPath(u"missing.txt"_s) + u"' cannot be read: "_s, false},
        {login + u" -k -hv done -b "_s + script() + u" "_s + closedSite,
         u"hvsftp: Cannot connect to "_s, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.toStdString());
        const CliRun run = runTool(c.arguments.split(u' '));
        EXPECT_EQ(run.exitCode, 1) << ::testing::PrintToString(run);
        EXPECT_TRUE(run.err.startsWith(c.error)) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(u"Usage: hvsftp -l USER"_s), c.usage);
        EXPECT_FALSE(run.out.contains(u"done"_s));
        EXPECT_FALSE(run.err.contains(Password)) << run.err.toStdString();
    }

    const CliRun help = runTool({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(u"Usage: hvsftp -l USER"_s)) << help.out.toStdString();
}

TEST_F(HvsftpSetupTest, PasswordLeavesTheProcessListAndCtrlCStopsTheConnect)
{
    // A listener that takes the connection and never says a word: the tool waits in its
    // connect for as long as the test wants.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const QString site = u"127.0.0.1:"_s + QString::number(silent.serverPort());

    QProcess process;
    process.start(QStringLiteral(HVSFTP_PATH),
                  {u"-l"_s, u"smith"_s, u"-pw"_s, Password, u"-b"_s, script(), u"-k"_s, site});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(silent.waitForNewConnection(20000)) << "hvsftp did not connect";
    const std::unique_ptr<QTcpSocket> connection(silent.nextPendingConnection());

    const QByteArray commandLine =
        readFile(u"/proc/%1/cmdline"_s.arg(process.processId())).replace('\0', ' ');
    EXPECT_TRUE(commandLine.contains("-l smith -pw ")) << commandLine.toStdString();
    EXPECT_TRUE(commandLine.contains(site.toUtf8())) << commandLine.toStdString();
    EXPECT_FALSE(commandLine.contains(Password.toUtf8())) << commandLine.toStdString();

    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(15000)) << "Ctrl+C did not stop the connect";
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "it should end by the signal";
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.startsWith(u"hvsftp: Stopped"_s)) << err.toStdString();
}

// A name server that never answers: the tool waits for the server's name for as long as the
// test wants, in a mount namespace of its own whose resolver asks only that server.
TEST_F(HvsftpSetupTest, CtrlCStopsTheLookUpOfTheServerName)
{
    // The resolver asks port 53 only: a loopback address of its own keeps it from another run's.
    QUdpSocket nameServer;
    quint32 address = QHostAddress(u"127.0.0.9"_s).toIPv4Address();
    while (!nameServer.bind(QHostAddress(address), 53) && address < 0x7f000040)
        ++address;
    ASSERT_EQ(nameServer.state(), QAbstractSocket::BoundState);
    const QString resolvConf = writeFile(
        tempPath(u"resolv.conf"_s), "nameserver " + QHostAddress(address).toString().toLatin1() +
                                        "\noptions timeout:30 attempts:1\n");
    QProcess process;
    process.start(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s,
                                 u"mount --bind \"$0\" /etc/resolv.conf && exec \"$@\""_s,
                                 resolvConf, QStringLiteral(HVSFTP_PATH), u"-l"_s, u"smith"_s,
                                 u"-pw"_s, Password, u"-b"_s, script(), u"sftp.example"_s});
    if (!process.waitForStarted())
        GTEST_SKIP() << "no unshare here";
    if (!nameServer.waitForReadyRead(20000)) {
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (err.startsWith(u"unshare:"_s) || err.startsWith(u"mount:"_s))
            GTEST_SKIP() << "no mount namespace here: " << err.toStdString();
        FAIL() << "hvsftp did not look the name up: " << err.toStdString();
    }

    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(15000)) << "Ctrl+C did not stop the look-up";
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.startsWith(u"hvsftp: Stopped"_s)) << err.toStdString();
}

// Runs against OpenSSH's sshd on loopback.
class HvsftpServerTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        server = startOrSkip(SftpTestServer::Kind::Sshd);
        // The key the server shows is the one this user met before.
        if (server)
            writeFile(knownHostsPath(), server->knownHostsLine().toUtf8() + '\n');
    }

    // Linux path of a file or folder of the server's login folder.
    QString onServer(const QString &relative) const { return server->rootPath() + u'/' + relative; }

    // A script file in the test's folder; its Linux path.
    QString script(const QByteArray &content) const
    {
        return writeFile(tempPath(u"script.txt"_s), content);
    }

    // The tool's arguments for the test server, the options before the server name.
    QStringList arguments(const QString &scriptPath, const QStringList &options = {}) const
    {
        return QStringList{u"-l"_s, server->user(), u"-pw"_s, server->password(),
                           u"-b"_s, scriptPath} +
               options + QStringList{server->site()};
    }

    std::unique_ptr<SftpTestServer> server;
};

TEST_F(HvsftpServerTest, ControlsBatchUploadSendsTheFileOnceAndThenOnlyANewerOne)
{
    // Everything as the control writes and starts it: the script in the host product's folder,
    // a local DOS path with a character outside Windows-1252, the command line's quoting.
    const QString hostFolder = u"C:\\Program Files\\Dovrelle\\"_s;
    ASSERT_TRUE(QDir().mkpath(Platform::DosPath::toLinux(hostFolder)));
    const QString name = QString::fromUtf8("Ωmega notes.txt");
    writeFile(Platform::Prefix::path(u"drive_c/lessons/"_s + name), "first\n");
    const QString monthFolder = u"DV/smith/spring_term/May_2007"_s;
    ASSERT_TRUE(QDir().mkpath(onServer(monthFolder)));

    const QString scriptPath = BatchUpload::newScriptPath(hostFolder);
    ASSERT_TRUE(BatchUpload::writeScript(
        scriptPath, BatchUpload::script(BatchUpload::targetFolder(u'/' + monthFolder),
                                        u"C:\\lessons\\"_s + name)));
    QStringList command = Platform::Launcher::splitCommandLine(
        BatchUpload::commandLine(server->user(), server->password(), scriptPath, server->site()));
    ASSERT_EQ(command.takeFirst(), u"hvsftp.exe"_s);
    const QString uploaded = onServer(monthFolder + u'/' + name);

    const CliRun first = runTool(command);
    EXPECT_EQ(first.exitCode, 0) << ::testing::PrintToString(first);
    EXPECT_EQ(readFile(uploaded), "first\n");
    EXPECT_TRUE(first.out.endsWith(u"\ndone\n"_s)) << first.out.toStdString();

    // A server copy newer than the local file stays.
    writeFile(uploaded, "changed on the server\n");
    const CliRun second = runTool(command);
    EXPECT_EQ(second.exitCode, 0) << ::testing::PrintToString(second);
    EXPECT_EQ(readFile(uploaded), "changed on the server\n");

    // An older one is replaced.
    QFile serverCopy(uploaded);
    ASSERT_TRUE(serverCopy.open(QIODevice::ReadWrite) &&
                serverCopy.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                       QFileDevice::FileModificationTime));
    const CliRun third = runTool(command);
    EXPECT_EQ(third.exitCode, 0) << ::testing::PrintToString(third);
    EXPECT_EQ(readFile(uploaded), "first\n");
}

// Every script command, with DOS and Linux local paths, a put from a pipe and one that continues
// what an earlier run left; with -be the lines after a command the tool does not know still run.
// The library's replies name the files as they are, whatever "%" their names hold.
TEST_F(HvsftpServerTest, RunsEveryScriptCommandAndGoesOnAfterAFailureWithBe)
{
    writeFile(Platform::Prefix::path(u"drive_c/lessons/a.txt"_s), "lesson a\n");
    const QString local = writeFile(homePath(u"%1%3%4.txt"_s), "abc");
    ASSERT_TRUE(QDir().mkpath(Platform::Prefix::path(u"drive_c/down"_s)));
    ASSERT_TRUE(QDir().mkpath(onServer(u"DV/gone"_s)));
    // The server computes no hash, so a start of the film that was sent again would show here
    // only by the marked bytes it replaced.
    const QByteArray film = patterned(3 << 20);
    const QString localFilm = writeFile(tempPath(u"film.bin"_s), film);
    const QByteArray kept = "MARK" + film.mid(4, (1 << 20) - 4);
    writeFile(onServer(u"DV/"_s + PartialName::pathFor(u"film.bin"_s)), kept);
    const QByteArray piped = patterned(200001);
    const QString put = u"put \""_s + local + u"\" \"term/%2 up.txt\""_s;
    const QString get = u"get \"term/%2 up.txt\" \""_s + homePath(u"%3 down.txt"_s) + u'"';
    const QString pipe = u"put -c /dev/stdin piped.bin"_s;
    const QString toOutput = u"get \"term/renamed.txt\" \"/dev/stdout\""_s;
    // A name that would command the terminal and turn the text after it around.
    const QString hidden = u"odd\x1b[2J\u202E"_s;
    ASSERT_TRUE(QDir().mkpath(onServer(u"DV/"_s + hidden)));

    const QStringList lines = {u"cd \"DV\""_s,
                               u"mkdir \"term\""_s,
                               uR"(put "c:\LESSONS\a.txt" "term/a.txt")"_s,
                               put,
                               get,
                               u"rmdir \"gone\""_s,
                               uR"(ren "term/a.txt" "term/renamed.txt")"_s,
                               uR"(get "term/renamed.txt" "C:\down\copy.txt")"_s,
                               uR"(del "term/%2 up.txt")"_s,
                               u"put \""_s + localFilm + u'"',
                               pipe,
                               toOutput,
                               u"pwd"_s,
                               u"cd \""_s + hidden + u'"'};
    const QString scriptPath = script(lines.join(u"\r\n"_s).toUtf8() + "\r\n");
    const CliRun run =
        runProgram(QStringLiteral(HVSFTP_PATH),
                   arguments(scriptPath, {u"-be"_s, u"-hv"_s, u"all done"_s}), piped);
    EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(run);
    EXPECT_TRUE(run.err.startsWith(u"hvsftp: line 6: unknown command \"rmdir\""_s))
        << run.err.toStdString();
    EXPECT_TRUE(QFileInfo(onServer(u"DV/gone"_s)).isDir());
    EXPECT_EQ(filesBelow(onServer(u"DV/term"_s)), QStringList{u"renamed.txt"_s});
    EXPECT_EQ(readFile(onServer(u"DV/term/renamed.txt"_s)), "lesson a\n");
    EXPECT_EQ(readFile(Platform::Prefix::path(u"drive_c/down/copy.txt"_s)), "lesson a\n");
    EXPECT_EQ(readFile(homePath(u"%3 down.txt"_s)), "abc");
    EXPECT_TRUE(readFile(onServer(u"DV/film.bin"_s)) == kept + film.mid(kept.size()));
    EXPECT_TRUE(readFile(onServer(u"DV/piped.bin"_s)) == piped);
    const QString served = server->homeDir() + u"/DV/"_s;
    EXPECT_EQ(replyTo(run.out, put),
              u"Uploaded "_s + local + u" to "_s + served + u"term/%2 up.txt (3 bytes)"_s);
    EXPECT_EQ(replyTo(run.out, get), u"Downloaded "_s + served + u"term/%2 up.txt to "_s +
                                         homePath(u"%3 down.txt"_s) + u" (3 bytes)"_s);
    EXPECT_EQ(replyTo(run.out, pipe),
              u"Uploaded /dev/stdin to "_s + served + u"piped.bin (200001 bytes)"_s);
    EXPECT_TRUE(run.out.contains(u"hvsftp> "_s + toOutput + u"\nlesson a\nDownloaded "_s + served +
                                 u"term/renamed.txt to /dev/stdout (9 bytes)\n"_s))
        << run.out.toStdString();
    EXPECT_TRUE(replyTo(run.out, u"pwd"_s).endsWith(u' ' + server->homeDir() + u"/DV"_s))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.endsWith(u"Remote directory is now "_s + served + u"odd\\x1b[2J\\u{202E}\n"_s))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(u'\x1b')) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(u"all done"_s)) << run.out.toStdString();
}

// A get onto a full local disk is told as such and leaves no partial file; without -be the
// lines after it do not run.
TEST_F(HvsftpServerTest, AGetOntoAFullDiskFailsAndEndsTheBatch)
{
    // A disk of 64 KiB of its own, for a file of 1 MiB.
    const QString full = tempPath(u"full"_s);
    const FullDisk disk(full);
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small disk here";
    writeFile(onServer(u"big.bin"_s), QByteArray(1 << 20, 'x'));

    const QByteArray get = "get \"big.bin\" \"" + full.toUtf8() + "/big.bin\"\n";
    const CliRun run =
        runTool(arguments(script("pwd\n" + get + "\nmkdir \"made\"\n"), {u"-hv"_s, u"done"_s}));
    EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(run);
    EXPECT_TRUE(run.err.startsWith(u"hvsftp: line 2: "_s)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"No space left on device"_s)) << run.err.toStdString();
    EXPECT_EQ(QDir(full).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_FALSE(QFile::exists(onServer(u"made"_s)));
    EXPECT_FALSE(run.out.contains(u"done"_s)) << run.out.toStdString();
}

// On a terminal a put draws its progress line, as vellix does. Started with its output closed,
// as a scheduled job may be, the tool's echo and replies go nowhere: not into the session's socket
// nor into a file it writes, whichever took their number.
TEST_F(HvsftpServerTest, ATransferShowsItsProgressOnATerminalAndItsClosedOutputNowhere)
{
    const QString local = writeFile(tempPath(u"film.bin"_s), QByteArray(8 << 20, 'f'));
    const QStringList command = QStringList{QStringLiteral(HVSFTP_PATH)} +
                                arguments(script("put \"" + local.toUtf8() + "\"\n")) +
                                QStringList{u">&-"_s};
    QProcess process; // script(1) gives the tool a terminal and copies what it shows
    process.start(u"script"_s, {u"-qec"_s, command.join(u' '), tempPath(u"typescript"_s)});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString shown = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitCode(), 0) << shown.toStdString();
    EXPECT_TRUE(shown.contains(u"\r8.0 MiB of 8.0 MiB  100%"_s)) << shown.toStdString();
}

// Ctrl+C in the middle of a put cancels it: the server keeps only the temporary file, for the
// next run to continue, the lines after it do not run, even with -be, and the tool ends by the
// signal.
TEST_F(HvsftpServerTest, CtrlCCancelsAPutAndTheRestOfTheBatch)
{
    const QString film = tempPath(u"film.bin"_s);
    writeSizedFile(film, qint64(2) << 30);
    QProcess process;
    process.start(
        QStringLiteral(HVSFTP_PATH),
        arguments(script("put \"" + film.toUtf8() + "\"\nmkdir \"after\"\n"), {u"-be"_s}));
    ASSERT_TRUE(server->waitForFileOf(1 << 20));
    ::kill(pid_t(process.processId()), SIGINT);

    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(process.exitCode(), SIGINT);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.startsWith(u"hvsftp: line 1: put: film.bin: The transfer was cancelled\n"_s))
        << err.toStdString();
    EXPECT_EQ(
        QDir(server->rootPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{PartialName::pathFor(u"film.bin"_s)});
}

// Without -k an unknown host key is refused; with -k it is accepted, as the library records it.
TEST_F(HvsftpServerTest, AnUnknownHostKeyIsAcceptedOnlyWithK)
{
    ASSERT_TRUE(QFile::remove(knownHostsPath()));
    const CliRun refused = runTool(arguments(script("mkdir \"made\"\n"), {u"-hv"_s, u"done"_s}));
    EXPECT_EQ(refused.exitCode, 1) << ::testing::PrintToString(refused);
    EXPECT_TRUE(refused.err.startsWith(u"hvsftp: "_s)) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(u"is not known"_s)) << refused.err.toStdString();

    // A script without commands only connects: a way to meet a server once. The library's
    // connect status, shown as it goes, names the new key's fingerprint.
    const CliRun accepting = runTool(arguments(script("\r\n\r\n"), {u"-k"_s}));
    EXPECT_EQ(accepting.exitCode, 0) << ::testing::PrintToString(accepting);
    EXPECT_TRUE(accepting.out.contains(u"SHA256:"_s)) << accepting.out.toStdString();
}
