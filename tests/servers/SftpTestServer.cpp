#include "servers/SftpTestServer.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <optional>
#include <vector>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// How long killed sessions may take to end.
constexpr int killLimitMs = 5000;
// A session tree that keeps growing for this many rounds is forking faster than it can be
// stopped; what was stopped by then is killed anyway.
constexpr int freezeRounds = 20;
constexpr QLatin1String sshdProgram("/usr/sbin/sshd");
// sshd refuses to start without the folder its unprivileged children are locked into; Debian's
// package creates it only when its own service starts.
constexpr QLatin1String privilegeSeparationDir("/run/sshd");
constexpr QLatin1String configName("sshd_config");

void setReason(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
}

bool runTool(const QString &program, const QStringList &arguments, QString *why)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.closeWriteChannel();
    const bool finished = tool.waitForFinished(ServerProcess::startLimitMs);
    if (finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    const QString errors = QString::fromLocal8Bit(tool.readAllStandardError()).trimmed();
    *why = u"%1 failed: %2"_s.arg(program,
                                  finished && !errors.isEmpty() ? errors : tool.errorString());
    return false;
}

// A fresh key pair of a type ("ed25519", "ecdsa"): the private key at path, the public one at
// path + ".pub".
bool makeHostKey(const QString &path, const QString &type, QString *why)
{
    return runTool(u"/usr/bin/ssh-keygen"_s,
                   {u"-q"_s, u"-t"_s, type, u"-N"_s, QString(), u"-f"_s, path}, why);
}

// "[127.0.0.1]:2222 ssh-ed25519 AAAA...": the site and the key's type and text, without the
// comment that ends a public key file.
QString knownHostsEntry(const QString &host, quint16 port, const QString &publicKeyPath,
                        QString *why)
{
    QFile file(publicKeyPath);
    const QStringList fields = file.open(QIODevice::ReadOnly)
                                   ? QString::fromLatin1(file.readAll()).simplified().split(u' ')
                                   : QStringList();
    if (fields.size() < 2) {
        *why = u"cannot read a public key from %1"_s.arg(publicKeyPath);
        return {};
    }
    return u"[%1]:%2 %3 %4"_s.arg(host).arg(port).arg(fields[0], fields[1]);
}

bool ensurePrivilegeSeparationDir(QString *why)
{
    const QByteArray path = QFile::encodeName(privilegeSeparationDir);
    // Set the mode after creating it, as the umask may have taken bits from it.
    if (::mkdir(path.constData(), 0755) == 0)
        ::chmod(path.constData(), 0755);
    if (QFileInfo(privilegeSeparationDir).isDir())
        return true;
    *why = u"cannot create %1, without which sshd does not start"_s.arg(privilegeSeparationDir);
    return false;
}

// sshd splits the forced command at blanks and expands "%" in its folder, and its configuration
// gives quotes and "#" a meaning of their own: a path with any of them would not reach sshd intact.
bool fitsSshdConfig(const QString &path)
{
    return std::none_of(path.cbegin(), path.cend(), [](QChar c) {
        return c.isSpace() || c == u'%' || c == u'"' || c == u'\'' || c == u'#' || c == u'\\';
    });
}

QString sshdConfig(const QString &dir, quint16 port, const QString &addendum,
                   SftpTestServer::HostKeys shown)
{
    const QString configuration = ServerProcess::serversFile(u"sshd_config.in"_s);
    if (configuration.isEmpty())
        return {};
    QStringList hostKeys;
    if (shown != SftpTestServer::HostKeys::Ecdsa)
        hostKeys << u"HostKey "_s + dir + u"/host_key"_s;
    if (shown != SftpTestServer::HostKeys::Ed25519)
        hostKeys << u"HostKey "_s + dir + u"/ecdsa_key"_s;
    return QString(configuration)
        .replace(u"@PORT@"_s, QString::number(port))
        .replace(u"@HOST_KEYS@"_s, hostKeys.join(u'\n'))
        .replace(u"@AUTHORIZED_KEYS@"_s, dir + u"/authorized_keys"_s)
        .replace(u"@BANNER@"_s, addendum)
        .replace(u"@USER@"_s, VsftpdAccount::name())
        .replace(u"@ROOT@"_s, dir + u"/root"_s);
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

// The parent of a process, from "PID (NAME) STATE PPID ..." in /proc/PID/stat; the name may hold
// blanks and parentheses, so the fields are counted from the last ")".
std::optional<pid_t> parentOf(pid_t pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    bool ok = false;
    const pid_t parent = fields.size() > 1 ? fields[1].toInt(&ok) : 0;
    if (nameEnd < 0 || !ok)
        return std::nullopt;
    return parent;
}

// The parent of every process; nothing when /proc cannot be read.
std::optional<QHash<pid_t, pid_t>> parentsOfAllProcesses()
{
    QHash<pid_t, pid_t> parents;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isProcess = false;
        const pid_t pid = entry.toInt(&isProcess);
        if (!isProcess)
            continue;
        if (const auto parent = parentOf(pid))
            parents.insert(pid, *parent);
    }
    // A /proc that does not show this very process is not the system's.
    if (!parents.contains(getpid()))
        return std::nullopt;
    return parents;
}

// Stops every descendant of root, then sends them all `then` (none when 0), waiting for their
// end when it is SIGKILL. Stopping comes first because a stopped process can neither start a new
// one nor die and hand its children to init, out of this walk's reach. Processes are signalled
// through pidfds, so that a process id reused by an unrelated process in the meantime is never
// hit.
bool signalDescendants(pid_t root, int then)
{
    std::vector<int> handles;
    const auto closeHandles = qScopeGuard([&handles] {
        for (const int handle : handles)
            ::close(handle);
    });
    QSet<pid_t> tree{root};
    // Adds the process when it is still a child in the tree now that a handle holds it.
    const auto freeze = [&](pid_t pid) {
        const int handle = openProcessHandle(pid);
        if (handle < 0)
            return false;
        const auto parent = parentOf(pid);
        if (!parent || !tree.contains(*parent)) {
            ::close(handle);
            return false;
        }
        handles.push_back(handle);
        tree.insert(pid);
        signalProcess(handle, SIGSTOP);
        return true;
    };
    bool looked = true;
    for (int round = 0; round < freezeRounds; ++round) {
        const auto parents = parentsOfAllProcesses();
        // What was stopped so far is killed all the same, never left stopped.
        if (!parents) {
            looked = false;
            break;
        }
        bool grown = false;
        for (bool added = true; added;) {
            added = false;
            for (auto it = parents->cbegin(); it != parents->cend(); ++it) {
                if (!tree.contains(it.key()) && tree.contains(it.value()) && freeze(it.key()))
                    added = grown = true;
            }
        }
        if (!grown)
            break;
    }
    for (const int handle : handles) {
        if (then != 0)
            signalProcess(handle, then);
    }
    if (then != SIGKILL)
        return looked;
    // A pidfd becomes readable when its process has ended.
    const QDeadlineTimer deadline(killLimitMs);
    for (const int handle : handles) {
        pollfd ended{handle, POLLIN, 0};
        while (::poll(&ended, 1, int(deadline.remainingTime())) < 0 && errno == EINTR) {
        }
    }
    return looked;
}

} // namespace

SftpTestServer::SftpTestServer(Kind kind)
    : m_kind(kind)
{}

SftpTestServer::~SftpTestServer()
{
    if (!m_process)
        return;
    // A stopped listener accepts no new session while the present ones are killed.
    m_process->suspend();
    killSessions();
    m_process->stop();
}

std::unique_ptr<SftpTestServer> SftpTestServer::start(Kind kind, QString *why, HostKeys shown)
{
    QString reason;
    auto server = kind == Kind::Sshd ? startSshd(shown, &reason) : startExternal(&reason);
    if (!server)
        setReason(why, u"%1: %2"_s.arg(kindName(kind), reason));
    return server;
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
    switch (kind) {
    case Kind::Sshd:
        return u"sshd"_s;
    case Kind::External:
        return u"external"_s;
    }
    return {};
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

bool SftpTestServer::killSessions()
{
    if (m_kind != Kind::Sshd || !m_process || !m_process->isRunning())
        return false;
    // The sessions are the listener's descendants.
    const qint64 listener = m_process->processId();
    return listener > 0 && signalDescendants(pid_t(listener), SIGKILL);
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

bool SftpTestServer::suspendSessions(bool suspended)
{
    if (m_kind != Kind::Sshd || !m_process || !m_process->isRunning())
        return false;
    const qint64 listener = m_process->processId();
    return listener > 0 && signalDescendants(pid_t(listener), suspended ? 0 : SIGCONT);
}

// The temporary folder holds the keys, the configuration and the log next to "root", the folder
// it serves; the account passes through it (without seeing into it) to its root.
bool SftpTestServer::authorizeKey(const QByteArray &publicKeyLine)
{
    if (m_kind != Kind::Sshd)
        return false;
    // sshd reads the file as the account, at every login.
    const QString path = QFileInfo(m_rootPath).path() + u"/authorized_keys"_s;
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(publicKeyLine.trimmed() + '\n') > 0 &&
           file.flush() &&
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                               QFile::ReadOther);
}

bool SftpTestServer::makeFolders(QString *why)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(u"vellix-sftp-XXXXXX"_s));
    if (!m_dir->isValid() || !QDir().mkdir(m_dir->filePath(u"root"_s))) {
        *why = u"cannot create a temporary folder: %1"_s.arg(m_dir->errorString());
        return false;
    }
    // SFTP paths are the server's own: the real path, as the server reports it.
    const QString dir = QFileInfo(m_dir->path()).canonicalFilePath();
    if (!fitsSshdConfig(dir)) {
        *why = u"the temporary folder %1 holds characters that sshd's configuration cannot carry; "
               u"set TMPDIR to a plain path"_s.arg(dir);
        return false;
    }
    m_rootPath = dir + u"/root"_s;
    m_homeDir = m_rootPath;
    m_logPath = dir + u"/sshd.log"_s;
    return VsftpdAccount::grantServedFolder(dir, m_rootPath, why);
}

std::unique_ptr<SftpTestServer> SftpTestServer::startSshd(HostKeys shown, QString *why)
{
    if (const QString reason = unavailableReason(Kind::Sshd); !reason.isEmpty()) {
        *why = reason;
        return nullptr;
    }
    if (!VsftpdAccount::ensure(why) || !ensurePrivilegeSeparationDir(why))
        return nullptr;

    std::unique_ptr<SftpTestServer> server(new SftpTestServer(Kind::Sshd));
    server->m_host = u"127.0.0.1"_s;
    server->m_user = VsftpdAccount::name();
    server->m_password = VsftpdAccount::password();
    if (!server->makeFolders(why))
        return nullptr;
    const QString dir = QFileInfo(server->m_rootPath).path();
    if (!makeHostKey(dir + u"/host_key"_s, u"ed25519"_s, why) ||
        !makeHostKey(dir + u"/other_key"_s, u"ed25519"_s, why) ||
        !makeHostKey(dir + u"/ecdsa_key"_s, u"ecdsa"_s, why))
        return nullptr;

    const QString configPath = dir + u'/' + configName;
    // -D: stay in the foreground, owned by the test; -e: log to standard error, the log file.
    const ServerProcess::Launch launch{sshdProgram,
                                       {u"-D"_s, u"-e"_s, u"-f"_s, configPath},
                                       server->m_logPath,
                                       false,
                                       configPath,
                                       [&dir, shown](quint16 port, const QString &tag) {
                                           return sshdConfig(dir, port, tag, shown);
                                       }};
    server->m_process = ServerProcess::startOnFreePort(launch, &server->m_port, why);
    if (!server->m_process)
        return nullptr;
    server->m_knownHostsLine =
        knownHostsEntry(server->m_host, server->m_port, dir + u"/host_key.pub"_s, why);
    server->m_otherKnownHostsLine =
        knownHostsEntry(server->m_host, server->m_port, dir + u"/other_key.pub"_s, why);
    server->m_ecdsaKnownHostsLine =
        knownHostsEntry(server->m_host, server->m_port, dir + u"/ecdsa_key.pub"_s, why);
    if (server->m_knownHostsLine.isEmpty() || server->m_otherKnownHostsLine.isEmpty() ||
        server->m_ecdsaKnownHostsLine.isEmpty())
        return nullptr;
    return server;
}

std::unique_ptr<SftpTestServer> SftpTestServer::startExternal(QString *why)
{
    if (const QString reason = unavailableReason(Kind::External); !reason.isEmpty()) {
        *why = reason;
        return nullptr;
    }
    std::unique_ptr<SftpTestServer> server(new SftpTestServer(Kind::External));
    return server->takeExternal("VELLIX_TEST_SFTP", why) ? std::move(server) : nullptr;
}
