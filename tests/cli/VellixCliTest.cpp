#include "CliRun.h"
#include "servers/SilentFtpServer.h"
#include "support/ConfigTest.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

} // namespace

// Runs the built `vellix` on the test's prefix, as a user would from a shell.
using VellixCli = ConfigTest;

// A file open to others is made private when it takes login data, which is said the first time
// only.
TEST_F(VellixCli, SetLoginThenShowRoundTrips)
{
    writeIni("[Bio]\r\nschool=Hill\r\nlldir=h:\\bio\r\nnumDirs=1\r\ndir0=2007\r\nb0=1\r\n"
             "b0_1=Einführung\r\n");
    QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QStringList setLogin =
        words(u"config set-login Bio --site ftp.example.org/sub --secure 1 --tls require"_s) +
        QStringList{u"--user"_s, u" Jürgen "_s};
    for (const QString &note : {u"vellix: note: "_s + iniPath() +
                                    u" could be read by other users; it holds login data, so "
                                    "it is now readable by its owner only\n"_s,
                                QString()}) {
        const CliRun set = runVellix(setLogin, u"pä ss"_s);
        ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
        EXPECT_EQ(set.err, note);
    }
    EXPECT_FALSE(readFile(iniPath()).contains("ss"));

    const CliRun show = runVellix(words(u"config show Bio --archive 2007"_s), std::nullopt);
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    const QStringList lines = show.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 25) << show.out.toStdString();
    EXPECT_EQ(lines.first(), u"SiteName=ftp.example.org/sub"_s);
    for (const QString &line : {u"UserId= Jürgen "_s, u"Password=*****"_s, u"Tls=require"_s,
                                u"School=Hill"_s, u"LastLocalDir=h:\\bio\\"_s, u"NamedFolders=1"_s,
                                u"FolderName1=Einführung"_s, u"FolderName12="_s})
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << '\n' << show.out.toStdString();

    // Why it shows no values: the course has none, or the file cannot be read.
    const QStringList other = words(u"config show Other"_s);
    EXPECT_EQ(runVellix(other, std::nullopt).err,
              u"vellix: note: Dovrelle.ini has no values for course 'Other'\n"_s);
    ASSERT_TRUE(QFile::remove(iniPath()) && QDir().mkpath(iniPath()));
    EXPECT_EQ(runVellix(other, std::nullopt).err,
              u"vellix: note: "_s + iniPath() + u" cannot be read\n"_s);

    // or the prefix that would hold it cannot be made: said, rather than read or written empty
    const QString prefix = writeFile(tempPath(u"file"_s), "") + u"/prefix"_s;
    setEnvironment("VELLIX_PREFIX", QFile::encodeName(prefix));
    for (const QStringList &arguments :
         {other, words(u"config set-login Bio --site s --user u"_s)}) {
        const CliRun run = runVellix(arguments, u"pw"_s);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, u"vellix: cannot make the folder "_s + prefix +
                               u"/drive_c/windows of Dovrelle.ini; set VELLIX_PREFIX to a folder "
                               "this user may write in\n"_s);
    }
}

// A job started with its output closed or on a full disk learns that what was shown is lost.
TEST_F(VellixCli, LostOutputIsAFailure)
{
    writeIni("[Bio]\r\nschool=Hill\r\n");
    const std::pair<QString, QString> cases[] = {
        {u"exec >&-"_s, u"Bad file descriptor"_s},
        {u"exec >/dev/full"_s, u"No space left on device"_s},
    };
    for (const auto &[shellLines, why] : cases) {
        const CliRun run = runVellixAfter(shellLines, words(u"config show Bio"_s), std::nullopt);
        EXPECT_EQ(std::pair(run.exitCode, run.err),
                  std::pair(1, u"vellix: cannot write to standard output: "_s + why + u'\n'));
    }
}

// Programs that store login data at the same time each keep what the others stored.
TEST_F(VellixCli, SetLoginsAtTheSameTimeAllStay)
{
    writeIni("[Bio]\r\nschool=Hill\r\n");
    QProcess runs[8];
    for (int i = 0; i < 8; ++i) {
        startVellix(runs[i],
                    words(u"config set-login C%1 --site ftp.example.org --user anna"_s.arg(i)),
                    u"pw"_s);
    }
    for (QProcess &run : runs)
        EXPECT_TRUE(run.waitForFinished(90000) && run.exitCode() == 0)
            << run.readAllStandardError().toStdString();
    const QByteArray settings = readFile(iniPath());
    EXPECT_TRUE(settings.startsWith("[Bio]\r\nschool=Hill\r\n"));
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(settings.contains("[C" + QByteArray::number(i) + "]")) << i;
    EXPECT_EQ(QDir(QFileInfo(iniPath()).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"Dovrelle.ini"_s});
}

TEST_F(VellixCli, HelpUsageErrorsAndARefusedConnection)
{
    const CliRun help = runVellix({u"--help"_s}, std::nullopt);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"vellix config show COURSE"_s));
    EXPECT_TRUE(help.out.contains(u"vellix config set-login COURSE"_s));
    EXPECT_TRUE(help.out.contains(u"vellix ftp --site"_s));
    const CliRun ftpHelp = runVellix({u"ftp"_s, u"--help"_s}, std::nullopt);
    EXPECT_EQ(ftpHelp.exitCode, 0);
    EXPECT_TRUE(ftpHelp.out.startsWith(u"usage: vellix ftp "_s)) << ftpHelp.out.toStdString();
    EXPECT_TRUE(ftpHelp.out.contains(u"put [-c] LOCAL REMOTE"_s)) << ftpHelp.out.toStdString();

    // Nothing listens on the ftp lines' site: a usage error is told before any connection.
    const QString ftp = u"ftp --site 127.0.0.1:1 --user u "_s;
    const QString bad[] = {
        {},
        u"nope"_s,
        u"config"_s,
        u"config bogus"_s,
        u"config show"_s,
        u"config show a b"_s,
        u"config show a --unknown"_s,
        u"config show bad]name"_s,
        u"config set-login c --user u"_s,
        u"config set-login c --site s --user u --secure 2"_s,
        u"config set-login c --site s --user u --tls maybe"_s,
        u"config set-login c --site s --user"_s,
        u"ftp"_s,
        u"ftp --user u pwd"_s,
        u"ftp --site 127.0.0.1:1 pwd"_s,
        u"ftp --site 127.0.0.1:1 --user"_s,
        ftp + u"--frob"_s,
        ftp + u"--tls sometimes pwd"_s,
        ftp + u"bogus"_s,
        ftp + u"pwd extra"_s,
        ftp + u"ls a b"_s,
        ftp + u"put only-one"_s,
        ftp + u"get a b c"_s,
        ftp + u"put -c only-one"_s,
        ftp + u"get -c a b c"_s,
        ftp + u"--retry -1 pwd"_s,
        ftp + u"--retry 101 pwd"_s,
        ftp + u"--retry two pwd"_s,
    };
    for (const QString &line : bad) {
        const CliRun run = runVellix(words(line), u"pw"_s);
        EXPECT_EQ(run.exitCode, 2) << line.toStdString();
        const QString usage = line.startsWith(u"ftp"_s)
                                  ? u"usage: vellix ftp --site HOST[:PORT] --user USER"_s
                                  : u"usage: vellix"_s;
        EXPECT_TRUE(run.err.contains(usage)) << line.toStdString() << '\n' << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(iniPath()));

    const CliRun noPassword = runVellix(words(ftp + u"pwd"_s), std::nullopt);
    EXPECT_EQ(noPassword.exitCode, 1);
    EXPECT_TRUE(noPassword.err.contains(u"VELLIX_PASSWORD"_s)) << noPassword.err.toStdString();

    // A refused connection ends with one and keeps the password to itself. Over the secure
    // channel the library's status tells the reason: the hvsftp and secure command tests read it.
    const CliRun refused = runVellix(words(ftp + u"pwd"_s), u"secret"_s);
    EXPECT_EQ(std::pair(refused.exitCode, refused.out), std::pair(1, QString()));
    EXPECT_TRUE(refused.err.startsWith(u"vellix: cannot log in to 127.0.0.1:1: InternetConnect "
                                       "error code: 12029 Message: "_s))
        << refused.err.toStdString();
    EXPECT_FALSE(refused.err.contains(u"secret"_s));
}

// --timeout bounds the wait for a silent server on both channels, the secure library's too.
TEST_F(VellixCli, TimeoutEndsTheWaitForASilentServer)
{
    const SilentFtpServer mute;
    ASSERT_TRUE(mute.isListening());
    for (const QString &channel : {QString(), u" --secure"_s}) {
        SCOPED_TRACE(channel.toStdString());
        QProcess vellix;
        startVellix(vellix,
                    words(u"ftp --site %1 --user u --timeout 1%2 pwd"_s.arg(mute.site(), channel)),
                    u"pw"_s);
        // Well before the 30 s that either channel waits unless told.
        ASSERT_TRUE(vellix.waitForFinished(15000)) << "still waiting";
        EXPECT_EQ(vellix.exitCode(), 1);
        EXPECT_TRUE(vellix.readAllStandardError().contains("cannot log in"));
    }
}

// An argument in another encoding than UTF-8 is refused, not taken with its bytes replaced.
TEST_F(VellixCli, ArgumentsThatAreNotUtf8AreRefused)
{
    const CliRun run =
        runVellixAfter(u"set -- config show \"$(printf 'caf\\351')\""_s, {}, std::nullopt);
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(2, QString(), u"vellix: argument 3 is not UTF-8 text\n"_s));
}

TEST_F(VellixCli, ValueThatCannotBeStoredChangesNothing)
{
    const QByteArray before = "; kept as it is\r\n[Bio]\r\nftpSite=old\r\n";
    writeIni(before);
    const QStringList setLogin =
        words(u"config set-login Bio --site ftp.example.org --user anna"_s);
    // No password, or one too long to be stored.
    for (const auto &password : {std::optional<QString>(), std::optional(QString(300, u'p'))}) {
        const CliRun run = runVellix(setLogin, password);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(u"vellix: "_s)) << run.err.toStdString();
        EXPECT_EQ(readFile(iniPath()), before);
    }
}
