// The remote list's operations against real FTP servers on loopback, through a window that
// records what they show: copying down, deleting, renaming, fetching for the viewer, and
// reading the folder the list shows.

#include "operations/ListOperationsTest.h"

#include "course/FileTypes.h"
#include "lists/frmServer.h"
#include "operations/RemoteFileOperations.h"
#include "operations/RemoteFolderListing.h"
#include "operations/ViewCopy.h"
#include "platform/DosPath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

class RemoteFileOperationsTest : public ListOperationsTest
{
protected:
    static void setModified(const QString &path, const QDateTime &time)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append)) << path.toStdString();
        file.setFileTime(time, QFileDevice::FileModificationTime);
    }
    // A local copy from before the server's file was written, which Copy Down replaces
    // without asking.
    void olderLocalFile(const QString &name, const QByteArray &content) const
    {
        setModified(writeFile(localPath(name), content), QDateTime::currentDateTime().addDays(-1));
    }
};

TEST_P(RemoteFileOperationsTest, ListingShowsAllowedFilesAndClosingUploadsTheCatalogue)
{
    serverFile(u"notes.txt"_s, QByteArray(1234567, 'n'));
    serverFile(u"movie.avi"_s, "not allowed");
    serverFile(u"..\\..\\escape.txt"_s, "a name that would leave the local folder");
    QDir().mkpath(serverPath(u"folder.txt"_s));
    list();
    ASSERT_EQ(window.model().count(), 1);
    const FileRow &row = window.model().row(0);
    // Local time; some servers list minutes only.
    const QString modified =
        QFileInfo(serverPath(u"notes.txt"_s)).lastModified().toString(u"yyyy-MM-dd HH:mm"_s);
    EXPECT_EQ((QStringList{row.name, row.sizeText(), row.type(), row.dateText().left(16)}),
              (QStringList{u"notes.txt"_s, u"      1,234,567"_s, u"txt"_s, modified}));

    // With every extension allowed, what a failed upload left behind is still no file of the
    // list.
    serverFile(u".vellix-0a1b2c3d.part"_s, "half a file");
    Shared().AllowedExtensions = QStringList{u"*.*"_s};
    list();
    EXPECT_EQ(window.rowOf(u".vellix-0a1b2c3d.part"_s), -1);
    EXPECT_NE(window.rowOf(u"notes.txt"_s), -1);

    // A catalogue that could not be uploaded after a change goes up when the window closes; when
    // that fails too, the user is told to refresh the archive by hand.
    for (const bool built : {false, true}) {
        SCOPED_TRACE(built ? "catalogue built" : "no catalogue");
        const QString catalogue =
            Platform::DosPath::toLinux(Shared().HostFolder + u"Course\\Archive"_s);
        if (built) {
            for (const QString &name : {u"index.htm"_s, u"index.xml"_s, u"index.xsl"_s})
                writeFile(catalogue + u'/' + name, name.toUtf8());
        }
        ui().clear();
        frmServer remote;
        ASSERT_TRUE(remote.RefreshList(LocalFolder));
        Shared().CatalogueUploadFailed = true;
        remote.close();
        EXPECT_FALSE(Shared().CatalogueUploadFailed);
        const QString archive = server->rootPath() + u"/DV/bio/2007/"_s;
        EXPECT_EQ(readFile(archive + u"index.xsl"_s), built ? "index.xsl" : "");
        EXPECT_EQ(seen(ui().boxes()),
                  (built ? QList<SeenBox>()
                         : QList<SeenBox>{{u"Sorry, you'll have to refresh the archive manually."_s,
                                           u"Refresh Failed."_s, Ui::Icon::Exclamation}}));
    }

    // A folder that is not the month folder is not listed: the login data is reset.
    Shared().MonthFolderPath = u"/DV/bio/2007/April_2007"_s;
    EXPECT_EQ(RemoteFolderListing::read(QString()).outcome,
              RemoteFolderListing::Outcome::WrongFolder);
    EXPECT_EQ(seen(ui().boxes()), (QList<SeenBox>{{u"Your login data has been reset."_s,
                                                   u"Bad Directory Info"_s, Ui::Icon::Critical}}));
    EXPECT_TRUE(Shared().Password.isEmpty());

    // The course's "tls" setting reaches the session the control opens: the test servers offer
    // no TLS, so a course that requires it cannot log in. What each mode does is the session's.
    if (GetParam().kind == FtpTestServer::Kind::External)
        return; // the external server may offer TLS
    Shared().FtpClient->CloseConnection();
    Shared().Tls = Ftp::TlsMode::Require;
    EXPECT_FALSE(OpenSharedSession());
    EXPECT_TRUE(Shared().FtpClient->GetLastErrorMessage().contains(u"offers no TLS"_s));
}

TEST_P(RemoteFileOperationsTest, CopyDownBringsTheCheckedFilesWholeIntoAFolderThatTakesThem)
{
    const QByteArray first = patterned(300000), second = patterned(17);
    serverFile(u"a.txt"_s, first);
    serverFile(u"b b.bin"_s, second);
    serverFile(u"c.txt"_s, "left alone");
    serverFile(u"pipe.txt"_s, "not for a pipe");
    serverFile(u"link.txt"_s, "replaces the link");
    serverFile(u"kept.txt"_s, "not over a read-only file");
    olderLocalFile(u"a.txt"_s, "an older copy");
    olderLocalFile(u"kept.txt"_s, "the user's own");
    ASSERT_TRUE(QFile::setPermissions(localPath(u"kept.txt"_s), QFile::ReadOwner));
    // A named pipe the user keeps in the folder is refused and kept; the other files still go,
    // also over a link to the pipe, which is replaced and not followed.
    const QString pipe = localPath(u"pipe.txt"_s);
    ASSERT_TRUE(makePipe(pipe));
    ASSERT_TRUE(QFile::link(pipe, localPath(u"link.txt"_s)));
    list();
    window.check({u"a.txt"_s, u"b b.bin"_s, u"kept.txt"_s, u"pipe.txt"_s, u"link.txt"_s});
    // The pictures the row of a.txt shows on the way: being copied, copied, its type's again.
    QList<int> pictures;
    QObject::connect(&window.model(), &QAbstractItemModel::dataChanged, [&](const QModelIndex &at) {
        const int row = window.rowOf(u"a.txt"_s);
        if (at.row() != row)
            return;
        const int picture = window.model().row(row).imageNumber;
        if (pictures.isEmpty() || pictures.constLast() != picture)
            pictures.append(picture);
    });
    int viewsEndedAtBox = -1;
    ui().onBox = [&](const Box &) { viewsEndedAtBox = window.transfers.ends; };
    // A session the server dropped is opened again before the first file.
    Shared().FtpClient->CloseConnection();
    RemoteFileOperations(window, LocalFolder).copyDown();
    EXPECT_EQ(reconnects, 1);
    const int txt = FileTypeIndex(u"txt"_s);
    // Each file is shown in the transfer window, which goes before the box; which way it says
    // the file goes is the host's transfer scenarios'.
    QStringList going = window.transfers.files;
    going.sort();
    EXPECT_EQ(going, QStringList({u"a.txt"_s, u"b b.bin"_s, u"link.txt"_s}));
    EXPECT_EQ(viewsEndedAtBox, 1);
    EXPECT_EQ(pictures,
              QList<int>({FileListModel::TransferringImage, FileListModel::DownloadedImage, txt}));

    EXPECT_EQ(readFile(localPath(u"a.txt"_s)), first);
    EXPECT_EQ(readFile(localPath(u"b b.bin"_s)), second);
    EXPECT_EQ(readFile(localPath(u"link.txt"_s)), "replaces the link");
    EXPECT_TRUE(isPipe(pipe));
    EXPECT_EQ(readFile(localPath(u"kept.txt"_s)), "the user's own");
    EXPECT_EQ(texts(ui().boxes()),
              QStringList({u"File, 'kept.txt', cannot be downloaded: '"_s + LocalFolder +
                               u"kept.txt' is read-only."_s,
                           u"File, 'pipe.txt', cannot be downloaded: '"_s + LocalFolder +
                               u"pipe.txt' is not a regular file."_s,
                           u"Copy Operation is Complete!"_s}));
    EXPECT_EQ(ui().boxes().first().icon, Ui::Icon::Critical);
    // The refused rows stay checked, as a failed one does.
    EXPECT_EQ(window.model().totals().checkedCount, 2);
    EXPECT_TRUE(window.model().row(window.rowOf(u"pipe.txt"_s)).checked);
    EXPECT_FALSE(window.busy || Shared().TransferRunning);
    // Only the checked files came, and no probe of ours stays behind.
    EXPECT_EQ(QDir(Platform::DosPath::toLinux(LocalFolder)).entryList(QDir::Files | QDir::Hidden),
              QStringList({u"a.txt"_s, u"b b.bin"_s, u"kept.txt"_s, u"link.txt"_s}));

    // A folder that cannot take the files: each is reported.
    ui().clear();
    window.check({u"c.txt"_s});
    RemoteFileOperations(window, u"C:\\Missing\\"_s).copyDown();
    const QString unwritable = u"File, '%1', cannot be downloaded to the local PC!\r\n"
                               "Please verify the drive and directory are correct."_s;
    QStringList shown = texts(ui().boxes());
    shown.sort(); // in the server's listing order
    EXPECT_EQ(shown, QStringList({u"Copy Operation is Complete!"_s, unwritable.arg(u"c.txt"_s),
                                  unwritable.arg(u"kept.txt"_s), unwritable.arg(u"pipe.txt"_s)}));

    // A local copy edited after the server's was written is the teacher's work: Copy Down asks
    // before it replaces it (No by default), and a copy it brings takes the server's time, so
    // that it does not look newer the next time.
    // Recent and on the minute, as every server lists it.
    QDateTime serverTime = QDateTime::currentDateTime().addDays(-2);
    serverTime.setTime(QTime(serverTime.time().hour(), serverTime.time().minute()));
    // the local copy's time in seconds after the server's, the answer, the local copy afterwards
    const std::tuple<const char *, int, std::optional<Ui::Answer>, QByteArray> cases[] = {
        {"NewerKeptByDefault", 3600, std::nullopt, "the teacher's edit"},
        {"NewerReplacedOnYes", 3600, Ui::Answer::Yes, "the server's"},
        {"OlderReplacedWithoutAsking", -3600, std::nullopt, "the server's"},
    };
    for (const auto &[name, localOffset, answer, local] : cases) {
        SCOPED_TRACE(name);
        emptyBothFolders();
        serverFile(u"sheet.txt"_s, "the server's");
        setModified(serverPath(u"sheet.txt"_s), serverTime);
        const QDateTime localTime = serverTime.addSecs(localOffset);
        setModified(writeFile(localPath(u"sheet.txt"_s), "the teacher's edit"), localTime);
        list();
        window.check({u"sheet.txt"_s});
        ui().clear();
        if (answer)
            ui().answer(*answer);
        RemoteFileOperations(window, LocalFolder).copyDown();

        EXPECT_EQ(readFile(localPath(u"sheet.txt"_s)), local);
        QStringList boxes{u"Copy Operation is Complete!"_s};
        const QString format = u"yyyy-MM-dd HH:mm:ss"_s;
        if (localOffset > 0)
            boxes.prepend(u"The file 'sheet.txt' on your computer is newer than the one on the "
                          "website.\r\nOn your computer: %1\r\nOn the website: %2\r\nDo you want "
                          "to replace your copy with the website's?"_s.arg(
                              localTime.toString(format), serverTime.toString(format)));
        ASSERT_EQ(texts(ui().boxes()), boxes);
        if (localOffset > 0) {
            EXPECT_EQ(ui().boxes().first().buttons, Ui::Buttons::YesNo);
            EXPECT_EQ(ui().boxes().first().defaultButton, 2);
        }
        if (local == "the server's") {
            EXPECT_EQ(QFileInfo(localPath(u"sheet.txt"_s)).lastModified(), serverTime);
        }
    }

    // Exit, pressed while the first blocks arrive: the timer stops, the cancel is requested,
    // and the user's copy stays whole.
    ui().clear();
    serverFile(u"big.bin"_s, patterned(4 << 20));
    olderLocalFile(u"big.bin"_s, "the user's copy");
    list();
    window.check({u"big.bin"_s});
    QObject::connect(Shared().FtpClient.get(), &cFTP::FileTransferProgress, [this] {
        window.stopped = true;
        Shared().CancelRequest = true;
    });
    window.transfers = {};
    RemoteFileOperations(window, LocalFolder).copyDown();
    EXPECT_EQ(viewsEndedAtBox, 1);
    EXPECT_EQ(seen(ui().boxes()), (QList<SeenBox>{{u"File, 'big.bin', was cancelled by the user."_s,
                                                   u"Download File"_s, Ui::Icon::Exclamation}}));
    EXPECT_EQ(readFile(localPath(u"big.bin"_s)), "the user's copy");
    EXPECT_FALSE(Shared().CancelRequest);
}

// What a rename answers to the name typed, and what it does on the server and locally.
struct RenameCase
{
    const char *name, *typed;
    bool localCopy;
    const char *boxes;               // after the input box, as entries()
    const char *server;              // the name the server holds afterwards
    const char *disk;                // the name of the local copy afterwards (empty: no copy)
    const char *serverExisting = ""; // a second file on the server
};

TEST_P(RemoteFileOperationsTest, ViewCopyIsPrivateDeleteAsksFirstAndRenameChecksTheName)
{
    serverFile(u"a.txt"_s, "a");
    serverFile(u"c.txt"_s, "c");
    serverFile(u"lesson 1.htm"_s, "<img src=lesson_1_files/a.png>");
    serverFile(u"lesson_1_files/a.png"_s, "picture");
    list();
    // The viewer's copy of a page, under the page's own name, and the page's companion folder
    // lie in a folder of their own that only the user can enter, and go with it.
    window.selectRow(window.rowOf(u"lesson 1.htm"_s));
    std::unique_ptr<ViewCopy> copy = RemoteFileOperations(window, LocalFolder).fetchForViewing();
    ASSERT_TRUE(copy);
    const QDir folder = QFileInfo(Platform::DosPath::toLinux(copy->dosPath())).dir();
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_FALSE(QFileInfo(folder.path()).permissions() & others);
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({u"lesson 1.htm"_s, u"lesson_1_files"_s}));
    EXPECT_TRUE(ui().boxes().isEmpty());

    copy.reset();
    EXPECT_FALSE(folder.exists());

    // Exit, pressed while the file comes, gives the viewing up: no viewer shows.
    serverFile(u"big.bin"_s, patterned(4 << 20));
    list();
    window.selectRow(window.rowOf(u"big.bin"_s));
    const QMetaObject::Connection exit = QObject::connect(
        Shared().FtpClient.get(), &cFTP::TransferProgress, [] { Shared().CancelRequest = true; });
    EXPECT_FALSE(RemoteFileOperations(window, LocalFolder).fetchForViewing());
    QObject::disconnect(exit);
    Shared().CancelRequest = false;

    // Delete asks first, No by default. What a delete does is the host's remote list scenario;
    // here the notice the list shows while the catalogue is rebuilt.
    window.check({u"a.txt"_s});
    ui().answer(Ui::Answer::No);
    RemoteFileOperations(window, LocalFolder).deleteChecked();
    EXPECT_TRUE(QFile::exists(serverPath(u"a.txt"_s)));
    ASSERT_EQ(ui().boxes().size(), 1);
    EXPECT_EQ(ui().boxes().at(0).defaultButton, 2);

    // Exit pressed while the first of two deletes is under way: the file deleted goes out of
    // the catalogue all the same.
    ui().answer(Ui::Answer::Yes);
    Shared().DvValue = 1;
    window.check({u"a.txt"_s, u"c.txt"_s});
    window.onStatus = [&](const QString &status) { window.stopped = status.endsWith(u"a.txt"_s); };
    RemoteFileOperations(window, LocalFolder).deleteChecked();
    window.onStatus = nullptr;
    window.stopped = false;
    EXPECT_FALSE(QFile::exists(serverPath(u"a.txt"_s)));
    EXPECT_TRUE(QFile::exists(serverPath(u"c.txt"_s)));
    EXPECT_EQ(window.notices, 1);

    // A rename checks the name typed and offers to rename the local copy too.
    Shared().AllowedExtensions =
        QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s, u"h"_s, u"txt"_s};
    const char *const badData = "Bad Data.\r\nPlease check your data for valid characters.";
    const RenameCase cases[] = {
        {"BadCharacters", "no*star.txt", false, badData, "old.txt", ""},
        {"ThisFolder", ".", false, badData, "old.txt", ""},
        // ".." is the local rename's case, as both check names alike.
        {"OntoAnotherFileInOtherCase", "OTHER.TXT", false,
         "A file named 'other.txt' already exists on the website.\r\nPlease choose another name.",
         "old.txt|other.txt", "", "other.txt"},
        {"DeniedExtension", "old.exe", false,
         "File extension change is denied.\r\nPlease choose one of:\r\na, b, c, d, e, f, g, h, "
         "\r\ntxt. ",
         "old.txt", ""},
        // A local copy renamed along is the host's remote list scenario.
        {"NoLocalCopy", "new.txt", false, "File: old.txt has been renamed\r\non the website.",
         "new.txt", ""},
        {"OtherCaseOnServerOnly", "OLD.txt", true,
         "File: old.txt has been renamed\r\non the website.", "OLD.txt", "old.txt"},
    };
    for (const RenameCase &c : cases) {
        SCOPED_TRACE(c.name);
        emptyBothFolders();
        serverFile(u"old.txt"_s, "contents");
        if (*c.serverExisting)
            serverFile(QString::fromUtf8(c.serverExisting), "another file");
        if (c.localCopy)
            writeFile(localPath(u"old.txt"_s), "local");
        list();
        window.selectRow(window.rowOf(u"old.txt"_s));
        ui().clear();
        ui().answerInput(QString::fromUtf8(c.typed));
        ui().answer(Ui::Answer::Yes);
        // Without a local copy the local folder may be missing too: the rename needs neither.
        RemoteFileOperations(window, c.localCopy ? LocalFolder : u"C:\\Missing\\"_s).renamefile();
        EXPECT_EQ(texts(ui().boxes()).mid(1), entries(c.boxes));
        EXPECT_EQ(onServer(), entries(c.server));
        EXPECT_EQ(onDisk(), entries(c.disk));
    }

    // A user who cancels the connect that a dropped session needs gives up the delete, rather
    // than meet a status window for every try.
    serverFile(u"b.txt"_s, "b");
    list();
    window.check({u"b.txt"_s});
    ui().clear();
    ui().answer(Ui::Answer::Yes);
    Shared().FtpClient->CloseConnection();
    Shared().Reconnect = [] { return OpenSharedSession([] { return true; }); };
    RemoteFileOperations(window, LocalFolder).deleteChecked();
    EXPECT_EQ(texts(ui().boxes()).mid(1),
              QStringList{u"File 'b.txt', delete was cancelled by user!"_s})
        << texts(ui().boxes()).join(u" # "_s).toStdString();
    EXPECT_TRUE(QFile::exists(serverPath(u"b.txt"_s)));
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteFileOperationsTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

TEST(FileListOperationsTest, PagesFollowTheirRule)
{
    EXPECT_EQ(FileListOperations::pageCount(30), 4);
    EXPECT_EQ(FileListOperations::pageCount(18), 2);
    EXPECT_EQ(FileListOperations::pageCount(0), 1);
}
