#include "securelib/SshConnection.h"

#include "securelib/KnownHosts.h"
#include "transport/AddressRace.h"
#include "transport/InternetError.h"
#include "transport/ServerAddress.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

constexpr quint16 SshPort = 22;
constexpr milliseconds WaitSlice{100};
constexpr milliseconds GoodbyeTimeout{2000};

QString keyTypeName(int type)
{
    switch (type) {
    case LIBSSH2_HOSTKEY_TYPE_RSA:
        return QStringLiteral("ssh-rsa");
    case LIBSSH2_HOSTKEY_TYPE_DSS:
        return QStringLiteral("ssh-dss");
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256:
        return QStringLiteral("ecdsa-sha2-nistp256");
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384:
        return QStringLiteral("ecdsa-sha2-nistp384");
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521:
        return QStringLiteral("ecdsa-sha2-nistp521");
    case LIBSSH2_HOSTKEY_TYPE_ED25519:
        return QStringLiteral("ssh-ed25519");
    default:
        return QStringLiteral("unknown");
    }
}

// The SSH methods that make a server show a host key of a type, best first.
QList<QByteArray> hostKeyMethods(int type)
{
    switch (type) {
    case LIBSSH2_HOSTKEY_TYPE_RSA:
        return {"rsa-sha2-512", "rsa-sha2-256", "ssh-rsa"};
    case LIBSSH2_HOSTKEY_TYPE_DSS:
        return {"ssh-dss"};
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256:
        return {"ecdsa-sha2-nistp256"};
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384:
        return {"ecdsa-sha2-nistp384"};
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521:
        return {"ecdsa-sha2-nistp521"};
    case LIBSSH2_HOSTKEY_TYPE_ED25519:
        return {"ssh-ed25519"};
    default:
        return {};
    }
}

// "SHA256:" and the unpadded Base64 of the key's hash, as OpenSSH shows fingerprints.
QString fingerprint(LIBSSH2_SESSION *session)
{
    const char *hash = libssh2_hostkey_hash(session, LIBSSH2_HOSTKEY_HASH_SHA256);
    if (!hash)
        return QStringLiteral("SHA256:?");
    const QByteArray digest(hash, 32);
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(digest.toBase64(QByteArray::OmitTrailingEquals));
}

// The user's own key files, in the order OpenSSH tries them.
QStringList userKeyFiles()
{
    const QDir ssh(QDir::home().filePath(QStringLiteral(".ssh")));
    QStringList files;
    for (const char *name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        const QString path = ssh.filePath(QLatin1String(name));
        if (QFileInfo(path).isFile())
            files << path;
    }
    return files;
}

} // namespace

SshConnection::~SshConnection()
{
    release(false);
}

bool SshConnection::fail(const QString &why)
{
    m_failure = why;
    return false;
}

bool SshConnection::stop()
{
    m_cancelled = true;
    return fail(QStringLiteral("Stopped: connecting to %1 was cancelled.").arg(m_serverName));
}

bool SshConnection::open(const Login &login, const Progress &progress)
{
    release(false);
    const bool opened = openSteps(login, progress);
    if (!opened)
        release(false);
    return opened;
}

bool SshConnection::openSteps(const Login &login, const Progress &progress)
{
    m_login = login;
    m_newHostKeyText.clear();
    m_cancelled = false;
    m_timedOut = false;
    const std::optional<Ftp::ServerAddress> address =
        Ftp::ServerAddress::parse(login.server, SshPort);
    if (!address)
        return fail(QStringLiteral("The server name \"%1\" is not valid.").arg(login.server));
    m_serverName = KnownHosts::hostSpec(address->host, address->port);
    const QString host = address->host.contains(u':') ? u'[' + address->host + u']' : address->host;
    m_location = QStringLiteral("sftp://%1@%2:%3").arg(login.user, host).arg(address->port);

    progress.status(QStringLiteral("Connecting to %1...").arg(m_serverName));
    if (!progress.keepGoing())
        return stop();
    if (!connectSocket(address->host, address->port, progress))
        return false;

    m_session = libssh2_session_init_ex(nullptr, nullptr, nullptr, this);
    if (!m_session)
        return fail(QStringLiteral("The SSH library cannot start a session."));
    libssh2_session_set_blocking(m_session, 0);
    KnownHosts knownHosts(m_session);
    preferHostKeyTypes(knownHosts.recordedKeyTypes(address->host, address->port));
    m_deadline = steady_clock::now() + m_login.timeout;
    const int handshake =
        runStep([this] { return libssh2_session_handshake(m_session, m_socket); }, progress);
    if (m_cancelled)
        return false;
    if (handshake != 0)
        return fail(QStringLiteral("The SSH handshake with %1 failed: %2")
                        .arg(m_serverName, lastErrorText()));

    if (!checkHostKey(knownHosts, address->host, address->port, progress) ||
        !authenticate(progress))
        return false;

    progress.status(QStringLiteral("Starting SFTP on %1...").arg(m_serverName));
    m_deadline = steady_clock::now() + m_login.timeout;
    runStep(
        [this] {
            m_sftp = libssh2_sftp_init(m_session);
            return m_sftp ? 0 : libssh2_session_last_errno(m_session);
        },
        progress);
    if (m_cancelled)
        return false;
    if (!m_sftp)
        return fail(QStringLiteral("%1 offers no SFTP: %2").arg(m_serverName, lastErrorText()));

    // From here on every call blocks, but never longer than the timeout.
    libssh2_session_set_blocking(m_session, 1);
    libssh2_session_set_timeout(m_session, long(m_login.timeout.count()));
    return true;
}

bool SshConnection::connectSocket(const QString &host, quint16 port, const Progress &progress)
{
    Ftp::AddressRace race(progress.keepGoing);
    m_socket = race.connect(host, port, m_login.timeout);
    if (m_socket >= 0)
        return true;
    switch (race.error()) {
    case Ftp::InternetError::OperationCancelled:
        return stop();
    case Ftp::InternetError::NameNotResolved:
        return fail(QStringLiteral("The server name %1 could not be resolved.").arg(host));
    default:
        return fail(
            QStringLiteral("Cannot connect to %1: %2")
                .arg(m_serverName, QString::fromLocal8Bit(std::strerror(race.systemError()))));
    }
}

void SshConnection::preferHostKeyTypes(const QList<int> &types)
{
    if (types.isEmpty())
        return;
    const char **supported = nullptr;
    const int count = libssh2_session_supported_algs(m_session, LIBSSH2_METHOD_HOSTKEY, &supported);
    if (count <= 0)
        return;
    QList<QByteArray> offered;
    for (int i = 0; i < count; ++i)
        offered << QByteArray(supported[i]);
    libssh2_free(m_session, supported);

    // The recorded types first; then the others, so that a server showing none of them still
    // shows a key, which is then refused as changed.
    QList<QByteArray> preferred;
    for (const int type : types) {
        for (const QByteArray &method : hostKeyMethods(type)) {
            if (offered.removeAll(method) > 0)
                preferred << method;
        }
    }
    libssh2_session_method_pref(m_session, LIBSSH2_METHOD_HOSTKEY,
                                (preferred + offered).join(',').constData());
}

bool SshConnection::checkHostKey(KnownHosts &knownHosts, const QString &host, quint16 port,
                                 const Progress &progress)
{
    size_t length = 0;
    int type = 0;
    const char *key = libssh2_session_hostkey(m_session, &length, &type);
    if (!key)
        return fail(QStringLiteral("%1 showed no host key.").arg(m_serverName));
    const QByteArray hostKey(key, qsizetype(length));
    const QString shown = keyTypeName(type) + QLatin1Char(' ') + fingerprint(m_session);

    switch (knownHosts.check(host, port, hostKey)) {
    case KnownHosts::Verdict::Known:
        progress.status(QStringLiteral("Host key of %1 verified: %2").arg(m_serverName, shown));
        break;
    case KnownHosts::Verdict::Changed:
        return fail(QStringLiteral("The host key of %1 has changed (it is now %2); the "
                                   "connection is refused. If the server's key was replaced "
                                   "on purpose, remove its line from %3.")
                        .arg(m_serverName, shown, KnownHosts::filePath()));
    case KnownHosts::Verdict::Unknown: {
        if (!m_login.acceptNewHostKeys)
            return fail(QStringLiteral("The host key of %1 is not known (%2); the connection is "
                                       "refused.")
                            .arg(m_serverName, shown));
        QString why;
        if (!knownHosts.record(host, port, hostKey, type, &why))
            return fail(QStringLiteral("The new host key of %1 (%2) cannot be recorded: %3")
                            .arg(m_serverName, shown, why));
        m_newHostKeyText =
            QStringLiteral("New host key of %1 accepted and recorded: %2").arg(m_serverName, shown);
        progress.status(m_newHostKeyText);
        break;
    }
    }
    return progress.keepGoing() || stop();
}

bool SshConnection::authenticate(const Progress &progress)
{
    const QByteArray user = m_login.user.toUtf8();
    progress.status(QStringLiteral("Logging in to %1 as %2...").arg(m_serverName, m_login.user));
    m_deadline = steady_clock::now() + m_login.timeout;

    const char *offered = nullptr;
    runStep(
        [&] {
            offered = libssh2_userauth_list(m_session, user.constData(), unsigned(user.size()));
            return offered ? 0 : libssh2_session_last_errno(m_session);
        },
        progress);
    if (m_cancelled)
        return false;
    if (!offered && libssh2_userauth_authenticated(m_session))
        return true;
    if (!offered)
        return fail(QStringLiteral("Login to %1 failed: %2").arg(m_serverName, lastErrorText()));
    const QList<QByteArray> methods = QByteArray(offered).split(',');

    bool loggedIn = false;
    if (m_login.password.isEmpty()) {
        loggedIn = authenticateWithKeys(user, progress);
    } else {
        const QByteArray password = m_login.password.toUtf8();
        if (methods.contains("password")) {
            loggedIn = runStep(
                           [&] {
                               return libssh2_userauth_password_ex(
                                   m_session, user.constData(), unsigned(user.size()),
                                   password.constData(), unsigned(password.size()), nullptr);
                           },
                           progress) == 0;
        }
        if (!loggedIn && !m_cancelled && !connectionFailed() &&
            methods.contains("keyboard-interactive")) {
            loggedIn = runStep(
                           [&] {
                               return libssh2_userauth_keyboard_interactive_ex(
                                   m_session, user.constData(), unsigned(user.size()),
                                   &SshConnection::answerPrompts);
                           },
                           progress) == 0;
        }
    }
    if (m_cancelled)
        return false;
    // A connection lost or silent in the middle of the login says nothing of the login data.
    if (!loggedIn && connectionFailed())
        return fail(QStringLiteral("Login to %1 failed: %2").arg(m_serverName, lastErrorText()));
    if (!loggedIn)
        return fail(QStringLiteral("Login to %1 failed: the server refused the user name or "
                                   "password.")
                        .arg(m_serverName));
    progress.status(QStringLiteral("Logged in to %1 as %2.").arg(m_serverName, m_login.user));
    return progress.keepGoing() || stop();
}

bool SshConnection::authenticateWithKeys(const QByteArray &user, const Progress &progress)
{
    // The agent first, as OpenSSH does; it holds keys that have passphrases.
    if (LIBSSH2_AGENT *agent = libssh2_agent_init(m_session)) {
        bool loggedIn = false;
        if (libssh2_agent_connect(agent) == 0 && libssh2_agent_list_identities(agent) == 0) {
            libssh2_agent_publickey *identity = nullptr;
            while (!loggedIn && !m_cancelled &&
                   libssh2_agent_get_identity(agent, &identity, identity) == 0) {
                loggedIn =
                    runStep(
                        [&] { return libssh2_agent_userauth(agent, user.constData(), identity); },
                        progress) == 0;
            }
        }
        libssh2_agent_disconnect(agent);
        libssh2_agent_free(agent);
        if (loggedIn || m_cancelled)
            return loggedIn;
    }
    for (const QString &keyFile : userKeyFiles()) {
        const QByteArray path = QFile::encodeName(keyFile);
        const bool loggedIn = runStep(
                                  [&] {
                                      return libssh2_userauth_publickey_fromfile_ex(
                                          m_session, user.constData(), unsigned(user.size()),
                                          nullptr, path.constData(), "");
                                  },
                                  progress) == 0;
        if (loggedIn || m_cancelled)
            return loggedIn;
    }
    return false;
}

void SshConnection::answerPrompts(const char *, int, const char *, int, int promptCount,
                                  const LIBSSH2_USERAUTH_KBDINT_PROMPT *,
                                  LIBSSH2_USERAUTH_KBDINT_RESPONSE *responses, void **abstract)
{
    // Every prompt of a password login asks for the password.
    const auto *connection = static_cast<const SshConnection *>(*abstract);
    const QByteArray password = connection->m_login.password.toUtf8();
    for (int i = 0; i < promptCount; ++i) {
        // The SSH library frees the answers with free().
        responses[i].text = static_cast<char *>(std::malloc(size_t(password.size()) + 1));
        if (!responses[i].text) {
            responses[i].length = 0;
            continue;
        }
        std::memcpy(responses[i].text, password.constData(), size_t(password.size()) + 1);
        responses[i].length = unsigned(password.size());
    }
}

int SshConnection::runStep(const Step &step, const Progress &progress)
{
    for (;;) {
        const int result = step();
        if (result != LIBSSH2_ERROR_EAGAIN)
            return result;
        if (!progress.keepGoing()) {
            stop();
            return LIBSSH2_ERROR_EAGAIN;
        }
        if (steady_clock::now() >= m_deadline) {
            m_timedOut = true;
            return LIBSSH2_ERROR_TIMEOUT;
        }
        waitSocket(WaitSlice);
    }
}

int SshConnection::runWatched(const Step &step, const std::function<bool()> &goesOn,
                              milliseconds silence)
{
    return runUnblocked(
        step, [](int result) { return result != LIBSSH2_ERROR_EAGAIN; }, goesOn, silence);
}

int SshConnection::startCall(const Step &step)
{
    // The request is out once the library waits only for the answer.
    return runUnblocked(
        step,
        [this](int result) {
            return result != LIBSSH2_ERROR_EAGAIN ||
                   !(libssh2_session_block_directions(m_session) & LIBSSH2_SESSION_BLOCK_OUTBOUND);
        },
        {}, m_login.timeout);
}

int SshConnection::runUnblocked(const Step &step, const std::function<bool(int result)> &finished,
                                const std::function<bool()> &goesOn, milliseconds silence)
{
    libssh2_session_set_blocking(m_session, 0);
    auto heard = steady_clock::now(); // the last sign of life of the connection
    auto asked = heard;
    int result = 0;
    for (;;) {
        result = step();
        if (finished(result))
            break;
        const auto now = steady_clock::now();
        if (goesOn && now - asked >= WaitSlice) {
            asked = now;
            if (!goesOn()) {
                result = LIBSSH2_ERROR_EAGAIN;
                break;
            }
        }
        if (now - heard >= silence) {
            result = LIBSSH2_ERROR_TIMEOUT;
            break;
        }
        // As in the library's own blocking calls: a call that waits for nothing on the socket
        // is made again at once.
        if (libssh2_session_block_directions(m_session) == 0 || waitSocket(WaitSlice))
            heard = steady_clock::now();
    }
    libssh2_session_set_blocking(m_session, 1);
    return result;
}

bool SshConnection::waitSocket(milliseconds slice) const
{
    const int directions = libssh2_session_block_directions(m_session);
    pollfd waiting{m_socket, 0, 0};
    if (directions & LIBSSH2_SESSION_BLOCK_INBOUND)
        waiting.events |= POLLIN;
    if (directions & LIBSSH2_SESSION_BLOCK_OUTBOUND)
        waiting.events |= POLLOUT;
    return ::poll(&waiting, 1, int(slice.count())) > 0;
}

bool SshConnection::connectionFailed() const
{
    switch (libssh2_session_last_errno(m_session)) {
    case LIBSSH2_ERROR_SOCKET_NONE:
    case LIBSSH2_ERROR_SOCKET_SEND:
    case LIBSSH2_ERROR_SOCKET_RECV:
    case LIBSSH2_ERROR_SOCKET_DISCONNECT:
    case LIBSSH2_ERROR_SOCKET_TIMEOUT:
    case LIBSSH2_ERROR_TIMEOUT:
        return true;
    default:
        return m_timedOut;
    }
}

QString SshConnection::lastErrorText() const
{
    if (!m_session)
        return {};
    char *message = nullptr;
    int length = 0;
    const int code = libssh2_session_last_error(m_session, &message, &length, 0);
    if (m_timedOut || code == LIBSSH2_ERROR_TIMEOUT || code == LIBSSH2_ERROR_SOCKET_TIMEOUT)
        return QStringLiteral("the server did not answer in time");
    return QString::fromUtf8(message, length);
}

void SshConnection::close()
{
    release(true);
}

void SshConnection::drop()
{
    release(false);
}

void SshConnection::cutOff()
{
    if (m_socket >= 0)
        ::shutdown(m_socket, SHUT_RDWR);
}

void SshConnection::release(bool politely)
{
    if (m_session) {
        libssh2_session_set_blocking(m_session, 1);
        libssh2_session_set_timeout(m_session, long(GoodbyeTimeout.count()));
        // Without a goodbye every send and receive fails at once, so freeing waits for nothing.
        if (!politely)
            cutOff();
        if (m_sftp)
            libssh2_sftp_shutdown(m_sftp);
        if (politely)
            libssh2_session_disconnect(m_session, "Closed by the client");
        libssh2_session_free(m_session);
    }
    m_sftp = nullptr;
    m_session = nullptr;
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}
