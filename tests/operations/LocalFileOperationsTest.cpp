// The local list's operations against real FTP servers on loopback: copying up, deleting local
// files, and renaming a local file and its copy on the server.

#include "operations/ListOperationsTest.h"

#include "operations/LocalFileOperations.h"

#include <QDir>
#include <QFile>

class LocalFileOperationsTest : public ListOperationsTest
{
protected:
    void SetUp() override
    {
        ListOperationsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window.lister = [this] {
            QList<FileRow> rows;
            for (const QFileInfo &file : QDir(localPath({})).entryInfoList(QDir::Files, QDir::Name))
                rows.append(FileRow::listed(file.fileName(), file.size(), file.lastModified()));
            return rows;
        };
    }

    void localFiles(const QStringList &names)
    {
        for (const QString &name : names)
            writeFile(localPath(name), name.toUtf8());
        window.refreshList();
    }
};

TEST_P(LocalFileOperationsTest, CopyUpSendsTheCheckedFilesTillExit)
{
    writeFile(localPath(u"big.bin"_s), QByteArray(4 << 20, 'x'));
    localFiles({u"a.txt"_s, u"b.htm"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s});
    // A folder in d.txt's place on the server refuses it; the catalogue is still rebuilt for
    // the files that went up before it. e.txt gave way to a file whose name differs only in
    // case, which the drive's paths find under the listed name: it is not sent in its place.
    ASSERT_TRUE(QDir().mkpath(serverPath(u"d.txt"_s)));
    ASSERT_TRUE(QFile::rename(localPath(u"e.txt"_s), localPath({}) + u"/E.TXT"_s));
    window.check({u"a.txt"_s, u"b.htm"_s, u"d.txt"_s, u"e.txt"_s});
    LocalFileOperations(window, LocalFolder).copyUp(false);
    // What the files hold and the catalogue rebuilt are the resumed copy's and the dropped
    // session's tests'.
    EXPECT_EQ(onServer(), QStringList({u"a.txt"_s, u"b.htm"_s}));
    const QString refused =
        u"File '%1', cannot copy to the server at this time!\r\nPlease try again later."_s;
    EXPECT_EQ(texts(ui().boxes()), QStringList({refused.arg(u"d.txt"_s), refused.arg(u"e.txt"_s),
                                                u"Copy Operation is Complete!"_s}));
    EXPECT_EQ(window.notices, 1);
    EXPECT_FALSE(Shared().TransferRunning);
    EXPECT_EQ(window.model().totals().checkedCount, 2);

    // Exit, pressed while the first blocks go out: the timer stops, the cancel is requested.
    ui().clear();
    window.transfers = {};
    window.check({u"big.bin"_s, u"c.txt"_s});
    bool pressed = false;
    QObject::connect(Shared().FtpClient.get(), &cFTP::FileTransferProgress, [&] {
        if (std::exchange(pressed, true))
            return;
        window.stopped = true;
        Shared().CancelRequest = true;
    });
    int viewsEndedAtBox = -1;
    ui().onBox = [&](const Box &) { viewsEndedAtBox = window.transfers.ends; };
    LocalFileOperations(window, LocalFolder).copyUp(false);
    EXPECT_EQ(texts(ui().boxes()),
              QStringList{u"File 'big.bin', upload was cancelled by the user."_s});
    // The transfer window went before the box; what it showed is the host's transfer scenarios'.
    EXPECT_EQ(viewsEndedAtBox, 1);
    EXPECT_LT(QFileInfo(serverPath(u"big.bin"_s)).size(), 4 << 20);
    EXPECT_FALSE(QFile::exists(serverPath(u"c.txt"_s)));
}

// What a local rename answers to the name typed, and what it does on disk and on the server;
// the lists are written as entries(): the boxes after the input box, the files left. A file
// with no copy on the server is renamed in the host's local list scenario.
struct LocalRenameCase
{
    const char *name, *typed;
    bool onServerToo;
    const char *boxes, *disk, *server;
    const char *existing = "";       // a second local file
    const char *serverExisting = ""; // a second file on the server
};

TEST_P(LocalFileOperationsTest, DeleteTakesOnlyTheCheckedFilesTillExitAndRenameChecksTheName)
{
    localFiles({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s});
    window.check({u"a.txt"_s, u"b.txt"_s, u"e.txt"_s});
    // a.txt turned into a folder with something in it after the listing: it cannot go. e.txt
    // gave way to a file whose name differs only in case, which the drive's paths find under
    // the listed name: that one stays.
    QFile::remove(localPath(u"a.txt"_s));
    writeFile(localPath(u"a.txt/kept"_s), "kept");
    ASSERT_TRUE(QFile::rename(localPath(u"e.txt"_s), localPath({}) + u"/E.TXT"_s));
    ui().answer(Ui::Answer::Yes);
    LocalFileOperations(window, LocalFolder).deleteChecked();
    EXPECT_EQ(onDisk(), (QStringList{u"c.txt"_s, u"d.txt"_s, u"E.TXT"_s}));
    const QString kept = u"File '%1', could not be deleted.  Please try again later."_s;
    EXPECT_EQ(
        texts(ui().boxes()),
        QStringList({u"Are you sure you want to delete the checked files?"_s, kept.arg(u"a.txt"_s),
                     kept.arg(u"e.txt"_s), u"Delete Operation is Complete!"_s}));
    EXPECT_TRUE(QFile::exists(localPath(u"a.txt/kept"_s)));

    // Exit, pressed while the box about a file that could not go stands, stops at the next
    // row, checked or not.
    window.refreshList();
    window.check({u"c.txt"_s});
    QFile::remove(localPath(u"c.txt"_s));
    writeFile(localPath(u"c.txt/kept"_s), "kept");
    ui().clear();
    ui().answer(Ui::Answer::Yes);
    ui().onBox = [&](const Box &box) { window.stopped = box.text.contains(u"could not"_s); };
    LocalFileOperations(window, LocalFolder).deleteChecked();
    EXPECT_EQ(texts(ui().boxes()),
              QStringList({u"Are you sure you want to delete the checked files?"_s,
                           u"File 'c.txt', could not be deleted.  Please try again later."_s,
                           u"File 'd.txt', delete was cancelled by user!"_s}));
    EXPECT_EQ(onDisk(), (QStringList{u"d.txt"_s, u"E.TXT"_s}));

    // The rename of a local file and its copy on the server.
    const char *const badData = "Bad Data.\r\nPlease check your data for valid characters.";
    const LocalRenameCase cases[] = {
        {"SameNameOtherCase", "OLD.txt", false, "Please enter a unique name.", "old.txt", ""},
        {"OnTheServerToo", "new.txt", true,
         "The selected file on your local hard drive was renamed successfully.\r\nDo you want to "
         "rename this file on the website?|File: old.txt\r\nhas been successfully renamed on the "
         "website.",
         "new.txt", "new.txt"},
        {"IntoAnExistingFile", "other.txt", false,
         "A file named 'other.txt' already exists on the local computer.\r\nPlease choose "
         "another name.",
         "old.txt|other.txt", "", "other.txt"},
        {"OntoAnotherCaseOnTheServer", "new.txt", true,
         "The selected file on your local hard drive was renamed successfully.\r\nDo you want to "
         "rename this file on the website?|A file named 'NEW.txt' already exists on the "
         "website.\r\nPlease choose another name.",
         "new.txt", "NEW.txt|old.txt", "", "NEW.txt"},
        {"ParentFolder", "..", false, badData, "old.txt", ""},
        {"IntoAnotherFolder", "..\\new.txt", false, badData, "old.txt", ""},
    };
    for (const LocalRenameCase &c : cases) {
        SCOPED_TRACE(c.name);
        emptyBothFolders();
        if (c.onServerToo)
            serverFile(u"old.txt"_s, "on the server");
        if (*c.serverExisting)
            serverFile(QString::fromUtf8(c.serverExisting), "another file");
        localFiles(QStringList{u"old.txt"_s} + entries(c.existing));
        window.selectRow(0);
        ui().clear();
        ui().answerInput(QString::fromUtf8(c.typed));
        ui().answer(Ui::Answer::Yes);
        LocalFileOperations(window, LocalFolder).renamefile();
        EXPECT_EQ(texts(ui().boxes()).mid(1), entries(c.boxes));
        EXPECT_EQ(onDisk(), entries(c.disk));
        EXPECT_EQ(onServer(), entries(c.server));
    }

    // A read-only file is never renamed.
    emptyBothFolders();
    localFiles({u"old.txt"_s});
    QFile::setPermissions(localPath(u"old.txt"_s), QFile::ReadOwner);
    ui().clear();
    LocalFileOperations(window, LocalFolder).renamefile();
    ASSERT_EQ(ui().boxes().size(), 1);
    EXPECT_EQ(ui().boxes().at(0).title, u"Rename Aborted"_s);
    EXPECT_EQ(onDisk(), QStringList{u"old.txt"_s});
}

INSTANTIATE_TEST_SUITE_P(Servers, LocalFileOperationsTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);
