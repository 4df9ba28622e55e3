// The "&Upload" command: its refusals, a single file sent to a real FTP server on loopback with
// and without the catalogue rebuild, the month folder it creates or cannot enter, and the
// secure batch hand-over to the external transfer tool.

#include "ControlTest.h"
#include "servers/FtpTestServer.h"
#include "servers/ServerModes.h"
#include "servers/SilentFtpServer.h"
#include "support/ConfigTest.h"
#include "support/WindowWatch.h"

#include "control/BatchUpload.h"
#include "control/Vellix.h"
#include "control/frmMsg.h"
#include "course/ConfigStore.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "platform/Launcher.h"
#include "transport/KnownCertificates.h"
#include "transport/Resume.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Platform::Ui;
using Box = Platform::UiRecorder::Box;

namespace {

const QString Course = u"smith"_s;
const QString ArchivePath = u"/DV/smith/spring_term"_s;
const QString MonthPath = ArchivePath + u"/May_2007"_s;
const QString HostFolder = u"C:\\Dovrelle\\"_s;
const QByteArray MayOnlyIni =
    "[smith]\r\nstartMonth=5\r\nstartYear=2007\r\nendMonth=5\r\nendYear=2007\r\n";

// A site no server listens at: a command that reaches it fails.
QString deadSite()
{
    return u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort());
}

} // namespace

TEST(BatchUploadTest, TargetFolderAndCommandLine)
{
    const struct
    {
        QString monthFolderPath, target;
    } folders[] = {
        {u"///DV/a/b/c"_s, u"DV/a/b/c"_s},
        // At most three leading slashes go.
        {u"////DV/a/b/c"_s, u"/DV/a/b/c"_s},
        {u"DV/a/b/c"_s, u"DV/a/b/c"_s},
        {QString(), QString()},
    };
    for (const auto &f : folders)
        EXPECT_EQ(BatchUpload::targetFolder(f.monthFolderPath), f.target)
            << f.monthFolderPath.toStdString();

    // Whatever a value holds, the launcher's split gives it back as it was.
    const QString values[] = {u"pa\"ss"_s, u"pass\\"_s,      u"a\\\"b"_s, u"\\\\"_s,
                              u"\""_s,     u"x\\\\\"\" y"_s, QString(),   u"\t"_s};
    for (const QString &value : values) {
        EXPECT_EQ(Platform::Launcher::splitCommandLine(
                      BatchUpload::commandLine(value, value, value, value)),
                  (QStringList{u"hvsftp.exe"_s, u"-l"_s, value, u"-pw"_s, value, u"-b"_s, value,
                               u"-be"_s, u"-k"_s, u"-hv"_s, u"done"_s, value}))
            << value.toStdString();
    }
}

class UploadCommandTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        frmMsg::setConnectDelay(0);
        control = std::make_unique<Vellix>();
        Shared().HostFolder = HostFolder;
        Shared().HostDrive = u"C"_s;
        ASSERT_TRUE(QDir().mkpath(Platform::DosPath::toLinux(HostFolder)));
        control->setRdir(MonthPath);
    }

    void TearDown() override
    {
        control.reset();
        frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
        ConfigTest::TearDown();
    }

    // A local file on the h: drive; its DOS path.
    QString localFile(const QString &name, const QByteArray &content = "lesson one\n") const
    {
        writeFile(homePath(name), content);
        return u"h:\\"_s + name;
    }

    void click(const QString &path)
    {
        control->setText(path);
        control->findChild<QPushButton *>(u"cmdUpload"_s)->click();
    }

    QStringList boxTexts()
    {
        QStringList texts;
        for (const Box &box : ui().boxes())
            texts << box.title + u": "_s + box.text;
        return texts;
    }

    bool loginStored() const
    {
        const QByteArray ini = readFile(iniPath());
        return !ini.contains("ftpPwd=\r\n") && ini.contains("ftpPwd=");
    }

    // The scripted server playing one fault, with the month folder made and its login stored.
    std::unique_ptr<FtpTestServer> scriptedServer(const QString &fault)
    {
        QString why;
        auto server = FtpTestServer::startScripted(fault, &why);
        EXPECT_TRUE(server) << why.toStdString();
        if (server) {
            QDir().mkpath(server->rootPath() + MonthPath);
            writeIni(MayOnlyIni);
            EXPECT_TRUE(
                WriteLoginData(Course, server->site(), server->user(), server->password(), false));
        }
        return server;
    }

    std::unique_ptr<Vellix> control;
};

// Bad input ends the command before anything else; the stored login names a dead site, where a
// command that went on would fail instead.
TEST_F(UploadCommandTest, BadInputEndsTheCommandBeforeItConnects)
{
    ASSERT_TRUE(WriteLoginData(Course, deadSite(), u"smith"_s, u"pw"_s, false));
    QString rdirSetByHost;
    int raised = 0;
    QObject::connect(control.get(), &Vellix::clickUpload, [&] {
        ++raised;
        control->setRdir(rdirSetByHost);
    });
    auto *txFile = control->findChild<QLineEdit *>(u"txFile"_s);
    const struct
    {
        QString rdir, path, title, box;
    } cases[] = {
        // The split reads rdir only after the host handled the event.
        {u"/DV/smith"_s, localFile(u"notes.txt"_s), u"Parameter Error"_s,
         u"You have bad data in you varables.\r\nResetting Login variables."_s},
        // Only blanks make the path empty, which would lead to the host drive's root.
        {MonthPath, u"\t"_s, Ui::applicationTitle(),
         u"Local Drive is invalid.\r\nTry something like 'C:\\'."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        ui().clear();
        rdirSetByHost = c.rdir;
        txFile->setText(c.path);
        control->findChild<QPushButton *>(u"cmdUpload"_s)->click();

        ::expectOnlyBox(ui(), c.box, Ui::Icon::Critical, c.title);
        EXPECT_EQ(txFile->text(), c.path);
    }
    EXPECT_EQ(raised, 2);
}

TEST_F(UploadCommandTest, SecureBatchHandsTheFileToTheTool)
{
    // A stand-in tool first on the search path writes down how it was started.
    const QString tool = writeProgram(tempPath(u"bin/hvsftp"_s));
    setEnvironment("PATH", QFile::encodeName(tempPath(u"bin"_s)) + ':' + qgetenv("PATH"));
    const QString hostFolder = Platform::DosPath::toLinux(HostFolder);

    // The control must not try to reach the site.
    const QString site = deadSite();
    // Quotes, backslashes and blanks would split or merge arguments if quoted naively.
    const QString user = u"dom\\smith\\"_s;
    const QString password = u"a\"b\\\" c\\"_s;
    writeIni("[smith]\r\nbatch=1\r\n");
    ASSERT_TRUE(WriteLoginData(Course, site, user, password, true));
    click(localFile(u"notes.txt"_s));

    ::expectOnlyBox(ui(), u"Batch Secure Ftp website update has been launched."_s,
                    Ui::Icon::Information, u"Batch Secure Ftp"_s);

    const QStringList scripts = QDir(hostFolder).entryList({u"rad*.tmp"_s}, QDir::Files);
    ASSERT_EQ(scripts.size(), 1);
    EXPECT_EQ(readFile(hostFolder + scripts.first()),
              "cd \"DV/smith/spring_term/May_2007\"\r\nput -u \"h:\\notes.txt\"\r\n\r\n");

    EXPECT_EQ(arguments(tool),
              (QStringList{u"-l"_s, user, u"-pw"_s, password, u"-b"_s, HostFolder + scripts.first(),
                           u"-be"_s, u"-k"_s, u"-hv"_s, u"done"_s, site}));
}

// A file whose transfer the server cuts, losing the session with it, goes up in the next try,
// in a new session, which moves only the rest; a refusal that trying again cannot cure is not
// tried again.
TEST_F(UploadCommandTest, CutFileIsTriedAgainAndOnlyTheRestMoves)
{
    constexpr qint64 Size = ResumeThreshold * 3 / 2;
    const auto server = scriptedServer(u"lose-once=%1"_s.arg(ResumeThreshold));
    ASSERT_TRUE(server);
    const QByteArray content = patterned(Size);
    click(localFile(u"lesson.bin"_s, content));

    EXPECT_TRUE(ui().boxes().isEmpty()) << boxTexts().join(u'\n').toStdString();
    EXPECT_TRUE(readFile(server->rootPath() + MonthPath + u"/lesson.bin"_s) == content);
    EXPECT_EQ(movedBytes(server->logPath()),
              (QList<qint64>{ResumeThreshold, Size - ResumeThreshold}));
    EXPECT_EQ(("\n" + readFile(server->logPath())).count("\nUSER "), 2);
}

TEST_F(UploadCommandTest, RefusedFileIsNotTriedAgain)
{
    const auto server = scriptedServer(u"refuse=STOR"_s);
    ASSERT_TRUE(server);
    click(localFile(u"lesson.bin"_s));

    ::expectOnlyBox(ui(), u"File 'h:\\lesson.bin' failed to upload."_s, Ui::Icon::Critical,
                    u"File Upload Status"_s);
    EXPECT_EQ(readFile(server->logPath()).count("\nSTOR "), 1);
}

// Only a server that refused the user name or password makes the login data wrong: a server
// that is down or silent, a changed certificate or a stripped "AUTH TLS" keeps it, and the box
// says why the server could not be used.
TEST_F(UploadCommandTest, NetworkFaultsKeepTheStoredLoginARefusedOneResetsIt)
{
    QString why;
    const auto plain = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why);
    ASSERT_TRUE(plain) << why.toStdString();
    const auto tls = FtpTestServer::start(FtpTestServer::Kind::PyftpdlibTls, &why);
    ASSERT_TRUE(tls) << why.toStdString();
    SilentFtpServer silent;
    ASSERT_TRUE(silent.isListening());
    const QString failed = u"Connection Failed.\r\n"_s;
    const struct
    {
        const char *name;
        QString site;
        QString password;
        const FtpTestServer *pinned; // holds a certificate pinned for it that it does not show
        QString box;                 // the status window's, up to its end
        bool loginKept;
    } cases[] = {
        {"ServerDown", deadSite(), u"pw"_s, nullptr, failed + u"The server could not be reached."_s,
         true},
        {"ServerSilent", silent.site(), u"pw"_s, nullptr, failed + u"The server did not answer."_s,
         true},
        {"CertificateChanged", tls->site(), tls->password(), tls.get(),
         failed + u"The encrypted connection failed: The certificate of"_s, true},
        {"TlsStripped", plain->site(), plain->password(), plain.get(),
         failed + plain->site() + u" spoke TLS before and now offers none"_s, true},
        {"PasswordRefused", plain->site(), u"wrong"_s, nullptr, u"Connection Failed."_s, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui().clear();
        QFile::remove(Ftp::KnownCertificates::filePath());
        if (c.pinned) {
            ASSERT_TRUE(Ftp::KnownCertificates::record(
                c.pinned->host(), c.pinned->port(), u"SHA256:bm90IGl0cyBjZXJ0aWZpY2F0ZQ"_s, &why));
        }
        writeIni(MayOnlyIni);
        ASSERT_TRUE(WriteLoginData(Course, c.site, plain->user(), c.password, false));
        Shared().FtpClient->setTimeouts({2s, 2s, 2s});
        click(localFile(u"notes.txt"_s));

        ASSERT_GE(ui().boxes().size(), 1);
        EXPECT_TRUE(ui().boxes().first().text.startsWith(c.box))
            << ui().boxes().first().text.toStdString();
        EXPECT_EQ(loginStored(), c.loginKept);
    }
}

class UploadServerTest
    : public UploadCommandTest
    , public testing::WithParamInterface<FtpTestServer::Kind>
{
protected:
    void SetUp() override
    {
        UploadCommandTest::SetUp();
        server = startOrSkip(GetParam(), ServerAccess::LocalFolder);
        if (!server)
            return;
        writeIni(MayOnlyIni + "school=Hill\r\ndept=math\r\ntName=Ms Smith\r\n");
        ASSERT_TRUE(
            WriteLoginData(Course, server->site(), server->user(), server->password(), false));
    }

    void TearDown() override
    {
        control.reset();
        server.reset();
        UploadCommandTest::TearDown();
    }

    QByteArray serverContent(const QString &path) const
    {
        return readFile(server->rootPath() + path);
    }

    std::unique_ptr<FtpTestServer> server;
    QObject host;
};

// Without loadfunc a file goes up silently into the month folder, made for a new month, and no
// catalogue is built. Later clicks use the open session: a folder or a pattern opens the local
// list; once the host called loadfunc, the next file goes up too.
TEST_P(UploadServerTest, FilesGoUpSilentlyUntilTheHostCallsLoadfunc)
{
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + ArchivePath));
    // A "/" in the local path separates folders, as a "\" does.
    click(localFile(u"week 1/notes.txt"_s));

    ASSERT_TRUE(ui().boxes().isEmpty()) << boxTexts().join(u'\n').toStdString();
    EXPECT_EQ(serverContent(MonthPath + u"/notes.txt"_s), "lesson one\n");
    EXPECT_FALSE(QFile::exists(server->rootPath() + ArchivePath + u"/index.htm"_s));
    EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default);

    QDir().mkpath(homePath(u"lessons"_s));
    // Each opens the local list (closed here as a person would), whose folder is the path's, and
    // is told as not uploaded; one ending in a backslash is not (the host's folder cases).
    QStringList listed;
    const auto closer = whenWindowShows(u"frmServerUp"_s, [&listed](QWidget &window) {
        listed.append(window.findChild<QLabel *>(u"lblLocal"_s)->text());
        window.close();
    });
    for (const QString &path : {u"h:\\lessons\\*.*"_s, u"h:\\lessons"_s}) {
        ui().clear();
        click(path);
        ::expectOnlyBox(ui(), u"File '"_s + path + u"' failed to upload."_s, Ui::Icon::Critical,
                        u"File Upload Status"_s);
    }
    EXPECT_EQ(listed, QStringList({u"h:\\lessons\\"_s, u"h:\\lessons"_s}));

    EXPECT_EQ(QDir(server->rootPath() + MonthPath).entryList(QDir::Files),
              QStringList{u"notes.txt"_s});

    // With loadfunc the upload is announced (the host's upload example reads the catalogue
    // rebuilt with it); clicks on Upload and Dn Del Rn while the blocks go out are refused.
    ui().clear();
    control->loadfunc(&host);
    int commands = 0;
    for (const auto event : {&Vellix::clickUpload, &Vellix::clickDnload})
        QObject::connect(control.get(), event, [&] { ++commands; });
    bool clicked = false;
    QObject::connect(Shared().FtpClient.get(), &cFTP::FileTransferProgress, [&] {
        if (std::exchange(clicked, true))
            return;
        for (const QString &name : {u"cmdUpload"_s, u"cmdDnload"_s})
            control->findChild<QPushButton *>(name)->click();
    });
    const QByteArray content = patterned(200000);
    click(localFile(u"big.bin"_s, content));

    EXPECT_TRUE(clicked);
    EXPECT_EQ(commands, 1);
    ::expectOnlyBox(ui(), u"File: \"big.bin\"\r\nwas successfully uploaded to the webserver."_s,
                    Ui::Icon::Information, u"Upload File"_s);
    EXPECT_EQ(serverContent(MonthPath + u"/big.bin"_s), content);
    EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default);
}

TEST_P(UploadServerTest, MonthFolderThatCannotBeEnteredResetsTheLogin)
{
    // Without the course folder only the month folder would be made, and that cannot be.
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + u"/DV"_s));
    ASSERT_TRUE(loginStored());
    click(localFile(u"notes.txt"_s));

    ::expectOnlyBox(ui(), u"Bad directory passed.\r\nYour login data has been reset."_s,
                    Ui::Icon::Critical, u"Upload"_s);
    EXPECT_FALSE(loginStored());
    EXPECT_FALSE(QDir(server->rootPath() + u"/DV/smith"_s).exists());
}

INSTANTIATE_TEST_SUITE_P(Servers, UploadServerTest, testing::ValuesIn(everyFtpServerKind()),
                         kindParameterName);
