#include "CliRun.h"
#include "NamesAndLinks.h"
#include "servers/ServerModes.h"
#include "support/VellixTest.h"

#include "platform/PartialName.h"
#include "platform/Prefix.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A script argument: in double quotes, a double quote inside written twice.
QString quotedArgument(const QString &text)
{
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

} // namespace

// Runs the built `vellix ftp` as a user would from a shell.
class FtpCommandTest : public VellixTest
{
protected:
    static QStringList login(const FtpTestServer &server, bool passive = false)
    {
        QStringList arguments{u"ftp"_s, u"--site"_s, server.site(), u"--user"_s, server.user()};
        if (passive)
            arguments.append(u"--passive"_s);
        return arguments;
    }
};

class FtpCommandServerTest
    : public FtpCommandTest
    , public ::testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        FtpCommandTest::SetUp();
        m_server = startOrSkip(GetParam().kind);
    }

    bool passive() const { return GetParam().passive; }
    FtpTestServer &server() const { return *m_server; }

    CliRun script(const QString &lines)
    {
        return runVellix(login(server(), passive()), server().password(),
                         u"cd "_s + quotedArgument(server().homeDir()) + u'\n' + lines);
    }

private:
    std::unique_ptr<FtpTestServer> m_server;
};

TEST_P(FtpCommandServerTest, ScriptWorksOnNamesWithBlanksAndQuotes)
{
    const QByteArray content = patterned(70001);
    const QString local = writeFile(tempPath(u"up \"load\" 1.bin"_s), content);
    const QString downloaded = writeFile(tempPath(u"down load.bin"_s), "an older, other file");
    const QString remote = u"my \"quoted\" file.bin"_s;
    const QString folder = u"work dir"_s;
    const QString lines[] = {
        u"mkdir "_s + quotedArgument(folder),
        u"ls"_s,
        u"cd "_s + quotedArgument(folder),
        u"  put "_s + quotedArgument(local) + u' ' + quotedArgument(remote),
        u"# a comment, then a blank line"_s,
        {},
        u"ls"_s,
        u"size "_s + quotedArgument(remote),
        u"get "_s + quotedArgument(remote) + u' ' + quotedArgument(downloaded),
        u"ren "_s + quotedArgument(remote) + u" renamed.bin"_s,
        u"ls *.bin"_s,
        u"del renamed.bin"_s,
        u"ls"_s, // the folder is empty now: nothing, and no failure
        u"cd .."_s,
        u"rmdir "_s + quotedArgument(folder),
        u"pwd"_s,
    };
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const CliRun run = script(QStringList(std::begin(lines), std::end(lines)).join(u"\r\n"_s));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(readFile(downloaded), content);
    EXPECT_EQ(QDir(tempPath()).entryList({u".vellix-*"_s}, QDir::Hidden | QDir::Files),
              QStringList());

    // Each ls line: name|size|time|type; a folder's size is the server's business, and listings
    // give the time of the last change to the minute at least.
    QStringList out = run.out.split(u'\n');
    ASSERT_EQ(out.size(), 6) << run.out.toStdString();
    for (const int line : {0, 1, 3}) {
        const QStringList fields = out.at(line).split(u'|');
        ASSERT_EQ(fields.size(), 4) << out.at(line).toStdString();
        EXPECT_LE(std::abs(fields.at(2).toLongLong() - now), 120) << fields.at(2).toStdString();
        out[line] = fields.at(0) + u'|' + (fields.at(3) == u"d"_s ? QString() : fields.at(1)) +
                    u'|' + fields.at(3);
    }
    const QString size = QString::number(content.size());
    EXPECT_EQ(out, QStringList({folder + u"||d"_s,
                                remote + u'|' + size + u"|-"_s,
                                size,
                                u"renamed.bin|"_s + size + u"|-"_s,
                                server().homeDir(),
                                {}}));

    if (server().rootPath().isEmpty())
        return; // the files below are laid out on a local server
    // Times as the server tells them, also of a file written when the local clock showed 02:30
    // the second time, the night it went back two days ago; a size is its low 32 bits, never a
    // number below zero, nor taken for a missing file.
    const QDate day = QDate::currentDate().addDays(-2);
    int julianDay = day.dayOfYear(); // the zone rule counts no 29 February
    if (QDate::isLeapYear(day.year()) && day.month() > 2)
        --julianDay;
    setEnvironment("TZ", "CET-1CEST,J" + QByteArray::number((julianDay + 182) % 365 + 1) + "/2,J" +
                             QByteArray::number(julianDay) + "/3");
    const qint64 secondPass = QDateTime(day, QTime(1, 30), Qt::UTC).toSecsSinceEpoch();
    QFile late(server().rootPath() + u"/late.bin"_s);
    ASSERT_TRUE(late.open(QIODevice::WriteOnly) && late.resize(0xFFFF'FFFF)); // sparse
    ASSERT_TRUE(late.setFileTime(QDateTime::fromSecsSinceEpoch(secondPass, Qt::UTC),
                                 QFileDevice::FileModificationTime));
    const CliRun listed = script(u"ls late.bin\nsize late.bin"_s);
    EXPECT_EQ(listed.out, u"late.bin|4294967295|%1|-\n4294967295\n"_s.arg(secondPass))
        << listed.err.toStdString();
}

TEST_P(FtpCommandServerTest, FailedCommandsAmongGoodOnesExitWithOne)
{
    // Drive z: no longer holds the whole file system, so the test's folder lies outside every
    // drive of the prefix.
    const QString zDrive = Platform::Prefix::path(u"dosdevices/z:"_s);
    ASSERT_TRUE(QFile::remove(zDrive));
    ASSERT_TRUE(QDir().mkpath(tempPath(u"elsewhere"_s)));
    ASSERT_TRUE(QFile::link(tempPath(u"elsewhere"_s), zDrive));
    const QString outside = writeFile(tempPath(u"outside.txt"_s), "text");
    const QString kept = writeFile(homePath(u"kept.txt"_s), "kept");
    const QString large = writeFile(homePath(u"large/film.bin"_s), patterned(1 << 20));

    const QString lines[] = {
        u"pwd"_s, u"ls *.none"_s, u"del \"no such file\""_s, u"cd \"no such folder\""_s,
        u"ls *.none"_s, // after failures, still nothing and no failure
        u"put "_s + quotedArgument(outside) + u" outside.txt"_s, u"size \"no such file\""_s,
        u"get \"no such file\" "_s + quotedArgument(kept), u"pwd"_s,
        // The size of a look-alike name is none of this one's.
        u"put "_s + quotedArgument(kept) + u" no_such_file"_s, u"size \"no such file\""_s,
        u"del no_such_file"_s,
        u"put "_s + quotedArgument(kept) + u" ."_s,         // leaves no partial beside the folder
        u"put "_s + quotedArgument(large) + u" \"a\rb\""_s, // sends nothing
    };
    const CliRun run = script(QStringList(std::begin(lines), std::end(lines)).join(u'\n'));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, server().homeDir() + u'\n' + server().homeDir() + u'\n');
    const QStringList err = run.err.split(u'\n', Qt::SkipEmptyParts);
    // pyftpdlib answers the del and the cd in the same words: each is still told.
    const QString starts[] = {u"vellix: line 4: del: 550"_s, u"vellix: line 5: cd: 550"_s,
                              u"vellix: line 7: put: "_s,    u"vellix: line 8: size: "_s,
                              u"vellix: line 9: get: "_s,    u"vellix: line 12: size: no server"_s,
                              u"vellix: line 14: put: "_s,   u"vellix: line 15: put: "_s};
    ASSERT_EQ(err.size(), std::size(starts)) << run.err.toStdString();
    for (size_t i = 0; i < std::size(starts); ++i)
        EXPECT_TRUE(err.at(i).startsWith(starts[i])) << err.at(i).toStdString();
    EXPECT_TRUE(err.at(2).contains(u"outside every drive"_s)) << err.at(2).toStdString();
    // The failed download left the file it was to replace as it was, and nothing beside it.
    EXPECT_EQ(readFile(kept), "kept");
    EXPECT_EQ(QDir(homePath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"kept.txt"_s});
    EXPECT_FALSE(run.err.contains(server().password()));
    EXPECT_TRUE(
        server().rootPath().isEmpty() ||
        QDir(server().rootPath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpCommandServerTest, ::testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// Runs against one pyftpdlib server.
class PyftpdlibCommandTest : public FtpCommandTest
{
protected:
    void SetUp() override
    {
        FtpCommandTest::SetUp();
        server = startOrSkip(FtpTestServer::Kind::Pyftpdlib);
    }

    std::unique_ptr<FtpTestServer> server;
};

TEST_F(PyftpdlibCommandTest, BadScriptLinesAreUsageErrorsAndTheRestRuns)
{
    const QString victim = writeFile(server->rootPath() + u"/victim.txt"_s, "keep me");
    // Beyond 64 KiB a line is no command: it is not held whole, nor echoed.
    const QByteArray longLine = "del " + QByteArray(1 << 20, 'x') + '\n';
    const CliRun run = runVellix(login(*server), server->password(),
                                 QByteArray("frobnicate x\n"
                                            "put onlyone\n"
                                            "mkdir \"not closed\n"
                                            "del caf\xe9.txt\n") +
                                     QByteArray("del victim.txt") + '\0' + ".bak\n" + longLine +
                                     // 64 KiB exactly: a line still, here a comment.
                                     '#' + QByteArray(64 * 1024 - 1, 'y') + "\r\npwd\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, server->homeDir() + u'\n');
    EXPECT_EQ(run.err.left(1000).split(u'\n', Qt::SkipEmptyParts),
              QStringList({u"vellix: line 1: unknown command \"frobnicate\""_s,
                           u"vellix: line 2: put takes: put [-c] LOCAL REMOTE"_s,
                           u"vellix: line 3: a double quote is not closed"_s,
                           u"vellix: line 4: the line is not UTF-8 text"_s,
                           u"vellix: line 5: the line holds a NUL character"_s,
                           u"vellix: line 6: the line is longer than 65536 bytes"_s}));
    EXPECT_EQ(readFile(victim), "keep me");
}

// --tls decides whether the run asks for TLS. Through a server that refuses clear text the first
// run pins its certificate and says so, and off is refused; a plain server is refused only when
// TLS is required.
TEST_F(FtpCommandTest, TlsOptionAgainstTlsAndPlainServers)
{
    const auto tls = startOrSkip(FtpTestServer::Kind::VsftpdTls);
    if (!tls)
        return;
    const auto plain = startOrSkip(FtpTestServer::Kind::Pyftpdlib);
    const struct
    {
        const FtpTestServer *server;
        QStringList options;
        int exitCode;
        QString errStart, errHolds; // both empty: nothing said
    } runs[] = {
        {tls.get(), {}, 0, u"vellix: New certificate of "_s, u"accepted and pinned: SHA256:"_s},
        {tls.get(),
         {u"--tls"_s, u"auto"_s, u"-v"_s},
         0,
         u"vellix: TLS: TLSv1."_s,
         u"matches its pin: SHA256:"_s},
        {tls.get(), {u"--tls"_s, u"off"_s}, 1, u"vellix: "_s, u"530"_s},
        {plain.get(), {u"--tls"_s, u"auto"_s}, 0, {}, {}},
        {plain.get(), {u"--tls"_s, u"require"_s}, 1, u"vellix: "_s, u"offers no TLS"_s},
    };
    for (const auto &r : runs) {
        const CliRun run =
            runVellix(login(*r.server) + r.options + QStringList{u"pwd"_s}, r.server->password());
        EXPECT_EQ(run.exitCode, r.exitCode) << ::testing::PrintToString(run);
        EXPECT_TRUE(r.errStart.isEmpty()
                        ? run.err.isEmpty()
                        : run.err.startsWith(r.errStart) && run.err.contains(r.errHolds))
            << ::testing::PrintToString(run);
    }
}

// Every name as the server has it, one a line of ls, nothing in it able to disguise it or split
// its line; a download onto a symbolic link replaces the link, not the file it points to, and a
// page's companion file whose name would lead out of its local folder is skipped and told.
TEST_F(PyftpdlibCommandTest, ServerNamesAreWrittenSafely)
{
    const QString root = server->rootPath();
    NamesAndLinks::layOutServerNames(root);
    writeFile(root + u"/esc\x1b[31m|red\\.txt"_s, "123");
    const CliRun listing = runVellix(login(*server) + QStringList{u"ls"_s}, server->password());
    EXPECT_EQ(listing.exitCode, 0) << listing.err.toStdString();
    QStringList names = NamesAndLinks::expectedNames() << u"esc\\x1b[31m\\x7cred\\x5c.txt|3"_s;
    names.sort();
    EXPECT_EQ(NamesAndLinks::listedNames(listing.out), names);

    const NamesAndLinks::LocalLinks links(root, tempPath());
    writeFile(root + u"/page.htm"_s, "<p>");
    writeFile(root + u"/page_files/ok.gif"_s, "GIF89a");
    writeFile(root + u"/page_files/x\\..\\..\\bell\a.txt"_s, "no");
    const QString page = u"get page.htm "_s + quotedArgument(tempPath(u"page.htm"_s));
    const CliRun run =
        runVellix(login(*server), server->password(), (links.script() << page).join(u'\n'));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, u"vellix: skipped the server file \"x\\..\\..\\bell\\x07.txt\": its "_s
                       u"name cannot be the name of a local file\n"_s);
    links.expectReplaced();
    EXPECT_EQ(readFile(tempPath(u"page_files/ok.gif"_s)), "GIF89a");
    EXPECT_EQ(QDir(tempPath(u"page_files"_s)).entryList(QDir::Files), QStringList{u"ok.gif"_s});
}

// A local file that cannot be written is told as what it is, not as a missing server file, and
// leaves no partial filling the disk, though the file is large enough to keep one after a cut. The
// server name after the command is a name, though it starts with a dash. A relative local path in
// a current folder removed meanwhile is told as that.
TEST_F(PyftpdlibCommandTest, ALocalWriteFailureSaysWhy)
{
    writeFile(server->rootPath() + u"/-big.bin"_s, QByteArray(2 << 20, 'x'));
    const QString target = writeFile(tempPath(u"in/big.bin"_s), "the user's own file");

    // Files of at most 8 KiB, as on a full disk: the write fails with the system's reason.
    const CliRun tooLarge = runVellixAfter(
        u"trap '' XFSZ; ulimit -f 16"_s,
        login(*server) + QStringList{u"get"_s, u"-big.bin"_s, target}, server->password());
    EXPECT_EQ(tooLarge.exitCode, 1) << tooLarge.err.toStdString();
    EXPECT_TRUE(tooLarge.err.contains(u"File too large"_s)) << tooLarge.err.toStdString();
    EXPECT_EQ(readFile(target), "the user's own file");
    EXPECT_EQ(QDir(tempPath(u"in"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"big.bin"_s});

    const QString gone = tempPath(u"gone"_s);
    ASSERT_TRUE(QDir().mkpath(gone));
    const CliRun removed = runVellixAfter(
        u"cd '%1' && rmdir '%1'"_s.arg(gone),
        login(*server) + QStringList{u"get"_s, u"-big.bin"_s, u"b.bin"_s}, server->password());
    EXPECT_EQ(std::pair(removed.exitCode, removed.err),
              std::pair(1, u"vellix: get: \"b.bin\" is relative to the current folder, which no "
                           "longer exists\n"_s));
}

// A named pipe (standard input is the progress test's) goes up as its bytes come, until its end,
// and the server file holds exactly those bytes; a socket is refused before the server is asked
// anything.
TEST_F(PyftpdlibCommandTest, PutReadsPipesToTheirEndAndRefusesSockets)
{
    const QByteArray content = patterned(300001);
    const auto put = [&](const QString &source, const QString &name) {
        return runVellix(login(*server) + QStringList{u"put"_s, source, name}, server->password());
    };
    // The pipe's writer pauses after its first bytes, so that the upload reads the pipe while it
    // is still being written.
    const QString whole = writeFile(tempPath(u"whole.bin"_s), content);
    const QString fifo = tempPath(u"lesson.fifo"_s);
    ASSERT_TRUE(makePipe(fifo));
    QProcess writer;
    writer.start(u"/bin/sh"_s,
                 {u"-c"_s, u"{ head -c 1000 \"$1\"; sleep 0.3; tail -c +1001 \"$1\"; } > \"$2\""_s,
                  u"sh"_s, whole, fifo});
    const CliRun fromFifo = put(fifo, u"from-fifo.bin"_s);
    EXPECT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(fromFifo.exitCode, 0) << fromFifo.err.toStdString();
    EXPECT_TRUE(readFile(server->rootPath() + u"/from-fifo.bin"_s) == content);

    QLocalServer socket;
    ASSERT_TRUE(socket.listen(tempPath(u"lesson.sock"_s)));
    const QStringList before = QDir(server->rootPath()).entryList(QDir::Files | QDir::Hidden);
    const CliRun fromSocket = put(socket.fullServerName(), u"from-socket.bin"_s);
    EXPECT_EQ(fromSocket.exitCode, 1);
    EXPECT_TRUE(
        fromSocket.err.contains(u"is a socket: put reads files, pipes and character devices"_s))
        << fromSocket.err.toStdString();
    EXPECT_EQ(QDir(server->rootPath()).entryList(QDir::Files | QDir::Hidden), before);
}

// On a terminal put and get draw a progress line on standard error, redrawn in place and ended
// with the transfer; --quiet draws nothing (nor does standard error that is no terminal, which
// the script tests check). A pipe's size is unknown: its line tells bytes and rate, and ends with
// all of its bytes.
TEST_F(PyftpdlibCommandTest, ProgressLineOnlyOnATerminal)
{
    const QString local = writeFile(tempPath(u"film.bin"_s), QByteArray(8 << 20, 'f'));
    const struct
    {
        const char *name;
        QString put;          // the options and the command
        QString lastLine;     // what the last redraw starts with; empty: nothing drawn
        bool resumed = false; // continues a partial of 3 MiB
        bool piped = false;   // puts /dev/stdin, the file piped in
    } cases[] = {
        {"terminal", u"put"_s, u"\r8.0 MiB of 8.0 MiB  100%"_s},
        {"quiet", u"--quiet put"_s, {}},
        {"resumed", u"put -c"_s, u"\r8.0 MiB of 8.0 MiB  100%"_s, true},
        {"piped source", u"put"_s, u"\r8.0 MiB  "_s, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.resumed)
            writeFile(server->rootPath() + u'/' + PartialName::pathFor(u"film.bin"_s),
                      QByteArray(3 << 20, 'f'));
        const QString command =
            QStringList{QStringLiteral(VELLIX_CLI_PATH), login(*server).join(u' '), c.put,
                        c.piped ? u"/dev/stdin"_s : local, u"film.bin"_s}
                .join(u' ');
        // script(1) gives the program a terminal and copies what it shows.
        const CliRun run =
            runProgram(u"script"_s,
                       {u"-qec"_s, (c.piped ? u"cat "_s + local + u" | "_s : QString()) + command,
                        tempPath(u"typescript"_s)},
                       {}, vellixEnvironment(server->password()));
        const QString shown = run.out + run.err;
        EXPECT_EQ(run.exitCode, 0) << shown.toStdString();
        // The terminal ends the line with "\r\n"; the last redraw starts at the "\r" before.
        const QString drawn = shown.trimmed();
        const QString last = drawn.mid(drawn.lastIndexOf(u'\r'));
        EXPECT_TRUE(c.lastLine.isEmpty() ? !drawn.contains(u'\r') : last.startsWith(c.lastLine))
            << shown.toStdString();
        EXPECT_EQ(shown.contains(u'%'), !c.lastLine.isEmpty() && !c.piped) << shown.toStdString();
        EXPECT_EQ(shown.contains(u"  resumed at 3.0 MiB  "_s), c.resumed) << shown.toStdString();
    }
}

// Signals stop a transfer at once, whatever it waits on, and the program then ends by the first
// signal: a download whose server stops answering leaves the local file as it was, with what
// arrived in a hidden partial; a put from a pipe whose writer has fallen silent leaves the
// server's copy as it was.
TEST_F(FtpCommandTest, SignalsStopAStalledTransferAndKeepTheOldFile)
{
    const struct
    {
        std::vector<int> sent; // the signals, in order
        bool put = false;
    } cases[] = {{{SIGINT}},         {{SIGTERM}},         {{SIGHUP}},
                 {{SIGINT, SIGINT}}, {{SIGHUP, SIGTERM}}, {{SIGINT}, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.sent.front())) + (c.put ? ", put" : ", get"));
        // A slow line, so that the download surely runs when the server stops answering.
        const auto server = FtpTestServer::startFaulty({.rate = 64 * 1024});
        ASSERT_TRUE(server);
        const QString onServer = writeFile(server->rootPath() + u"/big.bin"_s,
                                           c.put ? "the old copy" : QByteArray(4 << 20, 'x'));
        const QString folder = tempPath(u"in"_s);
        const QString target = writeFile(folder + u"/big.bin"_s, "the user's own file");
        const QString fifo = tempPath(u"lesson.fifo"_s);

        QProcess process;
        QProcess writer;
        if (c.put) {
            ASSERT_TRUE(makePipe(fifo));
            startVellix(process, login(*server) + QStringList{u"put"_s, fifo, u"big.bin"_s},
                        server->password());
            // The writer sends a little and then keeps the pipe open without a word.
            writer.start(u"/bin/sh"_s,
                         {u"-c"_s, u"exec > \"$1\"; echo part; exec sleep 600"_s, u"sh"_s, fifo});
        } else {
            startVellix(process, login(*server) + QStringList{u"get"_s, u"big.bin"_s, target},
                        server->password());
        }
        // The server logs the transfer's start; at this rate a download then runs for a minute.
        const auto sending = [&] {
            return readFile(server->logPath()).contains(c.put ? "STOR" : "RETR");
        };
        ASSERT_TRUE(QTest::qWaitFor(sending, 20000));
        QTest::qWait(300);
        ASSERT_TRUE(c.put || server->suspend());
        for (const int number : c.sent)
            ::kill(pid_t(process.processId()), number);

        // Well before any of the client's timeouts would end the wait.
        const bool ended = process.waitForFinished(10000);
        server->resume();
        writer.kill();
        writer.waitForFinished();
        ASSERT_TRUE(ended);
        // Ended by the first signal, or by a later one that came once the command had ended.
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        EXPECT_NE(std::find(c.sent.begin(), c.sent.end(), process.exitCode()), c.sent.end());
        // One signal lets the program say why it ends before it ends by it.
        const QString err = QString::fromUtf8(process.readAllStandardError());
        const QString cancelled =
            c.put ? u"vellix: put: cancelled\n"_s : u"vellix: get: cancelled\n"_s;
        EXPECT_TRUE(c.sent.size() > 1 ? err.contains(cancelled)
                                      : err.endsWith(cancelled + u"vellix: interrupted\n"_s))
            << err.toStdString();
        if (c.put) {
            EXPECT_EQ(readFile(onServer), "the old copy");
            continue;
        }
        // What arrived waits in the hidden partial, with its note, for a "get -c".
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  QStringList({QFileInfo(PartialName::originPathFor(target)).fileName(),
                               QFileInfo(PartialName::pathFor(target)).fileName(), u"big.bin"_s}));
        EXPECT_EQ(readFile(target), "the user's own file");
    }
}

// Runs against the scripted server, which cuts transfers (and sessions) after 1 MiB.
class CutTransferCommandTest : public FtpCommandTest
{
protected:
    static constexpr qsizetype Cut = 1 << 20;

    void start(const QString &fault)
    {
        server = FtpTestServer::startScripted(fault);
        ASSERT_TRUE(server);
        m_transfersSeen = 0;
    }

    // A local file's path in a folder of its own for each case.
    QString localPath()
    {
        const QString folder = tempPath(u"case %1"_s.arg(++m_cases));
        EXPECT_TRUE(QDir().mkpath(folder));
        return folder + u"/film.bin"_s;
    }

    CliRun vellix(const QStringList &options, const QString &lines)
    {
        return runVellix(login(*server) + options, server->password(), lines);
    }

    // The bytes each transfer's data connection carried since the last look.
    QList<qint64> moved()
    {
        const QList<qint64> all = movedBytes(server->logPath());
        return all.mid(std::exchange(m_transfersSeen, all.size()));
    }

    // Whether the transfers moved about the bytes expected: a resumed download may fetch a few
    // bytes before its partial's end again, to check that the two meet.
    static bool movedAbout(const QList<qint64> &moved, const QList<qint64> &expected)
    {
        return std::equal(
            moved.begin(), moved.end(), expected.begin(), expected.end(),
            [](qint64 bytes, qint64 about) { return bytes >= about && bytes <= about + 64; });
    }

    std::unique_ptr<FtpTestServer> server;

private:
    int m_cases = 0;
    qsizetype m_transfersSeen = 0;
};

// After a cut run, a run with -c moves only what is missing; without -c it starts over.
// Either way the target appears whole, and nothing is left beside it.
TEST_F(CutTransferCommandTest, ContinueFlagMovesOnlyWhatACutRunLeftOut)
{
    const QByteArray content = patterned(Cut * 3 / 2);
    const struct
    {
        QString verb, flag;
        qint64 moved;
    } cases[] = {
        {u"put"_s, u"-c"_s, Cut / 2},
        {u"put"_s, {}, Cut * 3 / 2},
        {u"get"_s, u"-c"_s, Cut / 2},
        {u"get"_s, {}, Cut * 3 / 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.verb + u' ' + c.flag).toStdString());
        start(u"cut-once=%1"_s.arg(Cut));
        const bool put = c.verb == u"put"_s;
        const QString local = put ? writeFile(localPath(), content) : localPath();
        const QString onServer = server->rootPath() + u"/film.bin"_s;
        if (!put)
            writeFile(onServer, content);
        const QString paths =
            put ? quotedArgument(local) + u" film.bin"_s : u"film.bin "_s + quotedArgument(local);
        const CliRun cut = vellix({}, c.verb + u' ' + paths + u'\n');
        ASSERT_EQ(cut.exitCode, 1) << ::testing::PrintToString(cut);
        EXPECT_EQ(moved(), QList<qint64>{Cut});

        const CliRun again = vellix({}, c.verb + u' ' + c.flag + u' ' + paths + u'\n');
        EXPECT_EQ(again.exitCode, 0) << ::testing::PrintToString(again);
        const QList<qint64> carried = moved();
        EXPECT_TRUE(movedAbout(carried, {c.moved})) << ::testing::PrintToString(carried);
        const QString target = put ? onServer : local;
        EXPECT_TRUE(readFile(target) == content);
        EXPECT_EQ(filesBelow(QFileInfo(target).path()), QStringList{u"film.bin"_s});
    }
}

// --retry tries a transfer again after a passing failure, continuing it, in the server folder
// the run was in, in a new session where the old one is gone; it gives up when the retries are
// spent, and a failure that time cannot cure is not tried again.
TEST_F(CutTransferCommandTest, RetriesContinueAfterPassingFailuresOnly)
{
    const QString retrying = u"vellix: line 2: %1: retrying in %2 s (attempt %3 of %4): "_s;
    const struct
    {
        const char *name;
        const char *fault; // the scripted server's, at 1 MiB
        int retries;       // what --retry allows
        QString command;
        int exitCode;
        int told; // the retries told, each after twice the wait before, from 1 s
        QList<qint64> moved;
        qint64 size = Cut * 7 / 2;
        qint64 cut = Cut;
    } cases[] = {
        {"put cut once", "cut-once", 2, u"put LOCAL film.bin"_s, 0, 1, {Cut, Cut * 5 / 2}},
        // The partial of a small file, removed after the cut, starts over.
        {"small put cut once",
         "cut-once",
         2,
         u"put LOCAL film.bin"_s,
         0,
         1,
         {Cut / 4, Cut / 2},
         Cut / 2,
         Cut / 4},
        {"session lost once", "lose-once", 2, u"get film.bin LOCAL"_s, 0, 1, {Cut, Cut * 5 / 2}},
        {"get cut every time", "cut-data", 2, u"get film.bin LOCAL"_s, 1, 2, {Cut, Cut, Cut}},
        {"get of a missing file", "cut-data", 3, u"get none.bin LOCAL"_s, 1, 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start(u"%1=%2"_s.arg(QLatin1String(c.fault)).arg(c.cut));
        const QByteArray content = patterned(c.size);
        const bool put = c.command.startsWith(u"put"_s);
        ASSERT_TRUE(QDir(server->rootPath()).mkdir(u"week 1"_s));
        const QString local = put ? writeFile(localPath(), content) : localPath();
        const QString onServer = server->rootPath() + u"/week 1/film.bin"_s;
        if (!put)
            writeFile(onServer, content);
        const CliRun run =
            vellix({u"--retry"_s, QString::number(c.retries)},
                   u"cd \"week 1\"\n"_s +
                       QString(c.command).replace(u"LOCAL"_s, quotedArgument(local)) + u'\n');
        EXPECT_EQ(run.exitCode, c.exitCode) << ::testing::PrintToString(run);
        QStringList expected, told = run.err.split(u'\n').filter(u"retrying"_s);
        for (int i = 1; i <= c.told; ++i)
            expected << retrying.arg(c.command.section(u' ', 0, 0))
                            .arg(1 << (i - 1))
                            .arg(i)
                            .arg(c.retries + 1);
        for (qsizetype i = 0; i < told.size(); ++i)
            told[i].truncate(expected.value(i, told.at(i)).size());
        EXPECT_EQ(told, expected) << ::testing::PrintToString(run);
        const QList<qint64> carried = moved();
        EXPECT_TRUE(movedAbout(carried, c.moved)) << ::testing::PrintToString(carried);
        if (c.exitCode == 0) {
            EXPECT_TRUE(readFile(put ? onServer : local) == content);
        }
    }
}

// A server that sends more than the file's size gives no copy of it: a get into the program's own
// output keeps what came, as of a cut get, and tells why.
TEST_F(CutTransferCommandTest, AnOverlongGetIntoStandardOutputTellsWhy)
{
    start(u"long-data=100"_s);
    writeFile(server->rootPath() + u"/film.bin"_s, "a lesson");
    const CliRun run =
        runVellix(login(*server) + QStringList{u"get"_s, u"film.bin"_s, u"/dev/stdout"_s},
                  server->password());
    EXPECT_EQ(std::tuple(run.exitCode, run.out), std::tuple(1, u"a lesson"_s));
    EXPECT_TRUE(run.err.contains(u"sent more than the 8 bytes"_s)) << run.err.toStdString();
}

// A signal while the server holds every byte of a put but has not confirmed it cancels the put at
// once, and the server's copy stays as it was.
TEST_F(CutTransferCommandTest, ASignalBeforeThePutIsConfirmedKeepsTheServersCopy)
{
    start(u"slow-confirm=20"_s);
    const QString onServer = writeFile(server->rootPath() + u"/film.bin"_s, "the old copy");
    const QString local = writeFile(localPath(), patterned(Cut / 4));
    QProcess process;
    startVellix(process, login(*server) + QStringList{u"put"_s, local, u"film.bin"_s},
                server->password());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !moved().isEmpty(); }, 20000));
    ::kill(pid_t(process.processId()), SIGINT);
    // Well before the server's confirmation would end the wait.
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(u"put: cancelled"_s));
    EXPECT_TRUE(readFile(onServer) == "the old copy");
}

// What a put read from a pipe before its session was lost is gone: --retry does not send the
// rest as if it were the whole, and the server's old copy stays.
TEST_F(CutTransferCommandTest, RetryDoesNotRepeatAPutFromAPipe)
{
    start(u"lose-once=%1"_s.arg(Cut));
    const QString onServer = writeFile(server->rootPath() + u"/film.bin"_s, "the old copy");
    const CliRun run = runVellix(login(*server) + QStringList{u"--retry"_s, u"2"_s, u"put"_s,
                                                              u"/dev/stdin"_s, u"film.bin"_s},
                                 server->password(), patterned(Cut * 3 / 2));
    EXPECT_EQ(run.exitCode, 1) << ::testing::PrintToString(run);
    EXPECT_FALSE(run.err.contains(u"retrying"_s)) << run.err.toStdString();
    EXPECT_EQ(moved(), QList<qint64>{Cut});
    EXPECT_TRUE(readFile(onServer) == "the old copy");
}
