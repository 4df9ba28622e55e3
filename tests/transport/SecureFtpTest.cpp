// The FTP client in secure mode, through the secure library, against real SFTP servers: what
// only the secure channel does, beside the scenarios both channels share.

#include "ClientSuite.h"

#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

using SecureFtpTest = ClientSuite;

INSTANTIATE_TEST_SUITE_P(Servers, SecureFtpTest, testing::ValuesIn(channels(false, true)),
                         testing::PrintToStringParamName());

// Folders are entered by absolute, relative and parent paths. Refusals give false, change
// nothing, and the session goes on.
TEST_P(SecureFtpTest, FoldersAreEnteredByAnyPathAndRefusalsChangeNothing)
{
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub"_s));
    ASSERT_TRUE(client.CreateFTPDirectory(u"sub/inner"_s));
    const QString top = workPath();
    const struct
    {
        QString folder;
        bool result;
        QString current;
    } steps[] = {
        {u"sub"_s, true, top + u"/sub"_s},
        {u"inner"_s, true, top + u"/sub/inner"_s},
        {u".."_s, true, top + u"/sub"_s},
        {u"missing"_s, false, top + u"/sub"_s},
        // There is no sub/sub, but the folder the session stands in ends with "sub".
        {u"sub"_s, true, top + u"/sub"_s},
        {top + u"/sub/inner"_s, true, top + u"/sub/inner"_s},
        {u"../.."_s, true, top},
        {top + u"/missing"_s, false, top},
        {u"sub/inner"_s, true, top + u"/sub/inner"_s},
        {top, true, top},
    };
    for (const auto &[folder, result, current] : steps) {
        EXPECT_EQ(client.SetFTPDirectory(folder), result) << folder.toStdString();
        EXPECT_EQ(client.GetFTPDirectory(), current) << folder.toStdString();
    }

    // A folder named by a path goes; one named alone is the client's names scenario.
    EXPECT_TRUE(client.RemoveFTPDirectory(u"sub/inner"_s));
    EXPECT_EQ(listed(u"sub/*"_s), QStringList());

    ASSERT_TRUE(client.CreateFTPDirectory(u"full"_s));
    ASSERT_TRUE(client.FTPUploadFile(putLocal(u"kept.txt"_s, "kept"), u"full/kept.txt"_s));
    const QString kept = dos(u"kept.txt"_s);
    QDir().mkpath(tempPath(u"folder"_s));
    // A failure of the plain form leaves its text; the secure forms never change it.
    client.setSecure(false);
    EXPECT_EQ(client.GetFTPDirectory(), QString());
    client.setSecure(true);
    const QString lastError = client.GetLastErrorMessage();
    ASSERT_FALSE(lastError.isEmpty());

    const std::pair<const char *, std::function<bool()>> refusals[] = {
        {"delete a missing file", [&] { return client.DeleteFTPFile(u"missing.txt"_s); }},
        {"delete a missing page", [&] { return client.DeleteFTPFile(u"missing.htm"_s); }},
        {"rename a missing file",
         [&] { return client.RenameFTPFile(u"missing.txt"_s, u"other.txt"_s); }},
        {"make an existing folder", [&] { return client.CreateFTPDirectory(u"full"_s); }},
        {"remove a missing folder", [&] { return client.RemoveFTPDirectory(u"missing"_s); }},
        {"remove a folder that holds a file", [&] { return client.RemoveFTPDirectory(u"full"_s); }},
        {"enter a missing folder", [&] { return client.SetFTPDirectory(u"missing"_s); }},
        {"upload a missing local file",
         [&] { return client.FTPUploadFile(dos(u"missing.txt"_s), u"missing.txt"_s); }},
        {"download a missing file",
         [&] { return client.FTPDownloadFile(dos(u"got.txt"_s), u"missing.txt"_s); }},
        {"download a missing file over a local one",
         [&] { return client.FTPDownloadFile(kept, u"missing.txt"_s); }},
        {"download a folder", [&] { return client.FTPDownloadFile(dos(u"got.txt"_s), u"full"_s); }},
        {"upload a local folder",
         [&] { return client.FTPUploadFile(dos(u"folder"_s), u"folder"_s); }},
        {"upload over a server folder", [&] { return client.FTPUploadFile(kept, u"full"_s); }},
    };
    for (const auto &[what, call] : refusals) {
        EXPECT_FALSE(call()) << what;
        EXPECT_EQ(client.GetFTPDirectory(), workPath()) << what;
        EXPECT_EQ(client.GetLastErrorMessage(), lastError) << what;
    }
    EXPECT_EQ(readFile(tempPath(u"kept.txt"_s)), "kept");
    EXPECT_FALSE(QFile::exists(tempPath(u"got.txt"_s)));
    EXPECT_EQ(listed(u"*"_s), QStringList({u"full/"_s, u"sub/"_s}));
    EXPECT_EQ(onServer(u"full/kept.txt"_s), "kept");
}

// A listing holds every entry of a large folder. A name the server holds in bytes that are not
// UTF-8 reads as Windows-1252 and goes back in its own bytes, so that the file can be fetched,
// renamed and deleted.
TEST_P(SecureFtpTest, ListingsHoldEveryEntryAndNamesThatAreNotUtf8GoBackAsTheyCame)
{
    if (server->rootPath().isEmpty())
        GTEST_SKIP() << "needs the server's folder to lay files out";
    const QDir many(server->rootPath() + u'/' + work + u"/many"_s);
    ASSERT_TRUE(many.mkpath(u"."_s));
    QStringList names;
    for (int i = 0; i < 10000; ++i) {
        names << u"a-rather-long-file-name-number-%1.txt"_s.arg(i, 5, 10, QChar(u'0'));
        writeFile(many.filePath(names.last()), "1");
    }
    ASSERT_NE(client.GetDirectoryListing(u"many/*"_s), nullptr);
    // Whole, and in the order of the names.
    QStringList listedNames;
    for (const cDirItem &item : *client.Directory())
        listedNames << item.Filename;
    EXPECT_EQ(listedNames, names);

    // Made by its bytes: a QString path would be written as UTF-8.
    const QByteArray path = QFile::encodeName(server->rootPath() + u'/' + work) + "/caf\xe9.txt";
    std::FILE *latin1 = std::fopen(path.constData(), "wb");
    ASSERT_TRUE(latin1);
    std::fputs("coffee", latin1);
    std::fclose(latin1);

    EXPECT_EQ(listed(u"*"_s), QStringList({u"café.txt"_s, u"many/"_s}));
    EXPECT_EQ(client.GetFTPFileSize(u"café.txt"_s), 6);
    ASSERT_TRUE(client.FTPDownloadFile(dos(u"down/café.txt"_s), u"café.txt"_s));
    EXPECT_EQ(readFile(tempPath(u"down/café.txt"_s)), "coffee");
    ASSERT_TRUE(client.RenameFTPFile(u"café.txt"_s, u"tea.txt"_s));
    EXPECT_TRUE(client.DeleteFTPFile(u"tea.txt"_s));
    EXPECT_EQ(listed(u"*"_s), QStringList{u"many/"_s});
}

// A transfer cut by the server's death fails as a passing failure, unlike a refusal. The next
// attempt with Resume::Continue tells where it resumes before its first progress and moves only
// the rest; one that starts over tells nothing of the kind.
TEST_P(SecureFtpTest, ACutTransferIsPassingAndResumesWhereItStopped)
{
    if (!sftpServer || sftpServer->kind() != SftpTestServer::Kind::Sshd)
        GTEST_SKIP() << "needs a server whose sessions the test can kill";
    EXPECT_FALSE(client.FTPDownloadFile(dos(u"missing.bin"_s), u"missing.bin"_s));
    EXPECT_FALSE(client.failureIsPassing()) << "a missing file passes";

    const QByteArray content = patterned(4 << 20);
    const QString serverFile = server->rootPath() + u'/' + work + u"/cut.bin"_s;
    const struct
    {
        const char *title;
        bool upload;
        Resume resume;
    } cases[] = {
        {"upload", true, Resume::Continue},
        {"download started over", false, Resume::StartOver},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        QFile::remove(serverFile);
        const QString local = c.upload ? putLocal(u"up.bin"_s, content) : dos(u"down.bin"_s);
        if (!c.upload)
            writeFile(serverFile, content);
        const auto transfer = [&](Resume resume) {
            return c.upload ? client.FTPUploadFile(local, u"cut.bin"_s, resume)
                            : client.FTPDownloadFile(local, u"cut.bin"_s, resume);
        };
        bool killed = false;
        const QMetaObject::Connection killer =
            QObject::connect(&client, &cFTP::TransferProgress, [&](qint64 done, qint64) {
                if (!killed && done >= 3 << 19)
                    killed = sftpServer->killSessions();
            });
        EXPECT_FALSE(transfer(Resume::Continue));
        QObject::disconnect(killer);
        ASSERT_TRUE(killed);
        EXPECT_TRUE(client.failureIsPassing());

        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()));
        ASSERT_TRUE(client.SetFTPDirectory(workPath()));
        QList<qint64> told; // a resume as its negative start, then every progress
        const QMetaObject::Connection resumed = QObject::connect(
            &client, &cFTP::TransferResumed, [&](qint64 at, qint64) { told << -at; });
        const QMetaObject::Connection progress = QObject::connect(
            &client, &cFTP::TransferProgress, [&](qint64 done, qint64) { told << done; });
        const bool transferred = transfer(c.resume);
        QObject::disconnect(resumed);
        QObject::disconnect(progress);
        ASSERT_TRUE(transferred);
        ASSERT_GE(told.size(), 2);
        if (c.resume == Resume::Continue) {
            EXPECT_GE(-told.at(0), 3 << 19);
            EXPECT_EQ(told.at(1), -told.at(0)) << "the progress did not start at the resume";
        } else {
            EXPECT_EQ(told.at(0), 0);
        }
        EXPECT_TRUE(readFile(c.upload ? serverFile : tempPath(u"down.bin"_s)) == content);
    }
}
