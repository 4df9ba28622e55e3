// The chooser: its list and size texts, and its operations on the selected file against real
// FTP servers on loopback: upload within the capacity, rename and delete here and on the
// server, and Exit during an upload or while it waits for a server that stopped answering. An
// upload that the server cuts is the resumed copies' test.

#include "operations/ListOperationsTest.h"
#include "operations/RecordingChooser.h"

#include "operations/ChooserListing.h"
#include "operations/ChooserOperations.h"

#include <QDateTime>
#include <QElapsedTimer>

using namespace std::chrono_literals;

using ChooserListingTest = VellixTest;

TEST_F(ChooserListingTest, NewestDayFirstAndOneDayInDescendingNameOrder)
{
    const QDateTime monday(QDate(2007, 3, 12), QTime(9, 0));
    const std::pair<const char *, QDateTime> files[] = {
        {"B.txt", monday},
        {"a.txt", monday.addSecs(3600)},
        {"c.txt", monday},
        {"old.txt", monday.addDays(-3)},
        {"new.pdf", monday.addDays(1)},
        {".hidden.txt", monday},
    };
    for (const auto &[name, modified] : files) {
        QFile written(
            writeFile(Platform::DosPath::toLinux(u"C:\\Work\\"_s + QLatin1String(name)), "x"));
        ASSERT_TRUE(written.open(QIODevice::Append));
        written.setFileTime(modified, QFileDevice::FileModificationTime);
    }
    // A DOS path would read the "\" in a name as a folder's end, and name another file.
    writeFile(Platform::DosPath::toLinux(u"C:\\Work"_s) + u"/d\\e.txt"_s, "x");
    EXPECT_EQ(ChooserListing::read(u"C:\\Work"_s, u"*.*"_s).shown,
              QStringList({u"new.pdf"_s, u"c.txt"_s, u"B.txt"_s, u"a.txt"_s, u"old.txt"_s}));
    EXPECT_EQ(ChooserListing::read(u"C:\\Work\\"_s, u"*.TXT"_s).shown,
              QStringList({u"c.txt"_s, u"B.txt"_s, u"a.txt"_s, u"old.txt"_s}));
    EXPECT_EQ(ChooserListing::read(u"C:\\Work\\"_s, u"*.pdf;old.*"_s).shown,
              QStringList({u"new.pdf"_s, u"old.txt"_s}));
    EXPECT_FALSE(ChooserListing::read(u"C:\\Nowhere\\"_s, u"*.*"_s).listed);
}

TEST_F(ChooserListingTest, SizesInDecimalUnits)
{
    const std::pair<qint64, const char *> sizes[] = {
        {0, "0 Bytes"},       {999, "999 Bytes"}, {1000, "1 KB"},
        {999999, "1,000 KB"}, {1000000, "1 MB"},  {2345678901, "2,346 MB"},
    };
    for (const auto &[bytes, text] : sizes)
        EXPECT_EQ(ChooserListing::sizeText(bytes), QLatin1String(text)) << bytes;
}

class ChooserOperationsTest : public ListOperationsTest
{
protected:
    void SetUp() override
    {
        ListOperationsTest::SetUp();
        Shared().CapacityLimit = 10;
    }

    void select(const QString &name, const QByteArray &bytes)
    {
        writeFile(localPath(name), bytes);
        chooser.selected = name;
    }

    RecordingChooser chooser;
};

TEST_P(ChooserOperationsTest, UploadWithinTheCapacityRenameAndDeleteThenExitDuringAnUpload)
{
    // An upload is announced only to a host with loadfunc, and needs a free session.
    QObject host;
    // loadfunc, a transfer elsewhere holding the one session, the file selected, the box shown
    const std::tuple<QObject *, bool, const char *, const char *> cases[] = {
        {nullptr, false, "lesson.txt", ""},
        {&host, false, "lesson.txt",
         "File: C:\\Course\\lesson.txt\r\nwas successfully uploaded\r\nto the website."},
        {&host, true, "lesson.txt",
         "Another transfer is running.\r\nPlease upload the file when it has ended."},
        {&host, false, "", "Cannot upload file.\r\nNo file was selected."},
    };
    for (const auto &[loadfunc, transferRunning, selected, box] : cases) {
        SCOPED_TRACE(box);
        ui().clear();
        Shared().LoadFuncObject = loadfunc;
        Shared().TransferRunning = transferRunning;
        select(u"lesson.txt"_s, "lesson");
        chooser.selected = QString::fromUtf8(selected);
        ChooserOperations(chooser).upload();
        EXPECT_EQ(texts(ui().boxes()), entries(box));
    }
    Shared().LoadFuncObject = nullptr;
    emptyBothFolders();
    chooser = {};
    ui().clear();
    serverFile(u"used.bin"_s, QByteArray(9600000, 'u'));
    select(u"over.bin"_s, QByteArray(400001, 'o'));
    ChooserOperations(chooser).upload();
    EXPECT_EQ(texts(ui().boxes()),
              QStringList{u"You have reached your assigned capacity of 10 MB of disk space.\r\n"
                          "You should delete some files on the website or upload a smaller "
                          "file.\r\nAssigned Capacity: 10 MB\r\nAttempted Capacity: 10 MB"_s});
    EXPECT_FALSE(QFile::exists(serverPath(u"over.bin"_s)));

    ui().clear();
    select(u"fits.bin"_s, QByteArray(400000, 'f'));
    ChooserOperations(chooser).upload();
    EXPECT_TRUE(ui().boxes().isEmpty()) << texts(ui().boxes()).join(u" / "_s).toStdString();
    EXPECT_EQ(readFile(serverPath(u"fits.bin"_s)), readFile(localPath(u"fits.bin"_s)));
    EXPECT_EQ(chooser.notices, 1);
    EXPECT_TRUE(readFile(server->rootPath() + u"/DV/bio/2007/index.htm"_s).contains("fits.bin"));
    EXPECT_FALSE(chooser.cancelCaption);

    // The first upload of a new month makes its folder, in the session the upload opens.
    ui().clear();
    Shared().FtpClient->CloseConnection();
    ASSERT_TRUE(QDir(server->rootPath() + MonthPath).removeRecursively());
    select(u"new.txt"_s, "a new month");
    ChooserOperations(chooser).upload();
    EXPECT_TRUE(ui().boxes().isEmpty()) << texts(ui().boxes()).join(u" / "_s).toStdString();
    EXPECT_EQ(readFile(serverPath(u"new.txt"_s)), "a new month");

    // What the chooser's rename and delete answer, and what they leave on disk and on the server:
    // name, delete (or rename), the new name, a copy on the server, and as entries() the boxes
    // shown and the files left on disk and on the server. A file with no copy on the server is
    // renamed and deleted in the host's local list scenario.
    using Case = std::tuple<const char *, bool, const char *, bool, const char *, const char *,
                            const char *>;
    const Case renames[] = {
        {"RenameToADeniedExtension", false, "a.exe", false,
         "Please choose one of:\r\ntxt, htm, bin, pdf. \r\nFile extension change is denied.",
         "a.txt", ""},
        {"RenameThereToo", false, "b.txt", true,
         "The selected file on your local hard drive was renamed successfully.\r\nDo you want to "
         "rename this file on the website as well?|Filename on webserver\r\nhas been renamed.",
         "b.txt", "b.txt"},
        {"DeleteThereToo", true, "", true,
         "Are you sure you want to delete file,\r\n\"a.txt\"\r\nfrom your computer?|File: "
         "a.txt\r\nwas successfully deleted from your local computer.\r\nDo you want to delete "
         "this file from the website as well?|File: a.txt\r\nwas successfully deleted from the "
         "website.",
         "", ""},
    };
    for (const auto &[name, deletes, typed, serverCopy, boxes, disk, onTheServer] : renames) {
        SCOPED_TRACE(name);
        emptyBothFolders();
        if (serverCopy)
            serverFile(u"a.txt"_s, "on the server");
        select(u"a.txt"_s, "here");
        ui().clear();
        if (!deletes)
            ui().answerInput(QString::fromUtf8(typed));
        // Every question is answered Yes.
        for (const QString &text : entries(boxes)) {
            if (text.contains(u'?'))
                ui().answer(Ui::Answer::Yes);
        }
        if (deletes)
            ChooserOperations(chooser).remove();
        else
            ChooserOperations(chooser).rename();
        // After the input box that asks for the new name.
        EXPECT_EQ(texts(ui().boxes()).mid(deletes ? 0 : 1), entries(boxes));
        EXPECT_EQ(onDisk(), entries(disk));
        EXPECT_EQ(onServer(), entries(onTheServer));
    }

    // A selected file gone since, with another in its name's other case: that one stays.
    emptyBothFolders();
    select(u"a.txt"_s, "here");
    ASSERT_TRUE(QFile::rename(localPath(u"a.txt"_s), localPath({}) + u"/A.TXT"_s));
    ui().answer(Ui::Answer::Yes);
    ChooserOperations(chooser).remove();
    EXPECT_EQ(onDisk(), QStringList{u"A.TXT"_s});

    // Exit during an upload cancels it.
    ui().clear();
    select(u"big.bin"_s, QByteArray(4 << 20, 'b'));
    QObject::connect(Shared().FtpClient.get(), &cFTP::FileTransferProgress,
                     [this] { ChooserOperations(chooser).cancel(); });
    ChooserOperations(chooser).upload();
    // The cancel is told first; the transfer it broke off may be told after it.
    EXPECT_EQ(seen(ui().boxes()).mid(0, 1),
              (QList<SeenBox>{{u"File Upload was cancelled by the user."_s, u"Cancel File Upload"_s,
                               Ui::Icon::Exclamation}}));
    EXPECT_FALSE(Shared().BusyFlag || Shared().TransferRunning || Shared().CancelRequest);
    // The transfer window is gone after each upload. What it showed, and that the cancel stops
    // the transfer, are the host's transfer scenario's.
    EXPECT_EQ(chooser.transfers.ends, 3);
}

INSTANTIATE_TEST_SUITE_P(Servers, ChooserOperationsTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// Cancel while the upload waits for a server that stops answering before the file goes: the
// month folder made in the session the upload opened, or the capacity check's listing. The
// wait ends at once, and the upload with it, told as a cancelled upload: no file sent, no box
// of a bad folder, the login kept, and no new session after the Cancel.
using StalledChooserTest = ChooserOperationsTest;

TEST_P(StalledChooserTest, CancelEndsTheWaitBeforeTheFileGoes)
{
    cFTP &client = *Shared().FtpClient;
    client.setTimeouts({20s, 20s, 20s});
    const bool making = GetParam().fault.startsWith(u"stall-after=MKD"_s);
    if (making) {
        client.CloseConnection();
        ASSERT_TRUE(QDir(server->rootPath() + MonthPath).removeRecursively());
    }
    select(u"lesson.txt"_s, "lesson");
    const QByteArray stalled = making ? "MKD" : "MLSD";
    const qsizetype logged = readFile(server->logPath()).size();
    std::optional<quint64> cancelledIn;
    client.setHooks({.pumpMessages = [&] {
        if (!cancelledIn && readFile(server->logPath()).mid(logged).contains(stalled)) {
            cancelledIn = client.connectionNumber();
            ChooserOperations(chooser).cancel();
        }
    }});
    QElapsedTimer waited;
    waited.start();
    ChooserOperations(chooser).upload();
    client.setHooks({});

    EXPECT_LT(waited.elapsed(), 10000) << "the wait ran to the server's timeout";
    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"File Upload was cancelled by the user."_s, u"Cancel File Upload"_s,
                               Ui::Icon::Exclamation}}));
    ASSERT_TRUE(cancelledIn);
    EXPECT_EQ(client.connectionNumber(), *cancelledIn) << "a new session after the Cancel";
    EXPECT_FALSE(Shared().BusyFlag || Shared().TransferRunning || Shared().CancelRequest);
    if (making)
        return;
    // Without a Cancel, the measuring asks a server that stalls every listing twice more at
    // most, rather than for ever (the stop here is only the test's own limit).
    client.setTimeouts({1s, 1s, 1s});
    waited.restart();
    EXPECT_TRUE(RemoteFolderSize(MonthFolderOnServer(), [&] { return waited.elapsed() > 30000; }));
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, StalledChooserTest,
    testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true, u"stall-after=MKD"_s},
                    ServerMode{FtpTestServer::Kind::Scripted, false, u"stall-listing"_s}),
    serverModeParameterName);
