// The connection status window: its failure message and pointer, the secure setting it reads,
// how it lets a secure connect go on, and real connects to loopback servers.

#include "ControlTest.h"
#include "servers/FtpTestServer.h"
#include "servers/SilentFtpServer.h"
#include "servers/StartOrSkip.h"
#include "support/ConfigTest.h"

#include "control/MessagePump.h"
#include "control/SecureConnectPolicy.h"
#include "control/frmMsg.h"
#include "course/ConfigStore.h"
#include "course/LoginStore.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Platform::Ui;

class StatusWindowTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        frmMsg::setConnectDelay(0);
        Shared().FtpClient = std::make_unique<cFTP>();
        Shared().Reconnect = &frmMsg::reconnect;
        Shared().CourseName = u"smith"_s;
        Shared().RemoteDir = u"/DV/smith/algebra/May"_s;
        Shared().UserId = u"smith"_s;
        Shared().Password = u"secret"_s;
    }

    void TearDown() override
    {
        frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
        ConfigTest::TearDown();
    }

    void refusedHost(const QString &path = {})
    {
        Shared().Host = u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort()) + path;
        Shared().SiteName = Shared().Host;
    }

    // Runs the window modally; a window that does not close itself is closed after a while,
    // so a fault fails the test instead of hanging it.
    int execWindow(frmMsg &window)
    {
        bool closedByWatchdog = false;
        QTimer::singleShot(20000, &window, [&] {
            closedByWatchdog = true;
            window.done(-1);
        });
        const int result = window.exec();
        EXPECT_FALSE(closedByWatchdog) << "the window did not close itself";
        return result;
    }

    static bool lockShown(const frmMsg &window)
    {
        const auto *lock = window.findChild<QLabel *>(u"Image1"_s);
        return lock && !lock->isHidden();
    }
};

// The window shows before the connect starts, which waits a second by default; it is wide
// enough for its caption beside a title bar's icon and buttons, and for its texts; its lock
// follows the client.
TEST_F(StatusWindowTest, ShownWindowWaitsASecondFitsItsTextsAndShowsTheLock)
{
    frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
    for (const bool secure : {true, false}) {
        SCOPED_TRACE(secure);
        Shared().FtpClient->setSecure(secure);
        frmMsg window;
        window.show();
        EXPECT_EQ(lockShown(window), secure);
        const auto *timer = window.findChild<QTimer *>(u"Timer1"_s);
        EXPECT_EQ(std::pair(timer->isActive(), timer->interval()), std::pair(true, 1000));
        EXPECT_TRUE(ui().pointerChanges().isEmpty());
        QFont title = QApplication::font("QMdiSubWindowTitleBar");
        title.setBold(true);
        // An icon and three buttons take 100 pixels on the smallest title bars.
        EXPECT_GE(window.width(),
                  QFontMetrics(title).horizontalAdvance(window.windowTitle()) + 100);
        for (const QString &name : {u"Label1"_s, u"cmdCancel"_s}) {
            const auto *child = window.findChild<QWidget *>(name);
            ASSERT_TRUE(child) << name.toStdString();
            EXPECT_GE(child->width(), child->sizeHint().width()) << name.toStdString();
            EXPECT_TRUE(window.rect().contains(child->geometry())) << name.toStdString();
        }
    }
}

// Cancel, Escape and the close box give the connect up, before it has started or while it
// waits on a server that never answers: the window ends as after a failed connect, and says
// why.
TEST_F(StatusWindowTest, CancellingEndsTheConnectAsFailed)
{
    // How the window is left, whether while connecting.
    const std::pair<std::string_view, bool> cases[] = {
        {"Cancel", false}, {"Cancel", true}, {"Escape", true}, {"close box", true}};
    SilentFtpServer server;
    ASSERT_TRUE(server.isListening());
    // The control's own client, whose connect lets the window's events through.
    CreateSharedClient(MessagePump());
    // A cancel that goes unseen ends in a timeout, which the box would tell.
    Shared().FtpClient->setTimeouts({5s, 5s, 5s});
    for (const auto &[how, whileConnecting] : cases) {
        SCOPED_TRACE(testing::Message() << how << (whileConnecting ? " while connecting" : ""));
        ui().clear();
        Shared().Host = Shared().SiteName = server.site();
        const int connectionsBefore = server.connectionCount();
        const qsizetype pointersBefore = ui().pointerChanges().size();
        frmMsg::setConnectDelay(whileConnecting ? 0 : frmMsg::DefaultConnectDelayMs);
        frmMsg window;
        bool connecting = false;
        bool closedAtOnce = false;
        QTimer::singleShot(whileConnecting ? 300 : 0, &window, [&] {
            connecting = ui().pointerChanges().mid(pointersBefore).contains(Ui::Pointer::Hourglass);
            if (how == "Cancel")
                window.findChild<QPushButton *>(u"cmdCancel"_s)->click();
            else if (how == "Escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                window.close();
            closedAtOnce = !window.isVisible();
        });
        const int result = execWindow(window);
        // A connect under way ends at the next turn of its wait.
        EXPECT_EQ(std::tuple(result, connecting, closedAtOnce),
                  std::tuple(int(QDialog::Rejected), whileConnecting, !whileConnecting));
        expectOnlyBox(ui(), u"Connection Failed.\r\nConnecting was cancelled."_s,
                      Ui::Icon::Critical);
        EXPECT_TRUE(Shared().ConnectionFailed);
        EXPECT_EQ(server.connectionCount() - connectionsBefore, whileConnecting ? 1 : 0);
    }
}

// A site with a path connects to its host; a refused connection says so with the normal
// pointer, and the window closes.
TEST_F(StatusWindowTest, RefusedConnectionToASiteWithAPathSaysSoAndCloses)
{
    refusedHost(u"/www"_s);
    const QString host = Shared().Host.section(u'/', 0, 0);
    frmMsg window;
    EXPECT_EQ(execWindow(window), int(QDialog::Rejected));

    expectOnlyBox(ui(), u"Connection Failed.\r\nThe server could not be reached."_s,
                  Ui::Icon::Critical);
    EXPECT_EQ(ui().pointerChanges(),
              (QList<Ui::Pointer>{Ui::Pointer::Hourglass, Ui::Pointer::Default}));
    EXPECT_EQ(QStringList({Shared().Host, Shared().SiteName}), QStringList({host, host}));
    // The connect failed, so the web root stays the one the site named.
    EXPECT_EQ(Shared().WebRoot, u"/www/DV"_s);
}

TEST_F(StatusWindowTest, StoredSecureValueChoosesTheChannel)
{
    // The stored value (none: no key), whether it asks for the secure channel.
    const std::pair<const char *, bool> cases[] = {
        {nullptr, false}, {"0", false},  {"1", true},    {"-1", true},
        {" 2", true},     {"0.5", true}, {"yes", false}, {"0x1", false},
    };
    refusedHost();
    for (const auto &[stored, secure] : cases) {
        SCOPED_TRACE(stored ? stored : "(none)");
        // Each case starts from the opposite channel, so a value left unread shows.
        Shared().FtpClient->setSecure(!secure);
        if (stored)
            ASSERT_TRUE(LoginStore().write(u"smith"_s, u"secure"_s, QString::fromLatin1(stored)));
        else
            writeIni("[smith]\nschool=North\n");
        frmMsg window;
        window.Connect();
        EXPECT_EQ(Shared().FtpClient->secure(), secure);
        EXPECT_EQ(lockShown(window), secure);
    }
    EXPECT_TRUE(Shared().Component);
}

// What the host hands to loadfunc: an object a cancelled secure connect asks to close.
class HostFunction : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void Close() { ++closed; }
    int closed = 0;
};

TEST_F(StatusWindowTest, ASecureConnectGoesOnUntilTheLoginOrTheCommandIsCancelled)
{
    int pumped = 0;
    SecureConnectPolicy goesOn([&] { ++pumped; });
    SharedState &shared = Shared();
    EXPECT_TRUE(goesOn());
    EXPECT_EQ(pumped, 1);

    shared.LoginCancelled = true;
    EXPECT_FALSE(goesOn());
    EXPECT_EQ(pumped, 2);
    shared.LoginCancelled = false;

    HostFunction function;
    shared.LoadFuncObject = &function;
    shared.CancelRequest = true;
    EXPECT_FALSE(goesOn());
    EXPECT_EQ(function.closed, 1);
    EXPECT_TRUE(shared.LoadFuncObject.isNull());
    EXPECT_EQ(pumped, 2); // a cancel ends the connect without another turn of the loop

    QObject plain; // an object without Close is only let go
    shared.LoadFuncObject = &plain;
    EXPECT_FALSE(goesOn());
    EXPECT_TRUE(shared.LoadFuncObject.isNull());
}

class StatusWindowServerTest
    : public StatusWindowTest
    , public testing::WithParamInterface<FtpTestServer::Kind>
{
protected:
    void SetUp() override
    {
        StatusWindowTest::SetUp();
        server = startOrSkip(GetParam());
        if (!server)
            return;
        Shared().Host = Shared().SiteName = server->site();
        Shared().UserId = server->user();
        Shared().Password = server->password();
        // The remote directory as a host writes it, relative to the login folder.
        Shared().RemoteDir = u"DV/smith/algebra/May"_s;
    }

    void TearDown() override
    {
        if (Shared().FtpClient)
            Shared().FtpClient->CloseConnection();
        server.reset();
        StatusWindowTest::TearDown();
    }

    std::unique_ptr<FtpTestServer> server;
};

// The window connects and closes itself; EnsureConnected then leaves the open session alone.
TEST_P(StatusWindowServerTest, ConnectsClosesItselfPlacesThePathsAndShowsTheLockOverTls)
{
    frmMsg window;
    EXPECT_EQ(execWindow(window), int(QDialog::Accepted));

    const QString home = server->homeDir();
    EXPECT_EQ(QStringList({Shared().HomeDir, Shared().FtpClient->GetFTPDirectory(),
                           Shared().WebRoot, Shared().RemoteDir}),
              QStringList({home, home, CollapseSlashes(home + u"/"_s),
                           CollapseSlashes(home + u"/DV/smith/algebra/May"_s)}));
    // A session over TLS shows the lock.
    const bool tls = GetParam() == FtpTestServer::Kind::VsftpdTls ||
                     GetParam() == FtpTestServer::Kind::PyftpdlibTls;
    EXPECT_EQ(lockShown(window), tls);
    EXPECT_EQ(window.findChild<QLabel *>(u"Image1"_s)->toolTip(),
              tls ? u"Encrypted (TLS)"_s : u"Secure FTP"_s);

    Shared().HomeDir = u"(kept)"_s;
    EXPECT_TRUE(EnsureConnected());
    // No window ran: it would have connected anew and changed the pointer.
    EXPECT_EQ(ui().pointerChanges().size(), 2);
    EXPECT_EQ(Shared().HomeDir, u"(kept)"_s);
}

INSTANTIATE_TEST_SUITE_P(Servers, StatusWindowServerTest, testing::ValuesIn(everyFtpServerKind()),
                         kindParameterName);

#include "StatusWindowTest.moc"
