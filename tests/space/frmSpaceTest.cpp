// The web space window against a real FTP server on loopback: the levels it names, the totals
// and bytes its labels show, Exit and the close box while it measures, and a folder that cannot
// be entered.

#include "operations/ListOperationsTest.h"

#include "space/frmSpace.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QStringList LevelBoxes = {u"chkSite"_s, u"chkDV"_s, u"chkCourse"_s, u"chkArchive"_s,
                                u"chkMonth"_s};
const QStringList TotalLabels = {u"lblSite"_s, u"lblDV"_s, u"lblCourse"_s, u"lblArchive"_s,
                                 u"lblMonth"_s};

template<typename T>
T *child(const frmSpace &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
}

QStringList labelTexts(const frmSpace &window)
{
    QStringList texts;
    for (const QString &name : TotalLabels)
        texts << child<QLabel>(window, name)->text();
    return texts;
}

void tickAll(const frmSpace &window)
{
    for (const QString &name : LevelBoxes)
        child<QCheckBox>(window, name)->setChecked(true);
}

void click(const frmSpace &window, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

} // namespace

class frmSpaceTest : public ListOperationsTest
{
};

TEST_P(frmSpaceTest, LoadNamesTheLevelsOfTheRemoteDirectory)
{
    const struct
    {
        QString course, archive;
        bool secure;
        QStringList captions;
        QList<bool> enabled;
    } cases[] = {
        {u"bio"_s,
         u"2007"_s,
         false,
         QStringList{u"&Site"_s, u"&Dovrelle"_s, u"bio"_s, u"2007"_s, u"March_2007"_s},
         {true, true, true, true, true}},
        // A folder's "&" is shown, not taken for a mnemonic; a level without a folder is off.
        {u"R&D"_s,
         QString(),
         true,
         QStringList{u"&Site"_s, u"&Dovrelle"_s, u"R&&D"_s, QString(), u"March_2007"_s},
         {true, true, true, false, true}},
    };
    for (const auto &c : cases) {
        Shared().CourseName = c.course;
        Shared().ArchiveName = c.archive;
        Shared().FtpClient->setSecure(c.secure);
        frmSpace window;
        window.show();
        EXPECT_EQ(window.windowTitle(), u"Web Space"_s);
        QStringList captions;
        QList<bool> enabled;
        for (const QString &name : LevelBoxes) {
            captions << child<QCheckBox>(window, name)->text();
            enabled << child<QCheckBox>(window, name)->isEnabled();
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(child<QLabel>(window, u"imglock"_s)->isVisible(), c.secure);
    }
    Shared().FtpClient->setSecure(false);
}

TEST_P(frmSpaceTest, OkShowsEachTickedTotalWithItsBytes)
{
    serverFile(u"lesson.pdf"_s, QByteArray(1234, 'x'));
    frmSpace window;
    window.show();
    child<QCheckBox>(window, u"chkMonth"_s)->setChecked(true);
    child<QCheckBox>(window, u"chkCourse"_s)->setChecked(true);
    click(window, u"cmdOK"_s);
    EXPECT_EQ(labelTexts(window),
              QStringList({QString(), QString(), u"1.2 KB  "_s, QString(), u"1.2 KB  "_s}));
    EXPECT_EQ(child<QLabel>(window, u"lblMonth"_s)->toolTip(), u"1,234 bytes"_s);
    EXPECT_TRUE(child<QPushButton>(window, u"cmdOK"_s)->isEnabled());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(ui().boxes().isEmpty());
}

TEST_P(frmSpaceTest, ExitStopsAMeasuringAndASecondExitCloses)
{
    serverFile(u"lesson.pdf"_s, "a lesson");
    const struct
    {
        const char *what;
        std::function<void(frmSpace &)> duringTheWalk;
        bool stillShown;
    } cases[] = {
        {"Exit", [](frmSpace &window) { click(window, u"cmdCancel"_s); }, true},
        {"Escape", [](frmSpace &window) { QTest::keyClick(&window, Qt::Key_Escape); }, true},
        {"the close box", [](frmSpace &window) { window.close(); }, false},
    };
    for (const auto &c : cases) {
        frmSpace window;
        window.show();
        tickAll(window);
        bool okEnabledWhileMeasuring = true;
        // Runs with the messages of the walk's first folder.
        QTimer::singleShot(0, &window, [&] {
            okEnabledWhileMeasuring = child<QPushButton>(window, u"cmdOK"_s)->isEnabled();
            c.duringTheWalk(window);
        });
        click(window, u"cmdOK"_s);
        EXPECT_FALSE(okEnabledWhileMeasuring) << c.what;
        EXPECT_EQ(labelTexts(window), QStringList(5, QString())) << c.what;
        EXPECT_EQ(window.isVisible(), c.stillShown) << c.what;
        EXPECT_TRUE(Shared().StopFlag) << c.what;
        EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default) << c.what;
        if (c.stillShown) {
            click(window, u"cmdCancel"_s);
            EXPECT_FALSE(window.isVisible()) << c.what;
            EXPECT_EQ(window.result(), int(QDialog::Rejected)) << c.what;
        }
    }
}

TEST_P(frmSpaceTest, FolderThatCannotBeEnteredClosesTheWindow)
{
    Shared().CourseName = u"gone"_s;
    frmSpace window;
    window.show();
    child<QCheckBox>(window, u"chkCourse"_s)->setChecked(true);
    click(window, u"cmdOK"_s);
    EXPECT_EQ(texts(ui().boxes()), QStringList{u"Bad Directory."_s});
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(Shared().StopFlag);
}

INSTANTIATE_TEST_SUITE_P(Pyftpdlib, frmSpaceTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Pyftpdlib, true}),
                         serverModeParameterName);
