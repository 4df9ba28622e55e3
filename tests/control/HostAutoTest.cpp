// vellix-host --auto: the host drives the control's Upload by itself against a real FTP server.

#include "servers/FtpTestServer.h"
#include "support/ConfigTest.h"

#include "course/ConfigStore.h"
#include "platform/DosPath.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

class HostAutoTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        QString why;
        server = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why);
        ASSERT_TRUE(server) << why.toStdString();
        Platform::Registry().setString(
            Platform::RootKey::LocalMachine,
            u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe"_s, QString(),
            u"C:\\Dovrelle\\Dovrelle.exe"_s);
        QDir().mkpath(server->rootPath() + u"/DV/bio/2007/March_2007"_s);
        writeIni("[bio]\r\nstartMonth=3\r\nstartYear=2007\r\nendMonth=3\r\nendYear=2007\r\n");
        ASSERT_TRUE(
            WriteLoginData(u"bio"_s, server->site(), server->user(), server->password(), false));
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\lesson 1.txt"_s), "lesson");
    }

    // Runs the host on a bag with that rdir; its exit code.
    int runAuto(const QString &rdir)
    {
        const QString bag =
            writeFile(tempPath(u"auto.ini"_s), "[Vellix]\r\nrdir=" + rdir.toUtf8() +
                                                   "\r\ntext=C:\\Course\\lesson 1.txt\r\n");
        QProcess host;
        host.start(QStringLiteral(VELLIX_HOST_PROGRAM),
                   {u"--bag"_s, bag, u"--auto"_s, u"--shots"_s, shots()});
        EXPECT_TRUE(host.waitForFinished(60000));
        output = QString::fromUtf8(host.readAllStandardOutput());
        return host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -1;
    }

    QString shots() const { return tempPath(u"shots"_s); }

    std::unique_ptr<FtpTestServer> server;
    QString output;
};

TEST_F(HostAutoTest, UploadsAnnouncesAndPicturesEveryWindow)
{
    ASSERT_EQ(runAuto(u"/DV/bio/2007/March_2007"_s), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(u"was successfully uploaded to the webserver."_s));
    const QString archive = server->rootPath() + u"/DV/bio/2007"_s;
    EXPECT_EQ(readFile(archive + u"/March_2007/lesson 1.txt"_s), "lesson");
    EXPECT_TRUE(readFile(archive + u"/index.htm"_s).contains("lesson 1.txt"));
    const QStringList pictures = QDir(shots()).entryList({u"*.png"_s}, QDir::Files, QDir::Name);
    EXPECT_EQ(pictures, QStringList({u"01-host.png"_s, u"02-frmMsg.png"_s, u"03-box.png"_s,
                                     u"04-host-after.png"_s}));
}

TEST_F(HostAutoTest, AnythingButTheAnnouncementExitsWithOne)
{
    EXPECT_EQ(runAuto(u"/DV/bio"_s), 1);
    EXPECT_TRUE(output.contains(u"Parameter Error"_s)) << output.toStdString();
    EXPECT_FALSE(QFile::exists(server->rootPath() + u"/DV/bio/2007/index.htm"_s));
}
