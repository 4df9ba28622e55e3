// The list window base, as the remote list uses it: the summary labels, check-all, checks that
// spread over a selection, the order by name it opens in and that flips on every header click,
// and the delegate that shows a cut name whole; and what the local twin adds.

#include "operations/ListOperationsTest.h"
#include "support/DarkPalette.h"
#include "support/VellixTest.h"
#include "support/WindowWatch.h"

#include "course/RunScope.h"
#include "course/SharedState.h"
#include "lists/ListWindowPair.h"
#include "lists/frmServer.h"
#include "lists/frmServerUp.h"
#include "platform/DosPath.h"
#include "widgets/ClippedTextDelegate.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QTreeView>

#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class FileListWindowTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        const QDateTime day(QDate(2007, 3, 14), QTime(9, 0));
        window.model().setRows({FileRow::listed(u"b.txt"_s, 1250000, day),
                                FileRow::listed(u"a.htm"_s, 500000, day.addDays(1)),
                                FileRow::listed(u"c.pdf"_s, 9, day.addDays(-1))});
        window.computeSize();
    }

    QString label(const char *name) const
    {
        return window.findChild<QLabel *>(QLatin1String(name))->text();
    }
    QStringList names()
    {
        QStringList list;
        for (int row = 0; row < window.model().count(); ++row)
            list.append(window.model().row(row).name);
        return list;
    }
    QTreeView *list() const { return window.findChild<QTreeView *>(u"lvServer"_s); }

    frmServer window;
};

// A check among selected rows checks them all, one outside the selection goes alone; check-all
// flips its caption, and the labels follow; so does the order on a header click.
TEST_F(FileListWindowTest, ChecksSpreadOverTheSelectionCheckAllAndHeaderClicksFlip)
{
    EXPECT_EQ(label("lblvsize"), u"1.75 meg"_s);
    EXPECT_EQ(label("lblcnt"), u"0 files"_s);
    list()->selectionModel()->select(
        QItemSelection(window.model().index(0, 0), window.model().index(1, 0)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.model().setData(window.model().index(1, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(label("lblcnt"), u"2 files"_s);
    EXPECT_FALSE(window.model().row(2).checked);
    window.model().setData(window.model().index(2, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(label("lblcnt"), u"3 files"_s);
    window.model().setData(window.model().index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(label("lblcnt"), u"1 files"_s);

    for (const QStringList &shown : {QStringList{u"UnCheck &All"_s, u"3 files"_s, u"1.75 meg"_s},
                                     QStringList{u"Check &All"_s, u"0 files"_s, u"0.0 meg"_s}}) {
        window.checkAll();
        EXPECT_EQ(QStringList({window.button(4)->text(), label("lblcnt"), label("lblSize")}),
                  shown);
    }

    // Every header click flips the order, shown by name at first.
    QHeaderView *header = list()->header();
    EXPECT_EQ(names(), QStringList({u"a.htm"_s, u"b.txt"_s, u"c.pdf"_s}));
    EXPECT_EQ(header->sortIndicatorSection(), FileListModel::NameColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    Q_EMIT header->sectionClicked(FileListModel::SizeColumn);
    Q_EMIT header->sectionClicked(FileListModel::SizeColumn);
    EXPECT_EQ(names(), QStringList({u"c.pdf"_s, u"a.htm"_s, u"b.txt"_s}));
    // Another column goes on flipping rather than starting ascending.
    Q_EMIT header->sectionClicked(FileListModel::DateColumn);
    EXPECT_EQ(names(), QStringList({u"a.htm"_s, u"b.txt"_s, u"c.pdf"_s}));
    EXPECT_EQ(header->sortIndicatorSection(), FileListModel::DateColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // A name its column cuts short shows whole in a tool tip, as the chooser's test shows.
    EXPECT_TRUE(qobject_cast<ClippedTextDelegate *>(list()->itemDelegate()));
}

// The archive notice shows in the described red on a light desktop, in a red that stays readable
// on a dark one, and in the desktop's colour again after it.
TEST_F(FileListWindowTest, TheArchiveNoticeIsRedAndReadable)
{
    const QLabel *status = window.findChild<QLabel *>(u"lbout"_s);
    for (const bool darkDesktop : {false, true}) {
        SCOPED_TRACE(darkDesktop ? "dark" : "light");
        std::optional<DarkPalette> dark;
        if (darkDesktop)
            dark.emplace();
        QCoreApplication::processEvents(); // the window hears of the new colours
        window.setArchiveNoticeShown(true);
        const QColor red = status->palette().color(QPalette::WindowText);
        EXPECT_EQ(red == QColor(Qt::red), !darkDesktop);
        EXPECT_EQ(red.hue(), 0);
        if (darkDesktop) {
            EXPECT_GE(DarkPalette::contrast(red, status->palette().color(QPalette::Window)), 4.5);
        }
        window.setArchiveNoticeShown(false);
        EXPECT_EQ(status->palette().color(QPalette::WindowText),
                  QApplication::palette().color(QPalette::WindowText));
    }
}

// The local twin: the capacity against the checked files and the server's, and F5. Which files it
// lists is the listing's tests' to check, and its folder label the upload command's.
class LocalListWindowTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        Shared().AllowedExtensions = QStringList{u"*.*"_s};
        Shared().CapacityLimit = 10;
        for (const auto &[name, size] : {std::pair{"a.txt", 400000}, std::pair{"b.txt", 200000}})
            writeFile(Platform::DosPath::toLinux(u"C:\\Work\\"_s + QLatin1String(name)),
                      QByteArray(size, 'x'));
    }

    // The size's fixed background; its text must stay readable on it, also on a dark desktop.
    QColor sizeColour() const
    {
        const QPalette colours = window.findChild<QLabel *>(u"lblSize"_s)->palette();
        EXPECT_GE(DarkPalette::contrast(colours.color(QPalette::WindowText),
                                        colours.color(QPalette::Window)),
                  4.5);
        return colours.color(QPalette::Window);
    }

    frmServerUp window;
};

TEST_F(LocalListWindowTest, SizeTurnsRedBeyondTheCapacityAndNothingGoesUp)
{
    const DarkPalette dark;
    QCoreApplication::processEvents(); // the window hears of the new colours
    EXPECT_FALSE(window.RefreshList(u"C:\\Nowhere\\*.*"_s));
    ASSERT_TRUE(window.RefreshList(u"C:\\Work\\*.*"_s));
    window.setServerTotal(9600000);
    window.model().setChecked(0, true);
    EXPECT_FALSE(window.overCapacity()); // 9.6 + 0.4 meg: the limit itself is allowed
    EXPECT_EQ(sizeColour(), QColor(0xC0, 0xFF, 0xC0));
    window.checkAll();
    EXPECT_TRUE(window.overCapacity()); // 9.6 + 0.6 meg
    EXPECT_EQ(sizeColour(), QColor(0xFF, 0, 0));
    window.button(FileListWindow::CopyButton)->trigger();
    ASSERT_EQ(ui().boxes().size(), 1);
    EXPECT_EQ(ui().boxes().at(0).text,
              u"You cannot upload this much data.\r\nYour limit is 10 meg."_s);
    // Check-all in force: a refresh keeps every row checked.
    ASSERT_TRUE(window.RefreshList(u"C:\\Work\\*.*"_s));
    EXPECT_EQ(window.model().totals().checkedCount, 2);
}

// At a large desktop font, with deep folders here and on the server, the window still fits a
// narrow screen (1024 by 600): long texts are cut in their labels instead of widening it.
TEST_F(LocalListWindowTest, FitsANarrowScreenAtALargeFontWithDeepFolders)
{
    const QFont desktop = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktop); });
    QFont large = desktop;
    large.setPointSize(20);
    QApplication::setFont(large);
    frmServerUp largeWindow;
    largeWindow.show();
    const QString deep = u"C:\\Work\\"_s + u"lessons of the spring term\\"_s.repeated(8);
    ASSERT_TRUE(QDir().mkpath(Platform::DosPath::toLinux(deep)));
    Shared().RemoteDir = u"/DV/"_s + u"lessons of the spring term/"_s.repeated(8);
    ASSERT_TRUE(largeWindow.RefreshList(deep + u"*.*"_s));
    QCoreApplication::sendPostedEvents(); // the layouts hear of the labels' new sizes
    EXPECT_LE(largeWindow.minimumSizeHint().width(), 1024);
    EXPECT_LE(largeWindow.minimumSizeHint().height(), 600);
}

// F5 does not list the folder again under a running operation: the delete asking its question
// keeps the rows it checked, and deletes the checked file. F5 at rest is the host's local list
// scenario.
TEST_F(LocalListWindowTest, F5WaitsForARunningOperation)
{
    ASSERT_TRUE(window.RefreshList(u"C:\\Work\\*.*"_s));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.model().setChecked(1, true); // b.txt
    ui().onBox = [this](const Platform::UiRecorder::Box &) {
        QTest::keyClick(&window, Qt::Key_F5);
    };
    ui().answer(Platform::Ui::Answer::Yes);
    window.button(FileListWindow::DeleteButton)->trigger();
    EXPECT_FALSE(QFile::exists(Platform::DosPath::toLinux(u"C:\\Work\\b.txt"_s)));
    EXPECT_TRUE(QFile::exists(Platform::DosPath::toLinux(u"C:\\Work\\a.txt"_s)));
}

// What Copy Up sent counts against the capacity of the next one, as what the server held before.
using LocalListCopyTest = ListOperationsTest;

TEST_P(LocalListCopyTest, WhatWentUpCountsAgainstTheCapacity)
{
    Shared().AllowedExtensions = QStringList{u"*.*"_s};
    writeSizedFile(localPath(u"a.bin"_s), 6000000);
    writeSizedFile(localPath(u"b.bin"_s), 4010000);
    ListWindowPair windows(nullptr, {});
    frmServerUp &local = windows.local();
    Shared().CurrentLocalPath = LocalFolder;
    ASSERT_TRUE(local.RefreshList(LocalFolder + u"*"_s));
    Shared().CapacityLimit = 10;
    local.show();
    for (const int row : {0, 1}) {
        local.model().setChecked(row, true);
        local.button(FileListWindow::CopyButton)->trigger();
    }
    EXPECT_EQ(onServer(), QStringList{u"a.bin"_s});
    EXPECT_EQ(texts(ui().boxes()),
              QStringList({u"Copy Operation is Complete!"_s,
                           u"You cannot upload this much data.\r\nYour limit is 10 meg."_s}));
    // With the server gone, no total can count against the capacity: the window closes, and
    // says so, so that no opener shows it again.
    server.reset();
    Shared().FtpClient->CloseConnection();
    EXPECT_FALSE(local.refreshList());
    EXPECT_FALSE(local.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Pyftpdlib, LocalListCopyTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Pyftpdlib, true}),
                         serverModeParameterName);

// F5 in the open window of a server that stops answering the listing, or sending it: the Exit
// button, and the close box, end the wait at once and close the window without a word, without
// a new session, and without the connection counted as failed. So does the Exit of the local
// twin, whose F5 lists the server again for its total; the remote list under it, whose session
// is gone, closes too. A window's first listing, before it opens (Dn Del Rn, a folder to upload),
// shows the window only once it keeps the user waiting, for its Exit. Nothing the loop delivers
// meanwhile starts a command in the waiting session: Delete's Alt key, the view menu, nor the
// second upload of a catalogue whose upload failed, which follows once the listing has ended.
using StalledListWindowTest = ListOperationsTest;

TEST_P(StalledListWindowTest, ExitEndsTheListingsWaitQuietly)
{
    cFTP &client = *Shared().FtpClient;
    // Longer than the bound below: a wait the Exit did not end fails the test.
    client.setTimeouts({20s, 20s, 20s});
    const struct
    {
        const char *how;
        bool closeBox;
        bool catalogueUploadFailed; // then uploaded again, in a new session, once it ended
        bool localTwin = false;
        bool opening = false; // the window's first listing, not F5
    } cases[] = {{"Exit", false, false},
                 {"close box", true, false},
                 {"upload again", false, true},
                 {"local twin", false, false, true},
                 {"opening remote", false, false, false, true},
                 {"opening local", false, false, true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        if (client.GetFTPDirectory().isEmpty()) {
            ASSERT_TRUE(OpenSharedSession() && EnterMonthFolder());
        }
        frmServer remote;
        frmServerUp local;
        FileListWindow &window = c.localTwin ? static_cast<FileListWindow &>(local) : remote;
        if (c.localTwin) {
            if (!c.opening) {
                ASSERT_TRUE(local.RefreshList(LocalFolder + u"*"_s));
                remote.show();
            }
            frmServerUp::Openers openers;
            openers.refreshRemote = [&](FileListWindow &waitIn) {
                return remote.listMonthFolder(LocalFolder, &waitIn);
            };
            local.setOpeners(std::move(openers));
        } else {
            remote.model().setRows({FileRow::listed(u"a.txt"_s, 1, 0.0)});
        }
        window.selectRow(0);
        if (!c.opening) {
            window.show();
            QApplication::setActiveWindow(&window);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        }
        ui().clear();
        Shared().CatalogueUploadFailed = c.catalogueUploadFailed;
        const quint64 session = client.connectionNumber();
        const qsizetype logged = readFile(server->logPath()).size();
        bool exited = false;
        std::optional<bool> shownWhenAsked;
        client.setHooks({.pumpMessages = [&] {
            QCoreApplication::processEvents();
            if (!exited && readFile(server->logPath()).mid(logged).contains("MLSD")) {
                shownWhenAsked = shownWhenAsked.value_or(window.isVisible());
                if (!window.isVisible())
                    return;
                exited = true;
                QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
                if (auto *view = window.findChild<QAction *>(u"mnuExplorer"_s))
                    view->trigger();
                if (c.closeBox)
                    window.close();
                else
                    window.button(FileListWindow::ExitButton)->trigger();
            }
        }});
        QElapsedTimer waited;
        waited.start();
        if (!c.opening)
            QTest::keyClick(&window, Qt::Key_F5);
        else if (c.localTwin)
            EXPECT_FALSE(local.RefreshList(LocalFolder + u"*"_s));
        else
            EXPECT_FALSE(remote.RefreshList(LocalFolder));
        client.setHooks({});

        EXPECT_TRUE(exited);
        EXPECT_EQ(shownWhenAsked, !c.opening);
        EXPECT_FALSE(remote.isVisible());
        EXPECT_LT(waited.elapsed(), 10000) << "the wait ran to the server's timeout";
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(texts(ui().boxes()),
                  c.catalogueUploadFailed
                      ? QStringList{u"Sorry, you'll have to refresh the archive manually."_s}
                      : QStringList());
        EXPECT_EQ(client.connectionNumber(), session + (c.catalogueUploadFailed ? 1 : 0));
        EXPECT_FALSE(Shared().ConnectionFailed);
        RunScope::clearCancel();
    }
}

// View Srvr: the remote twin's first listing shows it only once it keeps the user waiting, and
// its Exit goes back to the Local Drive, which took no clicks meanwhile.
TEST_P(StalledListWindowTest, ViewSrvrShowsTheRemoteListForItsExit)
{
    Shared().FtpClient->setTimeouts({20s, 20s, 20s});
    ListWindowPair windows(nullptr, {});
    frmServerUp &local = windows.local();
    local.show();
    std::optional<bool> localTookClicks;
    const auto exit = whenWindowShows(u"frmServer"_s, [&](QWidget &) {
        localTookClicks = local.isEnabled();
        windows.remote().button(FileListWindow::ExitButton)->trigger();
    });
    Shared().FtpClient->setHooks({.pumpMessages = [] { QCoreApplication::processEvents(); }});
    local.button(FileListWindow::OtherWindowButton)->trigger();

    EXPECT_EQ(localTookClicks, false);
    EXPECT_FALSE(windows.remote().isVisible());
    EXPECT_TRUE(local.isVisible() && local.isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, StalledListWindowTest,
    testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true, u"stall-after=MLSD"_s},
                    ServerMode{FtpTestServer::Kind::Scripted, false, u"stall-listing"_s}),
    serverModeParameterName);
