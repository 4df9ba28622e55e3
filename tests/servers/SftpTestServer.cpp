#include "servers/SftpTestServer.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// How long killed sessions may take to end.
constexpr int killLimitMs = 5000;
// A session tree that keeps growing for this many rounds is forking faster than it can be
// stopped; what was stopped by then is killed anyway.
constexpr int freezeRounds = 20;

// "[127.0.0.1]:2222 ssh-ed25519 AAAA...": the site and the key's type and text, without the
// comment that ends a public key file.
QString knownHostsEntry(const QString &site, const QString &publicKeyPath, QString *why)
{
    QFile file(publicKeyPath);
    const QStringList fields = file.open(QIODevice::ReadOnly)
                                   ? QString::fromLatin1(file.readAll()).simplified().split(u' ')
                                   : QStringList();
    if (fields.size() >= 2)
        return u"%1 %2 %3"_s.arg(site, fields[0], fields[1]);
    *why = u"cannot read a public key from %1"_s.arg(publicKeyPath);
    return {};
}

// sshd splits the forced command at blanks and expands "%" in its folder, and its configuration
// gives quotes and "#" a meaning of their own: a path with any of them would not reach sshd intact.
bool fitsSshdConfig(const QString &path)
{
    return std::none_of(path.cbegin(), path.cend(), [](QChar c) {
        return c.isSpace() || c == u'%' || c == u'"' || c == u'\'' || c == u'#' || c == u'\\';
    });
}

// Through the system calls themselves: glibc 2.36's <sys/pidfd.h> declares its wrappers without
// C linkage, so C++ cannot link against them.
int openProcessHandle(pid_t pid)
{
    return int(::syscall(SYS_pidfd_open, pid, 0));
}

void signalProcess(int handle, int signal)
{
    ::syscall(SYS_pidfd_send_signal, handle, signal, nullptr, 0);
}

QString childrenFile(pid_t pid)
{
    return u"/proc/%1/task/%1/children"_s.arg(pid);
}

// The children of a process, as the kernel lists them for its main thread: sshd's processes
// have no other threads.
QList<pid_t> childrenOf(pid_t pid)
{
    QFile file(childrenFile(pid));
    QList<pid_t> children;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &id : file.readAll().split(' ')) {
            if (const pid_t child = id.toInt())
                children << child;
        }
    }
    return children;
}

// Stops every descendant of root, then sends them all `then` (none when 0), waiting for their
// end when it is SIGKILL. Stopping comes first because a stopped process can neither start a new
// one nor die and hand its children to init, out of this walk's reach. Processes are signalled
// through pidfds, so that a process id reused by an unrelated process in the meantime is never
// hit. False when the kernel does not list root's children.
bool signalDescendants(pid_t root, int then)
{
    if (!QFile::exists(childrenFile(root)))
        return false;
    std::vector<int> handles;
    const auto closeHandles = qScopeGuard([&handles] {
        for (const int handle : handles)
            ::close(handle);
    });
    QList<pid_t> tree{root};
    for (int round = 0; round < freezeRounds; ++round) {
        const qsizetype known = tree.size();
        // The walk takes in the children it adds as it goes.
        for (qsizetype i = 0; i < tree.size(); ++i) {
            for (const pid_t child : childrenOf(tree.at(i))) {
                if (tree.contains(child))
                    continue;
                const int handle = openProcessHandle(child);
                // Still a child now that the handle holds it, so the id is still that process's.
                if (handle >= 0 && childrenOf(tree.at(i)).contains(child)) {
                    handles.push_back(handle);
                    tree << child;
                    signalProcess(handle, SIGSTOP);
                } else if (handle >= 0) {
                    ::close(handle);
                }
            }
        }
        if (tree.size() == known)
            break;
    }
    for (const int handle : handles) {
        if (then != 0)
            signalProcess(handle, then);
    }
    // A pidfd becomes readable when its process has ended.
    const QDeadlineTimer deadline(killLimitMs);
    for (const int handle : handles) {
        pollfd ended{handle, POLLIN, 0};
        while (then == SIGKILL && ::poll(&ended, 1, int(deadline.remainingTime())) < 0 &&
               errno == EINTR) {
        }
    }
    return true;
}

} // namespace

SftpTestServer::~SftpTestServer()
{
    if (!m_process)
        return;
    // A stopped listener accepts no new session while the present ones are killed.
    m_process->suspend();
    killSessions();
    m_process->stop();
}

std::unique_ptr<SftpTestServer> SftpTestServer::start(Kind kind, QString *why, HostKeys shown,
                                                      Renames renames)
{
    return started(kindName(kind), why, [kind, shown, renames](QString *reason) {
        if (kind == Kind::Sshd)
            return startSshd(shown, renames, reason);
        std::unique_ptr<SftpTestServer> server(new SftpTestServer(Kind::External));
        return server->takeExternal("VELLIX_TEST_SFTP", reason) ? std::move(server) : nullptr;
    });
}

QList<SftpTestServer::Kind> SftpTestServer::kinds()
{
    QList<Kind> result{Kind::Sshd};
    if (unavailableReason(Kind::External).isEmpty())
        result << Kind::External;
    return result;
}

QString SftpTestServer::kindName(Kind kind)
{
    return kind == Kind::Sshd ? u"sshd"_s : u"external"_s;
}

QString SftpTestServer::unavailableReason(Kind kind)
{
    if (kind == Kind::Sshd && geteuid() != 0)
        return u"not root: sshd needs root for its privilege separation and for password logins "
               u"of the account \"%1\""_s.arg(VsftpdAccount::name());
    if (kind == Kind::External && qEnvironmentVariableIsEmpty("VELLIX_TEST_SFTP"))
        return u"VELLIX_TEST_SFTP names no external SFTP server"_s;
    return {};
}

bool SftpTestServer::signalSessions(int signal)
{
    if (m_kind != Kind::Sshd || !m_process || !m_process->isRunning())
        return false;
    // The sessions are the listener's descendants.
    const qint64 listener = m_process->processId();
    return listener > 0 && signalDescendants(pid_t(listener), signal);
}

bool SftpTestServer::killSessions()
{
    return signalSessions(SIGKILL);
}

bool SftpTestServer::suspendSessions(bool suspended)
{
    return signalSessions(suspended ? 0 : SIGCONT);
}

bool SftpTestServer::waitForFileOf(qint64 bytes, int milliseconds) const
{
    const QDeadlineTimer deadline(milliseconds);
    const QDir root(m_rootPath);
    do {
        const QFileInfoList files = root.entryInfoList(QDir::Files | QDir::Hidden);
        if (std::any_of(files.cbegin(), files.cend(),
                        [bytes](const QFileInfo &file) { return file.size() >= bytes; }))
            return true;
        QThread::msleep(10);
    } while (!deadline.hasExpired());
    return false;
}

bool SftpTestServer::authorizeKey(const QByteArray &publicKeyLine)
{
    if (m_kind != Kind::Sshd)
        return false;
    // sshd reads the file as the account, at every login.
    QFile file(folderPath(u"authorized_keys"_s));
    return file.open(QIODevice::Append) && file.write(publicKeyLine.trimmed() + '\n') > 0 &&
           file.flush() &&
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                               QFile::ReadOther);
}

// The temporary folder holds the keys, the configuration and the log next to "root", the folder
// it serves; the account passes through it (without seeing into it) to its root.
std::unique_ptr<SftpTestServer> SftpTestServer::startSshd(HostKeys shown, Renames renames,
                                                          QString *why)
{
    std::unique_ptr<SftpTestServer> server(new SftpTestServer(Kind::Sshd));
    if (!server->makeFoldersForAccount(u"sftp"_s, u"sshd.log"_s, why))
        return nullptr;
    // SFTP paths are the server's own: the real path, as the server reports it.
    const QString dir = QFileInfo(server->m_rootPath).path();
    server->m_homeDir = server->m_rootPath;
    if (!fitsSshdConfig(dir)) {
        *why = u"the temporary folder %1 holds characters that sshd's configuration cannot carry; "
               u"set TMPDIR to a plain path"_s.arg(dir);
        return nullptr;
    }
    const struct
    {
        const char *name;
        QString type;
        QString *knownHostsLine;
    } keys[] = {{"host_key", u"ed25519"_s, &server->m_knownHostsLine},
                {"other_key", u"ed25519"_s, &server->m_otherKnownHostsLine},
                {"ecdsa_key", u"ecdsa"_s, &server->m_ecdsaKnownHostsLine}};
    for (const auto &key : keys) {
        if (!ServerProcess::runTool(u"/usr/bin/ssh-keygen"_s,
                                    {u"-q"_s, u"-t"_s, key.type, u"-N"_s, QString(), u"-f"_s,
                                     server->folderPath(QLatin1String(key.name))},
                                    why))
            return nullptr;
    }

    const QString configPath = server->folderPath(u"sshd_config"_s);
    QStringList hostKeys;
    if (shown != HostKeys::Ecdsa)
        hostKeys << u"HostKey "_s + dir + u"/host_key"_s;
    if (shown != HostKeys::Ed25519)
        hostKeys << u"HostKey "_s + dir + u"/ecdsa_key"_s;
    // Renames refused are answered "permission denied", as the server's administrator may want.
    const QString sftpOptions =
        renames == Renames::Refused ? u" -P rename,posix-rename"_s : QString();
    // -D: stay in the foreground, owned by the test; -e: log to standard error, the log file.
    const ServerProcess::Launch launch{u"/usr/sbin/sshd"_s,
                                       {u"-D"_s, u"-e"_s, u"-f"_s, configPath},
                                       server->m_logPath,
                                       false,
                                       configPath,
                                       u"sshd_config.in"_s,
                                       {{u"HOST_KEYS"_s, hostKeys.join(u'\n')},
                                        {u"AUTHORIZED_KEYS"_s, dir + u"/authorized_keys"_s},
                                        {u"USER"_s, server->m_user},
                                        {u"ROOT"_s, server->m_rootPath},
                                        {u"SFTP_OPTIONS"_s, sftpOptions}}};
    server->m_process = ServerProcess::startOnFreePort(launch, &server->m_port, why);
    if (!server->m_process)
        return nullptr;
    for (const auto &key : keys) {
        *key.knownHostsLine =
            knownHostsEntry(u"[%1]:%2"_s.arg(server->m_host).arg(server->m_port),
                            server->folderPath(QLatin1String(key.name) + u".pub"_s), why);
        if (key.knownHostsLine->isEmpty())
            return nullptr;
    }
    return server;
}
