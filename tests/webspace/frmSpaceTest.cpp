// The web space window against a real FTP server on loopback: the levels it names, Exit, Escape
// and the close box while it measures, and a folder that cannot be entered. What its labels
// show is the host's script test's.

#include "operations/ListOperationsTest.h"
#include "support/WindowWatch.h"

#include "webspace/frmSpace.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList LevelBoxes = {u"chkSite"_s, u"chkDV"_s, u"chkCourse"_s, u"chkArchive"_s,
                                u"chkMonth"_s};

void click(const frmSpace &window, const QString &button)
{
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
}

} // namespace

using frmSpaceTest = ListOperationsTest;

TEST_P(frmSpaceTest, ShowsFolderNamesAsTheyAreOffersOnlyNamedLevelsAndClosesOnAMissingOne)
{
    // A folder's "&" is shown, not taken for a mnemonic; a level without a folder is off.
    Shared().CourseName = u"R&D"_s;
    Shared().ArchiveName.clear();
    Shared().FtpClient->setSecure(true);
    frmSpace window;
    window.show();
    QStringList captions;
    QList<bool> enabled;
    for (const QString &name : LevelBoxes) {
        captions << window.findChild<QCheckBox *>(name)->text();
        enabled << window.findChild<QCheckBox *>(name)->isEnabled();
    }
    EXPECT_EQ(captions,
              QStringList({u"&Site"_s, u"&Dovrelle"_s, u"R&&D"_s, QString(), u"March_2007"_s}));
    EXPECT_EQ(enabled, QList<bool>({true, true, true, false, true}));
    EXPECT_TRUE(window.findChild<QLabel *>(u"imglock"_s)->isVisible());
    Shared().FtpClient->setSecure(false);

    // The course's folder is not on the server: the window closes (what it tells is the
    // measuring's test's).
    window.findChild<QCheckBox *>(u"chkCourse"_s)->setChecked(true);
    click(window, u"cmdOK"_s);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(Shared().StopFlag);
}

TEST_P(frmSpaceTest, ExitStopsAMeasuringAndASecondExitCloses)
{
    serverFile(u"lesson.pdf"_s, "a lesson");
    // what the user does while the walk runs, and whether the window stays
    const std::tuple<const char *, std::function<void(frmSpace &)>, bool> cases[] = {
        {"Exit", [](frmSpace &window) { click(window, u"cmdCancel"_s); }, true},
        {"Escape", [](frmSpace &window) { QTest::keyClick(&window, Qt::Key_Escape); }, true},
        {"the close box", [](frmSpace &window) { window.close(); }, false},
    };
    for (const auto &[what, duringTheWalk, stillShown] : cases) {
        frmSpace window;
        window.show();
        for (const QString &name : LevelBoxes)
            window.findChild<QCheckBox *>(name)->setChecked(true);
        bool okEnabledWhileMeasuring = true;
        // Runs with the messages of the walk's first folder.
        const auto during = whenWindowShows(u"frmSpace"_s, [&](QWidget &) {
            okEnabledWhileMeasuring = window.findChild<QPushButton *>(u"cmdOK"_s)->isEnabled();
            duringTheWalk(window);
        });
        click(window, u"cmdOK"_s);
        EXPECT_FALSE(okEnabledWhileMeasuring) << what;
        const QList<QLabel *> totals = window.findChildren<QLabel *>(QRegularExpression(u"^lbl"_s));
        EXPECT_EQ(totals.size(), 5);
        for (const QLabel *total : totals)
            EXPECT_TRUE(total->text().isEmpty()) << what;
        EXPECT_EQ(window.isVisible(), stillShown) << what;
        EXPECT_TRUE(Shared().StopFlag) << what;
        EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default) << what;
        // Stopped between folders, the walk waited for no server: the session stays.
        EXPECT_FALSE(Shared().FtpClient->GetFTPDirectory().isEmpty()) << what;
        if (stillShown) {
            click(window, u"cmdCancel"_s);
            EXPECT_FALSE(window.isVisible()) << what;
            EXPECT_EQ(window.result(), int(QDialog::Rejected)) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pyftpdlib, frmSpaceTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Pyftpdlib, true}),
                         serverModeParameterName);
