// The secure library against OpenSSH's sshd on loopback: host keys, logins, cancelling,
// failures of the connection and replies that must fit their buffers.

#include "securelib/HVSPFTPUTILS.h"

#include "servers/SftpTestServer.h"
#include "servers/SilentFtpServer.h"
#include "support/VellixTest.h"
#include "transport/SecureLibraryKey.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int ShortTimeout = 3000;

QString statusText()
{
    std::vector<char> status(HVSP_STATUS_SIZE + 1, '#');
    FtpGetStatus(status.data());
    return QString::fromUtf8(status.data());
}

// The fingerprint OpenSSH shows for the key of a known-hosts line.
QString fingerprintOf(const QString &knownHostsLine)
{
    const QByteArray blob = QByteArray::fromBase64(knownHostsLine.section(u' ', 2, 2).toLatin1());
    return u"SHA256:"_s +
           QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256)
                                   .toBase64(QByteArray::OmitTrailingEquals));
}

class SecureLibraryTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        QString why = SftpTestServer::unavailableReason(SftpTestServer::Kind::Sshd);
        if (!why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        m_server = SftpTestServer::start(SftpTestServer::Kind::Sshd, &why);
        ASSERT_TRUE(m_server) << why.toStdString();
        FtpInit(SecureLibraryKey::key().constData());
        FtpSetTimeout(ShortTimeout);
        FtpSetHostKeyPolicy(HVSP_ACCEPT_NEW_KEYS);
    }
    void TearDown() override
    {
        FtpExit();
        m_server.reset();
        VellixTest::TearDown();
    }

    int connect(const QString &password, HvspStatusCallback callback = nullptr)
    {
        char reply[HVSP_REPLY_SIZE];
        return FtpConnect(m_server->user().toUtf8().constData(), password.toUtf8().constData(),
                          m_server->site().toUtf8().constData(), reply, callback);
    }
    int connect() { return connect(m_server->password()); }

    // Runs a command; its whole reply lands in `reply`.
    int command(const QString &text, QByteArray *reply = nullptr)
    {
        char *buffer = nullptr;
        size_t size = 0;
        const int result = FtpCmdEx(text.toUtf8().constData(), &buffer, &size);
        if (reply)
            *reply = QByteArray(buffer ? buffer : "");
        std::free(buffer);
        return result;
    }

    static QByteArray knownHosts()
    {
        QFile file(QDir(qEnvironmentVariable("VELLIX_PREFIX")).filePath(u"known_hosts"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeKnownHosts(const QString &line)
    {
        const QDir prefix(qEnvironmentVariable("VELLIX_PREFIX"));
        ASSERT_TRUE(prefix.mkpath(u"."_s));
        QFile file(prefix.filePath(u"known_hosts"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(line.toUtf8() + '\n');
    }

    std::unique_ptr<SftpTestServer> m_server;
};

TEST_F(SecureLibraryTest, ANewHostKeyIsRecordedThenVerifiedAndAChangedOneRefused)
{
    ASSERT_EQ(connect(), 1) << statusText().toStdString();
    const QString fingerprint = fingerprintOf(m_server->knownHostsLine());
    EXPECT_TRUE(statusText().contains(u"Connected"_s));
    EXPECT_EQ(knownHosts().trimmed(), m_server->knownHostsLine().toUtf8());

    // The status the callback reads while connecting names the key.
    static QStringList seen;
    seen.clear();
    const HvspStatusCallback watch = [] {
        seen << statusText();
        return 1;
    };
    ASSERT_EQ(connect(m_server->password(), watch), 1);
    EXPECT_TRUE(seen.filter(u"verified"_s).join(u' ').contains(fingerprint))
        << seen.join(u'\n').toStdString();

    writeKnownHosts(m_server->otherKnownHostsLine());
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(statusText().contains(u"has changed"_s)) << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(fingerprint));
    EXPECT_EQ(knownHosts().trimmed(), m_server->otherKnownHostsLine().toUtf8());
    EXPECT_EQ(command(u"pwd"_s), 0) << "a refused server left a session behind";
}

TEST_F(SecureLibraryTest, AServerWithRecordedKeysMustShowOneOfThemWhateverItsType)
{
    using Keys = SftpTestServer::HostKeys;
    struct Case
    {
        const char *title;
        Keys shown;
        QString (SftpTestServer::*recorded)() const;
        int connected;
    };
    const Case cases[] = {
        {"only ECDSA shown, ed25519 recorded", Keys::Ecdsa, &SftpTestServer::knownHostsLine, 0},
        {"only ed25519 shown, ECDSA recorded", Keys::Ed25519, &SftpTestServer::ecdsaKnownHostsLine,
         0},
        {"both shown, ed25519 recorded", Keys::Ed25519AndEcdsa, &SftpTestServer::knownHostsLine, 1},
        {"both shown, ECDSA recorded", Keys::Ed25519AndEcdsa, &SftpTestServer::ecdsaKnownHostsLine,
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        FtpExit();
        m_server.reset();
        QString why;
        m_server = SftpTestServer::start(SftpTestServer::Kind::Sshd, &why, c.shown);
        ASSERT_TRUE(m_server) << why.toStdString();
        const QString recorded = (*m_server.*c.recorded)();
        writeKnownHosts(recorded);

        EXPECT_EQ(connect(), c.connected) << statusText().toStdString();
        EXPECT_TRUE(statusText().contains(c.connected ? u"Connected"_s : u"has changed"_s))
            << statusText().toStdString();
        EXPECT_EQ(knownHosts().trimmed(), recorded.toUtf8()) << "the file was changed";
    }
}

TEST_F(SecureLibraryTest, AnUnknownHostKeyIsRefusedWhenNewKeysAreNotAccepted)
{
    FtpSetHostKeyPolicy(HVSP_REFUSE_NEW_KEYS);
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(statusText().contains(u"not known"_s)) << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(fingerprintOf(m_server->knownHostsLine())));
    EXPECT_TRUE(knownHosts().isEmpty());
}

TEST_F(SecureLibraryTest, FailedConnectsSayWhy)
{
    SilentFtpServer mute;
    ASSERT_TRUE(mute.isListening());
    struct Case
    {
        const char *title;
        QString user;
        QString password;
        QString server;
        QString status;
    };
    const Case cases[] = {
        {"wrong password", m_server->user(), u"not-the-password"_s, m_server->site(),
         u"refused the user name or password"_s},
        {"unknown user", u"nobody-here"_s, m_server->password(), m_server->site(),
         u"refused the user name or password"_s},
        {"bad server name", m_server->user(), m_server->password(), u"[::1"_s, u"not valid"_s},
        {"silent server", m_server->user(), m_server->password(), mute.site(),
         u"did not answer in time"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        char reply[HVSP_REPLY_SIZE];
        EXPECT_EQ(FtpConnect(c.user.toUtf8().constData(), c.password.toUtf8().constData(),
                             c.server.toUtf8().constData(), reply, nullptr),
                  0);
        EXPECT_TRUE(statusText().contains(c.status)) << statusText().toStdString();
        EXPECT_FALSE(statusText().contains(c.password)) << "the status shows the password";
    }

    FtpInit("not the key");
    EXPECT_EQ(connect(), 0) << "a library without its key connected";
}

TEST_F(SecureLibraryTest, AnEmptyPasswordLogsInWithTheUsersOwnKey)
{
    EXPECT_EQ(connect(QString()), 0) << "logged in without a password or a key";

    const QString key = homePath(u".ssh/id_ed25519"_s);
    ASSERT_TRUE(QDir().mkpath(homePath(u".ssh"_s)));
    ASSERT_EQ(QProcess::execute(u"ssh-keygen"_s,
                                {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, QString(), u"-f"_s, key}),
              0);
    ASSERT_TRUE(m_server->authorizeKey(readFile(key + u".pub"_s)));
    EXPECT_EQ(connect(QString()), 1) << statusText().toStdString();
}

TEST_F(SecureLibraryTest, TheStatusCallbackStopsAConnect)
{
    // Stopped by the library's own caller at the third question.
    static int asked = 0;
    asked = 0;
    EXPECT_EQ(connect(m_server->password(), [] { return ++asked < 3 ? 1 : 0; }), 0);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(statusText().contains(u"Stopped"_s)) << statusText().toStdString();
}

TEST_F(SecureLibraryTest, AServerThatDiesDuringATransferFailsItCleanly)
{
    // Sparse, so it costs no disk and reads fast; large enough to be killed mid-way.
    const QString local = tempPath(u"large.bin"_s);
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));
    file.close();
    const QDir root(m_server->rootPath());
    writeFile(root.filePath(u"large.bin"_s), "the good copy");
    ASSERT_EQ(connect(), 1);

    std::atomic<bool> killed = false;
    std::thread killer([&] {
        const QDeadlineTimer deadline(20000);
        const auto growing = [&] {
            const QFileInfoList files = root.entryInfoList(QDir::Files | QDir::Hidden);
            return std::any_of(files.cbegin(), files.cend(),
                               [](const QFileInfo &file) { return file.size() >= (1 << 20); });
        };
        while (!growing() && !deadline.hasExpired())
            QThread::msleep(10);
        killed = m_server->killSessions();
    });
    QByteArray reply;
    const int result = command(u"put \"%1\" \"large.bin\""_s.arg(local), &reply);
    killer.join();
    ASSERT_TRUE(killed);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(reply.contains("connection was lost")) << reply.constData();
    EXPECT_EQ(statusText().toUtf8(), reply);
    EXPECT_EQ(command(u"pwd"_s, &reply), 0) << "the lost session was kept";
    EXPECT_EQ(reply, "Not connected.");
    EXPECT_TRUE(readFile(root.filePath(u"large.bin"_s)) == "the good copy")
        << "the server's copy was overwritten";
    EXPECT_EQ(connect(), 1) << "the next connect fails after a lost session";
}

TEST_F(SecureLibraryTest, AnUploadThatCannotTakeItsNameLeavesNothingBehind)
{
    // Anyone may add files to a sticky folder, but only their owner can replace them.
    const QDir shared(QDir(m_server->rootPath()).filePath(u"shared"_s));
    ASSERT_TRUE(shared.mkpath(u"."_s));
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    writeFile(shared.filePath(u"root's.txt"_s), "the good copy");
    const QString local = writeFile(tempPath(u"new.txt"_s), "new");
    ASSERT_EQ(connect(), 1);

    QByteArray reply;
    EXPECT_EQ(command(u"put \"%1\" \"shared/root's.txt\""_s.arg(local), &reply), 0);
    EXPECT_TRUE(reply.contains("Permission denied")) << reply.constData();
    EXPECT_EQ(shared.entryList(QDir::Files | QDir::Hidden), QStringList{u"root's.txt"_s});
    EXPECT_EQ(readFile(shared.filePath(u"root's.txt"_s)), "the good copy");
}

TEST_F(SecureLibraryTest, RepliesFitTheBufferTheirCommandImpliesOrComeWhole)
{
    const QString name = u"a-rather-long-file-name-to-fill-the-listing-quickly-%1.txt"_s;
    const QDir root(m_server->rootPath());
    root.mkdir(u"folder"_s);
    for (int i = 0; i < 300; ++i) {
        const QString numbered = name.arg(i, 3, 10, QLatin1Char('0'));
        writeFile(root.filePath(numbered), "x");
        if (i < 20)
            writeFile(root.filePath(u"folder/"_s + numbered), "12345");
    }
    writeFile(root.filePath(u"a|9|0|-rw.txt"_s), "12345");
    ASSERT_EQ(connect(), 1);

    // A listing that does not fit ends at its last whole line.
    struct Case
    {
        const char *command;
        int size;  // the buffer a caller gives for it
        int lines; // -1: as many as fit whole
    };
    const Case cases[] = {
        {"dir \"*\"", HVSP_LISTING_SIZE, -1},
        {"dir", HVSP_LISTING_SIZE, -1},
        // A name without wildcards asks for one file's size, however much it lists.
        {"dir \"folder\"", HVSP_SIZE_QUERY_SIZE, -1},
        {"dir \"folder/*\"", HVSP_LISTING_SIZE, 20},
        {"dir \"folder/a-rather-long-file-name-to-fill-the-listing-quickly-007.txt\"",
         HVSP_SIZE_QUERY_SIZE, 1},
        {"dir \"*.none\"", HVSP_LISTING_SIZE, 0},
        {"dir \"missing.txt\"", HVSP_SIZE_QUERY_SIZE, 0},
        {"dir \"a|9|0|-rw.txt\"", HVSP_SIZE_QUERY_SIZE, 0}, // left out: it would shift the fields
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        std::vector<char> buffer(size_t(c.size) + 64, '#');
        EXPECT_NE(FtpCmd(c.command, buffer.data()), 0);
        EXPECT_EQ(buffer[size_t(c.size)], '#') << "wrote past the buffer";
        const QByteArray text(buffer.data());
        EXPECT_TRUE(text.isEmpty() || text.endsWith("\r\n"));
        const QList<QByteArray> lines = text.split('\n');
        if (c.lines >= 0)
            EXPECT_EQ(text.count("\r\n"), c.lines) << text.constData();
        else // every line of these folders is as long as the first
            EXPECT_EQ(text.count("\r\n"), (c.size - 1) / (text.indexOf("\r\n") + 2));
        for (const QByteArray &line : lines.mid(0, lines.size() - 1))
            EXPECT_EQ(line.count('|'), 3) << line.constData();
    }

    // The entry point that enlarges its buffer hands back every line.
    size_t size = 16;
    char *reply = static_cast<char *>(std::malloc(size));
    ASSERT_NE(FtpCmdEx("dir \"*\"", &reply, &size), 0);
    const QByteArray listing(reply);
    std::free(reply);
    EXPECT_EQ(listing.count("\r\n"), 301) << "300 files and a folder";
    EXPECT_GT(size, size_t(listing.size()));
}

TEST_F(SecureLibraryTest, ServerNamesThatCannotNameALocalFileAreSkipped)
{
    // Legal names on the server, which would climb out of their folder as DOS paths.
    const QDir root(m_server->rootPath());
    const QStringList hostile{u"x\\..\\..\\PWNED.txt"_s, u"..\\up.txt"_s};
    for (const QString &name : hostile + QStringList{u"pic.gif"_s})
        writeFile(root.filePath(u"page_files/"_s + name), "pwned");
    writeFile(root.filePath(u"page.htm"_s), "<html>");
    writeFile(root.filePath(u"x\\..\\b.htm"_s), "<html>");
    writeFile(root.filePath(u"x\\..\\b_files/pic.gif"_s), "pwned");
    ASSERT_EQ(connect(), 1);

    const struct
    {
        QString page;
        QStringList localFiles;
        QStringList skipped;
    } cases[] = {
        {u"page.htm"_s, {u"page.htm"_s, u"page_files/pic.gif"_s}, hostile},
        // The companion folder takes the last component of the page's name.
        {u"x\\..\\b.htm"_s, {u"b.htm"_s, u"b_files/pic.gif"_s}, {}},
    };
    for (const auto &[page, localFiles, skipped] : cases) {
        SCOPED_TRACE(page.toStdString());
        const QDir local(tempPath(u"down-"_s + QString::number(qHash(page))));
        ASSERT_TRUE(local.mkpath(u"."_s));
        const QString target = local.filePath(localFiles.first());
        QByteArray reply;
        EXPECT_NE(command(u"get -h \"%1\" \"%2\""_s.arg(page, target), &reply), 0) << reply.data();
        QStringList found;
        for (QDirIterator it(local.path(), QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            found << local.relativeFilePath(it.next());
        found.sort();
        EXPECT_EQ(found, localFiles);
        for (const QString &name : skipped)
            EXPECT_TRUE(reply.contains('"' + name.toUtf8() + '"')) << reply.data();
    }
}

TEST_F(SecureLibraryTest, NamesHoldingQuotesActOnlyOnTheFileMeant)
{
    const QDir root(m_server->rootPath());
    for (const char *name : {"a\" \"b.txt", "a", "b.txt", "q\"uote.txt"})
        writeFile(root.filePath(QString::fromUtf8(name)), name);
    const QStringList before = root.entryList(QDir::Files);
    ASSERT_EQ(connect(), 1);

    // Quotes that are not doubled, or names too many: nothing is done, and the status says why.
    for (const QString &text : {u"del \"a\" \"b.txt\""_s, u"ren \"q\"uote.txt\" \"new.txt\""_s,
                                u"del \"a\"\" \"\"b.txt"_s, u"ren \"a\" \"b.txt\" \"c\""_s}) {
        QByteArray reply;
        EXPECT_EQ(command(text, &reply), 0) << text.toStdString();
        EXPECT_FALSE(reply.isEmpty());
        EXPECT_EQ(statusText().toUtf8(), reply);
    }
    EXPECT_EQ(root.entryList(QDir::Files), before);

    EXPECT_NE(command(u"del \"a\"\" \"\"b.txt\""_s), 0);
    EXPECT_NE(command(u"ren \"q\"\"uote.txt\" \"new \"\"one\"\".txt\""_s), 0);
    EXPECT_EQ(root.entryList(QDir::Files), QStringList({u"a"_s, u"b.txt"_s, u"new \"one\".txt"_s}));
    EXPECT_EQ(readFile(root.filePath(u"new \"one\".txt"_s)), "q\"uote.txt");
}

} // namespace
