// The "&Web Space" menu entry against a real FTP server on loopback: with no session it logs in
// and connects first, with an open session it shows the web space window at once, and a
// connection that fails leaves its flag for the next command.

#include "operations/ListOperationsTest.h"
#include "support/WindowWatch.h"

#include "control/Vellix.h"
#include "control/WebSpaceCommand.h"
#include "control/frmMsg.h"
#include "course/ConfigStore.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QAction>
#include <QCheckBox>

TEST(WebSpaceCommandPathsTest, WebRootOfASessionIsTheHostProductsFolderUnderTheLogin)
{
    // The remote directory, the web root of a session logged in to /home/anna.
    const std::pair<QString, QString> cases[] = {
        {u"/home/anna/pub/DV/bio/2007/May"_s, u"/home/anna/pub/DV"_s},
        // The remote directory as the host set it, before the session made it absolute.
        {u"/DV/bio/2007/May/ "_s, u"/home/anna/DV"_s},
        // No host product's folder: the remote directory itself.
        {u"/pub/bio/2007/May"_s, u"/home/anna/pub/bio/2007/May"_s},
    };
    for (const auto &[remoteDir, webRoot] : cases) {
        EXPECT_EQ(WebSpaceCommand::sessionWebRoot(u"/"_s, remoteDir, u"/home/anna"_s), webRoot)
            << remoteDir.toStdString();
    }
}

class WebSpaceCommandTest : public ListOperationsTest
{
protected:
    void SetUp() override
    {
        ListOperationsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        frmMsg::setConnectDelay(0);
        // The control starts with a client of its own, without a session.
        control = std::make_unique<Vellix>();
        control->setRdir(MonthPath);
        if (GetParam().passive)
            Shared().FtpClient->SetModePassive();
        // The web space window is noted and closed as a person would; a login dialog, which
        // none of these cases should show, is cancelled.
        spaceWatch = whenWindowShows(u"frmSpace"_s, [this](QWidget &window) {
            shownCourses << window.findChild<QCheckBox *>(u"chkCourse"_s)->text();
            window.close();
        });
        loginWatch = whenWindowShows(u"frmLogin"_s, [](QWidget &window) { window.close(); });
    }

    void TearDown() override
    {
        control.reset();
        frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
        ListOperationsTest::TearDown();
    }

    void chooseWebSpace() { control->findChild<QAction *>(u"mnuSpace"_s)->trigger(); }

    std::unique_ptr<Vellix> control;
    std::unique_ptr<WindowWatch> spaceWatch;
    std::unique_ptr<WindowWatch> loginWatch;
    QStringList shownCourses;
};

TEST_P(WebSpaceCommandTest, ConnectsFirstThenShowsTheWindowAtOnceOnTheOpenSession)
{
    ASSERT_TRUE(
        WriteLoginData(u"bio"_s, server->site(), server->user(), server->password(), false));
    chooseWebSpace();
    EXPECT_EQ(shownCourses, QStringList{u"bio"_s});

    // The open session is used as it is: the configuration is not read again.
    writeIni("[bio]\r\n");
    chooseWebSpace();
    EXPECT_EQ(shownCourses, QStringList({u"bio"_s, u"bio"_s}));
    EXPECT_TRUE(ui().boxes().isEmpty());
    EXPECT_TRUE(Shared().StopFlag);
}

TEST_P(WebSpaceCommandTest, FailedConnectionShowsNoWindowAndLeavesItsFlag)
{
    const QString deadSite = u"127.0.0.1:"_s + QString::number(FtpTestServer::unusedPort());
    ASSERT_TRUE(WriteLoginData(u"bio"_s, deadSite, server->user(), server->password(), false));
    chooseWebSpace();
    EXPECT_TRUE(shownCourses.isEmpty());
    EXPECT_TRUE(Shared().ConnectionFailed);
}

INSTANTIATE_TEST_SUITE_P(Servers, WebSpaceCommandTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);
