// The library's C functions over one secure session per process.

#include "securelib/HVSPFTPUTILS.h"

#include "securelib/CommandSession.h"
#include "securelib/CommandText.h"
#include "securelib/ReplyText.h"
#include "securelib/SshConnection.h"
#include "securelib/TransferTally.h"
#include "transport/SecureCommand.h"
#include "transport/Wildcard.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <algorithm>
#include <limits>
#include <memory>
#include <mutex>

namespace {

// The SHA-256 of the key that unlocks the library; the key itself is not kept here.
constexpr char UnlockDigest[] = "87c9cbd23631785da7d4242f305512f5869d32d56dbee464f6058c8e1d55b6b8";

struct LibraryState
{
    bool unlocked = false;
    int timeoutMilliseconds = 30000;
    bool acceptNewHostKeys = true;
    QByteArray status = "Not connected.";
    std::unique_ptr<CommandSession> session;
    // Set while a call runs: the status callback lets the caller's message loop run, and a
    // click there must not start a second call into the same session.
    bool busy = false;
};

LibraryState &state()
{
    static LibraryState library;
    return library;
}

void setStatus(const QString &text)
{
    state().status = text.toUtf8();
}

// Marks the library busy for the length of a call.
class BusyGuard
{
public:
    BusyGuard()
        : m_entered(!state().busy)
    {
        state().busy = true;
    }
    ~BusyGuard()
    {
        if (m_entered)
            state().busy = false;
    }
    bool entered() const { return m_entered; }

private:
    bool m_entered;
};

void initialiseSshOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { libssh2_init(0); });
}

// The reply buffer size that belongs to a command, as its callers provide it. A "dir" of one
// name asks for the size of a file; a pattern, or no argument, for a listing.
int replySizeFor(const CommandText &command)
{
    if (command.verb() == QLatin1String("pwd"))
        return HVSP_PWD_SIZE;
    if (command.verb() == QLatin1String("dir")) {
        const QStringList names = command.arguments().value_or(QStringList());
        const bool named = !names.isEmpty() && !Ftp::Wildcard::hasWildcards(names.first());
        return named ? HVSP_SIZE_QUERY_SIZE : HVSP_LISTING_SIZE;
    }
    return HVSP_REPLY_SIZE;
}

int fail(char *reply, int size, const QString &why)
{
    ReplyText::write(reply, size, why.toUtf8());
    return 0;
}

// Runs one command text of the open session; a session whose connection was lost is let go.
CommandSession::Reply answerTo(const CommandText &command, TransferTally &&tally)
{
    BusyGuard busy;
    if (!busy.entered())
        return {false, "Busy with another call."};
    LibraryState &library = state();
    if (!library.session)
        return {false, "Not connected."};
    CommandSession::Reply answer = library.session->run(command, tally);
    // What stopped a command stays in the status, for those who show why.
    if (!answer.done)
        setStatus(QString::fromUtf8(answer.text));
    if (library.session->lost())
        library.session.reset();
    return answer;
}

// Writes a command's reply into a buffer of a fixed size: a listing ends at its last whole
// line. Returns the command's result.
int writeReply(const CommandText &command, const CommandSession::Reply &answer, char *reply,
               int size)
{
    if (command.verb() == QLatin1String("dir") && answer.done)
        ReplyText::writeWholeLines(reply, size, answer.text);
    else
        ReplyText::write(reply, size, answer.text);
    return answer.done ? 1 : 0;
}

} // namespace

extern "C" {

void FtpInit(const char *key)
{
    initialiseSshOnce();
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray(key ? key : ""), QCryptographicHash::Sha256).toHex();
    state().unlocked = digest == UnlockDigest;
}

int FtpConnect(const char *user, const char *password, const char *server, char *reply,
               HvspStatusCallback callback)
{
    BusyGuard busy;
    if (!busy.entered())
        return fail(reply, HVSP_REPLY_SIZE, QStringLiteral("Busy with another call."));
    LibraryState &library = state();
    if (!library.unlocked)
        return fail(reply, HVSP_REPLY_SIZE,
                    QStringLiteral("The library has not been initialised with its key."));
    initialiseSshOnce();
    if (library.session) {
        library.session.reset();
    }

    SshConnection::Login login;
    login.user = QString::fromUtf8(user ? user : "");
    login.password = QString::fromUtf8(password ? password : "");
    login.server = QString::fromUtf8(server ? server : "");
    login.timeout = std::chrono::milliseconds(library.timeoutMilliseconds);
    login.acceptNewHostKeys = library.acceptNewHostKeys;

    SshConnection::Progress progress;
    progress.status = setStatus;
    progress.keepGoing = [callback] { return !callback || callback() != 0; };

    auto connection = std::make_unique<SshConnection>();
    if (!connection->open(login, progress)) {
        setStatus(connection->failure());
        return fail(reply, HVSP_REPLY_SIZE, connection->failure());
    }
    const QString serverName = connection->serverName();
    const QString newHostKey = connection->newHostKeyText();
    auto session = std::make_unique<CommandSession>(std::move(connection));
    QString why;
    if (!session->start(&why)) {
        setStatus(why);
        return fail(reply, HVSP_REPLY_SIZE, why);
    }
    const QString connected =
        QStringLiteral("Connected to %1 as %2; remote directory is %3")
            .arg(serverName, login.user, QString::fromUtf8(session->currentFolder()));
    library.session = std::move(session);
    // The news of a new host key stays in the status for those who show it after connecting.
    setStatus(newHostKey.isEmpty() ? connected : connected + QLatin1String("\r\n") + newHostKey);
    ReplyText::write(reply, HVSP_REPLY_SIZE, connected.toUtf8());
    return 1;
}

int FtpCmd(const char *command, char *reply)
{
    const CommandText parsed = CommandText::parse(QString::fromUtf8(command ? command : ""));
    return writeReply(parsed, answerTo(parsed, TransferTally()), reply, replySizeFor(parsed));
}

int FtpCmdEx(const char *command, char **reply, size_t *size)
{
    return FtpCmdProgress(command, reply, size, nullptr, nullptr);
}

int FtpCmdProgress(const char *command, char **reply, size_t *size, HvspProgressCallback progress,
                   void *user)
{
    if (!reply || !size)
        return 0;
    const CommandText parsed = CommandText::parse(QString::fromUtf8(command ? command : ""));
    TransferTally::Callback told;
    if (progress)
        told = [progress, user](qint64 done, qint64 total) {
            return progress(user, done, total) != 0;
        };
    const CommandSession::Reply answer = answerTo(parsed, TransferTally(std::move(told)));
    if (ReplyText::writeGrowing(reply, size, answer.text))
        return answer.done ? 1 : 0;
    return writeReply(parsed, answer, *reply,
                      int(std::min<size_t>(*size, std::numeric_limits<int>::max())));
}

int FtpDir(const char *path, char *output)
{
    const QString pattern = QString::fromUtf8(path && *path ? path : "*");
    const CommandText command = CommandText::parse(SecureCommand::command(u"dir ", pattern));
    return writeReply(command, answerTo(command, TransferTally()), output, HVSP_LISTING_SIZE);
}

int FtpPwd(char *output)
{
    LibraryState &library = state();
    if (!library.session)
        return fail(output, HVSP_PWD_SIZE, QStringLiteral("Not connected."));
    ReplyText::write(output, HVSP_PWD_SIZE, library.session->currentFolder());
    return 1;
}

int FtpClose(char *reply)
{
    BusyGuard busy;
    if (!busy.entered())
        return fail(reply, HVSP_REPLY_SIZE, QStringLiteral("Busy with another call."));
    LibraryState &library = state();
    if (!library.session)
        return fail(reply, HVSP_REPLY_SIZE, QStringLiteral("Not connected."));
    library.session.reset();
    setStatus(QStringLiteral("Disconnected."));
    ReplyText::write(reply, HVSP_REPLY_SIZE, "Disconnected.");
    return 1;
}

void FtpExit(void)
{
    LibraryState &library = state();
    if (!library.busy)
        library.session.reset();
}

void FtpGetStatus(char *status)
{
    ReplyText::write(status, HVSP_STATUS_SIZE, state().status);
}

void FtpSetTimeout(int milliseconds)
{
    if (milliseconds > 0)
        state().timeoutMilliseconds = milliseconds;
}

void FtpSetHostKeyPolicy(int policy)
{
    state().acceptNewHostKeys = policy == HVSP_ACCEPT_NEW_KEYS;
}

} // extern "C"
