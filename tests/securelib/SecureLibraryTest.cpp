// The secure library against OpenSSH's sshd on loopback: host keys, logins, cancelling,
// failures of the connection and replies that must fit their buffers.

#include "securelib/HVSPFTPUTILS.h"

#include "platform/PartialName.h"
#include "servers/ServerModes.h"
#include "servers/SftpTestServer.h"
#include "servers/SilentFtpServer.h"
#include "support/FullDisk.h"
#include "support/VellixTest.h"
#include "transport/SecureLibraryKey.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int ShortTimeout = 3000;

// What the progress callback of FtpCmdProgress was told, and when it says no.
struct ProgressLog
{
    QList<std::pair<qint64, qint64>> told;
    std::function<bool(const ProgressLog &)> cancels = [](const ProgressLog &) { return false; };

    static int tell(void *log, long long done, long long total)
    {
        auto *self = static_cast<ProgressLog *>(log);
        self->told.append({done, total});
        return self->cancels(*self) ? 0 : 1;
    }

    // The numbers come in order and end at the whole, which stays the same throughout.
    bool wentUpTo(qint64 total) const
    {
        return !told.isEmpty() && told.last().first == total && std::ranges::is_sorted(told) &&
               std::ranges::all_of(told, [&](const auto &each) { return each.second == total; });
    }
};

// Passes connections on to a server on loopback, and holds what a client sends from its third
// encrypted packet on: the password, after the requests for the login service and for the
// login methods, each of which waits for its answer. The packets in clear before them (the
// banner, the key exchange and the new keys) are told apart by their lengths. To the client it
// is a server that hangs while it checks the password. Prints the port it takes.
constexpr char PasswordHoldingRelay[] = R"(
import select, socket, sys

def clear_end(stream):
    end = stream.find(b"\n") + 1
    for _ in range(3):
        if end == 0 or len(stream) < end + 4:
            return None
        end += 4 + int.from_bytes(stream[end:end + 4], "big")
    return end if len(stream) >= end else None

listener = socket.create_server(("127.0.0.1", 0))
print(listener.getsockname()[1], flush=True)
while True:
    client, _ = listener.accept()
    server = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
    stream, encrypted = b"", None
    while (ready := select.select([client, server], [], [])[0]):
        data = ready[0].recv(65536)
        if not data:
            break
        if ready[0] is server:
            client.sendall(data)
            continue
        if encrypted is None:
            stream += data
            if (end := clear_end(stream)) is not None:
                encrypted = int(len(stream) > end)
        else:
            encrypted += 1
        if encrypted is None or encrypted < 3:
            server.sendall(data)
)";

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
        m_server = startOrSkip(SftpTestServer::Kind::Sshd);
        if (!m_server)
            return;
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

    int connect(const QString &password, HvspStatusCallback callback = nullptr,
                const QString &site = {})
    {
        char reply[HVSP_REPLY_SIZE];
        return FtpConnect(m_server->user().toUtf8().constData(), password.toUtf8().constData(),
                          (site.isEmpty() ? m_server->site() : site).toUtf8().constData(), reply,
                          callback);
    }
    int connect() { return connect(m_server->password()); }

    // Runs a command, with a progress callback when given a log; its whole reply lands in
    // `reply`.
    static int command(const QString &text, QByteArray *reply = nullptr, ProgressLog *log = nullptr)
    {
        char *buffer = nullptr;
        size_t size = 0;
        const QByteArray utf8 = text.toUtf8();
        const int result =
            log ? FtpCmdProgress(utf8.constData(), &buffer, &size, &ProgressLog::tell, log)
                : FtpCmdEx(utf8.constData(), &buffer, &size);
        if (reply)
            *reply = QByteArray(buffer ? buffer : "");
        std::free(buffer);
        return result;
    }

    QStringList serverFiles() const { return filesBelow(m_server->rootPath()); }

    static QString knownHostsPath()
    {
        return QDir(qEnvironmentVariable("VELLIX_PREFIX")).filePath(u"known_hosts"_s);
    }
    static QByteArray knownHosts() { return readFile(knownHostsPath()); }
    void writeKnownHosts(const QString &line) const
    {
        writeFile(knownHostsPath(), line.toUtf8() + '\n');
    }

    std::unique_ptr<SftpTestServer> m_server;
};

// An unknown key is refused while new keys are not accepted, else recorded; a recorded key is
// verified, a changed one refused, and so is a new one that cannot be recorded.
TEST_F(SecureLibraryTest, ANewHostKeyIsRecordedThenVerifiedAndAChangedOrUnrecordedOneRefused)
{
    const QString fingerprint = fingerprintOf(m_server->knownHostsLine());
    FtpSetHostKeyPolicy(HVSP_REFUSE_NEW_KEYS);
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(statusText().contains(u"not known"_s)) << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(fingerprint));
    EXPECT_TRUE(knownHosts().isEmpty());

    FtpSetHostKeyPolicy(HVSP_ACCEPT_NEW_KEYS);
    ASSERT_EQ(connect(), 1) << statusText().toStdString();
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

    // A new key that cannot be recorded where the keys before it stay (a pipe in the file's
    // place, a full disk) refuses the connection and leaves the file as it was.
    ASSERT_TRUE(QFile::remove(knownHostsPath()) && makePipe(knownHostsPath()));
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(statusText().contains(u"cannot be recorded"_s)) << statusText().toStdString();
    ASSERT_TRUE(isPipe(knownHostsPath()) && QFile::remove(knownHostsPath()));

    const FullDisk disk(tempPath(u"full"_s));
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small disk here";
    const QByteArray before = "# the keys met before\n";
    const QString kept = writeFile(tempPath(u"full/known_hosts"_s), before);
    ASSERT_TRUE(QFile::link(kept, knownHostsPath()));
    disk.fill();
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(statusText().contains(u"cannot be recorded"_s)) << statusText().toStdString();
    EXPECT_EQ(readFile(kept), before);
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
        {"both shown, ed25519 recorded", Keys::Ed25519AndEcdsa, &SftpTestServer::knownHostsLine, 1},
        {"both shown, ECDSA recorded", Keys::Ed25519AndEcdsa, &SftpTestServer::ecdsaKnownHostsLine,
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        FtpExit();
        m_server.reset();
        m_server = startOrSkip(SftpTestServer::Kind::Sshd, ServerAccess::ProtocolOnly, c.shown);
        ASSERT_TRUE(m_server);
        const QString recorded = (*m_server.*c.recorded)();
        writeKnownHosts(recorded);

        EXPECT_EQ(connect(), c.connected) << statusText().toStdString();
        EXPECT_TRUE(statusText().contains(c.connected ? u"Connected"_s : u"has changed"_s))
            << statusText().toStdString();
        EXPECT_EQ(knownHosts().trimmed(), recorded.toUtf8()) << "the file was changed";
    }
}

TEST_F(SecureLibraryTest, FailedConnectsSayWhyAndAnEmptyPasswordTakesTheUsersKey)
{
    SilentFtpServer mute;
    ASSERT_TRUE(mute.isListening());
    QProcess relay;
    relay.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromLatin1(PasswordHoldingRelay),
                                        QString::number(m_server->port())});
    ASSERT_TRUE(relay.waitForReadyRead(10000)) << "the relay did not start";
    const QString relaySite = u"127.0.0.1:"_s + QString::fromLatin1(relay.readLine().trimmed());
    const struct
    {
        const char *title;
        QString password;
        QString server;
        QString status;
    } cases[] = {
        {"wrong password", u"not-the-password"_s, m_server->site(),
         u"refused the user name or password"_s},
        {"bad server name", m_server->password(), u"[::1"_s, u"not valid"_s},
        {"silent server", m_server->password(), mute.site(), u"did not answer in time"_s},
        {"silent at the password", m_server->password(), relaySite, u"did not answer in time"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(connect(c.password, nullptr, c.server), 0);
        EXPECT_TRUE(statusText().contains(c.status)) << statusText().toStdString();
        EXPECT_FALSE(statusText().contains(c.password)) << "the status shows the password";
    }
    relay.kill();
    relay.waitForFinished();

    // Stopped by the library's own caller at the third question.
    static int asked;
    asked = 0;
    EXPECT_EQ(connect(m_server->password(), [] { return ++asked < 3 ? 1 : 0; }), 0);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(statusText().contains(u"Stopped"_s)) << statusText().toStdString();

    // An empty password logs in with the user's own key, once the server knows it.
    EXPECT_EQ(connect(QString()), 0) << "logged in without a password or a key";
    const QString key = homePath(u".ssh/id_ed25519"_s);
    ASSERT_TRUE(QDir().mkpath(homePath(u".ssh"_s)));
    ASSERT_EQ(QProcess::execute(u"ssh-keygen"_s,
                                {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, QString(), u"-f"_s, key}),
              0);
    ASSERT_TRUE(m_server->authorizeKey(readFile(key + u".pub"_s)));
    EXPECT_EQ(connect(QString()), 1) << statusText().toStdString();

    FtpInit("not the key");
    EXPECT_EQ(connect(), 0) << "a library without its key connected";
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

// Names whose quotes are not doubled, or too many names, and uploads that cannot take their
// names, on a server that renames nothing: nothing is done, nothing is left behind, and the
// status says why.
TEST_F(SecureLibraryTest, RefusedCommandsChangeNothingAndSayWhy)
{
    m_server =
        SftpTestServer::start(SftpTestServer::Kind::Sshd, nullptr,
                              SftpTestServer::HostKeys::Ed25519, SftpTestServer::Renames::Refused);
    ASSERT_TRUE(m_server);
    const QDir root(m_server->rootPath());
    for (const char *name : {"a\" \"b.txt", "a", "b.txt", "q\"uote.txt", "shared/root's.txt"})
        writeFile(root.filePath(QString::fromUtf8(name)), name);
    // Anyone may add files to a sticky folder, but only their owner can replace them.
    ASSERT_EQ(::chmod(QFile::encodeName(root.filePath(u"shared"_s)).constData(), 01777), 0);
    const QString local = writeFile(tempPath(u"new.txt"_s), "new");
    const QStringList before = serverFiles();
    ASSERT_EQ(connect(), 1);
    for (const QString &text :
         {u"del \"a\" \"b.txt\""_s, u"ren \"q\"uote.txt\" \"new.txt\""_s,
          u"del \"a\"\" \"\"b.txt"_s, u"ren \"a\" \"b.txt\" \"c\""_s,
          u"put \"%1\" \"shared/root's.txt\""_s.arg(local), u"put \"%1\" \"b.txt\""_s.arg(local)}) {
        QByteArray reply;
        EXPECT_EQ(command(text, &reply), 0) << text.toStdString();
        EXPECT_FALSE(reply.isEmpty());
        EXPECT_EQ(statusText().toUtf8(), reply);
    }
    EXPECT_TRUE(statusText().contains(u"Permission denied"_s)) << statusText().toStdString();
    EXPECT_EQ(serverFiles(), before);
    EXPECT_EQ(readFile(root.filePath(u"shared/root's.txt"_s)), "shared/root's.txt");
}

// A page's transfer tells its progress in order, up to the whole of the page and its files. A
// cancel leaves the target as it was and the session goes on; of a small file it leaves nothing
// behind. Single files, and cancels of large ones, are the client scenarios' over every channel.
// A page's download skips the server's names that cannot name a local file.
TEST_F(SecureLibraryTest, PageTransfersTellTheirProgressCancelCleanlyAndSkipHostileNames)
{
    const QByteArray page = "<img src=\"page_files/pic.gif\">";
    const QString localPage = writeFile(tempPath(u"site/page.htm"_s), page);
    writeFile(tempPath(u"site/page_files/pic.gif"_s), patterned(1 << 20));
    writeFile(tempPath(u"site/page_files/notes.txt"_s), "notes");
    const qint64 pageWithFiles = page.size() + (1 << 20) + 5;
    const QDir root(m_server->rootPath());
    writeFile(root.filePath(u"kept.bin"_s), "the good copy");
    writeFile(root.filePath(u"big.bin"_s), "not the size of kept.bin");
    ASSERT_TRUE(QDir().mkpath(tempPath(u"down"_s)));
    ASSERT_EQ(connect(), 1);

    const struct
    {
        QString command;
        qint64 total;
    } transfers[] = {
        // A page and its companion files go as one transfer.
        {u"put -h \"%1\" \"page.htm\""_s.arg(localPage), pageWithFiles},
        {u"get -h \"page.htm\" \"%1\""_s.arg(tempPath(u"down/page.htm"_s)), pageWithFiles},
    };
    for (const auto &c : transfers) {
        SCOPED_TRACE(c.command.toStdString());
        ProgressLog log;
        QByteArray reply;
        EXPECT_EQ(command(c.command, &reply, &log), 1) << reply.constData();
        EXPECT_TRUE(log.wentUpTo(c.total));
    }
    EXPECT_TRUE(readFile(tempPath(u"down/page_files/pic.gif"_s)) == patterned(1 << 20));
    // Other commands tell nothing.
    ProgressLog listing;
    EXPECT_EQ(command(u"dir"_s, nullptr, &listing), 1);
    EXPECT_TRUE(listing.told.isEmpty());
    // A download asks for the size of its file together with the open: the answer must never be
    // taken for that of the next question of its kind.
    for (const QString &fetched : {u"missing.bin"_s, u"big.bin"_s}) {
        SCOPED_TRACE(fetched.toStdString());
        command(u"get \"%1\" \"%2\""_s.arg(fetched, tempPath(u"got.bin"_s)));
        QByteArray reply;
        EXPECT_EQ(command(u"dir \"kept.bin\""_s, &reply), 1);
        EXPECT_TRUE(reply.startsWith("kept.bin|13|")) << reply.constData();
    }

    const QStringList serverBefore = serverFiles();
    const QString cancelled[] = {
        u"put \"%1\" \"small.bin\""_s.arg(writeFile(tempPath(u"small.bin"_s), patterned(300000))),
        // The cancel comes during the companion files: the page does not go up.
        u"put -h \"%1\" \"other.htm\""_s.arg(localPage),
    };
    for (const QString &transferred : cancelled) {
        SCOPED_TRACE(transferred.toStdString());
        ProgressLog log;
        log.cancels = [](const ProgressLog &told) { return told.told.last().first > 0; };
        QByteArray reply;
        EXPECT_EQ(command(transferred, &reply, &log), 0);
        EXPECT_TRUE(reply.contains("cancelled")) << reply.constData();
        EXPECT_EQ(std::count_if(log.told.cbegin(), log.told.cend(),
                                [](const auto &told) { return told.first > 0; }),
                  1)
            << "asked again after it said no";
        // The empty folder of the page's files may stay, as after a failed plain upload.
        EXPECT_EQ(withoutPartials(serverFiles()), serverBefore);
        if (transferred.contains(u"small"_s)) {
            EXPECT_EQ(serverFiles(), serverBefore) << "a small file's partial stayed";
        }
        EXPECT_EQ(command(u"pwd"_s), 1) << "the session was lost";
    }

    // Legal names on the server, which would climb out of their folder as DOS paths, are skipped.
    const QStringList hostile{u"x\\..\\..\\PWNED.txt"_s, u"..\\up.txt"_s};
    for (const QString &name : hostile + QStringList{u"pic.gif"_s})
        writeFile(root.filePath(u"names_files/"_s + name), "pwned");
    writeFile(root.filePath(u"names.htm"_s), "<html>");
    writeFile(root.filePath(u"x\\..\\b.htm"_s), "<html>");
    writeFile(root.filePath(u"x\\..\\b_files/pic.gif"_s), "pwned");

    const struct
    {
        QString page;
        QStringList localFiles;
        QStringList skipped;
    } cases[] = {
        {u"names.htm"_s, {u"names.htm"_s, u"names_files/pic.gif"_s}, hostile},
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
        EXPECT_EQ(filesBelow(local.path()), localFiles);
        for (const QString &name : skipped)
            EXPECT_TRUE(reply.contains('"' + name.toUtf8() + '"')) << reply.data();
    }
}

// A transfer cut by the server's death fails, and the lost session with it; it keeps what arrived.
// With "-c" the next one moves only the rest, where the partial is still a copy of the same file; a
// partial of another version of the file, or one longer than it, is never continued into the
// result, nor a link in the partial's place, which would lead the upload into a file elsewhere.
TEST_F(SecureLibraryTest, ACutTransferContinuesOnlyAPartialThatStillFits)
{
    // FileCopiedIn: the other version comes with the old date kept (cp -p), before the cut.
    enum class AfterCut { Nothing, FileChanged, FileCopiedIn, PartialGrown, PartialLinked };
    const struct
    {
        const char *title;
        bool upload;
        AfterCut afterCut;
        bool resume;
        bool continued; // the second attempt starts at the partial's end
        bool readOnlyTarget = false;
    } cases[] = {
        // An upload continued and a download taken whole again are the client's cut scenario.
        {"upload without -c", true, AfterCut::Nothing, false, false},
        {"upload of a local file changed since", true, AfterCut::FileChanged, true, false},
        {"upload of a local file copied in since", true, AfterCut::FileCopiedIn, true, false},
        {"upload beside a partial longer than the file", true, AfterCut::PartialGrown, true, false},
        {"upload beside a link in the partial's place", true, AfterCut::PartialLinked, true, false},
        // Its partial stays writable; the file is read-only again once whole.
        {"upload over a read-only file", true, AfterCut::Nothing, true, true, true},
        {"download", false, AfterCut::Nothing, true, true},
        {"download of a server file changed since", false, AfterCut::FileChanged, true, false},
        // Continued from its note, but found too long at the end: taken again whole.
        {"download into a partial longer than the file", false, AfterCut::PartialGrown, true, true},
    };
    const qint64 size = 4 << 20;
    const QByteArray first = patterned(size);
    // The same size: only the date tells the versions apart.
    const QByteArray second = patterned(size + 1).mid(1);
    const QDir root(m_server->rootPath());
    const QDateTime now = QDateTime::currentDateTime();
    const auto setDate = [](const QString &path, const QDateTime &date) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(date, QFileDevice::FileModificationTime);
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        const QString name = u"cut-%1.bin"_s.arg(++number);
        const QString local = tempPath(name);
        const QString source = c.upload ? local : root.filePath(name);
        writeFile(source, first);
        const bool copiedIn = c.afterCut == AfterCut::FileCopiedIn;
        const QString target = root.filePath(name);
        if (c.readOnlyTarget) {
            writeFile(target, "the old copy");
            ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0444), 0);
        }
        const QString partial =
            c.upload ? root.filePath(PartialName::pathFor(name)) : PartialName::pathFor(local);
        const QString elsewhere = root.filePath(u"elsewhere-"_s + name);
        const QString put =
            u"put %1\"%2\" \"%3\""_s.arg(c.resume ? u"-c "_s : QString(), local, name);
        const QString get =
            u"get %1\"%2\" \"%3\""_s.arg(c.resume ? u"-c "_s : QString(), name, local);
        ASSERT_EQ(connect(), 1);

        bool killed = false;
        ProgressLog cut;
        cut.cancels = [&](const ProgressLog &told) {
            if (!killed && told.told.last().first >= 3 << 19)
                killed = m_server->killSessions();
            return false;
        };
        QByteArray reply;
        EXPECT_EQ(command(c.upload ? put : get, &reply, &cut), 0);
        ASSERT_TRUE(killed);
        EXPECT_TRUE(reply.contains("connection was lost")) << reply.constData();
        EXPECT_EQ(statusText().toUtf8(), reply);
        EXPECT_EQ(command(u"pwd"_s, &reply), 0) << "the lost session was kept";
        EXPECT_EQ(reply, "Not connected.");
        const qint64 kept = QFileInfo(partial).size();
        ASSERT_GT(kept, 0) << "the partial went";
        ASSERT_LT(kept, size);

        QByteArray expected = first;
        if (c.afterCut == AfterCut::FileChanged || copiedIn) {
            expected = second;
            writeFile(source, second);
            ASSERT_TRUE(setDate(source, copiedIn ? now.addSecs(-600) : now.addSecs(60)));
            if (copiedIn) {
                ASSERT_TRUE(setDate(partial, now.addSecs(-120)));
            }
        } else if (c.afterCut == AfterCut::PartialGrown) {
            writeFile(partial, readFile(partial) + patterned(size));
        } else if (c.afterCut == AfterCut::PartialLinked) {
            ASSERT_TRUE(QFile::rename(partial, elsewhere) && QFile::link(elsewhere, partial));
        }
        const qint64 at = QFileInfo(partial).size();

        ASSERT_EQ(connect(), 1);
        ProgressLog resumed;
        EXPECT_EQ(command(c.upload ? put : get, &reply, &resumed), 1) << reply.constData();
        ASSERT_FALSE(resumed.told.isEmpty());
        EXPECT_EQ(resumed.told.first().first, c.continued ? std::min(at, size) : 0);
        EXPECT_TRUE(readFile(c.upload ? target : local) == expected);
        EXPECT_FALSE(QFile::exists(partial));
        if (c.afterCut == AfterCut::PartialLinked) {
            EXPECT_FALSE(QFileInfo(target).isSymLink());
            EXPECT_EQ(QFileInfo(elsewhere).size(), kept) << "the upload went through the link";
        }
        if (c.readOnlyTarget) {
            struct stat status = {};
            ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
            EXPECT_EQ(status.st_mode & 07777, 0444u);
        }
    }
}

// A server that stops answering in the middle of an upload: the callback is still asked, and
// its cancel ends the transfer without waiting out the timeout. A server that answers again
// soon gets the requests that were half on their way whole, then the close of the temporary
// file, and the session goes on; one that stays silent is let go.
TEST_F(SecureLibraryTest, AStalledServerIsStillAskedAndACancelEndsTheTransfer)
{
    const QString local = tempPath(u"large.bin"_s);
    writeSizedFile(local, qint64(2) << 30);
    for (const bool answersAgain : {true, false}) {
        SCOPED_TRACE(answersAgain ? "answers again" : "stays silent");
        // The partial the round before kept must not pass for this upload's start.
        for (const QString &left : serverFiles())
            QFile::remove(QDir(m_server->rootPath()).filePath(left));
        ASSERT_EQ(connect(), 1);
        // Stalled at the first question, which comes once the file is open and before its first
        // block: a stall any earlier could catch the open's answer on its way, which is waited for
        // without questions. The blocks then pile up on their way, and the SSH library may hold
        // one half-sent.
        bool stalled = false;
        ProgressLog log;
        log.cancels = [&](const ProgressLog &told) {
            if (told.told.size() == 1)
                stalled = m_server->suspendSessions();
            // Three more questions with no byte moved: the server is waited for.
            if (told.told.size() < 4 || told.told.last().first != 0)
                return false;
            if (answersAgain)
                m_server->suspendSessions(false);
            return true;
        };
        QByteArray reply;
        EXPECT_EQ(command(u"put \"%1\" \"large.bin\""_s.arg(local), &reply, &log), 0);
        ASSERT_TRUE(stalled);
        EXPECT_TRUE(reply.contains("cancelled")) << reply.constData();
        EXPECT_EQ(command(u"pwd"_s, &reply), answersAgain ? 1 : 0) << reply.constData();
        if (answersAgain) {
            EXPECT_EQ(withoutPartials(serverFiles()), QStringList());
        }
        m_server->suspendSessions(false);
    }
}

} // namespace
